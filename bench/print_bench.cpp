// What printing a report version costs against exporting it: a report of 10,000 receipts on 100
// pages of 100, each naming one of 1,000 contributors with an address. BM_Print_10k draws the
// whole version to a PDF (cover, summary, every schedule's pages with their names, dates and
// totals); the baseline BM_Export_10k exports the same version as CSV, every section a file.
// Report the first as a ratio of the second, and the PDF's size; the target is at most 5.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench_support.h"
#include "history/report_export.h"
#include "print/report_print.h"

namespace {

constexpr int kItems = 10000;
constexpr int32_t kReport = 1;

const std::string& BenchDatabase() {
    static const std::string path = mz::bench::NewReportDatabase(
        "print",
        "BEGIN;"
        "INSERT INTO rpt_report_group DEFAULT VALUES;"
        "INSERT INTO rpt_report (report_group_id, version_order, is_audit) VALUES (1, 1, 0);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100) "
        "INSERT INTO rpt_page_amount (report_id, report_section_code, report_section_type_code, "
        "actual_page_number, current_page_number, max_page_number, current_page_amount, "
        "max_page_amount) SELECT 1, 'rec', 'ind', i, i, 100, 0, 0 FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
        "INSERT INTO rpt_name_address (is_org, last_name, first_name, address1, city, state, "
        "zip, occupation, employer) SELECT 0, 'Contributor' || i, 'Given', i || ' Elm Street', "
        "'Springfield', 'IL', '62701', 'Teacher', 'Springfield Schools' FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
        "INSERT INTO rpt_Receipts (report_id, sequence, entity_id, receipt_type_code, "
        "is_aggregated, Occur_date, Amount, sum_to_date, Description, Purpose, page_amount_id) "
        "SELECT 1, i, 1 + i % 1000, 'ind', 0, '2020-04-15', i * 1.25, i * 2.5, "
        "'description ' || i, 'purpose ' || i, (i - 1) / 100 + 1 FROM n;"
        "UPDATE rpt_page_amount SET current_page_amount = (SELECT sum(r.Amount) "
        "FROM rpt_Receipts r WHERE r.page_amount_id = rpt_page_amount.group_id);"
        "COMMIT;");
    return path;
}

void BM_Print_10k(benchmark::State& state) {
    mz::DbConnect db;
    if (!db.ConnectionVariables(BenchDatabase(), "", "", "", false)) {
        state.SkipWithError("cannot connect");
        return;
    }
    const std::string pdf = mz::bench::TempPath("print") + ".pdf";
    mz::bench::RemoveAtExit(pdf);
    for (auto _ : state) {
        mz::PrintSummary printed;
        if (!mz::PrintReport(db, kReport, pdf, {}, &printed).empty() || printed.items != kItems ||
            printed.mismatched_pages != 0) {
            state.SkipWithError("the print failed");
            return;
        }
        state.counters["sheets"] = printed.sheets;
    }
    state.counters["pdf_bytes"] = static_cast<double>(std::filesystem::file_size(pdf));
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_Export_10k(benchmark::State& state) {
    mz::DbConnect db;
    if (!db.ConnectionVariables(BenchDatabase(), "", "", "", false)) {
        state.SkipWithError("cannot connect");
        return;
    }
    const std::string dir = mz::bench::TempPath("export");
    for (auto _ : state) {
        if (!mz::ExportReport(db, kReport, dir, mz::ExportFormat::kCsv).empty()) {
            state.SkipWithError("the export failed");
            return;
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    state.SetItemsProcessed(state.iterations() * kItems);
}

BENCHMARK(BM_Export_10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Print_10k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
