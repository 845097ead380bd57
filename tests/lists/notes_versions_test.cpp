// Notes on a real report database walked through its versions, and a caller text that runs away.
#include <gtest/gtest.h>

#include <algorithm>

#include "lists/notes.h"
#include "platform/error.h"
#include "support/report_db.h"

namespace mz {
namespace {

// A "C" or "D" through the insert procedure, as every versioned class sends it.
void Version(DbConnect& c, const char* function, int32_t report, int32_t ref,
             const std::string& text = "") {
    EXPECT_EQ(c.CreateCommand("sp_insert_rpt_notes"), "");
    c.AddParameter("@Function", Variant(function));
    c.AddParameter("@Report_id", Variant(std::to_string(report)));
    c.AddParameter("@Ref_id", Variant(ref));
    if (!text.empty()) {
        c.AddParameter("@Report_section_code", Variant("REC"));
        c.AddParameter("@Link_id", Variant(int32_t{100}));
        c.AddParameter("@Description", Variant(text));
    }
    EXPECT_EQ(c.ExecuteCommand(), "");
    c.ClearCommand();
}

int32_t AddNote(clsNotes& notes, int32_t report, int32_t link, const std::string& text) {
    return test::AddRow(notes, {{"ReportID", report},
                                {"ReportSection", "REC"},
                                {"LinkID", link},
                                {"Description", text},
                                {"EntryDate", "03/01/2005"}});
}

// The descriptions a list shows, sorted.
std::string List(clsNotes& notes, int32_t report, int32_t link, bool audit = false) {
    if (!notes.GetDataList(report, link, audit)) return "(none)";
    std::vector<std::string> seen;
    for (notes.MoveFirst(); !notes.EOF(); notes.MoveNext()) seen.push_back(notes.Description());
    std::sort(seen.begin(), seen.end());
    std::string text;
    for (const std::string& s : seen) text += (text.empty() ? "" : ",") + s;
    return text;
}

TEST(NotesVersionsTest, EachVersionListsTheRowsItSees) {
    test::TempReportDb db;
    DbConnect c;
    ASSERT_TRUE(c.ConnectionVariables(db.Path(), "", "", "", false));
    const int32_t r1 = test::NewReportVersion(c, "new");
    clsNotes notes;
    ASSERT_TRUE(notes.ConnectionVariables(db.Path(), "", "", "", false, std::to_string(r1)));
    const int32_t one = AddNote(notes, r1, 100, "one");
    const int32_t two = AddNote(notes, r1, 100, "two");
    const int32_t three = AddNote(notes, r1, 100, "three");
    EXPECT_EQ(notes.EntryDate(), "03/01/2005");
    db.Exec(
        "UPDATE rpt_notes SET sequence = CASE Description WHEN 'one' THEN 1 "
        "WHEN 'two' THEN 5 ELSE 2 END");
    EXPECT_EQ(List(notes, r1, 100), "one,three,two");

    const int32_t r2 = test::NewReportVersion(c, "amend", r1);
    Version(c, "C", r2, one, "one amended");
    Version(c, "D", r2, two);
    EXPECT_EQ(List(notes, r2, 100), "one amended,three");
    EXPECT_EQ(notes.Count(), 2);
    EXPECT_EQ(List(notes, r1, 100), "one,three,two");  // the filed original is untouched
    EXPECT_EQ(notes.GetNewSequence(r2), 3);            // the deleted 5 does not count
    EXPECT_EQ(notes.GetNewSequence(r1), 6);
    EXPECT_EQ(notes.GetNoteCount(r2, 100), 2);
    EXPECT_EQ(List(notes, r2, 101), "(none)");

    const int32_t r3 = test::NewReportVersion(c, "audit", r2);
    Version(c, "C", r3, three, "three audited");
    EXPECT_EQ(List(notes, r3, 100), "one amended,three");
    EXPECT_EQ(List(notes, r3, 100, true), "one amended,three audited");

    // clsNotes itself changes notes in place, whatever version they were written in.
    ASSERT_TRUE(notes.GetData(three));
    notes.Description("three edited");
    EXPECT_TRUE(notes.SaveData());
    EXPECT_EQ(List(notes, r1, 100), "one,three edited,two");
    EXPECT_EQ(db.Scalar("select count(*) from rpt_notes"), "6");
}

// A table name that smuggles an endless query into GetTableCode is stopped by the time limit,
// and the error reaches the caller with the class's source.
TEST(NotesDbTest, ARunawayCallerTextIsStopped) {
    test::TempReportDb db;
    clsNotes notes;
    ASSERT_TRUE(notes.ConnectionVariables(db.Path(), "", "", "", false, "1"));
    notes.Connection().QueryTimeLimit(std::chrono::milliseconds(100));
    try {
        notes.GetTableCode(
            "x' union all select code from lks_report_section where (select count(*) from "
            "(with recursive r(i) as (select 1 union all select i + 1 from r) select i from r) "
            "as t) > 0 --");
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Description(),
                  "The query was stopped: it ran longer than its time limit of 100 ms");
        EXPECT_EQ(e.Source(), test::EngineName() + " (clsLookupList.GetTableCode)");
    }
    EXPECT_EQ(notes.GetTableCode("rpt_Receipts"), "REC");
}

}  // namespace
}  // namespace mz
