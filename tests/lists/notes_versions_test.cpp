// Notes on a real report database walked through its versions, and a delete cascade that fails
// half-way through a fault seam over the real backend.
#include <gtest/gtest.h>

#include <algorithm>

#include "lists/notes.h"
#include "platform/error.h"
#include "support/recording_backend.h"
#include "support/temp_db.h"

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
    EXPECT_TRUE(notes.GetData());
    notes.ReportID(report);
    notes.ReportSection("REC");
    notes.LinkID(std::to_string(link));
    notes.Description(text);
    notes.EntryDate("03/01/2005");
    EXPECT_TRUE(notes.SaveData());
    return notes.UniqueID();
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

// A parent whose rows carry notes; its table is rpt_notes itself, which gives it real rows.
constexpr PropertyDef kParentProps[] = {{"UniqueID", "unique_id", PropType::Long, kGet}};
constexpr RecordClassInfo kParent = [] {
    RecordClassInfo info;
    info.class_name = "clsNoteParent";
    info.table = "rpt_notes";
    info.properties = kParentProps;
    info.notes_failure = "Parent Notes Delete Error";
    return info;
}();

class Parent : public RecordObject {
  public:
    Parent() : RecordObject(kParent) { clsNotes::Adopt(*this, mobNotes); }
    std::shared_ptr<clsNotes> mobNotes = std::make_shared<clsNotes>();
};

TEST(NotesVersionsTest, AFailingCascadeStepLeavesTheDatabaseUnchanged) {
    test::TempReportDb db;
    DbConnect c;
    ASSERT_TRUE(c.ConnectionVariables(db.Path(), "", "", "", false));
    const int32_t r1 = test::NewReportVersion(c, "new");
    clsNotes notes;
    ASSERT_TRUE(notes.ConnectionVariables(db.Path(), "", "", "", false, std::to_string(r1)));
    const int32_t parent_id = AddNote(notes, r1, 1000, "parent");
    AddNote(notes, r1, notes.GroupID(), "child a");
    AddNote(notes, r1, parent_id, "child b");
    const std::string rows = "select group_concat(unique_id) from rpt_notes";
    const std::string before = db.Scalar(rows);

    auto rec = test::Recorder::Create("cascade", db.Path());
    rec->FailProcedure("sp_delete_table", "injected failure", 3);  // the parent row itself
    Parent parent;
    ASSERT_TRUE(
        parent.ConnectionVariables("cascade", "recording", "", "", false, std::to_string(r1)));
    ASSERT_TRUE(parent.GetData(parent_id));
    EXPECT_FALSE(parent.DeleteData(parent_id));
    EXPECT_EQ(db.Scalar(rows), before);
    EXPECT_EQ(rec->Lines().back(), "rollback");

    auto raising = test::Recorder::Create("cascade", db.Path());
    raising->RaiseOnProcedure("sp_delete_table", Error(-2147217900, "SQLite", "disk I/O error"), 2);
    Parent second;
    second.ConnectionVariables("cascade", "recording", "", "", false, std::to_string(r1));
    ASSERT_TRUE(second.GetData(parent_id));
    try {
        second.DeleteData(parent_id);
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Source(), "SQLite (clsNotes.DeleteData) (clsNoteParent.DeleteData)");
    }
    EXPECT_EQ(db.Scalar(rows), before);

    EXPECT_TRUE(second.DeleteData(parent_id));  // no fault left: all three go
    EXPECT_EQ(db.Scalar("select count(*) from rpt_notes"), "0");
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
            "x' union all select count(*) from (with recursive r(i) as (select 1 union all "
            "select i + 1 from r) select i from r) --");
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Description(),
                  "The query was stopped: it ran longer than its time limit of 100 ms");
        EXPECT_EQ(e.Source(), "SQLite (clsLookupList.GetTableCode)");
    }
    EXPECT_EQ(notes.GetTableCode("rpt_Receipts"), "REC");
}

}  // namespace
}  // namespace mz
