// The committee records on a real report database: each cascade removes exactly what hangs under
// its row (the fault walk fails each of its steps), the cover-page lists follow an amended
// report, support items come in type order and transfers by page.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "committee/committee_rows.h"

namespace mz {
namespace {

using namespace test;  // the row helpers

const std::initializer_list<const char*> kTables = {"rpt_accounts",  "rpt_officers",
                                                    "rpt_transfers", "rpt_admin_support",
                                                    "rpt_notes",     "rpt_name_address"};

// One row of each class with a note in report 1; the bank holds a second account too, the
// treasurer is named by that row only.
struct Scene {
    explicit Scene(test::ReportDb& d) {
        r1 = d.NewReport();
        accounts = d.Object<clsAccount_Data>(r1);
        officers = d.Object<clsOfficer_Data>(r1);
        transfers = d.Object<clsTransfer_Data>(r1);
        support = d.Object<clsAdminSupport_Data>(r1);
        const int32_t bank = d.Org("First Bank");
        account = AddAccount(*accounts, r1, bank, "CHK", 1, 500);
        d.AddNote(*accounts->mobNotes, r1, accounts->GroupID());
        AddAccount(*accounts, r1, bank, "SAV", 2, 100);
        officer = AddOfficer(*officers, r1, d.Person("Lee", "Ann"), "TRS");
        d.AddNote(*officers->mobNotes, r1, officers->GroupID());
        transfer = AddTransfer(*transfers, r1, 250, 1);
        d.AddNote(*transfers->mobNotes, r1, transfers->GroupID());
        item = AddSupport(*support, r1, "oth", "phone bank", 120);
        d.AddNote(*support->mobNotes, r1, support->GroupID());
    }
    // The object and row of cascade `which` (0 account, 1 officer, 2 transfer, 3 support).
    std::pair<RecordObject*, int32_t> Row(int which) const {
        const std::pair<RecordObject*, int32_t> rows[] = {{accounts.get(), account},
                                                          {officers.get(), officer},
                                                          {transfers.get(), transfer},
                                                          {support.get(), item}};
        return rows[which];
    }
    int32_t r1 = 0, account = 0, officer = 0, transfer = 0, item = 0;
    std::unique_ptr<clsAccount_Data> accounts;
    std::unique_ptr<clsOfficer_Data> officers;
    std::unique_ptr<clsTransfer_Data> transfers;
    std::unique_ptr<clsAdminSupport_Data> support;
};

TEST(CommitteeDbTest, EachCascadeRemovesExactlyWhatHangsUnderItsRow) {
    test::ReportDb d;
    Scene s(d);
    const char* after[] = {
        // The bank stays: the second account names it too.
        "rpt_accounts=2; rpt_officers=1; rpt_transfers=1; rpt_admin_support=1; "
        "rpt_notes=2,3,4; rpt_name_address=1,2; ",
        "rpt_accounts=2; rpt_officers=; rpt_transfers=1; rpt_admin_support=1; rpt_notes=3,4; "
        "rpt_name_address=1; ",
        "rpt_accounts=2; rpt_officers=; rpt_transfers=; rpt_admin_support=1; rpt_notes=4; "
        "rpt_name_address=1; ",
        "rpt_accounts=2; rpt_officers=; rpt_transfers=; rpt_admin_support=; rpt_notes=; "
        "rpt_name_address=1; ",
    };
    for (int which = 0; which < 4; ++which) {
        auto [object, id] = s.Row(which);
        ASSERT_TRUE(object->GetData(id));
        EXPECT_TRUE(object->DeleteData(id));
        EXPECT_EQ(d.Snapshot(kTables), after[which]) << which;
    }
}

std::string AccountCover(clsAccount_Data& a, int32_t report) {
    if (!a.GetDataReportCover(report)) return "(none)";
    std::string text;
    for (a.MoveFirst(); !a.EOF(); a.MoveNext()) {
        text += std::to_string(a.Sequence()) + " " + a.AccountAbbr() + " " + a.OrgName() + " " +
                a.BeginBalance().ToString() + "; ";
    }
    return text;
}

std::string OfficerCover(clsOfficer_Data& o, int32_t report, bool entity = false) {
    if (!o.GetDataReportCover(report, entity)) return "(none)";
    std::vector<std::string> seen;  // the list has no order of its own
    for (o.MoveFirst(); !o.EOF(); o.MoveNext()) {
        seen.push_back(o.FullName() + " (" + o.mRecSet()->Value("name_type_desc").ToText() + ") p" +
                       std::to_string(o.PageAmountID()) + "; ");
    }
    std::sort(seen.begin(), seen.end());
    std::string text;
    for (const std::string& s : seen) text += s;
    return text;
}

TEST(CommitteeDbTest, CoverPageListsOverAnAmendedReport) {
    test::ReportDb d;
    const int32_t r1 = d.NewReport();
    auto accounts = d.Object<clsAccount_Data>(r1);
    const int32_t bank = d.Org("First Bank");
    const int32_t savings = AddAccount(*accounts, r1, bank, "SAV", 3, 100);
    AddAccount(*accounts, r1, -1, "PET", 1, 20);  // no holding organisation
    AddAccount(*accounts, r1, bank, "CHK", 2, 500);
    auto officers = d.Object<clsOfficer_Data>(r1);
    AddOfficer(*officers, r1, d.Org("Friends of Lee"), "CEN");
    const int32_t treasurer = AddOfficer(*officers, r1, d.Person("Lee", "Ann"), "TRS");
    const int32_t chair = AddOfficer(*officers, r1, d.Person("Park", "Bo"), "CHR");
    AddOfficer(*officers, r1, 0, "ATR");  // entity 0: never on the cover
    const int32_t page = AddPage(d, r1, 4);
    ASSERT_TRUE(officers->GetData(treasurer));
    officers->PageAmountID(page);
    ASSERT_TRUE(officers->SaveData());

    const std::string filed_accounts = "1 PET  20; 2 CHK First Bank 500; 3 SAV First Bank 100; ";
    const std::string filed_officers = "Ann Lee (Treasurer) p4; Bo Park (Chair) p0; ";
    EXPECT_EQ(AccountCover(*accounts, r1), filed_accounts);
    EXPECT_EQ(OfficerCover(*officers, r1), filed_officers);
    EXPECT_EQ(OfficerCover(*officers, r1, true), "Friends of Lee (Committee Entity) p0; ");

    // The amendment replaces the chair and corrects the savings balance.
    const int32_t r2 = d.Amend(r1);
    auto later = d.Object<clsOfficer_Data>(r2);
    ASSERT_TRUE(later->GetData(chair));
    EXPECT_TRUE(later->DeleteData(chair));
    AddOfficer(*later, r2, d.Person("Diaz", "Cy"), "CHR");
    auto amended = d.Object<clsAccount_Data>(r2);
    ASSERT_TRUE(amended->GetData(savings));
    amended->BeginBalance(Money(150));
    EXPECT_TRUE(amended->SaveData());
    // Page rows are seen through later versions like any row.
    EXPECT_EQ(OfficerCover(*later, r2), "Ann Lee (Treasurer) p4; Cy Diaz (Chair) p0; ");
    EXPECT_EQ(AccountCover(*amended, r2),
              "1 PET  20; 2 CHK First Bank 500; 3 SAV First Bank 150; ");
    EXPECT_EQ(OfficerCover(*later, r1), filed_officers);
    EXPECT_EQ(AccountCover(*amended, r1), filed_accounts);
    EXPECT_EQ(amended->GetNewSequence(r2), 4);

    // The row views carry the joined names.
    ASSERT_TRUE(later->GetData(treasurer));
    EXPECT_EQ(later->FirstName() + "|" + later->LastName() + "|" + later->FullName() + "|" +
                  later->NameTypeDesc(),
              "Ann|Lee|Ann Lee|Treasurer");
    EXPECT_EQ(later->GetTextLength(mzML_JudicialSeat_Officer), 50);
    ASSERT_TRUE(amended->GetData(savings));
    EXPECT_EQ(amended->OrgName(), "First Bank");
    EXPECT_EQ(amended->GetTextLength(mzML_EndBalance_Account), 19);
    EXPECT_EQ(amended->GetTextLength(6), 0);
}

TEST(CommitteeDbTest, SupportItemsInTypeOrderWithTheirNames) {
    test::ReportDb d;
    const int32_t r1 = d.NewReport();
    auto s = d.Object<clsAdminSupport_Data>(r1);
    AddSupport(*s, r1, "pst", "stamps", 40);
    EXPECT_EQ(s->GetNewSequence(r1), 1);  // only 'oth' items count
    AddSupport(*s, r1, "oth", "phone bank", 120);
    AddSupport(*s, r1, "off", "", 300);
    AddSupport(*s, r1, "oth", "", 15);
    ASSERT_TRUE(s->GetDataList(r1));
    EXPECT_EQ(s->Count(), 4);
    std::string seen;
    for (s->MoveFirst(); !s->EOF(); s->MoveNext()) {
        seen += std::to_string(s->TypeSequence()) + "." + std::to_string(s->Sequence()) + " " +
                s->FullName() + " " + s->AllowMultiple() + " " + s->Amount().ToString() + "; ";
    }
    // Postage keeps only its type's name though it has a free description.
    EXPECT_EQ(seen,
              "1.2 Office Space 0 300; 5.1 Postage 0 40; 6.1 Other - phone bank 1 120; "
              "6.2 Other -  1 15; ");
    ASSERT_TRUE(s->GetData(2));  // the row view names it as the list does
    EXPECT_EQ(s->FullName() + "|" + std::to_string(s->TypeSequence()), "Other - phone bank|6");
    s->IsNew(true);  // with a current row the flag can be set
    EXPECT_TRUE(s->IsNew());
    EXPECT_EQ(s->GetTextLength(mzML_ItemDesc_AdminSupport), 100);
}

TEST(CommitteeDbTest, TransfersByPageThenSequence) {
    test::ReportDb d;
    const int32_t r1 = d.NewReport();
    const int32_t page1 = AddPage(d, r1, 1), page2 = AddPage(d, r1, 2);
    auto t = d.Object<clsTransfer_Data>(r1);
    AddTransfer(*t, r1, 10, 1, page2);
    AddTransfer(*t, r1, 20, 2, page1);
    AddTransfer(*t, r1, 30, 1, page1);
    const int32_t loose = AddTransfer(*t, r1, 40, 3);
    EXPECT_EQ(t->GetNewSequence(r1, "TRN"), t->GetNewSequence(r1, "ASP"));
    ASSERT_TRUE(t->GetDataList(r1));
    std::string seen;
    for (t->MoveFirst(); !t->EOF(); t->MoveNext())
        seen += t->ActualPageNumber() + "/" + std::to_string(t->Sequence()) + " ";
    EXPECT_EQ(seen, "/3 1/1 1/2 2/1 ");  // no page first
    // The list joins no highest number or amount of the page: reading one is the result set's
    // "item not found".
    t->MoveFirst();
    try {
        t->MaxPageNumber();
        ADD_FAILURE() << "nothing raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), err::kItemNotFound);
    }
    t->ListFilter("Amount > 15");
    EXPECT_EQ(t->CurrentCount(), 3);
    t->ListFilter("0");
    EXPECT_EQ(t->CurrentCount(), 4);
    ASSERT_TRUE(t->GetData(1));
    EXPECT_EQ(t->ActualPageNumber(), "2");  // the row view carries its page too
    ASSERT_TRUE(t->GetData(loose));
    EXPECT_EQ(t->ActualPageNumber(), "");
    // The flag is the caller's to set, with or without a row.
    clsTransfer_Data fresh;
    fresh.IsNew(true);
    EXPECT_TRUE(fresh.IsNew());
}

}  // namespace
}  // namespace mz
