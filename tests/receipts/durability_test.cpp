// Receipts and notes written by four clerks at once (four threads, each with connections of its
// own), and by a writer killed with SIGKILL at many points: every row is kept, every cascade is
// whole, the file stays intact, and no conflict between the clerks reaches one of them. The same
// with two processes is in tests/app/shell_test.cpp.
//
// The suite runs a light load. The full one, 300 receipts and 300 notes per clerk, is for running
// by hand, on either engine, as often as wanted:
//   MZ_CLERK_RECEIPTS=300 build/tests/test_receipts --gtest_repeat=20
//       --gtest_filter='DurabilityTest.Four*'   (MZ_TEST_BACKEND=postgres: on the server)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/error.h"
#include "receipts/receipt_data.h"
#include "support/report_db.h"

namespace mz {
namespace {

constexpr int kItems = 2;

// One writer's work in report: gift receipts "<who>-<i>" with kItems items "<who>-<i>/<k>" and a
// note each, a receipt marked "complete" once its items are in, and every third one deleted
// again. Stops at the first failure (the test has then failed).
void ReceiptWork(const std::string& path, int32_t report, const std::string& who, int count) {
    clsReceipt_Data r;
    ASSERT_TRUE(r.ConnectionVariables(path, "", "", "", false, std::to_string(report)));
    for (int i = 1; i <= count && !::testing::Test::HasFailure(); ++i) {
        const std::string name = who + "-" + std::to_string(i);
        const int32_t receipt = test::AddRow(r, {{"ReportID", report},
                                                 {"ReceiptCode", "GNS"},
                                                 {"Description", name},
                                                 {"Amount", 10.0 * i}});
        for (int k = 1; k <= kItems; ++k) {
            test::AddRow(*r.mobGnSItem,
                         {{"ReportID", report},
                          {"ReceiptID", receipt},
                          {"Sequence", r.mobGnSItem->GetNewSequence(report, receipt)},
                          {"Description", name + "/" + std::to_string(k)}});
        }
        test::AddRow(*r.mobNotes, {{"ReportID", report},
                                   {"ReportSection", "REC"},
                                   {"LinkID", r.GroupID()},
                                   {"Description", name}});
        ASSERT_TRUE(r.GetData(receipt));
        r.Comments("complete");
        ASSERT_TRUE(r.SaveData()) << name;
        if (i % 3 == 0) {
            ASSERT_TRUE(r.DeleteData(receipt)) << name;
        }
    }
}

void NoteWork(const std::string& path, int32_t report, const std::string& who, int count) {
    clsNotes n;
    ASSERT_TRUE(n.ConnectionVariables(path, "", "", "", false, std::to_string(report)));
    for (int i = 1; i <= count && !::testing::Test::HasFailure(); ++i) {
        test::AddRow(n, {{"ReportID", report},
                         {"LinkID", "7"},
                         {"Description", who + "/note-" + std::to_string(i)}});
    }
}

// A writer's work in its own thread: a raised error is a failure of the test, not of the process.
template <void (*Work)(const std::string&, int32_t, const std::string&, int)>
void Write(const std::string& path, int32_t report, const std::string& who, int count) {
    try {
        Work(path, report, who, count);
    } catch (const Error& e) {
        ADD_FAILURE() << who << ": Error " << e.Number() << ": " << e.Description() << " ["
                      << e.Source() << "]";
    }
}

// The file is intact (a server keeps its own pages) and no cascade is partial: no item or note
// without its receipt, every complete receipt with all its items, each item on its own receipt,
// no sequence twice.
void ExpectWhole(const test::TempReportDb& db) {
    if (!test::OnPostgres()) {
        EXPECT_EQ(db.Scalar("PRAGMA integrity_check"), "ok");
    }
    EXPECT_EQ(db.Scalar("select count(*) from rpt_gns_items i where not exists "
                        "(select 1 from rpt_Receipts r where r.unique_id = i.receipt_id)"),
              "0");
    EXPECT_EQ(db.Scalar("select count(*) from rpt_notes n where n.report_section_code = 'REC' "
                        "and not exists (select 1 from rpt_Receipts r where r.group_id = "
                        "n.link_id)"),
              "0");
    EXPECT_EQ(db.Scalar("select count(*) from rpt_Receipts r where r.Comments = 'complete' and "
                        "(select count(*) from rpt_gns_items i where i.receipt_id = r.unique_id) "
                        "<> " +
                        std::to_string(kItems)),
              "0");
    EXPECT_EQ(db.Scalar("select count(*) from rpt_gns_items i join rpt_Receipts r "
                        "on r.unique_id = i.receipt_id where i.Description not like "
                        "r.Description || '/%'"),
              "0");
    EXPECT_EQ(db.Scalar("select count(*) from (select 1 from rpt_gns_items "
                        "group by receipt_id, sequence having count(*) > 1) as t"),
              "0");
}

int32_t NewReport(const test::TempReportDb& db) {
    DbConnect c;
    EXPECT_TRUE(c.ConnectionVariables(db.Path(), "", "", "", false));
    return test::NewReportVersion(c, "new");
}

// One clerk: receipts with their items and notes, then notes of their own.
void ClerkWork(const std::string& path, int32_t report, const std::string& who, int count) {
    ReceiptWork(path, report, who, count);
    NoteWork(path, report, who, count);
}

TEST(DurabilityTest, FourClerksWritingAtOnceLoseNothing) {
    const char* receipts = std::getenv("MZ_CLERK_RECEIPTS");
    const int count = receipts ? std::atoi(receipts) : 24;
    test::TempReportDb db;
    const int32_t report = NewReport(db);
    std::vector<std::thread> clerks;
    for (const char* who : {"a", "b", "c", "d"})
        clerks.emplace_back(Write<ClerkWork>, db.Path(), report, who, count);
    for (std::thread& t : clerks) t.join();
    ExpectWhole(db);
    const int kept = 4 * (count - count / 3);  // every third receipt is deleted again
    EXPECT_EQ(db.Scalar("select count(*) from rpt_Receipts where Comments = 'complete'"),
              std::to_string(kept));
    EXPECT_EQ(db.Scalar("select count(*) from rpt_gns_items"), std::to_string(kItems * kept));
    const std::string notes = std::to_string(kept + 4 * count);
    EXPECT_EQ(db.Scalar("select count(*) || '/' || count(distinct Description) from rpt_notes"),
              notes + "/" + notes);
}

TEST(DurabilityTest, AWriterKilledAnywhereLeavesNoPartialCascade) {
    test::TempReportDb db;
    const int32_t report = NewReport(db);
    std::mt19937 random(13);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Write<ReceiptWork>(db.Path(), report, "k" + std::to_string(round), 1'000'000);
            _exit(1);  // only a failure ends the work before the kill
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 150));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";
        ExpectWhole(db);
        if (HasFailure()) return;
    }
    EXPECT_NE(db.Scalar("select count(*) from rpt_Receipts"), "0");
}

}  // namespace
}  // namespace mz
