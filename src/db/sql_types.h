// Declared column and parameter types of the report database ("int", "varchar(50)", "money",
// "datetime", "bit", "numeric(12,2)") and what they mean on both sides: the field type, defined
// size and precision a result set reports, and how a value is stored. Private to the db layer.
#pragma once

#include <string_view>

#include "platform/result_set.h"

namespace mz {

// Field description for a declared type; an unknown or empty type gives String of size 0.
FieldInfo FieldInfoForDeclaredType(std::string_view declared);

// The value converted to what a column or parameter of that field type stores: dates as ISO
// text, Booleans as 0/1, numbers from numeric text, "" as Null for non-text types.
// Values that do not convert are passed through unchanged (the engine then decides).
Variant ValueForStorage(const Variant& value, VarType type);

// How a result column's engine value becomes a field value: one switch per value on loading.
// Undecided: an expression with no declared type, whose first row decides.
enum class Conv : uint8_t { Undecided, Int32, Int16, Boolean, Double, Currency, Date, String };
inline Conv ConvFor(VarType t) {
    switch (t) {
        case VarType::Int32:
            return Conv::Int32;
        case VarType::Int16:
            return Conv::Int16;
        case VarType::Boolean:
            return Conv::Boolean;
        case VarType::Double:
            return Conv::Double;
        case VarType::Currency:
            return Conv::Currency;
        case VarType::Date:
            return Conv::Date;
        default:
            return Conv::String;
    }
}

}  // namespace mz
