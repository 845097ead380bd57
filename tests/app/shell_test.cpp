// The mzreport binary on a real report database: shell scripts with their exact output, the query
// and report commands. Output is stdout and stderr together, in order.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "app/shell.h"
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

// Dates and times of "now" (orig_date) as <now>, so the rest compares exactly.
std::string MaskNow(const std::string& s) {
    static const std::regex now(
        R"(\d{1,2}/\d{1,2}/\d{4} \d{1,2}:\d\d:\d\d [AP]M|\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)");
    static const std::regex padded("(orig_date|<now>)  +");  // its column width varies too
    return std::regex_replace(std::regex_replace(s, now, "<now>"), padded, "$1  ");
}

TEST(ShellTest, NotesScriptGivesItsExactOutput) {
    test::TempReportDb db;
    const std::string script = WriteScript(R"(' A note filed through the object model by name
Set c = CreateObject("DbConnect")
? c.ConnectionVariables(DB, "", "", "", False)
c.CreateCommand "sp_misc_report_new"
c.ExecuteCommand
c.GetParameter "@Report_id", rid
? "report "; rid
Set n = CreateObject("MZ_report_bus.clsNotes")
? n.ConnectionVariables(DB, "", "", "", False, rid)
? n.GetData(), n.IsNew, n.Description = ""
n.ReportID = rid
n.ReportSection = "REC"
n.LinkID = "77"
n.Description = "Paid in cash"
n.EntryDate = "3/1/2005"
? n.SaveData
? n.UniqueID; " "; n.Description; " "; n.EntryDate; " "; n.AmendCode; "|"
n.GetData
n.Description = "Second"
n.ReportID = rid
n.LinkID = 77
Call n.SaveData()
? n.GetDataList(rid, 77), n.Count
n.MoveLast
Show n
x = n.Count * 10
? x; TypeName(x); Null; Empty; "|"
On Error Resume Next
n.Frobnicate 1
? Err.Number; ": "; Err.Description
Err.Clear
On Error GoTo 0
? Err.Number
n.DeleteData n.UniqueID, lent
? TypeName(lent), lent.InTransaction, n.GetDataList(rid, 77), n.Count
? n.GetDataList("seven")
? "not reached"
)");
    RunResult r = Mzreport({"shell", db.Path(), script});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        MaskNow(r.output),
        "True\n"
        "report 1\n"
        "True\n"
        "True\tTrue\tTrue\n"
        "True\n"
        "1 Paid in cash 03/01/2005 |\n"
        "True\t2\n"
        "  unique_id  report_id  group_id  report_group_id  sequence  page_amount_id  delete_date  "
        "orig_date  orig_user_id  user_id  update_date  ref_id  version_from  version_to  "
        "is_audit_row  report_section_code  link_id  Note_type_code  note_keywords  Description   "
        "entry_date  amend_code  delete_user_id  old_tran_id  old_table  ref_report_id  "
        "ref_is_audit  note_type_desc  allow_multiple\n"
        "          1          1         1                1  Null      Null            Null         "
        "<now>  Null          Null     Null         Null               1  Null        False        "
        " "
        "REC                       77  Null            Null           Paid in cash  3/1/2005    "
        "Null        Null            Null         Null                   1  False         Null     "
        "       Null\n"
        ">         2          1         2                1  Null      Null            Null         "
        "<now>  Null          Null     Null         Null               1  Null        False        "
        " "
        "Null                      77  Null            Null           Second        Null        "
        "Null        Null            Null         Null                   1  False         Null     "
        "       Null\n"
        "(2 rows)\n"
        "20LongNull|\n"
        "438: Object doesn't support this property or method: clsNotes.Frobnicate\n"
        "0\n"
        "DbConnect\tFalse\tTrue\t1\n"
        "Error 13: Type mismatch in argument ReportID of clsNotes.GetDataList: cannot convert "
        "String \"seven\" to Double [MZ_report_bus.clsNotes]\n");
}

TEST(ShellTest, ErrorsAndSyntax) {
    test::TempReportDb db;
    // Piped statements: a syntax error stops the script even when errors are resumed.
    RunResult r = Mzreport({"shell", db.Path()}, R"(Set s = CreateObject("clsSetSequence")
? s.ConnectionVariables(DB, "", "", "", False)
? s.SetSequence(1, 2, "REC", 0, 0, 0)
Set q = CreateObject("clsNoSuchThing")
)");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output,
              "True\n"
              "\n"
              "Error 429: Can't create object: there is no class named \"clsNoSuchThing\" "
              "[MZ_report_bus]\n");

    r = Mzreport({"shell", db.Path()}, R"(On Error Resume Next
x = 1 +
? "after"
)");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output,
              "Error 1002: Syntax error: expected a value at the end of the line "
              "[mzreport shell]\n");

    r = Mzreport({"shell", db.Path()}, R"(x = 5
x.Foo
Set y = 3
n.Description = "a"
DB = "other"
? "a" & Null & 1.5, 7 / 2, 3 - -2 * 4, "b" = "b" And 2 > 1, Not True
? x Is Nothing
)");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "Error 424: Object required: x is not an object [mzreport shell]\n");
    for (const auto& [line, expected] : std::vector<std::pair<std::string, std::string>>{
             {"Set y = 3", "Error 424: Object required: Set needs an object [mzreport shell]\n"},
             {"n.Description = \"a\"",
              "Error 424: Object required: n is not an object [mzreport shell]\n"},
             {"DB = \"other\"", "Error 5: DB cannot be assigned [mzreport shell]\n"},
             {"? \"a\" & Null & 1.5, 7 / 2, 3 - -2 * 4, \"b\" = \"b\" And 2 > 1, Not True",
              "a1.5\t3.5\t11\tTrue\tFalse\n"},
             {"Set n = Nothing\n? n Is Nothing, IsNothing(n), TypeName(n)",
              "True\tTrue\tNothing\n"},
             {"? \"it\"\"s\" ' a comment", "it\"s\n"},
             {"Rem nothing\n' nothing", ""},
             {"x = 1 2",
              "Error 1002: Syntax error: expected end of statement near \"2\" "
              "[mzreport shell]\n"},
             {"Dim a\n? TypeName(a)", "Empty\n"},
         }) {
        EXPECT_EQ(Mzreport({"shell", db.Path()}, line + "\n").output, expected) << line;
    }
}

TEST(ShellTest, QueryAndReportCommands) {
    test::TempReportDb db;
    EXPECT_EQ(Mzreport({"report", db.Path(), "new"}).output, "1\n");
    EXPECT_EQ(Mzreport({"report", db.Path(), "amend", "1"}).output, "2\n");
    EXPECT_EQ(Mzreport({"report", db.Path(), "audit", "2"}).output, "3\n");
    RunResult bad = Mzreport({"report", db.Path(), "amend", "9"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.output, "mzreport report: sp_misc_report_amend: report 9 does not exist.\n");
    EXPECT_EQ(Mzreport({"report", db.Path(), "amend"}).status, 2);

    EXPECT_EQ(
        MaskNow(Mzreport({"report", db.Path(), "list"}).output),
        "report_id  report_group_id  version_order  kind       based_on_report_id  orig_date\n"
        "        1                1              1  original   Null                <now>\n"
        "        2                1              2  amendment                   1  <now>\n"
        "        3                1              3  audit                       2  <now>\n"
        "(3 rows)\n");
    EXPECT_EQ(MaskNow(Mzreport({"report", db.Path(), "list", "--json"}).output),
              "{\"columns\":[\"report_id\",\"report_group_id\",\"version_order\",\"kind\","
              "\"based_on_report_id\",\"orig_date\"],\"rows\":["
              "{\"report_id\":1,\"report_group_id\":1,\"version_order\":1,\"kind\":\"original\","
              "\"based_on_report_id\":null,\"orig_date\":\"<now>\"},"
              "{\"report_id\":2,\"report_group_id\":1,\"version_order\":2,\"kind\":\"amendment\","
              "\"based_on_report_id\":1,\"orig_date\":\"<now>\"},"
              "{\"report_id\":3,\"report_group_id\":1,\"version_order\":3,\"kind\":\"audit\","
              "\"based_on_report_id\":2,\"orig_date\":\"<now>\"}]}\n");

    RunResult q =
        Mzreport({"query", db.Path(),
                  "select id = report_id, label = 'v' + convert(varchar(5), version_order), "
                  "missing = null from rpt_report where report_id > 1"});
    EXPECT_EQ(q.status, 0);
    EXPECT_EQ(q.output,
              "id  label  missing\n"
              " 2  v2     Null\n"
              " 3  v3     Null\n"
              "(2 rows)\n");
    q = Mzreport({"query", db.Path(),
                  "select id = report_id, t = 'a\"b' from rpt_report "
                  "where report_id = 1",
                  "--json"});
    EXPECT_EQ(q.output, "{\"columns\":[\"id\",\"t\"],\"rows\":[{\"id\":1,\"t\":\"a\\\"b\"}]}\n");
    q = Mzreport({"query", db.Path(), "delete from rpt_report"});
    EXPECT_EQ(q.status, 1);
    EXPECT_NE(q.output, "");
    EXPECT_EQ(db.Scalar("select count(*) from rpt_report"), "3");
    EXPECT_EQ(Mzreport({"query", test::TempPath("missing.db"), "select 1"}).status, 1);
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
            s += "n.GetData\nn.ReportID = 1\nn.LinkID = \"7\"\nn.Description = \"" + who +
                 std::to_string(i) + "\"\nn.SaveData\n";
        return s;
    };
    RunResult r = together(notes("a"), notes("b"));
    EXPECT_NE(r.output.find("a=0"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("b=0"), std::string::npos) << r.output;
    EXPECT_EQ(db.Scalar("select count(distinct Description) from rpt_notes"), "600");

    const auto receipts = [](const std::string& who) {
        std::string s =
            "Set r = CreateObject(\"clsReceipt_Data\")\nr.ConnectionVariables DB, \"\", \"\", "
            "\"\", False, \"1\"\nSet g = r.mobGnSItem\n";
        for (int i = 1; i <= 100; ++i) {
            const std::string name = who + std::to_string(i);
            s += "r.GetData\nr.ReportID = 1\nr.ReceiptCode = \"GNS\"\nr.Description = \"" + name +
                 "\"\nr.SaveData\n";
            for (int k = 1; k <= 3; ++k)
                s += "g.GetData\ng.ReportID = 1\ng.ReceiptID = r.UniqueID\ng.Sequence = " +
                     std::to_string(k) + "\ng.Description = \"" + name + "/\"\ng.SaveData\n";
        }
        return s;
    };
    r = together(receipts("a"), receipts("b"));
    EXPECT_NE(r.output.find("a=0"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("b=0"), std::string::npos) << r.output;
    EXPECT_EQ(db.Scalar("select count(distinct Description) from rpt_Receipts"), "200");
    EXPECT_EQ(db.Scalar("select count(*) from rpt_gns_items i join rpt_Receipts r "
                        "on r.unique_id = i.receipt_id and i.Description = r.Description || '/'"),
              "600");
    EXPECT_EQ(db.Scalar("select count(*) from (select 1 from rpt_gns_items "
                        "group by receipt_id, sequence having count(*) > 1)"),
              "0");
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
