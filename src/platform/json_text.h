// JSON literals for the values of this library, for every tool that writes JSON (the command
// line's tables, diffs and histories, the JSON export of a report).
#pragma once

#include <string>
#include <string_view>

#include "platform/variant.h"

namespace mz {

// A JSON string: quotes, backslashes and control characters escaped; other bytes (UTF-8) as
// they are.
std::string JsonString(std::string_view s);
// A JSON literal for v: texts as strings, Null and Empty as null, dates as "yyyy-mm-dd", numbers
// as numbers (a Double that is not finite as null).
std::string JsonValue(const Variant& v);

}  // namespace mz
