// The observer seam of DbConnect: every call that reaches the database (a query, a procedure
// call, begin, commit, a rollback of an open transaction) is reported to the observers attached to
// the process when it ends, whether it returned or raised, with its elapsed time. The recording
// test backend's log, the trace of the command line (TraceWriter below) and any profiler are
// observers; none of them changes what a call does.
//
// Observers are attached to the process, not to a connection: record objects make their own
// connections (and their children theirs), so there is no one connection to hand an observer to.
// An observer that wants only some connections filters on the event's connection (its Settings).
// Attaching and detaching are safe from any thread; an observer is called on the thread of the
// call, from several threads at once when several connections work at once, and must not throw
// (a throw is swallowed). With no observer attached a call costs one relaxed atomic load.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

#include "db/backend.h"

namespace mz {

class DbConnect;

enum class DbCall : uint8_t {
    kOpen,     // OpenRecordset of a reading statement
    kExecute,  // OpenRecordset of a text that runs a procedure ("exec ...")
    kProc,     // ExecuteCommand
    kBegin,
    kCommit,
    kRollback,  // only of an open transaction: a rollback with none open sends nothing
};

struct DbCallEvent {
    DbCall call;
    const DbConnect& connection;
    std::string_view text;                // kOpen, kExecute: the SQL as passed; kProc: procedure
    const ParamValues* params = nullptr;  // kProc: the inputs, in the order the caller added them
    int64_t elapsed_us = 0;
};

class DbObserver {
  public:
    virtual ~DbObserver() = default;
    virtual void OnCall(const DbCallEvent& event) = 0;
};

// Attaching twice reports each call twice; detaching an observer that is not attached does
// nothing. A detached observer may still be finishing a call another thread reported just before.
void AttachObserver(std::shared_ptr<DbObserver> observer);
void DetachObserver(const DbObserver* observer);

// Attached for its lifetime. Not copyable.
class ScopedObserver {
  public:
    explicit ScopedObserver(std::shared_ptr<DbObserver> observer) : observer_(std::move(observer)) {
        AttachObserver(observer_);
    }
    ~ScopedObserver() { DetachObserver(observer_.get()); }
    ScopedObserver(const ScopedObserver&) = delete;
    ScopedObserver& operator=(const ScopedObserver&) = delete;

  private:
    std::shared_ptr<DbObserver> observer_;
};

namespace detail {
extern std::atomic<int> g_attached_observers;
}
inline bool ObserversAttached() {
    return detail::g_attached_observers.load(std::memory_order_relaxed) != 0;
}
// Calls every attached observer with event (DbConnect does, when a call ends).
void NotifyObservers(const DbCallEvent& event) noexcept;

// kExecute for a text whose first word is "exec" or "execute", else kOpen.
DbCall QueryCall(std::string_view sql);

// One line of the trace, without its line end: fields separated by a tab,
//   open|execute <TAB> microseconds <TAB> SQL text as passed
//   proc <TAB> microseconds <TAB> procedure <TAB> @name=value ...   (inputs in call order; Null
//                                        as Null, texts unquoted, dates yyyy-mm-dd [hh:mm:ss])
//   begin|commit|rollback <TAB> microseconds
// A tab, line feed, carriage return or backslash inside a field is written \t, \n, \r or \\, so
// every line splits back into its fields.
std::string TraceLine(const DbCallEvent& event);
std::string TraceEscape(std::string_view field);

// Writes the trace line of every call of the process to out, one whole line at a time, flushed.
// out must outlive the writer.
class TraceWriter : public DbObserver {
  public:
    explicit TraceWriter(std::ostream& out) : out_(out) {}
    void OnCall(const DbCallEvent& event) override;

  private:
    std::mutex mutex_;
    std::ostream& out_;
};

}  // namespace mz
