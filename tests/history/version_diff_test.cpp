// Diffs and row histories end to end: a report filed, amended and audited through the record
// classes (additions, "C" copies, "D" markers, audit rows), then what every pair of versions
// differs by and what happened to single rows, exactly.
#include "history/version_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "receipts/receipt_data.h"
#include "support/report_db.h"

namespace mz {
namespace {

class VersionDiffTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(conn.ConnectionVariables(rdb.db.Path(), "", "", "", false));
        filed = rdb.NewReport();
        auto r = rdb.Object<clsReceipt_Data>(filed);
        chen = Add(*r, filed, "ind", 250, "Chen");
        small = Add(*r, filed, "ind", 480, "small gifts");
        signs = Add(*r, filed, "GNS", 600, "signs, \"big\"\nand flyers");

        amended = rdb.Amend(filed);
        auto a = rdb.Object<clsReceipt_Data>(amended);
        ASSERT_TRUE(a->GetData(Row(chen)));
        a->Amount(Currency::FromDouble(275));
        ASSERT_TRUE(a->SaveData());  // "C"
        ASSERT_TRUE(a->GetData(Row(small)));
        ASSERT_TRUE(a->DeleteData(Row(small)));  // "D"
        rivera = Add(*a, amended, "ind", 90, "Rivera");
        auto notes = rdb.Object<clsNotes>(amended);
        note = Group("rpt_notes", test::ReportDb::AddNote(*notes, amended, chen, "corrected"));

        audit = rdb.Audit(amended);
        auto u = rdb.Object<clsReceipt_Data>(audit);
        ASSERT_TRUE(u->GetData(Row(signs)));
        u->Description("signs only");
        ASSERT_TRUE(u->SaveData());  // an audit "C"
        ASSERT_TRUE(u->GetData(Row(rivera)));
        ASSERT_TRUE(u->DeleteData(Row(rivera)));  // an audit "D"
        kim = Add(*u, audit, "ind", 20, "Kim");
        names = {{chen, "chen"},     {small, "small"}, {signs, "signs"},
                 {rivera, "rivera"}, {kim, "kim"},     {note, "note"}};
    }

    // A receipt written in report; its group.
    int32_t Add(clsReceipt_Data& r, int32_t report, const char* type, double amount,
                const char* description) {
        EXPECT_TRUE(r.GetData());
        r.ReportID(report);
        r.ReceiptCode(type);
        r.Amount(Currency::FromDouble(amount));
        r.Description(description);
        EXPECT_TRUE(r.SaveData());
        return r.GroupID();
    }
    int32_t Group(const char* table, int32_t unique_id) const {
        return std::stoi(rdb.db.Scalar("select group_id from " + std::string(table) +
                                       " where unique_id = " + std::to_string(unique_id)));
    }
    // The first row of the receipt's group.
    int32_t Row(int32_t group) const {
        return std::stoi(rdb.db.Scalar("select min(unique_id) from rpt_Receipts where group_id = " +
                                       std::to_string(group)));
    }

    // "table: +row(Amount) -row ~row{column old->new}" per section that differs, rows by name.
    std::string Summary(int32_t from, int32_t to) {
        VersionDiff diff;
        if (std::string error = DiffReportVersions(conn, from, to, diff); !error.empty())
            return error;
        std::string s;
        for (const SectionDiff& d : diff.sections) {
            if (d.Empty()) continue;
            s += (s.empty() ? "" : " | ") + d.section.table + ":";
            const auto amount = std::find(d.columns.begin(), d.columns.end(), "Amount");
            auto row = [&](const DiffRow& r) {
                EXPECT_EQ(r.values.size(), d.columns.size());
                return names[r.group_id] +
                       (amount == d.columns.end()
                            ? ""
                            : "(" + r.values[amount - d.columns.begin()].ToText() + ")");
            };
            for (const DiffRow& r : d.added) s += " +" + row(r);
            for (const DiffRow& r : d.deleted) s += " -" + row(r);
            for (const ChangedRow& c : d.changed) {
                s += " ~" + names[c.group_id] + "{";
                for (const ColumnChange& ch : c.changes)
                    s += ch.column + " " + ch.old_value.ToText() + "->" + ch.new_value.ToText();
                s += "}";
            }
        }
        return s;
    }

    test::ReportDb rdb;
    DbConnect conn;
    int32_t filed = 0, amended = 0, audit = 0;
    int32_t chen = 0, small = 0, signs = 0, rivera = 0, kim = 0, note = 0;  // groups
    std::map<int32_t, std::string> names;
};

TEST_F(VersionDiffTest, EveryPairOfVersionsGivesExactlyItsRowsAndColumns) {
    EXPECT_EQ(Summary(filed, amended),
              "rpt_notes: +note | rpt_Receipts: +rivera(90) -small(480) ~chen{Amount 250->275}");
    EXPECT_EQ(Summary(amended, audit),
              "rpt_Receipts: +kim(20) -rivera(90) ~signs{Description signs, \"big\"\nand "
              "flyers->signs only}");
    EXPECT_EQ(Summary(filed, audit),
              "rpt_notes: +note | rpt_Receipts: +kim(20) -small(480) ~chen{Amount 250->275} "
              "~signs{Description signs, \"big\"\nand flyers->signs only}");
    EXPECT_EQ(Summary(audit, filed),
              "rpt_notes: -note | rpt_Receipts: +small(480) -kim(20) ~chen{Amount 275->250} "
              "~signs{Description signs only->signs, \"big\"\nand flyers}");
    EXPECT_EQ(Summary(amended, amended), "");

    // Every section is there, differing or not, with the class that lists it.
    VersionDiff diff;
    ASSERT_EQ(DiffReportVersions(conn, filed, amended, diff), "");
    EXPECT_EQ(diff.sections.size(),
              std::stoul(rdb.db.Scalar("select count(*) from mz_versioned_table")));
    std::string classes;
    for (const SectionDiff& s : diff.sections)
        if (s.section.table == "rpt_notes" || s.section.table == "rpt_gns_items")
            classes += s.section.ClassName() + " " + s.section.section_code + ";";
    EXPECT_EQ(classes, "clsGnSItems_Data GIT;clsNotes ;");
    EXPECT_EQ(diff.from.Kind() + " " + diff.to.Kind(), "original amendment");

    const int32_t other = rdb.NewReport();
    EXPECT_EQ(Summary(filed, other),
              "Reports 1 and 4 are not versions of one report: they belong to report groups 1 "
              "and 2.");
    EXPECT_EQ(Summary(filed, 99), "Report 99 does not exist.");
}

TEST_F(VersionDiffTest, HistoryTellsEachVersionOfARow) {
    // "<function> r<report>[ audit] replaces:<n> until:<n> deleted|{changes}"
    auto history = [&](const char* table, int32_t group) {
        RowHistory h;
        if (std::string error = ReadRowHistory(conn, table, group, h); !error.empty()) return error;
        std::string s;
        for (const RowVersion& v : h.versions) {
            s += (s.empty() ? "" : " | ") + std::string(1, v.function) + " r" +
                 std::to_string(v.report_id) + (v.audit ? " audit" : "") +
                 " replaces:" + std::to_string(v.replaces) +
                 " until:" + std::to_string(v.seen_until);
            if (!v.deleted.IsNull()) s += " deleted";
            EXPECT_FALSE(v.written.IsNull());
            for (const ColumnChange& c : v.changes)
                if (v.function == 'C' || c.column == "Amount")
                    s += " " + c.column + " " + c.old_value.ToText() + "->" + c.new_value.ToText();
        }
        return s;
    };
    const std::string c = std::to_string(Row(chen)), r = std::to_string(Row(rivera)),
                      g = std::to_string(Row(signs));
    EXPECT_EQ(
        history("rpt_Receipts", chen),
        "A r1 replaces:0 until:2 Amount ->250 | C r2 replaces:" + c + " until:0 Amount 250->275");
    EXPECT_EQ(
        history("RPT_RECEIPTS", rivera),
        "A r2 replaces:0 until:0 Amount ->90 | D r3 audit replaces:" + r + " until:0 deleted");
    EXPECT_EQ(history("rpt_Receipts", signs),
              "A r1 replaces:0 until:0 Amount ->600 | C r3 audit replaces:" + g +
                  " until:0 Description signs, \"big\"\nand flyers->signs only");
    EXPECT_EQ(history("rpt_nothing", chen),
              "The report database has no versioned table named \"rpt_nothing\".");
    EXPECT_EQ(history("rpt_notes", chen),
              "rpt_notes has no row of group " + std::to_string(chen) + ".");
}

}  // namespace
}  // namespace mz
