// What the save protocol costs over the engine: one changed column of a note saved through
// clsNotes::SaveData (a transaction around one sp_update_table call, whose triggers also write
// the change journal), against the same update as a prepared statement stepped with the raw
// SQLite C API in its own transaction, on a copy of the notes table without the report
// database's triggers. Report the first as a ratio of the second; the target is 1.3x or below.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench_support.h"
#include "core/report_versions.h"
#include "db/db_connect.h"
#include "lists/notes.h"

namespace {

struct NoteDatabase {
    std::string path;
    int32_t report_id = 0;
    int32_t note_id = 0;

    NoteDatabase() {
        path = mz::bench::NewReportDatabase("save");
        mz::DbConnect db;
        db.ConnectionVariables(path, "", "", "", false);
        std::string error;
        report_id = mz::CreateReportVersion(db, "new", -1, error);
        if (report_id < 0) throw std::runtime_error(error);
        mz::clsNotes note;
        note.ConnectionVariables(path, "", "", "", false, std::to_string(report_id));
        note.GetData(-1);
        note.ReportID(report_id);
        note.LinkID("1");
        note.Description("first");
        if (!note.SaveData()) throw std::runtime_error("cannot store the note");
        note_id = note.UniqueID();
        // The baseline's table: the notes table as declared, without its triggers.
        sqlite3* raw = nullptr;
        sqlite3_open(path.c_str(), &raw);
        sqlite3_stmt* ddl = nullptr;
        sqlite3_prepare_v2(raw, "SELECT sql FROM sqlite_master WHERE name = 'rpt_notes'", -1, &ddl,
                           nullptr);
        std::string create = sqlite3_step(ddl) == SQLITE_ROW
                                 ? reinterpret_cast<const char*>(sqlite3_column_text(ddl, 0))
                                 : "";
        sqlite3_finalize(ddl);
        create.replace(create.find("rpt_notes"), 9, "plain_notes");
        const std::string copy = create + "; INSERT INTO plain_notes SELECT * FROM rpt_notes";
        const bool copied = sqlite3_exec(raw, copy.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(raw);
        if (!copied) throw std::runtime_error("cannot copy the notes table");
    }
};

const NoteDatabase& Database() {
    static const NoteDatabase db;
    return db;
}

void BM_SaveData_OneColumn(benchmark::State& state) {
    const NoteDatabase& db = Database();
    mz::clsNotes note;
    note.ConnectionVariables(db.path, "", "", "", false, std::to_string(db.report_id));
    if (!note.GetData(db.note_id)) {
        state.SkipWithError("cannot load the note");
        return;
    }
    int64_t n = 0;
    for (auto _ : state) {
        note.Description("text " + std::to_string(++n));
        if (!note.SaveData()) {
            state.SkipWithError("SaveData failed");
            return;
        }
    }
}
BENCHMARK(BM_SaveData_OneColumn)->Unit(benchmark::kMicrosecond);

void BM_RawSqlite_UpdateOneColumn(benchmark::State& state) {
    const NoteDatabase& db = Database();
    sqlite3* raw = nullptr;
    sqlite3_open(db.path.c_str(), &raw);
    sqlite3_busy_timeout(raw, 5000);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(raw,
                       "UPDATE plain_notes SET Description = ?1, update_date = datetime('now', "
                       "'localtime') WHERE unique_id = ?2",
                       -1, &update, nullptr);
    int64_t n = 0;
    for (auto _ : state) {
        const std::string text = "text " + std::to_string(++n);
        sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_bind_text(update, 1, text.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(update, 2, db.note_id);
        if (sqlite3_step(update) != SQLITE_DONE) {
            state.SkipWithError(sqlite3_errmsg(raw));
            break;
        }
        sqlite3_reset(update);
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(update);
    sqlite3_close(raw);
}
BENCHMARK(BM_RawSqlite_UpdateOneColumn)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
