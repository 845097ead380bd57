// clsNotes against the recording backend: exact SQL texts, procedure calls and the notes step of
// a parent's delete cascade.
#include "lists/notes.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/recording_backend.h"

namespace mz {
namespace {

using test::Recorder;

constexpr const char* kNoteFields =
    "unique_id:Long, report_id:Long, group_id:Long, report_section_code:String(3), link_id:Long, "
    "Note_type_code:String(10), note_keywords:String(100), Description:String(4000), "
    "entry_date:Date, amend_code:String(1), allow_multiple:Boolean";

const std::string kFilter = std::string("and (f.ref_is_audit = 1 ") + "or (f.ref_is_audit = 0 " +
                            "and f.group_id not in ( " + "   select group_id " + "   from vw_mz_" +
                            "rpt_notes" + "_ref_basic " + "   where unique_id <> f.unique_id " +
                            "   and report_group_id = f.report_group_id " +
                            "   and ref_is_audit = 1 " + "))) ";

class NotesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rec = Recorder::Create("notes");
        rec->OnQuery("Where unique_id = 5 ",
                     std::string(kNoteFields) +
                         " | 5, 4, 50, 'ACC', 70, 'GEN', 'kw', 'text', #2005-03-01#, Null, True")
            .OnQuery("Where unique_id = 60 ",
                     std::string(kNoteFields) +
                         " | 60, 5, 60, 'ACC', 70, Null, Null, 'new', Null, Null, Null")
            .OnQuery("unique_id is null", kNoteFields)
            .OnProcedure("sp_insert_rpt_notes", {{"@Unique_id", Variant(int32_t{60})},
                                                 {"@Group_id", Variant(int32_t{60})}});
        ASSERT_TRUE(notes.ConnectionVariables("notes", "recording", "", "", false, "5"));
    }
    std::shared_ptr<Recorder> rec;
    clsNotes notes;
};

TEST_F(NotesTest, LoadTexts) {
    rec->OnQuery("SELECT count(*) as code", "code:Long | 3")
        .OnQuery("where table_name = 'rpt_accounts'", "code:String(3) | 'ACC'");
    EXPECT_TRUE(notes.GetData(5));
    EXPECT_TRUE(notes.GetData());
    EXPECT_FALSE(notes.GetDataList(5, 70));  // no notes
    EXPECT_EQ(notes.Count(), 0);
    EXPECT_FALSE(notes.GetDataList(5));  // no link: no text
    EXPECT_EQ(notes.GetNoteCount(5, 70, true), 3);
    EXPECT_TRUE(notes.DataReady());  // the count row is current
    EXPECT_EQ(notes.GetTableCode("rpt_accounts"), "ACC");
    EXPECT_EQ(notes.GetTableCode("rpt_nothing"), "");
    EXPECT_EQ(notes.GetTableCode(""), "");
    EXPECT_EQ(rec->Log(),
              "query SELECT * from vw_mz_rpt_notes_detail Where unique_id = 5 \n"
              "query select * from vw_mz_rpt_notes where unique_id is null \n"
              "query SELECT * from vw_mz_rpt_notes_ref_basic f Where f.ref_report_id = 5 "
              "and f.delete_date is null and f.link_id = 70and f.ref_is_audit = 0 \n"
              "query \n"
              "query SELECT count(*) as code from vw_mz_rpt_notes_ref_basic f Where "
              "f.ref_report_id = 5 and f.delete_date is null and f.link_id = 70" +
                  kFilter +
                  "\n"
                  "query select code from lks_report_section where table_name = 'rpt_accounts' \n"
                  "query select code from lks_report_section where table_name = 'rpt_nothing' \n"
                  "query ");

    // The code row borrowed the result set: the field lengths come from the notes' own view.
    ASSERT_TRUE(notes.GetTableCode("rpt_accounts") == "ACC");
    rec->ClearLog();
    EXPECT_EQ(notes.GetTextLength(mzML_NoteKeywords_Notes), 100);
    EXPECT_EQ(notes.GetTextLength(mzML_NoteKeywords_Notes), 100);
    EXPECT_EQ(rec->Log(), "query select * from vw_mz_rpt_notes where unique_id is null ");

    rec->RaiseOnQuery("lks_report_section", Error(3704, "ADODB.Recordset", "closed"));
    try {
        notes.GetTableCode("x");
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Source(), "ADODB.Recordset (clsLookupList.GetTableCode)");
    }
}

TEST_F(NotesTest, PropertiesAndIsNewFlag) {
    notes.IsNew(true);  // flag only, no DataReady test
    EXPECT_TRUE(notes.IsNew());
    ASSERT_TRUE(notes.GetData(5));
    EXPECT_FALSE(notes.IsNew());
    EXPECT_EQ(notes.EntryDate(), "03/01/2005");
    EXPECT_EQ(notes.LinkID(), "70");
    EXPECT_EQ(notes.AmendCode(), "");
    EXPECT_EQ(notes.AllowMultiple(), "True");
    EXPECT_EQ(notes.GetTextLength(mzML_NoteKeywords_Notes), 100);
    EXPECT_EQ(notes.GetTextLength(2), 0);
    notes.LinkID("71x");
    EXPECT_EQ(notes.LinkID(), "71");
    notes.LinkID("");
    EXPECT_EQ(notes.LinkID(), "");
    EXPECT_FALSE(notes.ValidateData());
}

TEST_F(NotesTest, SaveInsertsNewNotesAndUpdatesOthersInPlace) {
    ASSERT_TRUE(notes.GetData());
    notes.ReportID(5);
    notes.ReportSection("ACC");
    notes.LinkID("70");
    notes.Description("new");
    notes.EntryDate("3/1/2005");
    rec->ClearLog();
    EXPECT_TRUE(notes.SaveData());
    EXPECT_EQ(rec->Log(),
              "exec sp_insert_rpt_notes @Function='A', @Report_id=Long(5), @Ref_id=Integer(-1), "
              "@Report_section_code='ACC', @Link_id=Double(70), @Note_type_code=Null, "
              "@Note_keywords=Null, @Description='new', @Entry_date=Date(2005-03-01), "
              "@Amend_code=Null\n"
              "query SELECT * from vw_mz_rpt_notes_detail Where unique_id = 60 ");
    EXPECT_EQ(notes.UniqueID(), 60);
    EXPECT_FALSE(notes.IsNew());

    // Note 5 belongs to report 4, an earlier version: still updated in place.
    ASSERT_TRUE(notes.GetData(5));
    notes.Description("changed");
    rec->ClearLog();
    EXPECT_TRUE(notes.SaveData());
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "exec sp_update_table @table='rpt_notes', @column='Description', "
              "@unique_id=Long(5), @value='changed'\n"
              "commit");
}

TEST_F(NotesTest, DeleteRemovesTheRowWhicheverReportItBelongsTo) {
    EXPECT_TRUE(notes.DeleteData(5));  // nothing loaded
    EXPECT_EQ(rec->Log(), "");
    ASSERT_TRUE(notes.GetData(5));
    rec->ClearLog();
    EXPECT_TRUE(notes.DeleteData(5));
    EXPECT_EQ(rec->Log(),
              "begin\nexec sp_delete_table @table='rpt_notes', @unique_id=Long(5)\ncommit");
    rec->FailProcedure("sp_delete_table",
                       "sp_delete_table: rpt_notes has no row with unique_id 5.");
    rec->ClearLog();
    EXPECT_FALSE(notes.DeleteData(5));
    EXPECT_EQ(rec->Lines().back(), "rollback");
}

// A parent row with notes, as every class with notes has.
constexpr PropertyDef kParentProps[] = {{"UniqueID", "unique_id", PropType::Long, kGet}};
constexpr RecordClassInfo kParent = [] {
    RecordClassInfo info;
    info.class_name = "clsParent";
    info.table = "rpt_parents";
    info.properties = kParentProps;
    info.notes_failure = "Parent Notes Delete Error";
    return info;
}();

class Parent : public RecordObject {
  public:
    Parent() : RecordObject(kParent) { clsNotes::Adopt(*this, mobNotes); }
    std::shared_ptr<clsNotes> mobNotes = std::make_shared<clsNotes>();
};

TEST_F(NotesTest, ParentCascadeDeletesTheNotesOfItsReportOnTheLentConnection) {
    rec->OnQuery("vw_mz_rpt_parents where unique_id = 9 ",
                 "unique_id:Long, report_id:Long, group_id:Long, entity_id:Long | 9, 5, 90, Null")
        .OnQuery("f.link_id = 90",
                 std::string(kNoteFields) +
                     " | 11, 5, 11, 'ACC', 90, Null, Null, 'a', Null, Null, Null"
                     " | 12, 4, 12, 'ACC', 90, Null, Null, 'b', Null, Null, Null"
                     " | 13, 5, 13, 'ACC', 90, Null, Null, 'c', Null, Null, Null");
    Parent parent;
    ASSERT_TRUE(parent.ConnectionVariables("notes", "recording", "", "", false, "5"));
    ASSERT_TRUE(parent.GetData(9));
    rec->ClearLog();
    EXPECT_TRUE(parent.DeleteData(9));
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "query SELECT * from vw_mz_rpt_notes_ref_basic f Where f.ref_report_id = 5 "
              "and f.delete_date is null and f.link_id = 90and f.ref_is_audit = 0 \n"
              "exec sp_delete_table @table='rpt_notes', @unique_id=Long(11)\n"
              "exec sp_delete_table @table='rpt_notes', @unique_id=Long(13)\n"
              "exec sp_delete_table @table='rpt_parents', @unique_id=Long(9)\n"
              "commit");

    // A database error inside the notes deletion reaches the caller through both layers.
    rec->RaiseOnProcedure("sp_delete_table", Error(-2147217900, "SQLite", "constraint failed"), 2);
    rec->ClearLog();
    try {
        parent.DeleteData(9);
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), -2147217900);
        EXPECT_EQ(e.Source(), "SQLite (clsNotes.DeleteData) (clsParent.DeleteData)");
        EXPECT_EQ(e.Description(), "constraint failed");
    }
    EXPECT_EQ(rec->Lines().back(), "rollback");
    EXPECT_FALSE(parent.Connection().InTransaction());

    parent.mobNotes.reset();  // a released child raises on use
    EXPECT_THROW(parent.DeleteData(9), Error);
}

}  // namespace
}  // namespace mz
