#include "automation/object_model.h"
#include "automation/registrations.h"
#include "names/name_address.h"

namespace mz {

void RegisterNameAddress(ObjectModel& model) {
    model.Register<NameAddress>("NameAddress", "MZ_Name_bus.NameAddress")
        .Method("ConnectionVariables", &NameAddress::ConnectionVariables,
                {"DatabaseName", "Source", "UsrName", "Pass", "UseTrusted"})
        .Method("CanDelete", &NameAddress::CanDelete, {"EntityID"})
        .Method("DeleteData", &NameAddress::DeleteData, {"EntityID", "ReportID", "ObConnect"});
}

}  // namespace mz
