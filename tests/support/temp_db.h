// A fresh report database in a temporary file, removed with its WAL files when the test ends.
#pragma once

#include <cstdint>
#include <string>

#include "db/db_connect.h"

namespace mz::test {

class TempReportDb {
  public:
    TempReportDb();  // creates the database; fails the test when it cannot
    ~TempReportDb();
    TempReportDb(const TempReportDb&) = delete;
    TempReportDb& operator=(const TempReportDb&) = delete;

    const std::string& Path() const { return path_; }
    // Runs SQL directly on the file, outside the library (test set-up and inspection).
    void Exec(const std::string& sql) const;
    // The first column of the first row of a query, as text ("NULL" for Null, "" for no row).
    std::string Scalar(const std::string& sql) const;

  private:
    std::string path_;
};

// A new report version ("new", "amend" or "audit" of ref); fails the test on an error text.
int32_t NewReportVersion(DbConnect& db, const std::string& action, int32_t ref = -1);

// A path for a file that does not exist yet, in a directory removed at the end of the run.
std::string TempPath(const std::string& name);

// Every row of every table of the report database at path, one "table:rows:hash" per table.
// Columns the database fills from the clock (orig_date, update_date, delete_date, created_date)
// count only as set or not, so two runs of the same work give the same digest.
std::string DatabaseDigest(const std::string& path);

// A copy of the (closed) database at path under a new temporary name.
std::string CopyDatabase(const std::string& path);

}  // namespace mz::test
