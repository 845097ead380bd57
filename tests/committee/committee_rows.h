// Rows of the committee records for the tests: each helper saves one new row in `report` through
// the class and returns its unique_id.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "committee/account_data.h"
#include "committee/admin_support_data.h"
#include "committee/officer_data.h"
#include "committee/transfer_data.h"
#include "support/report_db.h"

namespace mz::test {

inline Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

// A checking account; bank -1 names no holding organisation.
inline int32_t AddAccount(clsAccount_Data& a, int32_t report, int32_t bank, const char* abbr,
                          int32_t sequence, double begin) {
    EXPECT_TRUE(a.GetData());
    a.ReportID(report);
    if (bank > 0) a.EntityID(bank);
    a.AccountType("checking");
    a.AccountAbbr(abbr);
    a.BeginBalance(Money(begin));
    a.Sequence(sequence);
    EXPECT_TRUE(a.SaveData());
    return a.UniqueID();
}

inline int32_t AddOfficer(clsOfficer_Data& o, int32_t report, int32_t entity, const char* role) {
    EXPECT_TRUE(o.GetData());
    o.ReportID(report);
    o.EntityID(entity);
    o.NameCode(role);
    EXPECT_TRUE(o.SaveData());
    return o.UniqueID();
}

// From CHK to SAV, on page row group `page` when it is not 0.
inline int32_t AddTransfer(clsTransfer_Data& t, int32_t report, double amount, int32_t sequence,
                           int32_t page = 0) {
    EXPECT_TRUE(t.GetData());
    t.ReportID(report);
    t.AccountFrom("CHK");
    t.AccountTo("SAV");
    t.Amount(Money(amount));
    t.Sequence(sequence);
    if (page) t.PageAmountID(page);
    EXPECT_TRUE(t.SaveData());
    return t.UniqueID();
}

// Numbered by GetNewSequence, as the front end numbers them.
inline int32_t AddSupport(clsAdminSupport_Data& s, int32_t report, const char* type,
                          const char* desc, double amount) {
    EXPECT_TRUE(s.GetData());
    s.ReportID(report);
    s.ItemCode(type);
    s.ItemDesc(desc);
    s.Amount(Money(amount));
    s.Sequence(s.GetNewSequence(report));
    EXPECT_TRUE(s.SaveData());
    return s.UniqueID();
}

// A page row of report `report` printed as page `page`; its group identifier.
inline int32_t AddPage(ReportDb& d, int32_t report, int page) {
    const std::string n = std::to_string(page);
    d.db.Exec(
        "INSERT INTO rpt_page_amount (report_id, actual_page_number, current_page_number) "
        "VALUES (" +
        std::to_string(report) + ", " + n + ", " + n + ")");
    return std::stoi(d.db.Scalar("select max(group_id) from rpt_page_amount"));
}

}  // namespace mz::test
