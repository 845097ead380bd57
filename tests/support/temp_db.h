// A fresh report database for one test, removed when the test ends: a temporary file, or, when
// the tests run against the server (MZ_TEST_BACKEND=postgres, the server found through libpq's
// PGHOST, PGPORT and PGUSER, as ./dev test starts it), a database of its own cloned from a
// template built once per server. Path() is then its connection URI, which every record object
// and command takes where it takes a file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "db/db_connect.h"

namespace mz::test {

// True when the end-to-end tests run against the PostgreSQL server.
bool OnPostgres();
// The engine's name as its errors give it as their source.
inline std::string EngineName() {
    return OnPostgres() ? "PostgreSQL" : "SQLite";
}

// Skips the rest of a test on the server: for what only the embedded file has (its bytes,
// permissions, journal, locks). The reason shows in the skip message.
#define MZ_EMBEDDED_ONLY(reason)                                                              \
    do {                                                                                      \
        if (::mz::test::OnPostgres()) GTEST_SKIP() << "embedded database only: " << (reason); \
    } while (false)

class TempReportDb {
  public:
    TempReportDb();  // creates the database; fails the test when it cannot
    ~TempReportDb();
    TempReportDb(const TempReportDb&) = delete;
    TempReportDb& operator=(const TempReportDb&) = delete;

    const std::string& Path() const { return path_; }
    // Runs SQL directly on the database, outside the library (test set-up and inspection),
    // written for SQLite: on the server it is rewritten as the schema is (db/sql_dialect.h).
    void Exec(const std::string& sql) const;
    // Runs SQL as Exec does, as a second program on the database would: the engine's error
    // text, "" when it ran.
    std::string TryExec(const std::string& sql) const;
    // The first column of the first row of a query, as text ("NULL" for Null, "" for no row),
    // in SQLite's spelling on both engines (1 for a bit, 12.5 for money, 2005-03-15 for a date
    // at midnight).
    std::string Scalar(const std::string& sql) const;
    // Stores a procedure written for SQLite, its body rewritten for the server as the schema's
    // own procedures are.
    void AddProcedure(const std::string& name, const std::string& parameters,
                      const std::string& body) const;
    // Creates a versioned table (db/versioned_table.h) with its procedure, views and triggers,
    // generated for the engine as the schema's own are.
    void AddVersionedTable(const std::string& declaration) const;

  private:
    std::string path_;
};

// A new report version ("new", "amend" or "audit" of ref); fails the test on an error text.
int32_t NewReportVersion(DbConnect& db, const std::string& action, int32_t ref = -1);

// A path for a file that does not exist yet, in a directory removed at the end of the run.
std::string TempPath(const std::string& name);

// A trigger that makes every delete from table fail inside the engine with "injected failure".
void FailDeletes(const TempReportDb& db, const std::string& table);

// Every row of every table of the report database at path, one "table:rows:hash" per table.
// Columns the database fills from the clock (orig_date, update_date, delete_date, created_date,
// filed_date, change_date) count only as set or not, so two runs of the same work give the same
// digest.
std::string DatabaseDigest(const std::string& path);

// A copy of the (closed) database at path under a new temporary name.
std::string CopyDatabase(const std::string& path);
// Removes a database made by CopyDatabase: the file and its journal, or the server's database.
void RemoveDatabase(const std::string& path);

}  // namespace mz::test
