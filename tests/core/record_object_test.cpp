// The record core through a small class of its own, against the recording backend: exact SQL
// texts, call order, property rules and the exits of the save and delete protocol.
#include "core/record_object.h"

#include <gtest/gtest.h>

#include "core/list_query.h"
#include "platform/error.h"
#include "support/recording_backend.h"

namespace mz {
namespace {

using test::Recorder;

constexpr PropertyDef kProps[] = {
    {"UniqueID", "unique_id", PropType::Long, kGet},
    {"ReportID", "report_id", PropType::Long, kGet | kLet},
    {"Name", "name", PropType::Text, kGet | kLet},
    {"Amount", "amount", PropType::Currency, kGet | kLet},
    {"Flag", "is_flag", PropType::Boolean, kGet | kLet},
    {"Tri", "tri", PropType::Integer, kGet | kLet, Conversion::TriState},
    {"TransDate", "occur_date", PropType::Text, kGet | kLet, Conversion::DateText},
    {"Attendance", "attendance", PropType::Text, kGet | kLet, Conversion::NumberText},
};
const PropertyDef& kUniqueID = kProps[0];
const PropertyDef& kReportID = kProps[1];
const PropertyDef& kName = kProps[2];
const PropertyDef& kAmount = kProps[3];
const PropertyDef& kFlag = kProps[4];
const PropertyDef& kTri = kProps[5];
const PropertyDef& kDate = kProps[6];
const PropertyDef& kAttendance = kProps[7];
// The same column read with the other three-state rule.
constexpr PropertyDef kTwoIsNull{"Stated", "tri", PropType::Integer, kGet | kLet,
                                 Conversion::TwoIsNull};

constexpr InsertParamDef kParams[] = {
    {"@Name", "name"},
    {"@Amount", "amount"},
    {"@Is_flag", "is_flag"},
    {"@Occur_date", "occur_date", VarType::Empty, kOnAdd},
    {"@Tri", "tri", VarType::Int16, kOnChange},
};
constexpr TextLengthDef kLengths[] = {{1, "name"}, {2, "amount", TextLengthDef::kPrecision}};

constexpr RecordClassInfo kWidget = [] {
    RecordClassInfo info;
    info.class_name = "clsWidget";
    info.table = "rpt_widgets";
    info.section = "WID";
    info.list_order = "order by f.sequence ";
    info.properties = kProps;
    info.insert_params = kParams;
    info.text_lengths = kLengths;
    info.notes_failure = "Widget Notes Delete Error";
    return info;
}();

// A class whose DeleteData takes a connection but does not test for a current row.
constexpr RecordClassInfo kUntested = [] {
    RecordClassInfo info = kWidget;
    info.class_name = "clsUntested";
    info.delete_tests_ready = false;
    return info;
}();

// Its cascade steps leave a query in the log, so the log shows which connection they used.
class Widget : public RecordObject {
  public:
    explicit Widget(const RecordClassInfo& info = kWidget) : RecordObject(info) {}
    bool SaveForced() { return SaveRow(true); }
    bool items_ok = true;
    bool notes_ok = true;
    bool raise_in_notes = false;

  protected:
    bool DeleteItems(DbConnect*& conn, std::string& failure_text) override {
        ResultSet rs;
        conn->OpenRecordset("select 'items'", rs);
        if (!items_ok) failure_text = "Widget Item Delete Error";
        return items_ok;
    }
    bool DeleteNotes(DbConnect*& conn) override {
        ResultSet rs;
        conn->OpenRecordset("select 'notes'", rs);
        if (raise_in_notes) throw Error(-2147217900, "SQLite", "disk I/O error");
        return notes_ok;
    }
};

constexpr const char* kFields =
    "unique_id:Long, report_id:Long, group_id:Long, name:String(40), amount:Currency(19), "
    "is_flag:Boolean, tri:Integer, occur_date:Date, attendance:Double, sequence:Long";
const std::string kRow7 =
    std::string(kFields) + " | 7, 5, 70, 'Anne', 12.5, True, Null, #2005-03-01#, Null, 1";
const std::string kRow8Earlier =
    std::string(kFields) + " | 8, 4, 80, 'Carl', 1, False, 1, Null, 3, 2";

class RecordObjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rec = Recorder::Create("core");
        rec->OnQuery("unique_id = 7 ", kRow7)
            .OnQuery("unique_id = 8 ", kRow8Earlier)
            .OnQuery(
                "unique_id = 70 ",
                std::string(kFields) + " | 70, 5, 70, 'Bob', Null, Null, Null, Null, Null, Null")
            .OnQuery("unique_id is null", kFields)
            .OnProcedure("sp_insert_rpt_widgets", {{"@Unique_id", Variant(int32_t{70})}});
        ASSERT_TRUE(w.ConnectionVariables("core", "recording", "", "", false, "5"));
        rec->ClearLog();
    }
    std::shared_ptr<Recorder> rec;
    Widget w;
};

Error Raised(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was raised";
    return Error();
}

TEST_F(RecordObjectTest, GetDataReadsOneRowOrStartsABlankOne) {
    EXPECT_TRUE(w.GetData(7));
    EXPECT_FALSE(w.IsNew());
    EXPECT_EQ(w.GetText(kName), "Anne");
    EXPECT_TRUE(w.GetData());
    EXPECT_TRUE(w.IsNew());
    EXPECT_TRUE(w.DataReady());
    EXPECT_EQ(w.GetText(kName), "");
    EXPECT_EQ(w.GetLong(kUniqueID), 0);
    EXPECT_EQ(w.GetInteger(kTri), 2);  // a blank three-state reads as 2
    EXPECT_FALSE(w.GetData(99));       // no such row
    EXPECT_FALSE(w.DataReady());
    EXPECT_FALSE(w.IsNew());
    EXPECT_EQ(w.GetText(kName), "");
    EXPECT_EQ(w.GetCurrency(kAmount), Currency());
    EXPECT_EQ(w.mRecSet(), nullptr);
    EXPECT_EQ(rec->Log(),
              "query SELECT * from vw_mz_rpt_widgets where unique_id = 7 \n"
              "query select * from vw_mz_rpt_widgets where unique_id is null\n"
              "query SELECT * from vw_mz_rpt_widgets where unique_id = 99 ");

    rec->RaiseOnQuery("unique_id = 5 ", Error(3704, "ADODB.Recordset", "closed"));
    const Error e = Raised([&] { w.GetData(5); });
    EXPECT_EQ(e.Source(), "ADODB.Recordset (clsWidget.GetData)");
}

TEST_F(RecordObjectTest, PropertyGetAndLetFollowTheirTypes) {
    w.Let(kName, Variant("ignored"));  // before any load: nothing happens
    ASSERT_TRUE(w.GetData(7));
    EXPECT_EQ(w.GetText(kDate), "03/01/2005");
    EXPECT_EQ(w.GetCurrency(kAmount), Currency::FromRaw(125000));
    EXPECT_TRUE(w.GetBoolean(kFlag));
    EXPECT_EQ(w.GetText(kAttendance), "");

    ResultSet& rs = *w.mRecSet();
    w.Let(kName, Variant(""));
    EXPECT_TRUE(rs.Value("name").IsNull());
    EXPECT_EQ(w.GetText(kName), "");
    w.Let(kDate, Variant("02/30/2005"));
    EXPECT_TRUE(rs.Value("occur_date").IsNull());
    w.Let(kDate, Variant("4/5/2006"));
    EXPECT_EQ(w.GetText(kDate), "04/05/2006");
    w.Let(kAttendance, Variant("12abc"));
    EXPECT_EQ(rs.Value("attendance"), Variant(12.0));
    w.Let(kAttendance, Variant(""));
    EXPECT_TRUE(rs.Value("attendance").IsNull());
    w.Let(kTri, Variant(int16_t{2}));
    EXPECT_TRUE(rs.Value("tri").IsNull());
    w.Let(kTri, Variant(int16_t{0}));
    EXPECT_EQ(w.GetInteger(kTri), 0);
    w.Let(kTwoIsNull, Variant(int16_t{2}));  // stores Null as TriState does, but reads it as 0
    EXPECT_TRUE(rs.Value("tri").IsNull());
    EXPECT_EQ(w.Get(kTwoIsNull), Variant(int16_t{0}));
    EXPECT_EQ(w.Get(kTri), Variant(int16_t{2}));
    w.Let(kTwoIsNull, Variant(int16_t{1}));
    EXPECT_EQ(w.Get(kTwoIsNull), Variant(int16_t{1}));
    EXPECT_THROW(w.Let(kUniqueID, Variant(int32_t{1})), Error);  // the database sets it

    EXPECT_EQ(w.GetTextLength(1), 40);
    EXPECT_EQ(w.GetTextLength(2), 19);
    EXPECT_EQ(w.GetTextLength(0), 0);
    EXPECT_EQ(w.GetTextLength(3), 0);
}

TEST_F(RecordObjectTest, NavigationAndFilterQuirks) {
    EXPECT_THROW(w.MoveFirst(), Error);  // never loaded
    EXPECT_FALSE(w.EOF());
    rec->OnQuery("_ref_basic f", std::string(kFields) +
                                     " | 1, 5, 1, 'a', 1, True, 1, Null, Null, 1"
                                     " | 2, 5, 2, 'b', 2, True, 1, Null, Null, 2");
    ASSERT_TRUE(w.GetDataList(5));
    EXPECT_EQ(w.Count(), 2);
    EXPECT_EQ(w.CurrentCount(), 2);
    EXPECT_FALSE(w.MoveNext());
    EXPECT_FALSE(w.MoveNext());
    EXPECT_TRUE(w.EOF());
    EXPECT_TRUE(w.DataReady());  // past the end still counts
    w.MoveNext();                // at EOF: back to the last row
    EXPECT_EQ(w.GetText(kName), "b");
    w.MoveFirst();
    w.MovePrevious();
    EXPECT_TRUE(w.BOF());
    w.MovePrevious();  // at BOF: to the first row
    EXPECT_EQ(w.GetText(kName), "a");

    w.ListFilter("name = 'b'");
    EXPECT_EQ(w.CurrentCount(), 1);
    EXPECT_EQ(w.ListFilter(), "name = 'b'");
    w.ListFilter("0");
    EXPECT_EQ(w.CurrentCount(), 2);
}

TEST_F(RecordObjectTest, ListAndSequenceTexts) {
    const std::string view = "vw_mz_rpt_widgets_ref_basic";
    const std::string audit =
        std::string("and (f.ref_is_audit = 1 ") + "or (f.ref_is_audit = 0 " +
        "and f.group_id not in ( " + "   select group_id " + "   from vw_mz_" + "rpt_widgets" +
        "_ref_basic " + "   where unique_id <> f.unique_id " +
        "   and report_group_id = f.report_group_id " + "   and ref_is_audit = 1 " + "))) ";
    rec->OnQuery("max(sequence)", "sequence:Long | 7");
    EXPECT_FALSE(w.GetDataList(5));  // no rows
    EXPECT_EQ(w.Count(), 0);
    EXPECT_FALSE(w.GetDataList(5, true));
    EXPECT_FALSE(w.GetDataList());
    EXPECT_EQ(w.GetNewSequence(5), 8);
    EXPECT_EQ(w.GetNewSequence(5, true), 8);
    EXPECT_EQ(rec->Log(), "query select * from " + view +
                              " f where f.ref_report_id = 5 and f.delete_date is null "
                              "and f.ref_is_audit = 0 order by f.sequence \n"
                              "query select * from " +
                              view + " f where f.ref_report_id = 5 and f.delete_date is null " +
                              audit +
                              "order by f.sequence \n"
                              "query \n"
                              "query select max(sequence) as sequence from " +
                              view +
                              " f where f.ref_report_id = 5 "
                              "and f.delete_date is null and f.ref_is_audit = 0 \n"
                              "query select max(sequence) as sequence from " +
                              view +
                              " f where f.ref_report_id = 5 "
                              "and f.delete_date is null " +
                              audit);

    auto fresh = Recorder::Create("core");  // new script, same name
    Widget other;
    other.ConnectionVariables("core", "recording", "", "", false, "5");
    fresh->FailQuery("f.ref_report_id = 6 ", "no such view")
        .OnQuery("max(sequence)", "sequence:Long | Null");  // rules match in order
    EXPECT_EQ(other.GetNewSequence(5), 1);
    EXPECT_EQ(other.GetNewSequence(6), 0);
}

TEST_F(RecordObjectTest, SaveUpdatesChangedColumnsOfTheCurrentReportInATransaction) {
    ASSERT_TRUE(w.GetData(7));
    rec->ClearLog();
    EXPECT_TRUE(w.SaveData());  // nothing changed: nothing written
    EXPECT_EQ(rec->Log(), "");
    w.Let(kName, Variant(""));
    w.Let(kAmount, Variant(Currency::FromRaw(200000)));
    w.Let(kFlag, Variant(false));
    w.Let(kDate, Variant("03/01/2005"));  // same date: unchanged
    EXPECT_TRUE(w.SaveData());
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "exec sp_update_table @table='rpt_widgets', @column='name', @unique_id=Long(7), "
              "@value=Null\n"
              "exec sp_update_table @table='rpt_widgets', @column='amount', @unique_id=Long(7), "
              "@value='20'\n"
              "exec sp_update_table @table='rpt_widgets', @column='is_flag', @unique_id=Long(7), "
              "@value='False'\n"
              "commit");
}

TEST_F(RecordObjectTest, SaveCopiesARowOfAnEarlierVersionOnce) {
    ASSERT_TRUE(w.GetData(8));
    rec->ClearLog();
    w.Let(kName, Variant("Dora"));
    w.Let(kAmount, Variant(Currency::FromRaw(30000)));
    EXPECT_TRUE(w.SaveData());
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "exec sp_insert_rpt_widgets @Function='C', @Report_id='5', @Ref_id=Long(8), "
              "@Name='Dora', @Amount=Currency(3), @Is_flag=Boolean(False), @Tri=Integer(1)\n"
              "commit");
    EXPECT_EQ(w.GetText(kName), "Dora");  // not re-read
}

TEST_F(RecordObjectTest, SaveInsertsANewRowAndReadsItBack) {
    ASSERT_TRUE(w.GetData());
    w.Let(kReportID, Variant(int32_t{5}));
    w.Let(kName, Variant("Bob"));
    rec->ClearLog();
    EXPECT_TRUE(w.SaveData());
    EXPECT_EQ(rec->Log(),
              "exec sp_insert_rpt_widgets @Function='A', @Report_id=Long(5), @Ref_id=Integer(-1), "
              "@Name='Bob', @Amount=Null, @Is_flag=Null, @Occur_date=Null\n"
              "query SELECT * from vw_mz_rpt_widgets where unique_id = 70 ");
    EXPECT_FALSE(w.IsNew());
    EXPECT_EQ(w.GetLong(kUniqueID), 70);
}

TEST_F(RecordObjectTest, AForcedSaveWritesAnUnchangedRowByItsUsualPath) {
    ASSERT_TRUE(w.GetData(7));
    rec->ClearLog();
    EXPECT_TRUE(w.SaveForced());  // no column to send, the transaction still runs
    EXPECT_EQ(rec->Log(), "begin\ncommit");

    ASSERT_TRUE(w.GetData(8));
    rec->ClearLog();
    EXPECT_TRUE(w.SaveForced());
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "exec sp_insert_rpt_widgets @Function='C', @Report_id='5', @Ref_id=Long(8), "
              "@Name='Carl', @Amount=Currency(1), @Is_flag=Boolean(False), @Tri=Integer(1)\n"
              "commit");

    ASSERT_TRUE(w.GetData());
    rec->ClearLog();
    EXPECT_TRUE(w.SaveForced());
    EXPECT_EQ(rec->Lines().front(),
              "exec sp_insert_rpt_widgets @Function='A', @Report_id=Null, @Ref_id=Integer(-1), "
              "@Name=Null, @Amount=Null, @Is_flag=Null, @Occur_date=Null");
    EXPECT_EQ(w.GetLong(kUniqueID), 70);
}

TEST_F(RecordObjectTest, SaveFailuresRollBack) {
    ASSERT_TRUE(w.GetData(7));
    w.Let(kName, Variant("x"));
    w.Let(kAmount, Variant(Currency()));
    rec->FailProcedure("sp_update_table", "sp_update_table: no column", 2);
    rec->ClearLog();
    EXPECT_FALSE(w.SaveData());
    EXPECT_FALSE(w.Connection().InTransaction());
    EXPECT_EQ(rec->Lines().size(), 4u);
    EXPECT_EQ(rec->Lines().back(), "rollback");

    rec->RaiseOnProcedure("sp_update_table", Error(-2147217900, "SQLite", "constraint failed"));
    rec->ClearLog();
    const Error e = Raised([&] { w.SaveData(); });
    EXPECT_EQ(e.Source(), "SQLite (clsWidget.SaveData)");
    EXPECT_EQ(e.Description(), "constraint failed");
    EXPECT_EQ(rec->Lines().back(), "rollback");

    Widget unloaded;
    const Error none = Raised([&] { unloaded.SaveData(); });
    EXPECT_EQ(none.Number(), 91);
    EXPECT_EQ(none.Source(), "MZ_report_bus (clsWidget.SaveData)");
}

TEST_F(RecordObjectTest, DeleteCascadesOnItsOwnTransactionOrMarksEarlierRows) {
    DbConnect* ob = nullptr;
    EXPECT_TRUE(w.DeleteData(7, ob));  // nothing loaded: nothing done
    EXPECT_EQ(ob, nullptr);
    EXPECT_EQ(rec->Log(), "");

    ASSERT_TRUE(w.GetData(7));
    rec->ClearLog();
    EXPECT_TRUE(w.DeleteData(7, ob));
    EXPECT_EQ(ob, &w.Connection());  // the caller receives the connection used
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "query select 'items'\n"
              "query select 'notes'\n"
              "exec sp_delete_table @table='rpt_widgets', @unique_id=Long(7)\n"
              "commit");

    ASSERT_TRUE(w.GetData(8));
    rec->ClearLog();
    EXPECT_TRUE(w.DeleteData(8));
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "exec sp_insert_rpt_widgets @Function='D', @Report_id='5', @Ref_id=Long(8)\n"
              "commit");
}

TEST_F(RecordObjectTest, DeleteFailuresEndOnlyAnOwnedTransaction) {
    ASSERT_TRUE(w.GetData(7));
    w.notes_ok = false;
    rec->ClearLog();
    EXPECT_FALSE(w.DeleteData(7));
    EXPECT_EQ(rec->Log(), "begin\nquery select 'items'\nquery select 'notes'\nrollback");

    // A lent connection: the work joins the lender's transaction, which is left for the lender.
    w.notes_ok = true;
    DbConnect lender;
    ASSERT_TRUE(lender.ConnectionVariables("core", "recording", "", "", false));
    lender.BeginTrans();
    rec->FailProcedure("sp_delete_table", "sp_delete_table: no row", 1);
    rec->ClearLog();
    DbConnect* ob = &lender;
    EXPECT_FALSE(w.DeleteData(7, ob));
    EXPECT_EQ(ob, &lender);
    EXPECT_TRUE(lender.InTransaction());
    EXPECT_EQ(rec->Log(),
              "query select 'items'\nquery select 'notes'\n"
              "exec sp_delete_table @table='rpt_widgets', @unique_id=Long(7)");
    lender.EndTrans(false);

    // A raised error keeps its description and gains the class's source.
    w.raise_in_notes = true;
    rec->ClearLog();
    const Error e = Raised([&] { w.DeleteData(7); });
    EXPECT_EQ(e.Source(), "SQLite (clsWidget.DeleteData)");
    EXPECT_EQ(e.Description(), "disk I/O error");
    EXPECT_EQ(rec->Lines().back(), "rollback");
    EXPECT_FALSE(w.Connection().InTransaction());
}

TEST_F(RecordObjectTest, DeleteWithoutTheReadyTestRaisesForAMissingRow) {
    Widget loose(kUntested);
    ASSERT_TRUE(loose.ConnectionVariables("core", "recording", "", "", false, "5"));
    rec->ClearLog();
    DbConnect* ob = nullptr;
    const Error e = Raised([&] { loose.DeleteData(7, ob); });
    EXPECT_EQ(e.Number(), 91);
    EXPECT_EQ(e.Source(), "MZ_report_bus (clsUntested.DeleteData)");
    EXPECT_EQ(rec->Log(), "begin\nrollback");
    EXPECT_EQ(ob, &loose.Connection());

    ASSERT_TRUE(loose.GetData(7));  // with a row it deletes as any other class
    rec->ClearLog();
    EXPECT_TRUE(loose.DeleteData(7));
    EXPECT_EQ(rec->Lines().back(), "commit");
}

}  // namespace
}  // namespace mz
