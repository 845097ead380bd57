#include "names/name_address.h"

#include <stdexcept>

#include "db/backend.h"
#include "platform/text.h"

namespace mz {
namespace {

using NA = NameAddressEntry;

constexpr NameField kFields[] = {
    {"UniqueID", "unique_id", "", NameField::kLong},
    {"IsOrg", "is_org", "@Is_org", NameField::kBoolean},
    {"OrgName", "org_name", "@Org_name", NameField::kText, &NA::org_name},
    {"LastName", "last_name", "@Last_name", NameField::kText, &NA::last_name},
    {"FirstName", "first_name", "@First_name", NameField::kText, &NA::first_name},
    {"MiddleName", "middle_name", "@Middle_name", NameField::kText, &NA::middle_name},
    {"Prefix", "prefix", "@Prefix", NameField::kText, &NA::prefix},
    {"Suffix", "suffix", "@Suffix", NameField::kText, &NA::suffix},
    {"Address1", "address1", "@Address1", NameField::kText, &NA::address1},
    {"Address2", "address2", "@Address2", NameField::kText, &NA::address2},
    {"City", "city", "@City", NameField::kText, &NA::city},
    {"State", "state", "@State", NameField::kText, &NA::state},
    {"Zip", "zip", "@Zip", NameField::kText, &NA::zip},
    {"Country", "country", "@Country", NameField::kText, &NA::country},
    {"Occupation", "occupation", "@Occupation", NameField::kText, &NA::occupation},
    {"Employer", "employer", "@Employer", NameField::kText, &NA::employer},
    {"FullName", "full_name", "", NameField::kText},
};

// The entries with the name each shows (vw_mz_rpt_name_address_detail adds full_name).
constexpr const char* kSelect = "select * from vw_mz_rpt_name_address_detail ";

const NameField& FieldOf(std::string_view property) {
    for (const NameField& f : kFields)
        if (f.property == property) return f;
    throw std::logic_error("NameAddress has no field " + std::string(property));
}

// Changed-field test: Null against a value, or two values that differ (IsOrg by its truth).
bool Differs(const NameField& f, const Variant& current, const Variant& loaded) {
    if (current.IsNull() || loaded.IsNull()) return current.IsNull() != loaded.IsNull();
    if (f.kind == NameField::kBoolean) return current.ToBool() != loaded.ToBool();
    return current.ToText() != loaded.ToText();
}

// A value as sp_update_table and the insert procedure take it: Booleans as 1 and 0.
Variant Stored(const NameField& f, const Variant& value) {
    if (value.IsNull() || f.kind != NameField::kBoolean) return value;
    return Variant(int16_t{value.ToBool() ? int16_t{1} : int16_t{0}});
}

// The number of characters (UTF-8 code points) of text.
size_t Characters(const std::string& text) {
    size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace

std::span<const NameField> NameFields() {
    return kFields;
}

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

// --- entering names -----------------------------------------------------------------------

bool NameAddress::Ok(std::string error) {
    error_ = std::move(error);
    return error_.empty();
}

bool NameAddress::Open(const std::string& sql) {
    rs_ = std::make_unique<ResultSet>();
    count_ = 0;
    if (Ok(connection_.OpenRecordset(sql, *rs_))) return true;
    rs_.reset();
    return false;
}

bool NameAddress::Changed(const NameField& f) const {
    if (!f.Writable()) return false;
    const int i = rs_->FieldIndex(f.column);
    return Differs(f, rs_->Value(i), rs_->OriginalValue(i));
}

bool NameAddress::GetData(int32_t EntityID) {
    is_new_ = EntityID == -1;
    if (is_new_) {
        if (!Open(std::string(kSelect) + "where unique_id is null")) return false;
        rs_->AddNew();
        return true;
    }
    return Open(std::string(kSelect) + "where unique_id = " + std::to_string(EntityID)) &&
           DataReady();
}

bool NameAddress::FindByName(const std::string& Name) {
    is_new_ = false;
    const std::string n = std::to_string(Characters(Name));
    const std::string prefix = SqlQuoted(Lower(Name));
    std::string sql = kSelect;
    sql += "where 1 = 0";  // each form of the name that may begin with it
    for (const char* name : {"org_name", "last_name",
                             "isnull(last_name, '') + ', ' + isnull(first_name, '')", "full_name"})
        sql += std::string(" or substring(lower(") + name + "), 1, " + n + ") = " + prefix;
    // Names missing sort first on both engines.
    sql +=
        " order by isnull(lower(case when is_org = 1 then org_name else last_name end), ''), "
        "isnull(lower(first_name), ''), unique_id";
    if (!Open(sql)) return false;
    count_ = rs_->RecordCount();
    return count_ > 0;
}

bool NameAddress::DataReady() const {
    return rs_ && !rs_->BOF() && !rs_->EOF();
}
bool NameAddress::BOF() const {
    return !rs_ || rs_->BOF();
}
bool NameAddress::EOF() const {
    return !rs_ || rs_->EOF();
}

bool NameAddress::MoveFirst() {
    if (rs_) rs_->MoveFirst();
    return false;
}
bool NameAddress::MovePrevious() {
    if (rs_ && !rs_->BOF()) rs_->MovePrevious();
    return false;
}
bool NameAddress::MoveNext() {
    if (rs_ && !rs_->EOF()) rs_->MoveNext();
    return false;
}
bool NameAddress::MoveLast() {
    if (rs_) rs_->MoveLast();
    return false;
}

const Variant* NameAddress::Current(const NameField& f) const {
    if (!DataReady()) return nullptr;
    return &rs_->Value(f.column);
}

Variant NameAddress::Field(const NameField& f) const {
    const Variant* v = Current(f);
    switch (f.kind) {
        case NameField::kLong:
            return Variant(v && !v->IsNull() ? v->ToInt32() : int32_t{0});
        case NameField::kBoolean:
            return Variant(v && !v->IsNull() && v->ToBool());
        case NameField::kText:
            break;
    }
    return Variant(v && !v->IsNull() ? v->ToText() : std::string());
}

void NameAddress::Field(const NameField& f, const Variant& value) {
    if (!f.Writable() || !DataReady()) return;
    Variant stored;
    if (f.kind == NameField::kBoolean)
        stored = Variant(!value.IsNull() && !value.IsEmpty() && value.ToBool());
    else
        stored =
            value.IsNull() || value.ToText().empty() ? Variant::Null() : Variant(value.ToText());
    rs_->SetValue(rs_->FieldIndex(f.column), std::move(stored));
}

bool NameAddress::Insert() {
    if (!Ok(connection_.CreateCommand("sp_insert_rpt_name_address"))) return false;
    for (const NameField& f : kFields)
        if (f.Writable()) connection_.AddParameter(f.parameter, Stored(f, *Current(f)));
    if (!Ok(connection_.ExecuteCommand())) return false;
    Variant id;
    connection_.GetParameter("@Unique_id", id);
    connection_.ClearCommand();
    return GetData(id.ToInt32());
}

bool NameAddress::UpdateChanged() {
    const Variant id = rs_->Value("unique_id");
    for (const NameField& f : kFields) {
        if (!Changed(f)) continue;
        if (!Ok(connection_.CreateCommand("sp_update_table"))) return false;
        connection_.AddParameter("@table", Variant("rpt_name_address"));
        connection_.AddParameter("@column", Variant(std::string(f.column)));
        connection_.AddParameter("@unique_id", id);
        const Variant value = Stored(f, *Current(f));
        connection_.AddParameter("@value", value.IsNull() ? value : Variant(value.ToText()));
        if (!Ok(connection_.ExecuteCommand())) return false;
    }
    return true;
}

bool NameAddress::SaveData() {
    if (!DataReady()) return false;
    bool changed = false;
    for (const NameField& f : kFields) changed = changed || Changed(f);
    if (!changed) return true;
    if (is_new_) return Insert();
    // One transaction of its own, run again when it loses to another connection's work (it
    // sends the values as loaded and let); inside the caller's transaction, a part of it.
    const bool own = !connection_.InTransaction();
    const auto rollback = [&] {
        if (own && connection_.InTransaction()) connection_.EndTrans(false);
    };
    const int32_t id = rs_->Value("unique_id").ToInt32();
    const bool saved = RunTransaction(
        own,
        [&] {
            if (own) connection_.BeginTrans();
            const bool ok = UpdateChanged();
            if (own) connection_.EndTrans(ok);
            return ok;
        },
        rollback);
    return saved && GetData(id);
}

int32_t NameAddress::Save(NameAddressEntry& entry, std::string& error) {
    if (!GetData(entry.unique_id)) {
        error = error_.empty()
                    ? "No name or address has unique_id " + std::to_string(entry.unique_id) + "."
                    : error_;
        return -1;
    }
    Field(FieldOf("IsOrg"), Variant(entry.is_org));
    for (const NameField& f : kFields)
        if (f.member) Field(f, Variant(entry.*(f.member)));
    if (!SaveData()) {
        error = error_;
        return -1;
    }
    error.clear();
    entry.unique_id = Field(FieldOf("UniqueID")).ToInt32();
    return entry.unique_id;
}

bool NameAddress::Load(int32_t EntityID, NameAddressEntry& entry) {
    if (!GetData(EntityID) || is_new_) return false;
    entry = NameAddressEntry{};
    entry.unique_id = Field(FieldOf("UniqueID")).ToInt32();
    entry.is_org = Field(FieldOf("IsOrg")).GetBool();
    for (const NameField& f : kFields)
        if (f.member) entry.*(f.member) = Field(f).ToText();
    return true;
}

}  // namespace mz
