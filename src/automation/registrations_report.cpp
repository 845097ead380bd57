#include "automation/object_model.h"
#include "automation/registrations.h"
#include "report/cover_data.h"
#include "report/page_amount.h"
#include "report/summary_data.h"

namespace mz {

void RegisterReportClasses(ObjectModel& model) {
    using Cover = clsCover_Data;
    using Summary = clsSummary_Data;
    using Pages = clsPage_Amount;
    const std::vector<Param> pages = {{"ReportID", int32_t{-1}},
                                      {"ReportSection", ""},
                                      {"ReportSectionType", ""},
                                      {"IsAudit", false}};
    const std::vector<Param> page_items = {"ReportSection", "PageAmountID", {"IsAudit", false}};

    model.Register<Cover>("clsCover_Data", "MZ_report_bus.clsCover_Data")
        .RecordMembers(Cover::ClassInfo())
        .Method("GetDataDetail", &Cover::GetDataDetail,
                {{"ReportID", int32_t{-1}}, {"IsAudit", false}})
        .Method("CheckReport", &Cover::CheckReport, {"ReportID"});

    model.Register<Summary>("clsSummary_Data", "MZ_report_bus.clsSummary_Data")
        .RecordMembers(Summary::ClassInfo())
        .Method("GetDataList", &Summary::GetDataList,
                {{"ReportID", int32_t{-1}}, {"RptType", ""}, {"IsAudit", false}})
        .Method("GetDataDetail", &Summary::GetDataDetail,
                {{"ReportID", int32_t{-1}}, {"SummaryCode", ""}, {"IsAudit", false}});

    model.Register<Pages>("clsPage_Amount", "MZ_report_bus.clsPage_Amount")
        .RecordMembers(Pages::ClassInfo())
        .Method("GetDataLinked", &Pages::GetDataLinked,
                {{"GroupID", int32_t{-1}}, {"IsAudit", false}})
        .Method("GetDataList", &Pages::GetDataList, pages)
        .Method("GetDataTotalList", &Pages::GetDataTotalList, pages)
        .Method("UpdateMaxTotals", &Pages::UpdateMaxTotals,
                {"ReportID", "MaxNumber", "MaxAmount", "ReportSection", "ReportSectionType"})
        .Method("GetPageItemCount", &Pages::GetPageItemCount, page_items)
        .Method("GetPageItems", &Pages::GetPageItems, page_items);
}

}  // namespace mz
