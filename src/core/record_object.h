// RecordObject: the record-object core every data class derives from. An object owns its
// DbConnect, the result set of its last load and (in the derived class) its child objects; it
// shows the current row's columns as properties described by the class's RecordClassInfo, moves
// through the rows, and saves or deletes through the shared protocol:
//   - SaveData: new rows by "sp_insert_<table>" with "A" and a re-read; rows of the current report
//     by one "sp_update_table" per changed column inside a transaction; rows of an earlier
//     version by one "C" insert into the current report.
//   - DeleteData: rows of the current report with their children (hooks below), in one
//     transaction on an owned or a lent connection; rows of an earlier version by a "D" marker.
//
// Error channels: loads, SaveData and DeleteData return False/0 on soft failures (an error text
// from DbConnect) and re-raise raised errors through modErrorMgmt::ReportError with
// "<class>.<operation>" appended to the source. Properties, navigation, DataReady, BOF, EOF,
// CurrentCount, GetTextLength and ConnectionVariables have no error path: an error of the result
// set reaches the caller unchanged.
//
// A concrete class passes its RecordClassInfo to the constructor, declares its typed accessors
// over Get/Let with the macros of core/record_accessors.h, adds its own list loaders (built from
// core/list_query.h and run by LoadList), and overrides the hooks for the children it has.
// Not copyable: it owns a connection.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/record_accessors.h"
#include "core/record_class.h"
#include "db/db_connect.h"
#include "platform/result_set.h"
#include "platform/variant.h"

namespace mz {

class NameAddress;
class RecordObject;

// Step 1 of a parent's delete cascade: the items of parent row `parent`, listed through the item
// class's own list, each deleted on conn. False as soon as one deletion fails.
template <class Items>
bool DeleteListedItems(Items& items, int32_t parent, DbConnect*& conn);
// The object a child variable holds; raises 91 when it is Nothing.
template <class T>
T& Require(const std::shared_ptr<T>& object);

class RecordObject {
  public:
    virtual ~RecordObject();
    RecordObject(const RecordObject&) = delete;
    RecordObject& operator=(const RecordObject&) = delete;

    const RecordClassInfo& Info() const { return info_; }

    // Connects the own DbConnect (its result is the result), hands the settings to the children
    // and keeps CurrReportID, also when the connection failed.
    bool ConnectionVariables(const std::string& DatabaseName, const std::string& Source,
                             const std::string& UsrName, const std::string& Pass, bool UseTrusted,
                             const std::string& CurrReportID);

    // Loads one row by identifier; -1 starts a new row (IsNew, one blank row). True when a row is
    // current.
    bool GetData(int32_t UniqueID = -1);
    // The plain list of one report's rows; False for ReportID -1, an error text or no rows.
    bool GetDataList(int32_t ReportID = -1, bool IsAudit = false);
    // max(sequence) + 1 among the report's visible rows; 0 on an error text or no row.
    int32_t GetNewSequence(int32_t ReportID, bool IsAudit = false);
    // Writes the current row's changes. True when there was nothing to write or all went in.
    // REQUIRES: a loaded result set (else raises).
    bool SaveData() { return SaveRow(false); }
    // Deletes (or marks deleted) row UniqueID. Without ObConnect (or with a null one) the own
    // connection is used, handed back through ObConnect, and its transaction is owned; with one,
    // the work joins the caller's transaction, which this object never ends.
    bool DeleteData(int32_t UniqueID);
    bool DeleteData(int32_t UniqueID, DbConnect*& ObConnect);
    bool ValidateData() const { return false; }

    // Open, and not empty; a cursor past either end still counts.
    bool DataReady() const;
    bool IsNew() const;
    // Sets the flag (classes with kMemberIsNewLet); ReadyTested classes only while DataReady.
    void IsNew(bool value);
    bool BOF() const;
    bool EOF() const;
    int32_t CurrentCount() const;
    // Rows of the last list load (classes with kMemberCount).
    int32_t Count() const { return count_; }
    // The result set while DataReady, else null.
    ResultSet* mRecSet();
    std::string Table() const { return std::string(info_.table); }
    std::string Section() const { return std::string(info_.section); }

    // All four return False; they raise when nothing was ever loaded.
    bool MoveFirst();
    bool MovePrevious();  // at BOF: to the first row
    bool MoveNext();      // at EOF: to the last row
    bool MoveLast();

    std::string ListFilter() const;
    // "" or "0" clears the filter; does nothing without a result set.
    void ListFilter(const std::string& Filter);

    // Defined size (texts) or precision (money, rates) of the column a mzMaxLength_ member
    // names, from the current result set's field description; 0 for other values. Raises
    // "item not found" when the rows lack the column (a query of another shape replaced them).
    // REQUIRES: a result set (an empty one will do).
    int32_t GetTextLength(int32_t Field);

    // Property access by the rules of the property's type and conversion. Get returns the
    // value typed as the property is (String, Long, Integer, Currency, Double, Boolean); without
    // DataReady the empty value of the type. Let changes the current row only.
    // REQUIRES: p belongs to this class's table.
    Variant Get(const PropertyDef& p) const;
    void Let(const PropertyDef& p, const Variant& value);
    std::string GetText(const PropertyDef& p) const;
    int32_t GetLong(const PropertyDef& p) const;
    int16_t GetInteger(const PropertyDef& p) const;
    Currency GetCurrency(const PropertyDef& p) const;
    double GetDouble(const PropertyDef& p) const;
    bool GetBoolean(const PropertyDef& p) const;

    const std::string& CurrReportID() const { return curr_report_id_; }
    // The numeric value of the current report identifier, as a Long.
    int32_t CurrentReportNumber() const;
    DbConnect& Connection() { return db_; }

    // For the delete cascades of parent classes: the current row's column (raises when there is
    // no result set or no current row), and the same read as a Long with Null as 0.
    const Variant& RowValue(std::string_view column) const;
    int32_t RowLong(std::string_view column) const;

  protected:
    explicit RecordObject(const RecordClassInfo& info);
    friend class clsNotes;  // adopts itself as a parent's notes child

    // --- the classes' children ----------------------------------------------------------------
    // A record child (items, notes) that ConnectionVariables hands all six settings, in the
    // order adopted; child reads the public member, which the caller may have replaced.
    void AdoptChild(std::function<RecordObject*()> child);
    // An item child whose items hang under this row: connected like any record child, and in
    // the cascade each item the child lists for the row's unique_id is deleted on the cascade's
    // connection (failure text: the class's items_failure).
    template <class Items>
    void AdoptItems(std::shared_ptr<Items>& items) {
        AdoptChild([&items] { return items.get(); });
        items_cascade_ = [this, &items](DbConnect*& conn) {
            return DeleteListedItems(Require(items), RowLong("unique_id"), conn);
        };
    }
    // The notes step of the cascade (clsNotes::Adopt sets it): deletes the row's notes on conn.
    void SetNotesCascade(std::function<bool(DbConnect*&)> cascade);
    // The name component of the row's entity: ConnectionVariables hands it the five settings
    // after the record children, and the cascade deletes the row's entity_id through it.
    void AdoptNameAddress(std::shared_ptr<NameAddress>& names);

    // The delete cascade of a row of the current report, in this order; False stops the delete
    // with the class's failure text. DeleteItems runs the adopted item cascade by default; a
    // class with several kinds of items overrides it and sets the failure text of each.
    virtual bool DeleteItems(DbConnect*& conn, std::string& failure_text);
    // By default the adopted notes cascade, if any.
    virtual bool DeleteNotes(DbConnect*& conn);
    // By default: the row's entity_id, when it is not Null and the adopted name component's
    // CanDelete agrees (raises 91 when the caller released it).
    virtual bool DeleteNameAddress(DbConnect*& conn);
    // Value of a Computed property.
    virtual Variant ComputedGet(const PropertyDef& p) const;

    // --- building blocks ---------------------------------------------------------------------
    // SaveData; with force the row is written as if a column had changed: a new row is
    // inserted, an earlier version's row copied, and a row of the current report goes through
    // the update transaction (begun and committed even with no column to send).
    // Not an overload of SaveData: the object model takes that member's address.
    bool SaveRow(bool force);
    // "<source_class>.<op>", or the class's override for op.
    std::string SourceText(std::string_view op) const;
    // Replaces the object's result set with the rows of sql. True when the error text is "" (the
    // result set is then in place, possibly empty); otherwise the object has no result set.
    bool Open(std::string_view sql);
    // Releases the result set: nothing is loaded afterwards (DataReady False).
    void CloseRows() { rs_.reset(); }
    // A list load: Count 0, Open, True and Count when rows came back. Error path with source op.
    // Callers clear the IsNew flag themselves when they build a text.
    bool LoadList(std::string_view op, const std::string& sql);
    // max(sequence)-style loader: numeric value of column as text, plus 1; 0 on error text or no
    // row. Uses a result set of its own.
    int32_t NextNumber(std::string_view op, const std::string& sql, std::string_view column);
    // Opens sql into the object's result set and returns the first row's column as text ("" on
    // an error text or no row). Error path with source op.
    std::string FirstValueText(std::string_view op, const std::string& sql,
                               std::string_view column);

    // The current row's report_id equals the numeric value of the current report identifier.
    bool RowBelongsToCurrentReport() const;
    // The row's entity as the FullName properties read it: the organisation name when is_org is
    // Null or true, else "last, first" (each part Null as ""); "" without a current row.
    // REQUIRES: the name columns in the result set (else raises naming the missing one).
    std::string EntityName() const;

    // Runs body; a raised error goes through ReportError with source op (and the result is
    // then failed if ReportError returns).
    template <class R, class F>
    R Guarded(std::string_view op, R failed, F&& body) {
        try {
            return body();
        } catch (...) {
            ReportRaised(op, "");
            return failed;
        }
    }
    void ReportRaised(std::string_view op, const std::string& description) const;

    void SetIsNewFlag(bool value) { is_new_ = value; }
    bool IsNewFlag() const { return is_new_; }
    void SetCount(int32_t value) { count_ = value; }
    ResultSet* Rows() { return rs_.get(); }

  private:
    // The column of p in the current rows: the cached index when p is one of the class's own
    // properties and was resolved since the last load, else Resolve.
    int FieldOf(const PropertyDef& p) const {
        const size_t i = static_cast<size_t>(&p - info_.properties.data());
        if (i < field_cache_.size() && field_cache_[i] >= 0) return field_cache_[i];
        return ResolveField(p);
    }
    int ResolveField(const PropertyDef& p) const;
    // The current row's value of p, or null when the object is not ready (Get then gives the
    // type's empty value). REQUIRES: p is not Computed.
    const Variant* ColumnValue(const PropertyDef& p) const;
    Variant Stored(const PropertyDef& p, const Variant& value) const;
    ResultSet& RequireRows() const;
    std::string ParamText(const Variant& value) const;
    void AddInsertParams(uint8_t use);
    bool SaveNew();
    bool SaveExisting();
    bool InsertNew();
    bool InsertChange(const Variant& unique_id);
    template <class F>
    bool InsertStep(F&& insert);
    bool DeleteRow(int32_t UniqueID, DbConnect& conn, std::string& failure_text);

    const RecordClassInfo& info_;
    DbConnect db_;
    std::vector<std::function<RecordObject*()>> children_;
    std::function<bool(DbConnect*&)> items_cascade_;
    std::function<bool(DbConnect*&)> notes_cascade_;
    std::shared_ptr<NameAddress>* names_ = nullptr;
    std::unique_ptr<ResultSet> rs_;
    mutable std::vector<int> field_cache_;  // per property: column index, -2 unresolved
    std::string curr_report_id_;
    bool is_new_ = false;
    int32_t count_ = 0;
};

// Error 91, "Object variable or With block variable not set", raised for a missing object
// (a released child, no result set).
[[noreturn]] void RaiseObjectNotSet();

// The moves of the front end's lists on rs, each returning False: Previous before the first row
// goes to the first row, Next after the last row to the last row. Raises 91 when rs is null.
enum class RowMove : uint8_t { First, Previous, Next, Last };
bool MoveRows(ResultSet* rs, RowMove move);

// A child object variable that must be set.
template <class T>
T& Require(const std::shared_ptr<T>& object) {
    if (!object) RaiseObjectNotSet();
    return *object;
}

template <class Items>
bool DeleteListedItems(Items& items, int32_t parent, DbConnect*& conn) {
    if (!items.GetDataList(parent, false)) return true;
    if (items.mRecSet()->FieldIndex("report_id") >= 0) {
        for (items.MoveFirst(); !items.EOF(); items.MoveNext()) {
            if (!items.DeleteData(items.RowLong("unique_id"), conn)) return false;
        }
        return true;
    }
    // A list that does not carry the columns a deletion reads (its row's report and entity):
    // each listed item is loaded by its identifier before it is deleted.
    std::vector<int32_t> listed;
    for (items.MoveFirst(); !items.EOF(); items.MoveNext())
        listed.push_back(items.RowLong("unique_id"));
    for (const int32_t id : listed) {
        if (!items.GetData(id) || !items.DeleteData(id, conn)) return false;
    }
    return true;
}

}  // namespace mz
