// Hostile shell lines, generated and mutated: the shell's parser and evaluator never crash, and
// the texts the classes put into SQL unescaped (GetTableCode, SectionCode, lookup filters, list
// filters and find criteria) never write, however they are quoted or nested.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/shell.h"
#include "support/fuzz.h"
#include "support/temp_db.h"

namespace mz {
namespace {

// A shell text literal of text.
std::string Literal(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

TEST(ShellFuzzTest, HostileLinesNeverCrashAndNeverWrite) {
    test::TempReportDb db;
    const auto old_limit = DbConnect::DefaultQueryTimeLimit();
    DbConnect::DefaultQueryTimeLimit(std::chrono::milliseconds(50));
    std::ostringstream out, err;
    app::Shell shell(db.Path(), out, err);
    for (const char* line :
         {"Set c = CreateObject(\"DbConnect\")",
          "c.ConnectionVariables DB, \"\", \"\", \"\", False",
          "c.CreateCommand \"sp_misc_report_new\"", "c.ExecuteCommand",
          "Set r = CreateObject(\"clsReceipt_Data\")",
          "r.ConnectionVariables DB, \"\", \"\", \"\", False, \"1\"", "r.GetData", "r.ReportID = 1",
          "r.ReceiptCode = \"ind\"", "r.SaveData", "Set n = CreateObject(\"clsNotes\")",
          "n.ConnectionVariables DB, \"\", \"\", \"\", False, \"1\"",
          "Set l = CreateObject(\"clsLookup_List\")",
          "l.ConnectionVariables DB, \"\", \"\", \"\", False", "Set c = Nothing"})
        ASSERT_TRUE(shell.Execute(line)) << line << ": " << err.str();
    const std::string digest = test::DatabaseDigest(db.Path());

    test::Fuzzer lines(4242, "shell_pieces.txt", std::chrono::milliseconds(1500));
    test::Fuzzer texts(99, "caller_pieces.txt", std::chrono::hours(1));
    const std::string templates[] = {
        "? n.GetTableCode(@)",      "? r.GetNewSequence(1, @)",
        "r.ListFilter = @",         "rs.Find @",
        "? n.GetNoteCount(1, @)",   "? l.GetData(#, \"3/1/2005\", -1, @, @)",
        "? l.FilterVersionList(@)", "l.ListFilter = @"};
    std::string last;
    while (lines.More()) {
        std::string line;
        switch (lines.Below(4)) {
            case 0:
                line = lines.Grow(14);
                break;
            case 1:
                line = lines.Mutate(last.empty() ? "? 1 + (2 * 3)" : last);
                break;
            default: {
                line = templates[lines.Below(std::size(templates))];
                if (const size_t at = line.find('#'); at != std::string::npos)
                    line.replace(at, 1, std::to_string(1 + lines.Below(47)));
                for (size_t at; (at = line.find('@')) != std::string::npos;)
                    line.replace(at, 1, Literal(texts.Grow(6)));
                break;
            }
        }
        // Each line starts from the same objects: r loaded, rs its rows, errors resumed.
        shell.Execute("On Error Resume Next");
        shell.Execute("r.GetDataList 1");
        shell.Execute("Set rs = r.mRecSet");
        SCOPED_TRACE(line);
        shell.Execute(line);
        last = line;
        if (lines.Tried() % 100 == 0 && test::DatabaseDigest(db.Path()) != digest) {
            ADD_FAILURE() << "a line wrote";
            break;
        }
    }
    EXPECT_EQ(test::DatabaseDigest(db.Path()), digest);
    DbConnect::DefaultQueryTimeLimit(old_limit);
    RecordProperty("lines", lines.Tried());
}

}  // namespace
}  // namespace mz
