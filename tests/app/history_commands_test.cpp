// The commands that show what happened, run in process: diff, history and export on a filed and
// amended report, --trace on a query, and the shell's Trace On / Trace Off.
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
    const int32_t amended = rdb.Amend(filed);
    auto a = rdb.Object<clsReceipt_Data>(amended);
    ASSERT_TRUE(a->GetData(r->UniqueID()));
    a->Amount(Currency::FromDouble(275));
    ASSERT_TRUE(a->SaveData());

    const std::string dir = test::TempPath("exported");
    // The cover names the committee, the report and its period; the amendment inherits it.
    auto cover = rdb.Object<clsCover_Data>(filed);
    test::AddRow(*cover, {{"ReportID", filed},
                          {"EntityID", rdb.Org("Friends of the Park")},
                          {"ReportName", "Spring"},
                          {"StartDate", "04/01/2020"},
                          {"EndDate", "06/30/2020"}});

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
    const nlohmann::json list =
        nlohmann::json::parse(Captured(app::RunReport, {db, "list", "--json"}).substr(3));
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
