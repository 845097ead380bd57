#include "core/list_query.h"

#include <gtest/gtest.h>

namespace mz {
namespace {

TEST(ListQueryTest, VersionFiltersAndReportCondition) {
    EXPECT_EQ(listq::PlainFilter(), "and f.ref_is_audit = 0 ");
    EXPECT_EQ(listq::PlainFilter(""), "and ref_is_audit = 0 ");
    EXPECT_EQ(listq::ReportCondition(12), "where f.ref_report_id = 12 and f.delete_date is null ");
    EXPECT_EQ(listq::ReportCondition(3, "Where ", ""),
              "Where ref_report_id = 3 and delete_date is null ");
    // The audit form for another alias over the _ref_current view of the page amounts.
    EXPECT_EQ(listq::AuditFilter(listq::RefView("rpt_page_amount", "_ref_current"), "p"),
              std::string("and (p.ref_is_audit = 1 ") + "or (p.ref_is_audit = 0 " +
                  "and p.group_id not in ( " + "   select group_id " + "   from vw_mz_" +
                  "rpt_page_amount" + "_ref_current " + "   where unique_id <> p.unique_id " +
                  "   and report_group_id = p.report_group_id " + "   and ref_is_audit = 1 " +
                  "))) ");
}

TEST(ListQueryTest, PageAmountJoinInBothForms) {
    EXPECT_EQ(listq::PageAmountJoin(9, false),
              std::string("left outer join vw_mz_rpt_page_amount_ref_basic pa on f.page_amount_id "
                          "= pa.group_id ") +
                  "   and f.ref_report_id = pa.ref_report_id " + "   and pa.delete_date is null " +
                  "   and pa.ref_is_audit = 0 ");
    EXPECT_EQ(listq::PageAmountJoin(9, true),
              std::string("left outer join ( ") +
                  "   select * from vw_mz_rpt_page_amount_ref_basic x " +
                  "   where x.ref_report_id = " + "9" + " " + "   and (x.ref_is_audit = 1 " +
                  "   or (x.ref_is_audit = 0 " + "   and x.group_id not in ( " +
                  "      select group_id " + "      From vw_mz_rpt_page_amount_ref_basic " +
                  "      Where unique_id <> x.unique_id " +
                  "      and report_group_id = x.report_group_id " + "      and ref_is_audit = 1 " +
                  "   )))) as pa on pa.group_id = f.page_amount_id " +
                  "   and f.ref_report_id = pa.ref_report_id " + "   and pa.delete_date is null ");
}

}  // namespace
}  // namespace mz
