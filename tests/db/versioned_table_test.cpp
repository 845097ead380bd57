// Versioned table declarations: what a malformed one is told, and what the generated procedure
// writes for the clauses that shape it.
#include "db/versioned_table.h"

#include <gtest/gtest.h>

namespace mz {
namespace {

TEST(VersionedTableTest, MalformedDeclarationsNameTheirFault) {
    const struct {
        const char* declaration;
        const char* error;
    } cases[] = {
        {"CREATE VERSIONED TABLE t a int", "a versioned table starts"},
        {"CREATE VERSIONED TABLE t (a int", "versioned table t: the column list is not closed"},
        {"CREATE VERSIONED TABLE t (a)", "versioned table t: column \"a\" has no type"},
        {"CREATE VERSIONED TABLE t (a int)\nINSERT @b", "parameter \"@b\" names no column"},
        {"CREATE VERSIONED TABLE t (a int)\nINSERT b", "parameter \"b\" names no column"},
        {"CREATE VERSIONED TABLE t (a int)\nMARKER a, c", "the marker keeps \"c\""},
        {"CREATE VERSIONED TABLE t (a int)\nLINK b", "the link column b is not a column"},
        {"CREATE VERSIONED TABLE t (a int)\nSORT a", "unknown clause \"SORT a\""},
        {"CREATE VERSIONED TABLE t (a int)\nLINK a\nLINK a", "clause LINK given twice"},
        {"CREATE VERSIONED TABLE t (a int)\n  a", "text outside a clause"},
        {"CREATE VERSIONED TABLE t (a int)\nPAGED a", "clause PAGED takes no text: \"a\""},
        {"CREATE VERSIONED TABLE t (a int)\nPAGED\nPAGED", "clause PAGED given twice"},
    };
    for (const auto& c : cases) {
        std::string error;
        ParseVersionedTable(c.declaration, error);
        EXPECT_NE(error.find(c.error), std::string::npos) << c.declaration << "\n-> " << error;
    }
}

TEST(VersionedTableTest, ParametersAndMarkerShapeTheProcedure) {
    std::string error;
    const VersionedTable t = ParseVersionedTable(
        "CREATE VERSIONED TABLE rpt_x (  -- comment, with a comma\n"
        "    amount money,\n"
        "    Note varchar(10),\n"
        "    end_date datetime\n"
        ")\n"
        "INSERT @Amount, @is_x = Note, @IS_X, @page_amount_id\n"
        "MARKER amount\n",
        error);
    ASSERT_EQ(error, "");
    // Names differing only in case are one parameter, typed as the column it fills.
    EXPECT_EQ(InsertProcedure(t).parameters,
              "@Function varchar(1), @Report_id int, @Ref_id int, @Amount money, "
              "@is_x varchar(10), @page_amount_id int, @Unique_id int OUTPUT, "
              "@Group_id int OUTPUT");
    const std::string body = InsertProcedure(t).body;
    // A "C" copy keeps the columns no parameter fills; a marker keeps only what it declares.
    EXPECT_NE(body.find("SELECT @Report_id, o.group_id, o.unique_id, o.sequence, @page_amount_id, "
                        "@Amount, @is_x, o.end_date"),
              std::string::npos)
        << body;
    EXPECT_NE(body.find("(report_id, group_id, ref_id, delete_date, amount)"), std::string::npos);
    EXPECT_NE(CreateTableSql(t).find("Note varchar(10) COLLATE NOCASE"), std::string::npos);
}

TEST(VersionedTableTest, PagedRowsCountTheItemsOfTheirPage) {
    std::string error;
    const VersionedTable plain = ParseVersionedTable("CREATE VERSIONED TABLE rpt_x (a int)", error);
    const VersionedTable paged =
        ParseVersionedTable("CREATE VERSIONED TABLE rpt_x (a int)\nPAGED\n", error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(VersionedObjectsSql(plain).find("Count"), std::string::npos);
    const std::string sql = VersionedObjectsSql(paged);
    EXPECT_NE(sql.find("CREATE INDEX ix_rpt_x_page ON rpt_x (page_amount_id, report_group_id, "
                       "version_from);"),
              std::string::npos);
    EXPECT_NE(sql.find("CREATE VIEW vw_mz_rpt_x_ref_current AS\nSELECT t.*, (SELECT count(*) FROM "
                       "vw_mz_rpt_x_ref_basic i"),
              std::string::npos)
        << sql;
}

}  // namespace
}  // namespace mz
