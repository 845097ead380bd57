#include "support/fault_backend.h"

#include <sqlite3.h>

#include <memory>

#include "db/backend.h"

namespace mz::test {
namespace {

class FaultyBackend final : public Backend {
  public:
    explicit FaultyBackend(std::unique_ptr<Backend> real) : real_(std::move(real)) {}

    std::string Query(std::string_view tsql, ResultSet& out) override {
        Check(FaultInjector::Call::kQuery);
        return real_->Query(tsql, out);
    }
    std::string DescribeProcedure(std::string_view name, ProcedureInfo& info) override {
        if (Check(FaultInjector::Call::kDescribe)) return FaultInjector::kInjectedText;
        return real_->DescribeProcedure(name, info);
    }
    std::string Execute(std::string_view name, ParamValues& values) override {
        if (Check(FaultInjector::Call::kExecute)) return FaultInjector::kInjectedText;
        std::string error = real_->Execute(name, values);
        After(FaultInjector::Call::kExecute);
        return error;
    }
    bool InTransaction() const override { return real_->InTransaction(); }
    void Begin() override {
        Check(FaultInjector::Call::kBegin);
        real_->Begin();
    }
    void Commit() override {
        Check(FaultInjector::Call::kCommit);
        real_->Commit();
        After(FaultInjector::Call::kCommit);
    }
    void Rollback() override { real_->Rollback(); }
    void QueryTimeLimit(std::chrono::milliseconds limit) override { real_->QueryTimeLimit(limit); }

  private:
    // Raises for a call failing so; true for one that answers an error text instead.
    static bool Check(FaultInjector::Call call) {
        const FaultInjector::Outcome o = FaultInjector::Instance().Fault(call, false);
        if (o == FaultInjector::Outcome::kRaise) throw FaultInjector::InjectedError();
        return o == FaultInjector::Outcome::kText;
    }
    static void After(FaultInjector::Call call) {
        if (FaultInjector::Instance().Fault(call, true) == FaultInjector::Outcome::kRaise)
            throw FaultInjector::InjectedError();
    }

    std::unique_ptr<Backend> real_;
};

}  // namespace

FaultInjector& FaultInjector::Instance() {
    static FaultInjector* injector = [] {
        RegisterBackend(
            kSource,
            [](const ConnectionSettings& settings, std::string& error) -> std::unique_ptr<Backend> {
                if (Instance().Fault(Call::kOpen, false) != Outcome::kNone) {
                    error = "injected open failure";
                    return nullptr;
                }
                ConnectionSettings real = settings;
                real.source = "";
                std::unique_ptr<Backend> backend = FindBackend("")(real, error);
                return backend ? std::make_unique<FaultyBackend>(std::move(backend)) : nullptr;
            });
        return new FaultInjector();
    }();
    return *injector;
}

void FaultInjector::Arm(int nth, Mode mode) {
    armed_ = true;
    mode_ = mode;
    nth_ = nth;
    calls_ = 0;
    fired_ = false;
}

void FaultInjector::Disarm() {
    armed_ = false;
}

Error FaultInjector::InjectedError() {
    return Error(err::kDriverBase + SQLITE_IOERR, "SQLite", "disk I/O error (injected)");
}

FaultInjector::Outcome FaultInjector::Fault(Call call, bool after) {
    if (!armed_) return Outcome::kNone;
    const bool counted = [&] {
        switch (mode_) {
            case Mode::kRaise:
                return !after;
            case Mode::kRaiseAfter:
                return after && (call == Call::kExecute || call == Call::kCommit);
            case Mode::kErrorText:
                return !after && (call == Call::kDescribe || call == Call::kExecute);
        }
        return false;
    }();
    if (!counted || ++calls_ != nth_) return Outcome::kNone;
    fired_ = true;
    return mode_ == Mode::kErrorText ? Outcome::kText : Outcome::kRaise;
}

}  // namespace mz::test
