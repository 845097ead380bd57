// The cost of the database layer over the raw engine: the same 10,000 rows of a 20-column table,
// stepped with the SQLite C API (the baseline), and loaded through DbConnect::OpenRecordset and
// walked with MoveNext reading every field. Report the second as a ratio of the first.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench_support.h"
#include "db/db_connect.h"
#include "db/tsql_translator.h"

namespace {

constexpr int kRows = 10000;
constexpr const char* kQuery =
    "select unique_id, report_id, group_id, amount, receipt_date, last_name, first_name, "
    "address1, city, state, zip, memo, code, is_memo, sequence_number, page_id, rate, "
    "description, update_date, user_id from bench_rows order by unique_id";

// A report database with the benchmark table, made once per run and removed at exit.
const std::string& BenchDatabase() {
    static const std::string path = mz::bench::NewReportDatabase(
        "select",
        "CREATE TABLE bench_rows (unique_id integer PRIMARY KEY, report_id int, "
        "group_id int, amount money, receipt_date datetime, last_name varchar(50), "
        "first_name varchar(50), address1 varchar(100), city varchar(50), "
        "state varchar(2), zip varchar(10), memo varchar(200), code varchar(10), "
        "is_memo bit, sequence_number int, page_id int, rate numeric(9,2), "
        "description varchar(100), update_date datetime, user_id varchar(20));"
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
        "INSERT INTO bench_rows SELECT i, 1, i, i * 1.25, '2005-01-15', 'Last' || i, "
        "'First' || i, i || ' Main Street', 'Springfield', 'OR', '97000', "
        "'memo text ' || i, 'REC', i % 2, i, i / 20, 1.5, 'description ' || i, "
        "'2005-02-01 10:30:00', 'clerk' FROM n;"
        "COMMIT;");
    return path;
}

void BM_RawSqlite_Select10k(benchmark::State& state) {
    mz::bench::RawListBaseline(state, BenchDatabase(), kQuery, kRows);
}
BENCHMARK(BM_RawSqlite_Select10k)->Unit(benchmark::kMillisecond);

void BM_OpenRecordset_Select10k(benchmark::State& state) {
    mz::DbConnect conn;
    if (!conn.ConnectionVariables(BenchDatabase(), "", "", "", false)) {
        state.SkipWithError("cannot connect");
        return;
    }
    for (auto _ : state) {
        mz::ResultSet rs;
        std::string error = conn.OpenRecordset(kQuery, rs);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        size_t sum = 0;
        for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext())
            for (int i = 0; i < rs.FieldCount(); ++i)
                sum += static_cast<size_t>(rs.Value(i).Type());
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_OpenRecordset_Select10k)->Unit(benchmark::kMillisecond);

void BM_Translate_Cached(benchmark::State& state) {
    mz::TranslationCache cache;
    const std::string sql =
        "select f.unique_id, name = isnull(na.last_name, '') + ', ' + isnull(na.first_name, ''), "
        "convert(varchar(10), f.receipt_date, 101) as 'Date' from vw_mz_rpt_Receipts_ref_basic f "
        "left outer join rpt_name_address na on f.entity_id = na.unique_id where f.report_id = 5";
    cache.Get(sql);
    for (auto _ : state) benchmark::DoNotOptimize(cache.Get(sql));
}
BENCHMARK(BM_Translate_Cached);

}  // namespace

BENCHMARK_MAIN();
