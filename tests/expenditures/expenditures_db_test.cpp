// Expenditures and debts on a real report database: each cascade removes exactly what hangs under
// its row (the fault walk fails each of its steps), and the lists give the right figures over
// an amended and an audited report.
#include <gtest/gtest.h>

#include "expenditures/debt_data.h"
#include "expenditures/expenditure_data.h"
#include "support/report_db.h"

namespace mz {
namespace {

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

int32_t AddExpenditure(clsExpenditure_Data& e, int32_t report, const std::string& type,
                       double amount, int32_t payee, int16_t aggregated = 0) {
    EXPECT_TRUE(e.GetData());
    e.ReportID(report);
    e.ExpenditureCode(type);
    e.Amount(Money(amount));
    if (payee > 0) e.EntityID(payee);
    e.IsAggregated(aggregated);
    e.Sequence(e.GetNewSequence(report));
    EXPECT_TRUE(e.SaveData());
    return e.UniqueID();
}

void AddItem(clsExpenditureItems_Data& items, int32_t report, int32_t expenditure, int32_t entity,
             const std::string& office, const std::string& office_name, double amount) {
    EXPECT_TRUE(items.GetData());
    items.ReportID(report);
    items.ExpenditureID(expenditure);
    if (entity > 0) items.EntityID(entity);
    items.OfficeSoughtCode(office);
    items.OfficeName(office_name);
    items.Amount(Money(amount));
    items.Sequence(items.GetNewSequence(report, expenditure));
    EXPECT_TRUE(items.SaveData());
}

int32_t AddDebt(clsDebt_Data& d, int32_t report, int32_t creditor, double begin, double end) {
    EXPECT_TRUE(d.GetData());
    d.ReportID(report);
    d.DebtCode("owed");
    if (creditor > 0) d.EntityID(creditor);
    d.BeginBalance(Money(begin));
    d.EndBalance(Money(end));
    d.Sequence(d.GetNewSequence(report, "owed"));
    EXPECT_TRUE(d.SaveData());
    return d.UniqueID();
}

void AddDebtItem(clsDebtItem_Data& items, int32_t report, int32_t debt, double amount) {
    EXPECT_TRUE(items.GetData());
    items.ReportID(report);
    items.DebtID(debt);
    items.Amount(Money(amount));
    items.Sequence(items.GetNewSequence(report, debt));
    EXPECT_TRUE(items.SaveData());
}

const std::initializer_list<const char*> kTables = {"rpt_expenditures", "rpt_expenditure_items",
                                                    "rpt_debts",        "rpt_debt_items",
                                                    "rpt_notes",        "rpt_name_address"};

// An expenditure with two items (one naming an entity of its own), a note and a payee; a debt
// with two items and a note; a second expenditure to the same payee.
struct Scene {
    explicit Scene(test::ReportDb& d) {
        r1 = d.NewReport();
        exp = d.Object<clsExpenditure_Data>(r1);
        debts = d.Object<clsDebt_Data>(r1);
        const int32_t printer = d.Org("Print Shop");
        spent = AddExpenditure(*exp, r1, "oper", 300, printer);
        d.AddNote(*exp->mobNotes, r1, exp->GroupID());
        AddItem(*exp->mobExpenditureItem, r1, spent, d.Person("Lee", "Ann"), "OT", "Mayor", 200);
        AddItem(*exp->mobExpenditureItem, r1, spent, -1, "GOV", "", 100);
        AddExpenditure(*exp, r1, "oper", 50, printer);
        owed = AddDebt(*debts, r1, d.Org("Hall Rental"), 900, 600);
        d.AddNote(*debts->mobNotes, r1, debts->GroupID());
        AddDebtItem(*debts->mobDebtItem, r1, owed, 200);
        AddDebtItem(*debts->mobDebtItem, r1, owed, 100);
    }
    int32_t r1 = 0, spent = 0, owed = 0;
    std::unique_ptr<clsExpenditure_Data> exp;
    std::unique_ptr<clsDebt_Data> debts;
};

TEST(ExpendituresDbTest, EachCascadeRemovesExactlyWhatHangsUnderItsRow) {
    test::ReportDb d;
    Scene s(d);
    EXPECT_EQ(d.Snapshot(kTables),
              "rpt_expenditures=1,2; rpt_expenditure_items=1,2; rpt_debts=1; "
              "rpt_debt_items=1,2; rpt_notes=1,2; rpt_name_address=1,2,3; ");
    // The payee stays: the second expenditure names it too. The item's own entity goes.
    ASSERT_TRUE(s.exp->GetData(s.spent));
    EXPECT_TRUE(s.exp->DeleteData(s.spent));
    EXPECT_EQ(d.Snapshot(kTables),
              "rpt_expenditures=2; rpt_expenditure_items=; rpt_debts=1; rpt_debt_items=1,2; "
              "rpt_notes=2; rpt_name_address=1,3; ");
    ASSERT_TRUE(s.debts->GetData(s.owed));
    EXPECT_TRUE(s.debts->DeleteData(s.owed));
    EXPECT_EQ(d.Snapshot(kTables),
              "rpt_expenditures=2; rpt_expenditure_items=; rpt_debts=; rpt_debt_items=; "
              "rpt_notes=; rpt_name_address=1; ");
}

// full_name=amount of each row of the expenditure list, in list order.
std::string ExpenditureList(clsExpenditure_Data& e, int16_t version, int32_t report,
                            bool audit = false) {
    if (!e.GetDataExpenditureList(version, report, audit)) return "(none)";
    std::string text;
    for (e.MoveFirst(); !e.EOF(); e.MoveNext()) {
        text += e.mRecSet()->Value("full_name").ToText() + "=" + e.Amount().ToString() + "; ";
    }
    return text;
}

std::string DebtList(clsDebt_Data& d, int32_t report, bool audit = false) {
    if (!d.GetDataDebtList(report, audit)) return "(none)";
    std::string text;
    for (d.MoveFirst(); !d.EOF(); d.MoveNext()) {
        text += d.FullName() + "@" + d.ActualPageNumber() + "=" + d.BeginBalance().ToString() +
                "/" + d.EndBalance().ToString() + "; ";
    }
    return text;
}

TEST(ExpendituresDbTest, ListsOverAnAmendedAndAnAuditedReport) {
    test::ReportDb d;
    const int32_t r1 = d.NewReport();
    auto filed = d.Object<clsExpenditure_Data>(r1);
    const int32_t rent = AddExpenditure(*filed, r1, "oper", 1200, d.Org("Main St Realty"));
    AddExpenditure(*filed, r1, "oper", 180, -1, 1);  // aggregated small payments
    const int32_t gift = AddExpenditure(*filed, r1, "ccpc", 500, d.Org("Friends of Lopez"));
    const int32_t ads = AddExpenditure(*filed, r1, "ind", 75, -1);  // no payee entry
    AddExpenditure(*filed, r1, "oper", 40, d.Person("Ortiz", "Sam"));
    auto debts = d.Object<clsDebt_Data>(r1);
    const int32_t hall = AddDebt(*debts, r1, d.Org("Hall Rental"), 900, 900);
    AddDebt(*debts, r1, -1, 50, 50);
    // Pages: the hall's debt on page 3, the gift on page 1; the rest without a page.
    d.db.Exec("INSERT INTO rpt_page_amount (report_id, actual_page_number) VALUES (" +
              std::to_string(r1) + ", 1), (" + std::to_string(r1) + ", 3)");
    const std::string page = "(SELECT group_id FROM rpt_page_amount WHERE actual_page_number = ";
    d.db.Exec("UPDATE rpt_expenditures SET page_amount_id = " + page +
              "1) WHERE unique_id = " + std::to_string(gift));
    d.db.Exec("UPDATE rpt_debts SET page_amount_id = " + page +
              "3) WHERE unique_id = " + std::to_string(hall));

    const std::string original =
        "Main St Realty=1200; Aggregated Non-Media Expenditure=180; =75; Ortiz, Sam=40; "
        "Friends of Lopez=500; ";
    EXPECT_EQ(ExpenditureList(*filed, 2, r1), original);
    EXPECT_EQ(filed->Count(), 5);
    ASSERT_TRUE(filed->GetDataFederalList(r1));
    EXPECT_EQ(filed->CurrentCount(), 1);
    EXPECT_EQ(filed->mRecSet()->Value("full_name").ToText(), "Friends of Lopez");
    EXPECT_EQ(DebtList(*debts, r1), "@=50/50; Hall Rental@3=900/900; ");  // no page first

    // The amendment pays part of the hall's debt and deletes the ads.
    const int32_t r2 = d.Amend(r1);
    auto amended = d.Object<clsExpenditure_Data>(r2);
    ASSERT_TRUE(amended->GetData(ads));
    EXPECT_TRUE(amended->DeleteData(ads));
    auto later = d.Object<clsDebt_Data>(r2);
    ASSERT_TRUE(later->GetData(hall));
    later->PaidAmount(Money(400));
    later->EndBalance(Money(500));
    EXPECT_TRUE(later->SaveData());
    AddExpenditure(*amended, r2, "oper", 60, d.Person("Ortiz", "Sam"));
    EXPECT_EQ(ExpenditureList(*amended, 3, r2),
              "Main St Realty=1200; Aggregated Non-Media Expenditure=180; Ortiz, Sam=40; "
              "Ortiz, Sam=60; Friends of Lopez=500; ");
    EXPECT_EQ(ExpenditureList(*amended, 2, r1), original);  // the filed report is untouched
    EXPECT_EQ(DebtList(*later, r2), "@=50/50; Hall Rental@3=900/500; ");
    EXPECT_EQ(amended->GetNewSequence(r2, "oper"), 7);  // the new one took 6
    EXPECT_EQ(amended->GetNewSequence(r2, "ind"), 1);   // the deleted one no longer counts
    EXPECT_EQ(later->GetNewSequence(r2), 3);

    // An audit corrects the rent: only the audit list shows it.
    const int32_t r3 = d.Audit(r2);
    auto audit = d.Object<clsExpenditure_Data>(r3);
    ASSERT_TRUE(audit->GetData(rent));
    audit->Amount(Money(1150));
    EXPECT_TRUE(audit->SaveData());
    EXPECT_NE(ExpenditureList(*audit, 2, r3, true).find("Main St Realty=1150; "),
              std::string::npos);
    EXPECT_NE(ExpenditureList(*audit, 2, r3).find("Main St Realty=1200; "), std::string::npos);
    EXPECT_EQ(DebtList(*d.Object<clsDebt_Data>(r3), r3, true), "@=50/50; Hall Rental@3=900/500; ");
}

TEST(ExpendituresDbTest, ItemsAndRowViews) {
    test::ReportDb d;
    Scene s(d);
    clsExpenditureItems_Data& items = *s.exp->mobExpenditureItem;
    ASSERT_TRUE(items.GetDataList(s.spent));
    std::string seen;
    for (items.MoveFirst(); !items.EOF(); items.MoveNext()) {
        seen += items.mRecSet()->Value("office_name").ToText() + "|" + items.FullName() + "|" +
                items.Amount().ToString() + "; ";
    }
    EXPECT_EQ(seen, "Other - Mayor|Ann Lee|200; Governor||100; ");  // no entity: Null name
    EXPECT_EQ(items.GetNewSequence(s.r1, s.spent), 3);
    ASSERT_TRUE(items.GetData(1));
    EXPECT_EQ(items.FullName(), "Ann Lee");  // the row view carries it as well

    ASSERT_TRUE(s.exp->GetData(s.spent));
    EXPECT_EQ(s.exp->FullName(), "Print Shop");
    EXPECT_EQ(s.exp->ExpenditureTypeDesc(), "Operating Expenditures");
    EXPECT_EQ(s.exp->GetTextLength(mzML_Disctrict_Expenditure), 50);
    EXPECT_EQ(s.exp->GetTextLength(14), 0);
    ASSERT_TRUE(s.debts->GetData(s.owed));
    EXPECT_EQ(s.debts->FullName(), "Hall Rental");
    EXPECT_EQ(s.debts->DebtTypeDesc(), "Debts Owed by the Committee");

    // The end date is not an insert parameter: a "C" copy keeps the earlier row's.
    ASSERT_TRUE(s.exp->GetData(s.spent));
    s.exp->EndDate("12/31/2005");
    EXPECT_TRUE(s.exp->SaveData());
    const int32_t r2 = d.Amend(s.r1);
    auto amended = d.Object<clsExpenditure_Data>(r2);
    ASSERT_TRUE(amended->GetData(s.spent));
    amended->Purpose("Printing");
    EXPECT_TRUE(amended->SaveData());
    const std::string of_r2 = " from rpt_expenditures where report_id = " + std::to_string(r2);
    EXPECT_EQ(d.db.Scalar("select end_date" + of_r2) + "/" + d.db.Scalar("select purpose" + of_r2),
              "2005-12-31/Printing");
}

}  // namespace
}  // namespace mz
