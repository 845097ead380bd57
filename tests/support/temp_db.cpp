#include "support/temp_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/report_versions.h"
#include "db/schema_loader.h"

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

}  // namespace

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
                const bool clock = column == "orig_date" || column == "update_date" ||
                                   column == "delete_date" || column == "created_date";
                text += !v ? "~" : clock ? "set" : reinterpret_cast<const char*>(v);
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
    const std::string copy = TempPath("copy.db");
    std::filesystem::copy_file(path, copy);
    return copy;
}

TempReportDb::TempReportDb() : path_(TempPath("report.db")) {
    std::string error = CreateReportDatabase(path_);
    if (!error.empty()) ADD_FAILURE() << error;
}

TempReportDb::~TempReportDb() {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path_ + suffix, ec);
}

void TempReportDb::Exec(const std::string& sql) const {
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
        ADD_FAILURE() << "set-up SQL failed: " << (message ? message : "?") << "\n" << sql;
    sqlite3_free(message);
    sqlite3_close(db);
}

std::string TempReportDb::Scalar(const std::string& sql) const {
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
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

}  // namespace mz::test
