#include "names/name_address.h"

namespace mz {
namespace {

// The entry's text fields with their procedure parameters and columns, in one table so saving
// and loading cannot disagree.
struct TextField {
    const char* parameter;
    const char* column;
    std::string NameAddressEntry::*member;
};

constexpr TextField kTextFields[] = {
    {"@Org_name", "org_name", &NameAddressEntry::org_name},
    {"@Last_name", "last_name", &NameAddressEntry::last_name},
    {"@First_name", "first_name", &NameAddressEntry::first_name},
    {"@Middle_name", "middle_name", &NameAddressEntry::middle_name},
    {"@Prefix", "prefix", &NameAddressEntry::prefix},
    {"@Suffix", "suffix", &NameAddressEntry::suffix},
    {"@Address1", "address1", &NameAddressEntry::address1},
    {"@Address2", "address2", &NameAddressEntry::address2},
    {"@City", "city", &NameAddressEntry::city},
    {"@State", "state", &NameAddressEntry::state},
    {"@Zip", "zip", &NameAddressEntry::zip},
    {"@Country", "country", &NameAddressEntry::country},
    {"@Occupation", "occupation", &NameAddressEntry::occupation},
    {"@Employer", "employer", &NameAddressEntry::employer},
};

}  // namespace

NameAddress::NameAddress() = default;
NameAddress::~NameAddress() = default;

bool NameAddress::ConnectionVariables(const std::string& DatabaseName, const std::string& Source,
                                      const std::string& UsrName, const std::string& Pass,
                                      bool UseTrusted) {
    return connection_.ConnectionVariables(DatabaseName, Source, UsrName, Pass, UseTrusted);
}

bool NameAddress::CanDelete(int32_t EntityID) {
    DbConnect& reader = reader_ ? *reader_ : connection_;
    // Every column of a schedule table that holds an entity identifier counts as a use. The
    // identifier is quoted: a column may hold it as text, and a server compares no text with a
    // number (a quoted number compares with either).
    ResultSet columns;
    if (!reader.OpenRecordset("select table_name, column_name from mz_entity_column", columns)
             .empty())
        return false;
    if (columns.RecordCount() == 0) return true;
    std::string sql = "select count(*) as uses from (";
    const std::string id = std::to_string(EntityID);
    for (columns.MoveFirst(); !columns.EOF(); columns.MoveNext()) {
        if (columns.AbsolutePosition() > 1) sql += " union all ";
        sql += "select 1 as used from \"" + columns.Value(0).ToText() + "\" where \"" +
               columns.Value(1).ToText() + "\" = '" + id + "'";
    }
    sql += ") u";
    ResultSet uses;
    if (!reader.OpenRecordset(sql, uses).empty() || uses.RecordCount() == 0) return false;
    return uses.Value(0).ToInt32() <= 1;
}

bool NameAddress::DeleteData(int32_t EntityID, int32_t ReportID, DbConnect& ObConnect) {
    if (!ObConnect.CreateCommand("sp_delete_rpt_name_address").empty()) return false;
    ObConnect.AddParameter("@Unique_id", Variant(EntityID));
    ObConnect.AddParameter("@Report_id", Variant(ReportID));
    bool ok = ObConnect.ExecuteCommand().empty();
    ObConnect.ClearCommand();
    return ok;
}

int32_t NameAddress::Save(NameAddressEntry& entry, std::string& error) {
    error = connection_.CreateCommand("sp_save_rpt_name_address");
    if (!error.empty()) return -1;
    connection_.AddParameter("@Unique_id", Variant(entry.unique_id));
    connection_.AddParameter("@Is_org", Variant(entry.is_org));
    for (const TextField& f : kTextFields) {
        const std::string& text = entry.*(f.member);
        connection_.AddParameter(f.parameter, text.empty() ? Variant::Null() : Variant(text));
    }
    error = connection_.ExecuteCommand();
    Variant id;
    if (error.empty()) error = connection_.GetParameter("@Unique_id", id);
    connection_.ClearCommand();
    if (!error.empty()) return -1;
    entry.unique_id = id.ToInt32();
    return entry.unique_id;
}

bool NameAddress::Load(int32_t EntityID, NameAddressEntry& entry) {
    ResultSet rs;
    if (!connection_
             .OpenRecordset(
                 "select * from rpt_name_address where unique_id = " + std::to_string(EntityID), rs)
             .empty() ||
        rs.RecordCount() == 0)
        return false;
    entry = NameAddressEntry{};
    entry.unique_id = rs.Value("unique_id").ToInt32();
    entry.is_org = rs.Value("is_org").ToBool();
    for (const TextField& f : kTextFields) entry.*(f.member) = rs.Value(f.column).ToText();
    return true;
}

}  // namespace mz
