// The committee records' cover-page lists follow an amended report, on a real report database.
// The cascades, the support items' order and the transfers' are in app/records_corpus.test.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "committee/committee_rows.h"

namespace mz {
namespace {

using namespace test;  // the row helpers

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

}  // namespace
}  // namespace mz
