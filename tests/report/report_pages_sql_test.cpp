// The cover, the summary and the page rows against the recording backend over a real report
// database: the exact SQL of every loader and the exact procedure calls of every save, delete and
// page-number update, one table of steps per class; the logs are in calls.log. The rows are real,
// so every text also runs on SQLite, and the loaders that should find rows must.
#include <gtest/gtest.h>

#include "expenditures/expenditure_data.h"
#include "platform/error.h"
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
        r2 = d.Amend(r1);
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
    template <class T>
    std::unique_ptr<T> Recorded() {
        auto o = std::make_unique<T>();
        EXPECT_TRUE(o->ConnectionVariables("pages", "recording", "", "", false, "2"));
        return o;
    }

    test::ReportDb d;
    int32_t r1 = 0, r2 = 0;
    std::shared_ptr<test::Recorder> rec;
};

TEST_F(ReportPagesSqlTest, PageAmountCalls) {
    auto pages = Recorded<clsPage_Amount>();
    clsPage_Amount& p = *pages;
    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"GetData", [&] { EXPECT_TRUE(p.GetData(1)); }},
            {"GetData new", [&] { EXPECT_TRUE(p.GetData()); }},
            {"GetDataLinked none: released, nothing read",
             [&] {
                 EXPECT_FALSE(p.GetDataLinked());
                 EXPECT_FALSE(p.DataReady());
             }},
            {"GetDataLinked: the current report's version of a page",
             [&] {
                 p.IsNew(false);
                 EXPECT_TRUE(p.GetDataLinked(2));
                 EXPECT_EQ(p.ActualPageNumber(), "2");
             }},
            {"GetDataLinked, audit: a flag set before is cleared, no blank row",
             [&] {
                 p.IsNew(true);
                 EXPECT_FALSE(p.GetDataLinked(99, true));
                 EXPECT_FALSE(p.IsNew());
                 EXPECT_EQ(p.CurrentCount(), 0);
             }},
            {"GetDataList none", [&] { EXPECT_FALSE(p.GetDataList()); }},
            {"stored pages by type and number",
             [&] {
                 EXPECT_TRUE(p.GetDataList(r1, "rec"));
                 EXPECT_EQ(p.Count(), 3);
                 EXPECT_FALSE(p.IsNew());
             }},
            {"stored pages of type otln", [&] { EXPECT_TRUE(p.GetDataList(r1, "rec", "otln")); }},
            {"stored pages, audit", [&] { EXPECT_TRUE(p.GetDataList(r1, "rec", "", true)); }},
            {"receipt pages typed by their items",
             [&] {
                 EXPECT_TRUE(p.GetDataList(r1, "rec", "ind"));
                 EXPECT_EQ(p.Count(), 3);  // page 1 as AGG and as ind, page 2 as com
             }},
            {"receipt pages, audit", [&] { EXPECT_TRUE(p.GetDataList(r1, "rec", "AGG", true)); }},
            {"expenditure pages typed by their items",
             [&] { EXPECT_TRUE(p.GetDataList(r1, "exp", "x")); }},
            {"expenditure pages, audit", [&] { EXPECT_TRUE(p.GetDataList(r1, "exp", "x", true)); }},
            {"totals of the stored types", [&] { EXPECT_TRUE(p.GetDataTotalList(r1, "rec")); }},
            {"totals of one stored type, audit",
             [&] { EXPECT_TRUE(p.GetDataTotalList(r1, "rec", "otln", true)); }},
            {"receipt totals by computed type",
             [&] {
                 EXPECT_TRUE(p.GetDataTotalList(r1, "rec", "ind"));
                 EXPECT_EQ(p.Count(), 3);
             }},
            {"receipt totals, audit",
             [&] { EXPECT_TRUE(p.GetDataTotalList(r1, "rec", "ind", true)); }},
            {"expenditure totals", [&] { EXPECT_TRUE(p.GetDataTotalList(r1, "exp", "oper")); }},
            {"expenditure totals, audit: only the section's pages",
             [&] {
                 EXPECT_TRUE(p.GetDataTotalList(r1, "exp", "oper", true));
                 EXPECT_EQ(p.Count(), 1);
             }},
            {"item count without a page",
             [&] { EXPECT_EQ(p.GetPageItemCount("receipts", -1), -1); }},
            {"item count in the current report",
             [&] {
                 EXPECT_EQ(p.GetPageItemCount("receipts", 1), 2);
                 EXPECT_EQ(p.Count(), 2);
             }},
            {"item count, audit",
             [&] { EXPECT_EQ(p.GetPageItemCount("expenditures", 4, true), 1); }},
            {"items of a page in the loaded page's report, by sequence",
             [&] {
                 EXPECT_TRUE(p.GetData(1));
                 EXPECT_EQ(p.GetPageItems("receipts", 1), 2);
                 EXPECT_EQ(p.mRecSet()->Value("Amount").ToText(), "100");
             }},
            {"items, audit", [&] { EXPECT_EQ(p.GetPageItems("receipts", 2, true), 1); }},
            {"save new: numbers as given, read back",
             [&] {
                 EXPECT_TRUE(p.GetData());
                 p.ReportID(r2);
                 p.ReportSectionCode("exp");
                 p.ReportSectionTypeCode("ccpc");
                 p.ActualPageNumber("3");
                 p.CurrentPageAmount("80");
                 EXPECT_TRUE(p.SaveData());
                 EXPECT_EQ(p.UniqueID(), 5);
             }},
            {"save in place: one update per changed column",
             [&] {
                 EXPECT_TRUE(p.GetData(5));
                 p.CurrentPageAmount("95.5");
                 p.MaxPageNumber("2");
                 EXPECT_TRUE(p.SaveData());
             }},
            {"save an earlier version's page: one C copy of all seven columns",
             [&] {
                 EXPECT_TRUE(p.GetData(1));
                 p.ActualPageNumber("");
                 EXPECT_TRUE(p.SaveData());
             }},
            {"delete in place",
             [&] {
                 EXPECT_TRUE(p.GetData(5));
                 EXPECT_TRUE(p.DeleteData(5));
             }},
            {"delete an earlier version's page: a D marker",
             [&] {
                 EXPECT_TRUE(p.GetData(2));
                 EXPECT_TRUE(p.DeleteData(2));
             }},
            {"delete with nothing loaded raises, after a roll-back",
             [&] {
                 auto none = Recorded<clsPage_Amount>();
                 try {
                     none->DeleteData(3);
                     ADD_FAILURE() << "nothing was raised";
                 } catch (const Error& e) {
                     EXPECT_EQ(e.Number(), 91);
                     EXPECT_EQ(e.Source(), "MZ_report_bus (clsPage_Amount.DeleteData)");
                 }
             }},
            {"highest numbers of a section",
             [&] { EXPECT_TRUE(p.UpdateMaxTotals(r2, 3, 750.5, "rec", "")); }},
            {"highest numbers of a section type",
             [&] { EXPECT_TRUE(p.UpdateMaxTotals(r2, 1, 40, "exp", "oper")); }},
            {"highest numbers of a report that does not exist: False",
             [&] { EXPECT_FALSE(p.UpdateMaxTotals(99, 1, 1, "rec", "")); }},
        });
}

TEST_F(ReportPagesSqlTest, CoverCalls) {
    auto covers = Recorded<clsCover_Data>();
    clsCover_Data& c = *covers;
    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"GetData", [&] { EXPECT_TRUE(c.GetData(1)); }},
            {"GetData new", [&] { EXPECT_TRUE(c.GetData()); }},
            {"GetDataDetail none", [&] { EXPECT_FALSE(c.GetDataDetail()); }},
            {"GetDataDetail: the cover the amendment sees",
             [&] {
                 EXPECT_TRUE(c.GetDataDetail(r2));
                 EXPECT_EQ(c.ReportName(), "Spring report");
             }},
            {"GetDataDetail, audit", [&] { EXPECT_TRUE(c.GetDataDetail(r2, true)); }},
            {"CheckReport below 1: nothing read", [&] { EXPECT_FALSE(c.CheckReport(0)); }},
            {"CheckReport of a linked report; the cover is gone",
             [&] {
                 EXPECT_TRUE(c.CheckReport(r2));
                 EXPECT_EQ(c.mRecSet()->Value("comm_id").ToText(), "7");
             }},
            {"save unchanged",
             [&] {
                 EXPECT_TRUE(c.GetData(1));
                 EXPECT_TRUE(c.SaveData());
             }},
            {"save new: without the fundraiser count",
             [&] {
                 EXPECT_TRUE(c.GetData());
                 c.ReportID(r2);
                 c.ReportYear("2019");
                 c.ReportName("Spring report");
                 c.StartDate("1/1/2019");
                 c.IsAmendment(1);
                 c.FundraiserCount(3);
                 EXPECT_TRUE(c.SaveData());
                 EXPECT_EQ(c.FundraiserCount(), 0);
                 EXPECT_EQ(c.UniqueID(), 2);
             }},
            {"save in place: Memo alone",
             [&] {
                 EXPECT_TRUE(c.GetData(2));
                 c.Memo("late filing");
                 EXPECT_TRUE(c.SaveData());
             }},
            {"save the filed cover: a C copy with every column and the fundraiser count",
             [&] {
                 EXPECT_TRUE(c.GetData(1));
                 c.ReportYear("2019");
                 c.StartDate("01/01/2019");
                 c.IsAmendment(1);
                 c.Memo("amended");
                 c.FundraiserCount(2);
                 EXPECT_TRUE(c.SaveData());
             }},
            {"delete the filed cover: a D marker",
             [&] {
                 EXPECT_TRUE(c.GetData(1));
                 EXPECT_TRUE(c.DeleteData(1));
             }},
        });
}

TEST_F(ReportPagesSqlTest, SummaryCalls) {
    auto summaries = Recorded<clsSummary_Data>();
    clsSummary_Data& s = *summaries;
    // The 40 column parameters; the amounts not set are Null.
    test::WalkSteps(*rec, test::DataLines("calls.log"),
                    {
                        {"GetData", [&] { EXPECT_TRUE(s.GetData(1)); }},
                        {"GetData new", [&] { EXPECT_TRUE(s.GetData()); }},
                        {"GetDataList none", [&] { EXPECT_FALSE(s.GetDataList()); }},
                        {"type 4: the page-based row of the receipt pages",
                         [&] {
                             EXPECT_TRUE(s.GetDataList(r1, "4"));
                             EXPECT_EQ(s.SummaryCode() + " " + s.TotalRec().ToString(), "P 220");
                         }},
                        {"type I: with the expenditure pages",
                         [&] {
                             EXPECT_TRUE(s.GetDataList(r1, "I"));
                             EXPECT_EQ(s.TotalRec().ToString() + " " + s.TotalExp().ToString(),
                                       "220 40");
                         }},
                        {"type I, audit",
                         [&] {
                             EXPECT_TRUE(s.GetDataList(r1, "I", true));
                             EXPECT_EQ(s.TotalRec().ToString(), "220");
                         }},
                        {"type i is not I: the stored rows",
                         [&] {
                             EXPECT_TRUE(s.GetDataList(r1, "i"));
                             EXPECT_EQ(s.CurrentCount(), 1);
                         }},
                        {"stored rows, audit", [&] { EXPECT_TRUE(s.GetDataList(r1, "", true)); }},
                        {"one summary code", [&] { EXPECT_TRUE(s.GetDataDetail(r1, "F")); }},
                        {"a code without a row, audit",
                         [&] {
                             EXPECT_FALSE(s.GetDataDetail(r1, "X", true));
                             EXPECT_FALSE(s.DataReady());
                         }},
                        {"save new: 43 parameters",
                         [&] {
                             EXPECT_TRUE(s.GetData());
                             s.ReportID(r2);
                             s.Sequence(1);
                             s.SummaryCode("F");
                             s.StartYear("2019");
                             s.AmmendCode("A");
                             s.TotalRecCount(3);
                             s.BeginBalance(Money(100));
                             s.TotalRec(Money(250.5));
                             EXPECT_TRUE(s.SaveData());
                             EXPECT_EQ(s.AmendCode() + " " + s.StartYear(), "A 2019");
                         }},
                        {"save in place: the amend code cleared",
                         [&] {
                             EXPECT_TRUE(s.GetData(2));
                             s.AmmendCode("");
                             EXPECT_TRUE(s.SaveData());
                             EXPECT_EQ(s.AmendCode(), "");
                         }},
                        {"save the filed row: a C copy with the same 40 columns",
                         [&] {
                             EXPECT_TRUE(s.GetData(1));
                             s.Sequence(1);
                             s.StartYear("2019");
                             s.AmmendCode("A");
                             s.TotalRecCount(3);
                             s.TotalRec(Money(300));
                             EXPECT_TRUE(s.SaveData());
                         }},
                        {"delete the filed row: a D marker",
                         [&] {
                             EXPECT_TRUE(s.GetData(1));
                             EXPECT_TRUE(s.DeleteData(1));
                         }},
                    });
}

}  // namespace
}  // namespace mz
