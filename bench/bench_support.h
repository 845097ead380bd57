// What the benchmark programs share: report databases made for one run in the temp directory and
// removed, with their WAL files, when the program ends.
#pragma once

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/record_object.h"
#include "db/schema_loader.h"
#include "db/sqlite_functions.h"
#include "db/tsql_translator.h"

namespace mz::bench {

inline std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("mz_bench_" + name + "_" + std::to_string(::getpid()) + ".db"))
        .string();
}

inline void RemoveAtExit(const std::string& path) {
    static struct Cleanup {
        std::vector<std::string> paths;
        ~Cleanup() {
            std::error_code ec;
            for (const std::string& p : paths)
                for (const char* s : {"", "-wal", "-shm"}) std::filesystem::remove(p + s, ec);
        }
    } cleanup;
    cleanup.paths.push_back(path);
}

// A new report database for this run, with setup_sql (rows of the benchmark) run on it; throws
// when it cannot be made.
inline std::string NewReportDatabase(const std::string& name, const char* setup_sql = nullptr) {
    std::string path = TempPath(name);
    if (std::string error = CreateReportDatabase(path); !error.empty())
        throw std::runtime_error(error);
    RemoveAtExit(path);
    if (!setup_sql) return path;
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    RegisterDialectFunctions(db);  // the report tables' triggers call them
    char* message = nullptr;
    sqlite3_exec(db, setup_sql, nullptr, nullptr, &message);
    const std::string error = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    if (!error.empty()) throw std::runtime_error(error);
    return path;
}

// The baseline of a list benchmark: the translation of tsql prepared and stepped with the SQLite
// C API on the database at path, every column of every row read; each run must give rows rows.
inline void RawListBaseline(benchmark::State& state, const std::string& path,
                            const std::string& tsql, int rows) {
    const Translation t = TranslateTsql(tsql);
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, t.sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(db));
            break;
        }
        int64_t sum = 0;
        int seen = 0;
        const int columns = sqlite3_column_count(stmt);
        for (; sqlite3_step(stmt) == SQLITE_ROW; ++seen) {
            for (int i = 0; i < columns; ++i) {
                switch (sqlite3_column_type(stmt, i)) {
                    case SQLITE_INTEGER:
                        sum += sqlite3_column_int64(stmt, i);
                        break;
                    case SQLITE_FLOAT:
                        sum += static_cast<int64_t>(sqlite3_column_double(stmt, i));
                        break;
                    case SQLITE_NULL:
                        break;
                    default:
                        benchmark::DoNotOptimize(sqlite3_column_text(stmt, i));
                        sum += sqlite3_column_bytes(stmt, i);
                }
            }
        }
        sqlite3_finalize(stmt);
        if (seen != rows) state.SkipWithError("the raw statement found other rows");
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * rows);
}

// The properties of a record class whose columns the loaded rows carry: what a walk of a list
// can read.
inline std::vector<const PropertyDef*> ReadableProperties(RecordObject& o) {
    std::vector<const PropertyDef*> readable;
    for (const PropertyDef& p : o.Info().properties) {
        if (p.conversion != Conversion::Computed && o.mRecSet()->FieldIndex(p.column) >= 0)
            readable.push_back(&p);
    }
    return readable;
}

// The current row's properties, each read by its type, folded into a checksum.
inline size_t ReadRow(const RecordObject& o, const std::vector<const PropertyDef*>& properties) {
    size_t sum = 0;
    for (const PropertyDef* p : properties) {
        switch (p->type) {
            case PropType::Text:
                sum += o.GetText(*p).size();
                break;
            case PropType::Long:
                sum += static_cast<size_t>(o.GetLong(*p));
                break;
            case PropType::Integer:
                sum += static_cast<size_t>(o.GetInteger(*p));
                break;
            case PropType::Currency:
                sum += static_cast<size_t>(o.GetCurrency(*p).Raw());
                break;
            case PropType::Double:
                sum += static_cast<size_t>(o.GetDouble(*p));
                break;
            case PropType::Boolean:
                sum += o.GetBoolean(*p) ? 1 : 0;
                break;
        }
    }
    return sum;
}

}  // namespace mz::bench
