// Receipts on a real report database: a failure injected at each step of the delete cascade of a
// receipt with everything that hangs under it, every way to change a filed version's row refused,
// and the journal of changes in place. The cascades themselves and the receipt lists over an
// amended and an audited report are in app/records_corpus.test.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "core/report_versions.h"
#include "core/set_sequence.h"
#include "history/version_diff.h"
#include "platform/error.h"
#include "receipts/receipt_data.h"
#include "report/page_amount.h"
#include "support/report_db.h"

namespace mz {
namespace {

class ReceiptsDb : public test::ReportDb {
  public:
    std::unique_ptr<clsReceipt_Data> Receipts(int32_t report) {
        return Object<clsReceipt_Data>(report);
    }
    std::string Snapshot() const {
        return ReportDb::Snapshot(
            {"rpt_Receipts", "rpt_gns_items", "rpt_loan_items", "rpt_notes", "rpt_name_address"});
    }
};

using test::AddRow;

int32_t AddReceipt(clsReceipt_Data& r, int32_t report, const char* type, double amount,
                   int32_t entity, int16_t aggregated = 0) {
    return AddRow(r, {{"ReportID", report},
                      {"ReceiptCode", type},
                      {"Amount", amount},
                      {"EntityID", entity > 0 ? Variant(entity) : Variant()},
                      {"IsAggregated", aggregated},
                      {"TransDate", "03/01/2005"},
                      {"Sequence", r.GetNewSequence(report)}});
}

void AddGnsItem(clsGnSItems_Data& items, int32_t report, int32_t receipt, double amount) {
    AddRow(items, {{"ReportID", report},
                   {"ReceiptID", receipt},
                   {"Amount", amount},
                   {"Sequence", items.GetNewSequence(report, receipt)}});
}

void AddLoanItem(clsLoanItems_Data& items, int32_t report, int32_t receipt, int32_t entity,
                 double amount) {
    AddRow(items, {{"ReportID", report},
                   {"ReceiptID", receipt},
                   {"Amount", amount},
                   {"EntityID", entity > 0 ? Variant(entity) : Variant()},
                   {"IsAmount", 1}});
}

void AddNote(clsNotes& notes, int32_t report, int32_t link, const std::string& text) {
    AddRow(
        notes,
        {{"ReportID", report}, {"ReportSection", "REC"}, {"LinkID", link}, {"Description", text}});
}

// A report with a gift-and-service receipt (two items, a note, a contributor of its own), a loan
// (two endorsers) and a contribution whose contributor also gave another one.
struct Scene {
    explicit Scene(ReceiptsDb& d) {
        r1 = d.NewReport();
        receipts = d.Receipts(r1);
        const int32_t giver = d.Person("Rivera", "Ana");
        shared = d.Person("Chen", "Li");
        gift = AddReceipt(*receipts, r1, "GNS", 400, giver);
        gift_group = receipts->GroupID();
        AddGnsItem(*receipts->mobGnSItem, r1, gift, 150);
        AddGnsItem(*receipts->mobGnSItem, r1, gift, 250);
        AddNote(*receipts->mobNotes, r1, gift_group, "gift note");
        loan = AddReceipt(*receipts, r1, "LOAN", 5000, d.Org("First Bank"));
        AddLoanItem(*receipts->mobLoanEndorers, r1, loan, d.Person("Kim", "Joe"), 2500);
        AddLoanItem(*receipts->mobLoanEndorers, r1, loan, d.Person("Diaz", "Eva"), 2500);
        first = AddReceipt(*receipts, r1, "ind", 100, shared);
        AddNote(*receipts->mobNotes, r1, receipts->GroupID(), "other note");
        AddReceipt(*receipts, r1, "ind", 50, shared);
    }
    int32_t r1 = 0, shared = 0, gift = 0, gift_group = 0, loan = 0, first = 0;
    std::unique_ptr<clsReceipt_Data> receipts;
};

TEST(ReceiptsDbTest, AFailureAtAnyStepLeavesEveryRowInPlace) {
    const std::pair<const char*, const char*> steps[] = {
        {"rpt_gns_items", " (clsGnSItems_Data.DeleteData) (clsReceipt_Data.DeleteData)"},
        {"rpt_loan_items", " (clsLoanItems_Data.DeleteData) (clsReceipt_Data.DeleteData)"},
        {"rpt_notes", " (clsNotes.DeleteData) (clsReceipt_Data.DeleteData)"},
        {"rpt_name_address", " (clsReceipt_Data.DeleteData)"},
        {"rpt_Receipts", " (clsReceipt_Data.DeleteData)"},
    };
    for (const auto& [table, source] : steps) {
        SCOPED_TRACE(table);
        ReceiptsDb d;
        Scene s(d);
        d.FailDeletesOf(table);
        const std::string before = d.Snapshot();
        const bool loan = std::string(table) == "rpt_loan_items";
        const int32_t id = loan ? s.loan : s.gift;
        ASSERT_TRUE(s.receipts->GetData(id));
        try {
            s.receipts->DeleteData(id);
            ADD_FAILURE() << "nothing was raised";
        } catch (const Error& e) {
            EXPECT_NE(e.Description().find("injected failure"), std::string::npos);
            EXPECT_EQ(e.Source(), test::EngineName() + source);
        }
        EXPECT_EQ(d.Snapshot(), before);
        EXPECT_FALSE(s.receipts->Connection().InTransaction());
    }
}

// Report 1 (receipt x) is filed by its amendment, report 2 (receipt y), which is filed by its own,
// report 3 (receipt z), the open version; report 4, of a group of its own, was filed empty. Every
// way to change a row written in a filed version, through the classes, the procedures or a
// statement of a second program, is refused by the database, naming the report and where to
// change it instead, and changes nothing.
TEST(ReceiptsDbTest, EveryWayToChangeAFiledVersionsRowIsRefusedAndChangesNothing) {
    ReceiptsDb d;
    const int32_t r1 = d.NewReport();
    const int32_t x = AddReceipt(*d.Receipts(r1), r1, "ind", 150.25, -1);
    const int32_t r2 = d.Amend(r1);
    const int32_t y = AddReceipt(*d.Receipts(r2), r2, "ind", 20, -1);
    const int32_t r3 = d.Amend(r2);
    const int32_t z = AddReceipt(*d.Receipts(r3), r3, "ind", 30, -1);
    const int32_t r4 = d.NewReport();
    DbConnect c;
    ASSERT_TRUE(c.ConnectionVariables(d.db.Path(), "", "", "", false));
    ASSERT_EQ(FileReportVersion(c, r4), "");
    const std::string before = test::DatabaseDigest(d.db.Path());

    // What refused the attempt: a raised error's text, a call's error text, or "" when it went
    // through.
    const auto refusal = [](const std::function<std::string()>& attempt) {
        try {
            return attempt();
        } catch (const Error& e) {
            return e.Description();
        }
    };
    const auto through = [&](int32_t report, const std::function<bool(clsReceipt_Data&)>& f) {
        return refusal([&] { return f(*d.Receipts(report)) ? "" : std::string("False"); });
    };
    const auto call = [&](const char* procedure, const std::vector<test::Value>& params) {
        return refusal([&] {
            std::string error = c.CreateCommand(procedure);
            for (const auto& [name, value] : params)
                if (error.empty()) error = c.AddParameter(name, value);
            return error.empty() ? c.ExecuteCommand() : error;
        });
    };
    const auto statement = [&](const std::string& sql) { return d.db.TryExec(sql); };
    const std::string row = std::to_string(x);
    const struct {
        const char* what;
        std::string refusal;
        int32_t report;  // the filed report the refusal names
        const char* where = "change it through its amendment, report 3";
    } cases[] = {
        {"a class working in report 1 saves its row in place",
         through(r1,
                 [&](clsReceipt_Data& o) {
                     o.GetData(x);
                     o.Amount(Currency::FromDouble(999));
                     return o.SaveData();
                 }),
         r1},
        {"deletes it",
         through(r1, [&](clsReceipt_Data& o) { return o.GetData(x) && o.DeleteData(x); }), r1},
        {"adds a row to it",
         through(r1,
                 [&](clsReceipt_Data& o) {
                     o.GetData();
                     o.ReportID(r1);
                     o.Amount(Currency::FromDouble(5));
                     return o.SaveData();
                 }),
         r1},
        {"a class working in report 2 saves report 1's row as a copy in it",
         through(r2,
                 [&](clsReceipt_Data& o) {
                     o.GetData(x);
                     o.Amount(Currency::FromDouble(999));
                     return o.SaveData();
                 }),
         r2},
        {"marks it deleted in it",
         through(r2, [&](clsReceipt_Data& o) { return o.GetData(x) && o.DeleteData(x); }), r2},
        {"sp_update_table",
         call("sp_update_table", {{"@table", "rpt_Receipts"},
                                  {"@column", "Amount"},
                                  {"@unique_id", x},
                                  {"@value", "999"}}),
         r1},
        {"sp_delete_table",
         call("sp_delete_table", {{"@table", "rpt_Receipts"}, {"@unique_id", y}}), r2},
        {"an insert procedure",
         call("sp_insert_rpt_Receipts", {{"@Function", "A"}, {"@Report_id", r2}, {"@Ref_id", -1}}),
         r2},
        {"a second program's update", statement("UPDATE rpt_Receipts SET Amount = 999"), r1},
        {"delete", statement("DELETE FROM rpt_Receipts WHERE unique_id = " + std::to_string(y)),
         r2},
        {"insert", statement("INSERT INTO rpt_Receipts (report_id, Amount) VALUES (1, 5)"), r1},
        {"a version range",
         statement("UPDATE rpt_Receipts SET version_to = 2 WHERE unique_id = " + row), r1},
        {"an open version's row moved into a filed one",
         statement("UPDATE rpt_Receipts SET report_id = 2 WHERE unique_id = " + std::to_string(z)),
         r2},
        {"a filed version's order",
         statement("UPDATE rpt_report SET version_order = 9 WHERE report_id = 1"), r1,
         "a filed version is never changed or deleted"},
        {"a filed version opened again",
         statement("UPDATE rpt_report SET filed_date = NULL WHERE report_id = " +
                   std::to_string(r4)),
         r4, "a filed version is never changed or deleted"},
        {"a filed version removed",
         statement("DELETE FROM rpt_report WHERE report_id = " + std::to_string(r4)), r4,
         "a filed version is never changed or deleted"},
    };
    for (const auto& k : cases) {
        EXPECT_TRUE(std::regex_search(
            k.refusal,
            std::regex("report " + std::to_string(k.report) +
                       " was filed on \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d; " + k.where)))
            << k.what << ": " << k.refusal;
    }
    EXPECT_EQ(test::DatabaseDigest(d.db.Path()), before);
}

// The change journal holds every change made in place, whichever call made it: an update of a
// column, a renumbering, a page's highest figures, a row deleted with each value it had. A change
// the database refuses leaves no line.
TEST(ReceiptsDbTest, EveryChangeInPlaceIsJournaledAndARefusedOneIsNot) {
    ReceiptsDb d;
    const int32_t r1 = d.NewReport();
    auto r = d.Receipts(r1);
    const int32_t a = AddReceipt(*r, r1, "ind", 10, -1);
    const int32_t a_group = r->GroupID();
    const int32_t b = AddReceipt(*r, r1, "ind", 20, -1);
    const int32_t b_group = r->GroupID();
    ASSERT_TRUE(r->GetData(a));
    r->Amount(Currency::FromDouble(12));
    ASSERT_TRUE(r->SaveData());
    clsSetSequence sequences;
    ASSERT_TRUE(sequences.ConnectionVariables(d.db.Path(), "", "", "", false));
    sequences.SetSequence(r1, 0, "REC", 0, 0, 0, 10);
    auto pages = d.Object<clsPage_Amount>(r1);
    AddRow(*pages, {{"ReportID", r1}, {"ReportSectionCode", "rec"}, {"ActualPageNumber", "1"}});
    const int32_t page_group = pages->GroupID();
    ASSERT_TRUE(pages->UpdateMaxTotals(r1, 3, 250.5, "rec", ""));
    ASSERT_TRUE(r->GetData(b));
    ASSERT_TRUE(r->DeleteData(b));
    d.Amend(r1);
    ASSERT_TRUE(r->GetData(a));
    r->Amount(Currency::FromDouble(99));
    EXPECT_THROW(r->SaveData(), Error);  // report 1 is filed

    DbConnect c;
    ASSERT_TRUE(c.ConnectionVariables(d.db.Path(), "", "", "", false));
    // "<action> <column> <old> -> <new>; " for every edit of the row's group, non-Null values only
    // for a deletion.
    const auto edits = [&](const char* table, int32_t group) {
        RowHistory h;
        EXPECT_EQ(ReadRowHistory(c, table, group, h), "");
        std::string text;
        for (const RowVersion& v : h.versions)
            for (const JournalEdit& e : v.edits)
                for (const ColumnChange& ch : e.changes)
                    if (e.action == 'U' || !ch.old_value.IsNull())
                        text += std::string(1, e.action) + " " + ch.column + " " +
                                ch.old_value.ToText() + " -> " + ch.new_value.ToText() + "; ";
        return text;
    };
    EXPECT_EQ(edits("rpt_Receipts", a_group), "U Amount 10 -> 12; U sequence 1 -> 11; ");
    EXPECT_EQ(edits("rpt_Receipts", b_group),
              "U sequence 2 -> 12; D sequence 12 -> ; D receipt_type_code ind -> ; "
              "D is_aggregated 0 -> ; D Occur_date 3/1/2005 -> ; D Amount 20 -> ; ");
    EXPECT_EQ(edits("rpt_page_amount", page_group),
              "U max_page_number  -> 3; U max_page_amount  -> 250.5; ");
}

}  // namespace
}  // namespace mz
