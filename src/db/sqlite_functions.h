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

#include <string>

struct sqlite3;

namespace mz {

// Registers the functions above on `db` (deterministic where they are); user is mz_user()'s.
void RegisterDialectFunctions(sqlite3* db, const std::string& user = "");

}  // namespace mz
