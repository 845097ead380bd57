#include "history/version_diff.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

#include "platform/error.h"
#include "platform/text.h"

namespace mz {
namespace {

// The columns every row read starts with; the data columns follow.
enum Meta {
    kUniqueId,
    kGroupId,
    kReportId,
    kReportGroupId,
    kRefId,
    kFrom,
    kTo,
    kAudit,
    kWritten,
    kUpdated,
    kDeleted,
    kMetaColumns
};

std::string RowsQuery(const ReportSection& section, const std::vector<std::string>& columns,
                      const std::string& where) {
    std::string sql =
        "select t.unique_id, t.group_id, t.report_id, t.report_group_id, t.ref_id, "
        "t.version_from, t.version_to, t.is_audit_row, t.orig_date, t.update_date, "
        "t.delete_date";
    for (const std::string& c : columns) sql += ", t." + c;
    return sql + " from " + section.table + " t where " + where;
}

int32_t Long(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? 0 : v.ToInt32();
}

bool IsAuditRow(const Variant* row) {
    return Long(row[kAudit]) != 0;
}

// The version sees the row on its side (its range holds the version; filed versions see filed
// rows only).
bool Sees(const ReportVersion& v, const Variant* row) {
    const int32_t to = Long(row[kTo]);
    return Long(row[kFrom]) <= v.version_order && (to == 0 || to > v.version_order) &&
           (v.is_audit || !IsAuditRow(row));
}

// Rows of alias a whose version range holds some version from lo to hi, and rows whose range
// holds both, which therefore show the same in both.
std::string Overlaps(const char* a, int32_t lo, int32_t hi) {
    return std::string(a) + ".version_from <= " + std::to_string(hi) + " and (" + a +
           ".version_to is null or " + a + ".version_to > " + std::to_string(lo) + ")";
}
std::string Covers(const char* a, int32_t lo, int32_t hi) {
    return std::string(a) + ".version_from <= " + std::to_string(lo) + " and (" + a +
           ".version_to is null or " + a + ".version_to > " + std::to_string(hi) + ")";
}

// The data columns of to that differ from from; with from null, every column to gives a value.
std::vector<ColumnChange> Changes(const std::vector<std::string>& columns, const Variant* from,
                                  const Variant* to) {
    std::vector<ColumnChange> changes;
    const Variant null = Variant::Null();
    for (size_t i = 0; i < columns.size(); ++i) {
        const Variant& old_value = from ? from[kMetaColumns + i] : null;
        const Variant& new_value = to[kMetaColumns + i];
        if (!(old_value == new_value)) changes.push_back({columns[i], old_value, new_value});
    }
    return changes;
}

// A journal line's text as the value of its column's type; the text itself when it is not one.
Variant JournalValue(const Variant& text, VarType type) {
    if (text.IsNull() || type == VarType::String) return text;
    try {
        switch (type) {
            case VarType::Boolean:
                return Variant(text.ToBool());
            case VarType::Int16:
                return Variant(text.ToInt16());
            case VarType::Int32:
                return Variant(text.ToInt32());
            case VarType::Double:
                return Variant(text.ToDouble());
            case VarType::Currency:
                return Variant(text.ToCurrency());
            case VarType::Date:
                return Variant(text.ToDate());
            default:
                return text;
        }
    } catch (const Error&) {
        return text;
    }
}

// Journal lines, one edit per statement (a run of lines of one row, action, time and user), in
// the order they were written; where each row was written, when asked.
struct JournalLine {
    enum {
        kUniqueId,
        kGroupId,
        kReportId,
        kAction,
        kColumn,
        kOld,
        kNew,
        kWhen,
        kUser,
        kOrder,
        kAudit,
        kReportGroup
    };
};
// Where a row of the journal was written, for a row it alone still knows.
struct WrittenIn {
    int32_t version_order = 0;
    bool audit = false;
    int32_t report_group_id = 0;
};
std::string ReadJournal(DbConnect& db, const std::string& table,
                        const std::vector<std::string>& columns, const std::vector<VarType>& types,
                        const std::string& where, std::vector<JournalEdit>& edits,
                        std::map<int32_t, WrittenIn>* written = nullptr) {
    ResultSet rs;
    if (std::string error = db.OpenRecordset(
            "select j.unique_id, j.group_id, j.report_id, j.action, j.column_name, j.old_value, "
            "j.new_value, j.change_date, j.user_name, r.version_order, r.is_audit, "
            "r.report_group_id "
            "from mz_change_journal j join rpt_report r on r.report_id = j.report_id "
            "where j.table_name = '" +
                Lower(table) + "' and " + where + " order by j.change_id",
            rs);
        !error.empty())
        return error;
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        const Variant* line = rs.CurrentRow();
        const int32_t unique_id = Long(line[JournalLine::kUniqueId]);
        const char action = line[JournalLine::kAction].ToText() == "D" ? 'D' : 'U';
        const std::string user = line[JournalLine::kUser].ToText();
        if (edits.empty() || edits.back().unique_id != unique_id || edits.back().action != action ||
            !(edits.back().when == line[JournalLine::kWhen]) || edits.back().user != user) {
            edits.push_back({unique_id,
                             Long(line[JournalLine::kGroupId]),
                             Long(line[JournalLine::kReportId]),
                             action,
                             line[JournalLine::kWhen],
                             user,
                             {}});
        }
        // The column as the table declares it (the server gives names in lower case).
        std::string column = line[JournalLine::kColumn].ToText();
        VarType type = VarType::String;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (!EqualsNoCase(columns[i], column)) continue;
            column = columns[i];
            type = types[i];
        }
        edits.back().changes.push_back({column, JournalValue(line[JournalLine::kOld], type),
                                        JournalValue(line[JournalLine::kNew], type)});
        if (written)
            (*written)[unique_id] = {Long(line[JournalLine::kOrder]),
                                     Long(line[JournalLine::kAudit]) != 0,
                                     Long(line[JournalLine::kReportGroup])};
    }
    return "";
}

DiffRow RowOf(const Variant* row, size_t columns) {
    DiffRow r;
    r.group_id = Long(row[kGroupId]);
    r.unique_id = Long(row[kUniqueId]);
    r.values.assign(row + kMetaColumns, row + kMetaColumns + columns);
    return r;
}

std::string DiffSection(DbConnect& db, const ReportVersion& from, const ReportVersion& to,
                        SectionDiff& out) {
    std::vector<VarType> types;
    if (std::string error = ReadDataColumns(db, out.section, out.columns, &types); !error.empty())
        return error;
    const int32_t lo = std::min(from.version_order, to.version_order);
    const int32_t hi = std::max(from.version_order, to.version_order);
    const std::string group = std::to_string(from.report_group_id);
    // Only rows that may show differently: a filed row both versions see shows the same in both,
    // unless an audit row of its group stands in for it in one of them.
    std::string where = "t.report_group_id = " + group + " and " + Overlaps("t", lo, hi) +
                        " and (not (" + Covers("t", lo, hi) + ")";
    if (from.is_audit || to.is_audit) {
        where += " or t.group_id in (select a.group_id from " + out.section.table +
                 " a where a.report_group_id = " + group + " and a.is_audit_row = 1 and " +
                 Overlaps("a", lo, hi) + ")) ";
    } else {
        where += ") and t.is_audit_row = 0 ";
    }
    ResultSet rs;
    if (std::string error = db.OpenRecordset(RowsQuery(out.section, out.columns, where), rs);
        !error.empty())
        return error;

    // Per group, the filed and the audit row each version sees.
    struct Seen {
        const Variant* filed = nullptr;
        const Variant* audit = nullptr;
        // What the version shows: the audit row in place of the filed one, nothing for a marker.
        const Variant* Shown() const {
            const Variant* row = audit ? audit : filed;
            return row && row[kDeleted].IsNull() ? row : nullptr;
        }
    };
    std::map<int32_t, std::pair<Seen, Seen>> groups;
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        const Variant* row = rs.CurrentRow();
        const bool in_from = Sees(from, row), in_to = Sees(to, row);
        if (!in_from && !in_to) continue;
        auto& [seen_from, seen_to] = groups[Long(row[kGroupId])];
        if (in_from) (IsAuditRow(row) ? seen_from.audit : seen_from.filed) = row;
        if (in_to) (IsAuditRow(row) ? seen_to.audit : seen_to.filed) = row;
    }
    for (const auto& [group_id, seen] : groups) {
        const Variant* old_row = seen.first.Shown();
        const Variant* new_row = seen.second.Shown();
        if (!old_row && !new_row) continue;
        if (!old_row) {
            out.added.push_back(RowOf(new_row, out.columns.size()));
        } else if (!new_row) {
            out.deleted.push_back(RowOf(old_row, out.columns.size()));
        } else if (Long(old_row[kUniqueId]) != Long(new_row[kUniqueId])) {
            std::vector<ColumnChange> changes = Changes(out.columns, old_row, new_row);
            if (!changes.empty())
                out.changed.push_back({group_id, Long(old_row[kUniqueId]), Long(new_row[kUniqueId]),
                                       std::move(changes)});
        }
    }
    // The journal's lines since the earlier version was filed; the line numbers count up, so
    // they are read from there on.
    const ReportVersion& earlier = from.version_order <= to.version_order ? from : to;
    if (earlier.filed.IsNull()) return "";
    return ReadJournal(db, out.section.table, out.columns, types,
                       "j.change_id > " + std::to_string(earlier.filed_change_id) +
                           " and r.report_group_id = " + group +
                           " and r.version_order <= " + std::to_string(hi),
                       out.edits);
}

}  // namespace

std::string DiffReportVersions(DbConnect& db, int32_t from, int32_t to, VersionDiff& diff) {
    diff = VersionDiff();
    if (std::string error = ReadReportVersion(db, from, diff.from); !error.empty()) return error;
    if (std::string error = ReadReportVersion(db, to, diff.to); !error.empty()) return error;
    if (diff.from.report_group_id != diff.to.report_group_id) {
        return "Reports " + std::to_string(from) + " and " + std::to_string(to) +
               " are not versions of one report: they belong to report groups " +
               std::to_string(diff.from.report_group_id) + " and " +
               std::to_string(diff.to.report_group_id) + ".";
    }
    std::vector<ReportSection> sections;
    if (std::string error = ReadReportSections(db, sections); !error.empty()) return error;
    for (ReportSection& section : sections) {
        SectionDiff& s = diff.sections.emplace_back();
        s.section = std::move(section);
        if (std::string error = DiffSection(db, diff.from, diff.to, s); !error.empty())
            return error;
    }
    return "";
}

std::string ReadRowHistory(DbConnect& db, std::string_view table, int32_t group_id,
                           RowHistory& history) {
    history = RowHistory();
    history.group_id = group_id;
    if (std::string error = FindReportSection(db, table, history.section); !error.empty())
        return error;
    std::vector<std::string> columns;
    std::vector<VarType> types;
    if (std::string error = ReadDataColumns(db, history.section, columns, &types); !error.empty())
        return error;
    ResultSet rs;
    if (std::string error =
            db.OpenRecordset(RowsQuery(history.section, columns,
                                       "t.group_id = " + std::to_string(group_id) +
                                           " order by t.version_from, t.is_audit_row, t.unique_id"),
                             rs);
        !error.empty())
        return error;
    std::vector<JournalEdit> edits;
    std::map<int32_t, WrittenIn> edited;
    if (std::string error = ReadJournal(db, history.section.table, columns, types,
                                        "j.group_id = " + std::to_string(group_id), edits, &edited);
        !error.empty())
        return error;
    if (rs.EOF() && edits.empty()) {
        return history.section.table + " has no row of group " + std::to_string(group_id) + ".";
    }
    std::unordered_map<int32_t, const Variant*> by_id;
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext())
        by_id[Long(rs.CurrentRow()[kUniqueId])] = rs.CurrentRow();
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        const Variant* row = rs.CurrentRow();
        history.report_group_id = Long(row[kReportGroupId]);
        RowVersion& v = history.versions.emplace_back();
        v.unique_id = Long(row[kUniqueId]);
        v.report_id = Long(row[kReportId]);
        v.version_order = Long(row[kFrom]);
        v.audit = IsAuditRow(row);
        v.replaces = Long(row[kRefId]);
        v.seen_until = Long(row[kTo]);
        v.written = row[kWritten];
        v.updated = row[kUpdated];
        v.deleted = row[kDeleted];
        v.function = !v.deleted.IsNull() ? 'D' : v.replaces == 0 ? 'A' : 'C';
        if (v.function != 'D') {
            const auto replaced = by_id.find(v.replaces);
            v.changes = Changes(columns, replaced == by_id.end() ? nullptr : replaced->second, row);
        }
    }
    // Rows deleted in place are known from their journal alone.
    for (const JournalEdit& e : edits) {
        if (by_id.contains(e.unique_id) ||
            std::any_of(history.versions.begin(), history.versions.end(),
                        [&](const RowVersion& v) { return v.unique_id == e.unique_id; }))
            continue;
        RowVersion& v = history.versions.emplace_back();
        v.unique_id = e.unique_id;
        v.report_id = e.report_id;
        v.version_order = edited[e.unique_id].version_order;
        v.audit = edited[e.unique_id].audit;
        history.report_group_id = edited[e.unique_id].report_group_id;
        v.function = ' ';
        v.gone = true;
        v.written = v.updated = v.deleted = Variant::Null();
    }
    std::stable_sort(history.versions.begin(), history.versions.end(),
                     [](const RowVersion& a, const RowVersion& b) {
                         return std::tie(a.version_order, a.audit, a.unique_id) <
                                std::tie(b.version_order, b.audit, b.unique_id);
                     });
    for (JournalEdit& e : edits)
        for (RowVersion& v : history.versions)
            if (v.unique_id == e.unique_id) v.edits.push_back(std::move(e));
    return "";
}

}  // namespace mz
