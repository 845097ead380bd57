// Private to ResultSet: the case-insensitive field-name index and the filter/find criteria,
// parsed once into a small expression tree with field names resolved to column indexes, then
// evaluated per row without allocating (except LIKE over a non-text value).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/date.h"
#include "platform/result_set.h"
#include "platform/variant.h"

namespace mz::detail {

// ASCII case folding, enough for column names and the criteria's text comparisons.
inline char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

class FieldNameIndex {
  public:
    // The first field of a name wins when a join repeats it.
    void Build(const std::vector<FieldInfo>& fields);
    // -1 when there is no such field.
    int Find(std::string_view name) const;

  private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const;
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::unordered_map<std::string, int, Hash, Equal> index_;
};

class RowFilter {
  public:
    enum class Op : uint8_t { kEq, kNe, kLt, kGt, kLe, kGe, kLike };

    // Parses criteria against the fields of `names`. `single` allows one comparison only (Find).
    // Throws Error 3001 naming the position (1-based) and what is wrong; `what` ("Filter",
    // "Find") opens the description.
    static RowFilter Parse(std::string_view criteria, const FieldNameIndex& names, bool single,
                           const char* what);

    // `row` points at the row's FieldCount() current values.
    bool Matches(const Variant* row) const { return Eval(root_, row); }

  private:
    struct Literal {
        enum class Kind : uint8_t { kText, kNumber, kDate, kNull } kind = Kind::kText;
        std::string text;              // as written, quotes removed
        std::optional<double> number;  // when the literal reads as a number
        std::optional<Date> date;      // when the literal reads as a date
    };
    // A chain "a AND b AND c" is one node with its terms in kids_ [first, first + count), so
    // only parentheses make the tree deeper (and the parser limits those).
    struct Node {
        enum class Kind : uint8_t { kAnd, kOr, kCompare } kind = Kind::kCompare;
        Op op = Op::kEq;
        int field = -1;
        int first = 0, count = 0;  // terms of AND / OR in kids_
        Literal literal;
    };
    class Parser;

    bool Eval(int node, const Variant* row) const;
    static bool Compare(const Node& n, const Variant& v);

    std::vector<Node> nodes_;
    std::vector<int> kids_;
    int root_ = -1;
};

}  // namespace mz::detail
