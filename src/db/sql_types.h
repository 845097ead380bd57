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

}  // namespace mz
