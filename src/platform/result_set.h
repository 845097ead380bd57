// The rows of one load with a two-way cursor, as the database layer hands them to record objects.
// A ResultSet owns its rows. Edits stay local (nothing is written back); each field keeps its value
// as loaded next to its current value. At most one blank row may be added.
//
// Cursor rules: BOF is before the first row, EOF after the last; with no rows both are true.
// Moving past an end that is already reached, and reading or writing a field with no current row,
// raise Error 3021. A closed result set raises Error 3704 for everything but State and Close.
// A filter restricts RecordCount, navigation and Find to the matching rows.
// Move-only: copying a loaded set is never what a caller means.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/variant.h"

// The cursor flag is named EOF, and C's stdio macro of that name would turn every EOF() into
// "(-1)()". <cstdio> is loaded above, so its include guard keeps the macro from coming back;
// C++ code reads end of file through std::char_traits<char>::eof().
#undef EOF

namespace mz {

struct FieldInfo {
    std::string name;
    VarType type = VarType::String;
    int32_t defined_size = 0;  // characters for texts, bytes for numbers
    uint8_t precision = 0;     // digits of numeric, decimal and money columns
    uint8_t scale = 0;
};

class ResultSet;

// A handle on one field of a result set's current row; valid while the result set lives.
class Field {
  public:
    Field(ResultSet* rs, int index) : rs_(rs), index_(index) {}
    const std::string& Name() const;
    VarType Type() const;
    int32_t DefinedSize() const;
    uint8_t Precision() const;
    // REQUIRES: a current row.
    const Variant& Value() const;
    const Variant& OriginalValue() const;
    void Value(Variant value);

  private:
    ResultSet* rs_;
    int index_;
};

class ResultSet {
  public:
    enum State : int32_t { kStateClosed = 0, kStateOpen = 1 };
    // AbsolutePosition when there is no current row.
    static constexpr int32_t kPosUnknown = -1, kPosBOF = -2, kPosEOF = -3;

    ResultSet();  // closed
    // Opens an empty set with these fields; rows follow through AppendRow.
    explicit ResultSet(std::vector<FieldInfo> fields);
    // A moved-from set is closed. Defined out of line, where Impl is complete.
    ResultSet(ResultSet&& other) noexcept;
    ResultSet& operator=(ResultSet&& other) noexcept;
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;
    ~ResultSet();

    // Loading. REQUIRES: values.size() == FieldCount(). The cursor goes to the first row.
    void AppendRow(std::vector<Variant> values);
    // The same, moving the values out of the caller's buffer so a loader can reuse one row
    // buffer for every row. REQUIRES: values.size() == FieldCount().
    void AppendRowFrom(std::span<Variant> values);
    // The fastest load: appends one row whose FieldCount() values fill(Variant* slots) writes in
    // place (the slots start Empty).
    template <class Fill>
    void AppendRowWith(Fill&& fill) {
        fill(BeginAppend());
        EndAppend();
    }
    void Reserve(size_t rows);

    int32_t State() const { return open_ ? kStateOpen : kStateClosed; }
    void Close();

    bool BOF() const;
    bool EOF() const;
    int32_t RecordCount() const;
    // 1-based position of the current row among the visible rows, or kPosBOF / kPosEOF;
    // kPosUnknown when there are no visible rows.
    int32_t AbsolutePosition() const;
    void AbsolutePosition(int32_t position);  // Error 3001 out of range

    void MoveFirst();  // with no rows: BOF and EOF stay true, no error
    void MoveLast();
    void MoveNext();      // Error 3021 when already at EOF
    void MovePrevious();  // Error 3021 when already at BOF

    int FieldCount() const;
    const FieldInfo& FieldAt(int index) const;
    // Case-insensitive; -1 when there is no such field.
    int FieldIndex(std::string_view name) const;
    // Error 3265 naming the field when there is none.
    Field Fields(std::string_view name);
    Field Fields(int index);

    // Current row values. REQUIRES: a current row (else Error 3021).
    const Variant& Value(int index) const;
    const Variant& OriginalValue(int index) const;
    void SetValue(int index, Variant value);
    // The current row's values (FieldCount() of them, edits included), or null when the set is
    // closed or has no current row. Never raises: the fast path of record properties, kept up to
    // date by every operation that moves the cursor, filters, edits or adds rows.
    const Variant* CurrentRow() const noexcept { return current_; }
    // Field look-up by name and value in one step; Error 3265 for an unknown name.
    const Variant& Value(std::string_view name) const;

    // Adds one blank row (every field Null) at the end and makes it current. A second AddNew
    // while the first added row exists raises Error 3001.
    void AddNew();
    bool HasAddedRow() const;

    // Criteria: field op literal, joined by AND / OR, with parentheses. Operators =, <>, <, >,
    // <=, >=, LIKE ('*' or '%' any run, '_' or '?' one character). Literals: 'text' (quote
    // doubled inside), #date#, numbers, Null (with = and <> only). "" or "0" (no filter)
    // clears the filter. The cursor goes to the first matching row. Bad criteria raise Error
    // 3001 and keep the old filter.
    void Filter(std::string_view criteria);
    // The criteria as set, or "0" when no filter is set.
    std::string Filter() const;
    // One criterion, searched from the current row forward (the current row included).
    // Found: the cursor is on the row. Not found: the cursor is at EOF.
    void Find(std::string_view criterion);

  private:
    friend class Field;
    struct Impl;
    Variant* BeginAppend();
    void EndAppend();
    void RequireOpen() const;
    void RequireRow() const;
    size_t RowIndex() const;
    // Sets current_ from the cursor.
    void Seat() noexcept;

    bool open_ = false;
    std::unique_ptr<Impl> impl_;
    const Variant* current_ = nullptr;
};

}  // namespace mz
