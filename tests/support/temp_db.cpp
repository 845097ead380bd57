#include "support/temp_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "core/report_versions.h"
#include "db/schema_loader.h"

namespace mz::test {
namespace {

// One directory per test process, removed when the process ends.
struct TempRootDir {
    std::filesystem::path path;
    TempRootDir()
        : path(std::filesystem::temp_directory_path() / ("mz_test_" + std::to_string(::getpid()))) {
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
