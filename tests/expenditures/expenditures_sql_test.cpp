// The expenditure family against the recording backend over a real report database: the exact
// SQL of every loader and the exact procedure calls of every save and delete path, one table of
// steps per class; the logs are in calls.log. The rows are real, so every text also runs on
// SQLite.
#include <gtest/gtest.h>

#include "expenditures/debt_data.h"
#include "expenditures/expenditure_data.h"
#include "platform/error.h"
#include "support/data_file.h"
#include "support/recording_backend.h"
#include "support/report_db.h"

namespace mz {
namespace {

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

// Report 1 filed, report 2 its amendment. Rows without entities, so the name component's own
// traffic stays out of the logs (the end-to-end tests cover it).
class ExpenditureSqlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        r1 = d.NewReport();
        auto filed = d.Object<clsExpenditure_Data>(r1);
        e1 = AddExpenditure(*filed, r1, "oper", 100);  // unique_id 1, items 1 and 2
        AddItem(*filed->mobExpenditureItem, r1, e1, 60);
        AddItem(*filed->mobExpenditureItem, r1, e1, 40);
        r2 = d.Amend(r1);
        auto amended = d.Object<clsExpenditure_Data>(r2);
        e2 = AddExpenditure(*amended, r2, "ccpc", 250);  // unique_id 2, item 3, note 1
        AddItem(*amended->mobExpenditureItem, r2, e2, 250);
        d.AddNote(*amended->mobNotes, r2, amended->GroupID());
        rec = test::Recorder::Create("exp", d.db.Path());
        ASSERT_TRUE(exp.ConnectionVariables("exp", "recording", "", "", false, "2"));
    }

    static int32_t AddExpenditure(clsExpenditure_Data& e, int32_t report, const char* type,
                                  double amount) {
        EXPECT_TRUE(e.GetData());
        e.ReportID(report);
        e.ExpenditureCode(type);
        e.Amount(Money(amount));
        e.Sequence(e.GetNewSequence(report));
        EXPECT_TRUE(e.SaveData());
        return e.UniqueID();
    }
    static void AddItem(clsExpenditureItems_Data& items, int32_t report, int32_t parent,
                        double amount) {
        EXPECT_TRUE(items.GetData());
        items.ReportID(report);
        items.ExpenditureID(parent);
        items.Amount(Money(amount));
        EXPECT_TRUE(items.SaveData());
    }

    test::ReportDb d;
    int32_t r1 = 0, r2 = 0, e1 = 0, e2 = 0;
    std::shared_ptr<test::Recorder> rec;
    clsExpenditure_Data exp;
};

TEST_F(ExpenditureSqlTest, ExpenditureCalls) {
    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"GetData", [&] { EXPECT_TRUE(exp.GetData(e1)); }},
            {"GetData new", [&] { EXPECT_TRUE(exp.GetData()); }},
            {"GetDataList none", [&] { EXPECT_FALSE(exp.GetDataList()); }},
            {"GetDataList", [&] { EXPECT_TRUE(exp.GetDataList(r1)); }},
            {"GetDataList audit", [&] { EXPECT_TRUE(exp.GetDataList(r1, true)); }},
            {"expenditure list, database order",
             [&] { EXPECT_TRUE(exp.GetDataExpenditureList(1, r1)); }},
            {"expenditure list by page", [&] { EXPECT_TRUE(exp.GetDataExpenditureList(2, r1)); }},
            {"expenditure list by type, audit",
             [&] { EXPECT_TRUE(exp.GetDataExpenditureList(3, r1, true)); }},
            {"federal list", [&] { EXPECT_FALSE(exp.GetDataFederalList(r1)); }},
            {"federal list, audit", [&] { EXPECT_TRUE(exp.GetDataFederalList(2, true)); }},
            {"sequence", [&] { EXPECT_EQ(exp.GetNewSequence(r1), 2); }},
            {"sequence of a type", [&] { EXPECT_EQ(exp.GetNewSequence(r1, "ccpc"), 1); }},
            {"sequence, audit", [&] { EXPECT_EQ(exp.GetNewSequence(r1, "", true), 2); }},
            {"save unchanged",
             [&] {
                 EXPECT_TRUE(exp.GetData(e1));
                 EXPECT_TRUE(exp.SaveData());
             }},
            {"save new: no transaction, the end date not sent, read back",
             [&] {
                 EXPECT_TRUE(exp.GetData());
                 exp.ReportID(r2);
                 exp.ExpenditureCode("oper");
                 exp.Amount(Money(75));
                 exp.Purpose("Ads");
                 exp.EndDate("4/1/2005");
                 EXPECT_TRUE(exp.SaveData());
                 EXPECT_FALSE(exp.IsNew());
                 EXPECT_EQ(exp.EndDate(), "");
             }},
            {"save in place: one update per changed column, in column order",
             [&] {
                 EXPECT_TRUE(exp.GetData(e2));
                 exp.Purpose("Gift");
                 exp.Amount(Money(300));
                 exp.EndDate("5/1/2005");
                 EXPECT_TRUE(exp.SaveData());
             }},
            {"save an earlier version's row: one C copy",
             [&] {
                 EXPECT_TRUE(exp.GetData(e1));
                 exp.Amount(Money(120));
                 exp.Purpose("Rent");
                 EXPECT_TRUE(exp.SaveData());
             }},
            {"failing update rolls back",
             [&] {
                 rec->FailProcedure("sp_update_table", "refused", 1);
                 EXPECT_TRUE(exp.GetData(e2));
                 exp.Comments("x");
                 EXPECT_FALSE(exp.SaveData());
             }},
            {"delete an earlier version's row: one D marker",
             [&] {
                 EXPECT_TRUE(exp.GetData(e1));
                 EXPECT_TRUE(exp.DeleteData(e1));
             }},
            {"a failing item delete rolls the cascade back",
             [&] {
                 rec->FailProcedure("sp_delete_table", "refused", 1);
                 EXPECT_TRUE(exp.GetData(e2));
                 EXPECT_FALSE(exp.DeleteData(e2));
             }},
            {"the cascade on a lent connection: items, notes, the row; no transaction ends",
             [&] {
                 DbConnect lender;
                 ASSERT_TRUE(lender.ConnectionVariables("exp", "recording", "", "", false));
                 lender.BeginTrans();
                 DbConnect* lent = &lender;
                 EXPECT_TRUE(exp.GetData(e2));
                 EXPECT_TRUE(exp.DeleteData(e2, lent));
                 EXPECT_EQ(lent, &lender);
                 EXPECT_TRUE(lender.InTransaction());
                 lender.EndTrans(false);
             }},
            {"nothing loaded: nothing to delete",
             [&] {
                 EXPECT_FALSE(exp.GetData(99));
                 EXPECT_TRUE(exp.DeleteData(99));
             }},
        });
}

TEST_F(ExpenditureSqlTest, ExpenditureItemCalls) {
    clsExpenditureItems_Data items;
    ASSERT_TRUE(items.ConnectionVariables("exp", "recording", "", "", false, "2"));
    test::WalkSteps(*rec, test::DataLines("calls.log"),
                    {
                        {"GetData", [&] { EXPECT_TRUE(items.GetData(1)); }},
                        {"GetData new", [&] { EXPECT_TRUE(items.GetData()); }},
                        {"the list reads the current report, not the expenditure's",
                         [&] { EXPECT_TRUE(items.GetDataList(e1, true)); }},
                        {"sequence", [&] { EXPECT_EQ(items.GetNewSequence(r1, e1), 1); }},
                        {"save new",
                         [&] {
                             EXPECT_TRUE(items.GetData());
                             items.ReportID(r2);
                             items.ExpenditureID(e1);
                             items.OfficeSoughtCode("OT");
                             items.Amount(Money(5));
                             EXPECT_TRUE(items.SaveData());
                         }},
                        {"a changed copy names the page in lower case",
                         [&] {
                             EXPECT_TRUE(items.GetData(1));
                             items.OfficeSoughtCode("OT");
                             EXPECT_TRUE(items.SaveData());
                         }},
                        {"IsNew let: a loaded row saved as a new item",
                         [&] {
                             EXPECT_TRUE(items.GetData(4));
                             items.IsNew(true);
                             items.Amount(Money(7));
                             EXPECT_TRUE(items.SaveData());
                         }},
                        {"delete of an earlier version's item: a D marker",
                         [&] {
                             EXPECT_TRUE(items.GetData(2));
                             EXPECT_TRUE(items.DeleteData(2));
                         }},
                        {"delete in place",
                         [&] {
                             EXPECT_TRUE(items.GetData(6));
                             EXPECT_TRUE(items.DeleteData(6));
                         }},
                    });
}

// A report of its own, 3, with debt 1 and its item 1, amended by report 4, the current one.
TEST_F(ExpenditureSqlTest, DebtAndDebtItemCalls) {
    const int32_t r3 = d.NewReport();
    auto filed = d.Object<clsDebt_Data>(r3);
    ASSERT_TRUE(filed->GetData());
    filed->ReportID(r3);
    filed->DebtCode("owed");
    filed->BeginBalance(Money(500));
    ASSERT_TRUE(filed->SaveData());  // debt 1
    clsDebtItem_Data& filed_items = *filed->mobDebtItem;
    ASSERT_TRUE(filed_items.GetData());
    filed_items.ReportID(r3);
    filed_items.DebtID(1);
    filed_items.Amount(Money(200));
    ASSERT_TRUE(filed_items.SaveData());  // debt item 1
    const int32_t r4 = d.Amend(r3);

    clsDebt_Data debt;
    ASSERT_TRUE(debt.ConnectionVariables("exp", "recording", "", "", false, "4"));
    clsDebtItem_Data& items = *debt.mobDebtItem;
    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"GetData", [&] { EXPECT_TRUE(debt.GetData(1)); }},
            {"GetData new", [&] { EXPECT_TRUE(debt.GetData()); }},
            {"debt list", [&] { EXPECT_TRUE(debt.GetDataDebtList(r3)); }},
            {"sequence of a type", [&] { EXPECT_EQ(debt.GetNewSequence(r3, "owed", true), 1); }},
            {"item list", [&] { EXPECT_TRUE(items.GetDataList(1)); }},
            {"item sequence", [&] { EXPECT_EQ(items.GetNewSequence(r4, 9), 1); }},
            {"a changed copy of the debt",
             [&] {
                 EXPECT_TRUE(debt.GetData(1));
                 debt.PaidAmount(Money(200));
                 EXPECT_TRUE(debt.SaveData());
             }},
            {"a new item",
             [&] {
                 EXPECT_TRUE(items.GetData());
                 items.ReportID(r4);
                 items.DebtID(1);
                 items.TransDate("6/30/2005");
                 items.PurposeCode("pay");
                 EXPECT_TRUE(items.SaveData());
             }},
            {"the debt of an earlier version: a D marker, its items untouched",
             [&] {
                 EXPECT_TRUE(debt.GetData(1));
                 EXPECT_TRUE(debt.DeleteData(1));
             }},
        });
}

}  // namespace
}  // namespace mz
