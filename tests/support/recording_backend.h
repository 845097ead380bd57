// A Backend for tests that answers from a script, and a log of every call its connections make,
// in order. Record objects reach it through their own ConnectionVariables(<recorder name>,
// "recording", ...): the name picks the Recorder created by the test. Given a real database path,
// calls that no rule answers go on to the SQLite report database, so the same recorder is both a
// log and a fault seam over real data. The log is an observer of DbConnect (db/db_observer.h), as
// the trace is: it shows what the connections named for the recorder reported, one line a call.
//
// Log lines:
//   query <sql>
//   exec sp_x @a='text', @b=Long(5), @c=Integer(-1), @d=Null      (inputs in the order added)
//   begin / commit / rollback
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/result_set.h"
#include "platform/variant.h"

namespace mz::test {

// A result set from a compact description: fields, then rows, separated by '|':
//   "unique_id:Long, Description:String(50), amount:Currency(19) | 1, 'a, b', 12.5 | 2, Null, 0"
// Types: Long, Integer, String, Currency, Double, Date, Boolean. Values: Null, 'text' (quote
// doubled inside), numbers, #m/d/yyyy# or #yyyy-mm-dd#, True, False. A size in parentheses is the
// defined size of a String or the precision of a Currency or Double.
ResultSet MakeResultSet(std::string_view description);

// The log form of a value: 'text', Long(5), Integer(-1), Double(1.5), Currency(12.5),
// Boolean(True), Date(2005-03-01), Null, Empty.
std::string LogValue(const Variant& value);

class Recorder {
  public:
    // Registers the recorder under name for the "recording" Source; it is unregistered when the
    // last reference goes. With real_database, unanswered calls go to that SQLite report database.
    static std::shared_ptr<Recorder> Create(const std::string& name,
                                            const std::string& real_database = "");
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // --- script. Rules match in the order they were given; nth = 0 matches every call, n only the
    // n-th call that the rule matches.
    // Queries whose text contains substring are answered with MakeResultSet(result).
    Recorder& OnQuery(std::string substring, std::string result);
    Recorder& FailQuery(std::string substring, std::string error_text, int nth = 0);
    Recorder& RaiseOnQuery(std::string substring, Error error, int nth = 0);
    // Declares the procedure's output parameters and the values a run gives them.
    Recorder& OnProcedure(std::string name, std::vector<std::pair<std::string, Variant>> outputs);
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

    const std::string& RealDatabase() const { return real_database_; }

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
        std::optional<std::string> answer;
    };
    struct ProcedureScript {
        std::string name;
        std::vector<std::pair<std::string, Variant>> outputs;
    };

    Recorder(std::string name, std::string real_database);
    // The first rule of the kind matching text, counting it; null when none fires.
    const Rule* Fire(Kind kind, std::string_view text);
    const ProcedureScript* FindProcedure(std::string_view name) const;

    std::string name_;
    std::string real_database_;
    std::vector<Rule> rules_;
    std::vector<ProcedureScript> procedures_;
    std::shared_ptr<CallLog> log_;
};

// One call of a table-driven test and the log it must leave.
struct LoggedStep {
    std::string name;
    std::function<void()> call;
    std::string log;
};
// Runs each step on a cleared log and compares the log it leaves, naming the step on a mismatch.
void WalkSteps(Recorder& recorder, const std::vector<LoggedStep>& steps);

// The audit version filter on alias a over table's "_ref_basic" view (or the view of another
// suffix), as every list writes it.
std::string AuditTail(const std::string& table, const std::string& a,
                      const std::string& suffix = "_ref_basic");

}  // namespace mz::test
