#include "history/report_export.h"

#include <filesystem>
#include <fstream>

#include "core/list_query.h"
#include "history/report_sections.h"
#include "platform/json_text.h"

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

std::string Csv(ResultSet& rs) {
    std::vector<std::string> fields;
    for (int i = 0; i < rs.FieldCount(); ++i) fields.push_back(QuotedCsv(rs.FieldAt(i).name));
    std::string text = CsvLine(fields);
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        for (int i = 0; i < rs.FieldCount(); ++i) fields[i] = CsvField(rs.Value(i));
        text += CsvLine(fields);
    }
    return text;
}

std::string Json(ResultSet& rs, const ReportSection& section, int32_t report_id) {
    std::string text = "{\"table\":" + JsonString(section.table) +
                       ",\"class\":" + JsonString(section.ClassName()) +
                       ",\"report_id\":" + std::to_string(report_id) + ",\"columns\":[";
    std::vector<std::string> names;
    for (int i = 0; i < rs.FieldCount(); ++i) {
        names.push_back(JsonString(rs.FieldAt(i).name));
        text += (i ? "," : "") + names.back();
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
        const std::string order = section.record ? std::string(section.record->list_order) : "";
        ResultSet rs;
        if (std::string error = db.OpenRecordset(
                listq::PlainList(section.table, report_id, version.is_audit, order), rs);
            !error.empty())
            return error;
        const bool csv = format == ExportFormat::kCsv;
        const std::string path =
            (std::filesystem::path(dir) / (section.table + (csv ? ".csv" : ".json"))).string();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << (csv ? Csv(rs) : Json(rs, section, report_id));
        out.close();
        if (!out) return "Cannot write \"" + path + "\".";
        if (files) files->push_back(path);
    }
    return "";
}

}  // namespace mz
