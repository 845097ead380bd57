// Pieces the mzreport commands share: the table of commands with their usage, the argument
// parser every command runs first, opening the database, printing a query and the one-line form
// of a raised error.
#pragma once

#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/db_connect.h"
#include "db/db_observer.h"
#include "platform/error.h"

namespace mz::app {

// The options a command may take.
enum CommandFlag : unsigned {
    kFlagJson = 1u << 0,       // --json
    kFlagTrace = 1u << 1,      // --trace FILE
    kFlagFormat = 1u << 2,     // --format csv|json
    kFlagTimeLimit = 1u << 3,  // --time-limit=SECONDS
    kFlagForce = 1u << 4,      // --force
    kFlagRules = 1u << 5,      // --rules FILE
};

// One command of mzreport, as `help` shows it and the parser checks its arguments.
struct CommandDef {
    const char* name;
    const char* usage;    // after "mzreport ", options included
    const char* summary;  // one line for the list of commands
    const char* details;  // `help COMMAND`: the arguments and what the command does
    // The names of the arguments in order (the optional ones last), for "missing DB".
    std::vector<const char*> arguments;
    size_t required;  // how many of them must be given
    unsigned flags;   // CommandFlag bits
    int (*run)(const std::vector<std::string>& args);
};

// Every command, in the order `help` lists them.
std::span<const CommandDef> Commands();
// The command of that name; null when there is none.
const CommandDef* FindCommand(std::string_view name);

struct CommandArgs {
    std::vector<std::string> rest;  // the arguments without the options
    bool json = false;              // --json
    bool force = false;             // --force
    std::string trace;              // --trace FILE
    std::string format;             // --format NAME ("" when not given)
    std::string rules;              // --rules FILE
};

// Checks args against the command's def. nullopt: go on with out filled. Otherwise the exit
// status to return: 0 after printing the command's help for --help or -h, 2 after a usage
// error naming the wrong argument (UsageError). "--time-limit=SECONDS" (0 for no limit) becomes
// the default of every connection the command opens; "--" ends the options.
std::optional<int> ParseArgs(const CommandDef& def, const std::vector<std::string>& args,
                             CommandArgs& out);
// Prints "mzreport <command>: <problem>" and the command's usage on stderr; returns 2.
int UsageError(const CommandDef& def, const std::string& problem);
// The command's usage and details, as `help COMMAND` prints them.
std::string CommandHelp(const CommandDef& def);

// A decimal identifier a 32-bit integer holds.
bool IsId(const std::string& text);

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
