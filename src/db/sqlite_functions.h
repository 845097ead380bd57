// The SQL functions that translated T-SQL relies on (see tsql_translator.h), registered on each
// SQLite connection of the report database. Private to the db layer.
//
//   mz_add(a, b)              "+": joins texts when either side is text, adds numbers otherwise
//                             (integers stay integers), Null when either side is Null
//   mz_convert(type, x [, s]) convert(type, x, style): texts (varchar(n), char(n) with date styles
//                             1, 101, 3, 103, 10, 110, 12, 112, 20, 120 and others), int,
//                             money, numeric(p,s), float, bit, datetime and date
//   mz_getdate()              the local date and time as ISO text "yyyy-mm-dd hh:mm:ss"
//   mz_year/mz_month/mz_day(x) parts of a date given as ISO or m/d/yyyy text, or as a day
//                             number counted from 1/1/1900; Null for Null
//   mz_refuse(text)           fails the statement with text as its error (a trigger's refusal)
//   mz_user()                 the connection's user name, or the system user this process runs
//                             as when it names none (the change journal's who)
//   sum, total, avg           the engine's own, replaced on the connection by exact ones: money is
//                             stored as REALs, and these (and mz_add) add amounts as counts of
//                             ten-thousandths, so every sum of amounts is exact
// Dates come and go as ISO text, the way the report database stores them. A value that cannot
// convert makes the statement fail with a "Conversion failed ..." message, as in T-SQL.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;

namespace mz {

// The longest text or blob a statement may make or a value may be bound: over a hundred times
// the longest text a report's column holds (8,000 characters), so no list is touched, while
// the string functions a call of which is one step of the engine, beyond the reach of the time
// limit, finish in well under a second: they take time in proportion to their values (replace
// and the trims are this file's own), or, like LIKE and GLOB, to a value times a pattern of at
// most kSqlitePatternLimit characters. A statement that makes a longer value ends with "string
// or blob too big".
constexpr int64_t kSqliteValueLimit = int64_t{1} << 20;
// The longest LIKE or GLOB pattern.
constexpr int64_t kSqlitePatternLimit = 100;
// The longest SQL text a statement may be.
constexpr int64_t kSqliteSqlLimit = int64_t{1} << 20;
// The memory the engine may take in this process, every connection together; a statement that
// needs more ends with "out of memory" and changes nothing. A connection's page cache is a few
// megabytes, and sorts and temporary tables beyond it go to temporary files, so a 100,000-row
// report's lists need a small part of it; a row of a thousand 1 MB values does not fit. From a
// quarter of it on, the engine gives back page cache before it asks for more.
constexpr int64_t kSqliteMemoryLimit = int64_t{1} << 30;

// Registers the functions above on `db` (deterministic where they are); user is mz_user()'s.
void RegisterDialectFunctions(sqlite3* db, const std::string& user = "");

// Closes a report database connection to everything neither the system's own SQL nor a reader
// needs, so that no caller text reaches the engine's internals: no extension loading, no
// tokenizer pointers, no virtual table modules, no attached files, defensive mode (no writes to the
// schema or the file's pages), and an authorizer that admits only the functions of
// kAdmittedFunctions (sqlite_functions.cpp) and the mz_* above. Anything else ends the statement
// with "not authorized" before it runs. It also sets the limits above (the memory limit once for
// the process). Call after the connection's own pragmas.
void GuardConnection(sqlite3* db);

}  // namespace mz
