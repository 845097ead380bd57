#include "committee/account_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

constexpr InsertParamDef kInsertParams[] = {
    {"@Entity_id", "entity_id"},         {"@page_amount_id", "page_amount_id"},
    {"@sequence", "Sequence"},           {"@Account_type", "account_type"},
    {"@Account_abbr", "account_abbr"},   {"@Purpose", "Purpose"},
    {"@Begin_balance", "begin_balance"}, {"@End_balance", "end_balance"},
    {"@Amend_code", "amend_code"},       {"@Comments", "Comments"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_AccountAbbr_Account, "account_abbr"},
    {mzML_Purpose_Account, "purpose"},
    {mzML_BeginBalance_Account, "begin_balance", TextLengthDef::kPrecision},
    {mzML_EndBalance_Account, "end_balance", TextLengthDef::kPrecision},
    {mzML_AccountType_Account, "account_type"},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsAccount_Data";
    info.source_class = "clsAccount_Data";
    info.table = "rpt_accounts";
    info.section = "ACC";
    info.properties = clsAccount_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.change_output = "@Group_id";
    info.notes_failure = "Account Notes Delete Error";
    info.name_address_failure = "Account Name Address Delete Error";
    info.members = kMemberSection | kMemberCurrentCount | kMemberBofEof | kMemberNavigation |
                   kMemberRecSet | kMemberGetDataList | kMemberGetNewSequence;
    return info;
}();

}  // namespace

clsAccount_Data::clsAccount_Data()
    : RecordObject(kInfo),
      mobNotes(std::make_shared<clsNotes>()),
      mobNameAddress(std::make_shared<NameAddress>()) {
    clsNotes::Adopt(*this, mobNotes);
    AdoptNameAddress(mobNameAddress);
}

const RecordClassInfo& clsAccount_Data::ClassInfo() {
    return kInfo;
}

bool clsAccount_Data::GetDataReportCover(int32_t ReportID, bool IsAudit) {
    std::string sql;
    if (ReportID != -1) {
        SetIsNewFlag(false);
        const std::string view = listq::RefView(Info().table);
        sql =
            "select f.unique_id, f.page_amount_id, f.sequence, na.org_name, f.account_type, "
            "f.purpose, f.account_abbr, f.account_number, f.begin_balance from " +
            view +
            " f "
            "left outer join rpt_name_address na on f.entity_id = na.unique_id ";
        sql += listq::ReportCondition(ReportID);
        sql += listq::VersionFilter(view, IsAudit);
        sql += "order by f.sequence ";
    }
    return LoadList("GetDataReportCover", sql);
}

}  // namespace mz
