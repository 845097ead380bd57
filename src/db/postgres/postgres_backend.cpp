#include "db/postgres/postgres_backend.h"

#include <libpq-fe.h>

#include <cctype>
#include <charconv>
#include <chrono>
#include <new>
#include <unordered_map>

#include "db/builtin_procedures.h"
#include "db/postgres/pg_connection.h"
#include "db/postgres/pg_values.h"
#include "db/procedure_text.h"
#include "db/sql_types.h"
#include "db/sqlite_backend.h"
#include "db/tsql_translator.h"
#include "platform/error.h"
#include "platform/text.h"

namespace mz {
namespace {

TranslationCache& Translations() {
    static TranslationCache cache(4096, TsqlDialect::PostgreSQL);
    return cache;
}

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

// Why a translated query may not run as a query, or "". The server refuses writes outside a
// transaction by itself; inside the caller's transaction this is the guard: one statement, a
// reading one, no writing clause and none of the server's functions that change state.
std::string ReadingProblem(std::string_view sql, std::string_view tsql) {
    const std::vector<SqlToken> pieces = Tokenize(sql);
    const std::string refused = "Only reading statements may be run by a query; refused: \"" +
                                std::string(tsql.substr(0, 60)) + "\"";
    if (!IsReadingWord(FirstWord(pieces))) return refused;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const SqlToken& p = pieces[i];
        if (p.kind == TokenKind::Semicolon) {
            std::string rest;
            for (size_t j = i + 1; j < pieces.size(); ++j) {
                if (IsTrivia(pieces[j]) || pieces[j].kind == TokenKind::Semicolon) continue;
                for (size_t k = j; k < pieces.size(); ++k) rest += pieces[k].text;
                return "Only one statement may be run by a query; more text follows: \"" +
                       rest.substr(0, 60) + "\"";
            }
        }
        if (p.kind != TokenKind::Identifier) continue;
        const std::string w = Lower(p.text);
        if (w == "insert" || w == "update" || w == "delete" || w == "merge" || w == "truncate" ||
            w == "into")
            return refused;
        size_t next = i + 1;
        while (next < pieces.size() && IsTrivia(pieces[next])) ++next;
        const bool call = next < pieces.size() && pieces[next].kind == TokenKind::LeftParen;
        if (call && (w.starts_with("pg_") || w.starts_with("lo_") || w.starts_with("dblink") ||
                     w == "set_config" || w == "nextval" || w == "setval" || w == "txid_current"))
            return refused;
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

const std::vector<ProcedureParam>& GenericParams(std::string_view name) {
    static const std::vector<ProcedureParam> update = {{"@table", "varchar(128)", false},
                                                       {"@column", "varchar(128)", false},
                                                       {"@unique_id", "int", false},
                                                       {"@value", "varchar(8000)", false}};
    static const std::vector<ProcedureParam> remove = {{"@table", "varchar(128)", false},
                                                       {"@unique_id", "int", false}};
    static const std::vector<ProcedureParam> none;
    if (EqualsNoCase(name, "sp_update_table")) return update;
    if (EqualsNoCase(name, "sp_delete_table")) return remove;
    return none;
}

class PostgresBackend final : public Backend {
  public:
    explicit PostgresBackend(std::unique_ptr<pg::Connection> conn)
        : conn_(std::move(conn)), fields_(*conn_) {}
    ~PostgresBackend() override = default;

    std::string Query(std::string_view tsql, ResultSet& out) override {
        out.Close();
        if (tsql.find_first_not_of(" \t\r\n") == std::string_view::npos)
            return "The SQL text is empty.";
        std::shared_ptr<const Translation> tr = Translations().Get(tsql);
        if (!tr->error.empty()) return tr->error;
        QueryStop stop(query_time_limit_);
        const Watched watched(*conn_, stop);
        try {
            return tr->exec_procedure.empty() ? RunQuery(*tr, tsql, out)
                                              : RunReadProcedure(*tr, out);
        } catch (const Error&) {
            if (stop.Stopped()) stop.Raise("PostgreSQL");
            throw;
        }
    }

    std::string DescribeProcedure(std::string_view name, ProcedureInfo& info) override {
        info = ProcedureInfo{};
        if (const auto& generic = GenericParams(name); !generic.empty()) {
            info.params = generic;
            return "";
        }
        Procedure* proc = nullptr;
        std::string error = LoadProcedure(name, proc);
        if (error.empty()) info.params = proc->params;
        return error;
    }

    std::string Execute(std::string_view name, ParamValues& values) override {
        const auto plan = EqualsNoCase(name, "sp_update_table")   ? &PlanUpdateTable
                          : EqualsNoCase(name, "sp_delete_table") ? &PlanDeleteTable
                                                                  : nullptr;
        if (plan) {
            const FindSchemaTable find = [this](std::string_view t) { return FindTable(t); };
            return AllOrNothing(false, values,
                                [&] { return RunBuiltin(plan(values, find, kBuiltins)); });
        }
        Procedure* proc = nullptr;
        if (std::string error = LoadProcedure(name, proc); !error.empty()) return error;
        return AllOrNothing(proc->read_only, values,
                            [&] { return RunStatements(*proc, values, nullptr); });
    }

    bool InTransaction() const override { return conn_->InTransaction(); }
    void Begin() override {
        if (InTransaction())
            throw Error(err::kInvalidCall, "DbConnect.BeginTrans",
                        "A transaction is already open on this connection.");
        conn_->Exec("BEGIN ISOLATION LEVEL SERIALIZABLE READ WRITE");
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
    // The connection's statements are watched by stop while it lives.
    struct Watched {
        Watched(pg::Connection& watched, QueryStop& stop) : conn(watched) { conn.Watch(&stop); }
        ~Watched() { conn.Watch(nullptr); }
        Watched(const Watched&) = delete;
        Watched& operator=(const Watched&) = delete;
        pg::Connection& conn;
    };

    std::string RunQuery(const Translation& tr, std::string_view tsql, ResultSet& out) {
        if (tr.sql.find_first_not_of(" \t\r\n;") == std::string::npos)
            return "The SQL text holds no statement.";
        if (std::string problem = ReadingProblem(tr.sql, tsql); !problem.empty()) return problem;
        const bool nested = conn_->InTransaction();
        if (nested) conn_->Exec("SAVEPOINT mz_query");
        pg::Result r = conn_->Run(tr.sql);
        if (!r.Ok()) {
            if (nested) conn_->Script("ROLLBACK TO mz_query; RELEASE mz_query");
            const std::string state = r.SqlState();
            if (state.starts_with("42")) return "SQL error: " + r.Message();
            if (state == "25006")
                return "Only reading statements may be run by a query; refused: \"" +
                       std::string(tsql.substr(0, 60)) + "\"";
            pg::Raise(r);
        }
        if (nested) conn_->Exec("RELEASE mz_query");
        fields_.Fill(r, out);
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
                conn_->Exec(nested      ? "SAVEPOINT mz_call"
                            : read_only ? "BEGIN READ ONLY"
                                        : "BEGIN ISOLATION LEVEL SERIALIZABLE READ WRITE");
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

    std::string RunReadProcedure(const Translation& tr, ResultSet& out) {
        Procedure* proc = nullptr;
        if (std::string error = LoadProcedure(tr.exec_procedure, proc); !error.empty())
            return error;
        if (!proc->read_only)
            return "Only reading procedures may be run by a query; refused: exec " +
                   tr.exec_procedure;
        if (tr.exec_args.size() > proc->params.size())
            return "Procedure " + tr.exec_procedure + " takes " +
                   std::to_string(proc->params.size()) + " arguments, not " +
                   std::to_string(tr.exec_args.size()) + ".";
        ParamValues values;
        for (size_t i = 0; i < proc->params.size(); ++i)
            values.emplace_back(proc->params[i].name,
                                i < tr.exec_args.size() ? tr.exec_args[i] : Variant::Null());
        if (proc->statements.empty())
            return "Procedure " + tr.exec_procedure + " has no statement.";
        return AllOrNothing(true, values, [&] { return RunStatements(*proc, values, &out); });
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
    pg::Result version = conn->Run("SELECT max(version) FROM mz_schema_version");
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
    if (v == 0) {
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
