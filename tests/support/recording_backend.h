// A Backend for tests that passes every call on to a real SQLite report database unless a rule of
// the test fails it, and a log of every call its connections make, in order. Record objects reach
// it through their own ConnectionVariables(<recorder name>, "recording", ...): the name picks the
// Recorder created by the test, so the same recorder is both a log and a fault seam over real
// data. The log is an observer of DbConnect (db/db_observer.h), as the trace is: it shows what the
// connections named for the recorder reported, one line a call.
//
// Log lines:
//   query <sql>
//   exec sp_x @a='text', @b=Long(5), @c=Integer(-1), @d=Null      (inputs in the order added)
//   begin / commit / rollback
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/shell.h"
#include "platform/error.h"
#include "platform/result_set.h"
#include "platform/variant.h"

namespace mz::test {

// The log form of a value: 'text', Long(5), Integer(-1), Double(1.5), Currency(12.5),
// Boolean(True), Date(2005-03-01), Null, Empty.
std::string LogValue(const Variant& value);

class Recorder {
  public:
    // Registers the recorder under name for the "recording" Source, over the report database at
    // real_database; it is unregistered when the last reference goes.
    static std::shared_ptr<Recorder> Create(const std::string& name,
                                            const std::string& real_database);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // --- faults. Rules match in the order they were given; nth = 0 matches every call, n only the
    // n-th call that the rule matches. Queries match by a substring of their text.
    // Answered with no rows in the fields "name:Type, ..." (Long, Integer, String, Currency,
    // Double, Date, Boolean) instead of running: the name component's look-up of entity columns
    // answered so keeps a cascade's log free of the schema's list of tables.
    Recorder& OnQuery(std::string substring, std::string fields);
    Recorder& FailQuery(std::string substring, std::string error_text, int nth = 0);
    Recorder& RaiseOnQuery(std::string substring, Error error, int nth = 0);
    // Name "" matches every procedure.
    Recorder& FailProcedure(std::string name, std::string error_text, int nth = 0);
    Recorder& RaiseOnProcedure(std::string name, Error error, int nth = 0);
    // CreateCommand of the procedure gets this error text.
    Recorder& FailCreate(std::string name, std::string error_text);

    // --- log
    const std::vector<std::string>& Lines() const;
    // The lines joined with '\n'.
    std::string Log() const;
    void ClearLog();

  private:
    friend class RecordingBackend;
    class CallLog;
    enum class Kind { Query, Exec, Create };
    struct Rule {
        Kind kind;
        std::string match;  // substring of the query, or the procedure name ("" any)
        int nth = 0;
        int seen = 0;
        std::optional<std::string> error_text;
        std::optional<Error> raise;
        std::optional<std::string> fields;
    };

    Recorder(std::string name, std::string real_database);
    // The first rule of the kind matching text, counting it; null when none fires.
    const Rule* Fire(Kind kind, std::string_view text);

    std::string name_;
    std::string real_database_;
    std::vector<Rule> rules_;
    std::shared_ptr<CallLog> log_;
};

// One call of a table-driven test and the log it must leave.
struct LoggedStep {
    std::string name;
    std::function<void()> call;
    std::string log;
};
// Runs each step on a cleared log and compares the log it leaves, naming the step on a mismatch.
// An expected line ending in "..." matches any line that begins with the rest of it.
void WalkSteps(Recorder& recorder, const std::vector<LoggedStep>& steps);

// A step whose expected log is kept in a data file.
struct NamedCall {
    std::string name;
    std::function<void()> call;
};
// A shell (app/shell.h) for steps written as its lines; what each line prints is kept for the
// step's log.
class StepShell {
  public:
    explicit StepShell(const std::string& db_path) : shell_(db_path, out_, err_) {}
    // Runs line; what it printed, "= " before each line of stdout and "! " of stderr.
    std::vector<std::string> Run(const std::string& line);

  private:
    std::ostringstream out_, err_;
    app::Shell shell_;
};

// WalkSteps with the logs of a data file's lines (test::DataLines), in the section of the running
// test ("### <suite>.<test>"): for each step, in order, a "== <name>" line and the log's lines.
// Blank lines do not count; lines outside the sections are comments. A step holding "> <line>"
// lines is run by shell, each line in turn: its log shows each shell line, the calls it made and
// what it printed, in that order. A "+ FailProcedure <name> <nth> <error text>" line among them
// adds the rule (Recorder::FailProcedure) before the lines after it run. Every other step is the
// next of calls, of the same name.
void WalkSteps(Recorder& recorder, const std::vector<std::string>& log_file,
               const std::vector<NamedCall>& calls, StepShell* shell = nullptr);

// The audit version filter on alias a over table's "_ref_basic" view (or the view of another
// suffix), as every list writes it.
std::string AuditTail(const std::string& table, const std::string& a,
                      const std::string& suffix = "_ref_basic");

}  // namespace mz::test
