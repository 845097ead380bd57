#include "db/schema_loader.h"

#include <sqlite3.h>

#include <filesystem>

#include "db/lookup_tables.h"
#include "db/procedure_text.h"
#include "db/schema_files.h"
#include "db/sqlite_functions.h"
#include "db/versioned_table.h"

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

std::string Apply(sqlite3* db) {
    auto exec = [db](const std::string& sql) -> std::string {
        char* message = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return "";
        std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        return text;
    };
    if (std::string e = exec("PRAGMA journal_mode = WAL; BEGIN"); !e.empty()) return e;
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
            procedures.push_back(InsertProcedure(t));
            tables.push_back(std::move(t));
        }
        for (const std::string& plain : script.plain)
            if (std::string e = exec(plain); !e.empty()) return std::string(file.name) + ": " + e;
        for (ProcedureText& p : script.procedures) procedures.push_back(std::move(p));
    }
    procedures.push_back(SequenceProcedure(tables));
    for (const ProcedureText& p : procedures) {
        std::string error;
        ParseParameters(p.parameters, error);
        if (!error.empty()) return "procedure " + p.name + ": " + error;
    }
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO mz_procedure (name, parameters, body) VALUES (?1, ?2, ?3)",
                       -1, &insert, nullptr);
    std::string error;
    for (const ProcedureText& p : procedures) {
        sqlite3_reset(insert);
        sqlite3_bind_text(insert, 1, p.name.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, p.parameters.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 3, p.body.c_str(), -1, SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            error = "procedure " + p.name + ": " + sqlite3_errmsg(db);
            break;
        }
    }
    sqlite3_finalize(insert);
    if (!error.empty()) return error;
    // Views, indexes and triggers refer to lookup and name tables of any file: they come last.
    // Each view must also read: a join naming a missing column fails here, not in a list.
    for (const VersionedTable& t : tables) {
        if (error = exec(VersionedObjectsSql(t)); !error.empty())
            return "versioned table " + t.name + ": " + error;
        for (const char* suffix : {"", "_detail", "_ref_basic", "_ref_current"}) {
            if (error = exec("SELECT * FROM vw_mz_" + t.name + suffix + " LIMIT 0"); !error.empty())
                return "view vw_mz_" + t.name + suffix + ": " + error;
        }
    }
    if (error = CheckProcedures(db); !error.empty()) return error;
    if (error = LoadLookupSeed(db); !error.empty()) return error;
    return exec("COMMIT");
}

void RemoveFiles(const std::string& path) {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(path + suffix, ec);
}

}  // namespace

std::string CreateReportDatabase(const std::string& path) {
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
    RegisterDialectFunctions(db);
    std::string error = Apply(db);
    sqlite3_close_v2(db);
    if (!error.empty()) {
        RemoveFiles(path);
        return "Cannot create the report database: " + error;
    }
    return "";
}

}  // namespace mz
