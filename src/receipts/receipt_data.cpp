#include "receipts/receipt_data.h"

#include <cctype>
#include <utility>

#include "core/list_query.h"

namespace mz {

namespace {

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
    info.properties = clsReceipt_Data::kProperties;
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
      mobNameAddress(std::make_shared<NameAddress>()) {
    AdoptChild([this] { return mobGnSItem.get(); });
    AdoptChild([this] { return mobLoanEndorers.get(); });
    clsNotes::Adopt(*this, mobNotes);
    AdoptNameAddress(mobNameAddress);
}

const RecordClassInfo& clsReceipt_Data::ClassInfo() {
    return kInfo;
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
            std::string(listq::kPersonName) +
            "      when '1' then isnull(na.org_name,'') "
            "      end "
            "   when '1' then 'Aggregated Individual Contribution' "
            "   end "
            "else "
            "   case isnull(na.is_org,'0') "
            "   when '0' then " +
            std::string(listq::kPersonName) +
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
        sql += listq::ListCondition(Info().table, ReportID, "and f.Receipt_type_code != 'otln' ",
                                    IsAudit);
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
        sql = "select distinct f.unique_id, pa.actual_page_number, f.sequence, " +
              std::string(listq::kOrgOrPersonName) +
              "f.original_amount, f.balance, "
              "f.Receipt_type_desc, f.is_aggregated, na.is_org, f.Receipt_type_code, "
              "f.page_amount_id,  "
              "f.occur_date, '', f.form_of_payment_code, f.account_abbr "
              "from " +
              listq::RefView(Info().table) +
              " f "
              "left outer join rpt_name_address na on f.entity_id = na.unique_id ";
        sql += listq::PageAmountJoin(ReportID, IsAudit);
        sql += listq::ListCondition(Info().table, ReportID, "and f.Receipt_type_code = 'otln' ",
                                    IsAudit);
        sql += "order by pa.actual_page_number, f.sequence ";
    }
    return LoadList("GetDataOutstandingLoanList", sql);
}

int32_t clsReceipt_Data::GetNewSequence(int32_t ReportID, const std::string& SectionCode,
                                        bool IsAudit) {
    return NextNumber("GetNewSequence",
                      listq::NewSequence(Info().table, ReportID, IsAudit,
                                         listq::TypeCondition("receipt_type_code", SectionCode)),
                      "Sequence");
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
    const auto cascade = [&](auto& items, std::string_view failure) {
        if (DeleteListedItems(items, receipt, conn)) return true;
        failure_text = failure;
        return false;
    };
    if (type == "GNS") return cascade(Require(mobGnSItem), "Receipt GnS Item Delete Error");
    if (type == "LOAN")
        return cascade(Require(mobLoanEndorers), "Receipt Loan Proceed Delete Error");
    if (type == "FRLN")
        return cascade(Require(mobLoanEndorers), "Receipt Forgiven Loan Delete Error");
    return true;
}

Variant clsReceipt_Data::ComputedGet(const PropertyDef&) const {
    return Variant(EntityName());
}

}  // namespace mz
