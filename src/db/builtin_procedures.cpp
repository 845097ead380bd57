#include "db/builtin_procedures.h"

#include "db/sql_types.h"
#include "db/version_columns.h"
#include "platform/text.h"

namespace mz {

Variant* FindValue(ParamValues& values, std::string_view name) {
    for (auto& [n, v] : values)
        if (EqualsNoCase(n, name)) return &v;
    return nullptr;
}

const SchemaColumn* SchemaTable::Find(std::string_view column) const {
    for (const SchemaColumn& c : columns)
        if (EqualsNoCase(c.name, column)) return &c;
    return nullptr;
}

const std::string kJournalInsert =
    "INSERT INTO mz_change_journal (table_name, unique_id, group_id, report_id, action, "
    "column_name, old_value, new_value, change_date, user_name) ";

namespace {

bool IsVersioned(const SchemaTable& table) {
    return table.Find("report_id") && table.Find("group_id");
}

std::string NoRow(const char* procedure, const SchemaTable& table, const Variant& id) {
    return std::string(procedure) + ": " + table.name + " has no row with unique_id " +
           id.ToText() + ".";
}

}  // namespace

std::string JournalLine(std::string_view table, char action, std::string_view column,
                        std::string_view new_value, std::string_view now) {
    return "SELECT " + SqlQuoted(Lower(table)) + ", unique_id, group_id, report_id, '" +
           std::string(1, action) + "', " + SqlQuoted(column) + ", CAST(" + std::string(column) +
           " AS text), CAST(" + std::string(new_value) + " AS text), " + std::string(now) +
           ", mz_user() FROM " + std::string(table);
}

BuiltinWrite PlanUpdateTable(ParamValues& values, const FindSchemaTable& find,
                             const BuiltinDialect& dialect) {
    const Variant* table_name = FindValue(values, "@table");
    const Variant* column_name = FindValue(values, "@column");
    const Variant* id = FindValue(values, "@unique_id");
    const Variant* value = FindValue(values, "@value");
    BuiltinWrite w;
    const std::string tname = table_name ? table_name->ToText() : "";
    const SchemaTable* table = find(tname);
    if (!table) {
        w.refusal = "sp_update_table: the report database has no table \"" + tname + "\".";
        return w;
    }
    const std::string cname = column_name ? column_name->ToText() : "";
    const SchemaColumn* column = table->Find(cname);
    if (!column) {
        w.refusal = "sp_update_table: table " + table->name + " has no column \"" + cname + "\".";
    } else if (EqualsNoCase(column->name, "unique_id")) {
        w.refusal =
            "sp_update_table: the column unique_id of " + table->name + " cannot be changed.";
    } else if (!id || !id->IsNumeric()) {
        w.refusal = "sp_update_table: @unique_id must be a number.";
    }
    if (!w.refusal.empty()) return w;
    w.sql = "UPDATE \"" + table->name + "\" SET \"" + column->name + "\" = " + dialect.first;
    if (table->Find("update_date") && !EqualsNoCase(column->name, "update_date"))
        w.sql += std::string(", update_date = ") + dialect.local_now;
    w.sql += std::string(" WHERE unique_id = ") + dialect.second;
    if (IsVersioned(*table)) {
        w.journal = kJournalInsert +
                    JournalLine(table->name, 'U', column->name, dialect.first, dialect.local_now) +
                    " WHERE unique_id = " + dialect.second + " AND " + column->name + " " +
                    dialect.is_not + " " + dialect.first;
    }
    w.args = {ValueForStorage(value ? *value : Variant::Null(), column->type),
              Variant(id->ToInt32())};
    w.column = column;
    w.no_row = NoRow("sp_update_table", *table, *id);
    return w;
}

BuiltinWrite PlanDeleteTable(ParamValues& values, const FindSchemaTable& find,
                             const BuiltinDialect& dialect) {
    const Variant* table_name = FindValue(values, "@table");
    const Variant* id = FindValue(values, "@unique_id");
    BuiltinWrite w;
    const std::string tname = table_name ? table_name->ToText() : "";
    const SchemaTable* table = find(tname);
    if (!table) {
        w.refusal = "sp_delete_table: the report database has no table \"" + tname + "\".";
    } else if (!table->Find("unique_id")) {
        w.refusal = "sp_delete_table: table " + table->name + " has no unique_id.";
    } else if (!id || !id->IsNumeric()) {
        w.refusal = "sp_delete_table: @unique_id must be a number.";
    }
    if (!w.refusal.empty()) return w;
    w.sql = "DELETE FROM \"" + table->name + "\" WHERE unique_id = " + dialect.first;
    if (IsVersioned(*table)) {
        for (const SchemaColumn& c : table->columns) {
            if (IsVersionBookkeeping(c.name)) continue;
            w.journal += (w.journal.empty() ? kJournalInsert : " UNION ALL ") +
                         JournalLine(table->name, 'D', c.name, "NULL", dialect.local_now) +
                         " WHERE unique_id = " + dialect.first;
        }
    }
    w.args = {Variant(id->ToInt32())};
    w.no_row = NoRow("sp_delete_table", *table, *id);
    return w;
}

}  // namespace mz
