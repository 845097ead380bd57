// clsNotes against the recording backend over a real report database: one table of steps, most
// of them shell lines, whose exact SQL texts, procedure calls and printed answers are in calls.log.
#include "lists/notes.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/data_file.h"
#include "support/recording_backend.h"
#include "support/report_db.h"

namespace mz {
namespace {

// Report 1 filed, report 2 its amendment and the current report. Note 1 (report 1, on row 70,
// written before the amendment) is an earlier version's; note 2 (report 2, on row 70) and note 3
// (report 2, on row 71) are the current report's.
TEST(NotesTest, Calls) {
    test::ReportDb d;
    const int32_t r1 = d.NewReport();
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
    test::StepShell shell(d.db.Path());
    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"two more",
             [&] {
                 d.Amend(r1);  // not on the recorded connection
                 add(2, "70", "", "two");
                 add(2, "71x", "", "three");  // the link reads as its number
                 EXPECT_EQ(notes.LinkID(), "71");
                 notes.LinkID("");
                 EXPECT_EQ(notes.LinkID(), "");
                 EXPECT_FALSE(notes.ValidateData());
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
        },
        &shell);
}

}  // namespace
}  // namespace mz
