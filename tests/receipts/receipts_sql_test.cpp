// The receipt family against the recording backend over a real report database: every loader and
// every save and delete path, children included, one table of steps per class; the exact SQL and
// procedure calls of each step are in calls.log. The rows are real, so every text also runs on
// SQLite.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "receipts/receipt_data.h"
#include "support/data_file.h"
#include "support/recording_backend.h"
#include "support/report_db.h"

namespace mz {
namespace {

// Exposes the item step of the cascade, whose failure texts the caller never sees (no error is
// pending when a child answers False).
class ReceiptProbe : public clsReceipt_Data {
  public:
    using clsReceipt_Data::DeleteItems;
};

// Report 1 filed, report 2 its amendment, the current report of the recorded objects:
//   receipt 1 (report 1): 'ind', 100, no contributor (an earlier version's row)
//   receipt 2: ' gns' as stored, contributor 1 (named by it alone), items 2 (report 2) and
//     1 (report 1), notes 2 (report 2) and 1 (report 1)
//   receipt 3: 'LOAN', loan items 2 (entity 2, named by it alone) and 3 (no entity)
//   receipt 4: 'frln ' as stored, loan items 4 and 1 (report 1)
// Report 1's rows are written before its amendment files it, among them its item and note on
// receipt 2, the first row the amendment adds.
class ReceiptSqlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        r1 = d.NewReport();
        const int32_t giver = d.Person("Rivera", "Ana"), kim = d.Person("Kim", "Joe");
        auto filed = d.Object<clsReceipt_Data>(r1);
        using test::AddRow;
        AddRow(*filed, {{"ReportID", r1}, {"ReceiptCode", "ind"}, {"Amount", 100}});
        AddRow(*filed->mobGnSItem, {{"ReportID", r1},
                                    {"ReceiptID", 2},
                                    {"Sequence", 2},
                                    {"Description", "tables"},
                                    {"Amount", 50}});
        AddRow(*filed->mobLoanEndorers,
               {{"ReportID", r1}, {"ReceiptID", 4}, {"Amount", 100}, {"Sequence", 2}});
        // The group receipt 2 gets: the one after the note's own.
        const int32_t link = std::stoi(d.db.Scalar("select max(group_id) from mz_row_group")) + 2;
        AddRow(*filed->mobNotes, {{"ReportID", r1}, {"LinkID", link}, {"Description", "b"}});
        r2 = d.Amend(r1);
        auto amended = d.Object<clsReceipt_Data>(r2);
        AddRow(*amended, {{"ReportID", r2},
                          {"ReceiptCode", " gns"},
                          {"Amount", 250},
                          {"EntityID", giver},
                          {"TransDate", "3/1/2005"}});
        ASSERT_EQ(amended->GroupID(), link);
        AddRow(*amended->mobGnSItem, {{"ReportID", r2},
                                      {"ReceiptID", 2},
                                      {"Sequence", 1},
                                      {"Description", "chairs"},
                                      {"Amount", 30}});
        AddRow(*amended->mobNotes, {{"ReportID", r2}, {"LinkID", link}, {"Description", "a"}});
        AddRow(*amended, {{"ReportID", r2}, {"ReceiptCode", "LOAN"}, {"Amount", 5000}});
        clsLoanItems_Data& loans = *amended->mobLoanEndorers;
        AddRow(loans, {{"ReportID", r2},
                       {"ReceiptID", 3},
                       {"EntityID", kim},
                       {"Amount", 2500},
                       {"Sequence", 1}});
        AddRow(loans, {{"ReportID", r2}, {"ReceiptID", 3}, {"Amount", 2500}, {"Sequence", 2}});
        AddRow(*amended, {{"ReportID", r2}, {"ReceiptCode", "frln "}, {"Amount", 900}});
        AddRow(loans, {{"ReportID", r2}, {"ReceiptID", 4}, {"Amount", 900}, {"Sequence", 1}});
        rec = test::Recorder::Create("rcpt", d.db.Path());
        ASSERT_TRUE(receipt.ConnectionVariables("rcpt", "recording", "", "", false, "2"));
    }

    test::ReportDb d;
    int32_t r1 = 0, r2 = 0;
    std::shared_ptr<test::Recorder> rec;
    clsReceipt_Data receipt;
    test::StepShell shell{d.db.Path()};
};

// The raised error's source and the connection handed back are checked here.
TEST_F(ReceiptSqlTest, ReceiptCalls) {
    test::WalkSteps(*rec, test::DataLines("calls.log"),
                    {
                        {"outstanding loans report errors under the receipt list's name",
                         [&] {
                             rec->RaiseOnQuery("f.original_amount",
                                               Error(3704, "ADODB.Recordset", "closed"), 1);
                             try {
                                 receipt.GetDataOutstandingLoanList(r2);
                                 ADD_FAILURE() << "nothing was raised";
                             } catch (const Error& e) {
                                 EXPECT_EQ(e.Source(),
                                           "ADODB.Recordset (clsReceipt_Data.GetDataReceiptList)");
                             }
                         }},
                        {"GNS: items by report, notes of the current report, the name, the row",
                         [&] {
                             EXPECT_TRUE(receipt.GetData(2));
                             DbConnect* conn = nullptr;
                             EXPECT_TRUE(receipt.DeleteData(2, conn));
                             EXPECT_EQ(conn, &receipt.Connection());
                         }},
                    },
                    &shell);
}

TEST_F(ReceiptSqlTest, EachFailingCascadeStepStopsItAndRollsBack) {
    struct Case {
        int32_t receipt;
        const char* fail;  // the procedure failing, at its nth call
        int nth;
        const char* last;  // the last call made, before the roll-back
    };
    const Case cases[] = {
        {2, "sp_delete_table", 1,
         "exec sp_delete_table @table='rpt_gns_items', @unique_id=Long(2)"},
        {2, "sp_insert_rpt_gns_items", 1,
         "exec sp_insert_rpt_gns_items @Function='D', @Report_id='2', @Ref_id=Long(1)"},
        {2, "sp_delete_table", 2, "exec sp_delete_table @table='rpt_notes', @unique_id=Long(2)"},
        {2, "sp_delete_rpt_name_address", 1,
         "exec sp_delete_rpt_name_address @Unique_id=Long(1), @Report_id=Long(2)"},
        {2, "sp_delete_table", 3, "exec sp_delete_table @table='rpt_Receipts', @unique_id=Long(2)"},
        {3, "sp_delete_table", 2,
         "exec sp_delete_table @table='rpt_loan_items', @unique_id=Long(3)"},
        {4, "sp_delete_table", 1,
         "exec sp_delete_table @table='rpt_loan_items', @unique_id=Long(4)"},
    };
    const std::string before = d.Snapshot(
        {"rpt_Receipts", "rpt_gns_items", "rpt_loan_items", "rpt_notes", "rpt_name_address"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.last);
        auto steps = test::Recorder::Create("steps", d.db.Path());
        steps->FailProcedure(c.fail, "injected", c.nth);
        clsReceipt_Data r;
        ASSERT_TRUE(r.ConnectionVariables("steps", "recording", "", "", false, "2"));
        ASSERT_TRUE(r.GetData(c.receipt));
        EXPECT_FALSE(r.DeleteData(c.receipt));
        ASSERT_GE(steps->Lines().size(), 2u);
        EXPECT_EQ(steps->Lines().back(), "rollback");
        EXPECT_EQ(steps->Lines()[steps->Lines().size() - 2], c.last);
    }
    EXPECT_EQ(d.Snapshot({"rpt_Receipts", "rpt_gns_items", "rpt_loan_items", "rpt_notes",
                          "rpt_name_address"}),
              before);

    receipt.mobNotes.reset();  // a released child raises on use
    ASSERT_TRUE(receipt.GetData(2));
    EXPECT_THROW(receipt.DeleteData(2), Error);

    // The text each kind of item failure stops with.
    for (auto [id, text] : {std::pair{2, "Receipt GnS Item Delete Error"},
                            std::pair{3, "Receipt Loan Proceed Delete Error"},
                            std::pair{4, "Receipt Forgiven Loan Delete Error"}}) {
        auto items = test::Recorder::Create("items", d.db.Path());
        items->FailProcedure("", "injected");
        ReceiptProbe probe;
        ASSERT_TRUE(probe.ConnectionVariables("items", "recording", "", "", false, "2"));
        ASSERT_TRUE(probe.GetData(id));
        DbConnect* conn = &probe.Connection();
        std::string failure;
        conn->BeginTrans();
        EXPECT_FALSE(probe.DeleteItems(conn, failure));
        conn->EndTrans(false);
        EXPECT_EQ(failure, text);
    }
}

TEST_F(ReceiptSqlTest, GnsItemCalls) {
    test::WalkSteps(*rec, test::DataLines("calls.log"), {}, &shell);
}

TEST_F(ReceiptSqlTest, LoanItemCalls) {
    test::WalkSteps(*rec, test::DataLines("calls.log"), {}, &shell);
}

}  // namespace
}  // namespace mz
