#include "db/db_connect.h"

#include <atomic>
#include <cctype>

#include "db/db_observer.h"
#include "platform/error.h"
#include "platform/text.h"

namespace mz {
namespace {

constexpr const char* kNotConnected =
    "The connection is not open: ConnectionVariables has not succeeded.";
constexpr const char* kNoCommand = "No procedure call is started: call CreateCommand first.";

std::atomic<int64_t> g_default_query_time_limit_ms{60'000};

// Reports one call to the observers when it ends, returned or raised (db/db_observer.h); inert,
// reading no clock, while none is attached.
class ObservedCall {
  public:
    ObservedCall(const DbConnect& connection, DbCall call, std::string_view text = {},
                 const ParamValues* params = nullptr, bool sends = true)
        : connection_(connection),
          call_(call),
          text_(text),
          params_(params),
          active_(ObserversAttached() && sends) {
        if (active_) start_ = std::chrono::steady_clock::now();
    }
    ~ObservedCall() {
        if (!active_) return;
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        NotifyObservers({call_ == DbCall::kOpen ? QueryCall(text_) : call_, connection_, text_,
                         params_,
                         std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()});
    }
    ObservedCall(const ObservedCall&) = delete;
    ObservedCall& operator=(const ObservedCall&) = delete;

  private:
    const DbConnect& connection_;
    DbCall call_;
    std::string_view text_;
    const ParamValues* params_;
    bool active_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace

DbConnect::DbConnect() : query_time_limit_(DefaultQueryTimeLimit()) {}

void DbConnect::DefaultQueryTimeLimit(std::chrono::milliseconds limit) {
    g_default_query_time_limit_ms = limit.count();
}

std::chrono::milliseconds DbConnect::DefaultQueryTimeLimit() {
    return std::chrono::milliseconds(g_default_query_time_limit_ms.load());
}

void DbConnect::QueryTimeLimit(std::chrono::milliseconds limit) {
    query_time_limit_ = limit;
    if (backend_) backend_->QueryTimeLimit(limit);
}

DbConnect::~DbConnect() {
    // An unfinished transaction dies with its connection.
    try {
        if (backend_ && backend_->InTransaction()) {
            ObservedCall observed(*this, DbCall::kRollback);
            backend_->Rollback();
        }
    } catch (...) {
    }
}

bool DbConnect::ConnectionVariables(const std::string& DatabaseName, const std::string& Source,
                                    const std::string& UsrName, const std::string& Pass,
                                    bool UseTrusted, int32_t, const std::string&,
                                    const std::string&) {
    command_.reset();
    backend_.reset();
    settings_ = ConnectionSettings{DatabaseName, Source, UsrName, Pass, UseTrusted};
    BackendFactory factory = FindBackend(Source);
    if (!factory) {
        connect_error_ = "No database backend is named \"" + Source + "\".";
        return false;
    }
    connect_error_.clear();
    backend_ = factory(settings_, connect_error_);
    if (!backend_) {
        if (connect_error_.empty()) connect_error_ = "\"" + DatabaseName + "\" cannot be opened.";
        return false;
    }
    connect_error_.clear();
    backend_->QueryTimeLimit(query_time_limit_);
    return true;
}

std::string DbConnect::OpenRecordset(std::string_view sql, ResultSet& rs, int32_t, bool) {
    if (!backend_) {
        rs.Close();
        return kNotConnected;
    }
    ObservedCall observed(*this, DbCall::kOpen, sql);
    return backend_->Query(sql, rs);
}

std::string DbConnect::StreamRecordset(std::string_view sql, const RowBatches& each) {
    if (!backend_) return kNotConnected;
    ObservedCall observed(*this, DbCall::kOpen, sql);
    return backend_->QueryBatches(sql, each);
}

bool DbConnect::InTransaction() const {
    return backend_ && backend_->InTransaction();
}

void DbConnect::BeginTrans() {
    if (!backend_) throw Error(err::kObjectClosed, "DbConnect.BeginTrans", kNotConnected);
    ObservedCall observed(*this, DbCall::kBegin);
    backend_->Begin();
}

void DbConnect::EndTrans(bool Commit) {
    if (!backend_) throw Error(err::kObjectClosed, "DbConnect.EndTrans", kNotConnected);
    if (Commit) {
        ObservedCall observed(*this, DbCall::kCommit);
        backend_->Commit();
    } else {
        ObservedCall observed(*this, DbCall::kRollback, {}, nullptr,
                              ObserversAttached() && backend_->InTransaction());
        backend_->Rollback();
    }
}

std::string DbConnect::CreateCommand(std::string_view ProcedureName) {
    command_.reset();
    if (!backend_) return kNotConnected;
    Command command;
    command.procedure = std::string(ProcedureName);
    if (std::string error = backend_->DescribeProcedure(ProcedureName, command.info);
        !error.empty())
        return error;
    command_ = std::move(command);
    return "";
}

std::string DbConnect::AddParameter(std::string_view Name, const Variant& Value) {
    if (!command_) return kNoCommand;
    const ProcedureParam* declared = nullptr;
    for (const ProcedureParam& p : command_->info.params)
        if (EqualsNoCase(p.name, Name)) declared = &p;
    if (!declared && !command_->info.any_input)
        return "Procedure " + command_->procedure + " has no parameter " + std::string(Name) + ".";
    for (auto& [name, value] : command_->values) {
        if (EqualsNoCase(name, Name)) {
            value = Value;
            return "";
        }
    }
    // Kept as the caller spells it: the engine matches names without regard to case.
    command_->values.emplace_back(std::string(Name), Value);
    return "";
}

std::string DbConnect::ExecuteCommand(Variant& OutValue, int32_t, ResultSet*, int32_t) {
    if (!command_) return kNoCommand;
    if (!backend_) return kNotConnected;
    ParamValues values = command_->values;
    std::string error;
    {
        ObservedCall observed(*this, DbCall::kProc, command_->procedure, &command_->values);
        error = backend_->Execute(command_->procedure, values);
    }
    // Declared parameters that neither the caller nor the run set read back as Null.
    for (const ProcedureParam& p : command_->info.params) {
        bool given = false;
        for (const auto& [name, value] : values) given = given || EqualsNoCase(name, p.name);
        if (!given) values.emplace_back(p.name, Variant::Null());
    }
    command_->values = std::move(values);
    command_->executed = error.empty();
    int32_t outputs = 0;
    for (const ProcedureParam& p : command_->info.params) outputs += p.is_output ? 1 : 0;
    OutValue = Variant(outputs);
    return error;
}

std::string DbConnect::ExecuteCommand() {
    Variant ignored;
    return ExecuteCommand(ignored);
}

std::string DbConnect::GetParameter(std::string_view Name, Variant& Value) {
    if (!command_) return kNoCommand;
    for (const auto& [name, value] : command_->values) {
        if (EqualsNoCase(name, Name)) {
            Value = value;
            return "";
        }
    }
    return "Procedure " + command_->procedure + " has no parameter " + std::string(Name) + ".";
}

bool DbConnect::ClearCommand() {
    command_.reset();
    return true;
}

}  // namespace mz
