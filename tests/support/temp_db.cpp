#include "support/temp_db.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/report_versions.h"
#include "db/backend.h"
#include "db/postgres/pg_connection.h"
#include "db/postgres/pg_values.h"
#include "db/schema_loader.h"
#include "db/sql_dialect.h"
#include "db/sqlite_functions.h"
#include "db/versioned_table.h"
#include "platform/error.h"
#include "platform/text.h"

namespace mz::test {
namespace {

// One directory per test process, removed when the process ends. One found there already was
// left by an earlier process of the same id that was killed: it goes first.
struct TempRootDir {
    std::filesystem::path path;
    TempRootDir()
        : path(std::filesystem::temp_directory_path() / ("mz_test_" + std::to_string(::getpid()))) {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
        std::filesystem::create_directories(path);
    }
    ~TempRootDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const std::filesystem::path& TempRoot() {
    static const TempRootDir root;
    return root.path;
}

// ---- the server
// ----------------------------------------------------------------------------------

constexpr const char* kTemplate = "mz_template";

std::unique_ptr<pg::Connection> Connect(const std::string& conninfo, const std::string& dbname) {
    std::string error;
    std::unique_ptr<pg::Connection> c = pg::Connection::Open(conninfo, dbname, "", "", error);
    if (!c) ADD_FAILURE() << "cannot reach the PostgreSQL server: " << error;
    return c;
}

// Clones the template into a new database, building the template first when the server has
// none; an advisory lock keeps concurrent test processes from cloning a template being built.
void CloneTemplate(const std::string& name) {
    std::unique_ptr<pg::Connection> admin = Connect("", "postgres");
    if (!admin) return;
    admin->Exec("SELECT pg_advisory_lock(7201)");
    if (admin->Exec("SELECT 1 FROM pg_database WHERE datname = $1", {kTemplate}).Rows() == 0) {
        const std::string error = CreateReportDatabase(std::string("postgresql:///") + kTemplate);
        if (!error.empty()) ADD_FAILURE() << error;
    }
    pg::Result r = admin->Run("CREATE DATABASE " + name + " TEMPLATE " + kTemplate);
    if (!r.Ok()) ADD_FAILURE() << "cannot clone the report database template: " << r.Message();
    admin->Exec("SELECT pg_advisory_unlock(7201)");
}

std::string DatabaseOf(const std::string& uri) {
    return uri.substr(uri.rfind('/') + 1);
}

// A column the database fills from the clock: a digest counts it only as set or not.
bool IsClockColumn(std::string_view column) {
    for (const char* c :
         {"orig_date", "update_date", "delete_date", "created_date", "filed_date", "change_date"})
        if (column == c) return true;
    return false;
}

std::string ServerDigest(const std::string& uri) {
    std::unique_ptr<pg::Connection> c = Connect(uri, "");
    if (!c) return "";
    pg::Result tables = c->Exec(
        "SELECT relname FROM pg_class WHERE relkind = 'r' AND relnamespace = "
        "current_schema()::regnamespace ORDER BY relname");
    std::string digest;
    for (int t = 0; t < tables.Rows(); ++t) {
        const std::string table(tables.Text(t, 0));
        pg::Result rows = c->Exec("SELECT * FROM \"" + table + "\" t ORDER BY 1");
        std::string text;
        for (int i = 0; i < rows.Rows(); ++i) {
            for (int k = 0; k < rows.Columns(); ++k) {
                const std::string_view column = PQfname(rows.get(), k);
                text += rows.IsNull(i, k)       ? "~"
                        : IsClockColumn(column) ? "set"
                                                : std::string(rows.Text(i, k));
                text += '\x1f';
            }
            text += '\n';
        }
        digest += table + ":" + std::to_string(rows.Rows()) + ":" +
                  std::to_string(std::hash<std::string>()(text) % 100000) + " ";
    }
    return digest;
}

}  // namespace

bool OnPostgres() {
    static const bool on = [] {
        const char* backend = std::getenv("MZ_TEST_BACKEND");
        return backend && std::string_view(backend) == "postgres";
    }();
    return on;
}

void FailDeletes(const TempReportDb& db, const std::string& table) {
    if (OnPostgres()) {
        db.Exec(PostgresDialect().trigger("fail_delete", "BEFORE DELETE", table, "",
                                          "RAISE EXCEPTION 'injected failure';\n"));
    } else {
        db.Exec(SqliteDialect().trigger("fail_delete", "BEFORE DELETE", table, "",
                                        "SELECT RAISE(ABORT, 'injected failure');\n"));
    }
}

int32_t NewReportVersion(DbConnect& db, const std::string& action, int32_t ref) {
    std::string error;
    const int32_t id = CreateReportVersion(db, action, ref, error);
    EXPECT_EQ(error, "") << action;
    return id;
}

std::string TempPath(const std::string& name) {
    static std::atomic<int> counter{0};
    return (TempRoot() / (std::to_string(++counter) + "_" + name)).string();
}

std::string DatabaseDigest(const std::string& path) {
    if (IsServerConnection(path)) return ServerDigest(path);
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<std::string> tables;
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1,
                       &list, nullptr);
    while (sqlite3_step(list) == SQLITE_ROW)
        tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
    sqlite3_finalize(list);
    if (tables.empty()) ADD_FAILURE() << "no tables in " << path << ": " << sqlite3_errmsg(db);
    std::string digest;
    for (const std::string& table : tables) {
        sqlite3_stmt* rows = nullptr;
        sqlite3_prepare_v2(db, ("SELECT * FROM \"" + table + "\" ORDER BY rowid").c_str(), -1,
                           &rows, nullptr);
        std::string text;
        int count = 0;
        while (sqlite3_step(rows) == SQLITE_ROW) {
            ++count;
            for (int i = 0; i < sqlite3_column_count(rows); ++i) {
                const std::string column = sqlite3_column_name(rows, i);
                const unsigned char* v = sqlite3_column_text(rows, i);
                text += !v ? "~" : IsClockColumn(column) ? "set" : reinterpret_cast<const char*>(v);
                text += '\x1f';
            }
            text += '\n';
        }
        sqlite3_finalize(rows);
        digest += table + ":" + std::to_string(count) + ":" +
                  std::to_string(std::hash<std::string>()(text) % 100000) + " ";
    }
    sqlite3_close(db);
    return digest;
}

std::string CopyDatabase(const std::string& path) {
    if (IsServerConnection(path)) {
        static std::atomic<int> copies{0};
        const std::string name = DatabaseOf(path) + "_copy" + std::to_string(++copies);
        if (std::unique_ptr<pg::Connection> admin = Connect("", "postgres"))
            admin->Exec("CREATE DATABASE " + name + " TEMPLATE " + DatabaseOf(path));
        return "postgresql:///" + name;
    }
    const std::string copy = TempPath("copy.db");
    std::filesystem::copy_file(path, copy);
    return copy;
}

TempReportDb::TempReportDb() {
    if (OnPostgres()) {
        static std::atomic<int> counter{0};
        const std::string name =
            "mz_t" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        CloneTemplate(name);
        path_ = "postgresql:///" + name;
        return;
    }
    path_ = TempPath("report.db");
    std::string error = CreateReportDatabase(path_);
    if (!error.empty()) ADD_FAILURE() << error;
}

TempReportDb::~TempReportDb() {
    RemoveDatabase(path_);
}

void RemoveDatabase(const std::string& path) {
    if (IsServerConnection(path)) {
        std::string error;
        if (auto admin = pg::Connection::Open("", "postgres", "", "", error))
            admin->Run("DROP DATABASE IF EXISTS " + DatabaseOf(path) + " WITH (FORCE)");
        return;
    }
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix, ec);
}

namespace {

// What the server does not keep of the tables and views a test creates (names' case, text
// lengths, bits) goes into mz_column as the schema's own do: the SQLite text is run, and undone,
// on an embedded copy of the schema, which gives each new column's declaration.
std::string DeclaredColumnsSql(const std::string& sqlite_sql) {
    static sqlite3* mirror = [] {
        const std::string path = TempPath("declarations.db");
        if (std::string error = CreateReportDatabase(path); !error.empty()) ADD_FAILURE() << error;
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        return db;
    }();
    const char* kNew =
        "SELECT lower(m.name), p.name, p.type FROM sqlite_master m, pragma_table_info(m.name) p "
        "WHERE m.type IN ('table', 'view') AND p.type <> '' AND m.name NOT IN (SELECT name FROM "
        "temp.base)";
    static const bool based =
        sqlite3_exec(mirror, "CREATE TEMP TABLE base AS SELECT name FROM sqlite_master", nullptr,
                     nullptr, nullptr) == SQLITE_OK;
    std::string rows;
    if (based &&
        sqlite3_exec(mirror, "SAVEPOINT declare", nullptr, nullptr, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_exec(mirror, sqlite_sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK &&
            sqlite3_prepare_v2(mirror, kNew, -1, &s, nullptr) == SQLITE_OK) {
            const auto text = [&s](int i) {
                return SqlQuoted(reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
            };
            while (sqlite3_step(s) == SQLITE_ROW)
                rows += (rows.empty() ? "" : ", ") +
                        ("(" + text(0) + ", " + text(1) + ", " + text(2) + ")");
        }
        sqlite3_finalize(s);
        sqlite3_exec(mirror, "ROLLBACK TO declare; RELEASE declare", nullptr, nullptr, nullptr);
    }
    return rows.empty() ? "" : "INSERT INTO mz_column VALUES " + rows + " ON CONFLICT DO NOTHING";
}

void ServerExec(const std::string& path, const std::string& server_sql,
                const std::string& sqlite_sql) {
    std::unique_ptr<pg::Connection> c = Connect(path, "");
    try {
        if (c) c->Script(RewriteSchemaSql(server_sql, PostgresDialect()));
        if (const std::string declared = DeclaredColumnsSql(sqlite_sql); c && !declared.empty())
            c->Script(declared);
    } catch (const Error& e) {
        ADD_FAILURE() << "set-up SQL failed: " << e.Description() << "\n" << server_sql;
    }
}

constexpr const char* kResyncIdentities = R"sql(
DO $$DECLARE c record; BEGIN
FOR c IN SELECT table_name, column_name FROM information_schema.columns
         WHERE is_identity = 'YES' AND table_schema = current_schema() LOOP
    EXECUTE format('SELECT setval(%L, m) FROM (SELECT max(%I) AS m FROM %I) x WHERE m > '
                   '(SELECT CASE WHEN is_called THEN last_value ELSE last_value - 1 END FROM %s)',
                   pg_get_serial_sequence(c.table_name, c.column_name), c.column_name,
                   c.table_name, pg_get_serial_sequence(c.table_name, c.column_name));
END LOOP; END$$)sql";

}  // namespace

std::string TempReportDb::TryExec(const std::string& sql) const {
    if (OnPostgres()) {
        std::unique_ptr<pg::Connection> c = Connect(path_, "");
        try {
            if (c) c->Script(RewriteSchemaSql(sql, PostgresDialect()));
        } catch (const Error& e) {
            return e.Description();
        }
        return "";
    }
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    // The triggers of the report tables call the library's functions.
    RegisterDialectFunctions(db);
    char* message = nullptr;
    std::string error;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
        error = message ? message : "?";
    sqlite3_free(message);
    sqlite3_close(db);
    return error;
}

void TempReportDb::Exec(const std::string& sql) const {
    if (OnPostgres()) {
        ServerExec(path_, sql, sql);
        // Rows inserted with their identifiers given count for the next identifier, as the
        // embedded file's AUTOINCREMENT counts them.
        if (Lower(sql).find("insert") != std::string::npos)
            ServerExec(path_, kResyncIdentities, "");
        return;
    }
    if (const std::string error = TryExec(sql); !error.empty())
        ADD_FAILURE() << "set-up SQL failed: " << error << "\n" << sql;
}

std::string TempReportDb::Scalar(const std::string& sql) const {
    if (OnPostgres()) {
        std::unique_ptr<pg::Connection> c = Connect(path_, "");
        if (!c) return "";
        pg::Result r = c->Run(RewriteSchemaSql(sql, PostgresDialect()));
        if (!r.Ok()) {
            ADD_FAILURE() << r.Message() << "\n" << sql;
            return "";
        }
        if (r.Rows() == 0) return "";
        return r.IsNull(0, 0) ? "NULL" : pg::BaselineText(r, 0, 0);
    }
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    RegisterDialectFunctions(db);
    sqlite3_stmt* stmt = nullptr;
    std::string out;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << "\n" << sql;
    } else if (sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt, 0);
        out = text ? reinterpret_cast<const char*>(text) : "NULL";
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

namespace {
const SqlDialect& Dialect() {
    return OnPostgres() ? PostgresDialect() : SqliteDialect();
}
}  // namespace

void TempReportDb::AddProcedure(const std::string& name, const std::string& parameters,
                                const std::string& body) const {
    Exec("INSERT INTO mz_procedure (name, parameters, body) VALUES (" + SqlQuoted(name) + ", " +
         SqlQuoted(parameters) + ", " + SqlQuoted(RewriteSchemaSql(body, Dialect())) + ")");
}

void TempReportDb::AddVersionedTable(const std::string& declaration) const {
    std::string error;
    const VersionedTable t = ParseVersionedTable(declaration, error);
    if (!error.empty()) {
        ADD_FAILURE() << error;
        return;
    }
    const ProcedureText insert = InsertProcedure(t, Dialect());
    AddProcedure(insert.name, insert.parameters, insert.body);
    if (OnPostgres()) {
        ServerExec(path_, CreateTableSql(t) + ";" + VersionedObjectsSql(t, PostgresDialect()),
                   CreateTableSql(t) + ";" + VersionedObjectsSql(t));
    } else {
        Exec(RewriteSchemaSql(CreateTableSql(t) + ";" + VersionedObjectsSql(t), SqliteDialect()));
    }
}

}  // namespace mz::test
