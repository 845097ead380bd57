// The one table printer of mzreport (Show, query, report list): aligned text columns with
// numbers to the right, or a JSON object for tools.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/json_text.h"
#include "platform/result_set.h"
#include "platform/variant.h"

namespace mz::app {

struct Table {
    std::vector<std::string> columns;
    std::vector<std::vector<Variant>> rows;
    int current = -1;  // index of the marked row, -1 for none
};

// The visible (filtered) rows of rs, marking the current row when mark_current. The cursor is
// put back where it was. A closed result set gives an empty table.
Table TableOf(ResultSet& rs, bool mark_current);

// Text: a header, one line per row ("> " before the current row when marked), then
// "(N rows)". JSON: {"columns":[...],"rows":[{...},...]} plus "current" (1-based, or null) when
// marked; columns and row keys are the UniqueKeys of the column names (platform/json_text.h).
void PrintTable(std::ostream& out, const Table& table, bool json, bool marked = false);

// One row as name/value lines, the names in a column and each value wrapped at word boundaries
// to fit width characters (a word longer than the room left stays whole), continuation lines
// under the value; then "(1 row)". REQUIRES: table has exactly one row.
void PrintRecord(std::ostream& out, const Table& table, size_t width);

// The lines of text wrapped at blanks into lines of at most width characters (a longer word
// stays whole on a line of its own); line breaks in text are kept. Never empty.
std::vector<std::string> WrapWords(const std::string& text, size_t width);

// A value as the shell prints it: texts as they are, True/False, "Null", Empty as "".
std::string DisplayText(const Variant& v);

}  // namespace mz::app
