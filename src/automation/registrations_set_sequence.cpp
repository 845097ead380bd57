#include "automation/object_model.h"
#include "automation/registrations.h"
#include "core/set_sequence.h"

namespace mz {

void RegisterClsSetSequence(ObjectModel& model) {
    model.Register<clsSetSequence>("clsSetSequence", "MZ_report_bus.clsSetSequence")
        .Method("ConnectionVariables", &clsSetSequence::ConnectionVariables,
                {"DatabaseName", "Source", "UsrName", "Pass", "UseTrusted"})
        .Method("SetSequence", &clsSetSequence::SetSequence,
                {"ReportID",
                 "LinkID",
                 "ReportSection",
                 "PageID",
                 "LowEnd",
                 "HighEnd",
                 {"Increment", int32_t{1}}});
}

}  // namespace mz
