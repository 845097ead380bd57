#include "db/schema_loader.h"

#include <sqlite3.h>

#include <filesystem>

#include "db/backend.h"
#include "db/lookup_tables.h"
#include "db/postgres/postgres_backend.h"
#include "db/procedure_text.h"
#include "db/schema_files.h"
#include "db/sqlite_functions.h"
#include "db/versioned_table.h"
#include "platform/text.h"

namespace mz {
namespace {

// Every statement of every stored procedure must prepare now, against the finished schema, not
// at its first call in a filer's session.
std::string CheckProcedures(sqlite3* db) {
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(db, "SELECT name, body FROM mz_procedure ORDER BY name", -1, &list, nullptr);
    std::string error;
    while (error.empty() && sqlite3_step(list) == SQLITE_ROW) {
        std::string name = reinterpret_cast<const char*>(sqlite3_column_text(list, 0));
        std::string body = reinterpret_cast<const char*>(sqlite3_column_text(list, 1));
        const char* text = body.c_str();
        while (error.empty() && *text) {
            sqlite3_stmt* s = nullptr;
            const char* tail = nullptr;
            if (sqlite3_prepare_v2(db, text, -1, &s, &tail) != SQLITE_OK)
                error = "procedure " + name + ": " + sqlite3_errmsg(db);
            sqlite3_finalize(s);
            text = tail;
        }
    }
    sqlite3_finalize(list);
    return error;
}

class SqliteTarget final : public SchemaTarget {
  public:
    explicit SqliteTarget(sqlite3* db) : db_(db) {}
    const SqlDialect& Dialect() const override { return SqliteDialect(); }
    std::string Exec(const std::string& sql) override {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return "";
        std::string text = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        return text;
    }
    std::string CheckProcedures() override { return mz::CheckProcedures(db_); }
    std::string LoadSeed() override { return LoadLookupSeed(db_); }

  private:
    sqlite3* db_;
};

void RemoveFiles(const std::string& path) {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(path + suffix, ec);
}

}  // namespace

std::string BuildReportSchema(SchemaTarget& target) {
    const SqlDialect& dialect = target.Dialect();
    auto exec = [&](const std::string& sql) { return target.Exec(RewriteSchemaSql(sql, dialect)); };
    if (!dialect.prelude.empty()) {
        if (std::string e = target.Exec(std::string(dialect.prelude)); !e.empty())
            return std::string(dialect.name) + " functions: " + e;
    }
    std::vector<ProcedureText> procedures;
    std::vector<VersionedTable> tables;
    for (const SchemaFile& file : SchemaFiles()) {
        std::string error;
        SchemaScript script = ParseSchemaScript(file.text, error);
        if (!error.empty()) return std::string(file.name) + ": " + error;
        // A file's versioned tables exist before its plain statements, which may refer to them.
        for (const std::string& declaration : script.tables) {
            VersionedTable t = ParseVersionedTable(declaration, error);
            if (!error.empty()) return std::string(file.name) + ": " + error;
            if (std::string e = exec(CreateTableSql(t)); !e.empty())
                return std::string(file.name) + ": versioned table " + t.name + ": " + e;
            procedures.push_back(InsertProcedure(t, dialect));
            tables.push_back(std::move(t));
        }
        for (const std::string& plain : script.plain)
            if (std::string e = exec(plain); !e.empty()) return std::string(file.name) + ": " + e;
        for (ProcedureText& p : script.procedures) procedures.push_back(std::move(p));
    }
    procedures.push_back(SequenceProcedure(tables));
    std::string rows;
    for (const ProcedureText& p : procedures) {
        std::string error;
        ParseParameters(p.parameters, error);
        if (!error.empty()) return "procedure " + p.name + ": " + error;
        rows += std::string(rows.empty() ? "" : ",\n") + "(" + SqlQuoted(p.name) + ", " +
                SqlQuoted(p.parameters) + ", " + SqlQuoted(RewriteSchemaSql(p.body, dialect)) + ")";
    }
    if (std::string e =
            target.Exec("INSERT INTO mz_procedure (name, parameters, body) VALUES\n" + rows + ";");
        !e.empty())
        return "mz_procedure: " + e;
    // Views, indexes and triggers refer to lookup and name tables of any file: they come last.
    // Each view must also read: a join naming a missing column fails here, not in a list.
    for (const VersionedTable& t : tables) {
        if (std::string e = exec(VersionedObjectsSql(t, dialect)); !e.empty())
            return "versioned table " + t.name + ": " + e;
        for (const char* suffix : {"", "_detail", "_ref_basic", "_ref_current"}) {
            if (std::string e = target.Exec("SELECT * FROM vw_mz_" + t.name + suffix + " LIMIT 0");
                !e.empty())
                return "view vw_mz_" + t.name + suffix + ": " + e;
        }
    }
    if (std::string e = exec(RecordTriggersSql(dialect)); !e.empty()) return "the record: " + e;
    if (std::string e = target.CheckProcedures(); !e.empty()) return e;
    return target.LoadSeed();
}

namespace {

std::string BuildSqliteSchema(sqlite3* db, const char* begin) {
    RegisterDialectFunctions(db);
    SqliteTarget target(db);
    std::string error = target.Exec(begin);
    if (error.empty()) error = BuildReportSchema(target);
    if (error.empty()) error = target.Exec("COMMIT");
    return error;
}

}  // namespace

std::vector<DeclaredColumn> DeclaredColumns(std::string& error) {
    std::vector<DeclaredColumn> columns;
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK) {
        error = "out of memory";
    } else if (error = BuildSqliteSchema(db, "BEGIN"); error.empty()) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT lower(m.name), p.name, p.type FROM sqlite_master m, "
                           "pragma_table_info(m.name) p WHERE m.type IN ('table', 'view') "
                           "AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' AND p.type <> ''",
                           -1, &s, nullptr);
        auto text = [s](int i) { return reinterpret_cast<const char*>(sqlite3_column_text(s, i)); };
        while (sqlite3_step(s) == SQLITE_ROW) columns.push_back({text(0), text(1), text(2)});
        sqlite3_finalize(s);
    }
    sqlite3_close_v2(db);
    return columns;
}

std::string CreateReportDatabase(const std::string& path) {
    if (IsServerConnection(path)) return CreatePostgresReportDatabase(path);
    std::error_code ec;
    if (path.empty()) return "No path given for the new report database.";
    if (std::filesystem::exists(path, ec))
        return "\"" + path +
               "\" already exists; a new report database is never written over a file.";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::string error =
            "Cannot create \"" + path + "\": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close_v2(db);
        RemoveFiles(path);
        return error;
    }
    std::string error = BuildSqliteSchema(db, "PRAGMA journal_mode = WAL; BEGIN");
    sqlite3_close_v2(db);
    if (!error.empty()) {
        RemoveFiles(path);
        return "Cannot create the report database: " + error;
    }
    return "";
}

}  // namespace mz
