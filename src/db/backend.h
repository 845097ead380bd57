// The contract between DbConnect and a database engine. DbConnect holds exactly one Backend,
// chosen by the Source of its connection settings (FindBackend): "" and "sqlite" are the embedded
// SQLite report database at DatabaseName; a PostgreSQL connection string or URI in Source (or in
// DatabaseName with an empty Source) is a report database on a server (db/postgres/); tests
// register a recording backend under their own name.
//
// Two error channels, as everywhere in this layer: plain failures (bad SQL text, unknown
// procedure, table or column, refused statements) come back as a non-empty error text and change
// nothing; failures of the engine while running a valid statement (constraint violations, busy,
// I/O) are raised as mz::Error with the engine's own number and a source naming the engine.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/result_set.h"
#include "platform/variant.h"

namespace mz {

struct ConnectionSettings {
    std::string database_name;
    std::string source;
    std::string user_name;
    std::string password;
    bool use_trusted = false;
};

struct ProcedureParam {
    std::string name;  // with its "@", as declared
    std::string type;  // declared type text, e.g. "int", "varchar(50)"
    bool is_output = false;
};

struct ProcedureInfo {
    std::vector<ProcedureParam> params;  // in declaration order
    bool any_input = false;              // accepts input names it does not declare (test doubles)
};

// Parameter values of one call, in declaration order, inputs and outputs alike.
using ParamValues = std::vector<std::pair<std::string, Variant>>;

// Receives a query's rows a batch at a time: a result set of the query's fields holding the next
// rows. A query without rows still gives its fields once, in an empty batch.
using RowBatches = std::function<void(ResultSet& batch)>;
// Rows of one batch, about.
constexpr int kBatchRows = 1000;

class Backend {
  public:
    virtual ~Backend() = default;

    // Runs one read-only T-SQL statement (or an exec of a read procedure) into out.
    // Returns "" or an error text; on an error text out is left closed.
    virtual std::string Query(std::string_view tsql, ResultSet& out) = 0;
    // The same, handing the rows to each in batches of about kBatchRows (the server's may be as
    // large as one fetch) instead of holding them all. Backends that cannot stream hand over all
    // the rows in one batch.
    virtual std::string QueryBatches(std::string_view tsql, const RowBatches& each) {
        ResultSet rs;
        std::string error = Query(tsql, rs);
        if (error.empty()) each(rs);
        return error;
    }
    // The declared parameters of a stored procedure; error text when there is no such procedure.
    virtual std::string DescribeProcedure(std::string_view name, ProcedureInfo& info) = 0;
    // Runs a procedure with every value bound; declared parameters the caller did not add are
    // Null. values holds the inputs in the order the caller added them; the outputs the run sets
    // are written back into it (appended when not there).
    virtual std::string Execute(std::string_view name, ParamValues& values) = 0;

    virtual bool InTransaction() const = 0;
    virtual void Begin() = 0;     // Error when one is already open
    virtual void Commit() = 0;    // Error when none is open
    virtual void Rollback() = 0;  // no-op when none is open

    // How long one Query may run before the engine stops it with a raised error; zero is no
    // limit. Backends that cannot stop a statement ignore it.
    virtual void QueryTimeLimit(std::chrono::milliseconds) {}
};

// Asks every Query running in this process to stop with a raised error (Ctrl-C in the shell).
// Async-signal-safe: it only bumps a lock-free counter, which a running query compares with the
// value it saw when it started.
void InterruptQueries();
uint32_t QueryInterrupts();

// The number of the error a stopped query raises, whichever engine ran it.
constexpr int32_t kQueryStoppedNumber = err::kDriverBase + 9;
// The number of the error a query raises when it needs more memory than it may have: its rows
// held in a result set (kQueryRowsMemory), or the engine's own (db/sqlite_functions.h).
constexpr int32_t kQueryTooBigNumber = err::kDriverBase + 7;

// How much memory the rows of one query may take while they are held (all of them, or one batch
// of QueryBatches): four times what the receipt list of a 100,000-receipt report takes (about
// 250 MB, every column of the view), and well inside what a desktop has to give.
constexpr size_t kQueryRowsMemory = size_t{1} << 30;

// Counts the memory of the rows a query holds, raising the clear error of a query that needs
// more than kQueryRowsMemory (with the engine as its source).
class RowsMemory {
  public:
    explicit RowsMemory(std::string_view engine) : engine_(engine) {}
    void Add(const Variant* values, int count);
    void Reset() { bytes_ = 0; }
    size_t Bytes() const { return bytes_; }
    // The clear error of a query whose rows the process had no memory left for.
    [[noreturn]] void RaiseOutOfMemory() const;

  private:
    std::string_view engine_;
    size_t bytes_ = 0;
};

// When one running query must stop: past its time limit (zero is none), or after an
// InterruptQueries since it started. The engine looks at Due while the query runs and stops it.
class QueryStop {
  public:
    explicit QueryStop(std::chrono::milliseconds limit);
    // True once the query must stop; remembers why.
    bool Due();
    bool Stopped() const { return stopped_; }
    // How long the engine may wait before it looks again (up to the deadline).
    std::chrono::milliseconds NextLook() const;
    // The clear error of a stopped query, with the engine as its source.
    [[noreturn]] void Raise(std::string_view engine) const;

  private:
    std::chrono::milliseconds limit_;
    std::chrono::steady_clock::time_point deadline_;
    uint32_t interrupts_;
    bool stopped_ = false, timed_out_ = false;
};

// Creates a backend for the settings, or returns null with error set (settings unusable).
using BackendFactory =
    std::function<std::unique_ptr<Backend>(const ConnectionSettings& settings, std::string& error)>;

// True for a PostgreSQL connection string: a "postgresql://" or "postgres://" URI, or libpq's
// "keyword=value ..." form. Anything else names a file.
bool IsServerConnection(std::string_view text);

// True for an engine failure that says another connection's work at the same time got in the
// way (a serialization conflict or a deadlock): the rolled-back transaction may be run again.
bool IsConflict(const Error& e);
// Waits before running again work that lost a conflict for the attempt-th time: longer each
// time, and by chance, so two writers that keep colliding fall out of step.
void WaitAfterConflict(int attempt);
// Runs of one transaction that keeps losing conflicts before the conflict reaches the caller.
constexpr int kConflictTries = 10;

// Runs work, one whole transaction; undo rolls it back after each raise. A lost conflict runs it
// again after WaitAfterConflict while may_rerun (nothing of it was committed, and work sets up
// everything it sends anew); any other failure, or the last conflict, reaches the caller.
template <class Work, class Undo>
decltype(auto) RunTransaction(bool may_rerun, Work&& work, Undo&& undo) {
    for (int attempt = 1;; ++attempt) {
        try {
            return work();
        } catch (const Error& e) {
            undo();
            if (!may_rerun || attempt >= kConflictTries || !IsConflict(e)) throw;
        } catch (...) {
            undo();
            throw;
        }
        WaitAfterConflict(attempt);
    }
}

// Registers (or replaces) the factory for a Source name, compared case-insensitively.
void RegisterBackend(std::string source, BackendFactory factory);
// The factory for a Source: for "" and "sqlite" the embedded file, or the server when
// DatabaseName is a connection string; for "postgresql" or a connection string the server; a
// registered name's own; null when none is known.
BackendFactory FindBackend(std::string_view source);

}  // namespace mz
