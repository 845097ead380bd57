// clsLookup_List: the exact statement of every list, recorded on its way to the seeded report
// database and run there; the cursor, find and translate rules on recorded rows; the failure
// channels; and an office's own lists imported over the seed.
#include "lists/lookup_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/lookup_tables.h"
#include "platform/error.h"
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

const std::string kD = "4/15/2019";
const Date kDate(2019, 4, 15);

// The composed statement of a list reading one table.
std::string Plain(const std::string& table, const std::string& filter = "",
                  const std::string& order = "", const std::string& d = kD) {
    return "select * from " + table + " where " + (filter.empty() ? "" : filter + " and ") +
           Window(d) + " " + order;
}

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
    struct Case {
        int32_t list;
        Date date;
        int32_t id;
        std::string filter1, filter2, sql;
        int32_t rows;
    };
    const std::string users =
        "select u.unique_id as code, u.user_name as description from ref_user u where "
        "unique_id = (    select unique_id    from ref_user    where group_id = u.group_id    "
        "and isnull(end_date, getdate()) = (       select max(isnull(end_date, getdate()))      "
        " from ref_user       where group_id = u.group_id)) and u.is_system_user = 0 and "
        "u.end_date is null order by user_name ";
    const std::string accounts =
        "from xrf_org_report XCR left outer join ref_org ro on xcr.org_id = ro.group_id left "
        "outer join org_accounts OA on ro.group_id = ";
    const std::string sub_types =
        "select distinct rst.* from lku_report_sub_type rst left outer join "
        "lku_report_group_type rgt on rst.code = rgt.report_sub_type_code  where ";
    const std::string trans_sub_types =
        "select * from (select 'REC' as section, code, description, abbrev, 1 as num, sequence "
        "from lks_receipt_type where in_receipt_section = 1 union all select 'EXP' as section, "
        "code, description, abbrev, 2 as num, sequence from lks_expenditure_type union all "
        "select 'DBT' as section, code, description, description as abbrev, 3 as num, sequence "
        "from lks_debt_type) as a  where a.section in (";
    const std::string seq = "order by sequence ";
    const Case cases[] = {
        {mzL_County, kDate, -1, "", "", Plain("lks_county"), 14},
        {mzL_None, kDate, -1, "", "", Plain("lks_county"), 14},
        {mzL_County, Date(2019, 4, 15, 10, 30, 0), -1, "", "",
         Plain("lks_county", "", "", "4/15/2019 10:30:00 AM"), 14},
        {mzL_Gender, Date(1900, 1, 1), -1, "", "", Plain("lks_gender", "", "", "1/1/1900"), 2},
        {mzL_Gender, kDate, -1, "", "", Plain("lks_gender"), 2},
        {mzL_PhoneLocation, kDate, -1, "", "", Plain("lku_phone_location"), 4},
        {mzL_NameType, kDate, -1, "", "",
         Plain("lks_name_type", "is_officer_table = 1 and is_unofficial_officer = 0", seq), 5},
        {99, kDate, -1, "", "", Plain("lks_name_type"), 10},
        {mzL_ReportGroup, kDate, -1, "", "", Plain("lku_report_group"), 4},
        {mzL_ReportType, kDate, -1, "", "", Plain("lku_report_type"), 5},
        {mzL_ReportSubType, kDate, -1, "", "",
         sub_types + "rst.type_code like '%' and rgt.report_group_code like '%'  and " +
             Window(kD, "rst.") + " ",
         11},
        {mzL_ReportSubType, kDate, -1, "QTR", "PAC",
         sub_types + "rst.type_code like 'QTR%' and rgt.report_group_code like 'PAC%'  and " +
             Window(kD, "rst.") + " ",
         4},
        {mzL_ReportSubType, Date(2012, 1, 1), -1, "ANN", "CAN",
         sub_types + "rst.type_code like 'ANN%' and rgt.report_group_code like 'CAN%'  and " +
             Window("1/1/2012", "rst.") + " ",
         2},
        {mzL_None, kDate, -1, "", "", "select * from  where " + Window(kD) + " ", 0},
        {mzL_State, Date(1900, 1, 1), -1, "", "", Plain("lks_state", "", "", "1/1/1900"), 63},
        {mzL_State, kDate, -1, "", "", Plain("lks_state"), 62},
        {mzL_Suffix, kDate, -1, "", "", Plain("lku_suffix"), 6},
        {mzL_ReceiptTypeInSection, kDate, -1, "", "",
         Plain("lks_receipt_type", "in_receipt_section = 1", seq), 8},
        {mzL_ReceiptPayemnt, kDate, -1, "", "", Plain("lks_payment_type"), 6},
        {mzL_CommitteeType, kDate, -1, "", "", Plain("lks_committee_type", "code <> 'NRR'"), 6},
        {mzL_AccountCode, kDate, -1, "", "",
         "select OA.account_abbr as code " + accounts + "oa.org_id Where XCR.report_id is null ",
         1},
        {mzL_AccountCode, kDate, 1, "", "",
         "select distinct OA.account_abbr as code " + accounts +
             "oa.org_group_id Where XCR.report_id = (select group_id from ref_report where "
             "unique_id = 1) and isnull(OA.account_abbr, '') <> '' ",
         1},
        {mzL_None, kDate, -1, "", "", Plain("lks_committee_type"), 7},
        {mzL_CommitteeLevel, kDate, -1, "", "", Plain("lks_committee_level"), 5},
        {mzL_SpecificField, kDate, -1, "", "", Plain("lku_specific_field"), 5},
        {mzL_ExpenditureType, kDate, -1, "", "", Plain("lks_expenditure_type"), 11},
        {mzL_DeclarationType, kDate, -1, "", "", Plain("lks_declaration_type"), 2},
        {mzL_DebtType, kDate, -1, "", "", Plain("lks_debt_type"), 4},
        {mzL_AdminSupportType, kDate, -1, "", "", Plain("lks_support_item_type", "", seq), 6},
        {mzL_CommitteeLevelNoFed, kDate, -1, "", "", Plain("lks_committee_level", "code != 'f'"),
         4},
        {mzL_NoteType, kDate, -1, "", "", Plain("lks_note_type", "code <> 'con'"), 4},
        {mzL_Users, kDate, -1, "", "", users, 1},
        {mzL_None, kDate, -1, "", "", Plain("ref_user"), 0},  // ref_user has no window columns
        {mzL_TransactionType, kDate, -1, "", "", Plain("lks_trans_type", "group_code = 'rpt'"), 5},
        {mzL_ReportVersion, kDate, -1, "", "",
         Plain("lks_report_version", "", "order by sequence desc "), 1},
        {mzL_ReceiptTypeNotInSection, kDate, -1, "", "",
         Plain("lks_receipt_type", "in_receipt_section = 0", seq), 1},
        {mzL_GiftType, kDate, -1, "", "", Plain("lks_expenditure_type", "is_gift_type = 1"), 3},
        {mzL_FundType, kDate, -1, "", "", Plain("lks_fund_type"), 4},
        {mzL_EnterProcess, kDate, -1, "", "", Plain("lks_enter_process", "allow_report_entry = 1"),
         3},
        {mzL_EnteredMethod, kDate, -1, "", "", Plain("lks_entered_method"), 3},
        {mzL_IndExpTypes, kDate, -1, "", "", Plain("lks_name_type", "is_ind_exp = 1"), 3},
        {mzL_ElecOfficeList, kDate, -1, "", "", Plain("lku_office_sought", "", seq), 18},
        {mzL_ElecCouncilTypes, kDate, -1, "", "", Plain("lku_office", "is_council_of_state = 1"),
         6},
        {mzL_ElecElectionType, kDate, -1, "", "",
         Plain("lks_election_type where code <> 'pr2' union all select code, description, 30, "
               "0, null, '1/1/80',null, getdate() from lku_office ",
               "code = 'oth' "),
         5},
        {mZL_AuditType, kDate, -1, "", "", Plain("lks_audit_type"), 4},
        {mzL_Party, kDate, -1, "", "", Plain("lku_party"), 7},
        {mzL_Office, kDate, -1, "", "", Plain("lku_office", "", "order by description "), 18},
        {mzL_TransType, kDate, -1, "", "",
         Plain("lks_report_section ", "code in ('rec','exp','dbt','trn') ", seq), 4},
        {mzL_TransSubType, kDate, -1, "'REC','DBT'", "",
         trans_sub_types + "'REC','DBT') " + " order by num, sequence ", 12},
        {mzL_OrgStatus, kDate, -1, "", "", Plain("lks_org_status"), 4},
        {mzL_ReportYear, kDate, -1, "", "",
         "select distinct report_year as code, report_year as description from ref_report  "
         "where 1=1  order by report_year desc ",
         1},
        {mzL_FamilyMember, kDate, -1, "", "", Plain("lku_family_member", "", seq), 5},
        {mzL_VoterMatchStatus, kDate, -1, "", "", Plain("lks_voter_match_status", "", seq), 4},
        {mzL_PurposeType, kDate, -1, "", "", Plain("lks_purpose_type", "", seq), 11},
        {mzL_SourceExplanationType, kDate, -1, "", "",
         Plain("lku_source_explanation_type", "", seq), 5},
        {mzL_Municipality, kDate, -1, "", "", "exec sp_MZ_ss_municipality_list", 81},
        {mzL_None, kDate, -1, "", "", Plain("lku_source_explanation_type"), 5},
        {mzL_Elections, kDate, -1, "", "",
         "select     code = convert(varchar(10), election_date, 101),     description = "
         "convert(varchar(10), election_date, 101) from ref_election  where 1 = 1 order by "
         "year(election_date) desc, month(election_date) desc, day(election_date) desc ",
         13},
        {mzL_TimeLength, kDate, -1, "", "",
         "select * from lks_time_length  where 1 = 1 order by sequence ", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        rec->ClearLog();
        EXPECT_EQ(list.GetData(static_cast<mzList>(c.list), c.date, c.id, c.filter1, c.filter2),
                  c.rows > 0);
        EXPECT_EQ(rec->Log(), "query " + c.sql);
        EXPECT_EQ(list.RecordCount(), c.rows);
    }

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

    std::ofstream(dir + "/lks_county.csv") << "code,description,effective_date\n"
                                              "001,Addison,1900-01-01\n"
                                              "029,Example,2019-13-01\n";
    EXPECT_EQ(ImportLookupTables(db.Path(), dir),
              "lks_county.csv line 3: column effective_date: \"2019-13-01\" is not a date "
              "(yyyy-mm-dd or m/d/yyyy)");
    std::ofstream(dir + "/lks_county.csv") << "code,effective_date\n001,1900-01-01\n";
    EXPECT_EQ(ImportLookupTables(db.Path(), dir),
              "lks_county.csv line 1: column description is missing (it may not be empty)");
    ASSERT_TRUE(list.GetData(mzL_County, kDate));
    EXPECT_EQ(list.RecordCount(), 2);
}

// Cursor, find and translate on recorded rows.
class LookupRows : public ::testing::Test {
  protected:
    void SetUp() override {
        rec = Recorder::Create("lookup_rows");
        rec->OnQuery("lks_county",
                     "Code:String(10), Description:String(50), needs_desc:Boolean, "
                     "effective_date:Date | 'a', ' Alpha ', True, #2019-04-15# | 'b', 'Beta', "
                     "False, Null | 'c', Null, Null, Null | ' b ', 'Beta again', True, Null | "
                     "Null, 'No code', False, Null")
            .OnQuery("lks_gender", "Code:String(10), Description:String(50)");
        ASSERT_TRUE(list.ConnectionVariables("lookup_rows", "recording", "", "", false));
    }
    std::shared_ptr<Recorder> rec;
    clsLookup_List list;
};

TEST_F(LookupRows, PropertiesAndMoves) {
    // No result set yet: the column properties are empty, the moves raise 91.
    EXPECT_EQ(list.Code() + list.EffectiveDate(), "");
    EXPECT_FALSE(list.NeedsDesc());
    EXPECT_EQ(Raised([&] { list.MoveFirst(); }), "91 [MZ_report_bus]");
    EXPECT_EQ(Raised([&] { list.ListFilter(); }), "91 [MZ_report_bus]");
    list.ListFilter("code = 'a'");  // nothing to filter: nothing happens

    ASSERT_TRUE(list.GetData(mzL_County, kDate));
    EXPECT_EQ(list.Index(), 1);
    EXPECT_EQ(list.Code() + "|" + list.Description() + "|" + list.EffectiveDate(),
              "a|Alpha|04/15/2019");
    EXPECT_TRUE(list.NeedsDesc());
    EXPECT_EQ(Raised([&] { list.ExpireDate(); }), "3265 [MZ.ResultSet]");
    list.Index(3);
    EXPECT_EQ(list.Code() + "|" + list.Description() + "|" + list.EffectiveDate(), "c||");
    EXPECT_EQ(Raised([&] { list.NeedsDesc(); }), "13 [MZ.Variant]");
    list.Index(0);
    list.Index(-1);
    EXPECT_EQ(list.Index(), 3);

    list.MoveLast();
    list.MoveNext();
    EXPECT_TRUE(list.EOF());
    EXPECT_TRUE(list.DataReady());
    EXPECT_EQ(list.Index(), ResultSet::kPosEOF);
    EXPECT_EQ(Raised([&] { list.Code(); }), "3021 [MZ.ResultSet]");
    list.MoveNext();  // back to the last row
    EXPECT_EQ(list.Index(), 5);
    list.MoveFirst();
    list.MovePrevious();
    list.MovePrevious();  // from before the first row to the first row
    EXPECT_EQ(list.Index(), 1);
    list.Index(99);
    EXPECT_TRUE(list.EOF());

    EXPECT_EQ(list.ListFilter(), "0");
    list.ListFilter("code = 'b'");
    EXPECT_EQ(list.ListFilter() + " " + std::to_string(list.RecordCount()), "code = 'b' 1");
    for (const char* clear : {"0", ""}) {
        list.ListFilter("code = 'b'");
        list.ListFilter(clear);
        EXPECT_EQ(list.ListFilter() + " " + std::to_string(list.RecordCount()), "0 5");
    }
    EXPECT_EQ(Raised([&] { list.ListFilter("code = "); }), "3001 [MZ.ResultSet]");

    // An empty list.
    EXPECT_FALSE(list.GetData(mzL_Gender));
    EXPECT_FALSE(list.DataReady() || list.BOF() || list.EOF() || list.NeedsDesc());
    EXPECT_EQ(list.Index() + list.RecordCount(), 0);
    EXPECT_EQ(list.Code(), "");
    EXPECT_EQ(list.FindIndex("a"), -1);
}

TEST_F(LookupRows, FindIndexAndGetDescription) {
    ASSERT_TRUE(list.GetData(mzL_County, kDate));
    struct Case {
        int32_t from;  // the cursor before: a position, or EOF
        std::string code, desc;
        int32_t found, after;
    } cases[] = {
        {5, "c", "", 3, 5},           // found on row 3; the cursor goes back to row 5
        {2, "b", "Alpha", 2, 2},      // by code only
        {2, "", "Beta again", 4, 2},  // by description
        {2, "", "", -1, 2},
        {2, "zz", "", -1, 2},
        {ResultSet::kPosEOF, "zz", "", -1, ResultSet::kPosEOF},  // left where the search ended
        {ResultSet::kPosEOF, "a", "", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code + "/" + c.desc);
        if (c.from > 0) {
            list.Index(c.from);
        } else {
            list.MoveLast();
            list.MoveNext();
        }
        EXPECT_EQ(list.FindIndex(c.code, c.desc), c.found);
        EXPECT_EQ(list.Index(), c.after);
    }
    // Criteria are not quoted: a quote makes them invalid.
    EXPECT_EQ(Raised([&] { list.FindIndex("o'b"); }), "3001 [MZ.ResultSet]");

    EXPECT_EQ(list.GetDescription("b"), "Beta again");  // ' b ' matches too; the last one wins
    EXPECT_TRUE(list.EOF());
    EXPECT_EQ(list.GetDescription(" a  "), " Alpha ");
    EXPECT_EQ(list.GetDescription(""), "");  // a Null code never matches
    EXPECT_EQ(Raised([&] { list.GetDescription("c"); }), "94 [MZ_report_bus]");
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
