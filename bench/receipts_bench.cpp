// The receipt list through the record core against the raw engine: a 10,000-receipt report
// loaded with clsReceipt_Data::GetDataList and walked with MoveNext reading every property the
// plain list carries (the name properties read the detail view's columns, which a list has not),
// and the same translated SQL stepped with the SQLite C API reading every column. Report the
// first as a ratio of the second; the target is at most 1.5.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench_support.h"
#include "core/list_query.h"
#include "db/tsql_translator.h"
#include "receipts/receipt_data.h"

namespace {

constexpr int kRows = 10000;
constexpr int32_t kReport = 1;

// A report database holding one report of 10,000 receipts, made once per run, removed at exit.
const std::string& BenchDatabase() {
    static const std::string path = mz::bench::NewReportDatabase(
        "receipts",
        "BEGIN;"
        "INSERT INTO rpt_report_group DEFAULT VALUES;"
        "INSERT INTO rpt_report (report_group_id, version_order, is_audit) VALUES (1, 1, 0);"
        "INSERT INTO rpt_name_address (is_org, last_name, first_name) "
        "VALUES (0, 'Rivera', 'Ana');"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
        "INSERT INTO rpt_Receipts (report_id, sequence, entity_id, receipt_type_code, "
        "is_aggregated, account_abbr, form_of_payment_code, Occur_date, Amount, sum_to_date, "
        "Description, Purpose, Attendance, interest_rate, loan_number, Payment_number, "
        "Comments, submission_date, total_amount_raised) "
        "SELECT 1, i, 1, CASE i % 3 WHEN 0 THEN 'ind' WHEN 1 THEN 'com' ELSE 'GNS' END, "
        "i % 2, 'CHK', 'CHK', '2005-01-15', i * 1.25, i * 2.5, 'description ' || i, "
        "'purpose ' || i, i % 40, 4.5, 'L-' || i, 'P' || i, 'comment ' || i, "
        "'2005-02-01', 100 FROM n;"
        "COMMIT;");
    return path;
}

void BM_ReceiptList_10k(benchmark::State& state) {
    mz::clsReceipt_Data receipts;
    if (!receipts.ConnectionVariables(BenchDatabase(), "", "", "", false,
                                      std::to_string(kReport))) {
        state.SkipWithError("cannot connect");
        return;
    }
    for (auto _ : state) {
        if (!receipts.GetDataList(kReport) || receipts.Count() != kRows) {
            state.SkipWithError("the list did not load");
            return;
        }
        const auto properties = mz::bench::ReadableProperties(receipts);
        size_t sum = 0;
        for (receipts.MoveFirst(); !receipts.EOF(); receipts.MoveNext())
            sum += mz::bench::ReadRow(receipts, properties);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ReceiptList_10k)->Unit(benchmark::kMillisecond);

void BM_RawSqlite_ReceiptList_10k(benchmark::State& state) {
    mz::bench::RawListBaseline(state, BenchDatabase(),
                               mz::listq::PlainList("rpt_Receipts", kReport, false), kRows);
}
BENCHMARK(BM_RawSqlite_ReceiptList_10k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
