// The report check of one version of 100,000 receipts on 1,000 pages, in a database of ten such
// reports (1,000,000 receipts). BM_Check_100k runs every built-in rule over report 1 (it finds
// nothing: the pages, the summary and the accounts agree); the baseline steps the version's rows
// with the SQLite C API, reading every column. Report the first as a ratio of the second; the
// target is at most 3.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "check/report_check.h"

namespace {

constexpr int kReports = 10;
constexpr int kRows = 100000;

const std::string& BenchDatabase() {
    static const std::string path = mz::bench::NewReportDatabase(
        "check",
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100) "
        "INSERT INTO rpt_name_address (unique_id, is_org, org_name) SELECT i, 1, 'Donor ' || i "
        "FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10) "
        "INSERT INTO rpt_report_group (report_group_id) SELECT i FROM n;"
        "INSERT INTO rpt_report (report_id, report_group_id, version_order, is_audit) "
        "SELECT report_group_id, report_group_id, 1, 0 FROM rpt_report_group;"
        "INSERT INTO rpt_cover (report_id, entity_id, report_name, begin_date, end_date) "
        "SELECT report_id, 1, 'Report ' || report_id, '2020-01-01', '2020-12-31' FROM rpt_report;"
        // 1,000 receipt pages a report, 100 receipts a page.
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
        "INSERT INTO rpt_page_amount (report_id, report_section_code, report_section_type_code, "
        "actual_page_number, current_page_number, max_page_number) "
        "SELECT r.report_id, 'rec', 'ind', n.i, n.i, 1000 FROM rpt_report r, n;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 99) "
        "INSERT INTO rpt_Receipts (report_id, sequence, page_amount_id, receipt_type_code, "
        "entity_id, Occur_date, Amount, Description) "
        "SELECT p.report_id, (p.actual_page_number - 1) * 100 + n.i + 1, p.group_id, "
        "CASE n.i % 2 WHEN 0 THEN 'ind' ELSE 'com' END, 1 + n.i, "
        "date('2020-01-01', '+' || (p.actual_page_number % 300) || ' days'), "
        "p.actual_page_number + n.i / 100.0, 'receipt ' || n.i "
        "FROM rpt_page_amount p, n;"
        "UPDATE rpt_page_amount SET current_page_amount = (SELECT sum(r.Amount) FROM rpt_Receipts "
        "r "
        "WHERE r.page_amount_id = rpt_page_amount.group_id);"
        "UPDATE rpt_page_amount SET max_page_amount = (SELECT sum(q.current_page_amount) "
        "FROM rpt_page_amount q WHERE q.report_id = rpt_page_amount.report_id);"
        "INSERT INTO rpt_summary (report_id, sequence, summary_type_code, begin_balance, "
        "total_rec, total_exp, end_balance) "
        "SELECT report_id, 1, 'F', 0, max(max_page_amount), 0, max(max_page_amount) "
        "FROM rpt_page_amount GROUP BY report_id;"
        "INSERT INTO rpt_accounts (report_id, sequence, entity_id, account_abbr, begin_balance, "
        "end_balance) SELECT report_id, 1, 1, 'CHK', 0, end_balance FROM rpt_summary;"
        "COMMIT;");
    return path;
}

void BM_Check_100k(benchmark::State& state) {
    mz::DbConnect db;
    if (!db.ConnectionVariables(BenchDatabase(), "", "", "", false)) {
        state.SkipWithError("cannot connect");
        return;
    }
    for (auto _ : state) {
        std::vector<mz::CheckFinding> findings;
        const std::string error = mz::CheckReport(db, 1, mz::DefaultCheckRules(), findings);
        if (!error.empty() || !findings.empty()) {
            state.SkipWithError(error.empty() ? findings.front().message.c_str() : error.c_str());
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_RawSqlite_Scan_100k(benchmark::State& state) {
    mz::bench::RawListBaseline(state, BenchDatabase(),
                               "select * from rpt_Receipts where report_group_id = 1 and "
                               "is_audit_row = 0 and delete_date is null and version_from <= 1 "
                               "and (version_to is null or version_to > 1)",
                               kRows);
}

BENCHMARK(BM_RawSqlite_Scan_100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Check_100k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
