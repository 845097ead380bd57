// sp_update_table and sp_delete_table, the two procedures every engine runs itself rather than
// from mz_procedure: the table and column a call names are checked against the schema, and the
// one statement that does the work is written in the engine's own placeholders.
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

// How an engine writes the statement: its first two placeholders and its local time now.
struct BuiltinDialect {
    const char* first;
    const char* second;
    const char* local_now;
};

// The statement of one call, or why it is refused.
struct BuiltinWrite {
    std::string refusal;  // non-empty: nothing is run, this is the call's error text
    std::string sql;
    std::vector<Variant> args;  // for the placeholders, in order, already in storage form
    const SchemaColumn* column = nullptr;  // sp_update_table: the column written by args[0]
    std::string no_row;                    // the error text when the statement changed no row
};

BuiltinWrite PlanUpdateTable(ParamValues& values, const FindSchemaTable& find,
                             const BuiltinDialect& dialect);
BuiltinWrite PlanDeleteTable(ParamValues& values, const FindSchemaTable& find,
                             const BuiltinDialect& dialect);

}  // namespace mz
