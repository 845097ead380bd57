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

// Prints a table as its rows come, in PrintTable's layout, without holding them: Begin with the
// column names, Rows for each batch, End. Text columns are as wide as the widest value of the
// first batch; a wider value later widens only its own line. Not copyable: it writes to out.
class TableStream {
  public:
    TableStream(std::ostream& out, bool json, bool marked = false)
        : out_(out), json_(json), marked_(marked) {}
    TableStream(const TableStream&) = delete;
    TableStream& operator=(const TableStream&) = delete;
    void Begin(const std::vector<std::string>& columns);
    // current: the index in rows of the row to mark, or -1.
    void Rows(const std::vector<std::vector<Variant>>& rows, int current = -1);
    void End();

  private:
    void Header();
    void Line(const std::vector<std::string>& line, const std::vector<Variant>* row);

    std::ostream& out_;
    bool json_, marked_;
    std::vector<std::string> columns_;
    std::vector<std::string> keys_;  // JSON: the columns' unique keys, quoted
    std::vector<size_t> widths_;
    size_t count_ = 0;
    int current_ = -1;  // of all rows so far
    bool headed_ = false;
};

// A value as the shell prints it: texts as they are, True/False, "Null", Empty as "".
std::string DisplayText(const Variant& v);

}  // namespace mz::app
