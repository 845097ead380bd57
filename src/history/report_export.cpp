#include "history/report_export.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/list_query.h"
#include "db/version_columns.h"
#include "history/report_sections.h"
#include "platform/json_text.h"
#include "platform/text.h"

namespace mz {
namespace {

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + fields[i];
    return line + "\r\n";
}

std::string QuotedCsv(const std::string& text) {
    if (!text.empty() && text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string q = "\"";
    for (const char c : text) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

std::string Csv(ResultSet& rs, const std::vector<std::string>& keys) {
    std::vector<std::string> fields;
    for (const std::string& key : keys) fields.push_back(QuotedCsv(key));
    std::string text = CsvLine(fields);
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        for (int i = 0; i < rs.FieldCount(); ++i) fields[i] = CsvField(rs.Value(i));
        text += CsvLine(fields);
    }
    return text;
}

std::string Json(ResultSet& rs, const std::vector<std::string>& keys, const ReportSection& section,
                 int32_t report_id) {
    std::string text = "{\"table\":" + JsonString(section.table) +
                       ",\"class\":" + JsonString(section.ClassName()) +
                       ",\"report_id\":" + std::to_string(report_id) + ",\"columns\":[";
    std::vector<std::string> names;
    for (const std::string& key : keys) {
        names.push_back(JsonString(key));
        text += (names.size() > 1 ? "," : "") + names.back();
    }
    text += "],\"rows\":[";
    bool first = true;
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        text += first ? "{" : ",\n{";
        first = false;
        for (int i = 0; i < rs.FieldCount(); ++i)
            text += (i ? "," : "") + names[i] + ":" + JsonValue(rs.Value(i));
        text += "}";
    }
    return text + "]}\n";
}

// Columns of the list view that only the versioning reads, exported last: the shared
// bookkeeping, the version a row is seen through, and the page's identifier (the page's number
// is exported instead).
bool IsInternal(const std::string& column) {
    return IsVersionBookkeeping(column) || EqualsNoCase(column, "ref_report_id") ||
           EqualsNoCase(column, "ref_is_audit") || EqualsNoCase(column, "page_amount_id");
}

// The query of one section: the page number and the business columns of the list view, each
// column naming an entity followed by that entity's name (<prefix>full_name, unless the view
// has a column of that name already), then the internal columns; rows in page, then sequence
// order, with Null first and the unique_id last so both engines give one order.
std::string SectionSql(const ReportSection& section, const ReportVersion& version,
                       ResultSet& shape) {
    const std::string view = listq::RefView(section.table);
    std::vector<std::string> columns;
    for (int i = 0; i < shape.FieldCount(); ++i) columns.push_back(shape.FieldAt(i).name);
    const auto has = [&](const std::string& name) {
        return std::any_of(columns.begin(), columns.end(),
                           [&](const std::string& c) { return EqualsNoCase(c, name); });
    };
    std::string select = "select pa.actual_page_number as page_number";
    std::string joins;
    int names = 0;
    for (int i = 0; i < shape.FieldCount(); ++i) {
        const std::string& c = columns[i];
        if (IsInternal(c)) continue;
        select += ", f." + c;
        const std::string lower = Lower(c);
        if (!lower.ends_with("entity_id")) continue;
        const std::string name = lower.substr(0, lower.size() - 9) + "full_name";
        if (has(name)) continue;
        const std::string n = "n" + std::to_string(++names);
        // A column may hold the identifier as text; the server compares no text with a number.
        const std::string id = shape.FieldAt(i).type == VarType::String
                                   ? "convert(varchar(20), " + n + ".unique_id)"
                                   : n + ".unique_id";
        select += ", " + n + ".full_name as " + name;
        joins +=
            "left outer join vw_mz_rpt_name_address_detail " + n + " on " + id + " = f." + c + " ";
    }
    for (const std::string& c : columns)
        if (IsInternal(c)) select += ", f." + c;
    return select + " from " + view + " f " + joins +
           listq::PageAmountJoin(version.report_id, version.is_audit) +
           listq::ReportCondition(version.report_id) +
           listq::VersionFilter(view, version.is_audit) +
           "order by case when pa.actual_page_number is null then 0 else 1 end, "
           "pa.actual_page_number, case when f.sequence is null then 0 else 1 end, f.sequence, "
           "f.unique_id";
}

}  // namespace

std::string CsvField(const Variant& value) {
    switch (value.Type()) {
        case VarType::Empty:
        case VarType::Null:
            return "";
        case VarType::Date:
            return value.GetDate().ToIso();
        case VarType::String:
            return QuotedCsv(value.GetString());
        default:
            return value.ToText();
    }
}

std::string ExportReport(DbConnect& db, int32_t report_id, const std::string& dir,
                         ExportFormat format, std::vector<std::string>* files) {
    ReportVersion version;
    if (std::string error = ReadReportVersion(db, report_id, version); !error.empty()) return error;
    std::vector<ReportSection> sections;
    if (std::string error = ReadReportSections(db, sections); !error.empty()) return error;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return "Cannot create the folder \"" + dir + "\": " + ec.message() + ".";
    for (const ReportSection& section : sections) {
        ResultSet shape, rs;
        if (std::string error = db.OpenRecordset(
                "select * from " + listq::RefView(section.table) + " where unique_id is null",
                shape);
            !error.empty())
            return error;
        if (std::string error = db.OpenRecordset(SectionSql(section, version, shape), rs);
            !error.empty())
            return error;
        std::vector<std::string> columns;
        for (int i = 0; i < rs.FieldCount(); ++i) columns.push_back(rs.FieldAt(i).name);
        const std::vector<std::string> keys = UniqueKeys(columns);
        const bool csv = format == ExportFormat::kCsv;
        const std::string path =
            (std::filesystem::path(dir) / (section.table + (csv ? ".csv" : ".json"))).string();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << (csv ? Csv(rs, keys) : Json(rs, keys, section, report_id));
        out.close();
        if (!out) return "Cannot write \"" + path + "\".";
        if (files) files->push_back(path);
    }
    return "";
}

}  // namespace mz
