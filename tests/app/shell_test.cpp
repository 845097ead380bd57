// The mzreport binary on a real report database: the shell scripts and commands of
// shell_corpus.test with their exact output, the lookups commands, two writers, deep input.
// Output is stdout and stderr together.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "app/shell.h"
#include "support/data_file.h"
#include "support/fuzz.h"
#include "support/temp_db.h"

namespace mz {
namespace {

struct RunResult {
    int status = -1;
    std::string output;
};

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a shell command line, stdout and stderr together.
RunResult RunCommand(const std::string& cmd) {
    RunResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

const std::string kMzreport = Quote(MZ_BINARY_DIR "/src/app/mzreport");

// Runs mzreport with args; input, when given, is written to a file and piped to stdin.
RunResult Mzreport(const std::vector<std::string>& args, const std::string& input = "") {
    std::string cmd = kMzreport;
    for (const std::string& a : args) cmd += " " + Quote(a);
    const std::string in_path = test::TempPath("stdin.txt");
    std::ofstream(in_path) << input;
    return RunCommand(cmd + " < " + Quote(in_path) + " 2>&1");
}

std::string WriteScript(const std::string& text) {
    const std::string path = test::TempPath("script.mz");
    std::ofstream(path) << text;
    return path;
}

// Dates and times of "now" (orig_date) as <now>, and who made an edit then, so the rest compares
// exactly.
std::string MaskNow(const std::string& s) {
    static const std::regex now(
        R"(\d{1,2}/\d{1,2}/\d{4} \d{1,2}:\d\d:\d\d [AP]M|\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)");
    static const std::regex by("(on <now>) by [^:\n]+:"), user("\"user\":\"[^\"]*\"");
    // Its column width varies too.
    static const std::regex padded("(orig_date|filed_date|<now>)  +");
    std::string masked =
        std::regex_replace(std::regex_replace(s, now, "<now>"), by, "$1 by <user>:");
    masked = std::regex_replace(masked, user, "\"user\":\"<user>\"");
    return std::regex_replace(masked, padded, "$1  ");
}

TEST(ShellTest, EveryCorpusBlockGivesItsExactOutput) {
    const std::string dir = test::TempPath("corpus");
    int blocks = 0;
    for (const std::string file : {"shell_corpus.test", "records_corpus.test"}) {
        const std::vector<std::string> lines = test::DataLines(file);
        // The database of every command and shell block, in turn, until "new database".
        auto session = std::make_unique<test::TempReportDb>();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] == "new database") session = std::make_unique<test::TempReportDb>();
            const bool script = lines[i].starts_with("script ");
            const bool shell = lines[i].starts_with("shell ");
            if (!script && !shell && !lines[i].starts_with("command ")) continue;
            const int line = static_cast<int>(i) + 1;
            const int status = std::stoi(lines[i].substr(lines[i].find(' ') + 1));
            std::vector<std::string> text;
            std::string expected;
            while (++i < lines.size() && lines[i] != "----") text.push_back(lines[i]);
            while (++i < lines.size() && lines[i] != "====") expected += lines[i] + "\n";
            SCOPED_TRACE(file + ":" + std::to_string(line));
            std::string input;
            for (std::string& t : text) {
                input += t + "\n";
                if (t == "DB") t = session->Path();
                if (t == "DIR") t = dir;
            }
            const RunResult r = script  ? Mzreport({"shell", test::TempReportDb().Path()}, input)
                                : shell ? Mzreport({"shell", session->Path()}, input)
                                        : Mzreport(text);
            EXPECT_EQ(r.status, status);
            std::string output = MaskNow(r.output);
            for (size_t at; (at = output.find(dir)) != std::string::npos;)
                output.replace(at, dir.size(), "DIR");
            EXPECT_EQ(output, expected);
            ++blocks;
        }
    }
    EXPECT_GT(blocks, 20);
    // The version names the program's release and the schema it reads, whatever they are.
    const RunResult version = Mzreport({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(
        version.output, std::regex(R"(mzreport \d+\.\d+\.\d+ \(report database schema \d+\)\n)")))
        << version.output;
}

TEST(ShellTest, LookupsExportAndImport) {
    test::TempReportDb db;
    const std::string dir = test::TempPath("lookups");
    RunResult r = Mzreport({"lookups", "export", db.Path(), dir});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "exported the lookup tables of " + db.Path() + " to " + dir + "\n");
    std::ofstream(dir + "/lks_county.csv", std::ios::app) << "029,Example,EXA,2019-01-01,,\n";
    r = Mzreport({"lookups", "import", db.Path(), dir});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(db.Scalar("select description from lks_county where code = '029'"), "Example");

    std::ofstream(dir + "/lks_county.csv", std::ios::app) << "031,Bad,BAD,2019-02-30,,\n";
    r = Mzreport({"lookups", "import", db.Path(), dir});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output,
              "mzreport lookups import: lks_county.csv line 17: column effective_date: "
              "\"2019-02-30\" is not a date (yyyy-mm-dd or m/d/yyyy); nothing was changed\n");
    EXPECT_EQ(db.Scalar("select count(*) from lks_county"), "15");
    EXPECT_EQ(Mzreport({"lookups", "import", db.Path()}).status, 2);
}

// Help lists the statements and the creatable classes; completion offers what the registrations
// and the session's variables hold, and runs nothing but property reads on the way.
TEST(ShellTest, HelpAndCompletionReadTheRegistrations) {
    test::TempReportDb db;
    std::ostringstream out, err;
    app::Shell shell(db.Path(), out, err);
    ASSERT_TRUE(shell.Execute("Help"));
    EXPECT_TRUE(out.str().starts_with("Statements, one a line:\n")) << out.str();
    EXPECT_NE(out.str().find(" NameAddress "), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("ErrObject"), std::string::npos) << "not creatable";
    for (const char* line : {"Set r = CreateObject(\"clsReceipt_Data\")", "x = 5"})
        ASSERT_TRUE(shell.Execute(line)) << err.str();
    const struct {
        std::string line;
        size_t start;  // of the word being completed, which ends the line
        std::vector<std::string> words;
    } cases[] = {
        {"Set n = CreateObject(\"clsNo", 22, {"clsNotes"}},
        {"? r.descr", 2, {"r.Description"}},
        {"r.mobNotes.GetNote", 0, {"r.mobNotes.GetNoteCount"}},
        {"? r.mobNameAddress.findb", 2, {"r.mobNameAddress.FindByName"}},
        {"r.GetDataList.x", 0, {}},  // a method is never called to complete
        {"x.y", 0, {}},
        {"nobody.y", 0, {}},
        {"sh", 0, {"Show"}},
        {"? x", 2, {"x"}},
        {"? n", 2, {"Nothing", "Null"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shell.Complete(c.line, c.start, c.line.size()), c.words) << c.line;
}

// Two shell scripts started together on one database both finish, losing nothing and attaching
// nothing to the wrong row.
TEST(ShellTest, TwoScriptsWritingAtOnceBothFinish) {
    test::TempReportDb db;
    ASSERT_EQ(Mzreport({"report", db.Path(), "new"}).output, "1\n");
    const auto together = [&](const std::string& a, const std::string& b) {
        const std::string shell = kMzreport + " shell " + Quote(db.Path()) + " ";
        return RunCommand("(" + shell + Quote(WriteScript(a)) + "; echo a=$?) & (" + shell +
                          Quote(WriteScript(b)) + "; echo b=$?) & wait");
    };
    const auto notes = [](const std::string& who) {
        std::string s =
            "Set n = CreateObject(\"clsNotes\")\nn.ConnectionVariables DB, \"\", \"\", \"\", "
            "False, \"1\"\n";
        for (int i = 1; i <= 300; ++i)
            s += "? n.GetData\nn.ReportID = 1\nn.LinkID = \"7\"\nn.Description = \"" + who +
                 std::to_string(i) + "\"\n? n.SaveData\n";
        return s;
    };
    // Every GetData and SaveData answers True; anything else is shown.
    const auto untrue = [](const std::string& output) {
        std::string lines;
        std::istringstream in(output);
        for (std::string line; std::getline(in, line);)
            if (line != "True" && !line.starts_with("a=") && !line.starts_with("b="))
                lines += line + "\n";
        return lines;
    };
    RunResult r = together(notes("a"), notes("b"));
    EXPECT_NE(r.output.find("a=0"), std::string::npos) << untrue(r.output);
    EXPECT_NE(r.output.find("b=0"), std::string::npos) << untrue(r.output);
    EXPECT_EQ(untrue(r.output), "");
    EXPECT_EQ(db.Scalar("select count(distinct Description) from rpt_notes"), "600");

    const auto receipts = [](const std::string& who) {
        std::string s =
            "Set r = CreateObject(\"clsReceipt_Data\")\nr.ConnectionVariables DB, \"\", \"\", "
            "\"\", False, \"1\"\nSet g = r.mobGnSItem\n";
        for (int i = 1; i <= 100; ++i) {
            const std::string name = who + std::to_string(i);
            s += "? r.GetData\nr.ReportID = 1\nr.ReceiptCode = \"GNS\"\nr.Description = \"" + name +
                 "\"\n? r.SaveData\n";
            for (int k = 1; k <= 3; ++k)
                s += "? g.GetData\ng.ReportID = 1\ng.ReceiptID = r.UniqueID\ng.Sequence = " +
                     std::to_string(k) + "\ng.Description = \"" + name + "/\"\n? g.SaveData\n";
        }
        return s;
    };
    r = together(receipts("a"), receipts("b"));
    EXPECT_NE(r.output.find("a=0"), std::string::npos) << untrue(r.output);
    EXPECT_NE(r.output.find("b=0"), std::string::npos) << untrue(r.output);
    EXPECT_EQ(untrue(r.output), "");
    EXPECT_EQ(db.Scalar("select count(distinct Description) from rpt_Receipts"), "200");
    EXPECT_EQ(db.Scalar("select count(*) from rpt_gns_items i join rpt_Receipts r "
                        "on r.unique_id = i.receipt_id and i.Description = r.Description || '/'"),
              "600");
    EXPECT_EQ(db.Scalar("select count(*) from (select 1 from rpt_gns_items "
                        "group by receipt_id, sequence having count(*) > 1) as t"),
              "0");
}

// Two clerks amend the latest version at once, twenty times over: each time one amendment is
// made and the other clerk is told which version is now the latest; the group keeps one open
// version.
TEST(ShellTest, TwoClerksAmendingAtOnceMakeOneAmendment) {
    test::TempReportDb db;
    ASSERT_EQ(Mzreport({"report", db.Path(), "new"}).output, "1\n");
    const std::string amend = kMzreport + " report " + Quote(db.Path()) + " amend ";
    for (int latest = 1; latest <= 20; ++latest) {
        const std::string cmd = amend + std::to_string(latest) + " 2>&1";
        const RunResult r =
            RunCommand("(" + cmd + "; echo a=$?) & (" + cmd + "; echo b=$?) & wait");
        const std::string next = std::to_string(latest + 1);
        const std::string refused =
            "mzreport report: sp_misc_report_amend: report " + std::to_string(latest) +
            " is not the latest version of its report: report " + next + " is.\n";
        EXPECT_NE(r.output.find(next + "\n"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find(refused), std::string::npos) << r.output;
        const bool one_each = (r.output.find("a=0") == std::string::npos) !=
                              (r.output.find("b=0") == std::string::npos);
        EXPECT_TRUE(one_each) << r.output;
    }
    EXPECT_EQ(db.Scalar("select count(*) from rpt_report"), "21");
    EXPECT_EQ(db.Scalar("select max(report_id) from rpt_report where filed_date is null"), "21");
}

// Lines nested or chained past any sensible depth get the shell's syntax error, also where
// errors are resumed; caller texts that deep get their class's ordinary answer. Nothing crashes.
TEST(ShellTest, DeepInputGetsItsErrorNotACrash) {
    test::TempReportDb db;
    std::ostringstream out, err;
    app::Shell shell(db.Path(), out, err);
    using test::Repeat;
    const std::string too_deep =
        "Error 1002: Syntax error: the expression nests more than 256 levels of operators, "
        "parentheses or calls [mzreport shell]\n";
    const std::string deep_parens = Repeat("(", 10'000) + "1" + Repeat(")", 10'000);
    for (const std::string& line :
         {"? 1" + Repeat(" + 1", 20'000), "? " + deep_parens, "? " + Repeat("- ", 100'000) + "1",
          "? " + Repeat("Not ", 100'000) + "True", "x = Err" + Repeat(".Number", 20'000),
          "? TypeName(" + Repeat("TypeName(", 5'000) + "1" + Repeat(")", 5'001)}) {
        err.str("");
        EXPECT_FALSE(shell.Execute(line));
        EXPECT_EQ(err.str(), too_deep) << line.substr(0, 40);
    }
    EXPECT_TRUE(shell.Execute("? 1" + Repeat(" + 1", 200)));
    EXPECT_EQ(out.str(), "201\n");

    // Through the classes, with errors resumed.
    for (const char* line : {"Set n = CreateObject(\"clsNotes\")",
                             "n.ConnectionVariables DB, \"\", \"\", \"\", False, \"1\"",
                             "Set r = CreateObject(\"clsReceipt_Data\")",
                             "r.ConnectionVariables DB, \"\", \"\", \"\", False, \"1\"",
                             "On Error Resume Next", "Err.Clear"})
        ASSERT_TRUE(shell.Execute(line)) << line;
    out.str("");
    const std::string deep_text = Repeat("(", 20'000) + "1" + Repeat(")", 20'000);
    EXPECT_TRUE(shell.Execute("? \"[\" & n.GetTableCode(\"x' or " + deep_text + " --\") & \"]\""));
    EXPECT_TRUE(shell.Execute("? r.GetData(), Err.Number"));
    EXPECT_TRUE(shell.Execute("r.ListFilter = \"" + Repeat("(", 20'000) + "unique_id = 1" +
                              Repeat(")", 20'000) + "\""));
    EXPECT_TRUE(shell.Execute("? Err.Number; \" \"; Err.Description"));
    EXPECT_EQ(out.str(),
              "[]\nTrue\t0\n"
              "3001 Filter criterion is not valid at position 65: more than 64 levels of "
              "parentheses\n");

    RunResult q = Mzreport({"query", db.Path(), "select " + deep_text});
    EXPECT_EQ(q.status, 1);
    EXPECT_EQ(q.output,
              "mzreport query: the text nests more than 128 levels of parentheses, case blocks, "
              "signs or \"+\" operands at offset 135\n");
}

}  // namespace
}  // namespace mz
