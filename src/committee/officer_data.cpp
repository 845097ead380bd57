#include "committee/officer_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

constexpr InsertParamDef kInsertParams[] = {
    {"@Entity_id", "entity_id"},
    {"@Name_type_code", "Name_type_code"},
    {"@Judicial_seat", "judicial_seat"},
    {"@Amend_code", "amend_code"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_JudicialSeat_Officer, "judicial_seat"},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsOfficer_Data";
    info.source_class = "clsOfficer_Data";
    info.table = "rpt_officers";
    info.section = "OFF";
    info.row_tail = "_detail Where unique_id = ";
    info.new_row_tail = " where unique_id is null ";
    info.properties = clsOfficer_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.notes_failure = "Officer Notes Delete Error";
    info.name_address_failure = "Officer Name Address Delete Error";
    info.members =
        kMemberSection | kMemberBofEof | kMemberNavigation | kMemberRecSet | kMemberGetDataList;
    return info;
}();

}  // namespace

clsOfficer_Data::clsOfficer_Data()
    : RecordObject(kInfo),
      mobNotes(std::make_shared<clsNotes>()),
      mobNameAddress(std::make_shared<NameAddress>()) {
    clsNotes::Adopt(*this, mobNotes);
    AdoptNameAddress(mobNameAddress);
}

const RecordClassInfo& clsOfficer_Data::ClassInfo() {
    return kInfo;
}

bool clsOfficer_Data::GetDataReportCover(int32_t ReportID, bool IsEntity, bool IsAudit) {
    std::string sql;
    if (ReportID != -1) {
        SetIsNewFlag(false);
        const std::string view = listq::RefView(Info().table);
        sql =
            "select f.unique_id, nad.first_name, nad.last_name, nad.full_name, "
            "pa.current_page_number as page_amount_id, f.name_type_desc "
            "from " +
            view +
            " f "
            "left outer join vw_mz_rpt_name_address_detail nad on f.entity_id = nad.unique_id "
            "left outer join lks_name_type nt on f.Name_type_code = nt.code ";
        sql += listq::PageAmountJoin(ReportID, IsAudit);
        sql += listq::ReportCondition(ReportID);
        sql += "and f.entity_id <> 0 ";
        sql += listq::VersionFilter(view, IsAudit);
        sql += IsEntity ? "and f.name_type_code = 'CEN' " : "and f.name_type_code <> 'CEN' ";
    }
    return LoadList("GetDataReportCover", sql);
}

}  // namespace mz
