// A lookup list of 3,000 codes through clsLookup_List against the raw engine: GetData of the
// county list on a date and a walk reading Code and Description, and the same translated
// statement stepped with the SQLite C API reading every column. Report the first as a ratio of
// the second; the target is at most 1.3.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "bench_support.h"
#include "db/tsql_translator.h"
#include "lists/lookup_list.h"

namespace {

constexpr int kRows = 3000;
const mz::Date kDate(2019, 4, 15);
const std::string kStatement =
    "select * from lks_county where ((effective_date <= '4/15/2019' and expire_date > "
    "'4/15/2019') or (effective_date <= '4/15/2019' and expire_date is null))  ";

// A report database whose county list holds 3,000 codes valid on the date (and a few that are
// not), made once per run and removed at exit.
const std::string& BenchDatabase() {
    static const std::string path = mz::bench::NewReportDatabase(
        "lookups",
        "BEGIN; DELETE FROM lks_county;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
        "WHERE i < 3100) "
        "INSERT INTO lks_county (code, description, abbrev, effective_date, "
        "expire_date) SELECT printf('%05d', i), 'County number ' || i, 'C' || i, "
        "CASE WHEN i > 3050 THEN '2020-01-01' ELSE '1990-01-01' END, "
        "CASE WHEN i BETWEEN 3001 AND 3050 THEN '2000-01-01' END FROM n;"
        "COMMIT;");
    return path;
}

void BM_LookupList_Load3k(benchmark::State& state) {
    mz::clsLookup_List list;
    if (!list.ConnectionVariables(BenchDatabase(), "", "", "", false)) {
        state.SkipWithError("cannot connect");
        return;
    }
    for (auto _ : state) {
        if (!list.GetData(mz::mzL_County, kDate) || list.RecordCount() != kRows) {
            state.SkipWithError("the list did not load");
            return;
        }
        size_t sum = 0;
        for (list.MoveFirst(); !list.EOF(); list.MoveNext())
            sum += list.Code().size() + list.Description().size();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_LookupList_Load3k)->Unit(benchmark::kMicrosecond);

void BM_RawSqlite_LookupList_3k(benchmark::State& state) {
    mz::bench::RawListBaseline(state, BenchDatabase(), kStatement, kRows);
}
BENCHMARK(BM_RawSqlite_LookupList_3k)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
