// The committee records against the recording backend over a real report database: the exact SQL
// of every loader and the exact procedure calls of every save and delete path, one table of steps
// per class; the logs are in calls.log. The rows are real, so every text also runs on SQLite.
#include <gtest/gtest.h>

#include "committee/committee_rows.h"
#include "support/data_file.h"
#include "support/recording_backend.h"

namespace mz {
namespace {

using namespace test;  // the row helpers

// Report 1 filed, report 2 its amendment; in each, one row of every class, the amendment's rows
// with a note. The recorded objects work in report 2. The name component's may-delete test reads
// through the cascade's connection; the script answers its look-up of the columns naming
// entities with none (so the entity may go), which keeps the other tables out of the logs.
class CommitteeSqlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        r1 = d.NewReport();
        for (int i = 0; i < 2; ++i) {
            if (i) r2 = d.Amend(r1);
            const int32_t r[] = {r1, r2};
            auto a = d.Object<clsAccount_Data>(r[i]);  // banks: entities 1 and 3
            account[i] = AddAccount(*a, r[i], d.Org(i ? "Second Bank" : "First Bank"),
                                    i ? "SAV" : "CHK", i + 1, 500);
            auto o = d.Object<clsOfficer_Data>(r[i]);  // entities 2 and 4
            officer[i] = AddOfficer(*o, r[i], i ? d.Person("Lee", "Ann") : d.Org("Friends"),
                                    i ? "TRS" : "CEN");
            auto t = d.Object<clsTransfer_Data>(r[i]);
            transfer[i] = AddTransfer(*t, r[i], 100 * (i + 1), i + 1);
            auto s = d.Object<clsAdminSupport_Data>(r[i]);
            support[i] = AddSupport(*s, r[i], i ? "pst" : "oth", "phone bank", 40);
            if (!i) continue;
            d.AddNote(*a->mobNotes, r2, a->GroupID());
            d.AddNote(*o->mobNotes, r2, o->GroupID());
            d.AddNote(*t->mobNotes, r2, t->GroupID());
            d.AddNote(*s->mobNotes, r2, s->GroupID());
        }
        rec = Recorder::Create("com", d.db.Path());
        rec->OnQuery("mz_entity_column", "table_name:String, column_name:String");
    }

    // Connects o to the recorder in report 2.
    void Record(RecordObject& o) {
        ASSERT_TRUE(o.ConnectionVariables("com", "recording", "", "", false, "2"));
    }

    ReportDb d;
    int32_t r1 = 0, r2 = 0;
    int32_t account[2] = {}, officer[2] = {}, transfer[2] = {}, support[2] = {};
    std::shared_ptr<Recorder> rec;
};

TEST_F(CommitteeSqlTest, AccountCalls) {
    clsAccount_Data a;
    Record(a);
    rec->FailProcedure("sp_delete_table", "refused", 2);  // the cascade's own row
    WalkSteps(*rec, test::DataLines("calls.log"),
              {
                  {"GetData", [&] { EXPECT_TRUE(a.GetData(account[0])); }},
                  {"GetData new", [&] { EXPECT_TRUE(a.GetData()); }},
                  {"GetDataList", [&] { EXPECT_TRUE(a.GetDataList(r1)); }},
                  {"cover none", [&] { EXPECT_FALSE(a.GetDataReportCover()); }},
                  {"cover", [&] { EXPECT_TRUE(a.GetDataReportCover(r2)); }},
                  {"cover audit", [&] { EXPECT_TRUE(a.GetDataReportCover(r2, true)); }},
                  {"sequence", [&] { EXPECT_EQ(a.GetNewSequence(r2), 3); }},
                  {"save new: the account number is not sent, the row read back without it",
                   [&] {
                       EXPECT_TRUE(a.GetData());
                       a.ReportID(r2);
                       a.AccountType("savings");
                       a.AccountAbbr("MM");
                       a.AccountNumber("12-34");
                       a.BeginBalance(Money(10));
                       a.Sequence(3);
                       EXPECT_TRUE(a.SaveData());
                       EXPECT_EQ(a.AccountNumber(), "");
                   }},
                  {"a later save of the stored row sends it",
                   [&] {
                       a.AccountNumber("12-34");
                       EXPECT_TRUE(a.SaveData());
                   }},
                  {"save an earlier version's row: one C copy",
                   [&] {
                       EXPECT_TRUE(a.GetData(account[0]));
                       a.EndBalance(Money(900));
                       a.Purpose("Operating");
                       EXPECT_TRUE(a.SaveData());
                   }},
                  {"delete an earlier version's row: one D marker",
                   [&] {
                       EXPECT_TRUE(a.GetData(account[0]));
                       EXPECT_TRUE(a.DeleteData(account[0]));
                   }},
                  {"delete in place: notes, the bank with report 0, the row (refused: rolled back)",
                   [&] {
                       EXPECT_TRUE(a.GetData(account[1]));
                       EXPECT_FALSE(a.DeleteData(account[1]));
                   }},
              });
}

TEST_F(CommitteeSqlTest, OfficerCalls) {
    clsOfficer_Data o;
    Record(o);
    rec->FailProcedure("sp_delete_table", "refused", 2);
    WalkSteps(*rec, test::DataLines("calls.log"),
              {
                  {"GetData", [&] { EXPECT_TRUE(o.GetData(officer[0])); }},
                  {"GetData new", [&] { EXPECT_TRUE(o.GetData()); }},
                  {"GetDataList", [&] { EXPECT_TRUE(o.GetDataList(r2)); }},
                  {"cover: the officers", [&] { EXPECT_TRUE(o.GetDataReportCover(r2)); }},
                  {"cover, audit: the committee entity",
                   [&] { EXPECT_TRUE(o.GetDataReportCover(r2, true, true)); }},
                  {"save new: page and comments are not sent",
                   [&] {
                       EXPECT_TRUE(o.GetData());
                       o.ReportID(r2);
                       o.EntityID(d.Person("Park", "Bo"));
                       o.NameCode("CHR");
                       o.JudicialSeat("Seat 2");
                       o.PageAmountID(7);
                       o.Comments("acting");
                       EXPECT_TRUE(o.SaveData());
                       EXPECT_EQ(o.PageAmountID(), 0);
                   }},
                  {"delete an earlier version's row: one D marker",
                   [&] {
                       EXPECT_TRUE(o.GetData(officer[0]));
                       EXPECT_TRUE(o.DeleteData(officer[0]));
                   }},
                  {"delete in place: notes, the person with report 0, the row (refused)",
                   [&] {
                       EXPECT_TRUE(o.GetData(officer[1]));
                       EXPECT_FALSE(o.DeleteData(officer[1]));
                   }},
              });
}

TEST_F(CommitteeSqlTest, TransferCalls) {
    clsTransfer_Data t;
    Record(t);
    rec->FailProcedure("sp_delete_table", "refused", 2);
    WalkSteps(*rec, test::DataLines("calls.log"),
              {
                  {"GetData", [&] { EXPECT_TRUE(t.GetData(transfer[0])); }},
                  {"GetData new", [&] { EXPECT_TRUE(t.GetData()); }},
                  {"GetDataList none", [&] { EXPECT_FALSE(t.GetDataList()); }},
                  {"GetDataList", [&] { EXPECT_TRUE(t.GetDataList(r2)); }},
                  {"GetDataList audit", [&] { EXPECT_TRUE(t.GetDataList(r2, true)); }},
                  {"sequence: no alias, whatever the section",
                   [&] { EXPECT_EQ(t.GetNewSequence(r2, "XYZ"), 3); }},
                  {"sequence audit: the audit pieces keep f",
                   [&] { EXPECT_EQ(t.GetNewSequence(r2, "", true), 3); }},
                  {"save new",
                   [&] {
                       EXPECT_TRUE(t.GetData());
                       t.ReportID(r2);
                       t.AccountFrom("SAV");
                       t.AccountTo("CHK");
                       t.TransDate("3/15/2005");
                       t.Amount(Money(250));
                       t.Sequence(3);
                       t.CurrentPageNumber("2");
                       EXPECT_TRUE(t.SaveData());
                   }},
                  {"delete an earlier version's row: one D marker",
                   [&] {
                       EXPECT_TRUE(t.GetData(transfer[0]));
                       EXPECT_TRUE(t.DeleteData(transfer[0]));
                   }},
                  {"delete in place: notes, the row (refused)",
                   [&] {
                       EXPECT_TRUE(t.GetData(transfer[1]));
                       EXPECT_FALSE(t.DeleteData(transfer[1]));
                   }},
              });
}

TEST_F(CommitteeSqlTest, AdminSupportCalls) {
    clsAdminSupport_Data s;
    Record(s);
    rec->FailProcedure("sp_delete_table", "refused", 2);
    WalkSteps(*rec, test::DataLines("calls.log"),
              {
                  {"GetData", [&] { EXPECT_TRUE(s.GetData(support[0])); }},
                  {"GetData new", [&] { EXPECT_TRUE(s.GetData()); }},
                  {"GetDataList", [&] { EXPECT_TRUE(s.GetDataList(r2)); }},
                  {"GetDataList audit", [&] { EXPECT_TRUE(s.GetDataList(r2, true)); }},
                  {"sequence: 'oth' items only", [&] { EXPECT_EQ(s.GetNewSequence(r2), 2); }},
                  {"save new",
                   [&] {
                       EXPECT_TRUE(s.GetData());
                       s.ReportID(r2);
                       s.ItemCode("off");
                       s.Amount(Money(300));
                       s.PageAmountID(5);
                       EXPECT_TRUE(s.SaveData());
                   }},
                  {"delete an earlier version's row: one D marker",
                   [&] {
                       EXPECT_TRUE(s.GetData(support[0]));
                       EXPECT_TRUE(s.DeleteData(support[0]));
                   }},
                  {"delete in place: notes, the row (refused)",
                   [&] {
                       EXPECT_TRUE(s.GetData(support[1]));
                       EXPECT_FALSE(s.DeleteData(support[1]));
                   }},
              });
}

}  // namespace
}  // namespace mz
