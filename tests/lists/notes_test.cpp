// clsNotes against the recording backend over a real report database: one table of steps, whose
// exact SQL texts and procedure calls are in calls.log.
#include "lists/notes.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/data_file.h"
#include "support/recording_backend.h"
#include "support/report_db.h"

namespace mz {
namespace {

// Report 1 filed, report 2 its amendment and the current report. Note 1 (report 1, on row 70)
// is an earlier version's; note 2 (report 2, on row 70) and note 3 (report 2, on row 71) are
// the current report's.
TEST(NotesTest, Calls) {
    test::ReportDb d;
    d.Amend(d.NewReport());
    auto rec = test::Recorder::Create("notes", d.db.Path());
    clsNotes notes;
    ASSERT_TRUE(notes.ConnectionVariables("notes", "recording", "", "", false, "2"));
    const auto add = [&](int32_t report, const char* link, const char* type, const char* text) {
        EXPECT_TRUE(notes.GetData());
        notes.ReportID(report);
        notes.ReportSection("ACC");
        notes.LinkID(link);
        notes.NoteCode(type);
        notes.Description(text);
        notes.EntryDate("3/1/2005");
        EXPECT_TRUE(notes.SaveData());
    };
    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"the IsNew let sets the flag only",
             [&] {
                 notes.IsNew(true);
                 EXPECT_TRUE(notes.IsNew());
             }},
            {"save new: every parameter, read back from the detail view",
             [&] {
                 add(1, "70", "gen", "one");
                 EXPECT_EQ(notes.UniqueID(), 1);
                 EXPECT_FALSE(notes.IsNew());
                 EXPECT_EQ(notes.EntryDate(), "03/01/2005");
                 EXPECT_EQ(notes.AllowMultiple(), "True");  // from the note type
             }},
            {"two more",
             [&] {
                 add(2, "70", "", "two");
                 add(2, "71x", "", "three");  // the link reads as its number
                 EXPECT_EQ(notes.LinkID(), "71");
                 notes.LinkID("");
                 EXPECT_EQ(notes.LinkID(), "");
                 EXPECT_FALSE(notes.ValidateData());
             }},
            {"the list of a row",
             [&] {
                 EXPECT_TRUE(notes.GetDataList(2, 70));
                 EXPECT_EQ(notes.Count(), 2);
             }},
            {"no link: no text", [&] { EXPECT_FALSE(notes.GetDataList(2)); }},
            {"the count, audit; its row is current",
             [&] {
                 EXPECT_EQ(notes.GetNoteCount(2, 70, true), 2);
                 EXPECT_TRUE(notes.DataReady());
             }},
            {"table codes",
             [&] {
                 EXPECT_EQ(notes.GetTableCode("rpt_accounts"), "ACC");
                 EXPECT_EQ(notes.GetTableCode("rpt_nothing"), "");
                 EXPECT_EQ(notes.GetTableCode(""), "");
             }},
            {"the code row borrowed the result set: it has no keywords to measure, nothing sent",
             [&] {
                 EXPECT_EQ(notes.GetTableCode("rpt_accounts"), "ACC");
                 try {
                     notes.GetTextLength(mzML_NoteKeywords_Notes);
                     ADD_FAILURE() << "nothing raised";
                 } catch (const Error& e) {
                     EXPECT_EQ(e.Number(), err::kItemNotFound);
                 }
                 EXPECT_EQ(notes.GetTextLength(2), 0);
             }},
            {"a raised error in GetTableCode names the lookup list",
             [&] {
                 rec->RaiseOnQuery("lks_report_section", Error(3704, "ADODB.Recordset", "closed"));
                 try {
                     notes.GetTableCode("x");
                     ADD_FAILURE() << "nothing was raised";
                 } catch (const Error& e) {
                     EXPECT_EQ(e.Source(), "ADODB.Recordset (clsLookupList.GetTableCode)");
                 }
             }},
            {"an earlier version's note is still changed in place",
             [&] {
                 EXPECT_TRUE(notes.GetData(1));
                 notes.Description("changed");
                 EXPECT_TRUE(notes.SaveData());
             }},
            {"and deleted in place",
             [&] {
                 EXPECT_TRUE(notes.GetData(1));
                 EXPECT_TRUE(notes.DeleteData(1));
             }},
            {"a failing delete rolls back",
             [&] {
                 rec->FailProcedure("sp_delete_table", "no row", 1);
                 EXPECT_TRUE(notes.GetData(2));
                 EXPECT_FALSE(notes.DeleteData(2));
             }},
            {"nothing loaded: nothing to delete",
             [&] {
                 EXPECT_FALSE(notes.GetData(99));
                 EXPECT_TRUE(notes.DeleteData(99));
             }},
        });
}

}  // namespace
}  // namespace mz
