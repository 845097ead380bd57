// The report's own pages on a real report database: page counts and totals agree with the
// receipts and expenditures on the pages, the page-based summary agrees with the page rows over
// an amended and an audited report, and an amendment's cover change leaves the filed cover alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <type_traits>

#include "expenditures/expenditure_data.h"
#include "receipts/receipt_data.h"
#include "report/cover_data.h"
#include "report/page_amount.h"
#include "report/summary_data.h"
#include "support/report_db.h"

namespace mz {
namespace {

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

// A new page of report `report`; its group_id, the identifier its items name.
int32_t AddPage(clsPage_Amount& p, int32_t report, const char* section, const char* type,
                int actual) {
    EXPECT_TRUE(p.GetData());
    p.ReportID(report);
    p.ReportSectionCode(section);
    p.ReportSectionTypeCode(type);
    p.ActualPageNumber(std::to_string(actual));
    p.CurrentPageNumber(std::to_string(actual));
    EXPECT_TRUE(p.SaveData());
    return p.GroupID();
}

template <class T>
void AddItem(T& item, int32_t report, const char* type, double amount, int16_t aggregated,
             int32_t page) {
    EXPECT_TRUE(item.GetData());
    item.ReportID(report);
    if constexpr (std::is_same_v<T, clsReceipt_Data>) {
        item.ReceiptCode(type);
    } else {
        item.ExpenditureCode(type);
    }
    item.Amount(Money(amount));
    item.IsAggregated(aggregated);
    item.PageAmountID(page);
    item.Sequence(item.GetNewSequence(report));
    EXPECT_TRUE(item.SaveData());
}

// What the front end does before printing: each page's amount is the sum of the items the
// schedule list of the report puts on it; then the highest number and amount of the section are
// set on all its pages. Returns the section's total.
template <class Items>
Currency TotalPages(clsPage_Amount& p, Items& items, int32_t report, const std::string& section) {
    std::map<int32_t, Currency> on_page;
    if (items.GetDataList(report)) {
        for (items.MoveFirst(); !items.EOF(); items.MoveNext())
            on_page[items.PageAmountID()] = on_page[items.PageAmountID()] + items.Amount();
    }
    EXPECT_TRUE(p.GetDataList(report, section));
    std::vector<int32_t> groups;
    for (p.MoveFirst(); !p.EOF(); p.MoveNext()) groups.push_back(p.GroupID());
    Currency total;
    // A blank row first (IsNew set): each page loaded by GetDataLinked is still the page, and
    // its save updates it rather than insert a page of no report.
    EXPECT_TRUE(p.GetData());
    for (const int32_t group : groups) {
        EXPECT_TRUE(p.GetDataLinked(group));
        p.CurrentPageAmount(on_page[group].ToString());
        EXPECT_TRUE(p.SaveData());
        total = total + on_page[group];
    }
    EXPECT_TRUE(p.UpdateMaxTotals(report, static_cast<int32_t>(groups.size()), total.ToDouble(),
                                  section, ""));
    return total;
}

// "page:type=amount/highest amount; " for each row of a page list, in list order.
std::string Pages(clsPage_Amount& p, int32_t report, const std::string& section,
                  const std::string& type = "", bool audit = false) {
    if (!p.GetDataList(report, section, type, audit)) return "(none)";
    std::string text;
    for (p.MoveFirst(); !p.EOF(); p.MoveNext()) {
        text += p.ActualPageNumber() + ":" + p.ReportSectionTypeCode() + "=" +
                p.CurrentPageAmount() + "/" + p.MaxPageAmount() + "; ";
    }
    return text;
}

// "type=highest number/highest amount; " for each row of the totals list.
std::string Totals(clsPage_Amount& p, int32_t report, const std::string& section,
                   const std::string& type = "", bool audit = false) {
    if (!p.GetDataTotalList(report, section, type, audit)) return "(none)";
    std::vector<std::string> rows;  // in the order of their types: the list has none
    for (p.MoveFirst(); !p.EOF(); p.MoveNext())
        rows.push_back(p.ReportSectionTypeCode() + "=" + p.MaxPageNumber() + "/" +
                       p.MaxPageAmount() + "; ");
    std::sort(rows.begin(), rows.end());
    std::string text;
    for (const std::string& row : rows) text += row;
    return text;
}

std::string PageBased(clsSummary_Data& s, int32_t report, const std::string& type,
                      bool audit = false) {
    if (!s.GetDataList(report, type, audit)) return "(none)";
    std::string text = s.SummaryCode() + " rec " + s.TotalRec().ToString();
    if (type == "I") text += " exp " + s.TotalExp().ToString();
    return text;
}

TEST(ReportPagesDbTest, PageCountsAndTotalsAgreeWithTheirItems) {
    test::ReportDb d;
    const int32_t r = d.NewReport();
    auto p = d.Object<clsPage_Amount>(r);
    const int32_t rec1 = AddPage(*p, r, "rec", "ind", 1);
    const int32_t rec2 = AddPage(*p, r, "rec", "ind", 2);
    const int32_t loans = AddPage(*p, r, "rec", "otln", 1);
    const int32_t exp1 = AddPage(*p, r, "exp", "oper", 1);
    auto receipts = d.Object<clsReceipt_Data>(r);
    AddItem(*receipts, r, "ind", 100, 0, rec1);
    AddItem(*receipts, r, "ind", 480, 1, rec1);  // small contributions reported as one line
    AddItem(*receipts, r, "ind", 250, 0, rec2);
    AddItem(*receipts, r, "com", 75, 0, rec2);
    AddItem(*receipts, r, "otln", 900, 0, loans);
    auto spent = d.Object<clsExpenditure_Data>(r);
    AddItem(*spent, r, "oper", 180, 1, exp1);  // aggregated operating: AGG
    AddItem(*spent, r, "ind", 60, 1, exp1);    // aggregated of another type keeps its type
    AddItem(*spent, r, "oper", 20, 0, exp1);

    for (const auto& [page, items, count] : {std::tuple{rec1, "receipts", 2},
                                             {rec2, "receipts", 2},
                                             {loans, "receipts", 1},
                                             {exp1, "expenditures", 3}}) {
        EXPECT_EQ(p->GetPageItemCount(items, page), count) << page;
    }
    EXPECT_EQ(TotalPages(*p, *receipts, r, "rec"), Money(1805));
    EXPECT_EQ(TotalPages(*p, *spent, r, "exp"), Money(260));

    // Stored types, then the types the items count under ('AGG' for the aggregated ones).
    EXPECT_EQ(Pages(*p, r, "rec"), "1:ind=580/1805; 2:ind=325/1805; 1:otln=900/1805; ");
    EXPECT_EQ(Pages(*p, r, "rec", "otln"), "1:otln=900/1805; ");
    EXPECT_EQ(Pages(*p, r, "rec", "ind"),
              "1:AGG=580/1805; 2:com=325/1805; 1:ind=580/1805; 2:ind=325/1805; ");
    EXPECT_EQ(p->Count(), 4);
    EXPECT_EQ(Pages(*p, r, "exp", "oper"), "1:AGG=260/260; 1:ind=260/260; 1:oper=260/260; ");
    EXPECT_EQ(Totals(*p, r, "rec"), "ind=3/1805; otln=3/1805; ");
    EXPECT_EQ(Totals(*p, r, "rec", "ind"), "AGG=3/1805; com=3/1805; ind=3/1805; ");
    EXPECT_EQ(Totals(*p, r, "exp", "x"), "AGG=1/260; ind=1/260; oper=1/260; ");

    // A page's items as the loaded page's report sees them: their amounts make the page's.
    // With no page loaded there is no first item to read Count from: its error is raised
    // with the operation's source and Count keeps -1.
    auto unloaded = d.Object<clsPage_Amount>(r);
    try {
        unloaded->GetPageItems("receipts", rec2);
        ADD_FAILURE() << "nothing raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), err::kNoCurrentRecord);
        EXPECT_TRUE(e.Source().ends_with(" (clsPage_Amount.GetPageItems)")) << e.Source();
    }
    EXPECT_EQ(unloaded->Count(), -1);
    ASSERT_TRUE(p->GetData(rec2));
    const std::string page_amount = p->CurrentPageAmount();
    EXPECT_EQ(p->GetPageItems("receipts", rec2), 2);
    Currency items;
    std::string types;
    for (p->MoveFirst(); !p->EOF(); p->MoveNext()) {
        items = items + p->mRecSet()->Value("Amount").ToCurrency();
        types += p->mRecSet()->Value("Receipt_type_desc").ToText() + "; ";
    }
    EXPECT_EQ(items.ToString() + " " + page_amount, "325 325");
    EXPECT_EQ(types, "Contributions from Individuals; Contributions from Committees; ");
    ASSERT_TRUE(p->GetData(1));
    EXPECT_EQ(p->GetTextLength(mzML_MaxPageAmount_PageAmount), 19);
    EXPECT_EQ(p->GetTextLength(3), 0);
}

TEST(ReportPagesDbTest, PageBasedSummaryAgreesWithThePageRowsOverAnAmendedReport) {
    test::ReportDb d;
    const int32_t r1 = d.NewReport();
    auto filed = d.Object<clsPage_Amount>(r1);
    const int32_t rec1 = AddPage(*filed, r1, "rec", "ind", 1);
    const int32_t rec2 = AddPage(*filed, r1, "rec", "ind", 2);
    const int32_t exp1 = AddPage(*filed, r1, "exp", "oper", 1);
    auto receipts = d.Object<clsReceipt_Data>(r1);
    AddItem(*receipts, r1, "ind", 100, 0, rec1);
    AddItem(*receipts, r1, "ind", 200, 0, rec2);
    auto spent = d.Object<clsExpenditure_Data>(r1);
    AddItem(*spent, r1, "oper", 40, 0, exp1);
    TotalPages(*filed, *receipts, r1, "rec");
    TotalPages(*filed, *spent, r1, "exp");
    auto summary = d.Object<clsSummary_Data>(r1);
    EXPECT_EQ(PageBased(*summary, r1, "I"), "P rec 300 exp 40");
    EXPECT_EQ(Totals(*filed, r1, "rec"), "ind=2/300; ");

    // The amendment adds a receipt on page 2 and a third page, and totals its pages again: the
    // filed pages get versions of their own in it.
    const int32_t r2 = d.Amend(r1);
    auto amended = d.Object<clsPage_Amount>(r2);
    const int32_t rec3 = AddPage(*amended, r2, "rec", "ind", 3);
    auto later = d.Object<clsReceipt_Data>(r2);
    AddItem(*later, r2, "ind", 50, 0, rec2);
    AddItem(*later, r2, "ind", 25, 0, rec3);
    EXPECT_EQ(amended->GetPageItemCount("receipts", rec2), 2);
    EXPECT_EQ(TotalPages(*amended, *later, r2, "rec"), Money(375));
    EXPECT_EQ(Pages(*amended, r2, "rec"), "1:ind=100/375; 2:ind=250/375; 3:ind=25/375; ");
    EXPECT_EQ(Totals(*amended, r2, "rec"), "ind=3/375; ");
    EXPECT_EQ(PageBased(*summary, r2, "I"), "P rec 375 exp 40");
    EXPECT_EQ(PageBased(*summary, r2, "4"), "P rec 375");
    // The filed report keeps its pages and its summary.
    EXPECT_EQ(Pages(*filed, r1, "rec"), "1:ind=100/300; 2:ind=200/300; ");
    EXPECT_EQ(PageBased(*summary, r1, "I"), "P rec 300 exp 40");
    const std::string rows = "select count(*) from rpt_page_amount where report_id = ";
    EXPECT_EQ(d.db.Scalar(rows + std::to_string(r2)), "3");
    // Highest values the amendment already sees write no version of the page.
    EXPECT_TRUE(amended->UpdateMaxTotals(r2, 1, 40, "exp", ""));
    EXPECT_EQ(d.db.Scalar(rows + std::to_string(r2)), "3");

    // The amendment withdraws its own third page and the filed expenditure page; the deletion
    // marker of the second carries no amount.
    for (const int32_t page : {rec3, exp1}) {
        amended->IsNew(false);
        ASSERT_TRUE(amended->GetDataLinked(page));
        EXPECT_TRUE(amended->DeleteData(amended->UniqueID()));
    }
    EXPECT_TRUE(amended->UpdateMaxTotals(r2, 2, 350, "rec", ""));
    EXPECT_EQ(Pages(*amended, r2, "rec"), "1:ind=100/350; 2:ind=250/350; ");
    EXPECT_EQ(PageBased(*summary, r2, "I"), "P rec 350 exp 0");
    EXPECT_EQ(PageBased(*summary, r1, "I"), "P rec 300 exp 40");

    // An audit corrects the highest amount; only the audit form sees it.
    const int32_t r3 = d.Audit(r2);
    auto audited = d.Object<clsPage_Amount>(r3);
    EXPECT_TRUE(audited->UpdateMaxTotals(r3, 2, 360, "rec", ""));
    EXPECT_EQ(Pages(*audited, r3, "rec", "", true), "1:ind=100/360; 2:ind=250/360; ");
    EXPECT_EQ(Pages(*audited, r3, "rec"), "1:ind=100/350; 2:ind=250/350; ");
    EXPECT_EQ(Totals(*audited, r3, "rec", "", true), "ind=2/360; ");
    EXPECT_EQ(PageBased(*summary, r3, "4", true), "P rec 360");
    EXPECT_EQ(PageBased(*summary, r3, "4"), "P rec 350");
    EXPECT_EQ(PageBased(*summary, 99, "4"), "P rec 0");  // no receipt pages: the maximum is Null
}

TEST(ReportPagesDbTest, AnAmendedCoverLeavesTheFiledCover) {
    test::ReportDb d;
    const int32_t r1 = d.NewReport();
    auto cover = d.Object<clsCover_Data>(r1);
    EXPECT_FALSE(cover->CheckReport(r1));
    ASSERT_TRUE(cover->GetData());
    cover->ReportID(r1);
    cover->ReportName("Spring report");
    cover->ReportSubTypeCode("PREPRI");
    cover->CertDate("4/15/2019");
    cover->IsAmendment(2);
    cover->IsAccountSegregated(1);
    cover->ParentEntityID("12x");
    cover->Memo("as filed");
    ASSERT_TRUE(cover->SaveData());
    EXPECT_EQ(cover->IsAmendment(), 2);  // stored as Null
    EXPECT_EQ(d.db.Scalar("select is_amendment from rpt_cover"), "NULL");
    EXPECT_EQ(cover->ParentEntityID() + " " + cover->CertDate(), "12 04/15/2019");
    EXPECT_EQ(cover->GetTextLength(mzML_Memo_Cover), 2000);

    const int32_t r2 = d.Amend(r1);
    auto amended = d.Object<clsCover_Data>(r2);
    ASSERT_TRUE(amended->GetDataDetail(r2));
    EXPECT_EQ(amended->ReportSubTypeDesc(), "Pre-Primary");  // the list view carries it too
    amended->Memo("amended: late contribution");
    amended->IsAmendment(1);
    amended->OldElectionCycle("2018");  // not an insert parameter: the copy keeps the filed one
    EXPECT_TRUE(amended->SaveData());
    ASSERT_TRUE(amended->GetDataDetail(r2));
    EXPECT_EQ(amended->Memo() + " " + std::to_string(amended->IsAmendment()) + " " +
                  amended->OldElectionCycle() + " " + std::to_string(amended->ReportID()),
              "amended: late contribution 1  2");
    ASSERT_TRUE(cover->GetDataDetail(r1));
    EXPECT_EQ(cover->Memo() + " " + std::to_string(cover->IsAmendment()) + " " +
                  std::to_string(cover->ReportID()),
              "as filed 2 1");

    // An audit's cover is seen only through the audit form.
    const int32_t r3 = d.Audit(r2);
    auto audit = d.Object<clsCover_Data>(r3);
    ASSERT_TRUE(audit->GetDataDetail(r3));
    audit->Comments("seen by the auditor");
    EXPECT_TRUE(audit->SaveData());
    ASSERT_TRUE(audit->GetDataDetail(r3, true));
    EXPECT_EQ(audit->Comments() + " / " + audit->Memo(),
              "seen by the auditor / amended: late contribution");
    ASSERT_TRUE(audit->GetDataDetail(r3));
    EXPECT_EQ(audit->Comments(), "");

    // A report linked to a committee, in every version.
    d.db.Exec(
        "INSERT INTO xrf_org_report (org_id, report_id) SELECT 7, report_group_id FROM "
        "rpt_report WHERE report_id = " +
        std::to_string(r1));
    EXPECT_TRUE(cover->CheckReport(r2));
    EXPECT_LT(cover->mRecSet()->FieldIndex("memo"), 0);  // the cover is no longer loaded
}

}  // namespace
}  // namespace mz
