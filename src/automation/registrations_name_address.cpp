#include "automation/object_model.h"
#include "automation/registrations.h"
#include "names/name_address.h"

namespace mz {

namespace {

Variant GetField(const NameAddress& n, const NameField& f) {
    return n.Field(f);
}
void LetField(NameAddress& n, const NameField& f, const Variant& value) {
    n.Field(f, value);
}

}  // namespace

void RegisterNameAddress(ObjectModel& model) {
    using N = NameAddress;
    auto names = model.Register<N>("NameAddress", "MZ_Name_bus.NameAddress");
    names
        .Method("ConnectionVariables", &N::ConnectionVariables,
                {"DatabaseName", "Source", "UsrName", "Pass", "UseTrusted"})
        .Method("CanDelete", &N::CanDelete, {"EntityID"})
        .Method("DeleteData", &N::DeleteData, {"EntityID", "ReportID", "ObConnect"})
        .Method("GetData", &N::GetData, {{"EntityID", int32_t{-1}}})
        .Method("FindByName", &N::FindByName, {"Name"})
        .Method("SaveData", &N::SaveData)
        .Property("IsNew", &N::IsNew)
        .Property("DataReady", &N::DataReady)
        .Property("Count", &N::Count)
        .Property("BOF", &N::BOF)
        .Property("EOF", &N::EOF)
        .Method("MoveFirst", &N::MoveFirst)
        .Method("MovePrevious", &N::MovePrevious)
        .Method("MoveNext", &N::MoveNext)
        .Method("MoveLast", &N::MoveLast);
    for (const NameField& f : NameFields())
        names.TableProperty(f.property, &f, &GetField, f.Writable() ? &LetField : nullptr);
    names.Rows([](N& n) { return n.mRecSet(); });
}

}  // namespace mz
