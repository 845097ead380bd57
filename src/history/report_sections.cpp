#include "history/report_sections.h"

#include "automation/object_model.h"
#include "db/version_columns.h"

namespace mz {
namespace {

bool SameName(std::string_view a, std::string_view b) {
    return LowerName(a) == LowerName(b);
}

// The first registered class whose rows are the table's.
const RecordClassInfo* ClassOfTable(std::string_view table) {
    for (const AutoClass* c : ObjectModel::Instance().Classes())
        if (c->Record() && SameName(c->Record()->table, table)) return c->Record();
    return nullptr;
}

}  // namespace

std::string ReportVersion::Kind() const {
    return is_audit ? "audit" : version_order == 1 ? "original" : "amendment";
}

std::string ReadReportSections(DbConnect& db, std::vector<ReportSection>& sections) {
    sections.clear();
    ResultSet rs;
    if (std::string error = db.OpenRecordset(
            "select table_name, section_code from mz_versioned_table order by table_name", rs);
        !error.empty())
        return error;
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        ReportSection s;
        s.table = rs.Value(0).ToText();
        s.section_code = rs.Value(1).ToText();
        s.record = ClassOfTable(s.table);
        sections.push_back(std::move(s));
    }
    return "";
}

std::string FindReportSection(DbConnect& db, std::string_view table, ReportSection& section) {
    std::vector<ReportSection> sections;
    if (std::string error = ReadReportSections(db, sections); !error.empty()) return error;
    for (ReportSection& s : sections) {
        if (SameName(s.table, table)) {
            section = std::move(s);
            return "";
        }
    }
    return "The report database has no versioned table named \"" + std::string(table) + "\".";
}

std::string ReadReportVersion(DbConnect& db, int32_t report_id, ReportVersion& version) {
    ResultSet rs;
    if (std::string error = db.OpenRecordset(
            "select report_id, report_group_id, version_order, is_audit, filed_date, "
            "filed_change_id from rpt_report where report_id = " +
                std::to_string(report_id),
            rs);
        !error.empty())
        return error;
    if (rs.EOF()) return "Report " + std::to_string(report_id) + " does not exist.";
    version.report_id = rs.Value(0).ToInt32();
    version.report_group_id = rs.Value(1).ToInt32();
    version.version_order = rs.Value(2).ToInt32();
    version.is_audit = rs.Value(3).ToInt32() != 0;
    version.filed = rs.Value(4);
    version.filed_change_id = rs.Value(5).IsNull() ? 0 : rs.Value(5).ToInt32();
    return "";
}

std::string ReadDataColumns(DbConnect& db, const ReportSection& section,
                            std::vector<std::string>& columns, std::vector<VarType>* types) {
    columns.clear();
    if (types) types->clear();
    ResultSet shape;
    if (std::string error =
            db.OpenRecordset("select * from " + section.table + " where unique_id is null", shape);
        !error.empty())
        return error;
    for (int i = 0; i < shape.FieldCount(); ++i) {
        if (IsVersionBookkeeping(shape.FieldAt(i).name)) continue;
        columns.push_back(shape.FieldAt(i).name);
        if (types) types->push_back(shape.FieldAt(i).type);
    }
    return "";
}

}  // namespace mz
