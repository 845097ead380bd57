#include "core/record_object.h"

#include <cctype>
#include <optional>

#include "core/error_mgmt.h"
#include "core/list_query.h"
#include "db/backend.h"
#include "names/name_address.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/text.h"

namespace mz {

namespace {

constexpr int32_t kObjectNotSet = 91;
constexpr int32_t kLetNotDefined = 451;
constexpr const char* kLibrarySource = "MZ_report_bus";
constexpr int kUnresolved = -2;

Variant EmptyOf(PropType type) {
    switch (type) {
        case PropType::Text:
            return Variant(std::string());
        case PropType::Long:
            return Variant(int32_t{0});
        case PropType::Integer:
            return Variant(int16_t{0});
        case PropType::Currency:
            return Variant(Currency());
        case PropType::Double:
            return Variant(0.0);
        case PropType::Boolean:
            return Variant(false);
    }
    return Variant();
}

// Changed-column test: Null against a value, or two values that differ. Values of different
// types compare by meaning (a Long 5 loaded and a Double 5 let are the same number).
bool Differs(const Variant& current, const Variant& loaded) {
    if (current.IsNull() || loaded.IsNull()) return current.IsNull() != loaded.IsNull();
    if (current.Type() == loaded.Type()) return !(current == loaded);
    if (current.IsNumber() && loaded.IsNumber()) return current.ToDouble() != loaded.ToDouble();
    if (current.Type() == VarType::Date || loaded.Type() == VarType::Date) {
        if (current.IsDate() && loaded.IsDate()) return current.ToDate() != loaded.ToDate();
    }
    return current.ToText() != loaded.ToText();
}

}  // namespace

void RaiseObjectNotSet() {
    throw Error(kObjectNotSet, kLibrarySource, "Object variable or With block variable not set");
}

const PropertyDef* RecordClassInfo::FindProperty(std::string_view name) const {
    for (const PropertyDef& p : properties) {
        if (EqualsNoCase(p.name, name)) return &p;
    }
    return nullptr;
}

RecordObject::RecordObject(const RecordClassInfo& info)
    : info_(info), field_cache_(info.properties.size(), kUnresolved) {}

RecordObject::~RecordObject() = default;

// --- connection and hooks ------------------------------------------------------------------

bool RecordObject::ConnectionVariables(const std::string& DatabaseName, const std::string& Source,
                                       const std::string& UsrName, const std::string& Pass,
                                       bool UseTrusted, const std::string& CurrReportID) {
    const bool ok =
        db_.ConnectionVariables(DatabaseName, Source, UsrName, Pass, UseTrusted, 0, "", "");
    for (const auto& child : children_) {
        RecordObject* c = child();
        if (!c) RaiseObjectNotSet();
        c->ConnectionVariables(DatabaseName, Source, UsrName, Pass, UseTrusted, CurrReportID);
    }
    if (names_)
        Require(*names_).ConnectionVariables(DatabaseName, Source, UsrName, Pass, UseTrusted);
    curr_report_id_ = CurrReportID;
    return ok;
}

void RecordObject::AdoptChild(std::function<RecordObject*()> child) {
    children_.push_back(std::move(child));
}

void RecordObject::AdoptNameAddress(std::shared_ptr<NameAddress>& names) {
    names_ = &names;
}

bool RecordObject::DeleteItems(DbConnect*& conn, std::string& failure_text) {
    if (!items_cascade_ || items_cascade_(conn)) return true;
    failure_text = info_.items_failure;
    return false;
}
void RecordObject::SetNotesCascade(std::function<bool(DbConnect*&)> cascade) {
    notes_cascade_ = std::move(cascade);
}

bool RecordObject::DeleteNotes(DbConnect*& conn) {
    return !notes_cascade_ || notes_cascade_(conn);
}
bool RecordObject::DeleteNameAddress(DbConnect*& conn) {
    if (!names_) return true;
    const Variant& entity = RowValue("entity_id");
    if (entity.IsNull()) return true;
    NameAddress& names = Require(*names_);
    const int32_t id = entity.ToInt32();
    const NameAddress::ReadingThrough cascade(names, *conn);
    if (!names.CanDelete(id)) return true;
    return names.DeleteData(id, info_.name_address_gets_report ? CurrentReportNumber() : 0, *conn);
}
Variant RecordObject::ComputedGet(const PropertyDef& p) const {
    return EmptyOf(p.type);
}

// --- loading -------------------------------------------------------------------------------

std::string RecordObject::SourceText(std::string_view op) const {
    for (const SourceOverride& o : info_.sources) {
        if (o.operation == op) return std::string(o.source);
    }
    std::string source(info_.source_class.empty() ? info_.class_name : info_.source_class);
    source += ".";
    source.append(op);
    return source;
}

void RecordObject::ReportRaised(std::string_view op, const std::string& description) const {
    int32_t number = 0;
    modErrorMgmt::ReportError(SourceText(op), description, false, number);
}

bool RecordObject::Open(std::string_view sql) {
    rs_.reset();
    field_cache_.assign(field_cache_.size(), kUnresolved);
    auto rs = std::make_unique<ResultSet>();
    if (!db_.OpenRecordset(sql, *rs, 0, true).empty()) return false;
    if (rs->State() == ResultSet::kStateClosed) return false;
    rs_ = std::move(rs);
    return true;
}

bool RecordObject::GetData(int32_t UniqueID) {
    return Guarded("GetData", false, [&] {
        rs_.reset();
        std::string sql;
        if (UniqueID != -1) {
            is_new_ = false;
            sql.append(info_.row_head).append(info_.table).append(info_.row_tail);
            sql += std::to_string(UniqueID) + " ";
        } else {
            is_new_ = true;
            sql.append(info_.new_row_head).append(info_.table).append(info_.new_row_tail);
        }
        if (!Open(sql)) return false;
        if (UniqueID == -1) {
            rs_->AddNew();
            return true;
        }
        return !(rs_->BOF() && rs_->EOF());
    });
}

bool RecordObject::LoadList(std::string_view op, const std::string& sql) {
    return Guarded(op, false, [&] {
        count_ = 0;
        if (!Open(sql) || (rs_->BOF() && rs_->EOF())) return false;
        count_ = rs_->RecordCount();
        return true;
    });
}

bool RecordObject::GetDataList(int32_t ReportID, bool IsAudit) {
    std::string sql;
    if (ReportID != -1) {
        is_new_ = false;
        sql = listq::PlainList(info_.table, ReportID, IsAudit, info_.list_order);
    }
    if (!info_.quiet_list_errors) return LoadList("GetDataList", sql);
    try {
        return LoadList("GetDataList", sql);
    } catch (...) {
        return false;
    }
}

int32_t RecordObject::NextNumber(std::string_view op, const std::string& sql,
                                 std::string_view column) {
    return Guarded(op, int32_t{0}, [&] {
        ResultSet rs;
        if (!db_.OpenRecordset(sql, rs, 0, true).empty()) return int32_t{0};
        if (rs.State() == ResultSet::kStateClosed || rs.BOF() || rs.EOF()) return int32_t{0};
        const double value = Variant::Val(rs.Value(column).ToText());
        return Variant(value + 1).ToInt32();
    });
}

int32_t RecordObject::GetNewSequence(int32_t ReportID, bool IsAudit) {
    return NextNumber("GetNewSequence", listq::NewSequence(info_.table, ReportID, IsAudit),
                      "sequence");
}

std::string RecordObject::FirstValueText(std::string_view op, const std::string& sql,
                                         std::string_view column) {
    return Guarded(op, std::string(), [&] {
        if (!Open(sql) || rs_->BOF() || rs_->EOF()) return std::string();
        return rs_->Value(column).ToText();
    });
}

// --- state and navigation ------------------------------------------------------------------

bool RecordObject::DataReady() const {
    return rs_ && rs_->State() != ResultSet::kStateClosed && !(rs_->BOF() && rs_->EOF());
}

bool RecordObject::IsNew() const {
    if (info_.is_new_rule == IsNewRule::FlagOnly) return is_new_;
    return DataReady() && is_new_;
}

void RecordObject::IsNew(bool value) {
    if (info_.is_new_rule == IsNewRule::FlagOnly || DataReady()) is_new_ = value;
}

bool RecordObject::BOF() const {
    return DataReady() && rs_->BOF();
}
bool RecordObject::EOF() const {
    return DataReady() && rs_->EOF();
}

int32_t RecordObject::CurrentCount() const {
    if (!rs_ || rs_->State() == ResultSet::kStateClosed || (rs_->BOF() && rs_->EOF())) return 0;
    return rs_->RecordCount();
}

ResultSet* RecordObject::mRecSet() {
    return DataReady() ? rs_.get() : nullptr;
}

ResultSet& RecordObject::RequireRows() const {
    if (!rs_) RaiseObjectNotSet();
    return *rs_;
}

bool MoveRows(ResultSet* rs, RowMove move) {
    if (!rs) RaiseObjectNotSet();
    switch (move) {
        case RowMove::First:
            rs->MoveFirst();
            break;
        case RowMove::Previous:
            rs->BOF() ? rs->MoveFirst() : rs->MovePrevious();
            break;
        case RowMove::Next:
            rs->EOF() ? rs->MoveLast() : rs->MoveNext();
            break;
        case RowMove::Last:
            rs->MoveLast();
            break;
    }
    return false;
}

bool RecordObject::MoveFirst() {
    return MoveRows(rs_.get(), RowMove::First);
}
bool RecordObject::MovePrevious() {
    return MoveRows(rs_.get(), RowMove::Previous);
}
bool RecordObject::MoveNext() {
    return MoveRows(rs_.get(), RowMove::Next);
}
bool RecordObject::MoveLast() {
    return MoveRows(rs_.get(), RowMove::Last);
}

std::string RecordObject::ListFilter() const {
    return DataReady() ? rs_->Filter() : "";
}

void RecordObject::ListFilter(const std::string& Filter) {
    if (rs_) rs_->Filter(Filter);
}

int32_t RecordObject::GetTextLength(int32_t Field) {
    for (const TextLengthDef& t : info_.text_lengths) {
        if (t.field != Field) continue;
        // The current rows describe the column; rows of another shape (GetTableCode,
        // GetPageItemCount) lack it and the lookup raises "item not found" naming it.
        ResultSet& rs = RequireRows();
        const int index = rs.FieldIndex(t.column);
        if (index < 0) rs.Fields(t.column);
        const FieldInfo& f = rs.FieldAt(index);
        return t.measure == TextLengthDef::kPrecision ? f.precision : f.defined_size;
    }
    return 0;
}

// --- properties ----------------------------------------------------------------------------

int RecordObject::ResolveField(const PropertyDef& p) const {
    const PropertyDef* first = info_.properties.data();
    const bool own = &p >= first && &p < first + info_.properties.size();
    const ResultSet& rs = RequireRows();
    int index = rs.FieldIndex(p.column);
    if (index < 0) const_cast<ResultSet&>(rs).Fields(p.column);  // raises naming the column
    if (own) field_cache_[static_cast<size_t>(&p - first)] = index;
    return index;
}

const Variant* RecordObject::ColumnValue(const PropertyDef& p) const {
    // The common case, a current row, in one step; the checks below give the edge cases.
    const Variant* row = rs_ ? rs_->CurrentRow() : nullptr;
    if (row) return &row[FieldOf(p)];
    if (!DataReady()) return nullptr;
    return &rs_->Value(FieldOf(p));
}

Variant RecordObject::Get(const PropertyDef& p) const {
    if (p.conversion == Conversion::Computed) return ComputedGet(p);
    const Variant* column = ColumnValue(p);
    if (!column) return EmptyOf(p.type);
    const Variant& v = *column;
    if (p.conversion == Conversion::TriState && v.IsNull()) return Variant(int16_t{2});
    // A Boolean converts the column as it stands, so a Null raises (13) as its conversion does.
    if (v.IsNull() && p.type != PropType::Boolean) return EmptyOf(p.type);
    if (p.conversion == Conversion::DateText) return Variant(v.ToDate().ToMdy());
    switch (p.type) {
        case PropType::Text:
            return Variant(v.ToText());
        case PropType::Long:
            return Variant(v.ToInt32());
        case PropType::Integer:
            return Variant(v.ToInt16());
        case PropType::Currency:
            return Variant(v.ToCurrency());
        case PropType::Double:
            return Variant(v.ToDouble());
        case PropType::Boolean:
            return Variant(v.ToBool());
    }
    return Variant();
}

Variant RecordObject::Stored(const PropertyDef& p, const Variant& value) const {
    switch (p.conversion) {
        case Conversion::NumberText: {
            const std::string text = value.ToText();
            return text.empty() ? Variant::Null() : Variant(Variant::Val(text));
        }
        case Conversion::DateText: {
            const std::string text = value.ToText();
            std::optional<Date> date = text.empty() ? std::nullopt : Date::Parse(text);
            return date ? Variant(date->DateOnly()) : Variant::Null();
        }
        case Conversion::TriState:
        case Conversion::TwoIsNull: {
            const int16_t i = value.ToInt16();
            return i == 2 ? Variant::Null() : Variant(i);
        }
        case Conversion::TextAsGiven:
            return Variant(value.ToText());
        case Conversion::Plain:
        case Conversion::Computed:
            break;
    }
    switch (p.type) {
        case PropType::Text: {
            std::string text = value.ToText();
            return text.empty() ? Variant::Null() : Variant(std::move(text));
        }
        case PropType::Long:
            return Variant(value.ToInt32());
        case PropType::Integer:
            return Variant(value.ToInt16());
        case PropType::Currency:
            return Variant(value.ToCurrency());
        case PropType::Double:
            return Variant(value.ToDouble());
        case PropType::Boolean:
            return Variant(value.ToBool());
    }
    return Variant();
}

void RecordObject::Let(const PropertyDef& p, const Variant& value) {
    if (!p.Writable() || p.conversion == Conversion::Computed) {
        throw Error(kLetNotDefined, kLibrarySource,
                    std::string("Property ") + std::string(info_.class_name) + "." +
                        std::string(p.name) + " cannot be set");
    }
    if ((p.access & kLetAlways) == 0 && !DataReady()) return;
    ResultSet& rs = RequireRows();
    rs.SetValue(FieldOf(p), Stored(p, value));
}

std::string RecordObject::GetText(const PropertyDef& p) const {
    // Plain text needs no Variant of its own: one copy of the column's text.
    if (p.conversion == Conversion::Plain) {
        const Variant* v = ColumnValue(p);
        if (!v || v->IsNull()) return std::string();
        if (v->IsText()) return v->GetString();
        return v->ToText();
    }
    if (p.conversion == Conversion::DateText) {  // as Get gives it, without the Variant between
        const Variant* v = ColumnValue(p);
        if (!v || v->IsNull()) return std::string();
        return v->ToDate().ToMdy();
    }
    return Get(p).ToText();
}
int32_t RecordObject::GetLong(const PropertyDef& p) const {
    if (p.conversion == Conversion::Plain) {
        const Variant* v = ColumnValue(p);
        if (!v || v->IsNull()) return 0;
        return v->Type() == VarType::Int32 ? v->GetInt32() : v->ToInt32();
    }
    return Get(p).ToInt32();
}
int16_t RecordObject::GetInteger(const PropertyDef& p) const {
    if (p.conversion == Conversion::Plain) {
        const Variant* v = ColumnValue(p);
        return !v || v->IsNull() ? int16_t{0} : v->ToInt16();
    }
    return Get(p).ToInt16();
}
Currency RecordObject::GetCurrency(const PropertyDef& p) const {
    if (p.conversion == Conversion::Plain) {
        const Variant* v = ColumnValue(p);
        if (!v || v->IsNull()) return Currency();
        return v->Type() == VarType::Currency ? v->GetCurrency() : v->ToCurrency();
    }
    return Get(p).ToCurrency();
}
double RecordObject::GetDouble(const PropertyDef& p) const {
    if (p.conversion == Conversion::Plain) {
        const Variant* v = ColumnValue(p);
        return !v || v->IsNull() ? 0.0 : v->ToDouble();
    }
    return Get(p).ToDouble();
}
bool RecordObject::GetBoolean(const PropertyDef& p) const {
    return Get(p).ToBool();
}

const Variant& RecordObject::RowValue(std::string_view column) const {
    return RequireRows().Value(column);
}

int32_t RecordObject::RowLong(std::string_view column) const {
    const Variant& v = RowValue(column);
    return v.IsNull() ? 0 : v.ToInt32();
}

int32_t RecordObject::CurrentReportNumber() const {
    return Variant(Variant::Val(curr_report_id_)).ToInt32();
}

bool RecordObject::RowBelongsToCurrentReport() const {
    const Variant& report = RowValue("report_id");
    return !report.IsNull() && report.ToDouble() == Variant::Val(curr_report_id_);
}

// --- save ----------------------------------------------------------------------------------

std::string RecordObject::ParamText(const Variant& value) const {
    switch (value.Type()) {
        case VarType::Boolean:
            if (info_.booleans_as_digits) return value.GetBool() ? "1" : "0";
            return value.ToText();
        case VarType::Date:
            return value.GetDate().ToIso();
        case VarType::Currency:
            return value.GetCurrency().ToString();
        default:
            return value.ToText();
    }
}

void RecordObject::AddInsertParams(uint8_t use) {
    for (const InsertParamDef& param : info_.insert_params) {
        if ((param.use & use) == 0) continue;
        Variant value = RowValue(param.column);
        if (!value.IsNull() && param.type != VarType::Empty && value.Type() != param.type) {
            switch (param.type) {
                case VarType::Int16:
                    value = Variant(value.ToInt16());
                    break;
                case VarType::Int32:
                    value = Variant(value.ToInt32());
                    break;
                case VarType::Double:
                    value = Variant(value.ToDouble());
                    break;
                case VarType::Currency:
                    value = Variant(value.ToCurrency());
                    break;
                case VarType::Date:
                    value = Variant(value.ToDate());
                    break;
                case VarType::Boolean:
                    value = Variant(value.ToBool());
                    break;
                case VarType::String:
                    value = Variant(value.ToText());
                    break;
                default:
                    break;
            }
        }
        db_.AddParameter(param.param, value);
    }
}

template <class F>
bool RecordObject::InsertStep(F&& insert) {
    if (info_.insert_operation.empty()) return insert();
    try {
        return insert();
    } catch (...) {
        ReportRaised(info_.insert_operation, "");
        return false;
    }
}

bool RecordObject::SaveNew() {
    return InsertStep([this] { return InsertNew(); });
}

bool RecordObject::InsertNew() {
    const std::string insert = "sp_insert_" + std::string(info_.table);
    if (!db_.CreateCommand(insert).empty()) return false;
    db_.AddParameter("@Function", Variant("A"));
    db_.AddParameter("@Report_id", RowValue("report_id"));
    db_.AddParameter("@Ref_id", Variant(int16_t{-1}));
    AddInsertParams(kOnAdd);
    if (!db_.ExecuteCommand().empty()) return false;
    Variant unique_id;
    db_.GetParameter("@Unique_id", unique_id);
    db_.ClearCommand();
    if (info_.clear_filter_after_add) ListFilter("");
    return GetData(unique_id.ToInt32());
}

bool RecordObject::SaveExisting() {
    ResultSet& rs = RequireRows();
    const Variant unique_id = rs.Value("unique_id");
    if (!db_.InTransaction()) db_.BeginTrans();
    if (!info_.versioned || RowBelongsToCurrentReport()) {
        for (int i = 0; i < rs.FieldCount(); ++i) {
            const Variant& value = rs.Value(i);
            if (!Differs(value, rs.OriginalValue(i))) continue;
            if (!db_.CreateCommand("sp_update_table").empty()) return false;
            db_.AddParameter("@table", Variant(info_.table));
            db_.AddParameter("@column", Variant(rs.FieldAt(i).name));
            db_.AddParameter("@unique_id", unique_id);
            db_.AddParameter("@value",
                             value.IsNull() ? Variant::Null() : Variant(ParamText(value)));
            if (!db_.ExecuteCommand().empty()) return false;
        }
    } else if (!InsertStep([&] { return InsertChange(unique_id); })) {
        return false;
    }
    if (db_.InTransaction()) db_.EndTrans(true);
    return true;
}

bool RecordObject::InsertChange(const Variant& unique_id) {
    if (!db_.CreateCommand("sp_insert_" + std::string(info_.table)).empty()) return false;
    db_.AddParameter("@Function", Variant("C"));
    db_.AddParameter("@Report_id", Variant(curr_report_id_));
    db_.AddParameter("@Ref_id", unique_id);
    AddInsertParams(kOnChange);
    if (!db_.ExecuteCommand().empty()) return false;
    Variant ignored;
    db_.GetParameter(info_.change_output, ignored);
    return true;
}

bool RecordObject::SaveRow(bool force) {
    try {
        ResultSet& rs = RequireRows();
        bool changed = force;
        for (int i = 0; i < rs.FieldCount() && !changed; ++i) {
            changed = Differs(rs.Value(i), rs.OriginalValue(i));
        }
        if (!changed) return true;
        // An update of its own that lost to another connection's work is run again: nothing of
        // it was committed and the row's values it sends are as loaded and let. A new row is one
        // call, which the connection itself runs again.
        const bool rerun = !is_new_ && !db_.InTransaction();
        const auto rollback = [this] {
            if (db_.InTransaction()) db_.EndTrans(false);
        };
        return RunTransaction(
            rerun,
            [&] {
                const bool saved = is_new_ ? SaveNew() : SaveExisting();
                rollback();
                return saved;
            },
            rollback);
    } catch (...) {
        if (db_.InTransaction()) db_.EndTrans(false);
        ReportRaised("SaveData", "");
        return false;
    }
}

// --- delete --------------------------------------------------------------------------------

bool RecordObject::DeleteData(int32_t UniqueID) {
    DbConnect* none = nullptr;
    return DeleteData(UniqueID, none);
}

bool RecordObject::DeleteRow(int32_t UniqueID, DbConnect& conn, std::string& failure_text) {
    if (info_.versioned && !RowBelongsToCurrentReport()) {
        failure_text = conn.CreateCommand("sp_insert_" + std::string(info_.table));
        if (!failure_text.empty()) return false;
        conn.AddParameter("@Function", Variant("D"));
        conn.AddParameter("@Report_id", Variant(curr_report_id_));
        conn.AddParameter("@Ref_id", Variant(UniqueID));
        failure_text = conn.ExecuteCommand();
        return failure_text.empty();
    }
    DbConnect* lent = &conn;
    if (!DeleteItems(lent, failure_text)) return false;
    if (!DeleteNotes(lent)) {
        failure_text = info_.notes_failure;
        return false;
    }
    if (!DeleteNameAddress(lent)) {
        failure_text = info_.name_address_failure;
        return false;
    }
    failure_text = conn.CreateCommand("sp_delete_table");
    if (!failure_text.empty()) return false;
    conn.AddParameter("@table", Variant(info_.table));
    conn.AddParameter("@unique_id", Variant(UniqueID));
    failure_text = conn.ExecuteCommand();
    return failure_text.empty();
}

bool RecordObject::DeleteData(int32_t UniqueID, DbConnect*& ObConnect) {
    const bool lent = info_.delete_takes_connection && ObConnect != nullptr;
    if (info_.delete_takes_connection && info_.delete_tests_ready && !DataReady()) return true;
    DbConnect& conn = lent ? *ObConnect : db_;
    const bool owned = !lent;
    // Whatever way this ends, an owned transaction still open is rolled back.
    struct OwnedRollback {
        DbConnect& conn;
        bool owned;
        ~OwnedRollback() {
            if (!owned) return;
            try {
                if (conn.InTransaction()) conn.EndTrans(false);
            } catch (...) {
            }
        }
    } guard{conn, owned};
    std::string failure_text;
    // A cascade in a transaction of its own that lost to another connection's work is run again
    // from the start: it was rolled back whole, and every step reads afresh what it deletes.
    // Work the caller began on the own connection before it would be lost: no rerun then.
    const bool rerun = owned && !conn.InTransaction();
    try {
        return RunTransaction(
            rerun,
            [&] {
                failure_text.clear();
                if (!lent) {
                    if (info_.delete_takes_connection) ObConnect = &db_;
                    if (!conn.InTransaction()) conn.BeginTrans();
                }
                const bool deleted = DeleteRow(UniqueID, conn, failure_text);
                if (owned && conn.InTransaction()) conn.EndTrans(deleted);
                return deleted;
            },
            [&] {
                if (owned && conn.InTransaction()) conn.EndTrans(false);
            });
    } catch (...) {
        ReportRaised("DeleteData", failure_text);
        return false;
    }
}

std::string RecordObject::EntityName() const {
    if (!DataReady()) return std::string();
    const Variant& is_org = RowValue("is_org");
    if (is_org.IsNull() || is_org.ToBool()) return RowValue("org_name").ToText();
    return RowValue("last_name").ToText() + ", " + RowValue("first_name").ToText();
}

}  // namespace mz
