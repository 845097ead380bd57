// The expenditure family against the recording backend over a real report database: the exact
// SQL of every loader and the exact procedure calls of every save and delete path, one table of
// steps per class, run as shell lines; the steps, what they print and their logs are in calls.log.
// The rows are real, so every text also runs on SQLite.
#include <gtest/gtest.h>

#include "expenditures/debt_data.h"
#include "expenditures/expenditure_data.h"
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
    test::StepShell shell{d.db.Path()};
};

TEST_F(ExpenditureSqlTest, ExpenditureCalls) {
    test::WalkSteps(*rec, test::DataLines("calls.log"), {}, &shell);
}

TEST_F(ExpenditureSqlTest, ExpenditureItemCalls) {
    test::WalkSteps(*rec, test::DataLines("calls.log"), {}, &shell);
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
    d.Amend(r3);
    test::WalkSteps(*rec, test::DataLines("calls.log"), {}, &shell);
}

}  // namespace
}  // namespace mz
