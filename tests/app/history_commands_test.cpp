// The commands that show what happened, run in process: diff, history and export on a filed and
// amended report, --trace on a query, a long query printed as it comes, and the shell's Trace
// On / Trace Off.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "app/commands.h"
#include "app/shell.h"
#include "receipts/receipt_data.h"
#include "report/cover_data.h"
#include "support/report_db.h"

namespace mz {
namespace {

// Runs a command with std::cout captured; "<exit status>: <what it printed>".
template <class Command>
std::string Captured(Command command, const std::vector<std::string>& args) {
    std::ostringstream out;
    std::streambuf* const saved = std::cout.rdbuf(out.rdbuf());
    const int status = command(args);
    std::cout.rdbuf(saved);
    return std::to_string(status) + ": " + out.str();
}

std::string Masked(const std::string& trace) {
    static const std::regex elapsed("^([a-z]+)\t[0-9]+", std::regex::multiline);
    return std::regex_replace(trace, elapsed, "$1\t<us>");
}

TEST(HistoryCommands, DiffHistoryAndExportOfAnAmendment) {
    test::ReportDb rdb;
    const std::string db = rdb.db.Path();
    const int32_t filed = rdb.NewReport();
    auto r = rdb.Object<clsReceipt_Data>(filed);
    r->GetData();
    r->ReportID(filed);
    r->Amount(Currency::FromDouble(250));
    r->Description("Chen");
    ASSERT_TRUE(r->SaveData());
    // The cover names the committee, the report and its period; the amendment inherits it.
    auto cover = rdb.Object<clsCover_Data>(filed);
    test::AddRow(*cover, {{"ReportID", filed},
                          {"EntityID", rdb.Org("Friends of the Park")},
                          {"ReportName", "Spring"},
                          {"StartDate", "04/01/2020"},
                          {"EndDate", "06/30/2020"}});
    const int32_t amended = rdb.Amend(filed);
    auto a = rdb.Object<clsReceipt_Data>(amended);
    ASSERT_TRUE(a->GetData(r->UniqueID()));
    a->Amount(Currency::FromDouble(275));
    ASSERT_TRUE(a->SaveData());

    const std::string dir = test::TempPath("exported");

    // What each run prints ("<status>: <stdout>"): misuse exits 2, a failure 1, both with nothing
    // on stdout.
    const struct {
        int (*run)(const std::vector<std::string>&);
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {app::RunDiff,
         {db, "1", "2"},
         "0: report 1 (version 1, original) -> report 2 (version 2, amendment), report group 1\n"
         "rpt_Receipts (clsReceipt_Data): 0 added, 0 deleted, 1 changed\n"
         "  changed  group 1, row 1 -> 2: Amount: 250 -> 275\n"},
        {app::RunDiff,
         {db, "2", "2"},
         "0: report 2 (version 2, amendment) -> report 2 (version 2, amendment), report group 1\n"
         "no differences\n"},
        {app::RunHistory,
         {db, "rpt_Receipts", "1"},
         "0: rpt_Receipts group 1 (clsReceipt_Data), report group 1\n"
         "  row 1, report 1 (version 1): added, seen in version 1\n"
         "    Amount=250, Description=\"Chen\"\n"
         "  row 2, report 2 (version 2): changed copy of row 1, seen from version 2 on\n"
         "    Amount: 250 -> 275\n"},
        {app::RunDiff, {db, "1"}, "2: "},
        {app::RunDiff, {db, "1", "x"}, "2: "},
        {app::RunDiff, {db, "1", "2", "--format", "csv"}, "2: "},
        {app::RunExport, {db, "2", dir, "--format", "xml"}, "2: "},
        {app::RunExport, {db, "2", dir, "--json"}, "2: "},
        {app::RunHistory, {db, "rpt_Receipts", "1", "--trace"}, "2: "},
        {app::RunDiff, {db, "1", "9"}, "1: "},
        {app::RunHistory, {db, "rpt_Receipts", "99"}, "1: "},
    };
    for (const auto& c : cases) EXPECT_EQ(Captured(c.run, c.args), c.out) << c.args[1];
    const std::string exported = Captured(app::RunExport, {db, "2", dir, "--format", "json"});
    EXPECT_TRUE(exported.starts_with("0: ")) << exported;
    EXPECT_NE(exported.find(dir + "/rpt_Receipts.json\n"), std::string::npos) << exported;
    // The folder now holds files: writing into it again must be asked for.
    EXPECT_EQ(Captured(app::RunExport, {db, "2", dir}), "1: ");
    EXPECT_TRUE(Captured(app::RunExport, {db, "2", dir, "--force"}).starts_with("0: /"));

    // The JSON forms, read back by an independent parser.
    const nlohmann::json diff =
        nlohmann::json::parse(Captured(app::RunDiff, {db, "1", "2", "--json"}).substr(3));
    EXPECT_EQ(diff["to"]["kind"], "amendment");
    for (const auto& s : diff["sections"]) {
        if (s["table"] != "rpt_Receipts") continue;
        EXPECT_EQ(s["changed"][0]["columns"],
                  nlohmann::json::parse(R"([{"column":"Amount","old":250,"new":275}])"));
    }
    const nlohmann::json h = nlohmann::json::parse(
        Captured(app::RunHistory, {db, "rpt_receipts", "1", "--json"}).substr(3));
    EXPECT_EQ(h["versions"][1]["function"], "C");
    EXPECT_EQ(h["versions"][1]["replaces"], 1);
    EXPECT_EQ(h["versions"][0]["seen_until"], 2);

    // The versions as report list shows them: the original filed by its amendment, which is
    // open and current, both with what the cover says.
    nlohmann::json list =
        nlohmann::json::parse(Captured(app::RunReport, {db, "list", "--json"}).substr(3));
    EXPECT_TRUE(list["rows"][0]["filed_date"].is_string());
    EXPECT_TRUE(list["rows"][1]["filed_date"].is_null());
    for (auto& row : list["rows"]) row.erase("filed_date");
    EXPECT_EQ(list["rows"], nlohmann::json::parse(R"([
        {"report_id":1,"report_group_id":1,"version_order":1,"kind":"original",
         "based_on_report_id":null,"state":"filed","is_current":false,
         "committee":"Friends of the Park","report_name":"Spring",
         "period_from":"2020-04-01","period_to":"2020-06-30"},
        {"report_id":2,"report_group_id":1,"version_order":2,"kind":"amendment",
         "based_on_report_id":1,"state":"open","is_current":true,
         "committee":"Friends of the Park","report_name":"Spring",
         "period_from":"2020-04-01","period_to":"2020-06-30"}])"));
}

// When and who of the journal's edits, so the rest compares exactly on either engine.
std::string MaskedEdits(const std::string& text) {
    static const std::regex when(R"(on \d{1,2}/\d{1,2}/\d{4} \d{1,2}:\d\d:\d\d [AP]M by [^:]+:)");
    return std::regex_replace(text, when, "on <when> by <user>:");
}

// Report 1 files a receipt and a note on it. In its amendment, report 2, open, a clerk adds a
// receipt and corrects its amount in place, adds another and deletes it in place, and changes
// report 1's note, which notes allow. The versions show the added receipt; the journal shows
// every edit, old and new values, in the diff and in each row's history; the diff of report 1
// with itself shows what changed since it was filed.
TEST(HistoryCommands, EditsInPlaceShowFromTheJournal) {
    test::ReportDb rdb;
    const std::string db = rdb.db.Path();
    const int32_t filed = rdb.NewReport();
    auto r = rdb.Object<clsReceipt_Data>(filed);
    test::AddRow(*r, {{"ReportID", filed}, {"Amount", 250}, {"Description", "Chen"}});
    const int32_t chen = r->GroupID();
    const int32_t note = test::ReportDb::AddNote(*r->mobNotes, filed, chen, "cash");
    const int32_t note_group = r->mobNotes->GroupID();
    const int32_t amended = rdb.Amend(filed);
    auto a = rdb.Object<clsReceipt_Data>(amended);
    const int32_t diaz_id =
        test::AddRow(*a, {{"ReportID", amended}, {"Amount", 40}, {"Description", "Diaz"}});
    const int32_t diaz = a->GroupID();
    a->Amount(Currency::FromDouble(45.5));
    ASSERT_TRUE(a->SaveData());
    const int32_t temp_id = test::AddRow(*a, {{"ReportID", amended}, {"Amount", 5}});
    const int32_t temp = a->GroupID();
    ASSERT_TRUE(a->DeleteData(temp_id));
    auto n = rdb.Object<clsNotes>(amended);
    ASSERT_TRUE(n->GetData(note));
    n->Description("cash, counted twice");
    ASSERT_TRUE(n->SaveData());

    const std::string g = std::to_string(note_group), d = std::to_string(diaz),
                      t = std::to_string(temp), id = std::to_string(diaz_id),
                      gone = std::to_string(temp_id);
    const std::string note_edit =
        "changed in place on <when> by <user>: Description: \"cash\" -> "
        "\"cash, counted twice\"\n";
    const std::string diaz_edit = "changed in place on <when> by <user>: Amount: 40 -> 45.5\n";
    const std::string temp_edit = "deleted in place on <when> by <user>: Amount=5\n";
    const struct {
        int (*run)(const std::vector<std::string>&);
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {app::RunDiff,
         {db, "1", "2"},
         "0: report 1 (version 1, original) -> report 2 (version 2, amendment), report group 1\n"
         "rpt_notes (clsNotes): 0 added, 0 deleted, 0 changed, 1 edited in place\n"
         "  edited   group " +
             g + ", row " + std::to_string(note) + " (report 1): " + note_edit +
             "rpt_Receipts (clsReceipt_Data): 1 added, 0 deleted, 0 changed, 2 edited in place\n"
             "  added    group " +
             d + ", row " + id +
             ": Amount=45.5, Description=\"Diaz\"\n"
             "  edited   group " +
             d + ", row " + id + " (report 2): " + diaz_edit + "  edited   group " + t + ", row " +
             gone + " (report 2): " + temp_edit},
        {app::RunDiff,
         {db, "1", "1"},
         "0: report 1 (version 1, original) -> report 1 (version 1, original), report group 1\n"
         "rpt_notes (clsNotes): 0 added, 0 deleted, 0 changed, 1 edited in place\n"
         "  edited   group " +
             g + ", row " + std::to_string(note) + " (report 1): " + note_edit},
        {app::RunHistory,
         {db, "rpt_notes", g},
         "0: rpt_notes group " + g +
             " (clsNotes), report group 1\n"
             "  row " +
             std::to_string(note) +
             ", report 1 (version 1): added, seen from version 1 on\n"
             "    link_id=" +
             std::to_string(chen) + ", Description=\"cash, counted twice\"\n    " + note_edit},
        {app::RunHistory,
         {db, "rpt_Receipts", d},
         "0: rpt_Receipts group " + d +
             " (clsReceipt_Data), report group 1\n"
             "  row " +
             id +
             ", report 2 (version 2): added, seen from version 2 on\n"
             "    Amount=45.5, Description=\"Diaz\"\n    " +
             diaz_edit},
        {app::RunHistory,
         {db, "rpt_Receipts", t},
         "0: rpt_Receipts group " + t +
             " (clsReceipt_Data), report group 1\n"
             "  row " +
             gone + ", report 2 (version 2): gone, deleted in place\n    " + temp_edit},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaskedEdits(Captured(c.run, c.args)), c.out) << c.args[1] << " " << c.args[2];

    // Typed old and new values in the JSON forms, read back by an independent parser.
    const nlohmann::json diff =
        nlohmann::json::parse(Captured(app::RunDiff, {db, "1", "2", "--json"}).substr(3));
    for (const auto& s : diff["sections"]) {
        if (s["table"] != "rpt_Receipts") continue;
        EXPECT_EQ(s["edits"][0]["action"], "changed");
        EXPECT_EQ(s["edits"][0]["columns"],
                  nlohmann::json::parse(R"([{"column":"Amount","old":40,"new":45.5}])"));
        EXPECT_EQ(s["edits"][1]["action"], "deleted");
    }
    const nlohmann::json h =
        nlohmann::json::parse(Captured(app::RunHistory, {db, "rpt_notes", g, "--json"}).substr(3));
    EXPECT_EQ(h["versions"][0]["edits"][0]["columns"][0]["old"], "cash");
    EXPECT_EQ(h["versions"][0]["edits"][0]["columns"][0]["new"], "cash, counted twice");
}

TEST(HistoryCommands, TraceFileAndTraceOnInTheShell) {
    test::TempReportDb db;
    const std::string path = test::TempPath("trace.txt");
    EXPECT_EQ(Captured(app::RunQuery, {db.Path(), "select 1 as one", "--trace", path}),
              "0: one\n  1\n(1 row)\n");
    std::ifstream in(path);
    std::stringstream trace;
    trace << in.rdbuf();
    EXPECT_EQ(Masked(trace.str()), "open\t<us>\tselect 1 as one\n");
    EXPECT_EQ(Captured(app::RunQuery, {db.Path(), "select 1", "--trace", "/nonexistent/dir/t"}),
              "1: ");
    // A long answer is printed a batch at a time, as one table or one JSON object.
    const std::string rows =
        "with recursive r(i) as (select 1 union all select i + 1 from r where i < 2500) "
        "select i from r";
    const std::string text = Captured(app::RunQuery, {db.Path(), rows});
    EXPECT_TRUE(text.starts_with("0: i\n   1\n   2\n")) << text.substr(0, 40);
    EXPECT_TRUE(text.ends_with("\n2499\n2500\n(2500 rows)\n"));
    const std::string json = Captured(app::RunQuery, {db.Path(), rows, "--json"});
    const nlohmann::json j = nlohmann::json::parse(json.substr(3));
    ASSERT_EQ(j["rows"].size(), 2500u);
    EXPECT_EQ(j["rows"][2499]["i"], 2500);

    std::ostringstream out, err;
    app::Shell shell(db.Path(), out, err);
    for (const char* line :
         {"Set n = CreateObject(\"clsNotes\")", "Trace On", "Trace On",
          "n.ConnectionVariables DB, \"\", \"\", \"\", False, \"1\"", "? n.GetDataList(1, 7)",
          "Trace Off", "? n.GetDataList(1, 7)", "Trace = 3", "? Trace"})
        EXPECT_TRUE(shell.Execute(line)) << line << err.str();
    EXPECT_EQ(Masked(out.str()),
              "open\t<us>\tSELECT * from vw_mz_rpt_notes_ref_basic f Where f.ref_report_id = 1 "
              "and f.delete_date is null and f.link_id = 7and f.ref_is_audit = 0 \n"
              "False\nFalse\n3\n");
    EXPECT_FALSE(shell.Execute("Trace Sideways"));
}

}  // namespace
}  // namespace mz
