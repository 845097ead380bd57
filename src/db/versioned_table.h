// A versioned schedule table, declared once in a schema file and generated from there: the table
// with the columns every versioned table shares, its insert procedure "sp_insert_<table>" (checks,
// "A", "C" and "D" branches, the returned identifiers), the four views, the indexes their joins
// use, the triggers that keep each row's version range, its row in mz_versioned_table, and its
// part of "sp_misc_RPT_sequence_update". Private to the db layer.
//
// The declaration (in a schema file, closed by "END;" alone at the start of a line):
//
//   CREATE VERSIONED TABLE rpt_notes (
//       report_section_code varchar(3),     -- the table's own columns, after the shared ones
//       link_id int,
//       ...
//   )
//   SECTION REC                             -- its report section (sequence renumbering)
//   LINK link_id                            -- the column naming a parent row
//   INSERT @Report_section_code, @Link_id, @Note_type_code = Note_type_code, ...
//   MARKER page_amount_id, sequence, ...    -- what a "D" marker keeps (default: every column)
//   LIST COLUMNS rt.description AS Receipt_type_desc   -- in every view (lists read them as f.x)
//   LIST JOINS LEFT OUTER JOIN lks_receipt_type rt ON rt.code = t.receipt_type_code
//   LIST OMITS current_page_number, ...     -- own columns the _ref views leave out (below)
//   ROW COLUMNS na.org_name, ...            -- in vw_mz_T and vw_mz_T_detail only
//   ROW JOINS LEFT OUTER JOIN rpt_name_address na ON na.unique_id = t.entity_id
//   PAGED                                   -- rows are items printed on report pages (below)
//   END;
//
// INSERT lists the procedure's column parameters in the order the classes add them; a parameter
// fills the column of its name (without "@", compared without case) unless "= column" names
// another, and takes that column's type. Names differing only in case are one parameter. Every
// clause but the column list is optional; clause texts may go on over indented lines. In view
// texts the table is aliased t.
//
// LIST OMITS names own columns that vw_mz_T_ref_basic and vw_mz_T_ref_current leave out: a list
// that selects f.* and joins columns of the same names from elsewhere (the page rows) must read
// the joined ones, and a result set finds the first column of a name.
//
// PAGED (no text) makes the rows items of the page rows (rpt_page_amount) their page_amount_id
// names: page_amount_id is indexed for the page lists' joins, and vw_mz_T_ref_current carries
// Count, the rows of the row's page seen through the same version, not deleted, on the same side
// (filed or audit) as the row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/procedure_text.h"
#include "db/sql_dialect.h"

namespace mz {

struct VersionedColumn {
    std::string name;
    std::string type;  // as declared: "int", "varchar(10)", "money"...
};

struct VersionedParam {
    std::string name;    // "@Link_id"
    std::string column;  // "link_id", as the table spells it
};

struct VersionedTable {
    std::string name;
    std::string section_code;              // "" when the table has no report section
    std::string link_column;               // "" when rows name no parent row
    std::vector<VersionedColumn> columns;  // own columns, in table order
    std::vector<VersionedParam> params;    // insert parameters, in call order
    std::vector<std::string> marker;       // columns a "D" marker keeps; empty: all
    bool marker_declared = false;
    std::string list_columns, list_joins;  // every view
    std::vector<std::string> list_omits;   // own columns the _ref views leave out
    std::string row_columns, row_joins;    // vw_mz_T and vw_mz_T_detail
    bool paged = false;                    // PAGED

    // The shared columns and then the own ones, as the table is created.
    std::vector<VersionedColumn> AllColumns() const;
};

// Parses one declaration, from "CREATE VERSIONED TABLE" up to (not including) its "END;" line.
// Error set, naming the table and the clause, for a malformed declaration, a parameter without a
// column, or a marker column the table does not have.
VersionedTable ParseVersionedTable(std::string_view text, std::string& error);

// "CREATE TABLE ..." for the table.
std::string CreateTableSql(const VersionedTable& table);

// The insert procedure, to be stored with the hand-written ones. The generator writes the
// baseline dialect; the schema loader applies the other dialects' rewrites to what it returns.
ProcedureText InsertProcedure(const VersionedTable& table,
                              const SqlDialect& dialect = SqliteDialect());

// The views, indexes and triggers of one table and its registry row (statements ending in ';').
// They refer to other tables (lookups, names), so they are created after every schema file.
std::string VersionedObjectsSql(const VersionedTable& table,
                                const SqlDialect& dialect = SqliteDialect());

// "sp_misc_RPT_sequence_update", whose body names every table that has a report section.
ProcedureText SequenceProcedure(const std::vector<VersionedTable>& tables);

}  // namespace mz
