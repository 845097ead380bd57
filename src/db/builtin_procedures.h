// sp_update_table and sp_delete_table, the two procedures every engine runs itself rather than
// from mz_procedure: the table and column a call names are checked against the schema, and the
// one statement that does the work is written in the engine's own placeholders.
//
// On a versioned table (one with report_id and group_id) a change made in place is written to the
// change journal (mz_change_journal) first, in the same call: the column's old and new value, or,
// for a deleted row, every data column with the value it had; when, and who (mz_user()). A change
// the database refuses (a filed version's row) undoes its journal line with it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "db/backend.h"
#include "platform/variant.h"

namespace mz {

// The value of a call's parameter, by name in any case; null when the call has none.
Variant* FindValue(ParamValues& values, std::string_view name);

struct SchemaColumn {
    std::string name;
    VarType type;
    unsigned engine_type = 0;  // the engine's own type code, where it binds by type
};
struct SchemaTable {
    std::string name;
    std::vector<SchemaColumn> columns;
    const SchemaColumn* Find(std::string_view column) const;  // any case; null when absent
};
// The schema's table of that name (any case), or null.
using FindSchemaTable = std::function<const SchemaTable*(std::string_view name)>;

// How an engine writes the statement: its first two placeholders, its local time now, and its
// comparison that takes Null as a value.
struct BuiltinDialect {
    const char* first;
    const char* second;
    const char* local_now;
    const char* is_not;
};

// The statement of one call, or why it is refused.
struct BuiltinWrite {
    std::string refusal;  // non-empty: nothing is run, this is the call's error text
    std::string journal;  // run first with the same args; "" when the table is not versioned
    std::string sql;
    std::vector<Variant> args;  // for the placeholders, in order, already in storage form
    const SchemaColumn* column = nullptr;  // sp_update_table: the column written by args[0]
    std::string no_row;                    // the error text when the statement changed no row
};

BuiltinWrite PlanUpdateTable(ParamValues& values, const FindSchemaTable& find,
                             const BuiltinDialect& dialect);
BuiltinWrite PlanDeleteTable(ParamValues& values, const FindSchemaTable& find,
                             const BuiltinDialect& dialect);

// The change journal's lines: kJournalInsert, then for each row of table that the statement's
// WHERE (to follow) selects, JournalLine's: column's value as the old one and new_value (an
// expression) as the new one, with now as the time. The journal names the table in lower case,
// as both engines can give it. Every writer of the journal makes its lines so.
extern const std::string kJournalInsert;
std::string JournalLine(std::string_view table, char action, std::string_view column,
                        std::string_view new_value, std::string_view now);

}  // namespace mz
