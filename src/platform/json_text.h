// JSON literals for the values of this library, for every tool that writes JSON (the command
// line's tables, diffs and histories, the JSON export of a report).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/variant.h"

namespace mz {

// Appends s with backslash escapes for backslash, tab, line feed and carriage return; with json
// also for the quote and every other control character (\u00XX), as a JSON string's inside.
void AppendEscaped(std::string& out, std::string_view s, bool json);
// A JSON string: quotes, backslashes and control characters escaped; other bytes (UTF-8) as
// they are.
std::string JsonString(std::string_view s);
// A JSON literal for v: texts as strings, Null and Empty as null, dates as "yyyy-mm-dd", numbers
// as numbers (a Double that is not finite as null).
std::string JsonValue(const Variant& v);

// The keys of a JSON object whose members are these names in order (a row's columns), distinct
// however the names repeat: a name keeps its spelling the first time; each repeat becomes
// name_2, name_3, ..., the lowest number whose key is neither one of the names nor a key given
// before it. The same names always give the same keys.
std::vector<std::string> UniqueKeys(const std::vector<std::string>& names);

}  // namespace mz
