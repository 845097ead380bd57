#include "db/postgres/pg_connection.h"

#include <libpq-fe.h>

#include <poll.h>

#include <cerrno>
#include <charconv>
#include <cstdio>

#include "db/backend.h"
#include "platform/error.h"

namespace mz::pg {

Result& Result::operator=(Result&& other) noexcept {
    if (this != &other) {
        PQclear(r_);
        r_ = other.r_;
        other.r_ = nullptr;
    }
    return *this;
}

Result::~Result() {
    PQclear(r_);
}

bool Result::Ok() const {
    const ExecStatusType s = PQresultStatus(r_);
    return r_ && (s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_EMPTY_QUERY);
}

std::string Result::SqlState() const {
    if (Ok()) return "";
    const char* code = r_ ? PQresultErrorField(r_, PG_DIAG_SQLSTATE) : nullptr;
    return code ? code : "08006";  // no result at all: the connection failed
}

std::string Result::Message() const {
    const char* m = r_ ? PQresultErrorField(r_, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (m) return m;
    return r_ ? PQresultErrorMessage(r_) : "the connection to the server was lost";
}

int Result::Rows() const {
    return PQntuples(r_);
}
int Result::Columns() const {
    return PQnfields(r_);
}
bool Result::IsNull(int row, int column) const {
    return PQgetisnull(r_, row, column) != 0;
}
std::string_view Result::Text(int row, int column) const {
    return std::string_view(PQgetvalue(r_, row, column),
                            static_cast<size_t>(PQgetlength(r_, row, column)));
}
int64_t Result::Affected() const {
    const char* n = PQcmdTuples(r_);
    int64_t v = 0;
    std::from_chars(n, n + std::char_traits<char>::length(n), v);
    return v;
}

int32_t ErrorNumber(std::string_view sqlstate) {
    bool digits = true;
    int32_t value = 0;
    for (char c : sqlstate) digits = digits && c >= '0' && c <= '9';
    for (char c : sqlstate) {
        const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'Z' ? c - 'A' + 10 : 0;
        value = (value * (digits ? 10 : 36) + d) % 0x10000;
    }
    return err::kDriverBase + value;
}

bool IsConflict(std::string_view sqlstate) {
    return sqlstate == "40001" || sqlstate == "40P01";
}

void Raise(const Result& r) {
    const std::string state = r.SqlState();
    std::string text = "[" + state + "] " + r.Message();
    if (IsConflict(state))
        text +=
            ": another connection changed the same rows at the same time; the work was not "
            "saved and may be tried again";
    throw Error(ErrorNumber(state), "PostgreSQL", text);
}

std::optional<std::string> ParamText(const Variant& v) {
    switch (v.Type()) {
        case VarType::Empty:
        case VarType::Null:
            return std::nullopt;
        case VarType::Boolean:
            return std::string(v.GetBool() ? "1" : "0");
        case VarType::Double: {
            char buffer[32];
            auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v.GetDouble());
            return ec == std::errc() ? std::string(buffer, end) : v.ToText();
        }
        case VarType::Currency:
            return v.GetCurrency().ToString();
        case VarType::Date:
            return v.GetDate().ToIso();
        default:
            return v.ToText();
    }
}

std::unique_ptr<Connection> Connection::Open(const std::string& conninfo, const std::string& dbname,
                                             const std::string& user, const std::string& password,
                                             std::string& error) {
    // The connection string first, expanded; the explicit settings after it win.
    std::vector<const char*> keys = {"dbname"}, values = {conninfo.c_str()};
    auto add = [&](const char* key, const std::string& value) {
        if (value.empty()) return;
        keys.push_back(key);
        values.push_back(value.c_str());
    };
    add("dbname", dbname);
    add("user", user);
    add("password", password);
    keys.push_back("application_name");
    values.push_back("mzreport");
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 1);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        error = conn ? PQerrorMessage(conn) : "out of memory";
        while (!error.empty() && (error.back() == '\n' || error.back() == ' ')) error.pop_back();
        PQfinish(conn);
        return nullptr;
    }
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    return std::unique_ptr<Connection>(new Connection(conn));
}

Connection::~Connection() {
    PQfinish(conn_);
}

std::string Connection::Name() const {
    const char* host = PQhost(conn_);
    const char* port = PQport(conn_);
    std::string name = std::string(PQdb(conn_));
    if (host && *host && *host != '/')
        name += std::string(" on ") + host + ":" + (port ? port : "");
    return name;
}

bool Connection::InTransaction() const {
    return PQtransactionStatus(conn_) != PQTRANS_IDLE;
}

namespace {

std::vector<const char*> Pointers(const std::vector<std::optional<std::string>>& params) {
    std::vector<const char*> p;
    p.reserve(params.size());
    for (const auto& v : params) p.push_back(v ? v->c_str() : nullptr);
    return p;
}

}  // namespace

Result Connection::Reply(bool sent) {
    if (!sent) return Result(PQmakeEmptyPGresult(conn_, PGRES_FATAL_ERROR));
    bool cancelled = false;
    while (PQisBusy(conn_)) {
        pollfd wait = {PQsocket(conn_), POLLIN, 0};
        const int ms = cancelled ? -1 : static_cast<int>(stop_->NextLook().count());
        if (poll(&wait, 1, ms) < 0 && errno != EINTR) break;
        if (!PQconsumeInput(conn_)) break;
        if (!cancelled && stop_->Due()) {
            // The server answers the running statement with 57014; one that already finished
            // is not touched. The statements that undo the query after it are not watched.
            cancelled = true;
            stop_ = nullptr;
            PGcancel* cancel = PQgetCancel(conn_);
            char error[256];
            PQcancel(cancel, error, sizeof error);
            PQfreeCancel(cancel);
        }
    }
    // One statement gives one result; the first is kept, the rest drained.
    Result first(PQgetResult(conn_));
    while (PGresult* more = PQgetResult(conn_)) PQclear(more);
    if (!first.get()) return Result(PQmakeEmptyPGresult(conn_, PGRES_FATAL_ERROR));
    return first;
}

Result Connection::Noted(Result r) {
    if (IsConflict(r.SqlState())) lost_conflict_ = true;
    return r;
}

Result Connection::Run(const std::string& sql,
                       const std::vector<std::optional<std::string>>& params,
                       const std::vector<unsigned>& types) {
    const std::vector<const char*> p = Pointers(params);
    const int n = static_cast<int>(p.size());
    const unsigned* t = types.empty() ? nullptr : types.data();
    if (!stop_)
        return Noted(Result(PQexecParams(conn_, sql.c_str(), n, t, p.data(), nullptr, nullptr, 0)));
    return Noted(
        Reply(PQsendQueryParams(conn_, sql.c_str(), n, t, p.data(), nullptr, nullptr, 0) == 1));
}

Result Connection::Exec(const std::string& sql,
                        const std::vector<std::optional<std::string>>& params,
                        const std::vector<unsigned>& types) {
    Result r = Run(sql, params, types);
    if (!r.Ok()) Raise(r);
    return r;
}

void Connection::Script(const std::string& sql) {
    Result r = Noted(Result(PQexec(conn_, sql.c_str())));
    if (!r.Ok()) Raise(r);
}

Result Connection::RunPrepared(const std::string& name,
                               const std::vector<std::optional<std::string>>& params) {
    const std::vector<const char*> p = Pointers(params);
    const int n = static_cast<int>(p.size());
    if (!stop_)
        return Noted(Result(PQexecPrepared(conn_, name.c_str(), n, p.data(), nullptr, nullptr, 0)));
    return Noted(
        Reply(PQsendQueryPrepared(conn_, name.c_str(), n, p.data(), nullptr, nullptr, 0) == 1));
}

Result Connection::Prepare(const std::string& name, const std::string& sql,
                           const std::vector<unsigned>& types) {
    return Result(
        PQprepare(conn_, name.c_str(), sql.c_str(), static_cast<int>(types.size()), types.data()));
}

}  // namespace mz::pg
