#include "core/set_sequence.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/recording_backend.h"

namespace mz {
namespace {

TEST(SetSequenceTest, SendsTheRangeInATransaction) {
    auto rec = test::Recorder::Create("seq");
    clsSetSequence s;
    ASSERT_TRUE(s.ConnectionVariables("seq", "recording", "", "", false));
    EXPECT_TRUE(s.SetSequence(5, -1, "REC", 3, 0, 0).IsEmpty());
    s.SetSequence(5, 9, "EXP", 0, 2, 7, -1);
    EXPECT_EQ(rec->Log(),
              "begin\n"
              "exec sp_misc_RPT_sequence_update @Report_id=Long(5), @Link_id=Long(-1), "
              "@Report_section_code='REC', @Page_id=Long(3), @Low_end=Null, @High_end=Null, "
              "@Increment=Long(1)\n"
              "commit\n"
              "begin\n"
              "exec sp_misc_RPT_sequence_update @Report_id=Long(5), @Link_id=Long(9), "
              "@Report_section_code='EXP', @Page_id=Long(0), @Low_end=Long(2), @High_end=Long(7), "
              "@Increment=Long(-1)\n"
              "commit");
}

TEST(SetSequenceTest, FailuresRollBackAndOnlyRaisedErrorsReachTheCaller) {
    auto rec = test::Recorder::Create("seq");
    clsSetSequence s;
    ASSERT_TRUE(s.ConnectionVariables("seq", "recording", "", "", false));
    rec->FailProcedure("sp_misc_RPT_sequence_update", "unknown report section", 1);
    EXPECT_TRUE(s.SetSequence(5, -1, "XYZ", 0, 0, 0).IsEmpty());
    EXPECT_FALSE(s.Connection().InTransaction());
    EXPECT_EQ(rec->Lines().back(), "rollback");

    rec->FailCreate("sp_misc_RPT_sequence_update", "no such procedure");
    rec->ClearLog();
    s.SetSequence(5, -1, "REC", 0, 0, 0);
    EXPECT_EQ(rec->Log(), "begin\nrollback");

    auto raising = test::Recorder::Create("seq2");
    clsSetSequence t;
    t.ConnectionVariables("seq2", "recording", "", "", false);
    raising->RaiseOnProcedure("", Error(-2147217900, "SQLite", "database is locked"));
    try {
        t.SetSequence(5, -1, "REC", 0, 0, 0);
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.Source(), "SQLite (clsSetSequence.SetSequence)");
        EXPECT_EQ(e.Description(), "database is locked");
    }
    EXPECT_EQ(raising->Lines().back(), "rollback");
    EXPECT_FALSE(t.Connection().InTransaction());
}

}  // namespace
}  // namespace mz
