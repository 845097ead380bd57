// Pieces the mzreport commands share: argument splitting, opening the database, printing a query
// and the one-line form of a raised error.
#pragma once

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "db/db_connect.h"
#include "db/db_observer.h"
#include "platform/error.h"

namespace mz::app {

struct CommandArgs {
    std::vector<std::string> rest;  // the arguments without the flags
    bool json = false;              // --json
    std::string trace;              // --trace FILE
    std::string format;             // --format NAME
    bool bad_flag = false;          // a --time-limit that is not a number of seconds, or a
                                    // --trace or --format without its value
};
// Takes out "--json", "--trace FILE", "--format NAME" and "--time-limit=SECONDS" (how long one
// query may run, 0 for no limit), which becomes the default of every connection the command
// opens.
CommandArgs SplitFlags(const std::vector<std::string>& args);

// The trace a command writes for --trace FILE: a line for every database call of the process
// while it lives (db/db_observer.h). Not copyable.
class CommandTrace {
  public:
    CommandTrace() = default;
    CommandTrace(const CommandTrace&) = delete;
    CommandTrace& operator=(const CommandTrace&) = delete;
    // Starts writing to path (replacing the file); "" starts nothing. False after
    // "mzreport <command>: ..." on stderr when the file cannot be written.
    bool Start(const std::string& path, const char* command);

  private:
    std::ofstream file_;
    std::optional<ScopedObserver> observer_;  // after file_: detached before the file closes
};

// "Error <number>: <description> [<source>]", as the shell prints a raised error.
std::string ErrorLine(const Error& e);

// Connects db to the report database at path; false after "mzreport <command>: <reason>" on
// stderr.
bool OpenReportDatabase(DbConnect& db, const std::string& path, const char* command);

// Runs one T-SQL query and prints its rows (as JSON when json); the exit code, 1 after printing
// the error text.
int PrintQuery(DbConnect& db, const std::string& sql, bool json, const char* command);

}  // namespace mz::app
