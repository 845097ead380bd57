// The rows of the lookup tables (the coded lists and the reference rows of a report database) as
// data files: one CSV file per table, "<table>.csv". The files of src/db/seed (embedded, see
// schema_files.h) seed every new database and name the lookup tables; an office replaces them
// with its own lists through `mzreport lookups import` and reads them back with `export`.
//
// File layout: the first line names the columns (any order; a column left out takes its
// default, so only columns that may be Null or have a default may be left out); one line per row
// after it. Fields are separated by commas; a field holding a comma, a quote, a line end or
// surrounding blanks is written in double quotes, with a quote inside doubled. An empty field is
// Null, "" is the empty text. Dates are yyyy-mm-dd (m/d/yyyy is read too), bits 0 or 1.
//
// Every function returns "" or an error text that names the file and the line ("lks_county.csv
// line 7: ..."); a failed load changes nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result_set.h"

struct sqlite3;

namespace mz {

struct LookupColumn {
    std::string name;
    FieldInfo info;
    bool not_null = false;
    bool has_default = false;
    bool integer_key = false;  // the row's identifier: given or numbered by the engine
};

// Where lookup rows are loaded: one engine's tables, inside a transaction its owner runs.
class LookupStore {
  public:
    virtual ~LookupStore() = default;
    // The columns of table in table order; none when there is no such table.
    virtual std::vector<LookupColumn> Columns(const std::string& table) = 0;
    // Runs one statement; "" or the engine's message.
    virtual std::string Exec(const std::string& sql) = 0;
    // Inserts one row, values in the order of columns; "" or the engine's message.
    virtual std::string Insert(const std::string& table,
                               const std::vector<const LookupColumn*>& columns,
                               const std::vector<Variant>& values) = 0;
    // After loading: engines that number rows from a counter move it past the loaded rows.
    virtual std::string Renumbered() { return ""; }
    // The column names and rows of table in the order the rows were loaded, each value in the
    // files' spelling (whole numbers without a fraction, dates as yyyy-mm-dd, bits 0 or 1; Null
    // as nullopt); "" or the engine's message.
    using Row = std::vector<std::optional<std::string>>;
    virtual std::string Read(const std::string& table, std::vector<std::string>& names,
                             std::vector<Row>& rows) = 0;
};

// Loads the seed rows into the lookup tables of a database being created, inside the caller's
// transaction.
std::string LoadLookupSeed(sqlite3* db);
std::string LoadLookupSeed(LookupStore& store);

// Replaces the rows of every lookup table that dir holds a "<table>.csv" for, in one transaction
// on the report database at db_path (a file, or a server's connection string); tables without a
// file keep theirs. A file that names no lookup table is refused.
std::string ImportLookupTables(const std::string& db_path, const std::string& dir);

// Writes every lookup table of the report database at db_path to dir/<table>.csv (dir is
// created when missing; files of those names are replaced). A new database gives back the seed
// files byte for byte.
std::string ExportLookupTables(const std::string& db_path, const std::string& dir);

}  // namespace mz
