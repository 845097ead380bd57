// The static description of one record class: its table, views, properties, insert parameters,
// children and texts. Every class declares one RecordClassInfo in its own source file; the record
// core (core/record_object.h) and the automation object model both read it, so a class lists its
// members exactly once.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/variant.h"

namespace mz {

// The type a property hands out and takes.
enum class PropType : uint8_t { Text, Long, Integer, Currency, Double, Boolean };

// How a property maps its column; Plain follows the rules of its PropType.
//   Text    Get: Null -> "", else the value as text.       Let: "" -> Null, else the text.
//   numbers Get: Null -> 0, else the value.                 Let: the value, never Null.
enum class Conversion : uint8_t {
    Plain,
    NumberText,   // Text whose Let stores the leading number of the text as a Double ("" -> Null)
    DateText,     // Text read as "mm/dd/yyyy"; Let stores a valid date, anything else as Null
    TriState,     // Integer whose Null reads 2; letting 2 stores Null
    TwoIsNull,    // Integer whose Let of 2 stores Null; Null reads 0, as for any number, so a 2
                  // let in reads back as 0
    Computed,     // no column: the class computes the value (RecordObject::ComputedGet)
    TextAsGiven,  // Text whose Let stores the text unchanged, "" too (never Null)
};

enum PropAccess : uint8_t {
    kGet = 1,
    kLet = 2,
    kLetAlways = 4,  // the Let writes without the DataReady test (a result set is still needed)
};

struct PropertyDef {
    std::string_view name;    // public name, "ReportSection"
    std::string_view column;  // result-set column, "report_section_code"; "" when Computed
    PropType type = PropType::Text;
    uint8_t access = kGet;
    Conversion conversion = Conversion::Plain;

    bool Writable() const { return (access & (kLet | kLetAlways)) != 0; }
};

// Which insert functions carry a parameter.
enum InsertUse : uint8_t { kOnAdd = 1, kOnChange = 2, kOnAddAndChange = 3 };

// One column parameter of "sp_insert_<table>", in the order it is added after "@Function",
// "@Report_id" and "@Ref_id". The value is the column's current value; with a type other than
// Empty a non-Null value is converted to it first.
struct InsertParamDef {
    std::string_view param;   // "@Link_id"
    std::string_view column;  // "link_id"
    VarType type = VarType::Empty;
    uint8_t use = kOnAddAndChange;
};

// One member of a class's mzMaxLength_<Class> enumeration.
struct TextLengthDef {
    enum Measure : uint8_t { kDefinedSize, kPrecision };
    int32_t field;
    std::string_view column;
    Measure measure = kDefinedSize;
};

// A source text that is not "<class>.<operation>".
struct SourceOverride {
    std::string_view operation;  // "GetTableCode"
    std::string_view source;     // "clsLookupList.GetTableCode"
};

// Common members a class exposes beyond those every record object has (ConnectionVariables,
// GetData, DataReady, IsNew, Table, SaveData, DeleteData, ValidateData, GetTextLength and the
// column properties). The object model registers exactly these.
enum CommonMember : uint32_t {
    kMemberSection = 1u << 0,
    kMemberCount = 1u << 1,
    kMemberCurrentCount = 1u << 2,
    kMemberBofEof = 1u << 3,
    kMemberNavigation = 1u << 4,  // MoveFirst, MovePrevious, MoveNext, MoveLast
    kMemberListFilter = 1u << 5,
    kMemberRecSet = 1u << 6,
    kMemberGetDataList = 1u << 7,
    kMemberGetNewSequence = 1u << 8,
    kMemberIsNewLet = 1u << 9,
};

enum class IsNewRule : uint8_t {
    ReadyTested,  // IsNew is the flag only while DataReady
    FlagOnly,     // IsNew is the flag itself, whatever DataReady says
};

struct RecordClassInfo {
    std::string_view class_name;    // "clsNotes"; source texts are "<source_class>.<operation>"
    std::string_view source_class;  // usually class_name
    std::string_view table;         // "rpt_notes"
    std::string_view section;       // "" when the class has none

    // GetData(id): row_head + table + row_tail + id + " ".
    std::string_view row_head = "SELECT * from vw_mz_";
    std::string_view row_tail = " where unique_id = ";
    // GetData(-1): new_row_head + table + new_row_tail.
    std::string_view new_row_head = "select * from vw_mz_";
    std::string_view new_row_tail = " where unique_id is null";

    // The plain GetDataList: ordering text after the version filter ("" for none).
    std::string_view list_order;

    std::span<const PropertyDef> properties;
    std::span<const InsertParamDef> insert_params;
    std::span<const TextLengthDef> text_lengths;
    std::span<const SourceOverride> sources;

    // Output read after a "C" insert (its value is not used).
    std::string_view change_output = "@Unique_id";
    // Boolean columns go to sp_update_table as "1"/"0" instead of "True"/"False".
    bool booleans_as_digits = false;
    // False: rows are changed and deleted in place whichever report they belong to (no "C", no
    // "D"), as notes are.
    bool versioned = true;
    // False: DeleteData has no ObConnect and no DataReady test (it always owns its transaction).
    bool delete_takes_connection = true;
    // False (with delete_takes_connection): DeleteData takes ObConnect but has no DataReady test;
    // without a current row the read of its report_id raises inside the delete, which then takes
    // the error path (an owned transaction is begun and rolled back).
    bool delete_tests_ready = true;
    // SaveData of a new row clears ListFilter before re-reading the row.
    bool clear_filter_after_add = false;
    // An operation of its own for the insert step of SaveData ("SaveData_Insert"): an error
    // raised while inserting passes through ReportError with it before SaveData's own source.
    std::string_view insert_operation;
    // GetDataList answers every failure, a raised error too, with a quiet False.
    bool quiet_list_errors = false;

    // Fixed failure texts of the delete cascade, "" when the class has no such child.
    std::string_view items_failure;
    std::string_view notes_failure;
    std::string_view name_address_failure;
    // NameAddress.DeleteData gets the current report identifier (true) or 0 (false).
    bool name_address_gets_report = false;

    IsNewRule is_new_rule = IsNewRule::ReadyTested;
    uint32_t members = 0;  // CommonMember bits

    // The property of that public name, or null.
    const PropertyDef* FindProperty(std::string_view name) const;
};

}  // namespace mz
