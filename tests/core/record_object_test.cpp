// The record core through a small class of its own over a table declared for it, against the
// recording backend over a real report database: property rules and the exits of the save and
// delete protocol, with the exact SQL texts and call order of each step in calls.log.
#include "core/record_object.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/data_file.h"
#include "support/recording_backend.h"
#include "support/report_db.h"

namespace mz {
namespace {

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
const PropertyDef &kUniqueID = kProps[0], &kReportID = kProps[1], &kName = kProps[2],
                  &kAmount = kProps[3], &kFlag = kProps[4], &kTri = kProps[5], &kDate = kProps[6],
                  &kAttendance = kProps[7];
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
    bool notes_ok = true;
    bool raise_in_notes = false;

  protected:
    bool DeleteItems(DbConnect*& conn, std::string&) override {
        ResultSet rs;
        return conn->OpenRecordset("select 'items' as x", rs).empty();
    }
    bool DeleteNotes(DbConnect*& conn) override {
        ResultSet rs;
        conn->OpenRecordset("select 'notes' as x", rs);
        if (raise_in_notes) throw Error(-2147217900, "SQLite", "disk I/O error");
        return notes_ok;
    }
};

// Report 1 filed, report 2 its amendment and the widgets' current report. Widget 1 ("Anne",
// report 2, sequence 1) changes in place; widget 2 ("Carl", report 1, sequence 2) is an earlier
// version's row.
class RecordObjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        d.db.AddVersionedTable(
            "CREATE VERSIONED TABLE rpt_widgets (name varchar(40), amount money, is_flag bit, "
            "tri smallint, occur_date datetime, attendance float)\nSECTION WID\n"
            "INSERT @Name, @Amount, @Is_flag, @Occur_date, @Tri");
        d.NewReport();
        d.db.Exec(
            "INSERT INTO rpt_widgets (unique_id, report_id, group_id, sequence, name, amount, "
            "is_flag, tri, attendance) VALUES (2, 1, 2, 2, 'Carl', 1, 0, 1, 3);");
        d.Amend(1);
        d.db.Exec(
            "INSERT INTO rpt_widgets (unique_id, report_id, group_id, sequence, name, amount, "
            "is_flag, occur_date) VALUES (1, 2, 1, 1, 'Anne', 12.5, 1, '2005-03-01');");
        rec = test::Recorder::Create("core", d.db.Path());
        ASSERT_TRUE(w.ConnectionVariables("core", "recording", "", "", false, "2"));
    }
    test::ReportDb d;
    std::shared_ptr<test::Recorder> rec;
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

TEST_F(RecordObjectTest, LoadersAndProperties) {
    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"before any load: Gets are empty, a Let does nothing, moves raise",
             [&] {
                 w.Let(kName, Variant("ignored"));
                 EXPECT_EQ(w.GetText(kName), "");
                 EXPECT_THROW(w.MoveFirst(), Error);
                 EXPECT_FALSE(w.EOF());
             }},
            {"GetData reads one row",
             [&] {
                 EXPECT_TRUE(w.GetData(1));
                 EXPECT_FALSE(w.IsNew());
                 EXPECT_EQ(w.GetText(kName), "Anne");
                 EXPECT_EQ(w.GetText(kDate), "03/01/2005");
                 EXPECT_EQ(w.GetCurrency(kAmount), Currency::FromRaw(125000));
                 EXPECT_TRUE(w.GetBoolean(kFlag));
                 EXPECT_EQ(w.GetText(kAttendance), "");
                 EXPECT_EQ(w.GetTextLength(1), 40);
                 EXPECT_EQ(w.GetTextLength(2), 19);
                 EXPECT_EQ(w.GetTextLength(3), 0);
             }},
            {"GetData() starts a blank row; a blank three-state reads 2",
             [&] {
                 EXPECT_TRUE(w.GetData());
                 EXPECT_TRUE(w.IsNew() && w.DataReady());
                 EXPECT_EQ(w.GetText(kName) + std::to_string(w.GetLong(kUniqueID)), "0");
                 EXPECT_EQ(w.GetInteger(kTri), 2);
             }},
            {"no such row: nothing loaded",
             [&] {
                 EXPECT_FALSE(w.GetData(99));
                 EXPECT_FALSE(w.DataReady() || w.IsNew());
                 EXPECT_EQ(w.GetCurrency(kAmount), Currency());
                 EXPECT_EQ(w.mRecSet(), nullptr);
             }},
            {"a raised error gains the class's source",
             [&] {
                 rec->RaiseOnQuery("unique_id = 5 ", Error(3704, "ADODB.Recordset", "closed"));
                 EXPECT_EQ(Raised([&] { w.GetData(5); }).Source(),
                           "ADODB.Recordset (clsWidget.GetData)");
             }},
            {"Lets follow their conversions",
             [&] {
                 ASSERT_TRUE(w.GetData(1));
                 ResultSet& rs = *w.mRecSet();
                 w.Let(kName, Variant(""));
                 EXPECT_TRUE(rs.Value("name").IsNull());
                 w.Let(kDate, Variant("02/30/2005"));
                 EXPECT_TRUE(rs.Value("occur_date").IsNull());
                 w.Let(kDate, Variant("4/5/2006"));
                 EXPECT_EQ(w.GetText(kDate), "04/05/2006");
                 w.Let(kAttendance, Variant("12abc"));
                 EXPECT_EQ(rs.Value("attendance"), Variant(12.0));
                 w.Let(kAttendance, Variant(""));
                 EXPECT_TRUE(rs.Value("attendance").IsNull());
                 w.Let(kTri, Variant(int16_t{0}));
                 EXPECT_EQ(w.GetInteger(kTri), 0);
                 w.Let(kTri, Variant(int16_t{2}));
                 EXPECT_TRUE(rs.Value("tri").IsNull());
                 EXPECT_EQ(w.Get(kTri), Variant(int16_t{2}));
                 EXPECT_EQ(w.Get(kTwoIsNull), Variant(int16_t{0}));  // the same Null reads 0
                 w.Let(kTwoIsNull, Variant(int16_t{1}));
                 EXPECT_EQ(w.Get(kTwoIsNull), Variant(int16_t{1}));
                 w.Let(kTwoIsNull, Variant(int16_t{2}));
                 EXPECT_TRUE(rs.Value("tri").IsNull());
                 EXPECT_THROW(w.Let(kUniqueID, Variant(int32_t{1})), Error);  // the database's
             }},
            {"the list; moves past either end come back; a filter of 0 clears",
             [&] {
                 ASSERT_TRUE(w.GetDataList(2));
                 EXPECT_EQ(w.Count(), 2);
                 EXPECT_FALSE(w.MoveNext());
                 EXPECT_FALSE(w.MoveNext());
                 EXPECT_TRUE(w.EOF() && w.DataReady());  // past the end still counts
                 w.MoveNext();
                 EXPECT_EQ(w.GetText(kName), "Carl");
                 w.MoveFirst();
                 w.MovePrevious();
                 EXPECT_TRUE(w.BOF());
                 w.MovePrevious();
                 EXPECT_EQ(w.GetText(kName), "Anne");
                 w.ListFilter("name = 'carl'");
                 EXPECT_EQ(w.CurrentCount(), 1);
                 EXPECT_EQ(w.ListFilter(), "name = 'carl'");
                 w.ListFilter("0");
                 EXPECT_EQ(w.CurrentCount(), 2);
             }},
            {"the audit list", [&] { EXPECT_TRUE(w.GetDataList(2, true)); }},
            {"no rows", [&] { EXPECT_FALSE(w.GetDataList(3)); }},
            {"no report: no text", [&] { EXPECT_FALSE(w.GetDataList()); }},
            {"sequences; Null counts as 0, a failure answers 0",
             [&] {
                 EXPECT_EQ(w.GetNewSequence(2), 3);
                 EXPECT_EQ(w.GetNewSequence(2, true), 3);
                 EXPECT_EQ(w.GetNewSequence(3), 1);
                 rec->FailQuery("f.ref_report_id = 4 ", "no such view");
                 EXPECT_EQ(w.GetNewSequence(4), 0);
             }},
        });
}

TEST_F(RecordObjectTest, SavePaths) {
    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"nothing changed: nothing written",
             [&] {
                 ASSERT_TRUE(w.GetData(1));
                 w.Let(kDate, Variant("03/01/2005"));  // the same date
                 EXPECT_TRUE(w.SaveData());
             }},
            {"the current report's row: one update per changed column, in a transaction",
             [&] {
                 ASSERT_TRUE(w.GetData(1));
                 w.Let(kName, Variant(""));
                 w.Let(kAmount, Variant(Currency::FromRaw(200000)));
                 w.Let(kFlag, Variant(false));
                 EXPECT_TRUE(w.SaveData());
             }},
            {"an earlier version's row: one C copy, not re-read",
             [&] {
                 ASSERT_TRUE(w.GetData(2));
                 w.Let(kName, Variant("Dora"));
                 w.Let(kAmount, Variant(Currency::FromRaw(30000)));
                 EXPECT_TRUE(w.SaveData());
                 EXPECT_EQ(w.GetText(kName), "Dora");
             }},
            {"a new row: A, read back",
             [&] {
                 ASSERT_TRUE(w.GetData());
                 w.Let(kReportID, Variant(int32_t{2}));
                 w.Let(kName, Variant("Bob"));
                 EXPECT_TRUE(w.SaveData());
                 EXPECT_FALSE(w.IsNew());
                 EXPECT_EQ(w.GetLong(kUniqueID), 4);
             }},
            {"an error text at the second update rolls back",
             [&] {
                 ASSERT_TRUE(w.GetData(1));
                 w.Let(kName, Variant("x"));
                 w.Let(kAmount, Variant(Currency()));
                 rec->FailProcedure("sp_update_table", "sp_update_table: no column", 2);
                 EXPECT_FALSE(w.SaveData());
                 EXPECT_FALSE(w.Connection().InTransaction());
             }},
            {"a raised error rolls back and gains the class's source",
             [&] {
                 ASSERT_TRUE(w.GetData(1));
                 w.Let(kName, Variant("y"));
                 rec->RaiseOnProcedure("sp_update_table",
                                       Error(-2147217900, "SQLite", "constraint failed"));
                 const Error e = Raised([&] { w.SaveData(); });
                 EXPECT_EQ(e.Source() + ": " + e.Description(),
                           "SQLite (clsWidget.SaveData): constraint failed");
                 Widget unloaded;
                 const Error none = Raised([&] { unloaded.SaveData(); });
                 EXPECT_EQ(none.Number(), 91);
                 EXPECT_EQ(none.Source(), "MZ_report_bus (clsWidget.SaveData)");
             }},
        });
}

TEST_F(RecordObjectTest, DeletePaths) {
    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"nothing loaded: nothing done",
             [&] {
                 DbConnect* ob = nullptr;
                 EXPECT_TRUE(w.DeleteData(1, ob));
                 EXPECT_EQ(ob, nullptr);
             }},
            {"a failing child step rolls back",
             [&] {
                 ASSERT_TRUE(w.GetData(1));
                 w.notes_ok = false;
                 EXPECT_FALSE(w.DeleteData(1));
                 w.notes_ok = true;
             }},
            {"a lent connection: its transaction is left for the lender",
             [&] {
                 ASSERT_TRUE(w.GetData(1));
                 DbConnect lender;
                 ASSERT_TRUE(lender.ConnectionVariables("core", "recording", "", "", false));
                 lender.BeginTrans();
                 rec->FailProcedure("sp_delete_table", "sp_delete_table: no row", 1);
                 DbConnect* ob = &lender;
                 EXPECT_FALSE(w.DeleteData(1, ob));
                 EXPECT_EQ(ob, &lender);
                 EXPECT_TRUE(lender.InTransaction());
                 lender.EndTrans(false);
             }},
            {"a raised error keeps its description and gains the class's source",
             [&] {
                 ASSERT_TRUE(w.GetData(1));
                 w.raise_in_notes = true;
                 const Error e = Raised([&] { w.DeleteData(1); });
                 w.raise_in_notes = false;
                 EXPECT_EQ(e.Source() + ": " + e.Description(),
                           "SQLite (clsWidget.DeleteData): disk I/O error");
                 EXPECT_FALSE(w.Connection().InTransaction());
             }},
            {"without the ready test a missing row raises inside an owned transaction",
             [&] {
                 Widget loose(kUntested);
                 ASSERT_TRUE(loose.ConnectionVariables("core", "recording", "", "", false, "2"));
                 DbConnect* ob = nullptr;
                 const Error e = Raised([&] { loose.DeleteData(2, ob); });
                 EXPECT_EQ(e.Number(), 91);
                 EXPECT_EQ(e.Source(), "MZ_report_bus (clsUntested.DeleteData)");
                 EXPECT_EQ(ob, &loose.Connection());
             }},
        });
}

}  // namespace
}  // namespace mz
