#include "db/postgres/postgres_backend.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <new>
#include <unordered_map>

#include "db/builtin_procedures.h"
#include "db/postgres/pg_connection.h"
#include "db/postgres/pg_values.h"
#include "db/procedure_backend.h"
#include "db/procedure_text.h"
#include "db/sql_types.h"
#include "db/sqlite_backend.h"
#include "db/tsql_translator.h"
#include "platform/error.h"
#include "platform/text.h"

namespace mz {
namespace {

// About how much of a query's rows one fetch from the server brings (see RunQuery).
constexpr size_t kFetchBytes = size_t{32} << 20;

// ---- statements as tokens ----------------------------------------------------------------------

bool IsTrivia(const SqlToken& p) {
    return p.kind == TokenKind::Blank || p.kind == TokenKind::Comment;
}

// Splits a procedure body into its statements at the semicolons outside parentheses.
std::vector<std::string> Statements(std::string_view body) {
    std::vector<std::string> out;
    std::string current;
    bool significant = false;
    int depth = 0;
    for (const SqlToken& p : Tokenize(body)) {
        if (p.kind == TokenKind::LeftParen) ++depth;
        if (p.kind == TokenKind::RightParen) --depth;
        if (p.kind == TokenKind::Semicolon && depth == 0) {
            if (significant) out.push_back(current);
            current.clear();
            significant = false;
            continue;
        }
        significant = significant || !IsTrivia(p);
        current += p.text;
    }
    if (significant) out.push_back(current);
    return out;
}

std::string FirstWord(const std::vector<SqlToken>& pieces) {
    for (const SqlToken& p : pieces) {
        if (IsTrivia(p) || p.kind == TokenKind::LeftParen) continue;
        return p.kind == TokenKind::Identifier ? Lower(p.text) : "";
    }
    return "";
}

bool IsReadingWord(const std::string& w) {
    return w == "select" || w == "with" || w == "values";
}

// Why a translated query may not run as a query, or "": it must be one statement, a reading one.
// What it may reach is bounded by the server (see RunQuery); this only gives the plain answers
// the embedded file gives.
std::string ReadingProblem(std::string_view sql, std::string_view tsql) {
    const std::vector<SqlToken> pieces = Tokenize(sql);
    if (!IsReadingWord(FirstWord(pieces)))
        return "Only reading statements may be run by a query; refused: \"" +
               std::string(tsql.substr(0, 60)) + "\"";
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].kind != TokenKind::Semicolon) continue;
        std::string rest;
        for (size_t j = i + 1; j < pieces.size(); ++j) {
            if (IsTrivia(pieces[j]) || pieces[j].kind == TokenKind::Semicolon) continue;
            for (size_t k = j; k < pieces.size(); ++k) rest += pieces[k].text;
            return "Only one statement may be run by a query; more text follows: \"" +
                   rest.substr(0, 60) + "\"";
        }
    }
    return "";
}

// ---- procedures --------------------------------------------------------------------------------

struct Procedure {
    std::vector<ProcedureParam> params;
    std::vector<VarType> param_types;
    std::vector<std::string> statements;  // names of the prepared statements
    bool read_only = true;
};

unsigned OidForDeclared(std::string_view declared) {
    const std::string low = Lower(declared);
    const std::string name = low.substr(0, low.find_first_of(" ("));
    if (name == "int" || name == "integer") return pg::kInt4;
    if (name == "smallint" || name == "tinyint" || name == "bit") return pg::kInt2;
    if (name == "bigint") return pg::kInt8;
    if (name == "money" || name == "smallmoney" || name == "numeric" || name == "decimal")
        return pg::kNumeric;
    if (name == "float" || name == "real" || name == "double") return pg::kFloat8;
    if (name == "datetime" || name == "smalldatetime" || name == "date") return pg::kTimestamp;
    return pg::kText;
}

// The statement with each @Name of params as $n; other @names are Null.
std::string Numbered(std::string_view statement, const std::vector<ProcedureParam>& params) {
    std::string out;
    for (const SqlToken& p : Tokenize(statement)) {
        if (p.kind != TokenKind::Variable || p.text.front() != '@') {
            out += p.text;
            continue;
        }
        size_t k = 0;
        while (k < params.size() && !EqualsNoCase(params[k].name, p.text)) ++k;
        out += k < params.size() ? "$" + std::to_string(k + 1) : std::string("NULL");
    }
    return out;
}

class PostgresBackend final : public ProcedureBackend<PostgresBackend, Procedure> {
  public:
    explicit PostgresBackend(std::unique_ptr<pg::Connection> conn)
        : conn_(std::move(conn)), fields_(*conn_) {}
    ~PostgresBackend() override = default;

    bool InTransaction() const override { return conn_->InTransaction(); }
    void Begin() override {
        if (InTransaction())
            throw Error(err::kInvalidCall, "DbConnect.BeginTrans",
                        "A transaction is already open on this connection.");
        conn_->Script(BeginWriting());
    }
    void Commit() override {
        if (!InTransaction())
            throw Error(err::kInvalidCall, "DbConnect.EndTrans",
                        "No transaction is open on this connection.");
        // The server answers COMMIT of a failed transaction with a silent roll-back.
        if (PQtransactionStatus(conn_->Raw()) == PQTRANS_INERROR) {
            conn_->Run("ROLLBACK");
            throw Error(err::kDriverBase + 0xE000, "PostgreSQL",
                        "The transaction was rolled back instead of committed: one of its "
                        "statements failed.");
        }
        conn_->Exec("COMMIT");
    }
    void Rollback() override {
        if (InTransaction()) conn_->Run("ROLLBACK");
    }
    // Watched by the client, as on the embedded file: the limit is the query's alone, never a
    // save's or a delete's.
    void QueryTimeLimit(std::chrono::milliseconds limit) override { query_time_limit_ = limit; }

  private:
    // A writing transaction, taking the writers' lock before its first read. Not SERIALIZABLE:
    // the server finds those conflicts by the index pages a transaction reads, and every new
    // row's insert reads its own row back from the pages where every other clerk's new rows go,
    // so saves of different rows lost to each other again and again. Writers share the lock; a
    // transaction on a connection whose last one lost a conflict takes it alone, waiting for the
    // writers at work and holding back new ones, so its rerun cannot lose again. The lock comes
    // before the transaction's snapshot: the rerun then sees everything the others committed.
    std::string BeginWriting() {
        return std::string(
                   "BEGIN ISOLATION LEVEL REPEATABLE READ READ WRITE; LOCK TABLE mz_writer IN ") +
               (conn_->TakeLostConflict() ? "ACCESS EXCLUSIVE" : "ACCESS SHARE") + " MODE";
    }

    // The connection's statements are watched by stop while it lives.
    struct WatchedBy {
        WatchedBy(pg::Connection& watched, QueryStop& stop) : conn(watched) { conn.Watch(&stop); }
        ~WatchedBy() { conn.Watch(nullptr); }
        WatchedBy(const WatchedBy&) = delete;
        WatchedBy& operator=(const WatchedBy&) = delete;
        pg::Connection& conn;
    };

    friend class ProcedureBackend<PostgresBackend, Procedure>;

    static TranslationCache& Translations() {
        static TranslationCache cache(4096, TsqlDialect::PostgreSQL);
        return cache;
    }

    template <class F>
    std::string Watched(F&& run) {
        QueryStop stop(query_time_limit_);
        const WatchedBy watched(*conn_, stop);
        try {
            return run();
        } catch (const Error& e) {
            // The server's own timeout (57014 too) comes just after the watch's.
            if (stop.Stopped() || (e.Number() == pg::ErrorNumber("57014") && stop.Due()))
                stop.Raise("PostgreSQL");
            throw;
        }
    }

    // The caller's statement runs as the reader role in a read-only transaction, or a read-only
    // savepoint of the caller's, and is undone after it whatever it did: only its rows remain.
    // Its rows come through a cursor, a few first and then as many as make about kFetchBytes, so
    // that no more of them than a query may hold (RowsMemory) ever reach this process, and each
    // gets them a batch at a time. The server stops the statement itself half a second after the
    // time limit, should the watch's cancel not reach it.
    std::string RunQuery(const Translation& tr, std::string_view tsql, ResultSet& out,
                         const RowBatches* each) {
        if (tr.sql.find_first_not_of(" \t\r\n;") == std::string::npos)
            return "The SQL text holds no statement.";
        if (std::string problem = ReadingProblem(tr.sql, tsql); !problem.empty()) return problem;
        const bool nested = conn_->InTransaction();
        std::string begin =
            nested ? "SAVEPOINT mz_query; SET LOCAL transaction_read_only = on" : "BEGIN READ ONLY";
        begin += std::string("; SET LOCAL ROLE ") + kReaderRole +
                 "; SET LOCAL cursor_tuple_fraction = 1";
        if (query_time_limit_.count() > 0)
            begin += "; SET LOCAL statement_timeout = " +
                     std::to_string(query_time_limit_.count() + 500);
        conn_->Script(begin);
        struct Undo {
            pg::Connection& conn;
            bool nested;
            ~Undo() {
                conn.Run(nested ? "ROLLBACK TO mz_query" : "ROLLBACK");
                if (nested) conn.Run("RELEASE mz_query");
            }
        } undo{*conn_, nested};
        const auto refused = [&](const pg::Result& r) -> std::string {
            const std::string state = r.SqlState();
            if (state.starts_with("42")) return "SQL error: " + r.Message();
            if (state == "25006")
                return "Only reading statements may be run by a query; refused: \"" +
                       std::string(tsql.substr(0, 60)) + "\"";
            pg::Raise(r);
        };
        if (pg::Result r = conn_->Run("DECLARE mz_rows NO SCROLL CURSOR FOR " + tr.sql); !r.Ok())
            return refused(r);
        RowsMemory memory("PostgreSQL");
        ResultSet rs;
        std::vector<FieldInfo> fields;
        int64_t fetch = 16;
        try {
            for (bool first = true;; first = false) {
                pg::Result r =
                    conn_->Run("FETCH FORWARD " + std::to_string(fetch) + " FROM mz_rows");
                if (!r.Ok()) return refused(r);
                if (first) {
                    rs = fields_.Start(r);
                    for (int i = 0; i < rs.FieldCount(); ++i) fields.push_back(rs.FieldAt(i));
                }
                const size_t before = memory.Bytes();
                fields_.Append(r, rs, memory);
                if (r.Rows() < fetch) break;
                // The next fetch takes about kFetchBytes, judged by the rows just read.
                const size_t row_bytes =
                    std::max<size_t>(1, (memory.Bytes() - before) / static_cast<size_t>(r.Rows()));
                fetch =
                    std::clamp<int64_t>(static_cast<int64_t>(kFetchBytes / row_bytes), 16, 100000);
                if (each && rs.RecordCount() >= kBatchRows) {
                    rs.MoveFirst();
                    (*each)(rs);
                    rs = ResultSet(fields);
                    memory.Reset();
                }
            }
        } catch (const std::bad_alloc&) {
            memory.RaiseOutOfMemory();
        }
        if (rs.RecordCount() > 0) rs.MoveFirst();
        if (each) {
            (*each)(rs);
            rs.Close();
        }
        out = std::move(rs);
        return "";
    }

    // Runs one call as a whole, like the embedded backend: a savepoint inside the caller's
    // transaction, else a transaction of its own, run again after a lost conflict.
    template <class F>
    std::string AllOrNothing(bool read_only, ParamValues& values, F&& body) {
        const bool nested = InTransaction();
        const ParamValues given = values;
        return RunTransaction(
            !nested,
            [&] {
                values = given;
                conn_->Script(nested      ? "SAVEPOINT mz_call"
                              : read_only ? "BEGIN READ ONLY"
                                          : BeginWriting());
                std::string error = body();
                if (error.empty()) {
                    conn_->Exec(nested ? "RELEASE mz_call" : "COMMIT");
                    return error;
                }
                Undo(nested);
                return error;
            },
            [&] { Undo(nested); });
    }
    void Undo(bool nested) {
        if (!nested) {
            conn_->Run("ROLLBACK");
            return;
        }
        conn_->Run("ROLLBACK TO mz_call");
        conn_->Run("RELEASE mz_call");
    }

    std::string LoadProcedure(std::string_view name, Procedure*& out) {
        std::string key = Lower(name);
        if (auto it = procedures_.find(key); it != procedures_.end()) {
            out = &it->second;
            return "";
        }
        pg::Result r = conn_->Exec(
            "SELECT parameters, body FROM mz_procedure WHERE lower(name) = $1", {key}, {pg::kText});
        if (r.Rows() == 0)
            return "The report database has no stored procedure named \"" + std::string(name) +
                   "\".";
        Procedure proc;
        std::string error;
        proc.params = ParseParameters(r.Text(0, 0), error);
        if (!error.empty()) return "Procedure " + std::string(name) + ": " + error;
        std::vector<unsigned> oids;
        for (const auto& p : proc.params) {
            proc.param_types.push_back(FieldInfoForDeclaredType(p.type).type);
            oids.push_back(OidForDeclared(p.type));
        }
        // A statement that does not prepare must not spoil the caller's transaction.
        const bool nested = InTransaction();
        if (nested) conn_->Exec("SAVEPOINT mz_prepare");
        for (const std::string& statement : Statements(r.Text(0, 1))) {
            const std::string sql = Numbered(statement, proc.params);
            const std::string id = "mz_" + std::to_string(++prepared_);
            pg::Result prepared = conn_->Prepare(id, sql, oids);
            if (!prepared.Ok()) {
                if (nested) conn_->Script("ROLLBACK TO mz_prepare; RELEASE mz_prepare");
                return "Procedure " + std::string(name) +
                       " cannot be prepared: " + prepared.Message();
            }
            proc.read_only = proc.read_only && IsReadingWord(FirstWord(Tokenize(sql)));
            proc.statements.push_back(id);
        }
        if (nested) conn_->Exec("RELEASE mz_prepare");
        out = &procedures_.emplace(key, std::move(proc)).first->second;
        return "";
    }

    // Runs a procedure's statements with every declared parameter bound. The last statement's
    // rows go to result when one is given. Returns an "@error" text; engine failures raise.
    std::string RunStatements(Procedure& proc, ParamValues& values, ResultSet* result) {
        std::vector<std::optional<std::string>> bound(proc.params.size());
        for (size_t k = 0; k < proc.statements.size(); ++k) {
            for (size_t j = 0; j < proc.params.size(); ++j) {
                const Variant* v = FindValue(values, proc.params[j].name);
                bound[j] =
                    v ? pg::ParamText(ValueForStorage(*v, proc.param_types[j])) : std::nullopt;
            }
            pg::Result r = conn_->RunPrepared(proc.statements[k], bound);
            if (!r.Ok()) pg::Raise(r);
            if (result && k + 1 == proc.statements.size()) {
                fields_.Fill(r, *result);
                continue;
            }
            if (r.Rows() == 0) continue;
            for (int i = 0; i < r.Columns(); ++i) {
                const std::string_view cname = PQfname(r.get(), i);
                if (cname.empty() || cname.front() != '@') continue;
                Variant v = pg::StoredValue(r, 0, i);
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
        }
        return "";
    }

    // ---- sp_update_table and sp_delete_table

    // The schema's table of that name (any case), or null.
    const SchemaTable* FindTable(std::string_view name) {
        std::string key = Lower(name);
        if (auto it = tables_.find(key); it != tables_.end()) return &it->second;
        pg::Result r = conn_->Exec(
            "SELECT c.relname, a.attname, t.typname, a.atttypid::integer FROM pg_class c "
            "JOIN pg_attribute a ON a.attrelid = c.oid JOIN pg_type t ON t.oid = a.atttypid "
            "WHERE c.relkind = 'r' AND c.relnamespace = current_schema()::regnamespace "
            "AND c.relname = $1 AND c.relname NOT LIKE 'mz\\_%' AND a.attnum > 0 "
            "AND NOT a.attisdropped ORDER BY a.attnum",
            {key}, {pg::kText});
        if (r.Rows() == 0) return nullptr;
        SchemaTable table;
        table.name = std::string(r.Text(0, 0));
        for (int i = 0; i < r.Rows(); ++i) {
            unsigned oid = 0;
            const std::string_view o = r.Text(i, 3);
            std::from_chars(o.data(), o.data() + o.size(), oid);
            const VarType type =
                r.Text(i, 2) == "mz_bit" ? VarType::Boolean : pg::TypeOfColumn(oid, -1).type;
            table.columns.push_back({std::string(r.Text(i, 1)), type, oid});
        }
        return &tables_.emplace(key, std::move(table)).first->second;
    }

    static constexpr BuiltinDialect kBuiltins = {"$1", "$2", "LOCALTIMESTAMP(0)",
                                                 "IS DISTINCT FROM"};

    std::string RunBuiltin(const BuiltinWrite& w) {
        if (!w.refusal.empty()) return w.refusal;
        std::vector<std::optional<std::string>> texts;
        for (const Variant& v : w.args) texts.push_back(pg::ParamText(v));
        std::vector<unsigned> types = {w.column ? w.column->engine_type : pg::kInt4};
        if (w.column) types.push_back(pg::kInt4);
        if (!w.journal.empty()) conn_->Exec(w.journal, texts, types);
        pg::Result r = conn_->Exec(w.sql, texts, types);
        return r.Affected() == 0 ? w.no_row : "";
    }

    std::unique_ptr<pg::Connection> conn_;
    pg::FieldReader fields_;
    std::chrono::milliseconds query_time_limit_{0};
    std::unordered_map<std::string, Procedure> procedures_;
    std::unordered_map<std::string, SchemaTable> tables_;
    int prepared_ = 0;
};

}  // namespace

std::string CheckPostgresProcedures(pg::Connection& conn) {
    pg::Result list = conn.Exec("SELECT name, parameters, body FROM mz_procedure ORDER BY name");
    for (int i = 0; i < list.Rows(); ++i) {
        const std::string name(list.Text(i, 0));
        std::string error;
        const std::vector<ProcedureParam> params = ParseParameters(list.Text(i, 1), error);
        if (!error.empty()) return "procedure " + name + ": " + error;
        std::vector<unsigned> oids;
        for (const auto& p : params) oids.push_back(OidForDeclared(p.type));
        for (const std::string& statement : Statements(list.Text(i, 2))) {
            pg::Result r = conn.Prepare("", Numbered(statement, params), oids);
            if (!r.Ok()) return "procedure " + name + ": " + r.Message();
        }
    }
    return "";
}

std::unique_ptr<Backend> OpenPostgresBackend(const ConnectionSettings& settings,
                                             std::string& error) {
    const bool in_source = IsServerConnection(settings.source);
    const std::string conninfo = in_source ? settings.source
                                 : IsServerConnection(settings.database_name)
                                     ? settings.database_name
                                     : "";
    const std::string dbname =
        IsServerConnection(settings.database_name) ? "" : settings.database_name;
    const bool own_user = !settings.use_trusted;
    std::unique_ptr<pg::Connection> conn =
        pg::Connection::Open(conninfo, dbname, own_user ? settings.user_name : "",
                             own_user ? settings.password : "", error);
    if (!conn) {
        error = "Cannot connect to the report database server: " + error;
        return nullptr;
    }
    const std::string quoted = "\"" + conn->Name() + "\"";
    pg::Result version = conn->Run(
        "SELECT max(version), (SELECT pg_has_role(oid, 'MEMBER') FROM pg_roles WHERE rolname = "
        "$1) FROM mz_schema_version",
        {std::string(kReaderRole)}, {pg::kText});
    const bool refused = version.SqlState() == "42501";  // insufficient privilege
    if (refused || (version.Ok() && (version.IsNull(0, 1) || version.Text(0, 1) != "t"))) {
        error = quoted + " may not be read by the user \"" + PQuser(conn->Raw()) +
                "\": a clerk connects as a login granted " + kClerkRole +
                (!refused && version.IsNull(0, 1)
                     ? ", and the server has no such role yet (mzreport init makes it)"
                     : "") +
                ".";
        return nullptr;
    }
    if (!version.Ok()) {
        error = version.SqlState() == "42P01"
                    ? quoted + " is a PostgreSQL database but not a report database (it has no " +
                          "mz_schema_version table)."
                    : quoted + " cannot be read: " + version.Message() + ".";
        return nullptr;
    }
    int v = 0;
    if (!version.IsNull(0, 0)) {
        const std::string_view t = version.Text(0, 0);
        std::from_chars(t.data(), t.data() + t.size(), v);
    }
    const int known = KnownSchemaVersion();
    if (version.IsNull(0, 0)) {
        error = quoted + " is not a report database: its schema version is missing.";
        return nullptr;
    }
    if (v != known) {
        error = quoted + " is a report database of schema version " + std::to_string(v) + ", " +
                (v > known ? "newer" : "older") + " than version " + std::to_string(known) +
                " that this library reads" + (v > known ? ": it needs a later release." : ".");
        return nullptr;
    }
    try {
        conn->Script(
            "SET default_transaction_read_only = on; SET DateStyle = 'ISO, MDY'; "
            "SET lock_timeout = '5s'; SET client_min_messages = warning");
    } catch (const Error& e) {
        error = quoted + " cannot be set up: " + e.Description();
        return nullptr;
    }
    return std::make_unique<PostgresBackend>(std::move(conn));
}

}  // namespace mz
