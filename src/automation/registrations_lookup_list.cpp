#include <utility>

#include "automation/object_model.h"
#include "automation/registrations.h"
#include "lists/lookup_list.h"

namespace mz {

namespace {

using List = clsLookup_List;

// The column property kColumns[I], as a member function of the object model.
template <size_t I>
Variant ColumnProperty(List& list) {
    return list.Column(List::kColumns[I]);
}

bool GetData(List& list, int32_t List_, const Date& EffTransDate, int32_t ID,
             const std::string& Filter1, const std::string& Filter2) {
    return list.GetData(static_cast<mzList>(List_), EffTransDate, ID, Filter1, Filter2);
}

}  // namespace

void RegisterClsLookupList(ObjectModel& model) {
    auto cls = model.Register<List>("clsLookup_List", "MZ_report_bus.clsLookup_List");
    cls.Property("DataReady", &List::DataReady)
        .Property("Index", static_cast<int32_t (List::*)() const>(&List::Index),
                  static_cast<void (List::*)(int32_t)>(&List::Index));
    [&]<size_t... I>(std::index_sequence<I...>) {
        (cls.Function(List::kColumns[I].name, &ColumnProperty<I>, {}, AutoMember::kProperty), ...);
    }
    (std::make_index_sequence<std::size(List::kColumns)>{});
    cls.Property("BOF", &List::BOF)
        .Property("EOF", &List::EOF)
        .Property("ListFilter", static_cast<std::string (List::*)() const>(&List::ListFilter),
                  static_cast<void (List::*)(const std::string&)>(&List::ListFilter))
        .Property("RecordCount", &List::RecordCount)
        .Method("ConnectionVariables", &List::ConnectionVariables,
                {"DatabaseName", "Source", "UsrName", "Pass", "UseTrusted"})
        .Method("FindIndex", &List::FindIndex, {{"Code", ""}, {"Desc", ""}})
        .Function("GetData", &GetData,
                  {{"List", int32_t{mzL_None}},
                   {"EffTransDate", Variant(Date(1900, 1, 1))},
                   {"ID", int32_t{-1}},
                   {"Filter1", ""},
                   {"Filter2", ""}})
        .Method("GetDescription", &List::GetDescription, {"msCode"})
        .Method("FilterVersionList", &List::FilterVersionList, {{"BeginDate", ""}})
        .Method("MoveFirst", &List::MoveFirst)
        .Method("MovePrevious", &List::MovePrevious)
        .Method("MoveNext", &List::MoveNext)
        .Method("MoveLast", &List::MoveLast)
        .Rows([](List& list) { return list.Rows(); });
}

}  // namespace mz
