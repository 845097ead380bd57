// clsReceipt_Data against the recording backend: the exact SQL of every loader and the exact
// procedure calls of every save and delete path, children included.
#include "receipts/receipt_data.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/error.h"
#include "support/recording_backend.h"

namespace mz {
namespace {

using test::Recorder;

// The receipt row as the views give it; a row description sets some columns, the rest are Null.
constexpr const char* kReceiptFields[] = {"unique_id:Long",
                                          "report_id:Long",
                                          "group_id:Long",
                                          "delete_date:Date",
                                          "orig_date:Date",
                                          "orig_user_id:String(50)",
                                          "user_id:String(50)",
                                          "update_date:Date",
                                          "page_amount_id:Long",
                                          "Sequence:Long",
                                          "entity_id:Long",
                                          "receipt_type_code:String(10)",
                                          "Receipt_type_desc:String(60)",
                                          "is_aggregated:Integer",
                                          "is_prior_report:Integer",
                                          "comm_level_code:String(10)",
                                          "account_abbr:String(10)",
                                          "form_of_payment_code:String(10)",
                                          "Occur_date:Date",
                                          "Amount:Currency(19)",
                                          "sum_to_date:Currency(19)",
                                          "Description:String(100)",
                                          "Purpose:String(100)",
                                          "Attendance:Long",
                                          "original_date:Date",
                                          "end_date:Date",
                                          "original_amount:Currency(19)",
                                          "Balance:Currency(19)",
                                          "interest_rate:Double(15)",
                                          "security_pledged:String(100)",
                                          "lending_institution:String(100)",
                                          "loan_number:String(30)",
                                          "orig_expenditure_date:Date",
                                          "orig_loan_date:Date",
                                          "has_associated_statement:Integer",
                                          "has_business_statement:Integer",
                                          "business_name:String(100)",
                                          "item_number:Integer",
                                          "current_page_number:Long",
                                          "max_page_number:Long",
                                          "current_page_amount:Currency(19)",
                                          "max_page_amount:Currency(19)",
                                          "amend_code:String(1)",
                                          "expenditure_id:Long",
                                          "loan_id:Long",
                                          "Payment_number:String(20)",
                                          "Comments:String(255)",
                                          "reimbursee_entity_id:Long",
                                          "is_credit_payment:Integer",
                                          "source_type_code:String(10)",
                                          "is_qualifying_contribution:Integer",
                                          "submission_date:Date",
                                          "items_sold:Integer",
                                          "total_amount_raised:Currency(19)",
                                          "conducted_as_planned:String(1)",
                                          "conducted_as_planned_comments:String(255)",
                                          "over_limit_purchases:String(1)",
                                          "over_limit_purchases_comments:String(255)",
                                          "is_org:Boolean",
                                          "org_name:String(100)",
                                          "first_name:String(50)",
                                          "last_name:String(50)"};

// "fields | row": values by column name, Null elsewhere; no values gives no row.
std::string ReceiptRow(const std::map<std::string, std::string>& values = {}) {
    std::string fields, row;
    for (const char* f : kReceiptFields) {
        const std::string name = std::string(f).substr(0, std::string(f).find(':'));
        fields += (fields.empty() ? "" : ", ") + std::string(f);
        auto it = values.find(name);
        row += (row.empty() ? "" : ", ") + (it == values.end() ? std::string("Null") : it->second);
    }
    return values.empty() ? fields : fields + " | " + row;
}

const std::string kAuditFilter =
    "and (f.ref_is_audit = 1 or (f.ref_is_audit = 0 and f.group_id not in (    select group_id "
    "   from vw_mz_rpt_Receipts_ref_basic    where unique_id <> f.unique_id    and "
    "report_group_id = f.report_group_id    and ref_is_audit = 1 ))) ";

class ReceiptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rec = Recorder::Create("receipts");
        rec->OnQuery("_detail where unique_id = 7 ", ReceiptRow({{"unique_id", "7"},
                                                                 {"report_id", "5"},
                                                                 {"group_id", "70"},
                                                                 {"entity_id", "300"},
                                                                 {"receipt_type_code", "' gns'"},
                                                                 {"Amount", "250"},
                                                                 {"is_aggregated", "0"},
                                                                 {"is_org", "False"},
                                                                 {"last_name", "'Rivera'"},
                                                                 {"first_name", "'Ana'"},
                                                                 {"Occur_date", "#2005-03-01#"}}))
            .OnQuery("_detail where unique_id = 8 ", ReceiptRow({{"unique_id", "8"},
                                                                 {"report_id", "4"},
                                                                 {"group_id", "8"},
                                                                 {"receipt_type_code", "'ind'"},
                                                                 {"Amount", "100"},
                                                                 {"org_name", "'Acme'"}}))
            .OnQuery("_detail where unique_id = 9 ", ReceiptRow({{"unique_id", "9"},
                                                                 {"report_id", "5"},
                                                                 {"group_id", "90"},
                                                                 {"receipt_type_code", "'LOAN'"}}))
            .OnQuery("_detail where unique_id = 10 ",
                     ReceiptRow({{"unique_id", "10"},
                                 {"report_id", "5"},
                                 {"group_id", "100"},
                                 {"receipt_type_code", "'frln '"}}))
            .OnQuery("unique_id is null", ReceiptRow())
            .OnProcedure("sp_insert_rpt_Receipts", {{"@Unique_id", Variant(int32_t{11})}});
        ASSERT_TRUE(receipt.ConnectionVariables("receipts", "recording", "", "", false, "5"));
    }
    std::shared_ptr<Recorder> rec;
    clsReceipt_Data receipt;
};

TEST_F(ReceiptTest, LoaderTexts) {
    EXPECT_TRUE(receipt.GetData(7));
    EXPECT_FALSE(receipt.IsNew());
    EXPECT_TRUE(receipt.GetData());
    EXPECT_FALSE(receipt.GetDataList());
    EXPECT_TRUE(receipt.IsNew());  // no text was built: the flag stays
    EXPECT_FALSE(receipt.GetDataList(5));
    EXPECT_FALSE(receipt.GetDataList(5, true));
    EXPECT_FALSE(receipt.IsNew());
    EXPECT_EQ(receipt.Count(), 0);
    EXPECT_EQ(rec->Log(),
              "query SELECT * from vw_mz_rpt_Receipts_detail where unique_id = 7 \n"
              "query select * from vw_mz_rpt_Receipts where unique_id is null \n"
              "query \n"
              "query select * from vw_mz_rpt_Receipts_ref_basic f where f.ref_report_id = 5 and "
              "f.delete_date is null and f.ref_is_audit = 0 \n"
              "query select * from vw_mz_rpt_Receipts_ref_basic f where f.ref_report_id = 5 and "
              "f.delete_date is null " +
                  kAuditFilter);

    rec->ClearLog();
    rec->OnQuery("max(sequence)", "sequence:Long | 7");
    EXPECT_EQ(receipt.GetNewSequence(5), 8);
    EXPECT_EQ(receipt.GetNewSequence(5, "ind"), 8);
    EXPECT_EQ(receipt.GetNewSequence(5, "ind", true), 8);
    EXPECT_EQ(rec->Log(),
              "query select max(sequence) as sequence from vw_mz_rpt_Receipts_ref_basic f where "
              "f.ref_report_id = 5 and f.delete_date is null and f.ref_is_audit = 0 \n"
              "query select max(sequence) as sequence from vw_mz_rpt_Receipts_ref_basic f where "
              "f.ref_report_id = 5 and f.delete_date is null and f.receipt_type_code = 'ind' "
              "and f.ref_is_audit = 0 \n"
              "query select max(sequence) as sequence from vw_mz_rpt_Receipts_ref_basic f where "
              "f.ref_report_id = 5 and f.delete_date is null and f.receipt_type_code = 'ind' " +
                  kAuditFilter);
}

TEST_F(ReceiptTest, SpecialListTexts) {
    const std::string select =
        "select distinct f.unique_id, pa.actual_page_number, f.sequence,case f.Receipt_type_code "
        "when 'ind' then    case isnull(f.is_aggregated,'0')    when '0' then       case "
        "isnull(na.is_org,'0')       when '0' then isnull(na.last_name,'') + ', ' + "
        "isnull(na.first_name,'')       when '1' then isnull(na.org_name,'')       end    when "
        "'1' then 'Aggregated Individual Contribution'    end else    case isnull(na.is_org,'0') "
        "   when '0' then isnull(na.last_name,'') + ', ' + isnull(na.first_name,'')    when '1' "
        "then isnull(na.org_name,'')    end end as 'full_name', f.amount, f.sum_to_date, "
        "f.Receipt_type_desc, f.is_aggregated, na.is_org, f.Receipt_type_code, f.page_amount_id, "
        "f.occur_date, rt.sequence, f.form_of_payment_code, f.account_abbr, rt.description, "
        "f.is_qualifying_contribution, f.description as 'rec_desc', f.submission_date, "
        "f.total_amount_raised from vw_mz_rpt_Receipts_ref_basic f left outer join "
        "rpt_name_address na on f.entity_id = na.unique_id left outer join lks_receipt_type rt "
        "on f.receipt_type_code = rt.code ";
    const std::string plain_pages =
        "left outer join vw_mz_rpt_page_amount_ref_basic pa on f.page_amount_id = pa.group_id "
        "   and f.ref_report_id = pa.ref_report_id    and pa.delete_date is null    and "
        "pa.ref_is_audit = 0 ";
    const auto audit_pages = [](const char* from, const char* where) {
        return std::string(
                   "left outer join (    select * from vw_mz_rpt_page_amount_ref_basic x    "
                   "where x.ref_report_id = 5    and (x.ref_is_audit = 1    or (x.ref_is_audit = "
                   "0    and x.group_id not in (       select group_id       ") +
               from + " vw_mz_rpt_page_amount_ref_basic       " + where +
               " unique_id <> x.unique_id       and report_group_id = x.report_group_id       "
               "and ref_is_audit = 1    )))) as pa on pa.group_id = f.page_amount_id    and "
               "f.ref_report_id = pa.ref_report_id    and pa.delete_date is null ";
    };
    // Outstanding loans report their errors under the receipt list's name.
    rec->RaiseOnQuery("f.original_amount", Error(3704, "ADODB.Recordset", "closed"), 1);
    try {
        receipt.GetDataOutstandingLoanList(5);
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Source(), "ADODB.Recordset (clsReceipt_Data.GetDataReceiptList)");
    }
    rec->ClearLog();
    rec->OnQuery("Aggregated", "unique_id:Long, full_name:String(100) | 1, 'Rivera, Ana'")
        .OnQuery("f.original_amount", "unique_id:Long, full_name:String(100) | 2, 'Bank' | 3, ''");
    EXPECT_TRUE(receipt.GetDataReceiptList(1, 5));
    EXPECT_EQ(receipt.Count(), 1);
    EXPECT_TRUE(receipt.GetDataReceiptList(2, 5));
    EXPECT_TRUE(receipt.GetDataReceiptList(3, 5, true));
    EXPECT_TRUE(receipt.GetDataOutstandingLoanList(5));
    EXPECT_EQ(receipt.Count(), 2);
    EXPECT_TRUE(receipt.GetDataOutstandingLoanList(5, true));
    EXPECT_FALSE(receipt.GetDataOutstandingLoanList());
    EXPECT_EQ(receipt.Count(), 0);
    const std::string plain_rows =
        "where f.ref_report_id = 5 and f.delete_date is null and f.Receipt_type_code != 'otln' "
        "and f.ref_is_audit = 0 ";
    const std::string loans =
        "select distinct f.unique_id, pa.actual_page_number, f.sequence, case isnull(na.is_org, "
        "'1') when '1' then isnull(na.org_name,'') when '0' then isnull(na.last_name,'') + ', ' + "
        "isnull(na.first_name,'') end as 'full_name', f.original_amount, f.balance, "
        "f.Receipt_type_desc, f.is_aggregated, na.is_org, f.Receipt_type_code, f.page_amount_id,"
        "  f.occur_date, '', f.form_of_payment_code, f.account_abbr from "
        "vw_mz_rpt_Receipts_ref_basic f left outer join rpt_name_address na on f.entity_id = "
        "na.unique_id ";
    EXPECT_EQ(
        rec->Log(),
        "query " + select + plain_pages + plain_rows + "\n" + "query " + select + plain_pages +
            plain_rows + "order by pa.actual_page_number, f.sequence \n" + "query " + select +
            audit_pages("from", "where") +
            "where f.ref_report_id = 5 and f.Receipt_type_code != 'otln' and f.delete_date is "
            "null " +
            kAuditFilter +
            "order by rt.sequence, rt.description, f.is_aggregated desc, "
            "pa.actual_page_number, f.sequence \n" +
            "query " + loans + plain_pages +
            "where f.ref_report_id = 5 and f.delete_date is null and f.Receipt_type_code = "
            "'otln' and f.ref_is_audit = 0 order by pa.actual_page_number, f.sequence \n" +
            "query " + loans + audit_pages("From", "Where") +
            "where f.ref_report_id = 5 and f.Receipt_type_code = 'otln' and f.delete_date is "
            "null " +
            kAuditFilter + "order by pa.actual_page_number, f.sequence \n" + "query ");
}

TEST_F(ReceiptTest, PropertiesAndNames) {
    EXPECT_EQ(receipt.FullName(), "");  // nothing loaded
    EXPECT_TRUE(receipt.IsNew() == false);
    ASSERT_TRUE(receipt.GetData(7));
    EXPECT_EQ(receipt.FullName(), "Rivera, Ana");
    EXPECT_EQ(receipt.TransDate(), "03/01/2005");
    EXPECT_EQ(receipt.Amount(), Currency::FromDouble(250));
    EXPECT_EQ(receipt.GetTextLength(mzML_Amount_Receipt), 19);
    EXPECT_EQ(receipt.GetTextLength(mzML_PaymentNumber_Receipt), 20);
    EXPECT_EQ(receipt.GetTextLength(0), 0);
    EXPECT_EQ(receipt.GetTextLength(17), 0);
    receipt.Attendance("12 people");
    EXPECT_EQ(receipt.Attendance(), "12");
    receipt.ExpenditureID("");
    EXPECT_EQ(receipt.ExpenditureID(), "");
    receipt.SubmissionDate("not a date");
    EXPECT_EQ(receipt.SubmissionDate(), "");
    ASSERT_TRUE(receipt.GetData(8));
    EXPECT_EQ(receipt.FullName(), "Acme");  // is_org Null reads as an organisation
    EXPECT_FALSE(receipt.ValidateData());

    // The lists carry is_org but no name columns: FullName raises there.
    rec->OnQuery("Aggregated", "unique_id:Long, is_org:Boolean | 1, False");
    ASSERT_TRUE(receipt.GetDataReceiptList(1, 5));
    EXPECT_THROW(receipt.FullName(), Error);
}

TEST_F(ReceiptTest, SavePaths) {
    ASSERT_TRUE(receipt.GetData(7));
    rec->ClearLog();
    EXPECT_TRUE(receipt.SaveData());  // nothing changed: no call
    EXPECT_EQ(rec->Log(), "");
    EXPECT_TRUE(receipt.SaveData(true));  // forced: the transaction runs, no column to send
    EXPECT_EQ(rec->Log(), "begin\ncommit");
    rec->ClearLog();

    // A row of the current report: one update per changed column, a cleared text as Null.
    receipt.Amount(Currency::FromDouble(300));
    receipt.Description("");
    receipt.LoanNumber("L-1");
    EXPECT_TRUE(receipt.SaveData());
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "exec sp_update_table @table='rpt_Receipts', @column='Amount', @unique_id=Long(7), "
              "@value='300'\n"
              "exec sp_update_table @table='rpt_Receipts', @column='loan_number', "
              "@unique_id=Long(7), @value='L-1'\n"
              "commit");

    // A row of an earlier version: one "C" copy with every column, not two updates.
    ASSERT_TRUE(receipt.GetData(8));
    receipt.Amount(Currency::FromDouble(150));
    receipt.Purpose("dinner");
    rec->ClearLog();
    EXPECT_TRUE(receipt.SaveData());
    const std::string columns =
        "@Entity_id=Null, @Page_amount_id=Null, @Sequence=Null, @Receipt_type_code='ind', "
        "@Is_aggregated=Null, @Is_prior_report=Null, @Comm_level_code=Null, @Account_abbr=Null, "
        "@Form_of_payment_code=Null, @Occur_date=Null, @Amount=Currency(150), "
        "@Sum_to_date=Null, @Description=Null, @Purpose='dinner', @Attendance=Null, "
        "@Original_date=Null, @End_date=Null, @Original_amount=Null, @Balance=Null, "
        "@Interest_rate=Null, @Security_pledged=Null, @Lending_institution=Null, "
        "@Loan_number=Null, @Orig_expenditure_date=Null, @Orig_loan_date=Null, "
        "@Has_associated_statement=Null, @Has_business_statement=Null, @Business_name=Null, "
        "@Item_number=Null, @Amend_code=Null, @Expenditure_id=Null, @Loan_id=Null, "
        "@Payment_number=Null, @Comments=Null, @reimbursee_entity_id=Null, "
        "@Is_credit_payment=Null, @source_type_code=Null, @is_qualifying_contribution=Null, "
        "@submission_date=Null, @items_sold=Null, @total_amount_raised=Null, "
        "@conducted_as_planned=Null, @conducted_as_planned_comments=Null, "
        "@over_limit_purchases=Null, @over_limit_purchases_comments=Null";
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "exec sp_insert_rpt_Receipts @Function='C', @Report_id='5', @Ref_id=Long(8), " +
                  columns + "\ncommit");
    EXPECT_EQ(receipt.UniqueID(), 8);  // still the inherited row
    ASSERT_TRUE(receipt.GetData(8));
    rec->ClearLog();
    EXPECT_TRUE(receipt.SaveData(true));  // forced on an unchanged inherited row: its copy
    ASSERT_EQ(rec->Lines().size(), 3u);
    EXPECT_EQ(rec->Lines()[1].rfind("exec sp_insert_rpt_Receipts @Function='C', @Report_id='5', "
                                    "@Ref_id=Long(8), @Entity_id=Null",
                                    0),
              0u);

    // A new row: "A", the filter cleared and the row read back from the detail view.
    ASSERT_TRUE(receipt.GetData());
    receipt.ReportID(5);
    receipt.ReceiptCode("ind");
    receipt.Amount(Currency::FromDouble(150));
    receipt.Purpose("dinner");
    rec->OnQuery("_detail where unique_id = 11 ", ReceiptRow({{"unique_id", "11"}}));
    rec->ClearLog();
    EXPECT_TRUE(receipt.SaveData());
    EXPECT_EQ(rec->Log(),
              "exec sp_insert_rpt_Receipts @Function='A', @Report_id=Long(5), "
              "@Ref_id=Integer(-1), " +
                  columns +
                  "\nquery SELECT * from vw_mz_rpt_Receipts_detail where unique_id = 11 ");
    EXPECT_FALSE(receipt.IsNew());
    EXPECT_EQ(receipt.UniqueID(), 11);

    // An error text ends the save quietly, with nothing left open.
    ASSERT_TRUE(receipt.GetData(7));
    receipt.Amount(Currency::FromDouble(1));
    rec->FailProcedure("sp_update_table", "sp_update_table: no such column");
    rec->ClearLog();
    EXPECT_FALSE(receipt.SaveData());
    EXPECT_EQ(rec->Lines().back(), "rollback");
}

// The scripted children of receipt 7 (GNS), 9 (LOAN) and 10 (FRLN): two items each, one note of
// the current report and one of an earlier report, the contributor free to go.
void ScriptChildren(Recorder& rec) {
    rec.OnQuery(
           "vw_mz_rpt_gns_items_ref_basic f where f.ref_report_id = 5 and f.delete_date "
           "is null and f.receipt_id = 7 ",
           "unique_id:Long, report_id:Long | 21, 5 | 22, 4")
        .OnQuery("f.receipt_id = 9 ",
                 "unique_id:Long, report_id:Long, entity_id:Long | 31, 5, Null | 32, 5, Null")
        .OnQuery("f.receipt_id = 10 ",
                 "unique_id:Long, report_id:Long, entity_id:Long | 41, 5, Null")
        .OnQuery("f.link_id = 70", "unique_id:Long, report_id:Long | 51, 5 | 52, 4")
        .OnQuery("mz_entity_column",
                 "table_name:String(50), column_name:String(50) | "
                 "'rpt_Receipts', 'entity_id'")
        .OnQuery("as uses", "uses:Long | 1");
}

TEST_F(ReceiptTest, DeleteCascadeByType) {
    ScriptChildren(*rec);
    EXPECT_TRUE(receipt.DeleteData(7));  // nothing loaded: True, nothing done
    EXPECT_EQ(rec->Log(), "");

    // GNS (stored " gns"): items, then notes of the current report, then the name, then the row.
    ASSERT_TRUE(receipt.GetData(7));
    rec->ClearLog();
    DbConnect* conn = nullptr;
    EXPECT_TRUE(receipt.DeleteData(7, conn));
    EXPECT_EQ(conn, &receipt.Connection());
    const std::string items_of_7 =
        "query select * from vw_mz_rpt_gns_items_ref_basic f where f.ref_report_id = 5 and "
        "f.delete_date is null and f.receipt_id = 7 and f.ref_is_audit = 0 order by f.sequence \n";
    const std::string notes_and_name =
        "query SELECT * from vw_mz_rpt_notes_ref_basic f Where f.ref_report_id = 5 and "
        "f.delete_date is null and f.link_id = 70and f.ref_is_audit = 0 \n"
        "exec sp_delete_table @table='rpt_notes', @unique_id=Long(51)\n"
        "query select table_name, column_name from mz_entity_column\n"
        "query select count(*) as uses from (select 1 as used from \"rpt_Receipts\" where "
        "\"entity_id\" = 300) u\n"
        "exec sp_delete_rpt_name_address @Unique_id=Long(300), @Report_id=Long(5)\n";
    EXPECT_EQ(rec->Log(),
              "begin\n" + items_of_7 +
                  "exec sp_delete_table @table='rpt_gns_items', @unique_id=Long(21)\n"
                  "exec sp_insert_rpt_gns_items @Function='D', @Report_id='5', @Ref_id=Long(22)\n" +
                  notes_and_name +
                  "exec sp_delete_table @table='rpt_Receipts', @unique_id=Long(7)\n"
                  "commit");

    // LOAN and FRLN ("frln " as stored) delete their loan items; no entity here, no name step.
    ASSERT_TRUE(receipt.GetData(9));
    rec->ClearLog();
    EXPECT_TRUE(receipt.DeleteData(9));
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "query select * from vw_mz_rpt_loan_items_ref_basic f where f.ref_report_id = 5 "
              "and f.delete_date is null and f.receipt_id = 9 and f.ref_is_audit = 0 order by "
              "f.sequence \n"
              "exec sp_delete_table @table='rpt_loan_items', @unique_id=Long(31)\n"
              "exec sp_delete_table @table='rpt_loan_items', @unique_id=Long(32)\n"
              "query SELECT * from vw_mz_rpt_notes_ref_basic f Where f.ref_report_id = 5 and "
              "f.delete_date is null and f.link_id = 90and f.ref_is_audit = 0 \n"
              "exec sp_delete_table @table='rpt_Receipts', @unique_id=Long(9)\n"
              "commit");
    ASSERT_TRUE(receipt.GetData(10));
    rec->ClearLog();
    EXPECT_TRUE(receipt.DeleteData(10));
    EXPECT_NE(rec->Log().find("sp_delete_table @table='rpt_loan_items', @unique_id=Long(41)"),
              std::string::npos);

    // An inherited receipt gets only the "D" marker: no child, note or name is touched.
    ASSERT_TRUE(receipt.GetData(8));
    rec->ClearLog();
    EXPECT_TRUE(receipt.DeleteData(8));
    EXPECT_EQ(rec->Log(),
              "begin\nexec sp_insert_rpt_Receipts @Function='D', @Report_id='5', "
              "@Ref_id=Long(8)\ncommit");
}

TEST_F(ReceiptTest, DeleteOnALentConnectionNeverEndsItsTransaction) {
    ScriptChildren(*rec);
    clsReceipt_Data lender;
    ASSERT_TRUE(lender.ConnectionVariables("receipts", "recording", "", "", false, "5"));
    DbConnect* conn = &lender.Connection();
    conn->BeginTrans();
    ASSERT_TRUE(receipt.GetData(7));
    rec->ClearLog();
    EXPECT_TRUE(receipt.DeleteData(7, conn));
    EXPECT_EQ(conn, &lender.Connection());
    EXPECT_EQ(rec->Log().find("begin"), std::string::npos);
    EXPECT_EQ(rec->Log().find("commit"), std::string::npos);
    EXPECT_TRUE(conn->InTransaction());

    rec->FailProcedure("sp_delete_table", "sp_delete_table: locked", 0);
    rec->ClearLog();
    EXPECT_FALSE(receipt.DeleteData(7, conn));
    EXPECT_TRUE(conn->InTransaction());  // the lender rolls back, not the receipt
    EXPECT_EQ(rec->Log().find("rollback"), std::string::npos);
    conn->EndTrans(false);
}

// Exposes the item step of the cascade, whose failure texts the caller never sees (no error is
// pending when a child answers False).
class ReceiptProbe : public clsReceipt_Data {
  public:
    using clsReceipt_Data::DeleteItems;
};

void ScriptReceipts(Recorder& rec) {
    rec.OnQuery("_detail where unique_id = 7 ", ReceiptRow({{"unique_id", "7"},
                                                            {"report_id", "5"},
                                                            {"group_id", "70"},
                                                            {"entity_id", "300"},
                                                            {"receipt_type_code", "'GNS'"}}))
        .OnQuery("_detail where unique_id = 9 ", ReceiptRow({{"unique_id", "9"},
                                                             {"report_id", "5"},
                                                             {"group_id", "90"},
                                                             {"receipt_type_code", "'LOAN'"}}))
        .OnQuery("_detail where unique_id = 10 ", ReceiptRow({{"unique_id", "10"},
                                                              {"report_id", "5"},
                                                              {"group_id", "100"},
                                                              {"receipt_type_code", "'FRLN'"}}));
    ScriptChildren(rec);
}

TEST(ReceiptCascadeTest, EachFailingStepStopsTheCascadeAndRollsBack) {
    struct Case {
        int32_t receipt;
        const char* fail;  // the procedure failing, at its nth call
        int nth;
        const char* last;  // the last call made, before the roll-back
    };
    const Case cases[] = {
        {7, "sp_delete_table", 1,
         "exec sp_delete_table @table='rpt_gns_items', @unique_id=Long(21)"},
        {7, "sp_insert_rpt_gns_items", 1,
         "exec sp_insert_rpt_gns_items @Function='D', @Report_id='5', @Ref_id=Long(22)"},
        {9, "sp_delete_table", 2,
         "exec sp_delete_table @table='rpt_loan_items', @unique_id=Long(32)"},
        {10, "sp_delete_table", 1,
         "exec sp_delete_table @table='rpt_loan_items', @unique_id=Long(41)"},
        {7, "sp_delete_table", 2, "exec sp_delete_table @table='rpt_notes', @unique_id=Long(51)"},
        {7, "sp_delete_rpt_name_address", 1,
         "exec sp_delete_rpt_name_address @Unique_id=Long(300), @Report_id=Long(5)"},
        {7, "sp_delete_table", 3, "exec sp_delete_table @table='rpt_Receipts', @unique_id=Long(7)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.last);
        auto rec = Recorder::Create("steps");
        ScriptReceipts(*rec);
        rec->FailProcedure(c.fail, "injected", c.nth);
        clsReceipt_Data receipt;
        ASSERT_TRUE(receipt.ConnectionVariables("steps", "recording", "", "", false, "5"));
        ASSERT_TRUE(receipt.GetData(c.receipt));
        EXPECT_FALSE(receipt.DeleteData(c.receipt));
        ASSERT_GE(rec->Lines().size(), 2u);
        EXPECT_EQ(rec->Lines().back(), "rollback");
        EXPECT_EQ(rec->Lines()[rec->Lines().size() - 2], c.last);
    }

    // The text each kind of item failure stops with.
    for (auto [receipt_id, text] : {std::pair{7, "Receipt GnS Item Delete Error"},
                                    std::pair{9, "Receipt Loan Proceed Delete Error"},
                                    std::pair{10, "Receipt Forgiven Loan Delete Error"}}) {
        auto rec = Recorder::Create("items");
        ScriptReceipts(*rec);
        rec->FailProcedure("", "injected");
        ReceiptProbe probe;
        ASSERT_TRUE(probe.ConnectionVariables("items", "recording", "", "", false, "5"));
        ASSERT_TRUE(probe.GetData(receipt_id));
        DbConnect* conn = &probe.Connection();
        std::string failure;
        EXPECT_FALSE(probe.DeleteItems(conn, failure));
        EXPECT_EQ(failure, text);
    }
}

TEST_F(ReceiptTest, ARaisedErrorInAChildReachesTheCallerWithBothSources) {
    ScriptChildren(*rec);
    rec->RaiseOnProcedure("sp_delete_table", Error(-2147217900, "SQLite", "disk I/O error"), 2);
    ASSERT_TRUE(receipt.GetData(7));
    rec->ClearLog();
    try {
        receipt.DeleteData(7);
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), -2147217900);
        EXPECT_EQ(e.Source(), "SQLite (clsNotes.DeleteData) (clsReceipt_Data.DeleteData)");
        EXPECT_EQ(e.Description(), "disk I/O error");
    }
    EXPECT_EQ(rec->Lines().back(), "rollback");
}

}  // namespace
}  // namespace mz
