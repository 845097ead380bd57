// The page list through the record core against the raw engine: a report of 1,000 receipt pages
// over 20,000 receipts listed with clsPage_Amount::GetDataList typed by the receipts on each page
// (one page in twenty items aggregated, so every page is listed as 'AGG' and by its type), walked
// with MoveNext reading every property the list carries; and the same translated SQL stepped with
// the SQLite C API reading every column. Report the first as a ratio of the second; the target is
// at most 1.3.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "report/page_amount.h"

namespace {

constexpr int kPages = 1000;
constexpr int kRows = 2 * kPages;
constexpr int32_t kReport = 1;

// The statement GetDataList(1, "rec", "ind") sends.
const std::string kStatement =
    "select distinct p.unique_id, p.group_id, isnull(p.actual_page_number, 0) as "
    "actual_page_number, isnull(p.current_page_number, 0) as current_page_number, "
    "isnull(p.current_page_amount, 0) as current_page_amount, isnull(p.max_page_number, 0) as "
    "max_page_number, isnull(p.max_page_amount, 0) as max_page_amount, report_section_type_code "
    "= case isnull(r.is_aggregated, 0) when '1' then 'AGG' when '0' then r.receipt_type_code end "
    "from vw_mz_rpt_page_amount_ref_current p left outer join rpt_receipts r on p.group_id = "
    "r.page_amount_id  where p.ref_report_id = 1 and p.delete_date is null and "
    "p.report_section_code = 'rec' and ref_is_audit = 0 and p.report_section_type_code != 'otln' "
    "order by case isnull(r.is_aggregated, 0) when '1' then 'AGG' when '0' then "
    "r.receipt_type_code end, isnull(p.actual_page_number, 0)";

// One report: pages 1 to 1,000 (group_id 1 to 1,000), twenty receipts on each, every twentieth
// aggregated; made once per run, removed at exit.
const std::string& BenchDatabase() {
    static const std::string path = mz::bench::NewReportDatabase(
        "page_amounts",
        "BEGIN;"
        "INSERT INTO rpt_report_group DEFAULT VALUES;"
        "INSERT INTO rpt_report (report_group_id, version_order, is_audit) VALUES (1, 1, 0);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
        "INSERT INTO rpt_page_amount (report_id, report_section_code, report_section_type_code, "
        "actual_page_number, current_page_number, max_page_number, current_page_amount, "
        "max_page_amount) SELECT 1, 'rec', 'ind', i, i, 1000, i * 10.5, 10500 FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
        "INSERT INTO rpt_Receipts (report_id, sequence, receipt_type_code, is_aggregated, Amount, "
        "page_amount_id) SELECT 1, i, CASE (i - 1) / 20 % 4 WHEN 3 THEN 'com' ELSE 'ind' END, "
        "i % 20 = 0, i * 1.5, (i - 1) / 20 + 1 FROM n;"
        "COMMIT;");
    return path;
}

void BM_PageAmountList_1k(benchmark::State& state) {
    mz::clsPage_Amount pages;
    if (!pages.ConnectionVariables(BenchDatabase(), "", "", "", false, std::to_string(kReport))) {
        state.SkipWithError("cannot connect");
        return;
    }
    for (auto _ : state) {
        if (!pages.GetDataList(kReport, "rec", "ind") || pages.Count() != kRows) {
            state.SkipWithError("the list did not load");
            return;
        }
        size_t sum = 0;
        for (pages.MoveFirst(); !pages.EOF(); pages.MoveNext()) {
            sum += static_cast<size_t>(pages.UniqueID() + pages.GroupID());
            sum += pages.ActualPageNumber().size() + pages.CurrentPageNumber().size() +
                   pages.CurrentPageAmount().size() + pages.MaxPageNumber().size() +
                   pages.MaxPageAmount().size() + pages.ReportSectionTypeCode().size();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_PageAmountList_1k)->Unit(benchmark::kMillisecond);

void BM_RawSqlite_PageAmountList_1k(benchmark::State& state) {
    mz::bench::RawListBaseline(state, BenchDatabase(), kStatement, kRows);
}
BENCHMARK(BM_RawSqlite_PageAmountList_1k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
