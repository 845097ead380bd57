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

#include <string>
#include <string_view>

struct sqlite3;

namespace mz {

// Loads the seed rows into the lookup tables of a database being created, inside the caller's
// transaction.
std::string LoadLookupSeed(sqlite3* db);

// Replaces the rows of every lookup table that dir holds a "<table>.csv" for, in one transaction
// on the report database at db_path; tables without a file keep theirs. A file that names no
// lookup table is refused.
std::string ImportLookupTables(const std::string& db_path, const std::string& dir);

// Writes every lookup table of the report database at db_path to dir/<table>.csv (dir is
// created when missing; files of those names are replaced). A new database gives back the seed
// files byte for byte.
std::string ExportLookupTables(const std::string& db_path, const std::string& dir);

}  // namespace mz
