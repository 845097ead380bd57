// The observer seam of DbConnect and the trace written from it: which calls are reported, the
// exact fields and escaping of each trace line, detaching, and two connections tracing at once.
#include "db/db_observer.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <thread>

#include "db/db_connect.h"
#include "platform/error.h"
#include "support/temp_db.h"

namespace mz {
namespace {

// The trace with every elapsed time as <us>, after checking it is a number.
std::string Masked(const std::string& trace) {
    static const std::regex elapsed("^([a-z]+)\t[0-9]+", std::regex::multiline);
    return std::regex_replace(trace, elapsed, "$1\t<us>");
}

TEST(DbObserver, TraceLinesCarryEveryCallWithItsFieldsEscaped) {
    test::TempReportDb db;
    DbConnect conn;
    ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
    std::ostringstream trace;
    {
        ScopedObserver observer(std::make_shared<TraceWriter>(trace));
        ResultSet rs;
        EXPECT_EQ(conn.OpenRecordset("select 'a\tb' as x,\n 'c\\d' as y", rs), "");
        EXPECT_EQ(conn.OpenRecordset("  EXEC sp_MZ_ss_municipality_list", rs), "");
        EXPECT_NE(conn.OpenRecordset("delete from rpt_report", rs), "");  // refused, still sent
        conn.EndTrans(false);  // nothing open: nothing sent, no line
        conn.BeginTrans();
        EXPECT_THROW(conn.BeginTrans(), Error);  // raised calls are reported too
        ASSERT_EQ(conn.CreateCommand("sp_misc_report_new"), "");
        EXPECT_EQ(conn.ExecuteCommand(), "");
        ASSERT_EQ(conn.CreateCommand("sp_update_table"), "");
        conn.AddParameter("@table", Variant("rpt_notes"));
        conn.AddParameter("@column", Variant("Description"));
        conn.AddParameter("@unique_id", Variant(int32_t{7}));
        conn.AddParameter("@value", Variant::Null());
        conn.AddParameter("@table", Variant("rpt\tnotes"));  // replaced where it was added
        conn.ExecuteCommand();
        conn.EndTrans(false);
        conn.BeginTrans();
        conn.EndTrans(true);
        conn.BeginTrans();
    }
    conn.EndTrans(false);  // detached: not traced
    EXPECT_EQ(Masked(trace.str()),
              "open\t<us>\tselect 'a\\tb' as x,\\n 'c\\\\d' as y\n"
              "execute\t<us>\t  EXEC sp_MZ_ss_municipality_list\n"
              "open\t<us>\tdelete from rpt_report\n"
              "begin\t<us>\n"
              "begin\t<us>\n"
              "proc\t<us>\tsp_misc_report_new\n"
              "proc\t<us>\tsp_update_table\t@table=rpt\\tnotes\t@column=Description\t"
              "@unique_id=7\t@value=Null\n"
              "rollback\t<us>\n"
              "begin\t<us>\n"
              "commit\t<us>\n"
              "begin\t<us>\n");

    // Values as the trace writes them: dates as yyyy-mm-dd, texts unquoted, Empty as nothing.
    const ParamValues params = {{"@d", Variant(*Date::Parse("3/1/2005"))},
                                {"@m", Variant(*Currency::Parse("12.5"))},
                                {"@b", Variant(true)},
                                {"@e", Variant()},
                                {"@s", Variant("it's\r\n")}};
    EXPECT_EQ(TraceLine({DbCall::kProc, conn, "sp_x", &params, 42}),
              "proc\t42\tsp_x\t@d=2005-03-01\t@m=12.5\t@b=True\t@e=\t@s=it's\\r\\n");
    EXPECT_EQ(TraceLine({DbCall::kCommit, conn, "", nullptr, 0}), "commit\t0");
}

TEST(DbObserver, TwoConnectionsTracingAtOnceWriteWholeLines) {
    test::TempReportDb db;
    std::ostringstream trace;
    ScopedObserver observer(std::make_shared<TraceWriter>(trace));
    constexpr int kQueries = 200;
    auto reader = [&] {
        DbConnect conn;
        if (!conn.ConnectionVariables(db.Path(), "", "", "", false)) return;
        ResultSet rs;
        for (int i = 0; i < kQueries; ++i)
            conn.OpenRecordset("select count(*) as n from rpt_report", rs);
    };
    std::thread a(reader), b(reader);
    a.join();
    b.join();
    std::istringstream lines(trace.str());
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        ASSERT_EQ(Masked(line), "open\t<us>\tselect count(*) as n from rpt_report");
    EXPECT_EQ(count, 2 * kQueries);
}

}  // namespace
}  // namespace mz
