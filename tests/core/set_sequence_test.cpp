#include "core/set_sequence.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/data_file.h"
#include "support/recording_backend.h"
#include "support/temp_db.h"

namespace mz {
namespace {

TEST(SetSequenceTest, SendsTheRangeInATransactionAndOnlyRaisedErrorsReachTheCaller) {
    test::TempReportDb db;
    auto rec = test::Recorder::Create("seq", db.Path());
    clsSetSequence s;
    ASSERT_TRUE(s.ConnectionVariables("seq", "recording", "", "", false));

    test::WalkSteps(
        *rec, test::DataLines("calls.log"),
        {
            {"open bounds are Null, the increment 1",
             [&] { EXPECT_TRUE(s.SetSequence(5, -1, "REC", 3, 0, 0).IsEmpty()); }},
            {"a range and an increment", [&] { s.SetSequence(5, 9, "EXP", 0, 2, 7, -1); }},
            {"an unknown section: its error text rolls back quietly",
             [&] {
                 EXPECT_TRUE(s.SetSequence(5, -1, "XYZ", 0, 0, 0).IsEmpty());
                 EXPECT_FALSE(s.Connection().InTransaction());
             }},
            {"no procedure: nothing sent",
             [&] {
                 rec->FailCreate("sp_misc_RPT_sequence_update", "no such procedure");
                 s.SetSequence(5, -1, "REC", 0, 0, 0);
             }},
        });

    auto raising = test::Recorder::Create("seq2", db.Path());
    clsSetSequence t;
    t.ConnectionVariables("seq2", "recording", "", "", false);
    raising->RaiseOnProcedure("", Error(-2147217900, "SQLite", "database is locked"));
    try {
        t.SetSequence(5, -1, "REC", 0, 0, 0);
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Source() + ": " + e.Description(),
                  "SQLite (clsSetSequence.SetSequence): database is locked");
    }
    EXPECT_EQ(raising->Lines().back(), "rollback");
    EXPECT_FALSE(t.Connection().InTransaction());
}

}  // namespace
}  // namespace mz
