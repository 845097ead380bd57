#include "lists/notes.h"

#include "core/list_query.h"

namespace mz {

namespace {

constexpr InsertParamDef kInsertParams[] = {
    {"@Report_section_code", "report_section_code"},
    {"@Link_id", "link_id"},
    {"@Note_type_code", "Note_type_code"},
    {"@Note_keywords", "note_keywords"},
    {"@Description", "Description"},
    {"@Entry_date", "entry_date"},
    {"@Amend_code", "amend_code"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_NoteKeywords_Notes, "note_keywords"},
};

constexpr SourceOverride kSources[] = {
    {"GetTableCode", "clsLookupList.GetTableCode"},
    {"GetNoteCount", "clsLookupList.GetNoteCount"},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsNotes";
    info.source_class = "clsNotes";
    info.table = "rpt_notes";
    info.row_head = "SELECT * from vw_mz_";
    info.row_tail = "_detail Where unique_id = ";
    info.new_row_head = "select * from vw_mz_";
    info.new_row_tail = " where unique_id is null ";
    info.properties = clsNotes::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.sources = kSources;
    info.booleans_as_digits = true;
    info.versioned = false;
    info.is_new_rule = IsNewRule::FlagOnly;
    info.members =
        kMemberCount | kMemberBofEof | kMemberNavigation | kMemberIsNewLet | kMemberGetDataList;
    return info;
}();

}  // namespace

clsNotes::clsNotes() : RecordObject(kInfo) {}

const RecordClassInfo& clsNotes::ClassInfo() {
    return kInfo;
}

std::string clsNotes::LinkedQuery(std::string_view select, int32_t ReportID, int32_t Link,
                                  bool IsAudit) const {
    const std::string view = listq::RefView(Info().table);
    std::string sql(select);
    sql += "from " + view + " f ";
    sql += listq::ReportCondition(ReportID, "Where ");
    sql += "and f.link_id = " + std::to_string(Link);  // no blank before the filter
    sql += listq::VersionFilter(view, IsAudit);
    return sql;
}

bool clsNotes::GetDataList(int32_t ReportID, int32_t Link, bool IsAudit) {
    std::string sql;
    if (Link != -1) {
        SetIsNewFlag(false);
        sql = LinkedQuery("SELECT * ", ReportID, Link, IsAudit);
    }
    return LoadList("GetDataList", sql);
}

int16_t clsNotes::GetNoteCount(int32_t ReportID, int32_t Link, bool IsAudit) {
    const std::string code = FirstValueText(
        "GetNoteCount", LinkedQuery("SELECT count(*) as code ", ReportID, Link, IsAudit), "code");
    return Guarded("GetNoteCount", int16_t{0},
                   [&] { return Variant(Variant::Val(code)).ToInt16(); });
}

std::string clsNotes::GetTableCode(const std::string& Table) {
    std::string sql;
    if (!Table.empty())
        sql = "select code from lks_report_section where table_name = '" + Table + "' ";
    return FirstValueText("GetTableCode", sql, "Code");
}

void clsNotes::Adopt(RecordObject& parent, std::shared_ptr<clsNotes>& notes) {
    parent.AdoptChild([&notes] { return notes.get(); });
    parent.SetNotesCascade([&parent, &notes](DbConnect*& conn) {
        clsNotes& n = Require(notes);
        const int32_t row_report = parent.RowLong("report_id");
        if (!n.GetDataList(parent.CurrentReportNumber(), parent.RowLong("group_id"), false))
            return true;
        for (n.MoveFirst(); !n.EOF(); n.MoveNext()) {
            if (n.ReportID() == row_report && !n.DeleteData(n.UniqueID(), conn)) return false;
        }
        return true;
    });
}

}  // namespace mz
