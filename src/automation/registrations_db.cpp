// The platform classes a caller reaches through the record objects: the connection (created by
// a caller to lend it to DeleteData, or handed back through ObConnect) and the result set
// (mRecSet).
#include "automation/object_model.h"
#include "automation/registrations.h"
#include "db/db_connect.h"
#include "platform/result_set.h"

namespace mz {

namespace {

Variant ExecuteCommand(DbConnect& db, Variant& OutValue) {
    return Variant(db.ExecuteCommand(OutValue));
}
std::string Filter(ResultSet& rs) {
    return rs.Filter();
}
void SetFilter(ResultSet& rs, const std::string& Criteria) {
    rs.Filter(Criteria);
}
int32_t Position(ResultSet& rs) {
    return rs.AbsolutePosition();
}
void SetPosition(ResultSet& rs, int32_t Position) {
    rs.AbsolutePosition(Position);
}
// The value of the named field of the current row.
Variant FieldValue(ResultSet& rs, const std::string& Name) {
    return rs.Value(std::string_view(Name));
}
void Find(ResultSet& rs, const std::string& Criteria) {
    rs.Find(Criteria);
}

}  // namespace

void RegisterDbClasses(ObjectModel& model) {
    model.Register<DbConnect>("DbConnect", "MZ_DB_Connect.DbConnect")
        .Method("ConnectionVariables", &DbConnect::ConnectionVariables,
                {"DatabaseName",
                 "Source",
                 "UsrName",
                 "Pass",
                 "UseTrusted",
                 {"Reserved", int32_t{0}},
                 {"Reserved2", ""},
                 {"Reserved3", ""}})
        .Property("InTransaction", &DbConnect::InTransaction)
        .Property("IsConnected", &DbConnect::IsConnected)
        .Function(
            "ConnectError", +[](DbConnect& db) { return db.ConnectError(); }, {},
            AutoMember::kProperty)
        .Method("BeginTrans", &DbConnect::BeginTrans)
        .Method("EndTrans", &DbConnect::EndTrans, {"Commit"})
        .Method("CreateCommand", &DbConnect::CreateCommand, {"ProcedureName"})
        .Function("AddParameter",
                  +[](DbConnect& db, const std::string& Name, const Variant& Value) {
                      return db.AddParameter(Name, Value);
                  },
                  {"Name", "Value"})
        .Function("ExecuteCommand", &ExecuteCommand, {{"OutValue", Variant()}})
        .Function("GetParameter",
                  +[](DbConnect& db, const std::string& Name, Variant& Value) {
                      return db.GetParameter(Name, Value);
                  },
                  {"Name", {"Value", Variant()}})
        .Method("ClearCommand", &DbConnect::ClearCommand);

    model.Register<ResultSet>("ResultSet", "MZ_report_bus.ResultSet", false)
        .Property("RecordCount", &ResultSet::RecordCount)
        .Property("BOF", &ResultSet::BOF)
        .Property("EOF", &ResultSet::EOF)
        .Property("State", &ResultSet::State)
        .Property("FieldCount", &ResultSet::FieldCount)
        .Function("AbsolutePosition", &Position, {}, AutoMember::kProperty)
        .Let("AbsolutePosition", &SetPosition)
        .Function("Filter", &Filter, {}, AutoMember::kProperty)
        .Let("Filter", &SetFilter)
        .Method("MoveFirst", &ResultSet::MoveFirst)
        .Method("MoveLast", &ResultSet::MoveLast)
        .Method("MoveNext", &ResultSet::MoveNext)
        .Method("MovePrevious", &ResultSet::MovePrevious)
        .Function("Fields", &FieldValue, {"Name"})
        .Function("Find", &Find, {"Criteria"})
        .Rows([](ResultSet& rs) { return &rs; });
}

}  // namespace mz
