// The cover, the summary and the page rows against the recording backend over a real report
// database: the exact SQL of every loader and the exact procedure calls of every save, delete and
// page-number update, one table of steps per class, run as shell lines; the steps, what they
// print and their logs are in calls.log. The rows are real, so every text also runs on SQLite,
// and the loaders that should find rows must.
#include <gtest/gtest.h>

#include "expenditures/expenditure_data.h"
#include "receipts/receipt_data.h"
#include "report/cover_data.h"
#include "report/page_amount.h"
#include "report/summary_data.h"
#include "support/data_file.h"
#include "support/recording_backend.h"
#include "support/report_db.h"

namespace mz {
namespace {

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

// Report 1 filed, report 2 its amendment. In report 1: receipt pages 1 and 2 of type 'ind' and
// an 'otln' page 3 (unique_id = group_id = 1, 2, 3), expenditure page 4; on page 1 an 'ind'
// receipt of 100 and an aggregated one of 50, on page 2 a 'com' receipt of 70, on page 4 an
// aggregated 'oper' expenditure of 40; a cover (group 9) and a summary row (group 10).
class ReportPagesSqlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        r1 = d.NewReport();
        auto pages = d.Object<clsPage_Amount>(r1);
        AddPage(*pages, "rec", "ind", 1, 150, 150);
        AddPage(*pages, "rec", "ind", 2, 70, 220);
        AddPage(*pages, "rec", "otln", 1, 0, 0);
        ASSERT_EQ(AddPage(*pages, "exp", "oper", 1, 40, 40), 4);
        auto receipts = d.Object<clsReceipt_Data>(r1);
        AddReceipt(*receipts, "ind", 100, 0, 1);
        AddReceipt(*receipts, "ind", 50, 1, 1);
        AddReceipt(*receipts, "com", 70, 0, 2);
        auto spent = d.Object<clsExpenditure_Data>(r1);
        ASSERT_TRUE(spent->GetData());
        spent->ReportID(r1);
        spent->ExpenditureCode("oper");
        spent->Amount(Money(40));
        spent->IsAggregated(1);
        spent->PageAmountID(4);
        ASSERT_TRUE(spent->SaveData());
        auto cover = d.Object<clsCover_Data>(r1);
        ASSERT_TRUE(cover->GetData());
        cover->ReportID(r1);
        cover->ReportName("Spring report");
        ASSERT_TRUE(cover->SaveData());
        ASSERT_EQ(cover->GroupID(), 9);
        auto summary = d.Object<clsSummary_Data>(r1);
        ASSERT_TRUE(summary->GetData());
        summary->ReportID(r1);
        summary->SummaryCode("F");
        summary->BeginBalance(Money(100));
        ASSERT_TRUE(summary->SaveData());
        d.db.Exec("INSERT INTO xrf_org_report (org_id, report_id) VALUES (7, 1)");
        r2 = d.Amend(r1);
        rec = test::Recorder::Create("pages", d.db.Path());
    }

    int32_t AddPage(clsPage_Amount& p, const char* section, const char* type, int actual,
                    double amount, double max_amount) {
        EXPECT_TRUE(p.GetData());
        p.ReportID(r1);
        p.ReportSectionCode(section);
        p.ReportSectionTypeCode(type);
        p.ActualPageNumber(std::to_string(actual));
        p.CurrentPageAmount(std::to_string(amount));
        p.MaxPageAmount(std::to_string(max_amount));
        EXPECT_TRUE(p.SaveData());
        return p.GroupID();
    }
    void AddReceipt(clsReceipt_Data& r, const char* type, double amount, int16_t aggregated,
                    int32_t page) {
        EXPECT_TRUE(r.GetData());
        r.ReportID(r1);
        r.ReceiptCode(type);
        r.Amount(Money(amount));
        r.IsAggregated(aggregated);
        r.PageAmountID(page);
        r.Sequence(r.GetNewSequence(r1));
        EXPECT_TRUE(r.SaveData());
    }
    test::ReportDb d;
    int32_t r1 = 0, r2 = 0;
    std::shared_ptr<test::Recorder> rec;
    test::StepShell shell{d.db.Path()};
};

// The items' rows are not in the object model: read here.
TEST_F(ReportPagesSqlTest, PageAmountCalls) {
    clsPage_Amount p;
    ASSERT_TRUE(p.ConnectionVariables("pages", "recording", "", "", false, "2"));
    test::WalkSteps(*rec, test::DataLines("calls.log"),
                    {{"items of a page in the loaded page's report, by sequence",
                      [&] {
                          EXPECT_TRUE(p.GetData(1));
                          EXPECT_EQ(p.GetPageItems("receipts", 1), 2);
                          EXPECT_EQ(p.mRecSet()->Value("Amount").ToText(), "100");
                      }}},
                    &shell);
}

TEST_F(ReportPagesSqlTest, CoverCalls) {
    clsCover_Data c;
    ASSERT_TRUE(c.ConnectionVariables("pages", "recording", "", "", false, "2"));
    test::WalkSteps(*rec, test::DataLines("calls.log"),
                    {{"CheckReport of a linked report; the cover is gone",
                      [&] {
                          EXPECT_TRUE(c.CheckReport(r2));
                          EXPECT_EQ(c.mRecSet()->Value("comm_id").ToText(), "7");
                      }}},
                    &shell);
}

TEST_F(ReportPagesSqlTest, SummaryCalls) {
    test::WalkSteps(*rec, test::DataLines("calls.log"), {}, &shell);
}

}  // namespace
}  // namespace mz
