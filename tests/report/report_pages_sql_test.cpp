// The cover, the summary and the page rows against the recording backend over a real report
// database: the exact SQL of every loader and the exact procedure calls of every save, delete and
// page-number update, one table of steps per class. The rows are real, so every text also runs
// on SQLite, and the loaders that should find rows must.
#include <gtest/gtest.h>

#include "expenditures/expenditure_data.h"
#include "platform/error.h"
#include "receipts/receipt_data.h"
#include "report/cover_data.h"
#include "report/page_amount.h"
#include "report/summary_data.h"
#include "support/recording_backend.h"
#include "support/report_db.h"

namespace mz {
namespace {

using test::AuditTail;

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

// "@a=Null, @b=Null" for the parameters named.
std::string Nulls(std::initializer_list<const char*> params) {
    std::string text;
    for (const char* p : params) text += std::string(text.empty() ? "" : ", ") + p + "=Null";
    return text;
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
    const std::string columns =
        "select unique_id, group_id, isnull(actual_page_number, 0) as actual_page_number, "
        "isnull(current_page_number, 0) as current_page_number, isnull(current_page_amount, 0) "
        "as current_page_amount, isnull(max_page_number, 0) as max_page_number, "
        "isnull(max_page_amount, 0) as max_page_amount, report_section_type_code "
        "from vw_mz_rpt_page_amount_ref_current p where ref_report_id = 1 and delete_date is "
        "null and report_section_code = 'rec' ";
    const std::string page_audit = AuditTail("rpt_page_amount", "p", "_ref_current");
    const std::string order = "order by report_section_type_code, p.actual_page_number ";
    const auto computed = [](const std::string& type) {
        return "select distinct p.unique_id, p.group_id, isnull(p.actual_page_number, 0) as "
               "actual_page_number, isnull(p.current_page_number, 0) as current_page_number, "
               "isnull(p.current_page_amount, 0) as current_page_amount, "
               "isnull(p.max_page_number, 0) as max_page_number, isnull(p.max_page_amount, 0) as "
               "max_page_amount, report_section_type_code = " +
               type + " from vw_mz_rpt_page_amount_ref_current p ";
    };
    const std::string rec_type =
        "case isnull(r.is_aggregated, 0) when '1' then 'AGG' when '0' then r.receipt_type_code "
        "end";
    const std::string exp_type =
        "case when isnull(r.is_aggregated, 0) = '1' and r.expenditure_type_code in ('oper', "
        "'ccpc', 'cpe')  then 'AGG' else r.expenditure_type_code end";
    const auto audit_join = [](const std::string& items) {
        return "left outer join (    select * from vw_mz_rpt_" + items +
               "_ref_current x    where x.ref_report_id = 1    and (x.ref_is_audit = 1    or "
               "(x.ref_is_audit = 0    and x.group_id not in (       select group_id       From "
               "vw_mz_rpt_" +
               items +
               "_ref_current       Where unique_id <> x.unique_id       and report_group_id = "
               "x.report_group_id       and ref_is_audit = 1    )))) as r on p.group_id = "
               "r.page_amount_id ";
    };
    const auto pages_of = [](const std::string& section) {
        return "where p.ref_report_id = 1 and p.delete_date is null and p.report_section_code = '" +
               section + "' ";
    };
    const std::string totals =
        "select report_section_type_code, max_page_number, max_page_amount from "
        "vw_mz_rpt_page_amount_ref_current p Where ref_report_id = 1 and delete_date is null and "
        "report_section_code = 'rec' ";
    const std::string grouped =
        "group by report_section_type_code, p.max_page_number, "
        "p.max_page_amount ";
    const auto computed_totals = [](const std::string& type) {
        return "select report_section_type_code = " + type +
               ", p.max_page_number , p.max_page_amount from vw_mz_rpt_page_amount_ref_current p ";
    };
    const std::string insert = "exec sp_insert_rpt_page_amount ";
    const std::string update = "exec sp_update_table @table='rpt_page_amount', ";
    test::WalkSteps(
        *rec,
        {
            {"GetData", [&] { EXPECT_TRUE(p.GetData(1)); },
             "query select * from vw_mz_rpt_page_amount where unique_id = 1 "},
            {"GetData new", [&] { EXPECT_TRUE(p.GetData()); },
             "query select * from vw_mz_rpt_page_amount where unique_id is null "},
            {"GetDataLinked none: released, nothing read",
             [&] {
                 EXPECT_FALSE(p.GetDataLinked());
                 EXPECT_FALSE(p.DataReady());
             },
             ""},
            {"GetDataLinked: the current report's version of a page",
             [&] {
                 p.IsNew(false);
                 EXPECT_TRUE(p.GetDataLinked(2));
                 EXPECT_EQ(p.ActualPageNumber(), "2");
             },
             "query SELECT * from vw_mz_rpt_page_amount_ref_current f Where ref_report_id = 2 and "
             "group_id = 2 and f.ref_is_audit = 0 "},
            {"GetDataLinked, audit, starting a page: a blank new row",
             [&] {
                 p.IsNew(true);
                 EXPECT_TRUE(p.GetDataLinked(99, true));
                 EXPECT_TRUE(p.IsNew());
                 EXPECT_EQ(p.CurrentCount(), 1);
             },
             "query SELECT * from vw_mz_rpt_page_amount_ref_current f Where ref_report_id = 2 and "
             "group_id = 99 " +
                 AuditTail("rpt_page_amount", "f", "_ref_current")},
            {"GetDataList none", [&] { EXPECT_FALSE(p.GetDataList()); }, ""},
            {"stored pages by type and number",
             [&] {
                 EXPECT_TRUE(p.GetDataList(r1, "rec"));
                 EXPECT_EQ(p.Count(), 3);
                 EXPECT_FALSE(p.IsNew());
             },
             "query " + columns + "and ref_is_audit = 0 " + order},
            {"stored pages of type otln", [&] { EXPECT_TRUE(p.GetDataList(r1, "rec", "otln")); },
             "query " + columns + "and ref_is_audit = 0 and report_section_type_code = 'otln' " +
                 order},
            {"stored pages, audit", [&] { EXPECT_TRUE(p.GetDataList(r1, "rec", "", true)); },
             "query " + columns + page_audit + order},
            {"receipt pages typed by their items",
             [&] {
                 EXPECT_TRUE(p.GetDataList(r1, "rec", "ind"));
                 EXPECT_EQ(p.Count(), 3);  // page 1 as AGG and as ind, page 2 as com
             },
             "query " + computed(rec_type) +
                 "left outer join rpt_receipts r on p.group_id = r.page_amount_id  " +
                 pages_of("rec") +
                 "and ref_is_audit = 0 and p.report_section_type_code != 'otln' order by " +
                 rec_type + ", isnull(p.actual_page_number, 0)"},
            {"receipt pages, audit", [&] { EXPECT_TRUE(p.GetDataList(r1, "rec", "AGG", true)); },
             "query " + computed(rec_type) + audit_join("receipts") + pages_of("rec") + page_audit +
                 "and p.report_section_type_code != 'otln' order by " + rec_type +
                 ", isnull(p.actual_page_number, 0)"},
            {"expenditure pages typed by their items",
             [&] { EXPECT_TRUE(p.GetDataList(r1, "exp", "x")); },
             "query " + computed(exp_type) +
                 "left outer join rpt_expenditures r on p.group_id = r.page_amount_id  " +
                 pages_of("exp") + "and ref_is_audit = 0 order by " + exp_type +
                 ", isnull(p.actual_page_number, 0)"},
            {"expenditure pages, audit", [&] { EXPECT_TRUE(p.GetDataList(r1, "exp", "x", true)); },
             "query " + computed(exp_type) + audit_join("expenditures") + pages_of("exp") +
                 page_audit + "order by " + exp_type + ", isnull(p.actual_page_number, 0)"},
            {"totals of the stored types", [&] { EXPECT_TRUE(p.GetDataTotalList(r1, "rec")); },
             "query " + totals + "and ref_is_audit = 0 " + grouped},
            {"totals of one stored type, audit",
             [&] { EXPECT_TRUE(p.GetDataTotalList(r1, "rec", "otln", true)); },
             "query " + totals + page_audit + "and report_section_type_code = 'otln' " + grouped},
            {"receipt totals by computed type",
             [&] {
                 EXPECT_TRUE(p.GetDataTotalList(r1, "rec", "ind"));
                 EXPECT_EQ(p.Count(), 3);
             },
             "query " + computed_totals(rec_type) +
                 "left outer join rpt_receipts r on p.group_id = r.page_amount_id where "
                 "p.ref_report_id = 1 and p.report_section_code = 'rec' and p.ref_is_audit = 0 "
                 "and report_section_type_code != 'otln' group by report_section_type_code, "
                 "p.max_page_number, p.max_page_amount, r.is_aggregated , r.receipt_type_code "},
            {"receipt totals, audit",
             [&] { EXPECT_TRUE(p.GetDataTotalList(r1, "rec", "ind", true)); },
             "query " + computed_totals(rec_type) + audit_join("receipts") +
                 "where p.ref_report_id = 1 and p.report_section_code = 'rec' " + page_audit +
                 "and report_section_type_code != 'otln' group by report_section_type_code, "
                 "p.max_page_number, p.max_page_amount, r.is_aggregated , r.receipt_type_code "},
            {"expenditure totals", [&] { EXPECT_TRUE(p.GetDataTotalList(r1, "exp", "oper")); },
             "query " + computed_totals(exp_type) +
                 "left outer join rpt_expenditures r on p.group_id = r.page_amount_id where "
                 "p.ref_report_id = 1 and p.report_section_code = 'exp' and p.ref_is_audit = 0 "
                 "group by report_section_type_code, p.max_page_number, p.max_page_amount, "
                 "r.is_aggregated , r.expenditure_type_code "},
            {"expenditure totals, audit: only the section's pages",
             [&] {
                 EXPECT_TRUE(p.GetDataTotalList(r1, "exp", "oper", true));
                 EXPECT_EQ(p.Count(), 1);
             },
             "query " + computed_totals(exp_type) + audit_join("expenditures") +
                 "where p.ref_report_id = 1 and p.report_section_code = 'exp' " + page_audit +
                 "group by report_section_type_code, p.max_page_number, p.max_page_amount, "
                 "r.is_aggregated , r.expenditure_type_code "},
            {"item count without a page",
             [&] { EXPECT_EQ(p.GetPageItemCount("receipts", -1), -1); }, ""},
            {"item count in the current report",
             [&] {
                 EXPECT_EQ(p.GetPageItemCount("receipts", 1), 2);
                 EXPECT_EQ(p.Count(), 2);
             },
             "query select count(*) as count from vw_mz_rpt_receipts_ref_current f where "
             "f.ref_report_id = 2 and f.page_amount_id = 1 and f.ref_is_audit = 0 "},
            {"item count, audit",
             [&] { EXPECT_EQ(p.GetPageItemCount("expenditures", 4, true), 1); },
             "query select count(*) as count from vw_mz_rpt_expenditures_ref_current f where "
             "f.ref_report_id = 2 and f.page_amount_id = 4 " +
                 AuditTail("rpt_expenditures", "f", "_ref_current")},
            {"items of a page in the loaded page's report, by sequence",
             [&] {
                 EXPECT_TRUE(p.GetData(1));
                 EXPECT_EQ(p.GetPageItems("receipts", 1), 2);
                 EXPECT_EQ(p.mRecSet()->Value("Amount").ToText(), "100");
             },
             "query select * from vw_mz_rpt_page_amount where unique_id = 1 \n"
             "query select * from vw_mz_rpt_receipts_ref_current f where f.ref_report_id = 1 and "
             "f.delete_date is null and f.page_amount_id = 1and f.ref_is_audit = 0 order by "
             "f.sequence "},
            {"items, audit", [&] { EXPECT_EQ(p.GetPageItems("receipts", 2, true), 1); },
             "query select * from vw_mz_rpt_receipts_ref_current f where f.ref_report_id = 1 and "
             "f.delete_date is null and f.page_amount_id = 2" +
                 AuditTail("rpt_receipts", "f", "_ref_current") + "order by f.sequence "},
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
             },
             "query select * from vw_mz_rpt_page_amount where unique_id is null \n" + insert +
                 "@Function='A', @Report_id=Long(2), @Ref_id=Integer(-1), "
                 "@Report_section_code='exp', @Report_section_type_code='ccpc', "
                 "@Actual_page_number=Double(3), @Current_page_number=Null, "
                 "@Max_page_number=Null, @Current_page_amount=Double(80), @Max_page_amount=Null\n"
                 "query select * from vw_mz_rpt_page_amount where unique_id = 5 "},
            {"save in place: one update per changed column",
             [&] {
                 EXPECT_TRUE(p.GetData(5));
                 p.CurrentPageAmount("95.5");
                 p.MaxPageNumber("2");
                 EXPECT_TRUE(p.SaveData());
             },
             "query select * from vw_mz_rpt_page_amount where unique_id = 5 \nbegin\n" + update +
                 "@column='max_page_number', @unique_id=Long(5), @value='2'\n" + update +
                 "@column='current_page_amount', @unique_id=Long(5), @value='95.5'\ncommit"},
            {"save an earlier version's page: one C copy of all seven columns",
             [&] {
                 EXPECT_TRUE(p.GetData(1));
                 p.ActualPageNumber("");
                 EXPECT_TRUE(p.SaveData());
             },
             "query select * from vw_mz_rpt_page_amount where unique_id = 1 \nbegin\n" + insert +
                 "@Function='C', @Report_id='2', @Ref_id=Long(1), @Report_section_code='rec', "
                 "@Report_section_type_code='ind', @Actual_page_number=Null, "
                 "@Current_page_number=Null, @Max_page_number=Null, "
                 "@Current_page_amount=Currency(150), @Max_page_amount=Currency(150)\ncommit"},
            {"delete in place",
             [&] {
                 EXPECT_TRUE(p.GetData(5));
                 EXPECT_TRUE(p.DeleteData(5));
             },
             "query select * from vw_mz_rpt_page_amount where unique_id = 5 \nbegin\n"
             "exec sp_delete_table @table='rpt_page_amount', @unique_id=Long(5)\ncommit"},
            {"delete an earlier version's page: a D marker",
             [&] {
                 EXPECT_TRUE(p.GetData(2));
                 EXPECT_TRUE(p.DeleteData(2));
             },
             "query select * from vw_mz_rpt_page_amount where unique_id = 2 \nbegin\n" + insert +
                 "@Function='D', @Report_id='2', @Ref_id=Long(2)\ncommit"},
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
             },
             "begin\nrollback"},
            {"highest numbers of a section",
             [&] { EXPECT_TRUE(p.UpdateMaxTotals(r2, 3, 750.5, "rec", "")); },
             "exec sp_misc_rpt_page_amount_update @Report_id=Long(2), @report_section_code='rec', "
             "@Max_page_number=Long(3), @Max_page_amount=Double(750.5)"},
            {"highest numbers of a section type",
             [&] { EXPECT_TRUE(p.UpdateMaxTotals(r2, 1, 40, "exp", "oper")); },
             "exec sp_misc_rpt_page_amount_update @Report_id=Long(2), @report_section_code='exp', "
             "@report_section_type_code='oper', @Max_page_number=Long(1), "
             "@Max_page_amount=Double(40)"},
            {"highest numbers of a report that does not exist: False",
             [&] { EXPECT_FALSE(p.UpdateMaxTotals(99, 1, 1, "rec", "")); },
             "exec sp_misc_rpt_page_amount_update @Report_id=Long(99), "
             "@report_section_code='rec', @Max_page_number=Long(1), @Max_page_amount=Double(1)"},
        });
}

TEST_F(ReportPagesSqlTest, CoverCalls) {
    auto covers = Recorded<clsCover_Data>();
    clsCover_Data& c = *covers;
    const std::string current =
        "query select * from vw_mz_rpt_cover_ref_current f where "
        "f.ref_report_id = 2 and f.delete_date is null ";
    const std::string insert = "exec sp_insert_rpt_cover ";
    const auto columns = [](const std::string& memo) {
        return "@Entity_id=Null, @Report_year=Double(2019), @Report_level_code=Null, "
               "@Report_sub_type_code=Null, @Report_name='Spring report', "
               "@Certified_date=Null, @Entity_type_code=Null, @Orig_filed_tolvid=Null, "
               "@Fund_type_code=Null, @Fund_name=Null, @Begin_date=Date(2019-01-01), "
               "@End_date=Null, @Filed_date=Null, @Parent_entity_id=Null, "
               "@Parent_entity_name=Null, @Signed_name=Null, @Is_account_segregated=Null, "
               "@Memo=" +
               memo + ", @Is_amendment=Integer(1), @Comments=Null";
    };
    test::WalkSteps(
        *rec,
        {
            {"GetData", [&] { EXPECT_TRUE(c.GetData(1)); },
             "query select * from vw_mz_rpt_cover_detail where unique_id = 1 "},
            {"GetData new", [&] { EXPECT_TRUE(c.GetData()); },
             "query select * from vw_mz_rpt_cover_detail where unique_id is null"},
            {"GetDataDetail none", [&] { EXPECT_FALSE(c.GetDataDetail()); }, ""},
            {"GetDataDetail: the cover the amendment sees",
             [&] {
                 EXPECT_TRUE(c.GetDataDetail(r2));
                 EXPECT_EQ(c.ReportName(), "Spring report");
             },
             current + "and ref_is_audit = 0 "},
            {"GetDataDetail, audit", [&] { EXPECT_TRUE(c.GetDataDetail(r2, true)); },
             current + AuditTail("rpt_cover", "f", "_ref_current")},
            {"CheckReport below 1: nothing read", [&] { EXPECT_FALSE(c.CheckReport(0)); }, ""},
            {"CheckReport of a linked report; the cover is gone",
             [&] {
                 EXPECT_TRUE(c.CheckReport(r2));
                 EXPECT_EQ(c.mRecSet()->Value("comm_id").ToText(), "7");
             },
             "query select * from xrf_comm_report where report_id = 2 "},
            {"save unchanged",
             [&] {
                 EXPECT_TRUE(c.GetData(1));
                 EXPECT_TRUE(c.SaveData());
             },
             "query select * from vw_mz_rpt_cover_detail where unique_id = 1 "},
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
             },
             "query select * from vw_mz_rpt_cover_detail where unique_id is null\n" + insert +
                 "@Function='A', @Report_id=Long(2), @Ref_id=Integer(-1), " + columns("Null") +
                 "\nquery select * from vw_mz_rpt_cover_detail where unique_id = 2 "},
            {"save in place: Memo alone",
             [&] {
                 EXPECT_TRUE(c.GetData(2));
                 c.Memo("late filing");
                 EXPECT_TRUE(c.SaveData());
             },
             "query select * from vw_mz_rpt_cover_detail where unique_id = 2 \nbegin\n"
             "exec sp_update_table @table='rpt_cover', @column='Memo', @unique_id=Long(2), "
             "@value='late filing'\ncommit"},
            {"save the filed cover: a C copy with every column and the fundraiser count",
             [&] {
                 EXPECT_TRUE(c.GetData(1));
                 c.ReportYear("2019");
                 c.StartDate("01/01/2019");
                 c.IsAmendment(1);
                 c.Memo("amended");
                 c.FundraiserCount(2);
                 EXPECT_TRUE(c.SaveData());
             },
             "query select * from vw_mz_rpt_cover_detail where unique_id = 1 \nbegin\n" + insert +
                 "@Function='C', @Report_id='2', @Ref_id=Long(1), " + columns("'amended'") +
                 ", @Fundraiser_count=Integer(2)\ncommit"},
            {"delete the filed cover: a D marker",
             [&] {
                 EXPECT_TRUE(c.GetData(1));
                 EXPECT_TRUE(c.DeleteData(1));
             },
             "query select * from vw_mz_rpt_cover_detail where unique_id = 1 \nbegin\n" + insert +
                 "@Function='D', @Report_id='2', @Ref_id=Long(1)\ncommit"},
        });
}

TEST_F(ReportPagesSqlTest, SummaryCalls) {
    auto summaries = Recorded<clsSummary_Data>();
    clsSummary_Data& s = *summaries;
    const std::string page_rows =
        "from vw_mz_rpt_page_amount_ref_basic where ref_report_id = 1 and report_section_code = "
        "'rec' ";
    const std::string stored =
        "query select * from vw_mz_rpt_summary_ref_basic f where "
        "ref_report_id = 1 and delete_date is null ";
    const std::string detail =
        "query select * from vw_mz_rpt_summary_ref_current f where "
        "f.ref_report_id = 1 and f.delete_date is null and "
        "f.Summary_type_code = ";
    const std::string with_exp =
        "select 'P' as summary_type_code, max(max_page_amount) as  total_rec, (    select "
        "max(max_page_amount) as  total_rec    from vw_mz_rpt_page_amount_ref_basic    where "
        "ref_report_id = 1    and report_section_code = 'exp' ) as total_exp ";
    // The 40 column parameters; the amounts not set are Null.
    const auto columns = [](const std::string& total_rec) {
        return "@Sequence=Long(1), @Summary_type_code='F', @Start_year=Double(2019), "
               "@Begin_balance=Currency(100), " +
               Nulls({"@Individual_rec", "@Individual_agg_rec", "@Old_interest_exp", "@Party_rec",
                      "@Committee_rec", "@Loan_proceed_rec", "@Refund_rec", "@Interest_rec",
                      "@Not_for_profit_rec", "@Outside_source_rec", "@GnS_rec", "@Forgiven_loan"}) +
               ", @Total_rec=Currency(" + total_rec + "), " +
               Nulls({"@Operating_exp", "@Contribution_exp", "@Coordinated_party_exp",
                      "@Loan_repayment_exp", "@Refund_exp", "@Inkind_exp", "@Total_exp",
                      "@End_balance", "@Nonmonetary_gifts", "@Outstanding_loans", "@Debts_by_comm",
                      "@Debts_to_comm", "@Account_transfer", "@Admin_support", "@Notice_sum"}) +
               ", @Amend_code='A', @Contribution_total_rec=Null, @Individual_total_rec=Null, "
               "@Total_rec_count=Integer(3), " +
               Nulls({"@contribution_to_reimburse", "@individual_agg_exp",
                      "@legal_expense_other_rec", "@exempt_sales_rec"});
    };
    const std::string insert = "exec sp_insert_rpt_summary ";
    test::WalkSteps(
        *rec,
        {
            {"GetData", [&] { EXPECT_TRUE(s.GetData(1)); },
             "query SELECT * from vw_mz_rpt_summary_detail Where unique_id = 1 "},
            {"GetData new", [&] { EXPECT_TRUE(s.GetData()); },
             "query select * from vw_mz_rpt_summary where unique_id is null "},
            {"GetDataList none", [&] { EXPECT_FALSE(s.GetDataList()); }, ""},
            {"type 4: the page-based row of the receipt pages",
             [&] {
                 EXPECT_TRUE(s.GetDataList(r1, "4"));
                 EXPECT_EQ(s.SummaryCode() + " " + s.TotalRec().ToString(), "P 220");
             },
             "query select 'P' as summary_type_code, max(max_page_amount) as  total_rec " +
                 page_rows + "and ref_is_audit = 0 "},
            {"type I: with the expenditure pages",
             [&] {
                 EXPECT_TRUE(s.GetDataList(r1, "I"));
                 EXPECT_EQ(s.TotalRec().ToString() + " " + s.TotalExp().ToString(), "220 40");
             },
             "query " + with_exp + page_rows + "and ref_is_audit = 0 "},
            {"type I, audit",
             [&] {
                 EXPECT_TRUE(s.GetDataList(r1, "I", true));
                 EXPECT_EQ(s.TotalRec().ToString(), "220");
             },
             "query " + with_exp + page_rows +
                 "and (ref_is_audit = 1 or (ref_is_audit = 0 and group_id not in (    select "
                 "a.group_id    from vw_mz_rpt_page_amount_ref_basic a    where a.unique_id <> "
                 "vw_mz_rpt_page_amount_ref_basic.unique_id    and a.report_group_id = "
                 "vw_mz_rpt_page_amount_ref_basic.report_group_id    and a.ref_is_audit = 1 ))) "},
            {"type i is not I: the stored rows",
             [&] {
                 EXPECT_TRUE(s.GetDataList(r1, "i"));
                 EXPECT_EQ(s.CurrentCount(), 1);
             },
             stored + "and ref_is_audit = 0 "},
            {"stored rows, audit", [&] { EXPECT_TRUE(s.GetDataList(r1, "", true)); },
             stored + AuditTail("rpt_summary", "f")},
            {"one summary code", [&] { EXPECT_TRUE(s.GetDataDetail(r1, "F")); },
             detail + "'F' and f.ref_is_audit = 0 "},
            {"a code without a row, audit",
             [&] {
                 EXPECT_FALSE(s.GetDataDetail(r1, "X", true));
                 EXPECT_FALSE(s.DataReady());
             },
             detail + "'X' " + AuditTail("rpt_summary", "f", "_ref_current")},
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
             },
             "query select * from vw_mz_rpt_summary where unique_id is null \n" + insert +
                 "@Function='A', @Report_id=Long(2), @Ref_id=Integer(-1), " + columns("250.5") +
                 "\nquery SELECT * from vw_mz_rpt_summary_detail Where unique_id = 2 "},
            {"save in place: the amend code cleared",
             [&] {
                 EXPECT_TRUE(s.GetData(2));
                 s.AmmendCode("");
                 EXPECT_TRUE(s.SaveData());
                 EXPECT_EQ(s.AmendCode(), "");
             },
             "query SELECT * from vw_mz_rpt_summary_detail Where unique_id = 2 \nbegin\n"
             "exec sp_update_table @table='rpt_summary', @column='amend_code', "
             "@unique_id=Long(2), @value=Null\ncommit"},
            {"save the filed row: a C copy with the same 40 columns",
             [&] {
                 EXPECT_TRUE(s.GetData(1));
                 s.Sequence(1);
                 s.StartYear("2019");
                 s.AmmendCode("A");
                 s.TotalRecCount(3);
                 s.TotalRec(Money(300));
                 EXPECT_TRUE(s.SaveData());
             },
             "query SELECT * from vw_mz_rpt_summary_detail Where unique_id = 1 \nbegin\n" + insert +
                 "@Function='C', @Report_id='2', @Ref_id=Long(1), " + columns("300") + "\ncommit"},
            {"delete the filed row: a D marker",
             [&] {
                 EXPECT_TRUE(s.GetData(1));
                 EXPECT_TRUE(s.DeleteData(1));
             },
             "query SELECT * from vw_mz_rpt_summary_detail Where unique_id = 1 \nbegin\n" + insert +
                 "@Function='D', @Report_id='2', @Ref_id=Long(1)\ncommit"},
        });
}

}  // namespace
}  // namespace mz
