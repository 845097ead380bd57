// What changed between two versions of one report group, and what happened to one row through
// the versions of its group. Both are computed from the columns every versioned table carries
// (version_from, version_to, is_audit_row, ref_id, delete_date), so any two versions compare,
// audits included, in either order; and from the change journal (mz_change_journal), which holds
// what was changed or deleted in place: the edits of a version's rows before it was filed, and of
// notes, which change in place, after.
//
// What a version shows of a table: a filed version, the filed rows whose version range holds it;
// an audit, the audit rows whose range holds it and, in each group that has none, the filed row,
// as a class's audit list puts the audit row in place of the filed one. A row with a delete_date
// (a "D" marker) shows as nothing and hides the row it deletes. Rows are matched by group_id; a
// row is changed when a data column (report_sections.h) differs.
//
// Every function returns "" or an error text naming what is wrong; engine failures raise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/db_connect.h"
#include "history/report_sections.h"
#include "platform/variant.h"

namespace mz {

struct ColumnChange {
    std::string column;
    Variant old_value, new_value;
};

// One change made in place to a row: one statement's lines of the change journal.
struct JournalEdit {
    int32_t unique_id = 0, group_id = 0, report_id = 0;
    char action = 'U';  // 'U' columns changed in place, 'D' the row deleted in place
    Variant when;       // change_date
    std::string user;
    std::vector<ColumnChange> changes;  // 'D': every data column, with the value it had as old
};

// A row one version shows and the other does not.
struct DiffRow {
    int32_t group_id = 0;
    int32_t unique_id = 0;
    std::vector<Variant> values;  // one per column of its section
};

struct ChangedRow {
    int32_t group_id = 0;
    int32_t from_unique_id = 0, to_unique_id = 0;
    std::vector<ColumnChange> changes;  // in column order
};

struct SectionDiff {
    ReportSection section;
    std::vector<std::string> columns;  // the data columns
    std::vector<DiffRow> added, deleted;
    std::vector<ChangedRow> changed;  // each list by group_id
    // Edits in place since the earlier version was filed, of rows written in it or before the
    // later one (none when the earlier one is still open), in the order they were made.
    std::vector<JournalEdit> edits;

    bool Empty() const {
        return added.empty() && deleted.empty() && changed.empty() && edits.empty();
    }
};

struct VersionDiff {
    ReportVersion from, to;
    std::vector<SectionDiff> sections;  // every section of the database
};

// Error text for a report that does not exist and for two reports of different report groups.
std::string DiffReportVersions(DbConnect& db, int32_t from, int32_t to, VersionDiff& diff);

// One row of a chain, as the version that wrote it left it.
struct RowVersion {
    int32_t unique_id = 0;
    int32_t report_id = 0;
    int32_t version_order = 0;  // of report_id
    bool audit = false;         // written in an audit
    char function = 'A';        // 'A' added, 'C' a changed copy, 'D' a deletion marker
    int32_t replaces = 0;       // ref_id: the row a copy replaces or a marker deletes; 0 for 'A'
    int32_t seen_until = 0;     // version_to: the first version on its side that no longer sees
                                // it, 0 while none replaced it
    Variant written, updated, deleted;  // orig_date, update_date, delete_date
    // 'A': every data column written with a value (old value Null); 'C': the data columns that
    // differ from the row it replaces; 'D': none.
    std::vector<ColumnChange> changes;
    std::vector<JournalEdit> edits;  // made to it in place, in order
    bool gone = false;               // deleted in place: only its edits tell of it (function ' ')
};

struct RowHistory {
    ReportSection section;
    int32_t group_id = 0;
    int32_t report_group_id = 0;
    std::vector<RowVersion> versions;  // by version, filed before audit, then by unique_id
};

// Error text for a table the registry does not name and a group with no row in the table, nor any
// in its journal.
std::string ReadRowHistory(DbConnect& db, std::string_view table, int32_t group_id,
                           RowHistory& history);

}  // namespace mz
