#include "receipts/receipt_data.h"

#include <algorithm>
#include <cctype>

#include "core/list_query.h"

namespace mz {

namespace {

constexpr PropertyDef kProperties[] = {
    {"UniqueID", "unique_id", PropType::Long, kGet},
    {"ReportID", "report_id", PropType::Long, kGet | kLet},
    {"GroupID", "group_id", PropType::Long, kGet},
    {"EntityID", "entity_id", PropType::Long, kGet | kLet},
    {"PageAmountID", "page_amount_id", PropType::Long, kGet | kLet},
    {"Sequence", "Sequence", PropType::Long, kGet | kLet},
    {"ReceiptCode", "receipt_type_code", PropType::Text, kGet | kLet},
    {"IsAggregated", "is_aggregated", PropType::Integer, kGet | kLet},
    {"IsPriorReport", "is_prior_report", PropType::Integer, kGet | kLet},
    {"CommLevelCode", "comm_level_code", PropType::Text, kGet | kLet},
    {"AccountAbbr", "account_abbr", PropType::Text, kGet | kLet},
    {"FormPayementCode", "form_of_payment_code", PropType::Text, kGet | kLet},
    {"TransDate", "Occur_date", PropType::Text, kGet | kLet, Conversion::DateText},
    {"Amount", "Amount", PropType::Currency, kGet | kLet},
    {"SumToDate", "sum_to_date", PropType::Currency, kGet | kLet},
    {"Description", "Description", PropType::Text, kGet | kLet},
    {"Purpose", "Purpose", PropType::Text, kGet | kLet},
    {"Attendance", "Attendance", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"OriginalDate", "original_date", PropType::Text, kGet | kLet, Conversion::DateText},
    {"EndDate", "end_date", PropType::Text, kGet | kLet, Conversion::DateText},
    {"OriginalAmount", "original_amount", PropType::Currency, kGet | kLet},
    {"Balance", "Balance", PropType::Currency, kGet | kLet},
    {"InterestRate", "interest_rate", PropType::Double, kGet | kLet},
    {"SecurityPledged", "security_pledged", PropType::Text, kGet | kLet},
    {"LendingInstitution", "lending_institution", PropType::Text, kGet | kLet},
    {"LoanNumber", "loan_number", PropType::Text, kGet | kLet},
    {"OrigExpenditureDate", "orig_expenditure_date", PropType::Text, kGet | kLet,
     Conversion::DateText},
    {"OrigLoanDate", "orig_loan_date", PropType::Text, kGet | kLet, Conversion::DateText},
    {"HasAssociatedStatement", "has_associated_statement", PropType::Integer, kGet | kLet},
    {"HasBusinessStatement", "has_business_statement", PropType::Integer, kGet | kLet},
    {"BusinessName", "business_name", PropType::Text, kGet | kLet},
    {"ItemNumber", "item_number", PropType::Integer, kGet | kLet},
    {"CurrentPageNumber", "current_page_number", PropType::Text, kGet | kLet,
     Conversion::NumberText},
    {"MaxPageNumber", "max_page_number", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"CurrentPageAmount", "current_page_amount", PropType::Text, kGet | kLet,
     Conversion::NumberText},
    {"MaxPageAmount", "max_page_amount", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"AmendCode", "amend_code", PropType::Text, kGet | kLet},
    {"ExpenditureID", "expenditure_id", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"LoanID", "loan_id", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"CheckNum", "Payment_number", PropType::Text, kGet | kLet},
    {"OrigDate", "orig_date", PropType::Text, kGet, Conversion::DateText},
    {"OrigUserID", "orig_user_id", PropType::Text, kGet},
    {"UserID", "user_id", PropType::Text, kGet},
    {"UpdateDate", "update_date", PropType::Text, kGet, Conversion::DateText},
    {"Comments", "Comments", PropType::Text, kGet | kLet},
    {"ReimburseeEntityID", "reimbursee_entity_id", PropType::Text, kGet | kLet},
    {"IsCreditPayment", "is_credit_payment", PropType::Integer, kGet | kLet},
    {"SourceTypeCode", "source_type_code", PropType::Text, kGet | kLet},
    {"IsQualifyingContribution", "is_qualifying_contribution", PropType::Integer, kGet | kLet},
    {"SubmissionDate", "submission_date", PropType::Text, kGet | kLet, Conversion::DateText},
    {"ItemsSold", "items_sold", PropType::Integer, kGet | kLet},
    {"TotalAmountRaised", "total_amount_raised", PropType::Currency, kGet | kLet},
    {"ConductedAsPlanned", "conducted_as_planned", PropType::Text, kGet | kLet},
    {"ConductedAsPlannedComments", "conducted_as_planned_comments", PropType::Text, kGet | kLet},
    {"OverLimitPurchases", "over_limit_purchases", PropType::Text, kGet | kLet},
    {"OverLimitPurchasesComments", "over_limit_purchases_comments", PropType::Text, kGet | kLet},
    {"OrgName", "org_name", PropType::Text, kGet},
    {"FirstName", "first_name", PropType::Text, kGet},
    {"LastName", "last_name", PropType::Text, kGet},
    {"FullName", "", PropType::Text, kGet, Conversion::Computed},
};

consteval const PropertyDef& P(std::string_view name) {
    return *std::ranges::find(kProperties, name, &PropertyDef::name);
}

constexpr InsertParamDef kInsertParams[] = {
    {"@Entity_id", "entity_id"},
    {"@Page_amount_id", "page_amount_id"},
    {"@Sequence", "Sequence"},
    {"@Receipt_type_code", "receipt_type_code"},
    {"@Is_aggregated", "is_aggregated"},
    {"@Is_prior_report", "is_prior_report"},
    {"@Comm_level_code", "comm_level_code"},
    {"@Account_abbr", "account_abbr"},
    {"@Form_of_payment_code", "form_of_payment_code"},
    {"@Occur_date", "Occur_date"},
    {"@Amount", "Amount"},
    {"@Sum_to_date", "sum_to_date"},
    {"@Description", "Description"},
    {"@Purpose", "Purpose"},
    {"@Attendance", "Attendance"},
    {"@Original_date", "original_date"},
    {"@End_date", "end_date"},
    {"@Original_amount", "original_amount"},
    {"@Balance", "Balance"},
    {"@Interest_rate", "interest_rate"},
    {"@Security_pledged", "security_pledged"},
    {"@Lending_institution", "lending_institution"},
    {"@Loan_number", "loan_number"},
    {"@Orig_expenditure_date", "orig_expenditure_date"},
    {"@Orig_loan_date", "orig_loan_date"},
    {"@Has_associated_statement", "has_associated_statement"},
    {"@Has_business_statement", "has_business_statement"},
    {"@Business_name", "business_name"},
    {"@Item_number", "item_number"},
    {"@Amend_code", "amend_code"},
    {"@Expenditure_id", "expenditure_id"},
    {"@Loan_id", "loan_id"},
    {"@Payment_number", "Payment_number"},
    {"@Comments", "Comments"},
    {"@reimbursee_entity_id", "reimbursee_entity_id"},
    {"@Is_credit_payment", "is_credit_payment"},
    {"@source_type_code", "source_type_code"},
    {"@is_qualifying_contribution", "is_qualifying_contribution"},
    {"@submission_date", "submission_date"},
    {"@items_sold", "items_sold"},
    {"@total_amount_raised", "total_amount_raised"},
    {"@conducted_as_planned", "conducted_as_planned"},
    {"@conducted_as_planned_comments", "conducted_as_planned_comments"},
    {"@over_limit_purchases", "over_limit_purchases"},
    {"@over_limit_purchases_comments", "over_limit_purchases_comments"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_Amount_Receipt, "amount", TextLengthDef::kPrecision},
    {mzML_SumToDate_Receipt, "sum_to_date", TextLengthDef::kPrecision},
    {mzML_Description_Receipt, "description"},
    {mzML_Purpose_Receipt, "purpose"},
    {mzML_OriginalAmount_Receipt, "original_amount", TextLengthDef::kPrecision},
    {mzML_Balance_Receipt, "balance", TextLengthDef::kPrecision},
    {mzML_InterestRate_Receipt, "interest_rate", TextLengthDef::kPrecision},
    {mzML_SecurityPledged_Receipt, "security_pledged"},
    {mzML_LendingInstitution_Receipt, "lending_institution"},
    {mzML_LoanNumber_Receipt, "loan_number"},
    {mzML_BusinessName_Receipt, "business_name"},
    {mzML_AccountAbbr_Receipt, "account_abbr"},
    {mzML_ItemNumber_Receipt, "item_number"},
    {mzML_PaymentNumber_Receipt, "payment_number"},
    {mzML_ConductedPlannedComments_Receipt, "conducted_as_planned_comments"},
    {mzML_OverLimitComments_Receipt, "over_limit_purchases_comments"},
};

constexpr SourceOverride kSources[] = {
    {"GetDataOutstandingLoanList", "clsReceipt_Data.GetDataReceiptList"},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsReceipt_Data";
    info.source_class = "clsReceipt_Data";
    info.table = "rpt_Receipts";
    info.section = "REC";
    info.row_tail = "_detail where unique_id = ";
    info.new_row_tail = " where unique_id is null ";
    info.properties = kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.sources = kSources;
    info.booleans_as_digits = true;
    info.clear_filter_after_add = true;
    info.notes_failure = "Receipt Notes Delete Error";
    info.name_address_failure = "Receipt Name Address Delete Error";
    info.name_address_gets_report = true;
    info.is_new_rule = IsNewRule::FlagOnly;
    info.members = kMemberSection | kMemberCount | kMemberCurrentCount | kMemberBofEof |
                   kMemberNavigation | kMemberListFilter | kMemberRecSet | kMemberGetDataList;
    return info;
}();

// A person's name in the two special lists, "last, first", each part Null as ''.
constexpr std::string_view kPersonName =
    "isnull(na.last_name,'') + ', ' + isnull(na.first_name,'') ";

// "where f.ref_report_id = <id> " with the list's type condition, the deletion test and the
// version filter; the audit form puts the type condition before the deletion test.
std::string ReceiptVersionFilter(int32_t ReportID, std::string_view type_condition, bool IsAudit) {
    const std::string view = listq::RefView("rpt_Receipts");
    if (!IsAudit) {
        return listq::ReportCondition(ReportID) + std::string(type_condition) +
               listq::PlainFilter();
    }
    std::string sql = "where f.ref_report_id = " + std::to_string(ReportID) + " ";
    sql.append(type_condition);
    sql += "and f.delete_date is null ";
    return sql + listq::AuditFilter(view);
}

// The receipt list writes the page sub-select's "from" and "where" in lower case.
std::string LowerCasePageSubselect(std::string join) {
    for (auto [from, to] : {std::pair{"      From vw_", "      from vw_"},
                            std::pair{"      Where unique_id", "      where unique_id"}}) {
        if (const size_t at = join.find(from); at != std::string::npos) {
            join.replace(at, std::string_view(from).size(), to);
        }
    }
    return join;
}

}  // namespace

clsReceipt_Data::clsReceipt_Data()
    : RecordObject(kInfo),
      mobGnSItem(std::make_shared<clsGnSItems_Data>()),
      mobLoanEndorers(std::make_shared<clsLoanItems_Data>()),
      mobNotes(std::make_shared<clsNotes>()),
      mobNameAddress(std::make_shared<NameAddress>()) {}

const RecordClassInfo& clsReceipt_Data::ClassInfo() {
    return kInfo;
}

void clsReceipt_Data::ConnectChildren(const ConnectionSettings& s,
                                      const std::string& CurrReportID) {
    Require(mobGnSItem)
        .ConnectionVariables(s.database_name, s.source, s.user_name, s.password, s.use_trusted,
                             CurrReportID);
    Require(mobLoanEndorers)
        .ConnectionVariables(s.database_name, s.source, s.user_name, s.password, s.use_trusted,
                             CurrReportID);
    Require(mobNotes).ConnectionVariables(s.database_name, s.source, s.user_name, s.password,
                                          s.use_trusted, CurrReportID);
    Require(mobNameAddress)
        .ConnectionVariables(s.database_name, s.source, s.user_name, s.password, s.use_trusted);
}

bool clsReceipt_Data::GetDataReceiptList(int16_t ReportVersion, int32_t ReportID, bool IsAudit) {
    std::string sql;
    if (ReportID != -1) {
        SetIsNewFlag(false);
        sql =
            "select distinct f.unique_id, pa.actual_page_number, f.sequence,"
            "case f.Receipt_type_code "
            "when 'ind' then "
            "   case isnull(f.is_aggregated,'0') "
            "   when '0' then "
            "      case isnull(na.is_org,'0') "
            "      when '0' then " +
            std::string(kPersonName) +
            "      when '1' then isnull(na.org_name,'') "
            "      end "
            "   when '1' then 'Aggregated Individual Contribution' "
            "   end "
            "else "
            "   case isnull(na.is_org,'0') "
            "   when '0' then " +
            std::string(kPersonName) +
            "   when '1' then isnull(na.org_name,'') "
            "   end "
            "end as 'full_name', "
            "f.amount, f.sum_to_date, "
            "f.Receipt_type_desc, f.is_aggregated, na.is_org, f.Receipt_type_code, "
            "f.page_amount_id, "
            "f.occur_date, rt.sequence, f.form_of_payment_code, f.account_abbr, rt.description, "
            "f.is_qualifying_contribution, "
            "f.description as 'rec_desc', f.submission_date, f.total_amount_raised "
            "from " +
            listq::RefView(Info().table) +
            " f "
            "left outer join rpt_name_address na on f.entity_id = na.unique_id "
            "left outer join lks_receipt_type rt on f.receipt_type_code = rt.code ";
        sql += LowerCasePageSubselect(listq::PageAmountJoin(ReportID, IsAudit));
        sql += ReceiptVersionFilter(ReportID, "and f.Receipt_type_code != 'otln' ", IsAudit);
        if (ReportVersion == 2) sql += "order by pa.actual_page_number, f.sequence ";
        if (ReportVersion == 3) {
            sql +=
                "order by rt.sequence, rt.description, f.is_aggregated desc, "
                "pa.actual_page_number, f.sequence ";
        }
    }
    return LoadList("GetDataReceiptList", sql);
}

bool clsReceipt_Data::GetDataOutstandingLoanList(int32_t ReportID, bool IsAudit) {
    std::string sql;
    if (ReportID != -1) {
        SetIsNewFlag(false);
        sql =
            "select distinct f.unique_id, pa.actual_page_number, f.sequence, "
            "case isnull(na.is_org, '1') "
            "when '1' then isnull(na.org_name,'') "
            "when '0' then " +
            std::string(kPersonName) +
            "end as 'full_name', "
            "f.original_amount, f.balance, "
            "f.Receipt_type_desc, f.is_aggregated, na.is_org, f.Receipt_type_code, "
            "f.page_amount_id,  "
            "f.occur_date, '', f.form_of_payment_code, f.account_abbr "
            "from " +
            listq::RefView(Info().table) +
            " f "
            "left outer join rpt_name_address na on f.entity_id = na.unique_id ";
        sql += listq::PageAmountJoin(ReportID, IsAudit);
        sql += ReceiptVersionFilter(ReportID, "and f.Receipt_type_code = 'otln' ", IsAudit);
        sql += "order by pa.actual_page_number, f.sequence ";
    }
    return LoadList("GetDataOutstandingLoanList", sql);
}

int32_t clsReceipt_Data::GetNewSequence(int32_t ReportID, const std::string& SectionCode,
                                        bool IsAudit) {
    const std::string view = listq::RefView(Info().table);
    std::string sql = "select max(sequence) as sequence from " + view + " f ";
    sql += listq::ReportCondition(ReportID);
    if (!SectionCode.empty()) sql += "and f.receipt_type_code = '" + SectionCode + "' ";
    sql += listq::VersionFilter(view, IsAudit);
    return NextNumber("GetNewSequence", sql, "Sequence");
}

bool clsReceipt_Data::SaveData(bool IsAudit) {
    return SaveRow(IsAudit);
}

bool clsReceipt_Data::DeleteItems(DbConnect*& conn, std::string& failure_text) {
    std::string type = RowValue("receipt_type_code").ToText();
    type.erase(0, type.find_first_not_of(' '));
    type.erase(type.find_last_not_of(' ') + 1);
    for (char& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const int32_t receipt = RowLong("unique_id");
    const auto cascade = [&](ReceiptItemObject& items, std::string_view failure) {
        if (!items.GetDataList(receipt, false)) return true;
        for (items.MoveFirst(); !items.EOF(); items.MoveNext()) {
            if (!items.DeleteData(items.RowLong("unique_id"), conn)) {
                failure_text = failure;
                return false;
            }
        }
        return true;
    };
    if (type == "GNS" && !cascade(Require(mobGnSItem), "Receipt GnS Item Delete Error")) {
        return false;
    }
    if (type == "LOAN" && !cascade(Require(mobLoanEndorers), "Receipt Loan Proceed Delete Error")) {
        return false;
    }
    if (type == "FRLN" &&
        !cascade(Require(mobLoanEndorers), "Receipt Forgiven Loan Delete Error")) {
        return false;
    }
    return true;
}

bool clsReceipt_Data::DeleteNotes(DbConnect*& conn) {
    return clsNotes::DeleteRowNotes(mobNotes, *this, conn);
}

bool clsReceipt_Data::DeleteNameAddress(DbConnect*& conn) {
    return DeleteEntityOf(mobNameAddress, *conn);
}

Variant clsReceipt_Data::ComputedGet(const PropertyDef&) const {
    if (!DataReady()) return Variant(std::string());
    const Variant& is_org = RowValue("is_org");
    if (is_org.IsNull() || is_org.ToBool()) return Variant(RowValue("org_name").ToText());
    return Variant(RowValue("last_name").ToText() + ", " + RowValue("first_name").ToText());
}

int32_t clsReceipt_Data::UniqueID() const {
    return GetLong(P("UniqueID"));
}
int32_t clsReceipt_Data::ReportID() const {
    return GetLong(P("ReportID"));
}
void clsReceipt_Data::ReportID(int32_t value) {
    Let(P("ReportID"), Variant(value));
}
int32_t clsReceipt_Data::GroupID() const {
    return GetLong(P("GroupID"));
}
int32_t clsReceipt_Data::EntityID() const {
    return GetLong(P("EntityID"));
}
void clsReceipt_Data::EntityID(int32_t value) {
    Let(P("EntityID"), Variant(value));
}
int32_t clsReceipt_Data::PageAmountID() const {
    return GetLong(P("PageAmountID"));
}
void clsReceipt_Data::PageAmountID(int32_t value) {
    Let(P("PageAmountID"), Variant(value));
}
int32_t clsReceipt_Data::Sequence() const {
    return GetLong(P("Sequence"));
}
void clsReceipt_Data::Sequence(int32_t value) {
    Let(P("Sequence"), Variant(value));
}
std::string clsReceipt_Data::ReceiptCode() const {
    return GetText(P("ReceiptCode"));
}
void clsReceipt_Data::ReceiptCode(const std::string& value) {
    Let(P("ReceiptCode"), Variant(value));
}
int16_t clsReceipt_Data::IsAggregated() const {
    return GetInteger(P("IsAggregated"));
}
void clsReceipt_Data::IsAggregated(int16_t value) {
    Let(P("IsAggregated"), Variant(value));
}
int16_t clsReceipt_Data::IsPriorReport() const {
    return GetInteger(P("IsPriorReport"));
}
void clsReceipt_Data::IsPriorReport(int16_t value) {
    Let(P("IsPriorReport"), Variant(value));
}
std::string clsReceipt_Data::CommLevelCode() const {
    return GetText(P("CommLevelCode"));
}
void clsReceipt_Data::CommLevelCode(const std::string& value) {
    Let(P("CommLevelCode"), Variant(value));
}
std::string clsReceipt_Data::AccountAbbr() const {
    return GetText(P("AccountAbbr"));
}
void clsReceipt_Data::AccountAbbr(const std::string& value) {
    Let(P("AccountAbbr"), Variant(value));
}
std::string clsReceipt_Data::FormPayementCode() const {
    return GetText(P("FormPayementCode"));
}
void clsReceipt_Data::FormPayementCode(const std::string& value) {
    Let(P("FormPayementCode"), Variant(value));
}
std::string clsReceipt_Data::TransDate() const {
    return GetText(P("TransDate"));
}
void clsReceipt_Data::TransDate(const std::string& value) {
    Let(P("TransDate"), Variant(value));
}
Currency clsReceipt_Data::Amount() const {
    return GetCurrency(P("Amount"));
}
void clsReceipt_Data::Amount(Currency value) {
    Let(P("Amount"), Variant(value));
}
Currency clsReceipt_Data::SumToDate() const {
    return GetCurrency(P("SumToDate"));
}
void clsReceipt_Data::SumToDate(Currency value) {
    Let(P("SumToDate"), Variant(value));
}
std::string clsReceipt_Data::Description() const {
    return GetText(P("Description"));
}
void clsReceipt_Data::Description(const std::string& value) {
    Let(P("Description"), Variant(value));
}
std::string clsReceipt_Data::Purpose() const {
    return GetText(P("Purpose"));
}
void clsReceipt_Data::Purpose(const std::string& value) {
    Let(P("Purpose"), Variant(value));
}
std::string clsReceipt_Data::Attendance() const {
    return GetText(P("Attendance"));
}
void clsReceipt_Data::Attendance(const std::string& value) {
    Let(P("Attendance"), Variant(value));
}
std::string clsReceipt_Data::OriginalDate() const {
    return GetText(P("OriginalDate"));
}
void clsReceipt_Data::OriginalDate(const std::string& value) {
    Let(P("OriginalDate"), Variant(value));
}
std::string clsReceipt_Data::EndDate() const {
    return GetText(P("EndDate"));
}
void clsReceipt_Data::EndDate(const std::string& value) {
    Let(P("EndDate"), Variant(value));
}
Currency clsReceipt_Data::OriginalAmount() const {
    return GetCurrency(P("OriginalAmount"));
}
void clsReceipt_Data::OriginalAmount(Currency value) {
    Let(P("OriginalAmount"), Variant(value));
}
Currency clsReceipt_Data::Balance() const {
    return GetCurrency(P("Balance"));
}
void clsReceipt_Data::Balance(Currency value) {
    Let(P("Balance"), Variant(value));
}
double clsReceipt_Data::InterestRate() const {
    return GetDouble(P("InterestRate"));
}
void clsReceipt_Data::InterestRate(double value) {
    Let(P("InterestRate"), Variant(value));
}
std::string clsReceipt_Data::SecurityPledged() const {
    return GetText(P("SecurityPledged"));
}
void clsReceipt_Data::SecurityPledged(const std::string& value) {
    Let(P("SecurityPledged"), Variant(value));
}
std::string clsReceipt_Data::LendingInstitution() const {
    return GetText(P("LendingInstitution"));
}
void clsReceipt_Data::LendingInstitution(const std::string& value) {
    Let(P("LendingInstitution"), Variant(value));
}
std::string clsReceipt_Data::LoanNumber() const {
    return GetText(P("LoanNumber"));
}
void clsReceipt_Data::LoanNumber(const std::string& value) {
    Let(P("LoanNumber"), Variant(value));
}
std::string clsReceipt_Data::OrigExpenditureDate() const {
    return GetText(P("OrigExpenditureDate"));
}
void clsReceipt_Data::OrigExpenditureDate(const std::string& value) {
    Let(P("OrigExpenditureDate"), Variant(value));
}
std::string clsReceipt_Data::OrigLoanDate() const {
    return GetText(P("OrigLoanDate"));
}
void clsReceipt_Data::OrigLoanDate(const std::string& value) {
    Let(P("OrigLoanDate"), Variant(value));
}
int16_t clsReceipt_Data::HasAssociatedStatement() const {
    return GetInteger(P("HasAssociatedStatement"));
}
void clsReceipt_Data::HasAssociatedStatement(int16_t value) {
    Let(P("HasAssociatedStatement"), Variant(value));
}
int16_t clsReceipt_Data::HasBusinessStatement() const {
    return GetInteger(P("HasBusinessStatement"));
}
void clsReceipt_Data::HasBusinessStatement(int16_t value) {
    Let(P("HasBusinessStatement"), Variant(value));
}
std::string clsReceipt_Data::BusinessName() const {
    return GetText(P("BusinessName"));
}
void clsReceipt_Data::BusinessName(const std::string& value) {
    Let(P("BusinessName"), Variant(value));
}
int16_t clsReceipt_Data::ItemNumber() const {
    return GetInteger(P("ItemNumber"));
}
void clsReceipt_Data::ItemNumber(int16_t value) {
    Let(P("ItemNumber"), Variant(value));
}
std::string clsReceipt_Data::CurrentPageNumber() const {
    return GetText(P("CurrentPageNumber"));
}
void clsReceipt_Data::CurrentPageNumber(const std::string& value) {
    Let(P("CurrentPageNumber"), Variant(value));
}
std::string clsReceipt_Data::MaxPageNumber() const {
    return GetText(P("MaxPageNumber"));
}
void clsReceipt_Data::MaxPageNumber(const std::string& value) {
    Let(P("MaxPageNumber"), Variant(value));
}
std::string clsReceipt_Data::CurrentPageAmount() const {
    return GetText(P("CurrentPageAmount"));
}
void clsReceipt_Data::CurrentPageAmount(const std::string& value) {
    Let(P("CurrentPageAmount"), Variant(value));
}
std::string clsReceipt_Data::MaxPageAmount() const {
    return GetText(P("MaxPageAmount"));
}
void clsReceipt_Data::MaxPageAmount(const std::string& value) {
    Let(P("MaxPageAmount"), Variant(value));
}
std::string clsReceipt_Data::AmendCode() const {
    return GetText(P("AmendCode"));
}
void clsReceipt_Data::AmendCode(const std::string& value) {
    Let(P("AmendCode"), Variant(value));
}
std::string clsReceipt_Data::ExpenditureID() const {
    return GetText(P("ExpenditureID"));
}
void clsReceipt_Data::ExpenditureID(const std::string& value) {
    Let(P("ExpenditureID"), Variant(value));
}
std::string clsReceipt_Data::LoanID() const {
    return GetText(P("LoanID"));
}
void clsReceipt_Data::LoanID(const std::string& value) {
    Let(P("LoanID"), Variant(value));
}
std::string clsReceipt_Data::CheckNum() const {
    return GetText(P("CheckNum"));
}
void clsReceipt_Data::CheckNum(const std::string& value) {
    Let(P("CheckNum"), Variant(value));
}
std::string clsReceipt_Data::OrigDate() const {
    return GetText(P("OrigDate"));
}
std::string clsReceipt_Data::OrigUserID() const {
    return GetText(P("OrigUserID"));
}
std::string clsReceipt_Data::UserID() const {
    return GetText(P("UserID"));
}
std::string clsReceipt_Data::UpdateDate() const {
    return GetText(P("UpdateDate"));
}
std::string clsReceipt_Data::Comments() const {
    return GetText(P("Comments"));
}
void clsReceipt_Data::Comments(const std::string& value) {
    Let(P("Comments"), Variant(value));
}
std::string clsReceipt_Data::ReimburseeEntityID() const {
    return GetText(P("ReimburseeEntityID"));
}
void clsReceipt_Data::ReimburseeEntityID(const std::string& value) {
    Let(P("ReimburseeEntityID"), Variant(value));
}
int16_t clsReceipt_Data::IsCreditPayment() const {
    return GetInteger(P("IsCreditPayment"));
}
void clsReceipt_Data::IsCreditPayment(int16_t value) {
    Let(P("IsCreditPayment"), Variant(value));
}
std::string clsReceipt_Data::SourceTypeCode() const {
    return GetText(P("SourceTypeCode"));
}
void clsReceipt_Data::SourceTypeCode(const std::string& value) {
    Let(P("SourceTypeCode"), Variant(value));
}
int16_t clsReceipt_Data::IsQualifyingContribution() const {
    return GetInteger(P("IsQualifyingContribution"));
}
void clsReceipt_Data::IsQualifyingContribution(int16_t value) {
    Let(P("IsQualifyingContribution"), Variant(value));
}
std::string clsReceipt_Data::SubmissionDate() const {
    return GetText(P("SubmissionDate"));
}
void clsReceipt_Data::SubmissionDate(const std::string& value) {
    Let(P("SubmissionDate"), Variant(value));
}
int16_t clsReceipt_Data::ItemsSold() const {
    return GetInteger(P("ItemsSold"));
}
void clsReceipt_Data::ItemsSold(int16_t value) {
    Let(P("ItemsSold"), Variant(value));
}
Currency clsReceipt_Data::TotalAmountRaised() const {
    return GetCurrency(P("TotalAmountRaised"));
}
void clsReceipt_Data::TotalAmountRaised(Currency value) {
    Let(P("TotalAmountRaised"), Variant(value));
}
std::string clsReceipt_Data::ConductedAsPlanned() const {
    return GetText(P("ConductedAsPlanned"));
}
void clsReceipt_Data::ConductedAsPlanned(const std::string& value) {
    Let(P("ConductedAsPlanned"), Variant(value));
}
std::string clsReceipt_Data::ConductedAsPlannedComments() const {
    return GetText(P("ConductedAsPlannedComments"));
}
void clsReceipt_Data::ConductedAsPlannedComments(const std::string& value) {
    Let(P("ConductedAsPlannedComments"), Variant(value));
}
std::string clsReceipt_Data::OverLimitPurchases() const {
    return GetText(P("OverLimitPurchases"));
}
void clsReceipt_Data::OverLimitPurchases(const std::string& value) {
    Let(P("OverLimitPurchases"), Variant(value));
}
std::string clsReceipt_Data::OverLimitPurchasesComments() const {
    return GetText(P("OverLimitPurchasesComments"));
}
void clsReceipt_Data::OverLimitPurchasesComments(const std::string& value) {
    Let(P("OverLimitPurchasesComments"), Variant(value));
}
std::string clsReceipt_Data::OrgName() const {
    return GetText(P("OrgName"));
}
std::string clsReceipt_Data::FirstName() const {
    return GetText(P("FirstName"));
}
std::string clsReceipt_Data::LastName() const {
    return GetText(P("LastName"));
}
std::string clsReceipt_Data::FullName() const {
    return GetText(P("FullName"));
}

}  // namespace mz
