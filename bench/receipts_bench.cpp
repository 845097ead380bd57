// The receipt list through the record core against the raw engine: a 10,000-receipt report
// loaded with clsReceipt_Data::GetDataList and walked with MoveNext reading every property the
// plain list carries (the name properties read the detail view's columns, which a list has not),
// and the same translated SQL stepped with the SQLite C API reading every column. Report the
// first as a ratio of the second; the target is at most 1.5. The same pair on a PostgreSQL server
// (the one PGHOST and PGPORT name, as ./dev bench starts it): the record core through the server
// backend against the same translated SQL run with libpq, every value read; at most 1.3.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
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

// One report of 10,000 receipts: SQL both engines run as it stands.
constexpr const char* kSetup =
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
    "COMMIT;";

// The report database, made once per run, removed at exit.
const std::string& BenchDatabase() {
    static const std::string path = mz::bench::NewReportDatabase("receipts", kSetup);
    return path;
}

// The same on the server: a database of its own, dropped at exit; "" when no server is set.
const std::string& ServerDatabase() {
    static const struct Server {
        std::string uri;
        Server() {
            if (!std::getenv("PGPORT")) return;
            const std::string name = "mz_bench_receipts_" + std::to_string(::getpid());
            if (!mz::CreateReportDatabase("postgresql:///" + name).empty()) return;
            PGconn* c = PQconnectdb(("dbname=" + name).c_str());
            PGresult* r = PQexec(c, kSetup);
            if (PQresultStatus(r) == PGRES_COMMAND_OK) uri = "postgresql:///" + name;
            PQclear(r);
            PQfinish(c);
        }
        ~Server() {
            if (uri.empty()) return;
            PGconn* c = PQconnectdb("dbname=postgres");
            PQclear(PQexec(
                c, ("DROP DATABASE " + uri.substr(uri.rfind('/') + 1) + " WITH (FORCE)").c_str()));
            PQfinish(c);
        }
    } server;
    return server.uri;
}

void ReceiptList(benchmark::State& state, const std::string& database) {
    mz::clsReceipt_Data receipts;
    if (database.empty()) {
        state.SkipWithError("no PostgreSQL server (PGHOST, PGPORT)");
        return;
    }
    if (!receipts.ConnectionVariables(database, "", "", "", false, std::to_string(kReport))) {
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

void BM_ReceiptList_10k(benchmark::State& state) {
    ReceiptList(state, BenchDatabase());
}
BENCHMARK(BM_ReceiptList_10k)->Unit(benchmark::kMillisecond);

void BM_RawSqlite_ReceiptList_10k(benchmark::State& state) {
    mz::bench::RawListBaseline(state, BenchDatabase(),
                               mz::listq::PlainList("rpt_Receipts", kReport, false), kRows);
}
BENCHMARK(BM_RawSqlite_ReceiptList_10k)->Unit(benchmark::kMillisecond);

void BM_ReceiptList_10k_Postgres(benchmark::State& state) {
    ReceiptList(state, ServerDatabase());
}
BENCHMARK(BM_ReceiptList_10k_Postgres)->Unit(benchmark::kMillisecond);

// The translated list through libpq: numbers parsed, other values' bytes counted.
void BM_Libpq_ReceiptList_10k(benchmark::State& state) {
    if (ServerDatabase().empty()) {
        state.SkipWithError("no PostgreSQL server (PGHOST, PGPORT)");
        return;
    }
    const mz::Translation t = mz::TranslateTsql(
        mz::listq::PlainList("rpt_Receipts", kReport, false), mz::TsqlDialect::PostgreSQL);
    PGconn* c =
        PQconnectdb(("dbname=" + ServerDatabase().substr(ServerDatabase().rfind('/') + 1)).c_str());
    for (auto _ : state) {
        PGresult* r = PQexec(c, t.sql.c_str());
        if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) != kRows) {
            state.SkipWithError(PQerrorMessage(c));
            PQclear(r);
            break;
        }
        int64_t sum = 0;
        const int columns = PQnfields(r);
        for (int row = 0; row < kRows; ++row) {
            for (int i = 0; i < columns; ++i) {
                if (PQgetisnull(r, row, i)) continue;
                const char* v = PQgetvalue(r, row, i);
                switch (PQftype(r, i)) {
                    case 20:  // the integer types
                    case 21:
                    case 23:
                        sum += std::strtoll(v, nullptr, 10);
                        break;
                    case 700:  // floats and numerics
                    case 701:
                    case 1700:
                        sum += static_cast<int64_t>(std::strtod(v, nullptr));
                        break;
                    default:
                        sum += PQgetlength(r, row, i);
                }
            }
        }
        PQclear(r);
        benchmark::DoNotOptimize(sum);
    }
    PQfinish(c);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_Libpq_ReceiptList_10k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
