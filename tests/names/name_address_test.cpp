// NameAddress on the embedded database: storing entries, the may-delete rule, and deletion inside
// the caller's transaction.
#include "names/name_address.h"

#include <gtest/gtest.h>

#include "support/temp_db.h"

namespace mz {
namespace {

TEST(NameAddress, SavesLoadsAndUpdatesEntries) {
    test::TempReportDb db;
    NameAddress names;
    ASSERT_TRUE(names.ConnectionVariables(db.Path(), "", "", "", false));
    NameAddressEntry e;
    e.is_org = true;
    e.org_name = "Friends of the Park";
    e.city = "Salem";
    std::string error;
    int32_t id = names.Save(e, error);
    ASSERT_GT(id, 0) << error;
    e.city = "Eugene";
    EXPECT_EQ(names.Save(e, error), id) << "an existing entry is updated, not duplicated";
    NameAddressEntry back;
    ASSERT_TRUE(names.Load(id, back));
    EXPECT_TRUE(back.is_org);
    EXPECT_EQ(back.org_name, "Friends of the Park");
    EXPECT_EQ(back.city, "Eugene");
    EXPECT_EQ(db.Scalar("select count(*) from rpt_name_address"), "1");

    NameAddressEntry ghost;
    ghost.unique_id = id + 50;
    EXPECT_EQ(names.Save(ghost, error), -1);
    EXPECT_NE(error.find("No name or address"), std::string::npos) << error;
    EXPECT_FALSE(names.Load(id + 50, back));
}

TEST(NameAddress, MayDeleteOnlyWhatOneRowNamesAndDeletesInTheCallersTransaction) {
    test::TempReportDb db;
    db.Exec(
        "CREATE TABLE rpt_a (unique_id integer PRIMARY KEY, entity_id int);"
        "CREATE TABLE rpt_b (unique_id integer PRIMARY KEY, reimbursee_entity_id varchar(10));");
    NameAddress names;
    ASSERT_TRUE(names.ConnectionVariables(db.Path(), "", "", "", false));
    std::string error;
    NameAddressEntry a, b, c;
    a.last_name = "A";
    b.last_name = "B";
    c.last_name = "C";
    int32_t ida = names.Save(a, error), idb = names.Save(b, error), idc = names.Save(c, error);
    db.Exec("INSERT INTO rpt_a (entity_id) VALUES (" + std::to_string(ida) + "), (" +
            std::to_string(idb) + "), (" + std::to_string(idb) + ");" +
            "INSERT INTO rpt_b (reimbursee_entity_id) VALUES ('" + std::to_string(ida) + "');");
    EXPECT_FALSE(names.CanDelete(ida)) << "named in two tables";
    EXPECT_FALSE(names.CanDelete(idb)) << "named by two rows (e.g. two versions of one row)";
    EXPECT_TRUE(names.CanDelete(idc)) << "named nowhere";
    db.Exec("DELETE FROM rpt_b");
    EXPECT_TRUE(names.CanDelete(ida)) << "named only by the row being deleted";

    DbConnect conn;
    ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
    conn.BeginTrans();
    EXPECT_TRUE(names.DeleteData(ida, 0, conn));
    EXPECT_TRUE(names.DeleteData(ida + 1000, 0, conn)) << "already gone is not a failure";
    EXPECT_TRUE(conn.InTransaction()) << "the lender's transaction stays open";
    conn.EndTrans(false);
    EXPECT_EQ(db.Scalar("select count(*) from rpt_name_address"), "3");
    conn.BeginTrans();
    EXPECT_TRUE(names.DeleteData(ida, 0, conn));
    conn.EndTrans(true);
    EXPECT_EQ(db.Scalar("select count(*) from rpt_name_address"), "2");
}

}  // namespace
}  // namespace mz
