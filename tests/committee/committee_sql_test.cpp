// The committee records against the recording backend over a real report database: the exact SQL
// of every loader and the exact procedure calls of every save and delete path, one table of steps
// per class, run as shell lines; the steps, what they print and their logs are in calls.log. The
// rows are real, so every text also runs on SQLite.
#include <gtest/gtest.h>

#include "committee/account_data.h"
#include "committee/admin_support_data.h"
#include "committee/officer_data.h"
#include "committee/transfer_data.h"
#include "support/data_file.h"
#include "support/recording_backend.h"
#include "support/report_db.h"

namespace mz {
namespace {

using namespace test;

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

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
            const int32_t r = i ? r2 : r1;
            auto a = d.Object<clsAccount_Data>(r);  // banks: entities 1 and 3
            AddRow(*a, {{"ReportID", r},
                        {"EntityID", d.Org(i ? "Second Bank" : "First Bank")},
                        {"AccountType", "checking"},
                        {"AccountAbbr", i ? "SAV" : "CHK"},
                        {"BeginBalance", Money(500)},
                        {"Sequence", i + 1}});
            auto o = d.Object<clsOfficer_Data>(r);  // entities 2 and 4
            AddRow(*o, {{"ReportID", r},
                        {"EntityID", i ? d.Person("Lee", "Ann") : d.Org("Friends")},
                        {"NameCode", i ? "TRS" : "CEN"}});
            auto t = d.Object<clsTransfer_Data>(r);
            AddRow(*t, {{"ReportID", r},
                        {"AccountFrom", "CHK"},
                        {"AccountTo", "SAV"},
                        {"Amount", Money(100 * (i + 1))},
                        {"Sequence", i + 1}});
            auto s = d.Object<clsAdminSupport_Data>(r);
            AddRow(*s, {{"ReportID", r},
                        {"ItemCode", i ? "pst" : "oth"},
                        {"ItemDesc", "phone bank"},
                        {"Amount", Money(40)},
                        {"Sequence", s->GetNewSequence(r)}});
            if (!i) continue;
            d.AddNote(*a->mobNotes, r2, a->GroupID());
            d.AddNote(*o->mobNotes, r2, o->GroupID());
            d.AddNote(*t->mobNotes, r2, t->GroupID());
            d.AddNote(*s->mobNotes, r2, s->GroupID());
        }
        rec = Recorder::Create("com", d.db.Path());
        rec->OnQuery("mz_entity_column", "table_name:String, column_name:String");
        rec->FailProcedure("sp_delete_table", "refused", 2);  // the cascades' own rows
        ASSERT_EQ(d.Person("Park", "Bo"), 5);                 // the new officer's
    }

    ReportDb d;
    int32_t r1 = 0, r2 = 0;
    std::shared_ptr<Recorder> rec;
    StepShell shell{d.db.Path()};
};

TEST_F(CommitteeSqlTest, AccountCalls) {
    WalkSteps(*rec, DataLines("calls.log"), {}, &shell);
}

TEST_F(CommitteeSqlTest, OfficerCalls) {
    WalkSteps(*rec, DataLines("calls.log"), {}, &shell);
}

TEST_F(CommitteeSqlTest, TransferCalls) {
    WalkSteps(*rec, DataLines("calls.log"), {}, &shell);
}

TEST_F(CommitteeSqlTest, AdminSupportCalls) {
    WalkSteps(*rec, DataLines("calls.log"), {}, &shell);
}

}  // namespace
}  // namespace mz
