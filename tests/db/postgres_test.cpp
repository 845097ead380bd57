// What only the server gives: the connection settings that reach it, and two clerks saving and
// deleting in one report at once. Runs in the server pass only (MZ_TEST_BACKEND=postgres).
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "db/db_connect.h"
#include "db/postgres/pg_connection.h"
#include "db/postgres/postgres_backend.h"
#include "lists/notes.h"
#include "platform/error.h"
#include "receipts/receipt_data.h"
#include "support/report_db.h"

namespace mz {
namespace {

TEST(PostgresTest, ConnectionSettingsReachTheServer) {
    test::TempReportDb db;
    const std::string uri = db.Path();  // postgresql:///name; host and port from PGHOST, PGPORT
    const std::string name = uri.substr(uri.rfind('/') + 1);
    struct Case {
        std::string database, source, user;
        bool trusted, ok;
        std::string error;  // a piece of ConnectError
    };
    const std::vector<Case> cases = {
        {uri, "", "", false, true, ""},
        {name, "host=" + std::string(std::getenv("PGHOST")), "", false, true, ""},
        {"", uri, "", true, true, ""},
        {uri, "", "no_such_clerk", false, false, "no_such_clerk"},
        {uri, "", "no_such_clerk", true, true, ""},  // trusted: the environment's user
        {"postgresql:///postgres", "", "", false, false, "not a report database"},
        {"postgresql:///mz_nowhere", "", "", false, false, "mz_nowhere"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.database + " | " + c.source + " | " + c.user);
        DbConnect conn;
        EXPECT_EQ(conn.ConnectionVariables(c.database, c.source, c.user, "", c.trusted), c.ok);
        EXPECT_NE(conn.ConnectError().find(c.error), std::string::npos) << conn.ConnectError();
        if (c.ok) {
            ResultSet rs;
            EXPECT_EQ(conn.OpenRecordset("select count(*) as n from rpt_report", rs), "");
        }
    }
}

// Two transactions that add rows both commit, whatever they read; two that change the same row
// conflict: the second to change it loses, in the caller's transaction with an error that says
// so and its work gone, in a save's own transaction with a rerun that wins.
TEST(PostgresTest, OnlyChangesOfTheSameRowConflict) {
    test::ReportDb d;
    const int32_t report = d.NewReport();
    DbConnect one, two;
    auto begin = [&] {
        for (DbConnect* c : {&one, &two}) {
            c->BeginTrans();
            ResultSet rs;
            ASSERT_EQ(c->OpenRecordset("select count(*) as n from rpt_notes", rs), "");
        }
    };
    auto add = [&](DbConnect& c, const char* text) {
        c.CreateCommand("sp_insert_rpt_notes");
        c.AddParameter("@Function", Variant("A"));
        c.AddParameter("@Report_id", Variant(report));
        c.AddParameter("@Ref_id", Variant(-1));
        c.AddParameter("@Description", Variant(text));
        c.AddParameter("@Link_id", Variant(7));
        c.AddParameter("@Report_section_code", Variant("REC"));
        return c.ExecuteCommand();
    };
    auto change = [&](DbConnect& c, const char* text) {
        c.CreateCommand("sp_update_table");
        c.AddParameter("@table", Variant("rpt_notes"));
        c.AddParameter("@column", Variant("Description"));
        c.AddParameter("@unique_id", Variant(1));
        c.AddParameter("@value", Variant(text));
        return c.ExecuteCommand();
    };
    for (DbConnect* c : {&one, &two})
        ASSERT_TRUE(c->ConnectionVariables(d.db.Path(), "", "", "", false));
    begin();
    EXPECT_EQ(add(one, "first"), "");
    EXPECT_EQ(add(two, "second"), "");
    one.EndTrans(true);
    two.EndTrans(true);
    EXPECT_EQ(d.db.Scalar("select count(*) from rpt_notes"), "2");

    begin();
    EXPECT_EQ(change(one, "one's"), "");
    one.EndTrans(true);
    std::string error;
    try {
        change(two, "two's");
    } catch (const Error& e) {
        error = e.Description();
    }
    EXPECT_NE(error.find("another connection changed the same rows"), std::string::npos) << error;
    two.EndTrans(false);
    EXPECT_EQ(d.db.Scalar("select Description from rpt_notes where unique_id = 1"), "one's");

    // A save in a transaction of its own that loses is run again, alone, and wins: it waits on
    // the row one changes, and one commits.
    auto notes = d.Object<clsNotes>(report);
    ASSERT_TRUE(notes->GetData(1));
    notes->Description("the clerk's");
    one.BeginTrans();
    EXPECT_EQ(change(one, "one's again"), "");
    bool saved = false;
    std::thread clerk([&] { saved = notes->SaveData(); });
    while (d.db.Scalar("select count(*) from pg_locks where not granted") == "0")
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    one.EndTrans(true);
    clerk.join();
    EXPECT_TRUE(saved);
    EXPECT_EQ(d.db.Scalar("select Description from rpt_notes where unique_id = 1"), "the clerk's");
}

// A login of the server for the length of a test, granted the roles given (none: a stranger).
class Login {
  public:
    Login(const std::string& name, const std::string& roles) : name_(name) {
        std::string error;
        admin_ = pg::Connection::Open("", "postgres", "", "", error);
        if (!admin_) ADD_FAILURE() << error;
        admin_->Run("DROP ROLE IF EXISTS " + name_);
        admin_->Exec("CREATE ROLE " + name_ + " LOGIN" +
                     (roles.empty() ? "" : " IN ROLE " + roles));
    }
    ~Login() { admin_->Run("DROP ROLE IF EXISTS " + name_); }
    Login(const Login&) = delete;
    Login& operator=(const Login&) = delete;
    const std::string& Name() const { return name_; }

  private:
    std::string name_;
    std::unique_ptr<pg::Connection> admin_;
};

std::string Unique(const std::string& name) {
    return name + "_" + std::to_string(::getpid());
}

// The reader role, even in a transaction that may write, can neither change a row, a table, a
// large object or a setting, nor read a file, nor signal, notify or lock out another session
// (here another session of the same clerk's login). A clerk's queries run as the reader; a login
// granted nothing cannot open the report database.
TEST(PostgresTest, TheReaderRoleOnlyReadsAndOnlyClerksOpenTheDatabase) {
    test::ReportDb d;
    d.NewReport();
    const Login clerk(Unique("mz_test_clerk"), kClerkRole), stranger(Unique("mz_test_nobody"), "");
    {
        std::string error;
        auto victim = pg::Connection::Open(d.db.Path(), "", clerk.Name(), "", error);
        auto reader = pg::Connection::Open(d.db.Path(), "", clerk.Name(), "", error);
        ASSERT_TRUE(victim && reader) << error;
        const std::string pid(victim->Exec("SELECT pg_backend_pid()").Text(0, 0));
        reader->Script(std::string("BEGIN READ WRITE; SET LOCAL ROLE ") + kReaderRole);
        for (const std::string& sql : std::vector<std::string>{
                 "INSERT INTO rpt_notes (report_id, description) VALUES (1, 'x')",
                 "UPDATE rpt_report SET report_id = report_id", "DELETE FROM rpt_notes",
                 "TRUNCATE rpt_notes", "CREATE TABLE mz_x (a int)",
                 "SELECT nextval(pg_get_serial_sequence('rpt_notes', 'unique_id'))",
                 "COPY rpt_notes TO '/tmp/mz_reader_copy'", "SELECT pg_read_file('/etc/passwd')",
                 "SELECT lo_from_bytea(0, 'x')", "SELECT set_config('role', 'none', true)",
                 "SELECT pg_terminate_backend(" + pid + ")",
                 "SELECT pg_cancel_backend(" + pid + ")", "SELECT pg_notify('mz', 'x')",
                 "SELECT pg_advisory_lock(7)"}) {
            reader->Script("SAVEPOINT s");
            EXPECT_EQ(reader->Run(sql).SqlState(), "42501") << sql;  // insufficient privilege
            reader->Script("ROLLBACK TO s");
        }
        reader->Script("ROLLBACK");
        EXPECT_EQ(victim->Exec("SELECT 1").Text(0, 0), "1");
    }
    DbConnect as_clerk, as_stranger;
    ASSERT_TRUE(as_clerk.ConnectionVariables(d.db.Path(), "", clerk.Name(), "", false))
        << as_clerk.ConnectError();
    ResultSet rs;
    ASSERT_EQ(as_clerk.OpenRecordset("select current_user as u", rs), "");
    EXPECT_EQ(rs.Value(0).ToText(), kReaderRole);
    EXPECT_FALSE(as_stranger.ConnectionVariables(d.db.Path(), "", stranger.Name(), "", false));
    EXPECT_NE(as_stranger.ConnectError().find("may not be read by the user \"" + stranger.Name()),
              std::string::npos)
        << as_stranger.ConnectError();
}

struct Clerk {
    std::string login;  // "": the administrator
    std::vector<int32_t> kept, deleted;
    int failures = 0;
};

// One clerk's work: receipts with two items and a note each, every other one deleted again.
void Work(test::ReportDb& d, int32_t report, int32_t contributor, Clerk& clerk) {
    auto r = std::make_unique<clsReceipt_Data>();
    ASSERT_TRUE(
        r->ConnectionVariables(d.db.Path(), "", clerk.login, "", false, std::to_string(report)));
    for (int i = 0; i < 6; ++i) try {
            bool ok = r->GetData();
            r->ReportID(report);
            r->ReceiptCode("GNS");
            r->Amount(Currency::FromDouble(100 + i));
            r->EntityID(contributor);
            r->TransDate("03/01/2005");
            ok = ok && r->SaveData();
            const int32_t id = r->UniqueID();
            const int32_t group = r->GroupID();
            for (double amount : {40.0, 60.0 + i}) {
                ok = ok && r->mobGnSItem->GetData();
                r->mobGnSItem->ReportID(report);
                r->mobGnSItem->ReceiptID(id);
                r->mobGnSItem->Amount(Currency::FromDouble(amount));
                ok = ok && r->mobGnSItem->SaveData();
            }
            ok = ok && test::ReportDb::AddNote(*r->mobNotes, report, group) > 0;
            if (i % 2 == 1) {
                ok = ok && r->GetData(id) && r->DeleteData(id);
                clerk.deleted.push_back(id);
            } else {
                clerk.kept.push_back(id);
            }
            clerk.failures += ok ? 0 : 1;
        } catch (const Error& e) {  // raised on this clerk's thread: a failure, not an abort
            ADD_FAILURE() << e.Source() << ": " << e.Description();
            ++clerk.failures;
        }
}

TEST(PostgresTest, TwoClerksSavingAndDeletingInOneReportLoseNothing) {
    test::ReportDb d;
    const int32_t report = d.NewReport();
    const int32_t ana = d.Person("Rivera", "Ana"), li = d.Person("Chen", "Li");
    const Login login(Unique("mz_test_clerk"), kClerkRole);
    Clerk first, second;
    second.login = login.Name();
    std::thread other([&] { Work(d, report, li, second); });
    Work(d, report, ana, first);
    other.join();
    EXPECT_EQ(first.failures + second.failures, 0);
    auto scalar = [&](const std::string& sql) { return d.db.Scalar(sql); };
    EXPECT_EQ(scalar("select count(*) from rpt_Receipts"), "6");
    EXPECT_EQ(scalar("select count(*) from rpt_gns_items"), "12");
    EXPECT_EQ(scalar("select count(*) from rpt_notes"), "6");
    // Every item and note hangs on a receipt that is still there: no cascade went half-way.
    EXPECT_EQ(scalar("select count(*) from rpt_gns_items i where not exists (select 1 from "
                     "rpt_Receipts r where r.unique_id = i.receipt_id)"),
              "0");
    EXPECT_EQ(scalar("select count(*) from rpt_notes n where not exists (select 1 from "
                     "rpt_Receipts r where r.group_id = n.link_id)"),
              "0");
    EXPECT_EQ(scalar("select count(*) from rpt_name_address"), "2");
    for (const Clerk* c : {&first, &second})
        for (int32_t id : c->kept)
            EXPECT_EQ(scalar("select count(*) from rpt_gns_items where receipt_id = " +
                             std::to_string(id)),
                      "2");
}

}  // namespace
}  // namespace mz
