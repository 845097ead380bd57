#include "core/error_mgmt.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/error.h"

namespace mz {
namespace {

Error Caught(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was raised";
    return Error();
}

TEST(ReportErrorTest, AppendsEachLayerToTheSourceInnermostFirst) {
    int32_t none = 0;
    const Error e = Caught([&] {
        try {
            try {
                throw Error(-2147217900, "SQLite", "constraint failed", "help.chm", 42);
            } catch (...) {
                modErrorMgmt::ReportError("clsNotes.DeleteData", "", false, none);
            }
        } catch (...) {
            modErrorMgmt::ReportError("clsAccount_Data.DeleteData", " more", false, none);
        }
    });
    EXPECT_EQ(e.Number(), -2147217900);
    EXPECT_EQ(e.Source(), "SQLite (clsNotes.DeleteData) (clsAccount_Data.DeleteData)");
    EXPECT_EQ(e.Description(), "constraint failed more");
    EXPECT_EQ(e.HelpFile(), "help.chm");
    EXPECT_EQ(e.HelpContext(), 42);
}

TEST(ReportErrorTest, NoPendingErrorDoesNothingUnlessANumberIsGiven) {
    int32_t none = 0;
    EXPECT_NO_THROW(modErrorMgmt::ReportError("clsNotes.SaveData", "ignored", false, none));

    int32_t number = 5;
    const Error e = Caught([&] { modErrorMgmt::ReportError("clsX.Op", "as is", true, number); });
    EXPECT_EQ(e.Number(), 5);
    EXPECT_EQ(e.Source(), " (clsX.Op)");
    EXPECT_EQ(e.Description(), "as is");

    // A given number replaces the pending one; UseDescriptionAsIs replaces the description.
    const Error replaced = Caught([&] {
        try {
            throw Error(13, "MZ_report_bus", "Type mismatch");
        } catch (...) {
            modErrorMgmt::ReportError("clsX.Op", "new", true, number);
        }
    });
    EXPECT_EQ(replaced.Number(), 5);
    EXPECT_EQ(replaced.Description(), "new");
    EXPECT_EQ(replaced.Source(), "MZ_report_bus (clsX.Op)");
}

}  // namespace
}  // namespace mz
