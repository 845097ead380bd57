#include "committee/admin_support_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

constexpr InsertParamDef kInsertParams[] = {
    {"@page_amount_id", "page_amount_id"},
    {"@sequence", "Sequence"},
    {"@Support_item_type_code", "support_item_type_code"},
    {"@Support_item_other_desc", "Support_item_other_desc"},
    {"@Amount", "Amount"},
    {"@Amend_code", "amend_code"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_ItemDesc_AdminSupport, "Support_item_other_desc"},
    {mzML_Amount_AdminSupport, "amount", TextLengthDef::kPrecision},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsAdminSupport_Data";
    info.source_class = "clsAdminSupport_Data";
    info.table = "rpt_admin_support";
    info.section = "ASP";
    info.row_tail = "_detail  where unique_id = ";
    info.properties = clsAdminSupport_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.change_output = "@Group_id";
    info.booleans_as_digits = true;
    info.notes_failure = "Admin Support Notes Delete Error";
    info.members = kMemberSection | kMemberCount | kMemberCurrentCount | kMemberBofEof |
                   kMemberNavigation | kMemberListFilter | kMemberRecSet | kMemberIsNewLet;
    return info;
}();

}  // namespace

clsAdminSupport_Data::clsAdminSupport_Data()
    : RecordObject(kInfo), mobNotes(std::make_shared<clsNotes>()) {
    clsNotes::Adopt(*this, mobNotes);
}

const RecordClassInfo& clsAdminSupport_Data::ClassInfo() {
    return kInfo;
}

bool clsAdminSupport_Data::GetDataList(int32_t ReportID, bool IsAudit) {
    std::string sql;
    if (ReportID != -1) {
        SetIsNewFlag(false);
        const std::string view = listq::RefView(Info().table);
        sql =
            "select f.*, f.support_item_type_desc, sit.sequence as 'type_sequence', "
            "isnull(sit.allow_multiple, 0) as allow_multiple, "
            "case f.support_item_type_code "
            "  when 'oth' then isnull(f.support_item_type_desc, '') + ' - ' + "
            "isnull(f.support_item_other_desc, '') "
            "  else isnull(f.support_item_type_desc, '') "
            "end as 'full_name' "
            "from " +
            view +
            " f "
            "left outer join lks_support_item_type sit on f.Support_item_type_code = sit.code ";
        sql += listq::ReportCondition(ReportID);
        sql += listq::VersionFilter(view, IsAudit);
        sql += "order by sit.sequence, f.sequence ";
    }
    return LoadList("GetDataList", sql);
}

int32_t clsAdminSupport_Data::GetNewSequence(int32_t ReportID, bool IsAudit) {
    return NextNumber("GetNewSequence",
                      listq::NewSequence(Info().table, ReportID, IsAudit,
                                         "and f.support_item_type_code = 'oth' "),
                      "sequence");
}

}  // namespace mz
