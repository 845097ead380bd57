// One libpq connection and its results, with the server's failures turned into mz::Error, for
// the PostgreSQL backend, its schema loader and lookup store, and the tests and benchmarks that
// look at a server database directly. Private to the db layer; <libpq-fe.h> stays in the sources.
// Not copyable: a connection is owned by one backend.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/variant.h"

struct pg_conn;
struct pg_result;

namespace mz {
class QueryStop;
}

namespace mz::pg {

// Type identifiers of the server's built-in types that the report database uses.
enum Oid : unsigned {
    kBool = 16,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kBpchar = 1042,
    kVarchar = 1043,
    kDate = 1082,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kNumeric = 1700,
};

// A result; owns its PGresult. Movable, not copyable.
class Result {
  public:
    Result() = default;
    explicit Result(pg_result* r) : r_(r) {}
    Result(Result&& other) noexcept : r_(other.r_) { other.r_ = nullptr; }
    Result& operator=(Result&& other) noexcept;
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    ~Result();

    pg_result* get() const { return r_; }
    bool Ok() const;               // the command or query succeeded
    std::string SqlState() const;  // "" when it succeeded
    std::string Message() const;   // the server's primary message
    int Rows() const;
    int Columns() const;
    bool IsNull(int row, int column) const;
    std::string_view Text(int row, int column) const;
    int64_t Affected() const;  // rows an INSERT, UPDATE or DELETE touched

  private:
    pg_result* r_ = nullptr;
};

// The mz::Error number of an SQLSTATE: 0x80040000 plus the code read as a number.
int32_t ErrorNumber(std::string_view sqlstate);
// Raises the failure of r as mz::Error (source "PostgreSQL", "[SQLSTATE] message").
[[noreturn]] void Raise(const Result& r);
// True for a serialization failure or a deadlock: the transaction may succeed when run again.
bool IsConflict(std::string_view sqlstate);

// A value as the text the server reads for a parameter of that declared type; nullopt is Null.
std::optional<std::string> ParamText(const Variant& value);

class Connection {
  public:
    // Connects with libpq; conninfo may be "" (libpq's defaults). dbname, user and password
    // override conninfo when non-empty. Null with error set on failure.
    static std::unique_ptr<Connection> Open(const std::string& conninfo, const std::string& dbname,
                                            const std::string& user, const std::string& password,
                                            std::string& error);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    pg_conn* Raw() const { return conn_; }
    // The database's name, as error texts quote it.
    std::string Name() const;
    bool InTransaction() const;

    // Runs one statement and returns its result, failed or not. Values are given as text
    // (nullopt is Null); types as Oid or 0 (inferred).
    Result Run(const std::string& sql, const std::vector<std::optional<std::string>>& params = {},
               const std::vector<unsigned>& types = {});
    // Run, raising a failure.
    Result Exec(const std::string& sql, const std::vector<std::optional<std::string>>& params = {},
                const std::vector<unsigned>& types = {});
    // Runs statements separated by ';' (no parameters), raising the first failure.
    void Script(const std::string& sql);
    // Runs a statement prepared with Prepare.
    Result RunPrepared(const std::string& name,
                       const std::vector<std::optional<std::string>>& params);
    // Prepares sql under name; the failed result when it does not prepare.
    Result Prepare(const std::string& name, const std::string& sql,
                   const std::vector<unsigned>& types);

    // While stop is set (not null), Run and RunPrepared cancel their statement on the server
    // once it is due: the statement then fails (57014), stop tells why, and the watch ends.
    void Watch(QueryStop* stop) { stop_ = stop; }

    // True once if a statement failed with a conflict (IsConflict) since the last call.
    bool TakeLostConflict() { return std::exchange(lost_conflict_, false); }

  private:
    explicit Connection(pg_conn* conn) : conn_(conn) {}
    // The reply to the statement just sent (sent false: it could not be sent), cancelling the
    // statement when the watch is due.
    Result Reply(bool sent);
    // r, remembering a conflict.
    Result Noted(Result r);

    pg_conn* conn_;
    QueryStop* stop_ = nullptr;
    bool lost_conflict_ = false;
};

}  // namespace mz::pg
