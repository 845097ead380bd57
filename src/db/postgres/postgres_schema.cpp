// Creating a report database on a server, and its lookup tables as a lookup store.
#include <libpq-fe.h>

#include <memory>
#include <optional>

#include "db/postgres/pg_connection.h"
#include "db/postgres/pg_values.h"
#include "db/postgres/postgres_backend.h"
#include "db/schema_loader.h"
#include "db/sql_types.h"
#include "platform/error.h"
#include "platform/text.h"

namespace mz {
namespace {

// The database a connection string names, or "" when it leaves that to libpq's defaults.
std::string DatabaseOf(const std::string& conninfo) {
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &message);
    PQfreemem(message);
    std::string name;
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (std::string_view(o->keyword) == "dbname" && o->val) name = o->val;
    PQconninfoFree(options);
    return name;
}

// What the server does not keep of the schema's columns (names' case, text lengths, bits),
// declared once for every reader of the database.
std::string StoreDeclaredColumns(pg::Connection& conn) {
    std::string error;
    const std::vector<DeclaredColumn> columns = DeclaredColumns(error);
    if (!error.empty()) return "mz_column: " + error;
    std::string sql;
    for (const DeclaredColumn& c : columns) {
        sql += sql.empty() ? "INSERT INTO mz_column VALUES " : ", ";
        sql +=
            "(" + SqlQuoted(c.table) + ", " + SqlQuoted(c.column) + ", " + SqlQuoted(c.type) + ")";
    }
    if (sql.empty()) return "";
    pg::Result r = conn.Run(sql);
    return r.Ok() ? "" : "mz_column: " + r.Message();
}

// The report's roles and their rights (see postgres_backend.h). Roles belong to the server, so
// they are made once and granted anew in every report database. The reader may read every table
// and view, now and later; the clerk may change their rows and number them. Revoked from every
// role but a superuser, in this database only: the server's functions that reach past the
// reading statement, so that a query cannot leave the reader's role (set_config of "role"), make
// large objects, notify other sessions, or hold locks past its transaction.
constexpr std::string_view kRolesSql = R"sql(
DO $$
DECLARE
    s text := quote_ident(current_schema());
    f regprocedure;
BEGIN
    IF NOT (SELECT rolsuper FROM pg_roles WHERE rolname = current_user) THEN
        RAISE EXCEPTION 'the report''s roles are granted by a superuser, not by %', current_user;
    END IF;
    BEGIN
        CREATE ROLE mz_reader NOLOGIN;
    EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL;
    END;
    BEGIN
        CREATE ROLE mz_clerk NOLOGIN IN ROLE mz_reader;
    EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL;
    END;
    EXECUTE 'GRANT USAGE ON SCHEMA ' || s || ' TO mz_reader, mz_clerk';
    EXECUTE 'GRANT SELECT ON ALL TABLES IN SCHEMA ' || s || ' TO mz_reader';
    EXECUTE 'GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA ' || s || ' TO mz_clerk';
    EXECUTE 'GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA ' || s || ' TO mz_clerk';
    EXECUTE 'ALTER DEFAULT PRIVILEGES IN SCHEMA ' || s || ' GRANT SELECT ON TABLES TO mz_reader';
    EXECUTE 'ALTER DEFAULT PRIVILEGES IN SCHEMA ' || s ||
            ' GRANT SELECT, INSERT, UPDATE, DELETE ON TABLES TO mz_clerk';
    EXECUTE 'ALTER DEFAULT PRIVILEGES IN SCHEMA ' || s ||
            ' GRANT USAGE, SELECT, UPDATE ON SEQUENCES TO mz_clerk';
    FOR f IN SELECT oid FROM pg_proc WHERE pronamespace = 'pg_catalog'::regnamespace AND proname IN
        ('set_config', 'lo_creat', 'lo_create', 'lo_from_bytea', 'lo_put', 'lo_unlink', 'lowrite',
         'lo_truncate', 'lo_truncate64', 'lo_import', 'lo_export', 'pg_notify',
         'pg_advisory_lock', 'pg_advisory_lock_shared', 'pg_try_advisory_lock',
         'pg_try_advisory_lock_shared')
    LOOP
        EXECUTE 'REVOKE EXECUTE ON FUNCTION ' || f || ' FROM PUBLIC';
    END LOOP;
END
$$;
)sql";

class PgLookupStore final : public LookupStore {
  public:
    explicit PgLookupStore(pg::Connection& conn) : conn_(conn) {}

    std::vector<LookupColumn> Columns(const std::string& table) override {
        std::vector<LookupColumn> columns;
        pg::Result r = conn_.Run(
            "SELECT a.attname, t.typname, a.atttypmod, a.attnotnull, a.atthasdef, "
            "a.attidentity <> '', m.column_name, m.declared_type FROM pg_class c "
            "JOIN pg_attribute a ON a.attrelid = c.oid JOIN pg_type t ON t.oid = a.atttypid "
            "LEFT JOIN mz_column m ON m.table_name = c.relname AND lower(m.column_name) = "
            "a.attname "
            "WHERE c.relkind = 'r' AND c.relname = $1 "
            "AND c.relnamespace = current_schema()::regnamespace AND a.attnum > 0 "
            "AND NOT a.attisdropped ORDER BY a.attnum",
            {table}, {pg::kText});
        for (int i = 0; r.Ok() && i < r.Rows(); ++i) {
            LookupColumn c;
            c.name = std::string(r.Text(i, 0));
            const std::string_view type = r.Text(i, 1);
            c.info = FieldInfoForDeclaredType(type == "mz_bit"      ? "bit"
                                              : type == "int4"      ? "int"
                                              : type == "int2"      ? "smallint"
                                              : type == "numeric"   ? "money"
                                              : type == "float8"    ? "float"
                                              : type == "timestamp" ? "datetime"
                                                                    : "varchar");
            // The server keeps neither the name's case nor a case-blind text's length.
            if (!r.IsNull(i, 6)) {
                c.name = std::string(r.Text(i, 6));
                c.info = FieldInfoForDeclaredType(r.Text(i, 7));
            }
            c.not_null = r.Text(i, 3) == "t";
            c.has_default = r.Text(i, 4) == "t";
            c.integer_key = r.Text(i, 5) == "t";
            columns.push_back(std::move(c));
        }
        return columns;
    }

    std::string Exec(const std::string& sql) override {
        try {
            conn_.Script(sql);
            return "";
        } catch (const Error& e) {
            return e.Description();
        }
    }

    std::string Insert(const std::string& table, const std::vector<const LookupColumn*>& columns,
                       const std::vector<Variant>& values) override {
        std::string sql = "INSERT INTO " + SqlQuoted(table, '"') + " (";
        std::string marks;
        std::vector<std::optional<std::string>> params;
        for (size_t i = 0; i < columns.size(); ++i) {
            sql += (i ? ", " : "") + SqlQuoted(Lower(columns[i]->name), '"');
            marks += (i ? ", $" : "$") + std::to_string(i + 1);
            params.push_back(pg::ParamText(values[i]));
        }
        pg::Result r = conn_.Run(sql + ") VALUES (" + marks + ")", params);
        return r.Ok() ? "" : r.Message();
    }

    // Rows come in the order they were stored: a table's rows are only ever replaced whole.
    std::string Read(const std::string& table, std::vector<std::string>& names,
                     std::vector<Row>& rows) override {
        pg::Result r = conn_.Run("SELECT * FROM " + SqlQuoted(table, '"') + " ORDER BY ctid");
        if (!r.Ok()) return r.Message();
        for (const LookupColumn& c : Columns(table)) names.push_back(c.name);  // declared case
        for (int i = 0; i < r.Rows(); ++i) {
            Row& row = rows.emplace_back();
            for (int k = 0; k < r.Columns(); ++k) {
                if (r.IsNull(i, k)) {
                    row.emplace_back();
                    continue;
                }
                row.emplace_back(pg::BaselineText(r, i, k));
            }
        }
        return "";
    }

    // Identity counters continue after the highest identifier the files gave.
    std::string Renumbered() override {
        pg::Result r = conn_.Run(
            "SELECT c.relname, a.attname FROM pg_attribute a JOIN pg_class c ON c.oid = "
            "a.attrelid WHERE a.attidentity <> '' AND c.relnamespace = "
            "current_schema()::regnamespace");
        if (!r.Ok()) return r.Message();
        std::string sql;
        for (int i = 0; i < r.Rows(); ++i) {
            const std::string table = SqlQuoted(r.Text(i, 0), '"'),
                              column = SqlQuoted(r.Text(i, 1), '"');
            sql += "SELECT setval(pg_get_serial_sequence('" + table + "', '" +
                   std::string(r.Text(i, 1)) + "'), coalesce(max(" + column +
                   "), 0) + 1, false) FROM " + table + ";";
        }
        return sql.empty() ? "" : Exec(sql);
    }

  private:
    pg::Connection& conn_;
};

class PgTarget final : public SchemaTarget {
  public:
    explicit PgTarget(pg::Connection& conn) : conn_(conn) {}
    const SqlDialect& Dialect() const override { return PostgresDialect(); }
    std::string Exec(const std::string& sql) override { return PgLookupStore(conn_).Exec(sql); }
    std::string CheckProcedures() override { return CheckPostgresProcedures(conn_); }
    // The declarations first: the seed rows are checked against the declared lengths.
    std::string LoadSeed() override {
        if (std::string e = StoreDeclaredColumns(conn_); !e.empty()) return e;
        PgLookupStore store(conn_);
        return LoadLookupSeed(store);
    }

  private:
    pg::Connection& conn_;
};

// A lookup store that owns its connection.
class OwningLookupStore final : public LookupStore {
  public:
    explicit OwningLookupStore(std::unique_ptr<pg::Connection> conn)
        : conn_(std::move(conn)), store_(*conn_) {}
    std::vector<LookupColumn> Columns(const std::string& table) override {
        return store_.Columns(table);
    }
    std::string Exec(const std::string& sql) override { return store_.Exec(sql); }
    std::string Insert(const std::string& table, const std::vector<const LookupColumn*>& columns,
                       const std::vector<Variant>& values) override {
        return store_.Insert(table, columns, values);
    }
    std::string Renumbered() override { return store_.Renumbered(); }
    std::string Read(const std::string& table, std::vector<std::string>& names,
                     std::vector<Row>& rows) override {
        return store_.Read(table, names, rows);
    }

  private:
    std::unique_ptr<pg::Connection> conn_;
    PgLookupStore store_;
};

}  // namespace

std::string CreatePostgresReportDatabase(const std::string& conninfo) {
    std::string error;
    std::unique_ptr<pg::Connection> conn = pg::Connection::Open(conninfo, "", "", "", error);
    const std::string name = DatabaseOf(conninfo);
    bool created = false;
    auto drop_created = [&] {
        if (!created) return;
        std::string ignored;
        if (auto admin = pg::Connection::Open(conninfo, "postgres", "", "", ignored))
            admin->Run("DROP DATABASE IF EXISTS " + SqlQuoted(name, '"') + " WITH (FORCE)");
    };
    if (!conn && !name.empty() && error.find("does not exist") != std::string::npos) {
        std::unique_ptr<pg::Connection> admin =
            pg::Connection::Open(conninfo, "postgres", "", "", error);
        if (!admin) return "Cannot connect to the report database server: " + error;
        pg::Result r = admin->Run("CREATE DATABASE " + SqlQuoted(name, '"'));
        if (!r.Ok()) return "Cannot create the database \"" + name + "\": " + r.Message();
        created = true;
        admin.reset();
        conn = pg::Connection::Open(conninfo, "", "", "", error);
    }
    if (!conn) {
        drop_created();
        return "Cannot connect to the report database server: " + error;
    }
    pg::Result tables = conn->Run(
        "SELECT count(*) FROM pg_class WHERE relkind IN ('r', 'v') "
        "AND relnamespace = current_schema()::regnamespace");
    if (!tables.Ok() || tables.Text(0, 0) != "0")
        return "\"" + conn->Name() +
               "\" already holds tables; a new report database is only built in an empty one.";
    PgTarget target(*conn);
    error = target.Exec("BEGIN");
    if (error.empty()) error = BuildReportSchema(target);
    if (error.empty()) error = target.Exec(std::string(kRolesSql));
    if (error.empty()) error = target.Exec("COMMIT");
    if (!error.empty()) {
        conn->Run("ROLLBACK");
        conn.reset();
        drop_created();
        return "Cannot create the report database: " + error;
    }
    return "";
}

std::unique_ptr<LookupStore> OpenPostgresLookupStore(const std::string& conninfo,
                                                     std::string& error) {
    std::unique_ptr<pg::Connection> conn = pg::Connection::Open(conninfo, "", "", "", error);
    if (!conn) {
        error = "Cannot connect to the report database server: " + error;
        return nullptr;
    }
    if (!conn->Run("SELECT version FROM mz_schema_version").Ok()) {
        error = "\"" + conn->Name() + "\" is not a report database";
        return nullptr;
    }
    return std::make_unique<OwningLookupStore>(std::move(conn));
}

}  // namespace mz
