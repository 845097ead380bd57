#include "receipts/gns_items_data.h"

#include <algorithm>

#include "core/list_query.h"

namespace mz {

// --- what both kinds of receipt items share ----------------------------------------------------

std::string ReceiptItemObject::CurrentReportItems(std::string_view alias, int32_t ReceiptID,
                                                  bool IsAudit) const {
    const std::string a(alias);
    std::string sql = "where " + a + ".ref_report_id = " + CurrReportID() + " ";
    sql += "and " + a + ".delete_date is null ";
    sql += "and " + a + ".receipt_id = " + std::to_string(ReceiptID) + " ";
    sql += listq::VersionFilter(listq::RefView(Info().table), IsAudit, alias);
    return sql;
}

bool ReceiptItemObject::GetDataList(int32_t ReceiptID, bool IsAudit) {
    std::string sql;
    if (ReceiptID != -1) {
        SetIsNewFlag(false);
        sql = "select * from " + listq::RefView(Info().table) + " f ";
        sql += CurrentReportItems("f", ReceiptID, IsAudit);
        sql += "order by f.sequence ";
    }
    return LoadList("GetDataList", sql);
}

int32_t ReceiptItemObject::GetNewSequence(int32_t ReportID, int32_t ReceiptID, bool IsAudit) {
    const std::string view = listq::RefView(Info().table);
    std::string sql = "select max(sequence) as sequence from " + view + " f ";
    sql += listq::ReportCondition(ReportID);
    sql += "and f.receipt_id = " + std::to_string(ReceiptID) + " ";
    sql += listq::VersionFilter(view, IsAudit);
    return NextNumber("GetNewSequence", sql, "Sequence");
}

// --- clsGnSItems_Data ----------------------------------------------------------------------------

namespace {

constexpr PropertyDef kProperties[] = {
    {"UniqueID", "unique_id", PropType::Long, kGet},
    {"ReportID", "report_id", PropType::Long, kGet | kLet},
    {"GroupID", "group_id", PropType::Long, kGet},
    {"ReceiptID", "receipt_id", PropType::Long, kGet | kLet},
    {"PageAmountID", "page_amount_id", PropType::Long, kGet | kLet},
    {"Sequence", "Sequence", PropType::Long, kGet | kLet},
    {"AccountAbbr", "account_abbr", PropType::Text, kGet | kLet},
    {"TotalCount", "total_count", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"CheckCount", "check_count", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"CashCount", "cash_count", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"OtherCount", "other_count", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"Description", "Description", PropType::Text, kGet | kLet},
    {"TransDate", "Occur_date", PropType::Text, kGet | kLet, Conversion::DateText},
    {"IndividualAmount", "individual_amount", PropType::Currency, kGet | kLet},
    {"Amount", "Amount", PropType::Currency, kGet | kLet},
    {"CurrentPageNumber", "current_page_number", PropType::Text, kGet | kLet,
     Conversion::NumberText},
    {"MaxPageNumber", "max_page_number", PropType::Text, kGet | kLet, Conversion::NumberText},
    {"AmendCode", "amend_code", PropType::Text, kGet | kLet},
    {"OrigDate", "orig_date", PropType::Text, kGet, Conversion::DateText},
    {"OrigUserID", "orig_user_id", PropType::Text, kGet},
    {"UserID", "user_id", PropType::Text, kGet},
    {"UpdateDate", "update_date", PropType::Text, kGet, Conversion::DateText},
    {"IsOrg", "", PropType::Boolean, kGet, Conversion::Computed},
    {"OrgName", "org_name", PropType::Text, kGet},
    {"FirstName", "first_name", PropType::Text, kGet},
    {"LastName", "last_name", PropType::Text, kGet},
};

consteval const PropertyDef& P(std::string_view name) {
    return *std::ranges::find(kProperties, name, &PropertyDef::name);
}

constexpr InsertParamDef kInsertParams[] = {
    {"@page_amount_id", "page_amount_id"},
    {"@sequence", "Sequence"},
    {"@Receipt_id", "receipt_id"},
    {"@Account_abbr", "account_abbr"},
    {"@Total_count", "total_count"},
    {"@Check_count", "check_count"},
    {"@Cash_count", "cash_count"},
    {"@Other_count", "other_count"},
    {"@Description", "Description"},
    {"@Occur_date", "Occur_date"},
    {"@Individual_amount", "individual_amount"},
    {"@Amount", "Amount"},
    {"@Amend_code", "amend_code"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_AccountAbbr_GnSItems, "account_abbr"},
    {mzML_Description_GnSItems, "description"},
    {mzML_IndividualAmount_GnSItems, "individual_amount", TextLengthDef::kPrecision},
    {mzML_Amount_GnSItems, "amount", TextLengthDef::kPrecision},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsGnSItems_Data";
    info.source_class = "clsGnSItems_Data";
    info.table = "rpt_gns_items";
    info.section = "GIT";
    info.row_tail = " Where unique_id = ";
    info.new_row_tail = " where unique_id is null ";
    info.properties = kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.booleans_as_digits = true;
    info.clear_filter_after_add = true;
    // Items have no current-row test: without a row, reading its report_id fails and that error
    // takes the delete's error path (raised to the caller with this class's source).
    info.delete_tests_ready = false;
    info.members = kMemberSection | kMemberCurrentCount | kMemberBofEof | kMemberNavigation |
                   kMemberListFilter | kMemberRecSet | kMemberIsNewLet;
    return info;
}();

}  // namespace

clsGnSItems_Data::clsGnSItems_Data() : ReceiptItemObject(kInfo) {}

const RecordClassInfo& clsGnSItems_Data::ClassInfo() {
    return kInfo;
}

Variant clsGnSItems_Data::ComputedGet(const PropertyDef&) const {
    if (!DataReady()) return Variant(false);
    return Variant(RowValue("is_org").ToBool());
}

int32_t clsGnSItems_Data::UniqueID() const {
    return GetLong(P("UniqueID"));
}
int32_t clsGnSItems_Data::ReportID() const {
    return GetLong(P("ReportID"));
}
void clsGnSItems_Data::ReportID(int32_t value) {
    Let(P("ReportID"), Variant(value));
}
int32_t clsGnSItems_Data::GroupID() const {
    return GetLong(P("GroupID"));
}
int32_t clsGnSItems_Data::ReceiptID() const {
    return GetLong(P("ReceiptID"));
}
void clsGnSItems_Data::ReceiptID(int32_t value) {
    Let(P("ReceiptID"), Variant(value));
}
int32_t clsGnSItems_Data::PageAmountID() const {
    return GetLong(P("PageAmountID"));
}
void clsGnSItems_Data::PageAmountID(int32_t value) {
    Let(P("PageAmountID"), Variant(value));
}
int32_t clsGnSItems_Data::Sequence() const {
    return GetLong(P("Sequence"));
}
void clsGnSItems_Data::Sequence(int32_t value) {
    Let(P("Sequence"), Variant(value));
}
std::string clsGnSItems_Data::AccountAbbr() const {
    return GetText(P("AccountAbbr"));
}
void clsGnSItems_Data::AccountAbbr(const std::string& value) {
    Let(P("AccountAbbr"), Variant(value));
}
std::string clsGnSItems_Data::TotalCount() const {
    return GetText(P("TotalCount"));
}
void clsGnSItems_Data::TotalCount(const std::string& value) {
    Let(P("TotalCount"), Variant(value));
}
std::string clsGnSItems_Data::CheckCount() const {
    return GetText(P("CheckCount"));
}
void clsGnSItems_Data::CheckCount(const std::string& value) {
    Let(P("CheckCount"), Variant(value));
}
std::string clsGnSItems_Data::CashCount() const {
    return GetText(P("CashCount"));
}
void clsGnSItems_Data::CashCount(const std::string& value) {
    Let(P("CashCount"), Variant(value));
}
std::string clsGnSItems_Data::OtherCount() const {
    return GetText(P("OtherCount"));
}
void clsGnSItems_Data::OtherCount(const std::string& value) {
    Let(P("OtherCount"), Variant(value));
}
std::string clsGnSItems_Data::Description() const {
    return GetText(P("Description"));
}
void clsGnSItems_Data::Description(const std::string& value) {
    Let(P("Description"), Variant(value));
}
std::string clsGnSItems_Data::TransDate() const {
    return GetText(P("TransDate"));
}
void clsGnSItems_Data::TransDate(const std::string& value) {
    Let(P("TransDate"), Variant(value));
}
Currency clsGnSItems_Data::IndividualAmount() const {
    return GetCurrency(P("IndividualAmount"));
}
void clsGnSItems_Data::IndividualAmount(Currency value) {
    Let(P("IndividualAmount"), Variant(value));
}
Currency clsGnSItems_Data::Amount() const {
    return GetCurrency(P("Amount"));
}
void clsGnSItems_Data::Amount(Currency value) {
    Let(P("Amount"), Variant(value));
}
std::string clsGnSItems_Data::CurrentPageNumber() const {
    return GetText(P("CurrentPageNumber"));
}
void clsGnSItems_Data::CurrentPageNumber(const std::string& value) {
    Let(P("CurrentPageNumber"), Variant(value));
}
std::string clsGnSItems_Data::MaxPageNumber() const {
    return GetText(P("MaxPageNumber"));
}
void clsGnSItems_Data::MaxPageNumber(const std::string& value) {
    Let(P("MaxPageNumber"), Variant(value));
}
std::string clsGnSItems_Data::AmendCode() const {
    return GetText(P("AmendCode"));
}
void clsGnSItems_Data::AmendCode(const std::string& value) {
    Let(P("AmendCode"), Variant(value));
}
std::string clsGnSItems_Data::OrigDate() const {
    return GetText(P("OrigDate"));
}
std::string clsGnSItems_Data::OrigUserID() const {
    return GetText(P("OrigUserID"));
}
std::string clsGnSItems_Data::UserID() const {
    return GetText(P("UserID"));
}
std::string clsGnSItems_Data::UpdateDate() const {
    return GetText(P("UpdateDate"));
}
bool clsGnSItems_Data::IsOrg() const {
    return GetBoolean(P("IsOrg"));
}
std::string clsGnSItems_Data::OrgName() const {
    return GetText(P("OrgName"));
}
std::string clsGnSItems_Data::FirstName() const {
    return GetText(P("FirstName"));
}
std::string clsGnSItems_Data::LastName() const {
    return GetText(P("LastName"));
}

}  // namespace mz
