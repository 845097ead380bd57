// DbConnect: the one connection object every record object owns. It opens the backend that its
// settings name, loads result sets from T-SQL text, runs transactions and stored-procedure calls.
// Every operation that can fail returns an error text ("" is success) unless its comment says it
// raises; engine failures during a call raise mz::Error (see db/backend.h). Every call that
// reaches the database is reported to the observers of db/db_observer.h.
// Not copyable: a connection is lent by reference, never duplicated.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/backend.h"
#include "platform/result_set.h"
#include "platform/variant.h"

namespace mz {

class DbConnect {
  public:
    DbConnect();
    ~DbConnect();
    DbConnect(const DbConnect&) = delete;
    DbConnect& operator=(const DbConnect&) = delete;

    // True when the settings are usable: for SQLite, DatabaseName is an existing report database.
    // A failed call leaves the object unconnected, creates and changes nothing, and keeps its
    // reason in ConnectError. The last three arguments are unused.
    bool ConnectionVariables(const std::string& DatabaseName, const std::string& Source,
                             const std::string& UsrName, const std::string& Pass, bool UseTrusted,
                             int32_t Reserved = 0, const std::string& Reserved2 = "",
                             const std::string& Reserved3 = "");

    // Why the last ConnectionVariables failed, naming the path ("" after a success).
    const std::string& ConnectError() const { return connect_error_; }

    // Loads the rows of one read-only statement into rs (replacing what it held).
    // The last two arguments are unused. Error text for an empty or refused text. A query that
    // runs past QueryTimeLimit, or is interrupted, is stopped with a raised error.
    std::string OpenRecordset(std::string_view sql, ResultSet& rs, int32_t Options = 0,
                              bool ReadOnly = true);

    // Runs one read-only statement as OpenRecordset does, handing its rows to each in batches
    // (db/backend.h) instead of holding them all: for a caller that shows them as they come.
    std::string StreamRecordset(std::string_view sql, const RowBatches& each);

    // How long one OpenRecordset may run; zero is no limit. A connection starts with the
    // process default, which is one minute unless DefaultQueryTimeLimit changed it.
    void QueryTimeLimit(std::chrono::milliseconds limit);
    std::chrono::milliseconds QueryTimeLimit() const { return query_time_limit_; }
    static void DefaultQueryTimeLimit(std::chrono::milliseconds limit);
    static std::chrono::milliseconds DefaultQueryTimeLimit();

    bool InTransaction() const;
    void BeginTrans();           // raises when not connected or one is already open
    void EndTrans(bool Commit);  // True commits, False rolls back; raises on engine failure

    // Starts a stored-procedure call, dropping any earlier one. Error text for an unknown
    // procedure.
    std::string CreateCommand(std::string_view ProcedureName);
    // Sets one input parameter ("@Report_id"); error text when the call has no such parameter.
    std::string AddParameter(std::string_view Name, const Variant& Value);
    // Runs the call. OutValue receives the number of output parameters set. Error text when no
    // call is ready; engine failures raise.
    std::string ExecuteCommand(Variant& OutValue, int32_t Options = 0, ResultSet* Rs = nullptr,
                               int32_t Timeout = 0);
    std::string ExecuteCommand();
    // Reads a parameter after the run; error text for an unknown name.
    std::string GetParameter(std::string_view Name, Variant& Value);
    bool ClearCommand();

    bool IsConnected() const { return backend_ != nullptr; }
    const ConnectionSettings& Settings() const { return settings_; }

  private:
    struct Command {
        std::string procedure;
        ProcedureInfo info;
        ParamValues values;
        bool executed = false;
    };

    ConnectionSettings settings_;
    std::string connect_error_;
    std::chrono::milliseconds query_time_limit_;
    std::unique_ptr<Backend> backend_;
    std::optional<Command> command_;
};

}  // namespace mz
