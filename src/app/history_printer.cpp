#include "app/history_printer.h"

#include "app/table_printer.h"
#include "platform/json_text.h"

namespace mz::app {
namespace {

// A value in a line: texts quoted (line breaks as \n), the rest as the shell prints it.
std::string Shown(const Variant& v) {
    return v.IsText() ? JsonString(v.GetString()) : DisplayText(v);
}

std::string Id(int32_t id) {
    return id ? std::to_string(id) : "null";
}

std::string JsonChanges(const std::vector<ColumnChange>& changes) {
    std::string s = "[";
    for (size_t i = 0; i < changes.size(); ++i) {
        s += (i ? "," : "") + std::string("{\"column\":") + JsonString(changes[i].column) +
             ",\"old\":" + JsonValue(changes[i].old_value) +
             ",\"new\":" + JsonValue(changes[i].new_value) + "}";
    }
    return s + "]";
}

std::string TextChanges(const std::vector<ColumnChange>& changes, bool values_only) {
    std::string s;
    for (const ColumnChange& c : changes) {
        s += (s.empty() ? "" : ", ") + c.column;
        s += values_only ? "=" + Shown(c.new_value)
                         : ": " + Shown(c.old_value) + " -> " + Shown(c.new_value);
    }
    return s;
}

// A row deleted in place shows the values it had.
std::vector<ColumnChange> Shown(const JournalEdit& e) {
    if (e.action == 'U') return e.changes;
    std::vector<ColumnChange> had;
    for (const ColumnChange& c : e.changes)
        if (!c.old_value.IsNull()) had.push_back({c.column, {}, c.old_value});
    return had;
}

// "changed in place on <when> by <user>: a: 1 -> 2" or "deleted in place ...: a=1, b=2".
std::string TextEdit(const JournalEdit& e) {
    return std::string(e.action == 'U' ? "changed" : "deleted") + " in place on " +
           DisplayText(e.when) + " by " + e.user + ": " + TextChanges(Shown(e), e.action == 'D');
}

std::string JsonEdits(const std::vector<JournalEdit>& edits) {
    std::string s = "[";
    for (size_t i = 0; i < edits.size(); ++i) {
        const JournalEdit& e = edits[i];
        s += (i ? "," : "") + std::string("{\"group_id\":") + std::to_string(e.group_id) +
             ",\"unique_id\":" + std::to_string(e.unique_id) +
             ",\"report_id\":" + std::to_string(e.report_id) + ",\"action\":\"" +
             (e.action == 'U' ? "changed" : "deleted") + "\",\"when\":" + JsonValue(e.when) +
             ",\"user\":" + JsonString(e.user) + ",\"columns\":" + JsonChanges(e.changes) + "}";
    }
    return s + "]";
}

std::string JsonVersion(const ReportVersion& v) {
    return "{\"report_id\":" + std::to_string(v.report_id) +
           ",\"version_order\":" + std::to_string(v.version_order) +
           ",\"kind\":" + JsonString(v.Kind()) + "}";
}

std::string JsonRows(const SectionDiff& s, const std::vector<DiffRow>& rows) {
    std::string out = "[";
    for (size_t r = 0; r < rows.size(); ++r) {
        out += (r ? "," : "") + std::string("{\"group_id\":") + std::to_string(rows[r].group_id) +
               ",\"unique_id\":" + std::to_string(rows[r].unique_id) + ",\"values\":{";
        for (size_t c = 0; c < s.columns.size(); ++c)
            out += (c ? "," : "") + JsonString(s.columns[c]) + ":" + JsonValue(rows[r].values[c]);
        out += "}}";
    }
    return out + "]";
}

// The columns a row has values in, as "column=value, ...".
std::string TextRow(const SectionDiff& s, const DiffRow& row) {
    std::vector<ColumnChange> given;
    for (size_t c = 0; c < s.columns.size(); ++c)
        if (!row.values[c].IsNull()) given.push_back({s.columns[c], {}, row.values[c]});
    return TextChanges(given, true);
}

std::string Version(const ReportVersion& v) {
    return "report " + std::to_string(v.report_id) + " (version " +
           std::to_string(v.version_order) + ", " + v.Kind() + ")";
}

}  // namespace

void PrintDiff(std::ostream& out, const VersionDiff& diff, bool json) {
    if (json) {
        out << "{\"report_group_id\":" << diff.from.report_group_id
            << ",\"from\":" << JsonVersion(diff.from) << ",\"to\":" << JsonVersion(diff.to)
            << ",\"sections\":[";
        for (size_t i = 0; i < diff.sections.size(); ++i) {
            const SectionDiff& s = diff.sections[i];
            out << (i ? ",\n" : "") << "{\"table\":" << JsonString(s.section.table)
                << ",\"class\":" << JsonString(s.section.ClassName())
                << ",\"section\":" << JsonString(s.section.section_code)
                << ",\"added\":" << JsonRows(s, s.added)
                << ",\"deleted\":" << JsonRows(s, s.deleted) << ",\"changed\":[";
            for (size_t c = 0; c < s.changed.size(); ++c) {
                const ChangedRow& row = s.changed[c];
                out << (c ? "," : "") << "{\"group_id\":" << row.group_id
                    << ",\"from_unique_id\":" << row.from_unique_id
                    << ",\"to_unique_id\":" << row.to_unique_id
                    << ",\"columns\":" << JsonChanges(row.changes) << "}";
            }
            out << "],\"edits\":" << JsonEdits(s.edits) << "}";
        }
        out << "]}\n";
        return;
    }
    out << Version(diff.from) << " -> " << Version(diff.to) << ", report group "
        << diff.from.report_group_id << "\n";
    bool any = false;
    for (const SectionDiff& s : diff.sections) {
        if (s.Empty()) continue;
        any = true;
        out << s.section.table;
        if (s.section.record) out << " (" << s.section.ClassName() << ")";
        out << ": " << s.added.size() << " added, " << s.deleted.size() << " deleted, "
            << s.changed.size() << " changed";
        if (!s.edits.empty()) out << ", " << s.edits.size() << " edited in place";
        out << "\n";
        for (const DiffRow& r : s.added)
            out << "  added    group " << r.group_id << ", row " << r.unique_id << ": "
                << TextRow(s, r) << "\n";
        for (const DiffRow& r : s.deleted)
            out << "  deleted  group " << r.group_id << ", row " << r.unique_id << ": "
                << TextRow(s, r) << "\n";
        for (const ChangedRow& r : s.changed)
            out << "  changed  group " << r.group_id << ", row " << r.from_unique_id << " -> "
                << r.to_unique_id << ": " << TextChanges(r.changes, false) << "\n";
        for (const JournalEdit& e : s.edits)
            out << "  edited   group " << e.group_id << ", row " << e.unique_id << " (report "
                << e.report_id << "): " << TextEdit(e) << "\n";
    }
    if (!any) out << "no differences\n";
}

void PrintHistory(std::ostream& out, const RowHistory& h, bool json) {
    if (json) {
        out << "{\"table\":" << JsonString(h.section.table)
            << ",\"class\":" << JsonString(h.section.ClassName()) << ",\"group_id\":" << h.group_id
            << ",\"report_group_id\":" << h.report_group_id << ",\"versions\":[";
        for (size_t i = 0; i < h.versions.size(); ++i) {
            const RowVersion& v = h.versions[i];
            out << (i ? ",\n" : "") << "{\"unique_id\":" << v.unique_id
                << ",\"report_id\":" << v.report_id << ",\"version_order\":" << v.version_order
                << ",\"audit\":" << (v.audit ? "true" : "false")
                << ",\"function\":" << (v.gone ? "null" : "\"" + std::string(1, v.function) + "\"")
                << ",\"replaces\":" << Id(v.replaces) << ",\"seen_until\":" << Id(v.seen_until)
                << ",\"written\":" << JsonValue(v.written)
                << ",\"updated\":" << JsonValue(v.updated)
                << ",\"deleted\":" << JsonValue(v.deleted)
                << ",\"changes\":" << JsonChanges(v.changes) << ",\"edits\":" << JsonEdits(v.edits)
                << "}";
        }
        out << "]}\n";
        return;
    }
    out << h.section.table << " group " << h.group_id;
    if (h.section.record) out << " (" << h.section.ClassName() << ")";
    out << ", report group " << h.report_group_id << "\n";
    for (const RowVersion& v : h.versions) {
        out << "  row " << v.unique_id << ", report " << v.report_id << " (version "
            << v.version_order << (v.audit ? ", audit" : "") << "): ";
        if (v.gone) out << "gone, deleted in place\n";
        if (v.function == 'A') out << "added";
        if (v.function == 'C') out << "changed copy of row " << v.replaces;
        if (v.function == 'D') {
            out << "deletes row " << v.replaces << " on " << DisplayText(v.deleted) << "\n";
            continue;
        }
        if (v.gone) {
            for (const JournalEdit& e : v.edits) out << "    " << TextEdit(e) << "\n";
            continue;
        }
        if (v.seen_until == 0)
            out << ", seen from version " << v.version_order << " on";
        else if (v.seen_until == v.version_order + 1)
            out << ", seen in version " << v.version_order;
        else
            out << ", seen in versions " << v.version_order << " to " << v.seen_until - 1;
        out << "\n";
        if (!v.changes.empty()) out << "    " << TextChanges(v.changes, v.function == 'A') << "\n";
        for (const JournalEdit& e : v.edits) out << "    " << TextEdit(e) << "\n";
    }
}

}  // namespace mz::app
