// The expenditure family against the recording backend over a real report database: the exact
// SQL of every loader and the exact procedure calls of every save and delete path, one table of
// steps per class. The rows are real, so every text also runs on SQLite.
#include <gtest/gtest.h>

#include "expenditures/debt_data.h"
#include "expenditures/expenditure_data.h"
#include "platform/error.h"
#include "support/recording_backend.h"
#include "support/report_db.h"

namespace mz {
namespace {

using test::AuditTail;
using test::LoggedStep;

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

// Report 1 filed, report 2 its amendment. Rows without entities, so the name component's own
// traffic stays out of the logs (the end-to-end tests cover it).
class ExpenditureSqlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        r1 = d.NewReport();
        r2 = d.Amend(r1);
        auto filed = d.Object<clsExpenditure_Data>(r1);
        e1 = AddExpenditure(*filed, r1, "oper", 100);  // unique_id 1, items 1 and 2
        AddItem(*filed->mobExpenditureItem, r1, e1, 60);
        AddItem(*filed->mobExpenditureItem, r1, e1, 40);
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
    const std::string from = "from vw_mz_rpt_expenditures_ref_basic f ";
    const std::string page =
        "left outer join vw_mz_rpt_page_amount_ref_basic pa on f.page_amount_id = pa.group_id    "
        "and f.ref_report_id = pa.ref_report_id    and pa.delete_date is null    and "
        "pa.ref_is_audit = 0 ";
    const auto audit_page = [](const std::string& report) {
        return "left outer join (    select * from vw_mz_rpt_page_amount_ref_basic x    where "
               "x.ref_report_id = " +
               report +
               "    and (x.ref_is_audit = 1    or (x.ref_is_audit = 0    and x.group_id not in "
               "(       select group_id       From vw_mz_rpt_page_amount_ref_basic       Where "
               "unique_id <> x.unique_id       and report_group_id = x.report_group_id       and "
               "ref_is_audit = 1    )))) as pa on pa.group_id = f.page_amount_id    and "
               "f.ref_report_id = pa.ref_report_id    and pa.delete_date is null ";
    };
    const std::string audit = AuditTail("rpt_expenditures", "f");
    const std::string names = "left outer join rpt_name_address na on f.entity_id = na.unique_id ";
    const std::string list_select =
        "select distinct f.unique_id, pa.actual_page_number, f.sequence, case when "
        "f.expenditure_type_code in ('oper', 'ccpc', 'cpe') then    case "
        "isnull(f.is_aggregated,'0')    when '0' then       case isnull(na.is_org,'0')       "
        "when '0' then isnull(na.last_name,'') + ', ' + isnull(na.first_name,'')       when '1' "
        "then isnull(na.org_name,'')       end    when '1' then 'Aggregated Non-Media "
        "Expenditure'    end else     case isnull(na.is_org, '1')     when '1' then "
        "isnull(na.org_name,'')     when '0' then isnull(na.last_name,'') + ', ' + "
        "isnull(na.first_name,'')     end end as 'full_name', f.amount, f.sum_to_date, "
        "f.Expenditure_type_desc , f.is_aggregated, na.is_org, f.Expenditure_type_code, "
        "f.page_amount_id, f.purpose, f.occur_date, et.sequence,  f.form_of_payment_code, "
        "f.account_abbr, et.description, f.is_aggregated " +
        from + names +
        "left outer join lks_expenditure_type et on f.expenditure_type_code = et.code ";
    const std::string federal_select =
        "select distinct f.unique_id, pa.actual_page_number, f.sequence, case isnull(na.is_org, "
        "'1') when '1' then isnull(na.org_name,'') when '0' then isnull(na.last_name,'') + ', ' "
        "+ isnull(na.first_name,'') end as 'full_name', f.amount, f.sum_to_date, "
        "f.Expenditure_type_desc , f.is_aggregated, na.is_org, f.Expenditure_type_code, "
        "f.page_amount_id,  '' as purpose, f.occur_date, '' as sequence, f.form_of_payment_code, "
        "f.account_abbr, '' as description " +
        from + names;
    const std::string where = "where f.ref_report_id = 1 and f.delete_date is null ";
    const std::string sequence = "query select max(sequence) as sequence " + from + where;
    // The 35 parameters of an insert after "@Function", "@Report_id" and "@Ref_id"
    // ("@Is_aggregated" and "@is_aggregated" are one).
    const auto columns = [](const std::string& seq, const std::string& amount,
                            const std::string& purpose) {
        return "@Entity_id=Null, @Page_amount_id=Null, @Sequence=" + seq +
               ", @Expenditure_type_code='oper', @Gift_type_code=Null, @Is_aggregated=Null, "
               "@Is_ind_exp=Null, @Account_abbr=Null, @Form_of_payment_code=Null, "
               "@Occur_date=Null, @Amount=Currency(" +
               amount + "), @Sum_to_date=Null, @Description=Null, @Purpose='" + purpose +
               "', @Original_date=Null, @Original_amount=Null, @Balance=Null, "
               "@Committee_id=Null, @Comm_level_code=Null, @Comm_level_name=Null, "
               "@Related_committee_name=Null, @Office_name=Null, @Jurisdiction_name=Null, "
               "@Item_number=Null, @Declare_code=Null, @Communication_date=Null, "
               "@Amend_code=Null, @Loan_id=Null, @Receipt_id=Null, @Orig_Receipt_date=Null, "
               "@Orig_Loan_date=Null, @Payment_number=Null, @Comments=Null, "
               "@Purpose_type_code=Null";
    };
    const std::string insert = "exec sp_insert_rpt_expenditures ";
    test::WalkSteps(
        *rec,
        {
            {"GetData", [&] { EXPECT_TRUE(exp.GetData(e1)); },
             "query SELECT * from vw_mz_rpt_expenditures_detail Where unique_id = 1 "},
            {"GetData new", [&] { EXPECT_TRUE(exp.GetData()); },
             "query select * from vw_mz_rpt_expenditures where unique_id is null"},
            {"GetDataList none", [&] { EXPECT_FALSE(exp.GetDataList()); }, "query "},
            {"GetDataList", [&] { EXPECT_TRUE(exp.GetDataList(r1)); },
             "query select * " + from + where + "and f.ref_is_audit = 0 "},
            {"GetDataList audit", [&] { EXPECT_TRUE(exp.GetDataList(r1, true)); },
             "query select * " + from + where + audit},
            {"expenditure list, database order",
             [&] { EXPECT_TRUE(exp.GetDataExpenditureList(1, r1)); },
             "query " + list_select + page + where + "and f.ref_is_audit = 0 "},
            {"expenditure list by page", [&] { EXPECT_TRUE(exp.GetDataExpenditureList(2, r1)); },
             "query " + list_select + page + where +
                 "and f.ref_is_audit = 0 order by pa.actual_page_number, f.sequence "},
            {"expenditure list by type, audit",
             [&] { EXPECT_TRUE(exp.GetDataExpenditureList(3, r1, true)); },
             "query " + list_select + audit_page("1") + where + audit +
                 "order by et.sequence, et.description, pa.actual_page_number, f.sequence "},
            {"federal list", [&] { EXPECT_FALSE(exp.GetDataFederalList(r1)); },
             "query " + federal_select + page + where +
                 "and f.Expenditure_type_code = 'ccpc' and f.ref_is_audit = 0 order by "
                 "pa.actual_page_number, f.sequence "},
            {"federal list, audit", [&] { EXPECT_TRUE(exp.GetDataFederalList(2, true)); },
             "query " + federal_select + audit_page("2") +
                 "where f.ref_report_id = 2 and f.Expenditure_type_code = 'ccpc' and "
                 "f.delete_date is null " +
                 audit + "order by pa.actual_page_number, f.sequence "},
            {"sequence", [&] { EXPECT_EQ(exp.GetNewSequence(r1), 2); },
             sequence + "and f.ref_is_audit = 0 "},
            {"sequence of a type", [&] { EXPECT_EQ(exp.GetNewSequence(r1, "ccpc"), 1); },
             sequence + "and f.expenditure_type_code = 'ccpc' and f.ref_is_audit = 0 "},
            {"sequence, audit", [&] { EXPECT_EQ(exp.GetNewSequence(r1, "", true), 2); },
             sequence + audit},
            {"save unchanged",
             [&] {
                 EXPECT_TRUE(exp.GetData(e1));
                 EXPECT_TRUE(exp.SaveData());
             },
             "query SELECT * from vw_mz_rpt_expenditures_detail Where unique_id = 1 "},
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
             },
             "query select * from vw_mz_rpt_expenditures where unique_id is null\n" + insert +
                 "@Function='A', @Report_id=Long(2), @Ref_id=Integer(-1), " +
                 columns("Null", "75", "Ads") +
                 "\nquery SELECT * from vw_mz_rpt_expenditures_detail Where unique_id = 3 "},
            {"save in place: one update per changed column, in column order",
             [&] {
                 EXPECT_TRUE(exp.GetData(e2));
                 exp.Purpose("Gift");
                 exp.Amount(Money(300));
                 exp.EndDate("5/1/2005");
                 EXPECT_TRUE(exp.SaveData());
             },
             "query SELECT * from vw_mz_rpt_expenditures_detail Where unique_id = 2 \n"
             "begin\n"
             "exec sp_update_table @table='rpt_expenditures', @column='Amount', "
             "@unique_id=Long(2), @value='300'\n"
             "exec sp_update_table @table='rpt_expenditures', @column='Purpose', "
             "@unique_id=Long(2), @value='Gift'\n"
             "exec sp_update_table @table='rpt_expenditures', @column='end_date', "
             "@unique_id=Long(2), @value='2005-05-01'\n"
             "commit"},
            {"save an earlier version's row: one C copy",
             [&] {
                 EXPECT_TRUE(exp.GetData(e1));
                 exp.Amount(Money(120));
                 exp.Purpose("Rent");
                 EXPECT_TRUE(exp.SaveData());
             },
             "query SELECT * from vw_mz_rpt_expenditures_detail Where unique_id = 1 \n"
             "begin\n" +
                 insert + "@Function='C', @Report_id='2', @Ref_id=Long(1), " +
                 columns("Long(1)", "120", "Rent") + "\ncommit"},
            {"failing update rolls back",
             [&] {
                 rec->FailProcedure("sp_update_table", "refused", 1);
                 EXPECT_TRUE(exp.GetData(e2));
                 exp.Comments("x");
                 EXPECT_FALSE(exp.SaveData());
             },
             "query SELECT * from vw_mz_rpt_expenditures_detail Where unique_id = 2 \n"
             "begin\n"
             "exec sp_update_table @table='rpt_expenditures', @column='Comments', "
             "@unique_id=Long(2), @value='x'\n"
             "rollback"},
            {"delete an earlier version's row: one D marker",
             [&] {
                 EXPECT_TRUE(exp.GetData(e1));
                 EXPECT_TRUE(exp.DeleteData(e1));
             },
             "query SELECT * from vw_mz_rpt_expenditures_detail Where unique_id = 1 \n"
             "begin\n" +
                 insert + "@Function='D', @Report_id='2', @Ref_id=Long(1)\ncommit"},
            {"a failing item delete rolls the cascade back",
             [&] {
                 rec->FailProcedure("sp_delete_table", "refused", 1);
                 EXPECT_TRUE(exp.GetData(e2));
                 EXPECT_FALSE(exp.DeleteData(e2));
             },
             "query SELECT * from vw_mz_rpt_expenditures_detail Where unique_id = 2 \n"
             "begin\n"
             "query select ei.unique_id, ei.page_amount_id, ei.sequence, full_name = case    when "
             "na.is_org = 1 then na.org_name    else na.first_name + ' ' + na.last_name end, "
             "office_name = case    when ei.office_sought_code = 'OT' then 'Other - ' + "
             "ei.office_name    else o.Description end, amount  from "
             "vw_mz_rpt_expenditure_items_ref_basic ei left outer join rpt_name_address na on "
             "ei.entity_id = na.unique_id left outer join lku_office_sought o on "
             "ei.office_sought_code = o.code where ei.ref_report_id = 2 and ei.delete_date is "
             "null and ei.expenditure_id = 2 and ei.ref_is_audit = 0 order by ei.sequence \n"
             // The list carries no report_id: each item is read before it is deleted.
             "query SELECT * from vw_mz_rpt_expenditure_items Where unique_id = 3 \n"
             "exec sp_delete_table @table='rpt_expenditure_items', @unique_id=Long(3)\n"
             "rollback"},
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
             },
             "begin\n"
             "query SELECT * from vw_mz_rpt_expenditures_detail Where unique_id = 2 \n"
             "query select ei.unique_id, ei.page_amount_id, ei.sequence, full_name = case    when "
             "na.is_org = 1 then na.org_name    else na.first_name + ' ' + na.last_name end, "
             "office_name = case    when ei.office_sought_code = 'OT' then 'Other - ' + "
             "ei.office_name    else o.Description end, amount  from "
             "vw_mz_rpt_expenditure_items_ref_basic ei left outer join rpt_name_address na on "
             "ei.entity_id = na.unique_id left outer join lku_office_sought o on "
             "ei.office_sought_code = o.code where ei.ref_report_id = 2 and ei.delete_date is "
             "null and ei.expenditure_id = 2 and ei.ref_is_audit = 0 order by ei.sequence \n"
             // The list carries no report_id: each item is read before it is deleted.
             "query SELECT * from vw_mz_rpt_expenditure_items Where unique_id = 3 \n"
             "exec sp_delete_table @table='rpt_expenditure_items', @unique_id=Long(3)\n"
             "query SELECT * from vw_mz_rpt_notes_ref_basic f Where f.ref_report_id = 2 and "
             "f.delete_date is null and f.link_id = 4and f.ref_is_audit = 0 \n"
             "exec sp_delete_table @table='rpt_notes', @unique_id=Long(1)\n"
             "exec sp_delete_table @table='rpt_expenditures', @unique_id=Long(2)\n"
             "rollback"},
            {"nothing loaded: nothing to delete",
             [&] {
                 EXPECT_FALSE(exp.GetData(99));
                 EXPECT_TRUE(exp.DeleteData(99));
             },
             "query SELECT * from vw_mz_rpt_expenditures_detail Where unique_id = 99 "},
        });
}

TEST_F(ExpenditureSqlTest, ExpenditureItemCalls) {
    clsExpenditureItems_Data items;
    ASSERT_TRUE(items.ConnectionVariables("exp", "recording", "", "", false, "2"));
    const std::string tail =
        "@Sequence=Null, @Entity_id=Null, @Expenditure_id=Long(1), @Election_type_code=Null, "
        "@Election_other_name=Null, @Declare_code=Null, @Amend_code=Null, "
        "@office_sought_code='OT', @office_name=Null, @county_district_name=Null, @amount=";
    test::WalkSteps(
        *rec,
        {
            {"GetData", [&] { EXPECT_TRUE(items.GetData(1)); },
             "query SELECT * from vw_mz_rpt_expenditure_items Where unique_id = 1 "},
            {"GetData new", [&] { EXPECT_TRUE(items.GetData()); },
             "query select * from vw_mz_rpt_expenditure_items where unique_id is null"},
            {"the list reads the current report, not the expenditure's",
             [&] { EXPECT_TRUE(items.GetDataList(e1, true)); },
             "query select ei.unique_id, ei.page_amount_id, ei.sequence, full_name = case    "
             "when na.is_org = 1 then na.org_name    else na.first_name + ' ' + na.last_name "
             "end, office_name = case    when ei.office_sought_code = 'OT' then 'Other - ' + "
             "ei.office_name    else o.Description end, amount  from "
             "vw_mz_rpt_expenditure_items_ref_basic ei left outer join rpt_name_address na on "
             "ei.entity_id = na.unique_id left outer join lku_office_sought o on "
             "ei.office_sought_code = o.code where ei.ref_report_id = 2 and ei.delete_date is "
             "null and ei.expenditure_id = 1 " +
                 AuditTail("rpt_expenditure_items", "ei") + "order by ei.sequence "},
            {"sequence", [&] { EXPECT_EQ(items.GetNewSequence(r1, e1), 1); },
             "query SELECT max(sequence) as sequence from vw_mz_rpt_expenditure_items_ref_basic f "
             "Where f.ref_report_id = 1 and f.delete_date is null and f.expenditure_id = 1 and "
             "f.ref_is_audit = 0 "},
            {"save new",
             [&] {
                 EXPECT_TRUE(items.GetData());
                 items.ReportID(r2);
                 items.ExpenditureID(e1);
                 items.OfficeSoughtCode("OT");
                 items.Amount(Money(5));
                 EXPECT_TRUE(items.SaveData());
             },
             "query select * from vw_mz_rpt_expenditure_items where unique_id is null\n"
             "exec sp_insert_rpt_expenditure_items @Function='A', @Report_id=Long(2), "
             "@Ref_id=Integer(-1), @Page_amount_id=Null, " +
                 tail +
                 "Currency(5)\n"
                 "query SELECT * from vw_mz_rpt_expenditure_items Where unique_id = 4 "},
            {"a changed copy names the page in lower case",
             [&] {
                 EXPECT_TRUE(items.GetData(1));
                 items.OfficeSoughtCode("OT");
                 EXPECT_TRUE(items.SaveData());
             },
             "query SELECT * from vw_mz_rpt_expenditure_items Where unique_id = 1 \n"
             "begin\n"
             "exec sp_insert_rpt_expenditure_items @Function='C', @Report_id='2', "
             "@Ref_id=Long(1), @page_amount_id=Null, " +
                 tail + "Currency(60)\ncommit"},
            {"IsNew let: a loaded row saved as a new item",
             [&] {
                 EXPECT_TRUE(items.GetData(4));
                 items.IsNew(true);
                 items.Amount(Money(7));
                 EXPECT_TRUE(items.SaveData());
             },
             "query SELECT * from vw_mz_rpt_expenditure_items Where unique_id = 4 \n"
             "exec sp_insert_rpt_expenditure_items @Function='A', @Report_id=Long(2), "
             "@Ref_id=Integer(-1), @Page_amount_id=Null, " +
                 tail +
                 "Currency(7)\n"
                 "query SELECT * from vw_mz_rpt_expenditure_items Where unique_id = 6 "},
            {"delete of an earlier version's item: a D marker",
             [&] {
                 EXPECT_TRUE(items.GetData(2));
                 EXPECT_TRUE(items.DeleteData(2));
             },
             "query SELECT * from vw_mz_rpt_expenditure_items Where unique_id = 2 \nbegin\n"
             "exec sp_insert_rpt_expenditure_items @Function='D', @Report_id='2', "
             "@Ref_id=Long(2)\ncommit"},
            {"delete in place",
             [&] {
                 EXPECT_TRUE(items.GetData(6));
                 EXPECT_TRUE(items.DeleteData(6));
             },
             "query SELECT * from vw_mz_rpt_expenditure_items Where unique_id = 6 \nbegin\n"
             "exec sp_delete_table @table='rpt_expenditure_items', @unique_id=Long(6)\ncommit"},
        });
}

TEST_F(ExpenditureSqlTest, DebtAndDebtItemCalls) {
    auto filed = d.Object<clsDebt_Data>(r1);
    ASSERT_TRUE(filed->GetData());
    filed->ReportID(r1);
    filed->DebtCode("owed");
    filed->BeginBalance(Money(500));
    ASSERT_TRUE(filed->SaveData());  // debt 1
    clsDebtItem_Data& filed_items = *filed->mobDebtItem;
    ASSERT_TRUE(filed_items.GetData());
    filed_items.ReportID(r1);
    filed_items.DebtID(1);
    filed_items.Amount(Money(200));
    ASSERT_TRUE(filed_items.SaveData());  // debt item 1

    clsDebt_Data debt;
    ASSERT_TRUE(debt.ConnectionVariables("exp", "recording", "", "", false, "2"));
    clsDebtItem_Data& items = *debt.mobDebtItem;
    const std::string from = "from vw_mz_rpt_debts_ref_basic f ";
    test::WalkSteps(
        *rec,
        {
            {"GetData", [&] { EXPECT_TRUE(debt.GetData(1)); },
             "query SELECT * from vw_mz_rpt_debts_detail Where unique_id = 1 "},
            {"GetData new", [&] { EXPECT_TRUE(debt.GetData()); },
             "query select * from vw_mz_rpt_debts where unique_id is null"},
            {"debt list", [&] { EXPECT_TRUE(debt.GetDataDebtList(r1)); },
             "query select distinct f.unique_id, pa.actual_page_number, f.sequence, "
             "case "
             "isnull(na.is_org, '1') when '1' then isnull(na.org_name,'') when '0' "
             "then "
             "isnull(na.last_name,'') + ', ' + isnull(na.first_name,'') end as "
             "'full_name', "
             "f.begin_balance, f.end_balance, f.debt_type_desc, na.is_org, "
             "f.Debt_type_code, "
             "f.page_amount_id  " +
                 from +
                 "left outer join rpt_name_address na on f.entity_id = na.unique_id "
                 "left outer "
                 "join vw_mz_rpt_page_amount_ref_basic pa on f.page_amount_id = "
                 "pa.group_id    "
                 "and f.ref_report_id = pa.ref_report_id    and pa.delete_date is null "
                 "   and "
                 "pa.ref_is_audit = 0 where f.ref_report_id = 1 and f.delete_date is "
                 "null and "
                 "f.ref_is_audit = 0 order by pa.actual_page_number, f.sequence "},
            {"sequence of a type", [&] { EXPECT_EQ(debt.GetNewSequence(r1, "owed", true), 1); },
             "query select max(sequence) as sequence " + from +
                 "where f.ref_report_id = 1 and f.delete_date is null and "
                 "f.debt_type_code = "
                 "'owed' " +
                 AuditTail("rpt_debts", "f")},
            {"item list", [&] { EXPECT_TRUE(items.GetDataList(1)); },
             "query SELECT * from vw_mz_rpt_debt_items_ref_basic f Where "
             "f.ref_report_id = 2 and "
             "f.delete_date is null and f.debt_id = 1 and f.ref_is_audit = 0 order by "
             "f.sequence "},
            {"item sequence", [&] { EXPECT_EQ(items.GetNewSequence(r2, 9), 1); },
             "query SELECT max(sequence) as sequence from "
             "vw_mz_rpt_debt_items_ref_basic f Where "
             "f.ref_report_id = 2 and f.delete_date is null and f.debt_id = 9 and "
             "f.ref_is_audit = 0 "},
            {"a changed copy of the debt",
             [&] {
                 EXPECT_TRUE(debt.GetData(1));
                 debt.PaidAmount(Money(200));
                 EXPECT_TRUE(debt.SaveData());
             },
             "query SELECT * from vw_mz_rpt_debts_detail Where unique_id = 1 \nbegin\n"
             "exec sp_insert_rpt_debts @Function='C', @Report_id='2', @Ref_id=Long(1), "
             "@Entity_id=Null, @Page_amount_id=Null, @Sequence=Null, @Debt_type_code='owed', "
             "@Begin_balance=Currency(500), @Incurred_amount=Null, @Paid_amount=Currency(200), "
             "@End_balance=Null, @Description=Null, @Amend_code=Null, @Comments=Null\ncommit"},
            {"a new item",
             [&] {
                 EXPECT_TRUE(items.GetData());
                 items.ReportID(r2);
                 items.DebtID(1);
                 items.TransDate("6/30/2005");
                 items.PurposeCode("pay");
                 EXPECT_TRUE(items.SaveData());
             },
             "query select * from vw_mz_rpt_debt_items where unique_id is null\n"
             "exec sp_insert_rpt_debt_items @Function='A', @Report_id=Long(2), "
             "@Ref_id=Integer(-1), @page_amount_id=Null, @sequence=Null, @Debt_id=Long(1), "
             "@Entity_id=Null, @Occur_date=Date(2005-06-30), @Amount=Null, @Description=Null, "
             "@Amend_code=Null, @purpose_type_code='pay'\n"
             "query SELECT * from vw_mz_rpt_debt_items Where unique_id = 2 "},
            {"the debt of an earlier version: a D marker, its items untouched",
             [&] {
                 EXPECT_TRUE(debt.GetData(1));
                 EXPECT_TRUE(debt.DeleteData(1));
             },
             "query SELECT * from vw_mz_rpt_debts_detail Where unique_id = 1 \nbegin\n"
             "exec sp_insert_rpt_debts @Function='D', @Report_id='2', @Ref_id=Long(1)\ncommit"},
        });
}

}  // namespace
}  // namespace mz
