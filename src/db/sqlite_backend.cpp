#include "db/sqlite_backend.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <thread>
#include <unordered_map>

#include "db/builtin_procedures.h"
#include "db/procedure_backend.h"
#include "db/procedure_text.h"
#include "db/sql_types.h"
#include "db/sqlite_functions.h"
#include "db/tsql_translator.h"
#include "platform/error.h"
#include "platform/text.h"

namespace mz {
namespace {

// 2: amounts stored as REALs and summed exactly, filed versions, the change journal.
constexpr int kKnownSchemaVersion = 2;
// How long a connection waits for another's lock before its statement fails with "database is
// locked": long enough to outlast a few commits that a busy disk makes slow.
constexpr int kBusyTimeoutMs = 15000;
// Virtual-machine steps between two looks at the clock of a running query: a few microseconds.
constexpr int kProgressSteps = 1000;
// A stopped query raises SQLite's own number for an interrupted statement, on every engine.
static_assert(kQueryStoppedNumber == err::kDriverBase + SQLITE_INTERRUPT);

// Waits out another connection's lock for up to kBusyTimeoutMs, looking again every millisecond.
// The engine's own handler sleeps up to a tenth of a second between looks: a writer that looks
// that seldom could wait behind three others taking turns until its time was up.
int WaitForLock(void*, int count) {
    thread_local std::chrono::steady_clock::time_point since;
    const auto now = std::chrono::steady_clock::now();
    if (count == 0) since = now;
    if (now - since >= std::chrono::milliseconds(kBusyTimeoutMs)) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 1;
}

[[noreturn]] void RaiseDriverError(sqlite3* db) {
    throw Error(err::kDriverBase + sqlite3_extended_errcode(db), "SQLite", sqlite3_errmsg(db));
}

struct StmtGuard {
    sqlite3_stmt* stmt = nullptr;
    ~StmtGuard() { sqlite3_finalize(stmt); }
};

// A kept statement is reset on every way out, so no read transaction stays open behind it (a
// later write on the connection would then have to upgrade a read lock).
struct ResetGuard {
    sqlite3_stmt* stmt;
    ~ResetGuard() { sqlite3_reset(stmt); }
};

// Stops the statements of one query when its QueryStop is due, through SQLite's progress
// handler, for as long as it lives.
class QueryWatch {
  public:
    QueryWatch(sqlite3* db, std::chrono::milliseconds limit) : db_(db), stop_(limit) {
        sqlite3_progress_handler(db_, kProgressSteps, &QueryWatch::Check, this);
    }
    ~QueryWatch() { sqlite3_progress_handler(db_, 0, nullptr, nullptr); }
    QueryWatch(const QueryWatch&) = delete;
    QueryWatch& operator=(const QueryWatch&) = delete;

    // After a raised error: the clear error of a stopped query, or nothing when it was not this
    // watch that stopped it.
    void RaiseIfStopped() const {
        if (stop_.Stopped()) stop_.Raise("SQLite");
    }

  private:
    static int Check(void* self) { return static_cast<QueryWatch*>(self)->stop_.Due() ? 1 : 0; }

    sqlite3* db_;
    QueryStop stop_;
};

// True when only blanks, semicolons and comments remain.
bool OnlyTrivia(const char* p) {
    while (*p) {
        if (std::isspace(static_cast<unsigned char>(*p)) || *p == ';') {
            ++p;
        } else if (p[0] == '-' && p[1] == '-') {
            while (*p && *p != '\n') ++p;
        } else if (p[0] == '/' && p[1] == '*') {
            const char* end = std::strstr(p + 2, "*/");
            if (!end) return true;
            p = end + 2;
        } else {
            return false;
        }
    }
    return true;
}

// The first keyword of a statement, past blanks, comments and opening parentheses.
std::string FirstKeyword(std::string_view sql) {
    size_t i = 0;
    while (i < sql.size()) {
        char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c)) || c == '(') {
            ++i;
        } else if (sql.substr(i, 2) == "--") {
            i = sql.find('\n', i);
            if (i == std::string_view::npos) return "";
        } else if (sql.substr(i, 2) == "/*") {
            i = sql.find("*/", i);
            if (i == std::string_view::npos) return "";
            i += 2;
        } else {
            break;
        }
    }
    size_t end = i;
    while (end < sql.size() && std::isalpha(static_cast<unsigned char>(sql[end]))) ++end;
    return Lower(sql.substr(i, end - i));
}

// How one column's stored values become field values.

std::string_view ColumnText(sqlite3_stmt* stmt, int i) {
    const unsigned char* p = sqlite3_column_text(stmt, i);
    return p ? std::string_view(reinterpret_cast<const char*>(p),
                                static_cast<size_t>(sqlite3_column_bytes(stmt, i)))
             : std::string_view();
}

// A value by its storage class, for columns with no declared type and for output parameters.
Variant StoredValue(sqlite3_stmt* stmt, int i) {
    switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_NULL:
            return Variant::Null();
        case SQLITE_INTEGER: {
            sqlite3_int64 v = sqlite3_column_int64(stmt, i);
            if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
            return Variant(static_cast<double>(v));
        }
        case SQLITE_FLOAT:
            return Variant(sqlite3_column_double(stmt, i));
        default:
            return Variant(ColumnText(stmt, i));
    }
}

Variant ConvertedValue(sqlite3_stmt* stmt, int i, Conv conv) {
    int storage = sqlite3_column_type(stmt, i);
    if (storage == SQLITE_NULL) return Variant::Null();
    switch (conv) {
        case Conv::Int32:
            if (storage == SQLITE_INTEGER) return Variant(sqlite3_column_int(stmt, i));
            break;
        case Conv::Int16:
            if (storage == SQLITE_INTEGER)
                return Variant(static_cast<int16_t>(sqlite3_column_int(stmt, i)));
            break;
        case Conv::Boolean:
            if (storage != SQLITE_TEXT) return Variant(sqlite3_column_double(stmt, i) != 0);
            break;
        case Conv::Double:
            if (storage != SQLITE_TEXT) return Variant(sqlite3_column_double(stmt, i));
            break;
        case Conv::Currency:
            if (storage != SQLITE_TEXT)
                return Variant(Currency::FromDouble(sqlite3_column_double(stmt, i)));
            if (auto c = Currency::Parse(ColumnText(stmt, i))) return Variant(*c);
            break;
        case Conv::Date:
            if (storage == SQLITE_TEXT) {
                if (auto d = Date::Parse(ColumnText(stmt, i))) return Variant(*d);
            }
            break;
        case Conv::String:
            return Variant(ColumnText(stmt, i));
        case Conv::Undecided:
            break;
    }
    return StoredValue(stmt, i);
}

// Steps a prepared statement to its end, collecting its rows into out, or, with each, handing
// them over in batches of kBatchRows. Engine failures raise, and so does a query whose rows need
// more memory than a query may hold (RowsMemory).
void FillResultSet(sqlite3* db, sqlite3_stmt* stmt, ResultSet& out,
                   const RowBatches* each = nullptr) {
    const int n = sqlite3_column_count(stmt);
    std::vector<FieldInfo> fields(static_cast<size_t>(n));
    std::vector<Conv> convs(static_cast<size_t>(n), Conv::Undecided);
    for (int i = 0; i < n; ++i) {
        const char* decl = sqlite3_column_decltype(stmt, i);
        if (decl) {
            fields[static_cast<size_t>(i)] = FieldInfoForDeclaredType(decl);
            convs[static_cast<size_t>(i)] = ConvFor(fields[static_cast<size_t>(i)].type);
        }
        fields[static_cast<size_t>(i)].name = sqlite3_column_name(stmt, i);
    }
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        // Expressions have no declared type: their first row's values decide.
        for (int i = 0; i < n; ++i) {
            if (convs[static_cast<size_t>(i)] != Conv::Undecided) continue;
            switch (sqlite3_column_type(stmt, i)) {
                case SQLITE_INTEGER:
                    fields[static_cast<size_t>(i)].type = VarType::Int32;
                    break;
                case SQLITE_FLOAT:
                    fields[static_cast<size_t>(i)].type = VarType::Double;
                    break;
                default:
                    fields[static_cast<size_t>(i)].type = VarType::String;
                    break;
            }
        }
    }
    RowsMemory memory("SQLite");
    ResultSet rs(fields);
    try {
        while (rc == SQLITE_ROW) {
            rs.AppendRowWith([&](Variant* slots) {
                for (int i = 0; i < n; ++i) {
                    // Built in place (the slot is Empty), not assigned: a move-assignment per
                    // value was a measurable share of a large load.
                    std::destroy_at(slots + i);
                    try {
                        ::new (static_cast<void*>(slots + i))
                            Variant(ConvertedValue(stmt, i, convs[static_cast<size_t>(i)]));
                    } catch (...) {
                        ::new (static_cast<void*>(slots + i)) Variant();
                        throw;
                    }
                }
                memory.Add(slots, n);
            });
            if (each && rs.RecordCount() == kBatchRows) {
                rs.MoveFirst();
                (*each)(rs);
                rs = ResultSet(fields);
                memory.Reset();
            }
            rc = sqlite3_step(stmt);
        }
    } catch (const std::bad_alloc&) {
        memory.RaiseOutOfMemory();
    }
    if (rc != SQLITE_DONE) RaiseDriverError(db);
    if (rs.RecordCount() > 0) rs.MoveFirst();
    if (each) {
        (*each)(rs);
        rs.Close();
    }
    out = std::move(rs);
}

struct Procedure {
    std::vector<ProcedureParam> params;
    std::vector<VarType> param_types;
    std::vector<sqlite3_stmt*> statements;
    bool read_only = true;
};

class SqliteBackend final : public ProcedureBackend<SqliteBackend, Procedure> {
  public:
    explicit SqliteBackend(sqlite3* db) : db_(db) {}
    ~SqliteBackend() override {
        for (auto& [name, proc] : procedures_)
            for (sqlite3_stmt* s : proc.statements) sqlite3_finalize(s);
        for (auto& [sql, s] : kept_) sqlite3_finalize(s);
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db_);
    }

    bool InTransaction() const override { return !sqlite3_get_autocommit(db_); }
    void Begin() override {
        if (InTransaction())
            throw Error(err::kInvalidCall, "DbConnect.BeginTrans",
                        "A transaction is already open on this connection.");
        Exec("BEGIN IMMEDIATE");
    }
    void Commit() override {
        if (!InTransaction())
            throw Error(err::kInvalidCall, "DbConnect.EndTrans",
                        "No transaction is open on this connection.");
        Exec("COMMIT");
    }
    void Rollback() override {
        if (InTransaction()) Exec("ROLLBACK");
    }
    void QueryTimeLimit(std::chrono::milliseconds limit) override { query_time_limit_ = limit; }

  private:
    friend class ProcedureBackend<SqliteBackend, Procedure>;

    static TranslationCache& Translations() {
        static TranslationCache cache;
        return cache;
    }

    template <class F>
    std::string Watched(F&& run) {
        QueryWatch watch(db_, query_time_limit_);
        try {
            return run();
        } catch (const Error& e) {
            watch.RaiseIfStopped();
            RaiseIfBeyondLimits(e);
            throw;
        }
    }

    // A statement the engine ended at one of the connection's limits (GuardConnection) gets the
    // clear error of a stopped query, naming the limit.
    static void RaiseIfBeyondLimits(const Error& e) {
        if (e.Number() == err::kDriverBase + SQLITE_TOOBIG)
            throw Error(e.Number(), "SQLite",
                        "The query was stopped: it made a value longer than the " +
                            std::to_string(kSqliteValueLimit >> 20) + " MB a value may have (" +
                            e.Description() + ").");
        if (e.Number() == err::kDriverBase + SQLITE_NOMEM)
            throw Error(kQueryTooBigNumber, "SQLite",
                        "The query was stopped: it needed more than the " +
                            std::to_string(kSqliteMemoryLimit >> 20) +
                            " MB of memory the engine may take (" + e.Description() + ").");
    }

    // One translated reading statement into out (or to each, in batches); writing or further
    // statements are refused.
    std::string RunQuery(const Translation& tr, std::string_view tsql, ResultSet& out,
                         const RowBatches* each) {
        const std::string& sql = tr.sql;
        StmtGuard g;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &g.stmt, &tail) !=
            SQLITE_OK)
            return TextError("SQL error: ");
        if (!g.stmt) return "The SQL text holds no statement.";
        if (!OnlyTrivia(tail))
            return "Only one statement may be run by a query; more text follows: \"" +
                   std::string(tail).substr(0, 60) + "\"";
        std::string keyword = FirstKeyword(sql);
        if (!sqlite3_stmt_readonly(g.stmt) ||
            (keyword != "select" && keyword != "with" && keyword != "values"))
            return "Only reading statements may be run by a query; refused: \"" +
                   std::string(tsql.substr(0, 60)) + "\"";
        FillResultSet(db_, g.stmt, out, each);
        return "";
    }

    void Exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) RaiseDriverError(db_);
    }
    // A statement that failed to prepare: its text at fault (the engine's plain error) is the
    // caller's error text, lead + the engine's message; the engine itself failing (busy, locked,
    // out of memory, a disk error) raises, so that no caller takes it for an empty answer.
    std::string TextError(const std::string& lead) {
        const int code = sqlite3_errcode(db_);
        if (code != SQLITE_ERROR && code != SQLITE_TOOBIG && code != SQLITE_AUTH &&
            code != SQLITE_RANGE)
            RaiseDriverError(db_);
        return lead + sqlite3_errmsg(db_);
    }
    // For the way out of an error: the error being raised matters more than this one's.
    void ExecQuietly(const char* sql) { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

    // Runs one call's statements as a whole: an "@error" text or a raised error undoes all of
    // them. Inside the caller's transaction that is a savepoint. Outside one, a writing call
    // opens its own transaction as a writer (BEGIN IMMEDIATE), so that it waits out the busy
    // timeout for another process's write lock; a deferred transaction would first take a read
    // lock, and SQLite does not wait (the busy handler is not called) when a reader asks to
    // become the writer.
    template <class F>
    std::string AllOrNothing(bool read_only, ParamValues&, F&& body) {
        const bool nested = InTransaction();
        Exec(nested ? "SAVEPOINT mz_call" : read_only ? "BEGIN" : "BEGIN IMMEDIATE");
        std::string error;
        try {
            error = body();
            if (error.empty()) {
                Exec(nested ? "RELEASE mz_call" : "COMMIT");
                return "";
            }
        } catch (...) {
            Undo(nested);
            throw;
        }
        Undo(nested);
        return error;
    }
    void Undo(bool nested) {
        if (!nested) return ExecQuietly("ROLLBACK");
        ExecQuietly("ROLLBACK TO mz_call");
        ExecQuietly("RELEASE mz_call");
    }

    std::string LoadProcedure(std::string_view name, Procedure*& out) {
        std::string key = Lower(name);
        if (auto it = procedures_.find(key); it != procedures_.end()) {
            out = &it->second;
            return "";
        }
        StmtGuard g;
        sqlite3_prepare_v2(db_, "SELECT parameters, body FROM mz_procedure WHERE name = ?1", -1,
                           &g.stmt, nullptr);
        sqlite3_bind_text(g.stmt, 1, key.c_str(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
        int rc = sqlite3_step(g.stmt);
        if (rc == SQLITE_DONE)
            return "The report database has no stored procedure named \"" + std::string(name) +
                   "\".";
        if (rc != SQLITE_ROW) RaiseDriverError(db_);
        Procedure proc;
        std::string error;
        proc.params = ParseParameters(ColumnText(g.stmt, 0), error);
        if (!error.empty()) return "Procedure " + std::string(name) + ": " + error;
        for (const auto& p : proc.params)
            proc.param_types.push_back(FieldInfoForDeclaredType(p.type).type);
        std::string body(ColumnText(g.stmt, 1));
        const char* p = body.c_str();
        while (!OnlyTrivia(p)) {
            sqlite3_stmt* s = nullptr;
            const char* tail = nullptr;
            if (sqlite3_prepare_v3(db_, p, -1, SQLITE_PREPARE_PERSISTENT, &s, &tail) != SQLITE_OK) {
                for (sqlite3_stmt* done : proc.statements) sqlite3_finalize(done);
                return TextError("Procedure " + std::string(name) + " cannot be prepared: ");
            }
            p = tail;
            if (!s) continue;
            proc.read_only = proc.read_only && sqlite3_stmt_readonly(s);
            proc.statements.push_back(s);
        }
        out = &procedures_.emplace(key, std::move(proc)).first->second;
        return "";
    }

    // Runs a procedure's statements with values bound by name. The last statement's rows go to
    // result when one is given. Returns an "@error" text; engine failures raise.
    std::string RunStatements(Procedure& proc, ParamValues& values, ResultSet* result) {
        for (size_t k = 0; k < proc.statements.size(); ++k) {
            sqlite3_stmt* s = proc.statements[k];
            sqlite3_reset(s);
            ResetGuard reset{s};
            sqlite3_clear_bindings(s);
            const int count = sqlite3_bind_parameter_count(s);
            for (int i = 1; i <= count; ++i) {
                const char* pname = sqlite3_bind_parameter_name(s, i);
                if (!pname) continue;
                VarType type = VarType::String;
                for (size_t j = 0; j < proc.params.size(); ++j)
                    if (EqualsNoCase(proc.params[j].name, pname)) type = proc.param_types[j];
                const Variant* v = FindValue(values, pname);
                if (Bind(s, i, v ? ValueForStorage(*v, type) : Variant::Null()) != SQLITE_OK)
                    RaiseDriverError(db_);
            }
            if (result && k + 1 == proc.statements.size()) {
                FillResultSet(db_, s, *result);
                continue;
            }
            int rc = sqlite3_step(s);
            if (rc == SQLITE_ROW) {
                const int n = sqlite3_column_count(s);
                for (int i = 0; i < n; ++i) {
                    std::string_view cname = sqlite3_column_name(s, i);
                    if (cname.empty() || cname.front() != '@') continue;
                    Variant v = StoredValue(s, i);
                    if (EqualsNoCase(cname, "@error")) {
                        if (v.IsNull()) continue;
                        return v.ToText();
                    }
                    Variant* target = FindValue(values, cname);
                    if (!target) {
                        values.emplace_back(std::string(cname), Variant::Null());
                        target = &values.back().second;
                    }
                    *target = std::move(v);
                }
                while (rc == SQLITE_ROW) rc = sqlite3_step(s);
            }
            if (rc != SQLITE_DONE) RaiseDriverError(db_);
        }
        return "";
    }

    // SQLITE_OK, or the engine's refusal (a text longer than a value may be: SQLITE_TOOBIG).
    static int Bind(sqlite3_stmt* s, int i, const Variant& v) {
        switch (v.Type()) {
            case VarType::Empty:
            case VarType::Null:
                return sqlite3_bind_null(s, i);
            case VarType::Boolean:
                return sqlite3_bind_int(s, i, v.GetBool() ? 1 : 0);
            case VarType::Int16:
                return sqlite3_bind_int(s, i, v.GetInt16());
            case VarType::Int32:
                return sqlite3_bind_int(s, i, v.GetInt32());
            case VarType::Double:
                return sqlite3_bind_double(s, i, v.GetDouble());
            case VarType::Currency:
                return sqlite3_bind_double(s, i, v.GetCurrency().ToDouble());
            case VarType::Date: {
                std::string iso = v.GetDate().ToIso();
                return sqlite3_bind_text(s, i, iso.c_str(), static_cast<int>(iso.size()),
                                         SQLITE_TRANSIENT);
            }
            case VarType::String:
                return sqlite3_bind_text64(s, i, v.GetString().c_str(), v.GetString().size(),
                                           SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        return SQLITE_OK;
    }

    // The schema's table of that name (any case), or null.
    const SchemaTable* FindTable(std::string_view name) {
        std::string key = Lower(name);
        if (auto it = tables_.find(key); it != tables_.end()) return &it->second;
        StmtGuard g;
        sqlite3_prepare_v2(db_,
                           "SELECT m.name, p.name, p.type FROM sqlite_master m, "
                           "pragma_table_info(m.name) p WHERE m.type = 'table' AND "
                           "m.name = ?1 COLLATE NOCASE AND m.name NOT LIKE 'mz\\_%' ESCAPE '\\' "
                           "AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY p.cid",
                           -1, &g.stmt, nullptr);
        sqlite3_bind_text(g.stmt, 1, key.c_str(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
        SchemaTable table;
        int rc;
        while ((rc = sqlite3_step(g.stmt)) == SQLITE_ROW) {
            table.name = std::string(ColumnText(g.stmt, 0));
            table.columns.push_back({std::string(ColumnText(g.stmt, 1)),
                                     FieldInfoForDeclaredType(ColumnText(g.stmt, 2)).type});
        }
        if (rc != SQLITE_DONE) RaiseDriverError(db_);
        if (table.columns.empty()) return nullptr;
        return &tables_.emplace(key, std::move(table)).first->second;
    }

    static constexpr BuiltinDialect kBuiltins = {"?1", "?2", "datetime('now', 'localtime')",
                                                 "IS NOT"};

    std::string RunBuiltin(const BuiltinWrite& w) {
        if (!w.refusal.empty()) return w.refusal;
        if (!w.journal.empty()) RunKept(w.journal, w.args);
        return RunKept(w.sql, w.args) == 0 ? w.no_row : "";
    }

    // Runs a statement kept prepared by its text (it carries its table's compiled triggers);
    // the rows it changed.
    int RunKept(const std::string& sql, const std::vector<Variant>& args) {
        sqlite3_stmt*& stmt = kept_[sql];
        if (!stmt && sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt,
                                        nullptr) != SQLITE_OK)
            RaiseDriverError(db_);
        ResetGuard reset{stmt};
        sqlite3_clear_bindings(stmt);
        for (size_t i = 0; i < args.size(); ++i)
            if (Bind(stmt, static_cast<int>(i + 1), args[i]) != SQLITE_OK) RaiseDriverError(db_);
        if (sqlite3_step(stmt) != SQLITE_DONE) RaiseDriverError(db_);
        return sqlite3_changes(db_);
    }

    sqlite3* db_;
    std::chrono::milliseconds query_time_limit_{0};
    std::unordered_map<std::string, Procedure> procedures_;
    std::unordered_map<std::string, SchemaTable> tables_;
    std::unordered_map<std::string, sqlite3_stmt*> kept_;
};

}  // namespace

namespace {

// Why the file at path cannot be a report database, judged before SQLite opens it (so nothing is
// created beside it); "" when it may be one.
std::string FileProblem(const std::string& path) {
    const std::string quoted = "\"" + path + "\"";
    if (path.empty()) return "No report database was named: the database path is empty.";
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return "No report database at " + quoted + ": there is no such file.";
    if (ec) return "No report database at " + quoted + ": " + ec.message() + ".";
    if (status.type() == std::filesystem::file_type::directory)
        return quoted + " is a folder, not a report database.";
    if (status.type() != std::filesystem::file_type::regular)
        return quoted + " is not a regular file, so not a report database.";
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) != 0)
        return quoted + " cannot be read: " + std::strerror(errno) + ".";
    // The first bytes are read through SQLite's own file layer. POSIX locks belong to the
    // process, not to a descriptor: closing a descriptor of our own on a file that another
    // connection of this process has open would drop that connection's locks, and another
    // program could then take the file for itself alone and checkpoint and remove the log under
    // it. SQLite's layer keeps such a descriptor open until the locks go.
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    const std::unique_ptr<char, void (*)(char*)> name(
        const_cast<char*>(sqlite3_create_filename(path.c_str(), "", "", 0, nullptr)),
        [](char* n) { sqlite3_free_filename(n); });
    const std::unique_ptr<std::max_align_t[]> storage(
        new std::max_align_t[vfs->szOsFile / sizeof(std::max_align_t) + 1]);
    auto* file = reinterpret_cast<sqlite3_file*>(storage.get());
    int opened_as = 0;
    if (!name || vfs->xOpen(vfs, name.get(), file, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB,
                            &opened_as) != SQLITE_OK)
        return quoted + " cannot be read.";
    sqlite3_int64 size = 0;
    char header[16] = {};
    int rc = file->pMethods->xFileSize(file, &size);
    if (rc == SQLITE_OK && size > 0) rc = file->pMethods->xRead(file, header, sizeof header, 0);
    file->pMethods->xClose(file);
    if (rc != SQLITE_OK && rc != SQLITE_IOERR_SHORT_READ) return quoted + " cannot be read.";
    if (size == 0) return quoted + " is an empty file, not a report database.";
    if (rc == SQLITE_IOERR_SHORT_READ || std::memcmp(header, "SQLite format 3", sizeof header) != 0)
        return quoted + " is not a report database: it is not an SQLite database file.";
    return "";
}

// The schema version of an open database, or 0 with error set.
int SchemaVersion(sqlite3* db, const std::string& path, std::string& error) {
    const std::string quoted = "\"" + path + "\"";
    StmtGuard g;
    int rc =
        sqlite3_prepare_v2(db, "SELECT max(version) FROM mz_schema_version", -1, &g.stmt, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(g.stmt);
    if (rc == SQLITE_ROW && sqlite3_column_type(g.stmt, 0) != SQLITE_NULL)
        return sqlite3_column_int(g.stmt, 0);
    const std::string message = sqlite3_errmsg(db);
    if (rc == SQLITE_ROW)
        error = quoted + " is not a report database: its schema version is missing.";
    else if (message.starts_with("no such table"))
        error = quoted + " is an SQLite database but not a report database (it has no " +
                "mz_schema_version table).";
    else if (const int system = sqlite3_system_errno(db); system != 0)
        error = quoted + " cannot be read: " + message + " (" + std::strerror(system) + ").";
    else
        error = quoted + " cannot be read: " + message + ".";
    return 0;
}

}  // namespace

std::unique_ptr<Backend> OpenSqliteBackend(const ConnectionSettings& settings, std::string& error) {
    const std::string& path = settings.database_name;
    const std::string quoted = "\"" + path + "\"";
    if (error = FileProblem(path); !error.empty()) return nullptr;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        error = "Cannot open " + quoted + ": " + (db ? sqlite3_errmsg(db) : "out of memory") + ".";
        sqlite3_close_v2(db);
        return nullptr;
    }
    auto fail = [&](std::string why) {
        error = std::move(why);
        sqlite3_close_v2(db);
        return nullptr;
    };
    // SQLite falls back to reading when it may not write; a report database is written.
    if (sqlite3_db_readonly(db, "main") == 1)
        return fail(quoted + " is read-only: a report database must be writable.");
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_handler(db, &WaitForLock, nullptr);
    const int version = SchemaVersion(db, path, error);
    if (!error.empty()) return fail(error);
    if (version > kKnownSchemaVersion)
        return fail(quoted + " is a report database of schema version " + std::to_string(version) +
                    ", newer than version " + std::to_string(kKnownSchemaVersion) +
                    " that this library reads: it needs a later release.");
    if (version < kKnownSchemaVersion)
        return fail(quoted + " is a report database of schema version " + std::to_string(version) +
                    ", older than version " + std::to_string(kKnownSchemaVersion) +
                    " that this library reads.");
    if (sqlite3_exec(db, "PRAGMA journal_mode = WAL; PRAGMA foreign_keys = ON;", nullptr, nullptr,
                     nullptr) != SQLITE_OK)
        return fail(quoted + " cannot be opened for writing: " + sqlite3_errmsg(db) + ".");
    RegisterDialectFunctions(db, settings.user_name);
    GuardConnection(db);
    return std::make_unique<SqliteBackend>(db);
}

int KnownSchemaVersion() {
    return kKnownSchemaVersion;
}

}  // namespace mz
