// NameAddress: entering, changing and finding entries (the calls they make, against the recording
// backend, and the entries they leave, on both engines), the may-delete rule, and deletion inside
// the caller's transaction.
#include "names/name_address.h"

#include <gtest/gtest.h>

#include "support/data_file.h"
#include "support/recording_backend.h"
#include "support/temp_db.h"

namespace mz {
namespace {

const NameField& F(std::string_view property) {
    for (const NameField& f : NameFields())
        if (f.property == property) return f;
    throw std::logic_error("no field " + std::string(property));
}

std::string Text(const NameAddress& n, std::string_view property) {
    return n.Field(F(property)).ToText();
}

// A new entry is one insert; a change is one sp_update_table call per changed column in one
// transaction (the calls every record class changes its rows with); a failed change is rolled
// back whole. The find reads each form of the name. The steps and their logs are in calls.log.
TEST(NameAddressCalls, EnterChangeAndFind) {
    test::TempReportDb db;
    auto rec = test::Recorder::Create("names", db.Path());
    NameAddress n;
    ASSERT_TRUE(n.ConnectionVariables("names", "recording", "", "", false));
    test::StepShell shell(db.Path());
    test::WalkSteps(*rec, test::DataLines("calls.log"),
                    {{"the identifier is read-only: a let through Field is ignored",
                      [&] {
                          ASSERT_TRUE(n.GetData());
                          n.Field(F("UniqueID"), Variant(7));
                          EXPECT_NE(n.Field(F("UniqueID")), Variant(7));
                      }}},
                    &shell);
    EXPECT_EQ(db.Scalar("select city from rpt_name_address"), "Salem");
}

// The entries the calls leave and the clerk's pick list, on the engine under test.
TEST(NameAddress, SavesFindsAndUpdatesEntries) {
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

    // The pick list: every form of the name, any case, in name order (names missing first).
    for (const auto& [last, first] :
         {std::pair{"Lindqvist", "Per"}, {"lind", "Mae"}, {"Park", "Lin"}, {"", "Lindy"}}) {
        NameAddressEntry p;
        p.last_name = last;
        p.first_name = first;
        ASSERT_GT(names.Save(p, error), 0) << error;
    }
    const auto found = [&](const std::string& prefix) {
        std::string list;
        if (!names.FindByName(prefix)) return std::string("none");
        for (names.MoveFirst(); !names.EOF(); names.MoveNext())
            list += Text(names, "FullName") + ";";
        return list + " " + std::to_string(names.Count());
    };
    EXPECT_EQ(found("LIND"), "Lindy;Mae lind;Per Lindqvist; 3");
    EXPECT_EQ(found("lind, m"), "Mae lind; 1");
    EXPECT_EQ(found("friends of"), "Friends of the Park; 1");
    EXPECT_EQ(found("lin p"), "Lin Park; 1");
    EXPECT_EQ(found("park"), "Lin Park; 1");
    EXPECT_EQ(found("%"), "none");
    EXPECT_EQ(found("x' or 'a' = 'a"), "none");
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
