// The two kinds of receipt items against the recording backend: exact SQL of their loaders and
// the exact calls of their save and delete paths.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "receipts/gns_items_data.h"
#include "receipts/loan_items_data.h"
#include "support/recording_backend.h"

namespace mz {
namespace {

using test::Recorder;

constexpr const char* kGnsFields =
    "unique_id:Long, report_id:Long, group_id:Long, page_amount_id:Long, Sequence:Long, "
    "receipt_id:Long, account_abbr:String(10), total_count:Long, check_count:Long, "
    "cash_count:Long, other_count:Long, Description:String(100), Occur_date:Date, "
    "individual_amount:Currency(19), Amount:Currency(19), current_page_number:Long, "
    "max_page_number:Long, amend_code:String(1), is_org:Boolean, org_name:String(100), "
    "first_name:String(50), last_name:String(50)";

constexpr const char* kLoanFields =
    "unique_id:Long, report_id:Long, group_id:Long, entity_id:Long, receipt_id:Long, "
    "page_amount_id:Long, Sequence:Long, Amount:Currency(19), Is_Amount:Integer, "
    "sum_to_date:Currency(19), Share:Double(15), amend_code:String(1), full_name:String(160), "
    "is_org:Boolean";

using test::AuditTail;

class GnsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rec = Recorder::Create("gns");
        rec->OnQuery("Where unique_id = 21 ",
                     std::string(kGnsFields) +
                         " | 21, 5, 21, Null, 1, 7, 'CHK', 3, 2, 1, 0, 'chairs', #2005-03-01#, 10, "
                         "30, Null, Null, Null, Null, 'Print Shop', Null, Null")
            .OnQuery("Where unique_id = 22 ",
                     std::string(kGnsFields) +
                         " | 22, 4, 22, Null, 2, 7, Null, Null, Null, Null, Null, 'tables', Null, "
                         "Null, 50, Null, Null, Null, True, 'Print Shop', Null, Null")
            .OnQuery("unique_id is null", kGnsFields)
            .OnProcedure("sp_insert_rpt_gns_items", {{"@Unique_id", Variant(int32_t{23})}});
        ASSERT_TRUE(items.ConnectionVariables("gns", "recording", "", "", false, "5"));
    }
    std::shared_ptr<Recorder> rec;
    clsGnSItems_Data items;
};

TEST_F(GnsTest, LoaderTexts) {
    rec->OnQuery("max(sequence)", "sequence:Long | Null");
    EXPECT_TRUE(items.GetData(21));
    EXPECT_TRUE(items.GetData());
    EXPECT_FALSE(items.GetDataList());
    EXPECT_FALSE(items.GetDataList(7));
    EXPECT_FALSE(items.GetDataList(7, true));
    EXPECT_EQ(items.GetNewSequence(4, 7), 1);  // Null counts as 0
    EXPECT_EQ(items.GetNewSequence(4, 7, true), 1);
    EXPECT_EQ(rec->Log(),
              "query SELECT * from vw_mz_rpt_gns_items Where unique_id = 21 \n"
              "query select * from vw_mz_rpt_gns_items where unique_id is null \n"
              "query \n"
              "query select * from vw_mz_rpt_gns_items_ref_basic f where f.ref_report_id = 5 and "
              "f.delete_date is null and f.receipt_id = 7 and f.ref_is_audit = 0 order by "
              "f.sequence \n"
              "query select * from vw_mz_rpt_gns_items_ref_basic f where f.ref_report_id = 5 and "
              "f.delete_date is null and f.receipt_id = 7 " +
                  AuditTail("rpt_gns_items", "f") +
                  "order by f.sequence \n"
                  "query select max(sequence) as sequence from vw_mz_rpt_gns_items_ref_basic f "
                  "where f.ref_report_id = 4 and f.delete_date is null and f.receipt_id = 7 and "
                  "f.ref_is_audit = 0 \n"
                  "query select max(sequence) as sequence from vw_mz_rpt_gns_items_ref_basic f "
                  "where f.ref_report_id = 4 and f.delete_date is null and f.receipt_id = 7 " +
                  AuditTail("rpt_gns_items", "f"));
}

TEST_F(GnsTest, PropertiesAndTheIsNewLet) {
    items.IsNew(true);  // no row: the Let does nothing
    EXPECT_FALSE(items.IsNew());
    EXPECT_FALSE(items.IsOrg());
    ASSERT_TRUE(items.GetData(21));
    EXPECT_EQ(items.TotalCount(), "3");
    EXPECT_EQ(items.TransDate(), "03/01/2005");
    EXPECT_EQ(items.OrgName(), "Print Shop");
    EXPECT_THROW(items.IsOrg(), Error);  // is_org Null
    EXPECT_EQ(items.GetTextLength(mzML_Description_GnSItems), 100);
    EXPECT_EQ(items.GetTextLength(mzML_Amount_GnSItems), 19);
    EXPECT_EQ(items.GetTextLength(5), 0);
    items.IsNew(true);
    EXPECT_TRUE(items.IsNew());
    ASSERT_TRUE(items.GetData(22));
    EXPECT_TRUE(items.IsOrg());
}

TEST_F(GnsTest, SaveAndDeletePaths) {
    const std::string columns =
        "@page_amount_id=Null, @sequence=Long(2), @Receipt_id=Long(7), @Account_abbr=Null, "
        "@Total_count=Double(4), @Check_count=Null, @Cash_count=Null, @Other_count=Null, "
        "@Description='tables', @Occur_date=Null, @Individual_amount=Null, "
        "@Amount=Currency(50), @Amend_code=Null";
    // An inherited item: a "C" copy; an item of the current report: an update in place.
    ASSERT_TRUE(items.GetData(22));
    items.TotalCount("4 pieces");
    rec->ClearLog();
    EXPECT_TRUE(items.SaveData());
    EXPECT_EQ(rec->Log(),
              "begin\nexec sp_insert_rpt_gns_items @Function='C', @Report_id='5', "
              "@Ref_id=Long(22), " +
                  columns + "\ncommit");
    ASSERT_TRUE(items.GetData(21));
    items.Description("");
    rec->ClearLog();
    EXPECT_TRUE(items.SaveData());
    EXPECT_EQ(rec->Log(),
              "begin\nexec sp_update_table @table='rpt_gns_items', @column='Description', "
              "@unique_id=Long(21), @value=Null\ncommit");

    // The front end may mark a loaded row as new: it is inserted with "A".
    ASSERT_TRUE(items.GetData(22));
    items.TotalCount("4");
    items.IsNew(true);
    rec->OnQuery("Where unique_id = 23 ", std::string(kGnsFields) +
                                              " | 23, 4, 23, Null, 2, 7, Null, 4, Null, Null, "
                                              "Null, 'tables', Null, Null, 50, Null, Null, Null, "
                                              "Null, Null, Null, Null");
    rec->ClearLog();
    EXPECT_TRUE(items.SaveData());
    EXPECT_EQ(rec->Log(),
              "exec sp_insert_rpt_gns_items @Function='A', @Report_id=Long(4), "
              "@Ref_id=Integer(-1), " +
                  columns + "\nquery SELECT * from vw_mz_rpt_gns_items Where unique_id = 23 ");
    EXPECT_FALSE(items.IsNew());

    ASSERT_TRUE(items.GetData(21));
    rec->ClearLog();
    EXPECT_TRUE(items.DeleteData(21));
    ASSERT_TRUE(items.GetData(22));
    EXPECT_TRUE(items.DeleteData(22));
    EXPECT_EQ(rec->Log(),
              "begin\nexec sp_delete_table @table='rpt_gns_items', @unique_id=Long(21)\ncommit\n"
              "query SELECT * from vw_mz_rpt_gns_items Where unique_id = 22 \n"
              "begin\nexec sp_insert_rpt_gns_items @Function='D', @Report_id='5', "
              "@Ref_id=Long(22)\ncommit");

    // Items do not test for a current row: reading it fails inside the owned transaction and
    // the error reaches the caller, also through the core's entry the object model uses.
    rec->OnQuery("Where unique_id = 99 ", kGnsFields);
    EXPECT_FALSE(items.GetData(99));
    rec->ClearLog();
    RecordObject& core = items;
    DbConnect* ob = nullptr;
    try {
        core.DeleteData(99, ob);
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), err::kNoCurrentRecord);
        EXPECT_NE(e.Source().find(" (clsGnSItems_Data.DeleteData)"), std::string::npos);
    }
    EXPECT_EQ(rec->Log(), "begin\nrollback");
    EXPECT_FALSE(items.Connection().InTransaction());
}

class LoanItemsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rec = Recorder::Create("loans");
        rec->OnQuery(
               "Where unique_id = 31 ",
               std::string(kLoanFields) +
                   " | 31, 5, 31, 400, 9, Null, 1, 2500, Null, Null, 0.5, Null, 'Kim, Joe', Null")
            .OnQuery(
                "Where unique_id = 32 ",
                std::string(kLoanFields) +
                    " | 32, 4, 32, 401, 9, Null, 2, 2500, 1, Null, 0.5, Null, 'Diaz, Eva', True")
            .OnQuery("mz_entity_column",
                     "table_name:String(50), column_name:String(50) | 'rpt_loan_items', "
                     "'entity_id'");
        ASSERT_TRUE(items.ConnectionVariables("loans", "recording", "", "", false, "5"));
    }
    std::shared_ptr<Recorder> rec;
    clsLoanItems_Data items;
};

TEST_F(LoanItemsTest, LoanListAndProperties) {
    EXPECT_FALSE(items.GetDataLoanList());
    EXPECT_FALSE(items.GetDataLoanList(9));
    EXPECT_FALSE(items.GetDataLoanList(9, true));
    const std::string select =
        "query select li.unique_id, li.page_amount_id, li.sequence, case isnull(na.is_org, '1') "
        "when '1' then isnull(na.org_name,'') when '0' then isnull(na.last_name,'') + ', ' + "
        "isnull(na.first_name,'') end as 'full_name', li.Share , li.Amount, li.sum_to_date from "
        "vw_mz_rpt_loan_items_ref_basic li left outer join rpt_name_address na on li.entity_id = "
        "na.unique_id where li.ref_report_id = 5 and li.delete_date is null and li.receipt_id = "
        "9 ";
    EXPECT_EQ(rec->Log(), "query \n" + select + "and li.ref_is_audit = 0 order by li.sequence \n" +
                              select + AuditTail("rpt_loan_items", "li") + "order by li.sequence ");

    ASSERT_TRUE(items.GetData(31));
    EXPECT_EQ(items.FullName(), "Kim, Joe");
    try {  // a Null is_org raises, as for the gift-and-service items
        items.IsOrg();
        ADD_FAILURE() << "IsOrg of Null raised nothing";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), err::kTypeMismatch);
    }
    EXPECT_EQ(items.IsAmount(), 0);  // Null reads 0
    items.IsAmount(2);               // 2 stores Null
    EXPECT_TRUE(items.mRecSet()->Value("Is_Amount").IsNull());
    // The object model reads through the generic Get: the same 0, typed Integer.
    EXPECT_EQ(items.Get(*clsLoanItems_Data::ClassInfo().FindProperty("IsAmount")),
              Variant(int16_t{0}));
    items.IsAmount(1);
    EXPECT_EQ(items.IsAmount(), 1);
    EXPECT_EQ(items.GetTextLength(mzML_Share_LoanItems), 15);
}

TEST_F(LoanItemsTest, DeleteTakesTheEntityWhenTheNameComponentAgrees) {
    EXPECT_TRUE(items.DeleteData(31));  // no current row: True, nothing done
    EXPECT_EQ(rec->Log(), "");

    rec->OnQuery("as uses", "uses:Long | 1");
    ASSERT_TRUE(items.GetData(31));
    rec->ClearLog();
    EXPECT_TRUE(items.DeleteData(31));
    const std::string can_delete =
        "query select table_name, column_name from mz_entity_column\n"
        "query select count(*) as uses from (select 1 as used from \"rpt_loan_items\" where "
        "\"entity_id\" = 400) u\n";
    EXPECT_EQ(rec->Log(), "begin\n" + can_delete +
                              "exec sp_delete_rpt_name_address @Unique_id=Long(400), "
                              "@Report_id=Long(0)\n"
                              "exec sp_delete_table @table='rpt_loan_items', @unique_id=Long(31)\n"
                              "commit");

    // An entity named elsewhere stays; the item goes.
    rec->OnQuery("as uses", "uses:Long | 2");
    auto refused = Recorder::Create("loans2");
    refused
        ->OnQuery("Where unique_id = 31 ", std::string(kLoanFields) +
                                               " | 31, 5, 31, 400, 9, Null, 1, 2500, Null, "
                                               "Null, 0.5, Null, 'Kim, Joe', Null")
        .OnQuery("mz_entity_column",
                 "table_name:String(50), column_name:String(50) | 'rpt_loan_items', 'entity_id'")
        .OnQuery("as uses", "uses:Long | 2");
    clsLoanItems_Data other;
    ASSERT_TRUE(other.ConnectionVariables("loans2", "recording", "", "", false, "5"));
    ASSERT_TRUE(other.GetData(31));
    refused->ClearLog();
    EXPECT_TRUE(other.DeleteData(31));
    EXPECT_EQ(refused->Log().find("sp_delete_rpt_name_address"), std::string::npos);
    EXPECT_NE(refused->Log().find("@table='rpt_loan_items', @unique_id=Long(31)"),
              std::string::npos);

    // An inherited item: only the "D" marker; its entity is not asked about.
    refused->OnQuery("Where unique_id = 32 ", std::string(kLoanFields) +
                                                  " | 32, 4, 32, 401, 9, Null, 2, 2500, 1, "
                                                  "Null, 0.5, Null, 'Diaz, Eva', True");
    ASSERT_TRUE(other.GetData(32));
    refused->ClearLog();
    EXPECT_TRUE(other.DeleteData(32));
    EXPECT_EQ(refused->Log(),
              "begin\nexec sp_insert_rpt_loan_items @Function='D', @Report_id='5', "
              "@Ref_id=Long(32)\ncommit");

    // A failing name deletion stops the item's deletion.
    rec->FailProcedure("sp_delete_rpt_name_address", "locked");
    ASSERT_TRUE(items.GetData(31));
    rec->ClearLog();
    EXPECT_FALSE(items.DeleteData(31));
    EXPECT_EQ(rec->Lines().back(), "rollback");
    EXPECT_EQ(rec->Log().find("sp_delete_table"), std::string::npos);
}

TEST_F(LoanItemsTest, SaveSendsTheLoanParameters) {
    ASSERT_TRUE(items.GetData(32));
    items.Share(0.25);
    rec->ClearLog();
    EXPECT_TRUE(items.SaveData());
    EXPECT_EQ(rec->Log(),
              "begin\nexec sp_insert_rpt_loan_items @Function='C', @Report_id='5', "
              "@Ref_id=Long(32), @Entity_id=Long(401), @page_amount_id=Null, @sequence=Long(2), "
              "@Receipt_id=Long(9), @Amount=Currency(2500), @Is_amount=Integer(1), "
              "@Sum_to_date=Null, @Share=Double(0.25), @Amend_code=Null\ncommit");
}

}  // namespace
}  // namespace mz
