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

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

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
};

TEST_F(ReceiptSqlTest, ReceiptCalls) {
    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"GetData, and the names read from the row views",
             [&] {
                 EXPECT_EQ(receipt.FullName(), "");  // nothing loaded
                 EXPECT_TRUE(receipt.GetData(2));
                 EXPECT_FALSE(receipt.IsNew());
                 EXPECT_EQ(receipt.FullName(), "Rivera, Ana");
                 EXPECT_EQ(receipt.TransDate(), "03/01/2005");
                 EXPECT_EQ(receipt.GetTextLength(mzML_Amount_Receipt), 19);
                 EXPECT_EQ(receipt.GetTextLength(mzML_PaymentNumber_Receipt), 20);
                 EXPECT_EQ(receipt.GetTextLength(17), 0);
                 EXPECT_TRUE(receipt.GetData(1));
                 EXPECT_EQ(receipt.FullName(), "");  // is_org Null reads as an organisation
             }},
            {"GetData new", [&] { EXPECT_TRUE(receipt.GetData()); }},
            {"GetDataList none: no text, the flag stays",
             [&] {
                 EXPECT_FALSE(receipt.GetDataList());
                 EXPECT_TRUE(receipt.IsNew());
             }},
            {"GetDataList", [&] { EXPECT_TRUE(receipt.GetDataList(r2)); }},
            {"GetDataList audit", [&] { EXPECT_TRUE(receipt.GetDataList(r2, true)); }},
            {"sequence", [&] { EXPECT_EQ(receipt.GetNewSequence(r2), 1); }},
            {"sequence of a type", [&] { EXPECT_EQ(receipt.GetNewSequence(r2, "ind"), 1); }},
            {"sequence of a type, audit",
             [&] { EXPECT_EQ(receipt.GetNewSequence(r2, "ind", true), 1); }},
            {"receipt list, database order; it carries no name columns",
             [&] {
                 EXPECT_TRUE(receipt.GetDataReceiptList(1, r2));
                 EXPECT_EQ(receipt.Count(), 4);
                 EXPECT_THROW(receipt.FullName(), Error);
             }},
            {"receipt list by page", [&] { EXPECT_TRUE(receipt.GetDataReceiptList(2, r2)); }},
            {"receipt list by type, audit",
             [&] { EXPECT_TRUE(receipt.GetDataReceiptList(3, r2, true)); }},
            {"outstanding loans", [&] { EXPECT_FALSE(receipt.GetDataOutstandingLoanList(r2)); }},
            {"outstanding loans, audit",
             [&] { EXPECT_FALSE(receipt.GetDataOutstandingLoanList(r2, true)); }},
            {"outstanding loans, no report",
             [&] { EXPECT_FALSE(receipt.GetDataOutstandingLoanList()); }},
            {"outstanding loans report errors under the receipt list's name",
             [&] {
                 rec->RaiseOnQuery("f.original_amount", Error(3704, "ADODB.Recordset", "closed"),
                                   1);
                 try {
                     receipt.GetDataOutstandingLoanList(r2);
                     ADD_FAILURE() << "nothing was raised";
                 } catch (const Error& e) {
                     EXPECT_EQ(e.Source(), "ADODB.Recordset (clsReceipt_Data.GetDataReceiptList)");
                 }
             }},
            {"save unchanged: no call",
             [&] {
                 EXPECT_TRUE(receipt.GetData(2));
                 EXPECT_TRUE(receipt.SaveData());
             }},
            {"forced save of an unchanged row: the transaction, no column",
             [&] {
                 EXPECT_TRUE(receipt.GetData(2));
                 EXPECT_TRUE(receipt.SaveData(true));
             }},
            {"save in place: one update per changed column; a Null cleared is unchanged",
             [&] {
                 EXPECT_TRUE(receipt.GetData(2));
                 receipt.Amount(Money(300));
                 receipt.Description("");
                 receipt.LoanNumber("L-1");
                 EXPECT_TRUE(receipt.SaveData());
             }},
            {"a failing update rolls back",
             [&] {
                 rec->FailProcedure("sp_update_table", "sp_update_table: no such column", 1);
                 EXPECT_TRUE(receipt.GetData(2));
                 receipt.Comments("x");
                 EXPECT_FALSE(receipt.SaveData());
             }},
            {"forced save of an earlier version's unchanged row: its copy",
             [&] {
                 EXPECT_TRUE(receipt.GetData(1));
                 EXPECT_TRUE(receipt.SaveData(true));
             }},
            {"save an earlier version's row: one C copy with every column",
             [&] {
                 EXPECT_TRUE(receipt.GetData(1));
                 receipt.Amount(Money(150));
                 receipt.Purpose("dinner");
                 EXPECT_TRUE(receipt.SaveData());
                 EXPECT_EQ(receipt.UniqueID(), 1);  // still the inherited row
             }},
            {"save new: A, read back from the detail view",
             [&] {
                 EXPECT_TRUE(receipt.GetData());
                 receipt.ReportID(r2);
                 receipt.ReceiptCode("ind");
                 receipt.Amount(Money(150));
                 receipt.Purpose("dinner");
                 EXPECT_TRUE(receipt.SaveData());
                 EXPECT_FALSE(receipt.IsNew());
                 EXPECT_EQ(receipt.UniqueID(), 7);
             }},
            {"nothing loaded: nothing to delete",
             [&] {
                 EXPECT_FALSE(receipt.GetData(99));
                 EXPECT_TRUE(receipt.DeleteData(99));
             }},
            {"GNS: items by report, notes of the current report, the name, the row",
             [&] {
                 EXPECT_TRUE(receipt.GetData(2));
                 DbConnect* conn = nullptr;
                 EXPECT_TRUE(receipt.DeleteData(2, conn));
                 EXPECT_EQ(conn, &receipt.Connection());
             }},
            {"LOAN: its loan items, no entity, no name step",
             [&] {
                 EXPECT_TRUE(receipt.GetData(3));
                 EXPECT_TRUE(receipt.DeleteData(3));
             }},
            {"an earlier version's receipt: only the D marker",
             [&] {
                 EXPECT_TRUE(receipt.GetData(1));
                 EXPECT_TRUE(receipt.DeleteData(1));
             }},
            {"FRLN on a lent connection: the lender's transaction is never ended",
             [&] {
                 clsReceipt_Data lender;
                 ASSERT_TRUE(lender.ConnectionVariables("rcpt", "recording", "", "", false, "2"));
                 DbConnect* conn = &lender.Connection();
                 conn->BeginTrans();
                 EXPECT_TRUE(receipt.GetData(4));
                 rec->FailProcedure("sp_delete_table", "sp_delete_table: locked", 2);
                 EXPECT_FALSE(receipt.DeleteData(4, conn));
                 EXPECT_EQ(conn, &lender.Connection());
                 EXPECT_TRUE(conn->InTransaction());
                 conn->EndTrans(false);
             }},
        });
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
    clsGnSItems_Data& items = *receipt.mobGnSItem;

    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"GetData: the receipt's contributor from the row view",
             [&] {
                 items.IsNew(true);  // no row: the Let does nothing
                 EXPECT_FALSE(items.IsNew());
                 EXPECT_TRUE(items.GetData(2));
                 EXPECT_EQ(items.OrgName() + items.LastName(), "Rivera");
                 EXPECT_FALSE(items.IsOrg());
                 EXPECT_EQ(items.GetTextLength(mzML_Description_GnSItems), 100);
                 EXPECT_EQ(items.GetTextLength(mzML_Amount_GnSItems), 19);
             }},
            {"GetData new: is_org Null raises",
             [&] {
                 EXPECT_TRUE(items.GetData());
                 EXPECT_THROW(items.IsOrg(), Error);
             }},
            {"GetDataList none", [&] { EXPECT_FALSE(items.GetDataList()); }},
            {"GetDataList", [&] { EXPECT_TRUE(items.GetDataList(2)); }},
            {"GetDataList audit", [&] { EXPECT_TRUE(items.GetDataList(2, true)); }},
            {"sequence: Null counts as 0", [&] { EXPECT_EQ(items.GetNewSequence(r1, 9), 1); }},
            {"sequence, audit", [&] { EXPECT_EQ(items.GetNewSequence(r1, 9, true), 1); }},
            {"an earlier version's item: a C copy",
             [&] {
                 EXPECT_TRUE(items.GetData(1));
                 items.TotalCount("4 pieces");
                 EXPECT_TRUE(items.SaveData());
             }},
            {"an item of the current report: an update in place, a cleared text as Null",
             [&] {
                 EXPECT_TRUE(items.GetData(2));
                 items.Description("");
                 EXPECT_TRUE(items.SaveData());
             }},
            {"a loaded row marked new is inserted with A",
             [&] {
                 EXPECT_TRUE(items.GetData(2));
                 items.TotalCount("4");
                 items.IsNew(true);
                 EXPECT_TRUE(items.IsNew());
                 EXPECT_TRUE(items.SaveData());
                 EXPECT_FALSE(items.IsNew());
             }},
            {"delete in place, then an earlier version's item: a D marker",
             [&] {
                 EXPECT_TRUE(items.GetData(2));
                 EXPECT_TRUE(items.DeleteData(2));
                 EXPECT_TRUE(items.GetData(1));
                 EXPECT_TRUE(items.DeleteData(1));
             }},
            {"no current row: the read fails inside the owned transaction and reaches the caller",
             [&] {
                 EXPECT_FALSE(items.GetData(99));
                 RecordObject& core = items;  // the entry the object model uses
                 DbConnect* ob = nullptr;
                 try {
                     core.DeleteData(99, ob);
                     ADD_FAILURE() << "nothing was raised";
                 } catch (const Error& e) {
                     EXPECT_EQ(e.Number(), err::kNoCurrentRecord);
                     EXPECT_NE(e.Source().find(" (clsGnSItems_Data.DeleteData)"),
                               std::string::npos);
                 }
                 EXPECT_FALSE(items.Connection().InTransaction());
             }},
        });
}

TEST_F(ReceiptSqlTest, LoanItemCalls) {
    clsLoanItems_Data& items = *receipt.mobLoanEndorers;

    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"loan list none", [&] { EXPECT_FALSE(items.GetDataLoanList()); }},
            {"loan list, the names computed",
             [&] {
                 EXPECT_TRUE(items.GetDataLoanList(3));
                 EXPECT_EQ(items.FullName(), "Kim, Joe");
             }},
            {"loan list, audit", [&] { EXPECT_TRUE(items.GetDataLoanList(3, true)); }},
            {"IsAmount: Null reads 0, 2 stores Null; a Null is_org raises",
             [&] {
                 EXPECT_TRUE(items.GetData(3));
                 EXPECT_EQ(items.FullName(), "");
                 try {
                     items.IsOrg();
                     ADD_FAILURE() << "IsOrg of Null raised nothing";
                 } catch (const Error& e) {
                     EXPECT_EQ(e.Number(), err::kTypeMismatch);
                 }
                 EXPECT_EQ(items.IsAmount(), 0);
                 items.IsAmount(1);
                 EXPECT_EQ(items.IsAmount(), 1);
                 items.IsAmount(2);
                 EXPECT_TRUE(items.mRecSet()->Value("Is_Amount").IsNull());
                 // The object model reads through the generic Get: the same 0, typed Integer.
                 EXPECT_EQ(items.Get(*clsLoanItems_Data::ClassInfo().FindProperty("IsAmount")),
                           Variant(int16_t{0}));
                 EXPECT_EQ(items.GetTextLength(mzML_Share_LoanItems), 15);
             }},
            {"a C copy sends the loan parameters",
             [&] {
                 EXPECT_TRUE(items.GetData(1));
                 items.IsAmount(1);
                 items.Share(0.25);
                 EXPECT_TRUE(items.SaveData());
             }},
            {"a failing name deletion stops the item's",
             [&] {
                 rec->FailProcedure("sp_delete_rpt_name_address", "locked", 1);
                 EXPECT_TRUE(items.GetData(2));
                 EXPECT_FALSE(items.DeleteData(2));
             }},
            {"an entity named by its row alone goes with it",
             [&] {
                 EXPECT_TRUE(items.GetData(2));
                 EXPECT_TRUE(items.DeleteData(2));
             }},
        });
}

}  // namespace
}  // namespace mz
