#include "receipts/loan_items_data.h"

#include <algorithm>

#include "core/list_query.h"

namespace mz {

namespace {

constexpr PropertyDef kProperties[] = {
    {"UniqueID", "unique_id", PropType::Long, kGet},
    {"ReportID", "report_id", PropType::Long, kGet | kLet},
    {"GroupID", "group_id", PropType::Long, kGet},
    {"EntityID", "entity_id", PropType::Long, kGet | kLet},
    {"ReceiptID", "receipt_id", PropType::Long, kGet | kLet},
    {"PageAmountID", "page_amount_id", PropType::Long, kGet | kLet},
    {"Sequence", "Sequence", PropType::Long, kGet | kLet},
    {"Amount", "Amount", PropType::Currency, kGet | kLet},
    {"IsAmount", "Is_Amount", PropType::Integer, kGet | kLet, Conversion::TwoIsNull},
    {"SumToDate", "sum_to_date", PropType::Currency, kGet | kLet},
    {"Share", "Share", PropType::Double, kGet | kLet},
    {"CurrentPageNumber", "current_page_number", PropType::Text, kGet | kLet,
     Conversion::NumberText},
    {"MaxPageNumber", "max_page_number", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"AmendCode", "amend_code", PropType::Text, kGet | kLet},
    {"OrigDate", "orig_date", PropType::Text, kGet, Conversion::DateText},
    {"OrigUserID", "orig_user_id", PropType::Text, kGet},
    {"UserID", "user_id", PropType::Text, kGet},
    {"UpdateDate", "update_date", PropType::Text, kGet, Conversion::DateText},
    {"IsOrg", "is_org", PropType::Boolean, kGet},
    {"OrgName", "org_name", PropType::Text, kGet},
    {"FirstName", "first_name", PropType::Text, kGet},
    {"LastName", "last_name", PropType::Text, kGet},
    {"FullName", "full_name", PropType::Text, kGet},
};

consteval const PropertyDef& P(std::string_view name) {
    return *std::ranges::find(kProperties, name, &PropertyDef::name);
}

constexpr InsertParamDef kInsertParams[] = {
    {"@Entity_id", "entity_id"},     {"@page_amount_id", "page_amount_id"},
    {"@sequence", "Sequence"},       {"@Receipt_id", "receipt_id"},
    {"@Amount", "Amount"},           {"@Is_amount", "Is_Amount"},
    {"@Sum_to_date", "sum_to_date"}, {"@Share", "Share"},
    {"@Amend_code", "amend_code"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_Amount_LoanItems, "amount", TextLengthDef::kPrecision},
    {mzML_SumToDate_LoanItems, "sum_to_date", TextLengthDef::kPrecision},
    {mzML_Share_LoanItems, "share", TextLengthDef::kPrecision},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsLoanItems_Data";
    info.source_class = "clsLoanItems_Data";
    info.table = "rpt_loan_items";
    info.section = "LIT";
    info.row_tail = " Where unique_id = ";
    info.new_row_tail = " where unique_id is null ";
    info.properties = kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.booleans_as_digits = true;
    info.clear_filter_after_add = true;
    info.name_address_failure = "Loan Item Name Address Delete Error";
    info.name_address_gets_report = false;
    info.members = kMemberSection | kMemberCurrentCount | kMemberBofEof | kMemberNavigation |
                   kMemberListFilter | kMemberRecSet | kMemberIsNewLet;
    return info;
}();

}  // namespace

clsLoanItems_Data::clsLoanItems_Data()
    : ReceiptItemObject(kInfo), mobNameAddress(std::make_shared<NameAddress>()) {}

const RecordClassInfo& clsLoanItems_Data::ClassInfo() {
    return kInfo;
}

void clsLoanItems_Data::ConnectChildren(const ConnectionSettings& s, const std::string&) {
    Require(mobNameAddress)
        .ConnectionVariables(s.database_name, s.source, s.user_name, s.password, s.use_trusted);
}

bool clsLoanItems_Data::DeleteNameAddress(DbConnect*& conn) {
    return DeleteEntityOf(mobNameAddress, *conn);
}

bool clsLoanItems_Data::GetDataLoanList(int32_t ReceiptID, bool IsAudit) {
    std::string sql;
    if (ReceiptID != -1) {
        SetIsNewFlag(false);
        sql =
            "select li.unique_id, li.page_amount_id, li.sequence, "
            "case isnull(na.is_org, '1') "
            "when '1' then isnull(na.org_name,'') "
            "when '0' then isnull(na.last_name,'') + ', ' + isnull(na.first_name,'') "
            "end as 'full_name', "
            "li.Share , li.Amount, li.sum_to_date "
            "from " +
            listq::RefView(Info().table) +
            " li "
            "left outer join rpt_name_address na on li.entity_id = na.unique_id ";
        sql += CurrentReportItems("li", ReceiptID, IsAudit);
        sql += "order by li.sequence ";
    }
    return LoadList("GetDataLoanList", sql);
}

int32_t clsLoanItems_Data::UniqueID() const {
    return GetLong(P("UniqueID"));
}
int32_t clsLoanItems_Data::ReportID() const {
    return GetLong(P("ReportID"));
}
void clsLoanItems_Data::ReportID(int32_t value) {
    Let(P("ReportID"), Variant(value));
}
int32_t clsLoanItems_Data::GroupID() const {
    return GetLong(P("GroupID"));
}
int32_t clsLoanItems_Data::EntityID() const {
    return GetLong(P("EntityID"));
}
void clsLoanItems_Data::EntityID(int32_t value) {
    Let(P("EntityID"), Variant(value));
}
int32_t clsLoanItems_Data::ReceiptID() const {
    return GetLong(P("ReceiptID"));
}
void clsLoanItems_Data::ReceiptID(int32_t value) {
    Let(P("ReceiptID"), Variant(value));
}
int32_t clsLoanItems_Data::PageAmountID() const {
    return GetLong(P("PageAmountID"));
}
void clsLoanItems_Data::PageAmountID(int32_t value) {
    Let(P("PageAmountID"), Variant(value));
}
int32_t clsLoanItems_Data::Sequence() const {
    return GetLong(P("Sequence"));
}
void clsLoanItems_Data::Sequence(int32_t value) {
    Let(P("Sequence"), Variant(value));
}
Currency clsLoanItems_Data::Amount() const {
    return GetCurrency(P("Amount"));
}
void clsLoanItems_Data::Amount(Currency value) {
    Let(P("Amount"), Variant(value));
}
int16_t clsLoanItems_Data::IsAmount() const {
    return GetInteger(P("IsAmount"));
}
void clsLoanItems_Data::IsAmount(int16_t value) {
    Let(P("IsAmount"), Variant(value));
}
Currency clsLoanItems_Data::SumToDate() const {
    return GetCurrency(P("SumToDate"));
}
void clsLoanItems_Data::SumToDate(Currency value) {
    Let(P("SumToDate"), Variant(value));
}
double clsLoanItems_Data::Share() const {
    return GetDouble(P("Share"));
}
void clsLoanItems_Data::Share(double value) {
    Let(P("Share"), Variant(value));
}
std::string clsLoanItems_Data::CurrentPageNumber() const {
    return GetText(P("CurrentPageNumber"));
}
void clsLoanItems_Data::CurrentPageNumber(const std::string& value) {
    Let(P("CurrentPageNumber"), Variant(value));
}
std::string clsLoanItems_Data::MaxPageNumber() const {
    return GetText(P("MaxPageNumber"));
}
void clsLoanItems_Data::MaxPageNumber(const std::string& value) {
    Let(P("MaxPageNumber"), Variant(value));
}
std::string clsLoanItems_Data::AmendCode() const {
    return GetText(P("AmendCode"));
}
void clsLoanItems_Data::AmendCode(const std::string& value) {
    Let(P("AmendCode"), Variant(value));
}
std::string clsLoanItems_Data::OrigDate() const {
    return GetText(P("OrigDate"));
}
std::string clsLoanItems_Data::OrigUserID() const {
    return GetText(P("OrigUserID"));
}
std::string clsLoanItems_Data::UserID() const {
    return GetText(P("UserID"));
}
std::string clsLoanItems_Data::UpdateDate() const {
    return GetText(P("UpdateDate"));
}
bool clsLoanItems_Data::IsOrg() const {
    return GetBoolean(P("IsOrg"));
}
std::string clsLoanItems_Data::OrgName() const {
    return GetText(P("OrgName"));
}
std::string clsLoanItems_Data::FirstName() const {
    return GetText(P("FirstName"));
}
std::string clsLoanItems_Data::LastName() const {
    return GetText(P("LastName"));
}
std::string clsLoanItems_Data::FullName() const {
    return GetText(P("FullName"));
}

}  // namespace mz
