// DbConnect on the embedded SQLite report database: connection checks, queries and their field
// descriptions, refusals, stored procedures, the generic update and delete, transactions.
#include "db/db_connect.h"

#include <gtest/gtest.h>

#include <filesystem>

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
INSERT INTO mz_procedure (name, parameters, body) VALUES
 ('sp_insert_rpt_test', '@Report_id int, @Amount money, @Paid_date datetime, @Unique_id int OUTPUT',
  'INSERT INTO rpt_test (report_id, amount, paid_date) VALUES (@Report_id, @Amount, @Paid_date);
   SELECT last_insert_rowid() AS "@Unique_id";'),
 ('sp_refuse', '@Why varchar(20)',
  'INSERT INTO rpt_test (report_id) VALUES (99);
   SELECT @Why AS "@error" WHERE @Why IS NOT NULL;'),
 ('sp_list_test', '@Min money',
  'SELECT unique_id, amount FROM rpt_test WHERE amount >= @Min ORDER BY unique_id;');
)sql";

class DbConnectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.Exec(kFixtureSql);
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

TEST(DbConnectSettings, OnlyExistingReportDatabasesConnect) {
    DbConnect conn;
    std::string missing = test::TempPath("missing.db");
    EXPECT_FALSE(conn.ConnectionVariables(missing, "", "", "", false));
    EXPECT_FALSE(std::filesystem::exists(missing)) << "a failed connection must create nothing";
    EXPECT_FALSE(conn.ConnectionVariables("", "sqlite", "", "", false));

    TempReportDb other;
    other.Exec("DELETE FROM mz_schema_version");
    EXPECT_FALSE(conn.ConnectionVariables(other.Path(), "", "", "", false));
    other.Exec("INSERT INTO mz_schema_version VALUES (99, '2026-01-01')");
    EXPECT_FALSE(conn.ConnectionVariables(other.Path(), "", "", "", false));

    TempReportDb good;
    EXPECT_TRUE(conn.ConnectionVariables(good.Path(), "SQLite", "", "", false));
    EXPECT_FALSE(conn.ConnectionVariables(good.Path(), "no-such-server", "", "", false));
    ResultSet rs;
    EXPECT_NE(conn.OpenRecordset("select 1 as one", rs), "") << "a failed switch leaves it closed";
    EXPECT_THROW(conn.BeginTrans(), Error);
}

TEST(SchemaLoader, RefusesToOverwriteAndStampsTheVersion) {
    TempReportDb db;
    EXPECT_EQ(db.Scalar("select max(version) from mz_schema_version"), "1");
    EXPECT_EQ(db.Scalar("pragma journal_mode"), "wal");
    std::string error = CreateReportDatabase(db.Path());
    EXPECT_NE(error.find("already exists"), std::string::npos) << error;
    EXPECT_EQ(
        db.Scalar("select count(*) from mz_procedure where name = 'sp_save_rpt_name_address'"),
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
    EXPECT_EQ(db.Scalar("select amount || '|' || paid_date from rpt_test where unique_id = " +
                        std::to_string(id)),
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
    EXPECT_EQ(db.Scalar("select paid_date || '|' || is_done || '|' || amount || '|' || "
                        "ifnull(memo, 'null') from rpt_test"),
              "2004-12-31|1|7.25|null");

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
        EXPECT_EQ(e.Source(), "SQLite");
        EXPECT_EQ(e.Number(), err::kDriverBase + 275);  // SQLITE_CONSTRAINT_CHECK
        EXPECT_NE(e.Description().find("CHECK constraint failed"), std::string::npos);
    }
    EXPECT_EQ(db.Scalar("select count(*) from rpt_test"), "0");
}

TEST_F(DbConnectTest, TransactionsCommitAndRollBackEverything) {
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
    // A raised error inside the transaction leaves it open for its owner to end.
    EXPECT_THROW(Insert(1, Variant(-5.0), Variant::Null()), Error);
    EXPECT_TRUE(conn.InTransaction());
    conn.EndTrans(true);
    EXPECT_EQ(db.Scalar("select count(*) from rpt_test"), "1");
    EXPECT_THROW(conn.EndTrans(true), Error) << "nothing left to commit";
}

TEST_F(DbConnectTest, TwoConnectionsShareOneDatabase) {
    DbConnect other;
    ASSERT_TRUE(other.ConnectionVariables(db.Path(), "", "", "", false));
    conn.BeginTrans();
    Insert(1, Variant(1.0), Variant::Null());
    ResultSet rs;
    ASSERT_EQ(other.OpenRecordset("select * from rpt_test", rs), "");
    EXPECT_EQ(rs.RecordCount(), 0) << "readers see only committed rows";
    conn.EndTrans(true);
    ASSERT_EQ(other.OpenRecordset("select * from rpt_test", rs), "");
    EXPECT_EQ(rs.RecordCount(), 1);
}

}  // namespace
}  // namespace mz
