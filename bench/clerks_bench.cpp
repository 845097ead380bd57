// Four clerks saving into one report at once, each with record objects (and so connections) of
// its own: 25 gift receipts with two items and a note each, every receipt saved again once its
// items are in, then 25 notes of their own. The same work on the embedded file, where writers
// take turns, and on a PostgreSQL server (the one PGHOST and PGPORT name, as ./dev bench starts
// it), where they run at once and only changes of the same row conflict. Report the second as a
// ratio of the first; the target is at most 3. A clerk's failure stops the benchmark with it.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "core/report_versions.h"
#include "platform/error.h"
#include "receipts/receipt_data.h"

namespace {

constexpr int kClerks = 4;
constexpr int kReceipts = 25;

// One clerk's work; false at the first save that fails.
bool ClerkWork(const std::string& path, int32_t report, int clerk) {
    mz::clsReceipt_Data r;
    if (!r.ConnectionVariables(path, "", "", "", false, std::to_string(report))) return false;
    const std::string who = "clerk " + std::to_string(clerk) + " ";
    for (int i = 1; i <= kReceipts; ++i) {
        r.GetData();
        r.ReportID(report);
        r.ReceiptCode("GNS");
        r.Description(who + std::to_string(i));
        r.Amount(mz::Currency::FromDouble(10.0 * i));
        if (!r.SaveData()) return false;
        const int32_t receipt = r.UniqueID();
        for (int k = 1; k <= 2; ++k) {
            r.mobGnSItem->GetData();
            r.mobGnSItem->ReportID(report);
            r.mobGnSItem->ReceiptID(receipt);
            r.mobGnSItem->Sequence(k);
            r.mobGnSItem->Amount(mz::Currency::FromDouble(5.0 * k));
            if (!r.mobGnSItem->SaveData()) return false;
        }
        for (const std::string& link : {std::to_string(r.GroupID()), std::string("7")}) {
            r.mobNotes->GetData();
            r.mobNotes->ReportID(report);
            r.mobNotes->ReportSection("REC");
            r.mobNotes->LinkID(link);
            r.mobNotes->Description(who + std::to_string(i));
            if (!r.mobNotes->SaveData()) return false;
        }
        if (!r.GetData(receipt)) return false;
        r.Comments("complete");
        if (!r.SaveData()) return false;
    }
    return true;
}

void FourClerks(benchmark::State& state, const std::string& path) {
    if (path.empty()) {
        state.SkipWithError("no PostgreSQL server (PGHOST, PGPORT)");
        return;
    }
    mz::DbConnect db;
    if (!db.ConnectionVariables(path, "", "", "", false)) {
        state.SkipWithError(db.ConnectError().c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::string error;
        const int32_t report = mz::CreateReportVersion(db, "new", -1, error);
        state.ResumeTiming();
        std::atomic<int> failed{0};
        std::vector<std::thread> clerks;
        for (int c = 1; c <= kClerks; ++c)
            clerks.emplace_back([&, c] {
                try {
                    if (!ClerkWork(path, report, c)) ++failed;
                } catch (const mz::Error&) {
                    ++failed;
                }
            });
        for (std::thread& t : clerks) t.join();
        if (failed > 0 || !error.empty()) {
            state.SkipWithError("a clerk's save failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kClerks * kReceipts);
}

void BM_FourClerks_File(benchmark::State& state) {
    static const std::string path = mz::bench::NewReportDatabase("clerks");
    FourClerks(state, path);
}
BENCHMARK(BM_FourClerks_File)->Unit(benchmark::kMillisecond)->UseRealTime();

// A report database of its own on the server, dropped at exit; "" when no server is set.
const std::string& ServerDatabase() {
    static const struct Server {
        std::string uri;
        Server() {
            if (!std::getenv("PGPORT")) return;
            const std::string name = "mz_bench_clerks_" + std::to_string(::getpid());
            if (mz::CreateReportDatabase("postgresql:///" + name).empty())
                uri = "postgresql:///" + name;
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

void BM_FourClerks_Postgres(benchmark::State& state) {
    FourClerks(state, ServerDatabase());
}
BENCHMARK(BM_FourClerks_Postgres)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
