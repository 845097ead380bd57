// clsLookup_List: the exact statement of every list (lookup_lists.test), recorded on its way to
// the seeded report database and run there; the cursor, find and translate rules on rows made for
// them; the failure channels; and an office's own lists imported over the seed.
#include "lists/lookup_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/lookup_tables.h"
#include "platform/error.h"
#include "support/data_file.h"
#include "support/recording_backend.h"
#include "support/temp_db.h"

namespace mz {
namespace {

using test::Recorder;

std::string Window(const std::string& d, const std::string& alias = "") {
    return "((" + alias + "effective_date <= '" + d + "' and " + alias + "expire_date > '" + d +
           "') or (" + alias + "effective_date <= '" + d + "' and " + alias +
           "expire_date is null)) ";
}

const Date kDate(2019, 4, 15);

template <class F>
std::string Raised(F&& f) {
    try {
        f();
    } catch (const Error& e) {
        return std::to_string(e.Number()) + " [" + e.Source() + "]";
    }
    return "no error";
}

// The seeded database with one report (its year 2019) filed by an organisation with accounts.
class SeededLookups : public ::testing::Test {
  protected:
    void SetUp() override {
        DbConnect conn;
        ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
        ASSERT_EQ(test::NewReportVersion(conn, "new"), 1);
        db.Exec(
            "INSERT INTO ref_report_info VALUES (1, 2019);"
            "INSERT INTO ref_org (group_id, org_name) VALUES (10, 'Friends of the Library');"
            "INSERT INTO org_accounts (org_id, org_group_id, account_abbr) VALUES "
            "  (10, NULL, 'CHK1'), (NULL, 10, 'SAV'), (NULL, 10, '');"
            "INSERT INTO xrf_org_report (org_id, report_id) VALUES (10, NULL), (10, 1);");
        rec = Recorder::Create("lookups", db.Path());
        ASSERT_TRUE(list.ConnectionVariables("lookups", "recording", "", "", false));
    }
    test::TempReportDb db;
    std::shared_ptr<Recorder> rec;
    clsLookup_List list;
};

TEST_F(SeededLookups, EveryListStatementAndWhatItSelects) {
    int calls = 0;
    for (const std::string& line : test::DataLines("lookup_lists.test")) {
        if (line.starts_with("#")) continue;
        std::vector<std::string> f;  // the six fields, then the statement
        size_t from = 0;
        for (size_t at; f.size() < 6; from = at + 3) {
            at = line.find(" | ", from);
            f.push_back(line.substr(from, at - from));
        }
        SCOPED_TRACE(line);
        rec->ClearLog();
        EXPECT_EQ(list.GetData(static_cast<mzList>(std::stoi(f[0])), *Date::Parse(f[1]),
                               std::stoi(f[2]), f[3], f[4]),
                  f[5] != "0");
        EXPECT_EQ(rec->Log(), "query " + line.substr(from));
        EXPECT_EQ(std::to_string(list.RecordCount()), f[5]);
        ++calls;
    }
    EXPECT_GT(calls, 50);

    // What some lists hold: the current version of each active user, the account of the
    // report's organisation, the year, the newest election first, the 'oth' office row.
    ASSERT_TRUE(list.GetData(mzL_Elections));
    EXPECT_EQ(list.Code() + " " + list.Description(), "11/03/2026 11/03/2026");
    ASSERT_TRUE(list.GetData(mzL_AccountCode, kDate, 1));
    EXPECT_EQ(list.Code(), "SAV");
    ASSERT_TRUE(list.GetData(mzL_ReportYear));
    EXPECT_EQ(list.Code(), "2019");
    ASSERT_TRUE(list.GetData(mzL_ElecElectionType, kDate));
    EXPECT_EQ(list.GetDescription("oth"), "Other");
    db.Exec(
        "INSERT INTO ref_user (group_id, user_name, is_system_user, end_date) VALUES "
        "(3, 'jdoe_old', 0, '2018-01-01'), (3, 'jdoe', 0, NULL), (4, 'gone', 0, '2018-05-01'),"
        "(5, 'batch', 1, NULL);");
    ASSERT_TRUE(list.GetData(mzL_Users));
    EXPECT_EQ(list.RecordCount(), 2);
    EXPECT_EQ(list.Description(), "admin");
    EXPECT_GT(list.FindIndex("", "jdoe"), 0);
}

TEST_F(SeededLookups, FilterVersionListAndTheNewObject) {
    clsLookup_List fresh;
    ASSERT_TRUE(fresh.ConnectionVariables("lookups", "recording", "", "", false));
    EXPECT_FALSE(fresh.GetData());
    EXPECT_EQ(rec->Log(), "query select * from  where " + Window("1/1/1900") + " ");

    const std::string versions = "select * from lks_report_version ";
    struct Case {
        std::string begin;
        int32_t rows;
    } cases[] = {{"", 4}, {"4/15/2019", 1}, {"7/1/2019", 1}, {"1/1/2030", 2}, {"1/1/1800", 0}};
    for (const Case& c : cases) {
        rec->ClearLog();
        ASSERT_TRUE(list.GetData(mzL_County, kDate));
        EXPECT_EQ(list.FilterVersionList(c.begin), c.rows > 0);
        EXPECT_EQ(list.RecordCount(), c.rows);
        const std::string b = c.begin;
        const std::string where =
            b.empty() ? ""
                      : "where (effective_date <= '" + b + "' and expire_date > '" + b +
                            "') or (effective_date <= '" + b + "' and expire_date is null) ";
        EXPECT_EQ(rec->Lines().back(), "query " + versions + where + "order by sequence desc ");
    }
    ASSERT_TRUE(list.FilterVersionList("1/1/2030"));
    EXPECT_EQ(list.Code(), "F2027");  // newest first
    list.GetData();                   // the remembered table is still the county list
    EXPECT_EQ(list.RecordCount(), 14);
}

TEST_F(SeededLookups, TheWindowSelectsByDate) {
    struct Case {
        mzList list;
        Date date;
        std::string code;
        bool listed;
    } cases[] = {
        {mzL_ReceiptPayemnt, Date(2014, 12, 31), "trv", true},  // expires 1/1/2015
        {mzL_ReceiptPayemnt, Date(2015, 1, 1), "trv", false},
        {mzL_ReceiptPayemnt, Date(2026, 12, 31), "dgw", false},  // effective 1/1/2027
        {mzL_ReceiptPayemnt, Date(2027, 1, 1), "dgw", true},
        {mzL_Gender, Date(2019, 6, 30), "X", false},
        {mzL_Gender, Date(2019, 7, 1, 9, 0, 0), "X", true},
        {mzL_State, Date(1979, 9, 30), "CZ", true},
        {mzL_State, Date(1979, 10, 1), "CZ", false},
        {mzL_Municipality, Date(), "00705", false},  // Essex Junction the village, merged
        {mzL_Municipality, Date(), "00704", true},   // into the city of 7/1/2022
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code + " on " + c.date.ToString());
        ASSERT_TRUE(list.GetData(c.list, c.date));
        EXPECT_EQ(list.FindIndex(c.code) > 0, c.listed);
    }
    ASSERT_TRUE(list.GetData(mzL_Municipality));
    list.Index(list.FindIndex("00704"));  // FindIndex leaves the cursor where it was
    EXPECT_EQ(list.Description() + " / " + list.CountyID(), "Essex Junction / 007");
}

TEST_F(SeededLookups, CallerTextsCannotWrite) {
    const std::string before = db.Scalar("select count(*) from lku_report_sub_type");
    ASSERT_TRUE(list.GetData(mzL_County, kDate));
    EXPECT_FALSE(
        list.GetData(mzL_ReportSubType, kDate, -1, "x'; delete from lku_report_sub_type --"));
    EXPECT_FALSE(list.DataReady());
    EXPECT_FALSE(list.GetData(mzL_TransSubType, kDate, -1, "'REC'); delete from lks_debt_type --"));
    EXPECT_EQ(db.Scalar("select count(*) from lku_report_sub_type"), before);
    EXPECT_EQ(db.Scalar("select count(*) from lks_debt_type"), "4");
}

TEST_F(SeededLookups, ImportedListsReplaceTheSeed) {
    const std::string dir = test::TempPath("lists");
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/lks_county.csv") << "code,description,effective_date\n"
                                              "001,Addison,1900-01-01\n"
                                              "029,Example,1/1/2019\n";
    ASSERT_EQ(ImportLookupTables(db.Path(), dir), "");
    ASSERT_TRUE(list.GetData(mzL_County, kDate));
    EXPECT_EQ(list.RecordCount(), 2);
    EXPECT_EQ(list.GetDescription("029"), "Example");
    ASSERT_TRUE(list.GetData(mzL_County, Date(2018, 12, 31)));
    EXPECT_EQ(list.RecordCount(), 1);
}

// Cursor, find and translate on rows made for them: blanks around codes and descriptions, a
// Null description and a Null code, in a county table of looser shape than the seeded one.
class LookupRows : public ::testing::Test {
  protected:
    void SetUp() override {
        db.Exec(
            "DROP TABLE lks_county; CREATE TABLE lks_county (Code varchar(10), Description "
            "varchar(50), needs_desc bit, effective_date datetime, expire_date datetime);"
            "INSERT INTO lks_county VALUES ('a', ' Alpha ', 1, '2019-04-15', NULL), "
            "('b', 'Beta', 0, '1900-01-01', NULL), ('c', NULL, NULL, '1900-01-01', NULL), "
            "(' b ', 'Beta again', 1, '1900-01-01', NULL), (NULL, 'No code', 0, '1900-01-01', "
            "NULL); DELETE FROM lks_gender;");
        rec = Recorder::Create("lookup_rows", db.Path());
        ASSERT_TRUE(list.ConnectionVariables("lookup_rows", "recording", "", "", false));
    }
    test::TempReportDb db;
    std::shared_ptr<Recorder> rec;
    clsLookup_List list;
    test::StepShell shell{db.Path()};
};

// Cursor, find and translate through the object model; the steps, their calls and what they
// print are in calls.log.
TEST_F(LookupRows, PropertiesAndMoves) {
    test::WalkSteps(*rec, test::DataLines("calls.log"), {}, &shell);
}

TEST_F(LookupRows, FindIndexAndGetDescription) {
    test::WalkSteps(*rec, test::DataLines("calls.log"), {}, &shell);
}

TEST_F(LookupRows, FailuresOfTheLoads) {
    rec->FailQuery("lku_party", "no such table");
    EXPECT_FALSE(list.GetData(mzL_Party, kDate));
    EXPECT_FALSE(list.DataReady());
    rec->RaiseOnQuery("lks_state", Error(3704, "ADODB.Recordset", "closed"))
        .RaiseOnQuery("lks_report_version", Error(3704, "ADODB.Recordset", "closed"));
    EXPECT_EQ(Raised([&] { list.GetData(mzL_State, kDate); }),
              "3704 [ADODB.Recordset (clsLookupList.GetData)]");
    EXPECT_EQ(Raised([&] { list.FilterVersionList(); }),
              "3704 [ADODB.Recordset (clsLookupList.FilterVersionList)]");
}

}  // namespace
}  // namespace mz
