// The expenditure list through the record core against the raw engine: a 10,000-expenditure
// report loaded with clsExpenditure_Data::GetDataList and walked with MoveNext reading every
// property the plain list carries, and the same translated SQL stepped with the SQLite C API
// reading every column. Report the first as a ratio of the second; the target is at most 1.3.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "core/list_query.h"
#include "expenditures/expenditure_data.h"

namespace {

constexpr int kRows = 10000;
constexpr int32_t kReport = 1;

const std::string& BenchDatabase() {
    static const std::string path = mz::bench::NewReportDatabase(
        "expenditures",
        "BEGIN;"
        "INSERT INTO rpt_report_group DEFAULT VALUES;"
        "INSERT INTO rpt_report (report_group_id, version_order, is_audit) VALUES (1, 1, 0);"
        "INSERT INTO rpt_name_address (is_org, org_name) VALUES (1, 'Print Shop');"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
        "INSERT INTO rpt_expenditures (report_id, sequence, entity_id, Expenditure_type_code, "
        "is_aggregated, account_abbr, form_of_payment_code, Occur_date, Amount, sum_to_date, "
        "Description, Purpose, office_name, Jurisdiction_name, item_number, Payment_number, "
        "Comments, Communication_date) "
        "SELECT 1, i, 1, CASE i % 3 WHEN 0 THEN 'oper' WHEN 1 THEN 'ccpc' ELSE 'cpe' END, "
        "i % 2, 'CHK', 'CHK', '2005-01-15', i * 1.25, i * 2.5, 'description ' || i, "
        "'purpose ' || i, 'office ' || i, 'county', i % 40, 'P' || i, 'comment ' || i, "
        "'2005-02-01' FROM n;"
        "COMMIT;");
    return path;
}

void BM_ExpenditureList_10k(benchmark::State& state) {
    mz::clsExpenditure_Data expenditures;
    if (!expenditures.ConnectionVariables(BenchDatabase(), "", "", "", false,
                                          std::to_string(kReport))) {
        state.SkipWithError("cannot connect");
        return;
    }
    for (auto _ : state) {
        if (!expenditures.GetDataList(kReport) || expenditures.Count() != kRows) {
            state.SkipWithError("the list did not load");
            return;
        }
        const auto properties = mz::bench::ReadableProperties(expenditures);
        size_t sum = 0;
        for (expenditures.MoveFirst(); !expenditures.EOF(); expenditures.MoveNext())
            sum += mz::bench::ReadRow(expenditures, properties);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ExpenditureList_10k)->Unit(benchmark::kMillisecond);

void BM_RawSqlite_ExpenditureList_10k(benchmark::State& state) {
    mz::bench::RawListBaseline(state, BenchDatabase(),
                               mz::listq::PlainList("rpt_expenditures", kReport, false), kRows);
}
BENCHMARK(BM_RawSqlite_ExpenditureList_10k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
