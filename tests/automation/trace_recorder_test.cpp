// The trace and the recording backend's log are two observers of the same DbConnect calls
// (db/db_observer.h): over class operations of every kind (loads, new rows, in-place changes,
// "C" copies, "D" markers, a cascade rolled back by a failing call, a lookup list run as a
// procedure text) they see the same calls in the same order, with the same texts and parameters.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "core/report_versions.h"
#include "db/db_observer.h"
#include "lists/lookup_list.h"
#include "receipts/receipt_data.h"
#include "support/recording_backend.h"
#include "support/temp_db.h"

namespace mz {
namespace {

std::string Unescape(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char c = field[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

// A trace line in the log's words: "query <sql>", "exec <name> @a=v, @b=v", "begin"...
std::string AsLogLine(const std::string& trace_line) {
    std::vector<std::string> fields;
    std::istringstream split(trace_line);
    for (std::string f; std::getline(split, f, '\t');) fields.push_back(Unescape(f));
    if (fields.size() < 2) return "malformed: " + trace_line;
    EXPECT_TRUE(std::regex_match(fields[1], std::regex("[0-9]+"))) << trace_line;
    if (fields[0] != "proc" && fields[0] != "open" && fields[0] != "execute") return fields[0];
    fields.resize(std::max<size_t>(fields.size(), 3));  // "open\t5\t": an empty text
    if (fields[0] != "proc") return "query " + fields[2];
    std::string line = "exec " + fields[2];
    for (size_t i = 3; i < fields.size(); ++i) line += (i == 3 ? " " : ", ") + fields[i];
    return line;
}

// A log line with its values untyped, as the trace writes them: 'text' -> text, Long(5) -> 5.
std::string Untyped(const std::string& log_line) {
    static const std::regex typed(R"(=(?:'([\s\S]*?)'|[A-Za-z]+\(([^)]*)\)|Empty)(?=, @|$))");
    return std::regex_replace(log_line, typed, "=$1$2");
}

TEST(TraceAndRecorder, SeeTheSameCallsOfEveryKind) {
    test::TempReportDb db;
    auto rec = test::Recorder::Create("traced", db.Path());
    std::ostringstream trace;
    ScopedObserver observer(std::make_shared<TraceWriter>(trace));

    DbConnect conn;
    ASSERT_TRUE(conn.ConnectionVariables("traced", "recording", "", "", false));
    const int32_t filed = test::NewReportVersion(conn, "new");
    clsReceipt_Data r;
    ASSERT_TRUE(r.ConnectionVariables("traced", "recording", "", "", false, std::to_string(filed)));
    r.GetData();
    r.ReportID(filed);
    r.ReceiptCode("GNS");
    r.Amount(Currency::FromDouble(600));
    r.Description("signs,\tflyers\nand \"posters\", it's");
    r.TransDate("02/20/2005");
    ASSERT_TRUE(r.SaveData());
    const int32_t gift = r.UniqueID();
    clsGnSItems_Data& items = *r.mobGnSItem;
    items.GetData();
    items.ReportID(filed);
    items.ReceiptID(gift);
    items.Amount(Currency::FromDouble(600));
    ASSERT_TRUE(items.SaveData());
    r.GetData(gift);
    r.Amount(Currency::FromDouble(650));
    ASSERT_TRUE(r.SaveData());  // in place: begin, sp_update_table, commit

    const int32_t amended = test::NewReportVersion(conn, "amend", filed);
    clsReceipt_Data a;
    ASSERT_TRUE(
        a.ConnectionVariables("traced", "recording", "", "", false, std::to_string(amended)));
    a.GetData(gift);
    a.Amount(Currency::FromDouble(700));
    ASSERT_TRUE(a.SaveData());  // a "C" copy
    ASSERT_TRUE(a.GetDataList(amended));
    a.GetData(gift);
    ASSERT_TRUE(a.DeleteData(gift));  // a "D" marker
    r.GetData(gift);
    rec->FailProcedure("sp_delete_table", "refused");
    EXPECT_FALSE(r.DeleteData(gift));  // the cascade rolls back
    clsLookup_List lookups;
    ASSERT_TRUE(lookups.ConnectionVariables("traced", "recording", "", "", false));
    EXPECT_TRUE(lookups.GetData(mzL_Municipality));

    std::vector<std::string> traced, logged;
    std::istringstream lines(trace.str());
    for (std::string line; std::getline(lines, line);) traced.push_back(AsLogLine(line));
    for (const std::string& line : rec->Lines()) logged.push_back(Untyped(line));
    EXPECT_EQ(traced, logged);
    // Every kind of call took part.
    for (const char* kind :
         {"query exec sp_MZ", "exec sp_insert_rpt_Receipts @Function=A",
          "exec sp_insert_rpt_Receipts @Function=C", "exec sp_insert_rpt_Receipts @Function=D",
          "exec sp_update_table", "begin", "commit", "rollback"}) {
        EXPECT_TRUE(std::any_of(logged.begin(), logged.end(), [&](const std::string& l) {
            return l.starts_with(kind);
        })) << kind;
    }
}

}  // namespace
}  // namespace mz
