// The chapters that record-class families add to the demo, in the order they run.
#include "app/demo_committee.h"
#include "app/demo_expenditures.h"
#include "app/demo_history.h"
#include "app/demo_lookups.h"
#include "app/demo_narrator.h"
#include "app/demo_receipts.h"
#include "app/demo_report_pages.h"
#include "app/demo_whole_report.h"

namespace mz::app {

const std::vector<DemoChapter>& DemoChapters() {
    static const std::vector<DemoChapter> chapters = {
        {"lookups", [](Narrator& say, const std::string& path,
                       DbConnect&) { return RunLookupsDemo(say, path); }},
        {"receipts",
         [](Narrator&, const std::string& path, DbConnect&) { return RunReceiptsDemo(path); }},
        {"expenditures",
         [](Narrator&, const std::string& path, DbConnect&) { return RunExpendituresDemo(path); }},
        {"committee", &RunCommitteeDemo},
        {"report pages",
         [](Narrator&, const std::string& path, DbConnect&) { return RunReportPagesDemo(path); }},
        {"history", &RunHistoryDemo},
        {"whole report", &RunWholeReportDemo},
    };
    return chapters;
}

}  // namespace mz::app
