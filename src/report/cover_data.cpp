#include "report/cover_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

// A new cover goes in without its fundraiser count; a changed copy carries it.
constexpr InsertParamDef kInsertParams[] = {
    {"@Entity_id", "entity_id"},
    {"@Report_year", "report_year"},
    {"@Report_level_code", "report_level_code"},
    {"@Report_sub_type_code", "report_sub_type_code"},
    {"@Report_name", "report_name"},
    {"@Certified_date", "Certified_date"},
    {"@Entity_type_code", "entity_type_code"},
    {"@Orig_filed_tolvid", "orig_filed_tolvid"},
    {"@Fund_type_code", "fund_type_code"},
    {"@Fund_name", "fund_name"},
    {"@Begin_date", "Begin_date"},
    {"@End_date", "end_date"},
    {"@Filed_date", "filed_date"},
    {"@Parent_entity_id", "parent_entity_id"},
    {"@Parent_entity_name", "parent_entity_name"},
    {"@Signed_name", "signed_name"},
    {"@Is_account_segregated", "is_account_segregated"},
    {"@Memo", "Memo"},
    {"@Is_amendment", "is_amendment"},
    {"@Comments", "Comments"},
    {"@Fundraiser_count", "Fundraiser_count", VarType::Empty, kOnChange},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_ReportName_Cover, "report_name"},
    {mzML_FundName_Cover, "fund_name"},
    {mzML_ParentEntityName_Cover, "parent_entity_name"},
    {mzML_Memo_Cover, "memo"},
    {mzML_SignedName_Cover, "signed_name"},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsCover_Data";
    info.source_class = "clsCover_Data";
    info.table = "rpt_cover";
    info.row_head = "select * from vw_mz_";
    info.row_tail = "_detail where unique_id = ";
    info.new_row_tail = "_detail where unique_id is null";
    info.properties = clsCover_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.booleans_as_digits = true;
    info.delete_takes_connection = false;
    return info;
}();

}  // namespace

clsCover_Data::clsCover_Data() : RecordObject(kInfo) {}

const RecordClassInfo& clsCover_Data::ClassInfo() {
    return kInfo;
}

bool clsCover_Data::GetDataDetail(int32_t ReportID, bool IsAudit) {
    if (ReportID == -1) return false;
    SetIsNewFlag(false);
    const std::string view = listq::RefView(Info().table, "_ref_current");
    return LoadList("GetDataDetail",
                    "select * from " + view + " f " + listq::ReportCondition(ReportID) +
                        (IsAudit ? listq::AuditFilter(view, "f") : listq::PlainFilter("")));
}

bool clsCover_Data::CheckReport(int32_t ReportID) {
    if (ReportID < 1) return false;
    return LoadList("CheckReport", "select * from xrf_comm_report where report_id = " +
                                       std::to_string(ReportID) + " ");
}

}  // namespace mz
