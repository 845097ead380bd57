// The objects every versioned schedule table shares, generated from its one row in
// mz_versioned_table (see schema/10_versions.sql): the views vw_mz_T, vw_mz_T_detail,
// vw_mz_T_ref_basic and vw_mz_T_ref_current, the indexes their joins use, the triggers that keep
// each row's version range, and the procedure "sp_misc_RPT_sequence_update", whose body names
// every table that has a report section. Private to the db layer; all statements are idempotent.
#pragma once

#include <string>
#include <vector>

struct sqlite3;

namespace mz {

struct VersionedTable {
    std::string table_name;
    std::string section_code;  // "" when the table has no report section
    std::string link_column;   // "" when rows name no parent row
    std::string detail_columns;
    std::string detail_joins;
};

// The statements (each ending in ';') for one table.
std::string VersionedObjectsSql(const VersionedTable& table);

// The statement that stores "sp_misc_RPT_sequence_update" in mz_procedure, over these tables.
std::string SequenceProcedureSql(const std::vector<VersionedTable>& tables);

// Reads mz_versioned_table and creates every table's objects and the sequence procedure on db.
// Returns "" or an error text. Run it after the schema files, inside their transaction.
std::string ApplyVersionedObjects(sqlite3* db);

}  // namespace mz
