// A Backend over the real SQLite report database that fails the Nth call, for walking a failure
// over every step of a save or a delete (in the spirit of an Env wrapper over a real environment).
// Connect with Source "faulty" and the database path: every connection of the process made so
// (a record object's, its children's, its name component's) counts on the one injector below.
//
// Counted calls: open (ConnectionVariables), query, describe (CreateCommand), execute, begin and
// commit; rollback never fails, as the undo of everything else.
#pragma once

#include "platform/error.h"

namespace mz::test {

class FaultInjector {
  public:
    enum class Mode {
        kRaise,       // every kind of call; raises the driver error instead of running
        kRaiseAfter,  // execute and commit only; runs the call, then raises (the reply is lost)
        kErrorText,   // describe and execute only; answers an error text instead of running
    };
    static constexpr const char* kSource = "faulty";

    static FaultInjector& Instance();  // registers the "faulty" backend on first use

    // Counts calls from zero; the nth counted call fails as mode says.
    void Arm(int nth, Mode mode);
    void Disarm();
    int Calls() const { return calls_; }  // counted since Arm
    bool Fired() const { return fired_; }

    // What a failed call raises: an I/O error of the driver, as SQLite reports one.
    static Error InjectedError();
    static constexpr const char* kInjectedText = "injected error text";

    // How this call (before or after it ran) fails; counts it when armed and the mode counts
    // calls of its kind.
    enum class Call { kOpen, kQuery, kDescribe, kExecute, kBegin, kCommit };
    enum class Outcome { kNone, kRaise, kText };
    Outcome Fault(Call call, bool after);

  private:
    FaultInjector() = default;
    bool armed_ = false;
    Mode mode_ = Mode::kRaise;
    int nth_ = 0, calls_ = 0;
    bool fired_ = false;
};

}  // namespace mz::test
