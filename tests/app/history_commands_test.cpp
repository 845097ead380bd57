// The commands that show what happened, run in process: --trace on a query, a long query printed
// as it comes, and the shell's Trace On / Trace Off. Diff, history and export are in
// shell_corpus.test.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "app/commands.h"
#include "app/shell.h"
#include "support/temp_db.h"

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
