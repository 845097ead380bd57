// DbConnect on a report database of either engine: connection checks, queries and their field
// descriptions, refusals, stored procedures, the generic update and delete, transactions.
#include "db/db_connect.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "db/schema_loader.h"
#include "platform/error.h"
#include "support/temp_db.h"

namespace mz {
namespace {

using test::TempReportDb;

// A schedule-like table, a view over it and procedures that exercise the runner.
constexpr const char* kFixtureSql = R"sql(
CREATE TABLE rpt_test (
    unique_id integer PRIMARY KEY AUTOINCREMENT,
    report_id int NOT NULL,
    amount money,
    rate numeric(9,2),
    memo varchar(40) COLLATE NOCASE,
    code char(3),
    is_done bit,
    small smallint,
    paid_date datetime,
    update_date datetime,
    CHECK (amount >= 0)
);
CREATE VIEW vw_test AS SELECT t.unique_id, t.amount, t.memo, t.paid_date FROM rpt_test t;
)sql";

class DbConnectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.Exec(kFixtureSql);
        db.AddProcedure(
            "sp_insert_rpt_test",
            "@Report_id int, @Amount money, @Paid_date datetime, @Unique_id int OUTPUT",
            "INSERT INTO rpt_test (report_id, amount, paid_date) VALUES (@Report_id, "
            "@Amount, @Paid_date);\nSELECT mz_last_id('rpt_test', 'unique_id') AS \"@Unique_id\";");
        db.AddProcedure("sp_refuse", "@Why varchar(20)",
                        "INSERT INTO rpt_test (report_id) VALUES (99);\n"
                        "SELECT @Why AS \"@error\" WHERE @Why IS NOT NULL;");
        db.AddProcedure("sp_list_test", "@Min money",
                        "SELECT unique_id, amount FROM rpt_test WHERE amount >= @Min ORDER BY "
                        "unique_id;");
        ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
    }

    // Inserts through the procedure and returns the new id, or -1 with the error text in last.
    int32_t Insert(int32_t report, const Variant& amount, const Variant& date) {
        last = conn.CreateCommand("sp_insert_rpt_test");
        if (!last.empty()) return -1;
        conn.AddParameter("@Report_id", Variant(report));
        conn.AddParameter("@Amount", amount);
        conn.AddParameter("@Paid_date", date);
        last = conn.ExecuteCommand();
        Variant id;
        conn.GetParameter("@Unique_id", id);
        conn.ClearCommand();
        return last.empty() ? id.ToInt32() : -1;
    }

    std::string Update(const std::string& table, const std::string& column, int32_t id,
                       const Variant& value) {
        std::string e = conn.CreateCommand("sp_update_table");
        if (!e.empty()) return e;
        conn.AddParameter("@table", Variant(table));
        conn.AddParameter("@column", Variant(column));
        conn.AddParameter("@unique_id", Variant(id));
        conn.AddParameter("@value", value);
        return conn.ExecuteCommand();
    }

    TempReportDb db;
    DbConnect conn;
    std::string last;
};

// What a path holds, for "nothing was created or changed": kind, size, bytes, and which of the
// files SQLite keeps beside a database exist.
std::string PathState(const std::string& path) {
    std::string state;
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        const std::string p = path + suffix;
        state += suffix;
        state += std::filesystem::is_directory(p, ec) ? "=dir "
                 : !std::filesystem::exists(p, ec)    ? "=none "
                                                      : "=file ";
        if (std::filesystem::is_regular_file(p, ec)) {
            std::ifstream in(p, std::ios::binary);
            state += std::to_string(std::hash<std::string>()(
                         std::string(std::istreambuf_iterator<char>(in), {}))) +
                     " ";
        }
    }
    return state;
}

TEST(DbConnectSettings, EachBadDatabaseFileGetsItsOwnReasonAndStaysAsItWas) {
    MZ_EMBEDDED_ONLY("bad database files");
    TempReportDb newer;
    newer.Exec("INSERT INTO mz_schema_version VALUES (3, '2030-01-01')");
    // The first layout kept amounts as floats that a sum could not add exactly.
    TempReportDb older;
    older.Exec("UPDATE mz_schema_version SET version = 1");
    TempReportDb unversioned;
    unversioned.Exec("DELETE FROM mz_schema_version");
    const struct {
        const char* what;
        std::function<void(const std::string&)> make;
        std::string reason;  // "P" stands for the quoted path
    } cases[] = {
        {"missing", [](const std::string&) {}, "No report database at P: there is no such file."},
        {"folder", [](const std::string& p) { std::filesystem::create_directory(p); },
         "P is a folder, not a report database."},
        {"text file", [](const std::string& p) { std::ofstream(p) << "Treasurer's notes\n"; },
         "P is not a report database: it is not an SQLite database file."},
        {"empty file", [](const std::string& p) { std::ofstream{p}; },
         "P is an empty file, not a report database."},
        {"other database",
         [](const std::string& p) {
             sqlite3* db = nullptr;
             sqlite3_open(p.c_str(), &db);
             sqlite3_exec(db, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
             sqlite3_close(db);
         },
         "P is an SQLite database but not a report database (it has no mz_schema_version "
         "table)."},
        {"newer schema", [&](const std::string& p) { std::filesystem::copy_file(newer.Path(), p); },
         "P is a report database of schema version 3, newer than version 2 that this library "
         "reads: it needs a later release."},
        {"older schema", [&](const std::string& p) { std::filesystem::copy_file(older.Path(), p); },
         "P is a report database of schema version 1, older than version 2 that this library "
         "reads."},
        {"no version",
         [&](const std::string& p) { std::filesystem::copy_file(unversioned.Path(), p); },
         "P is not a report database: its schema version is missing."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = test::TempPath("bad.db");
        c.make(path);
        const std::string before = PathState(path);
        DbConnect conn;
        EXPECT_FALSE(conn.ConnectionVariables(path, "", "", "", false));
        std::string reason = c.reason;
        reason.replace(reason.find('P'), 1, "\"" + path + "\"");
        EXPECT_EQ(conn.ConnectError(), reason);
        EXPECT_EQ(PathState(path), before);
        EXPECT_FALSE(conn.IsConnected());
    }
    DbConnect conn;
    EXPECT_FALSE(conn.ConnectionVariables("", "sqlite", "", "", false));
    EXPECT_EQ(conn.ConnectError(), "No report database was named: the database path is empty.");
    TempReportDb good;
    EXPECT_TRUE(conn.ConnectionVariables(good.Path(), "SQLite", "", "", false));
    EXPECT_EQ(conn.ConnectError(), "");
    EXPECT_FALSE(conn.ConnectionVariables(good.Path(), "no-such-server", "", "", false));
    EXPECT_EQ(conn.ConnectError(), "No database backend is named \"no-such-server\".");
    ResultSet rs;
    EXPECT_NE(conn.OpenRecordset("select 1 as one", rs), "") << "a failed switch leaves it closed";
    EXPECT_THROW(conn.BeginTrans(), Error);
}

// Runs body in a child process, as a user who is not root when ordinary (root reads and writes
// whatever the permissions say), and returns the text body returned.
std::string InChild(bool ordinary, const std::function<std::string()>& body) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(pipe_fds[0]);
        std::string out;
        if (ordinary && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            out = "cannot leave root";
        else
            out = body();
        (void)!write(pipe_fds[1], out.data(), out.size());
        _exit(0);
    }
    close(pipe_fds[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = read(pipe_fds[0], buf, sizeof buf)) > 0;) out.append(buf, n);
    close(pipe_fds[0]);
    waitpid(child, nullptr, 0);
    return out;
}

TEST(DbConnectSettings, UnreadableReadOnlyAndFullDisksAreNamed) {
    MZ_EMBEDDED_ONLY("file permissions and a full disk");
    TempReportDb db;
    const std::string before = PathState(db.Path());
    const auto connect = [&] {
        DbConnect conn;
        return conn.ConnectionVariables(db.Path(), "", "", "", false) ? std::string("connected")
                                                                      : conn.ConnectError();
    };
    const std::string quoted = "\"" + db.Path() + "\"";
    std::filesystem::permissions(db.Path(), std::filesystem::perms::none);
    EXPECT_EQ(InChild(true, connect), quoted + " cannot be read: Permission denied.");
    std::filesystem::permissions(db.Path(), std::filesystem::perms::owner_read |
                                                std::filesystem::perms::group_read |
                                                std::filesystem::perms::others_read);
    EXPECT_EQ(InChild(true, connect),
              quoted + " is read-only: a report database must be writable.");
    std::filesystem::permissions(db.Path(), std::filesystem::perms::all);
    EXPECT_EQ(PathState(db.Path()), before);

    // A full disk: no file may grow. Opening needs the shared-memory file; a save needs the log.
    const auto disk_full = [] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit none = {0, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &none);
    };
    EXPECT_EQ(InChild(false,
                      [&] {
                          disk_full();
                          return connect();
                      }),
              quoted + " cannot be read: disk I/O error (File too large).");
    DbConnect conn;
    ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
    const int32_t report = test::NewReportVersion(conn, "new");
    const std::string saved = test::DatabaseDigest(db.Path());
    const std::string raised = InChild(false, [&] {
        DbConnect c;
        if (!c.ConnectionVariables(db.Path(), "", "", "", false)) return c.ConnectError();
        disk_full();
        try {
            c.CreateCommand("sp_misc_report_amend");
            c.AddParameter("@Ref_report_id", Variant(report));
            return "saved: " + c.ExecuteCommand();
        } catch (const Error& e) {
            return e.Description();
        }
    });
    EXPECT_TRUE(raised == "database or disk is full" || raised == "disk I/O error") << raised;
    EXPECT_EQ(test::DatabaseDigest(db.Path()), saved);
    EXPECT_EQ(db.Scalar("PRAGMA integrity_check"), "ok");
}

TEST(SchemaLoader, RefusesToOverwriteAndStampsTheVersion) {
    TempReportDb db;
    EXPECT_EQ(db.Scalar("select max(version) from mz_schema_version"), "2");
    if (!test::OnPostgres()) {
        EXPECT_EQ(db.Scalar("pragma journal_mode"), "wal");
    }
    std::string error = CreateReportDatabase(db.Path());
    EXPECT_NE(error.find(test::OnPostgres() ? "already holds tables" : "already exists"),
              std::string::npos)
        << error;
    EXPECT_EQ(
        db.Scalar("select count(*) from mz_procedure where name = 'sp_insert_rpt_name_address'"),
        "1");
}

TEST_F(DbConnectTest, FieldsCarryDeclaredTypesSizesAndPrecisionsAlsoThroughViews) {
    ASSERT_GT(Insert(7, Variant(Currency::FromRaw(125000)), Variant("01/15/2005")), 0);
    ResultSet rs;
    ASSERT_EQ(conn.OpenRecordset("select * from rpt_test", rs), "");
    EXPECT_EQ(rs.RecordCount(), 1);
    struct Expect {
        const char* name;
        VarType type;
        int32_t size;
        int precision;
    };
    for (const Expect& e :
         {Expect{"UNIQUE_ID", VarType::Int32, 4, 10}, Expect{"amount", VarType::Currency, 8, 19},
          Expect{"rate", VarType::Currency, 19, 9}, Expect{"memo", VarType::String, 40, 0},
          Expect{"code", VarType::String, 3, 0}, Expect{"is_done", VarType::Boolean, 2, 0},
          Expect{"small", VarType::Int16, 2, 5}, Expect{"paid_date", VarType::Date, 8, 0}}) {
        Field f = rs.Fields(e.name);
        EXPECT_EQ(f.Type(), e.type) << e.name;
        EXPECT_EQ(f.DefinedSize(), e.size) << e.name;
        EXPECT_EQ(f.Precision(), e.precision) << e.name;
    }
    EXPECT_EQ(rs.Value("amount"), Variant(Currency::FromRaw(125000)));
    EXPECT_EQ(rs.Value("paid_date").ToText(), "1/15/2005");
    EXPECT_TRUE(rs.Value("memo").IsNull());

    ASSERT_EQ(
        conn.OpenRecordset("select v.memo, v.paid_date, label = 'x' + v.memo from vw_test v", rs),
        "");
    EXPECT_EQ(rs.Fields("memo").DefinedSize(), 40);
    EXPECT_EQ(rs.Fields("paid_date").Type(), VarType::Date);
    EXPECT_TRUE(rs.Value("label").IsNull()) << "Null propagates through +";
}

TEST_F(DbConnectTest, QueriesThatAreNotOneReadingStatementAreRefusedAndChangeNothing) {
    ASSERT_GT(Insert(1, Variant(10.0), Variant::Null()), 0);
    ResultSet rs;
    for (const char* sql :
         {"", "   ", "select * from", "select 1; delete from rpt_test", "delete from rpt_test",
          "update rpt_test set amount = 0", "insert into rpt_test (report_id) values (1)",
          "drop table rpt_test", "create table x (a int)", "pragma writable_schema = 1",
          "attach database 'x.db' as x", "select * from no_such_table",
          "with d as (select 1) delete from rpt_test"}) {
        std::string error = conn.OpenRecordset(sql, rs);
        EXPECT_NE(error, "") << "accepted: " << sql;
        EXPECT_EQ(rs.State(), ResultSet::kStateClosed) << sql;
    }
    EXPECT_EQ(db.Scalar("select count(*) from rpt_test"), "1");
    EXPECT_EQ(conn.OpenRecordset("select count(*) as n from rpt_test; -- trailing comment", rs),
              "");
}

TEST_F(DbConnectTest, ProceduresBindEveryValueAndReturnOutputs) {
    EXPECT_NE(conn.CreateCommand("sp_no_such_thing"), "");
    EXPECT_NE(conn.AddParameter("@Report_id", Variant(1)), "")
        << "no command after a failed create";
    ASSERT_EQ(conn.CreateCommand("SP_INSERT_RPT_TEST"), "");
    EXPECT_NE(conn.AddParameter("@Nope", Variant(1)), "");
    conn.ClearCommand();

    // A text that would break spliced SQL is stored as it stands.
    int32_t id = Insert(3, Variant("12.5"), Variant("2/3/2006"));
    ASSERT_GT(id, 0) << last;
    const std::string where = " from rpt_test where unique_id = " + std::to_string(id);
    EXPECT_EQ(db.Scalar("select amount" + where) + "|" + db.Scalar("select paid_date" + where),
              "12.5|2006-02-03");
    EXPECT_EQ(Update("rpt_test", "memo", id, Variant("O'Brien'); drop table rpt_test; --")), "");
    EXPECT_EQ(db.Scalar("select memo from rpt_test where unique_id = " + std::to_string(id)),
              "O'Brien'); drop table rpt_test; --");
    EXPECT_NE(db.Scalar("select update_date from rpt_test where unique_id = " + std::to_string(id)),
              "NULL")
        << "the generic update stamps update_date";

    ResultSet rs;
    ASSERT_EQ(conn.OpenRecordset("exec sp_list_test 10", rs), "");
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_NE(conn.OpenRecordset("exec sp_insert_rpt_test 1, 2, null", rs), "")
        << "a writing procedure may not run as a query";
}

TEST_F(DbConnectTest, GenericUpdateAndDeleteAcceptOnlySchemaNamesAndConvertValues) {
    int32_t id = Insert(3, Variant(5.0), Variant::Null());
    ASSERT_GT(id, 0);
    EXPECT_NE(Update("no_table", "memo", id, Variant("x")).find("no table"), std::string::npos);
    EXPECT_NE(Update("rpt_test", "memo; drop", id, Variant("x")).find("no column"),
              std::string::npos);
    EXPECT_NE(Update("vw_test", "memo", id, Variant("x")), "") << "views are not tables";
    EXPECT_NE(Update("mz_procedure", "body", id, Variant("x")), "") << "internal tables are closed";
    EXPECT_NE(Update("rpt_test", "unique_id", id, Variant("1")), "");
    EXPECT_NE(Update("rpt_test", "memo", id + 100, Variant("x")), "") << "no such row";

    EXPECT_EQ(Update("RPT_TEST", "Paid_Date", id, Variant("12/31/2004")), "");
    EXPECT_EQ(Update("rpt_test", "is_done", id, Variant("True")), "");
    EXPECT_EQ(Update("rpt_test", "amount", id, Variant("7.25")), "");
    EXPECT_EQ(Update("rpt_test", "memo", id, Variant::Null()), "");
    std::string stored;
    for (const char* column : {"paid_date", "is_done", "amount", "memo"})
        stored += db.Scalar(std::string("select ") + column + " from rpt_test") + "|";
    EXPECT_EQ(stored, "2004-12-31|1|7.25|NULL|");

    ASSERT_EQ(conn.CreateCommand("sp_delete_table"), "");
    conn.AddParameter("@table", Variant("rpt_test"));
    conn.AddParameter("@unique_id", Variant(id));
    EXPECT_EQ(conn.ExecuteCommand(), "");
    EXPECT_NE(conn.ExecuteCommand(), "") << "the row is gone";
    EXPECT_EQ(db.Scalar("select count(*) from rpt_test"), "0");
}

TEST_F(DbConnectTest, ProcedureRefusalsUndoTheCallAndEngineErrorsRaise) {
    ASSERT_EQ(conn.CreateCommand("sp_refuse"), "");
    conn.AddParameter("@Why", Variant("not today"));
    EXPECT_EQ(conn.ExecuteCommand(), "not today");
    EXPECT_EQ(db.Scalar("select count(*) from rpt_test"), "0") << "the refusal undid the insert";

    // A constraint violation is the engine's error: raised, with its number and source.
    try {
        Insert(1, Variant(-1.0), Variant::Null());
        ADD_FAILURE() << "no error raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Source(), test::EngineName());
        // SQLITE_CONSTRAINT_CHECK; the server's check_violation (SQLSTATE 23514)
        EXPECT_EQ(e.Number(), err::kDriverBase + (test::OnPostgres() ? 23514 : 275));
        EXPECT_NE(e.Description().find(test::OnPostgres() ? "violates check constraint"
                                                          : "CHECK constraint failed"),
                  std::string::npos)
            << e.Description();
    }
    EXPECT_EQ(db.Scalar("select count(*) from rpt_test"), "0");
}

TEST_F(DbConnectTest, TransactionsCommitAndRollBackEverythingAndOthersSeeOnlyCommits) {
    EXPECT_FALSE(conn.InTransaction());
    conn.BeginTrans();
    EXPECT_TRUE(conn.InTransaction());
    EXPECT_THROW(conn.BeginTrans(), Error);
    Insert(1, Variant(1.0), Variant::Null());
    Insert(1, Variant(2.0), Variant::Null());
    conn.EndTrans(false);
    EXPECT_FALSE(conn.InTransaction());
    EXPECT_EQ(db.Scalar("select count(*) from rpt_test"), "0");

    conn.BeginTrans();
    Insert(1, Variant(1.0), Variant::Null());
    DbConnect other;  // readers see only committed rows
    ASSERT_TRUE(other.ConnectionVariables(db.Path(), "", "", "", false));
    ResultSet rs;
    ASSERT_EQ(other.OpenRecordset("select * from rpt_test", rs), "");
    EXPECT_EQ(rs.RecordCount(), 0);
    // A raised error inside the transaction leaves it open for its owner to end.
    EXPECT_THROW(Insert(1, Variant(-5.0), Variant::Null()), Error);
    EXPECT_TRUE(conn.InTransaction());
    conn.EndTrans(true);
    ASSERT_EQ(other.OpenRecordset("select * from rpt_test", rs), "");
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_THROW(conn.EndTrans(true), Error) << "nothing left to commit";
}

constexpr const char* kEndless =
    "with recursive r(i) as (select 1 union all select i + 1 from r) select count(*) as n from r";

TEST_F(DbConnectTest, ARunawayQueryIsStoppedWithAClearError) {
    EXPECT_EQ(DbConnect::DefaultQueryTimeLimit(), std::chrono::minutes(1));
    EXPECT_EQ(conn.QueryTimeLimit(), std::chrono::minutes(1));
    const auto stopped = [&] {
        ResultSet rs;
        try {
            conn.OpenRecordset(kEndless, rs);
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), err::kDriverBase + SQLITE_INTERRUPT);
            EXPECT_EQ(e.Source(), test::EngineName());
            EXPECT_EQ(rs.State(), ResultSet::kStateClosed);
            return e.Description();
        }
        return std::string("not stopped");
    };
    conn.QueryTimeLimit(std::chrono::milliseconds(100));
    EXPECT_EQ(stopped(), "The query was stopped: it ran longer than its time limit of 100 ms");
    // Ctrl-C in the shell: an interrupt from elsewhere stops a query without a limit.
    conn.QueryTimeLimit(std::chrono::milliseconds(0));
    std::thread ctrl_c([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        InterruptQueries();
    });
    EXPECT_EQ(stopped(), "The query was stopped: it was interrupted (Ctrl-C)");
    ctrl_c.join();
    // Inside a transaction the stop takes only the query: the transaction goes on.
    conn.QueryTimeLimit(std::chrono::milliseconds(50));
    conn.BeginTrans();
    EXPECT_EQ(stopped(), "The query was stopped: it ran longer than its time limit of 50 ms");
    ResultSet rs;
    ASSERT_EQ(conn.OpenRecordset("select count(*) as n from rpt_test", rs), "");
    EXPECT_EQ(rs.Value("n").ToInt32(), 0) << "the connection goes on working";
    EXPECT_NO_THROW(conn.EndTrans(true));
}

// Each bound of a query ends it with its own error within its time limit and a second, changes
// nothing, and leaves the connection working: on the embedded file a value longer than a value
// may be, a row the engine needs more memory for than it may take, and a call that would run on
// in one step (printf with a width of a billion) that is no longer admitted; on the server one
// long function call, stopped by the time limit; on both, rows that need more memory than a
// query may hold, and a text the server would plan for minutes.
TEST_F(DbConnectTest, EachBoundEndsItsQueryWithItsOwnErrorInTime) {
#if defined(__SANITIZE_ADDRESS__)
    constexpr int kSlower = 5;  // what a sanitized build takes for the same work
#else
    constexpr int kSlower = 1;
#endif
    ASSERT_GT(Insert(1, Variant(10.0), Variant::Null()), 0);
    const std::string digest = test::DatabaseDigest(db.Path());
    const std::string engine = test::OnPostgres() ? "postgres" : "sqlite";
    // A text of a megabyte, built row by row on the file.
    const std::string mb = test::OnPostgres()
                               ? "with recursive mb(v) as (select repeat('x', 1048000)) "
                               : "with recursive r(i) as (select 1 union all select i + 1 from "
                                 "r where i < 1048000), mb(v) as (select group_concat('x', '') "
                                 "from r) ";
    std::string wide = mb + "select v";
    for (int i = 0; i < 1100; ++i) wide += ", v || " + std::to_string(i % 10);
    std::string ctes = "with c0 as (select 1 as x)";
    for (int i = 1; i < 1000; ++i)
        ctes += ", c" + std::to_string(i) + " as (select x + 1 as x from c" +
                std::to_string(i - 1) + ")";
    const struct {
        std::string engines, sql, error;
        int seconds;
    } bounds[] = {
        {"sqlite", "select printf('%.*c', 1000000000, 'x') as x",
         "not authorized to use function: printf", 1},
        {"sqlite",
         "with recursive r(i) as (select 1 union all select i + 1 from r where i < 2000000) "
         "select length(group_concat('x', '')) as n from r",
         "The query was stopped: it made a value longer than the 1 MB a value may have (string "
         "or blob too big).",
         5},
        {"sqlite", wide + " from mb",
         "The query was stopped: it needed more than the 1024 MB of memory the engine may take "
         "(out of memory).",
         5},
        {"postgres", "select pg_sleep(30) as x",
         "The query was stopped: it ran longer than its time limit of 1000 ms", 1},
        {"both",
         mb + ", n(i) as (select 1 union all select i + 1 from n where i < 2000) select v || i as "
              "x from mb, n",
         "The query was stopped: its rows need more than the 1024 MB of memory a query may hold; "
         "ask for fewer rows or columns.",
         30},
        {"both", ctes + " select x from c999", "the text holds more than 100 SELECTs at offset ",
         1},
    };
    for (const auto& b : bounds) {
        if (b.engines != "both" && b.engines != engine) continue;
        SCOPED_TRACE(b.sql.substr(0, 80));
        conn.QueryTimeLimit(std::chrono::seconds(b.seconds * kSlower));
        ResultSet rs;
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        try {
            error = conn.OpenRecordset(b.sql, rs);
        } catch (const Error& e) {
            EXPECT_EQ(e.Source(), test::EngineName());
            error = e.Description();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::seconds((b.seconds + 1) * kSlower));
        EXPECT_NE(error.find(b.error), std::string::npos) << error;
        EXPECT_EQ(rs.State(), ResultSet::kStateClosed);
        ASSERT_EQ(conn.OpenRecordset("select count(*) as n from rpt_test", rs), "");
        EXPECT_EQ(rs.Value("n").ToInt32(), 1);
    }
    EXPECT_EQ(test::DatabaseDigest(db.Path()), digest);
}

// A write outside a transaction takes the write lock first: it waits while another connection
// writes, even when the procedure reads before it writes, and a read that failed halfway holds
// no snapshot that would make the write fail at once.
// True when, seen from another process, the file's shared-lock range is held: the file is in use.
bool SeenInUse(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        const int fd = open(path.c_str(), O_RDONLY);
        struct flock lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0x40000002;  // SQLite's shared-lock bytes
        lock.l_len = 510;
        _exit(fd >= 0 && fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(DbConnectWriters, ASecondWriterWaitsItsTurn) {
    MZ_EMBEDDED_ONLY("the embedded file's write lock, held by a raw sqlite3 handle");
    TempReportDb db;
    DbConnect conn;
    ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
    const int32_t report = test::NewReportVersion(conn, "new");
    // A stored amount beyond money's range raises while its row is being read.
    db.Exec(
        "INSERT INTO mz_procedure (name, parameters, body) VALUES ('sp_bad_read', '', "
        "'SELECT Amount FROM rpt_Receipts;'); INSERT INTO rpt_Receipts (report_id, Amount) "
        "VALUES (1, 1e300)");
    ResultSet rs;
    EXPECT_THROW(conn.OpenRecordset("exec sp_bad_read", rs), Error);

    sqlite3* other = nullptr;
    sqlite3_open(db.Path().c_str(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO rpt_report_group DEFAULT VALUES",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::thread commit_later([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    // sp_misc_report_amend reads (its check) before it writes.
    try {
        EXPECT_GT(test::NewReportVersion(conn, "amend", report), report);
    } catch (const Error& e) {
        ADD_FAILURE() << "the second writer failed: " << e.Description();
    }
    commit_later.join();
    sqlite3_close(other);
    EXPECT_EQ(db.Scalar("select count(*) from rpt_report_group"), "2");

    // Another connection of this process opening the file leaves the first one's lock on it:
    // without it a second program would take the file for its own alone when it closes, and
    // checkpoint and remove the log that this one goes on writing to.
    ASSERT_TRUE(SeenInUse(db.Path()));
    DbConnect second;
    ASSERT_TRUE(second.ConnectionVariables(db.Path(), "", "", "", false));
    EXPECT_TRUE(SeenInUse(db.Path()));
}

}  // namespace
}  // namespace mz
