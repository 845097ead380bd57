#include "automation/object_model.h"
#include "automation/registrations.h"
#include "lists/notes.h"

namespace mz {

void RegisterClsNotes(ObjectModel& model) {
    model.Register<clsNotes>("clsNotes", "MZ_report_bus.clsNotes")
        .RecordMembers(clsNotes::ClassInfo())
        .Method("GetDataList", &clsNotes::GetDataList,
                {{"ReportID", int32_t{-1}}, {"Link", int32_t{-1}}, {"IsAudit", false}})
        .Method("GetNoteCount", &clsNotes::GetNoteCount, {"ReportID", "Link", {"IsAudit", false}})
        .Method("GetTableCode", &clsNotes::GetTableCode, {"Table"});
}

}  // namespace mz
