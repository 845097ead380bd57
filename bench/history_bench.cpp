// What a diff of two report versions costs against reading both versions raw: a report of
// 100,000 receipts and its amendment, which changes 1% of them with "C" copies, so each version
// shows 100,000 rows. BM_Diff_100k runs DiffReportVersions over every section; the baseline steps
// the rows both versions show with the SQLite C API, reading every column. Report the first as a
// ratio of the second; the target is at most 3.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "history/version_diff.h"

namespace {

constexpr int kRows = 100000;
constexpr int kChanged = kRows / 100;

// The filed report (1) and its amendment (2), made once per run, removed at exit.
const std::string& BenchDatabase() {
    static const std::string path = mz::bench::NewReportDatabase(
        "history",
        "BEGIN;"
        "INSERT INTO rpt_report_group DEFAULT VALUES;"
        "INSERT INTO rpt_report (report_group_id, version_order, is_audit) VALUES (1, 1, 0);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
        "INSERT INTO rpt_Receipts (report_id, sequence, receipt_type_code, is_aggregated, "
        "account_abbr, form_of_payment_code, Occur_date, Amount, sum_to_date, Description, "
        "Purpose, Attendance, interest_rate, loan_number, Payment_number, Comments, "
        "submission_date, total_amount_raised) "
        "SELECT 1, i, CASE i % 3 WHEN 0 THEN 'ind' WHEN 1 THEN 'com' ELSE 'GNS' END, i % 2, "
        "'CHK', 'CHK', '2005-01-15', i * 1.25, i * 2.5, 'description ' || i, 'purpose ' || i, "
        "i % 40, 4.5, 'L-' || i, 'P' || i, 'comment ' || i, '2005-02-01', 100 FROM n;"
        "UPDATE rpt_report SET filed_date = datetime('now', 'localtime') WHERE report_id = 1;"
        "INSERT INTO rpt_report (report_group_id, version_order, is_audit, based_on_report_id) "
        "VALUES (1, 2, 0, 1);"
        // The amendment's copies, as sp_insert_rpt_Receipts writes a "C": the row with its
        // changes, in the chain (group_id) of the row it replaces.
        "INSERT INTO rpt_Receipts (report_id, group_id, ref_id, sequence, receipt_type_code, "
        "is_aggregated, account_abbr, form_of_payment_code, Occur_date, Amount, sum_to_date, "
        "Description, Purpose, Attendance, interest_rate, loan_number, Payment_number, Comments, "
        "submission_date, total_amount_raised) "
        "SELECT 2, group_id, unique_id, sequence, receipt_type_code, is_aggregated, "
        "account_abbr, form_of_payment_code, Occur_date, Amount + 1, sum_to_date, Description, "
        "Purpose, Attendance, interest_rate, loan_number, Payment_number, Comments, "
        "submission_date, total_amount_raised FROM rpt_Receipts WHERE unique_id % 100 = 0;"
        "COMMIT;");
    return path;
}

void BM_Diff_100k(benchmark::State& state) {
    mz::DbConnect db;
    if (!db.ConnectionVariables(BenchDatabase(), "", "", "", false)) {
        state.SkipWithError("cannot connect");
        return;
    }
    for (auto _ : state) {
        mz::VersionDiff diff;
        if (!mz::DiffReportVersions(db, 1, 2, diff).empty()) {
            state.SkipWithError("the diff failed");
            return;
        }
        size_t changed = 0;
        for (const mz::SectionDiff& s : diff.sections)
            changed += s.changed.size() + s.added.size() + s.deleted.size();
        if (changed != kChanged) {
            state.SkipWithError("the diff found other rows");
            return;
        }
        benchmark::DoNotOptimize(diff);
    }
    state.SetItemsProcessed(state.iterations() * 2 * kRows);
}

// The rows each version shows, by their version range, every column read.
std::string VersionRows(int version) {
    const std::string v = std::to_string(version);
    return "select * from rpt_Receipts where report_group_id = 1 and is_audit_row = 0 "
           "and delete_date is null and version_from <= " +
           v + " and (version_to is null or version_to > " + v + ")";
}

void BM_RawSqlite_Scan_100k(benchmark::State& state) {
    mz::bench::RawListBaseline(state, BenchDatabase(),
                               VersionRows(1) + " union all " + VersionRows(2), 2 * kRows);
}

BENCHMARK(BM_RawSqlite_Scan_100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Diff_100k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
