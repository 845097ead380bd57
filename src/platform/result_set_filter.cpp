#include "platform/result_set_filter.h"

#include <charconv>

#include "platform/error.h"

namespace mz::detail {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsNameChar(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// Parentheses a criterion may nest; each level is one recursion of the parser and the evaluator.
constexpr int kMaxParentheses = 64;

int CompareNoCase(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(FoldCase(a[i]));
        const auto y = static_cast<unsigned char>(FoldCase(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

template <typename T>
int Order(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// `pattern` is already case-folded: '*' and '%' match any run, '?' and '_' one character.
bool LikeMatch(std::string_view s, std::string_view pattern) {
    size_t si = 0, pi = 0, star = std::string_view::npos, mark = 0;
    while (si < s.size()) {
        if (pi < pattern.size() && (pattern[pi] == '*' || pattern[pi] == '%')) {
            star = pi++;
            mark = si;
        } else if (pi < pattern.size() &&
                   (pattern[pi] == '?' || pattern[pi] == '_' || pattern[pi] == FoldCase(s[si]))) {
            ++si;
            ++pi;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            si = ++mark;
        } else {
            return false;
        }
    }
    while (pi < pattern.size() && (pattern[pi] == '*' || pattern[pi] == '%')) ++pi;
    return pi == pattern.size();
}

const char* OpText(RowFilter::Op op) {
    switch (op) {
        case RowFilter::Op::kEq:
            return "=";
        case RowFilter::Op::kNe:
            return "<>";
        case RowFilter::Op::kLt:
            return "<";
        case RowFilter::Op::kGt:
            return ">";
        case RowFilter::Op::kLe:
            return "<=";
        case RowFilter::Op::kGe:
            return ">=";
        case RowFilter::Op::kLike:
            return "LIKE";
    }
    return "?";
}

}  // namespace

size_t FieldNameIndex::Hash::operator()(std::string_view s) const {
    size_t h = 1469598103934665603ull;  // FNV-1a over the folded bytes
    for (char c : s) {
        h ^= static_cast<unsigned char>(FoldCase(c));
        h *= 1099511628211ull;
    }
    return h;
}

bool FieldNameIndex::Equal::operator()(std::string_view a, std::string_view b) const {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

void FieldNameIndex::Build(const std::vector<FieldInfo>& fields) {
    index_.clear();
    index_.reserve(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) index_.emplace(fields[i].name, static_cast<int>(i));
}

int FieldNameIndex::Find(std::string_view name) const {
    const auto it = index_.find(name);
    return it == index_.end() ? -1 : it->second;
}

class RowFilter::Parser {
  public:
    Parser(std::string_view text, const FieldNameIndex& names, bool single, const char* what,
           RowFilter& out)
        : text_(text), names_(names), single_(single), what_(what), out_(out) {}

    void Run() {
        out_.root_ = ParseOr();
        SkipBlanks();
        if (pos_ < text_.size()) Fail(pos_, "unexpected '" + std::string(Word(pos_)) + "'");
    }

  private:
    [[noreturn]] void Fail(size_t at, const std::string& problem) const {
        throw Error(err::kBadArguments, "MZ.ResultSet",
                    std::string(what_) + " criterion is not valid at position " +
                        std::to_string(at + 1) + ": " + problem);
    }

    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    }

    // The run of non-blank characters at `at`, for messages.
    std::string_view Word(size_t at) const {
        size_t end = at;
        while (end < text_.size() && !IsBlank(text_[end])) ++end;
        return text_.substr(at, end - at);
    }

    // Consumes `word` (case-insensitive) when it stands alone at the current position.
    bool EatKeyword(std::string_view word) {
        SkipBlanks();
        if (text_.size() - pos_ < word.size()) return false;
        if (CompareNoCase(text_.substr(pos_, word.size()), word) != 0) return false;
        const size_t end = pos_ + word.size();
        if (end < text_.size() && IsNameChar(text_[end])) return false;
        pos_ = end;
        return true;
    }

    int Add(Node node) {
        out_.nodes_.push_back(std::move(node));
        return static_cast<int>(out_.nodes_.size() - 1);
    }

    // term { keyword term }: one node for the whole chain, or the term alone.
    template <class Term>
    int Chain(Node::Kind kind, std::string_view keyword, Term term) {
        std::vector<int> terms{term()};
        for (;;) {
            const size_t at = (SkipBlanks(), pos_);
            if (!EatKeyword(keyword)) break;
            if (single_) Fail(at, "only one criterion is allowed, without AND or OR");
            terms.push_back(term());
        }
        if (terms.size() == 1) return terms.front();
        Node n;
        n.kind = kind;
        n.first = static_cast<int>(out_.kids_.size());
        n.count = static_cast<int>(terms.size());
        out_.kids_.insert(out_.kids_.end(), terms.begin(), terms.end());
        return Add(std::move(n));
    }

    int ParseOr() {
        return Chain(Node::Kind::kOr, "OR", [this] { return ParseAnd(); });
    }

    int ParseAnd() {
        return Chain(Node::Kind::kAnd, "AND", [this] { return ParseFactor(); });
    }

    int ParseFactor() {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '(') {
            const size_t open = pos_++;
            if (++depth_ > kMaxParentheses) {
                Fail(open,
                     "more than " + std::to_string(kMaxParentheses) + " levels of parentheses");
            }
            const int inner = ParseOr();
            --depth_;
            SkipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != ')') {
                Fail(pos_, "expected ')' to close the '(' at position " + std::to_string(open + 1));
            }
            ++pos_;
            return inner;
        }
        return ParseComparison();
    }

    int ParseComparison() {
        SkipBlanks();
        const size_t name_at = pos_;
        std::string_view name;
        if (pos_ < text_.size() && text_[pos_] == '[') {
            const size_t close = text_.find(']', pos_);
            if (close == std::string_view::npos) Fail(pos_, "the '[' has no closing ']'");
            name = text_.substr(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
        } else {
            while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
            name = text_.substr(name_at, pos_ - name_at);
        }
        if (name.empty()) {
            Fail(name_at, pos_ < text_.size()
                              ? "expected a field name at '" + std::string(Word(pos_)) + "'"
                              : std::string("expected a field name"));
        }
        Node n;
        n.field = names_.Find(name);
        if (n.field < 0) Fail(name_at, "no field named '" + std::string(name) + "'");

        SkipBlanks();
        const size_t op_at = pos_;
        if (EatKeyword("IS")) {
            n.op = EatKeyword("NOT") ? Op::kNe : Op::kEq;
            if (!EatKeyword("NULL")) Fail(pos_, "expected Null after IS");
            n.literal.kind = Literal::Kind::kNull;
            return Add(std::move(n));
        }
        if (!ParseOperator(n.op)) {
            Fail(op_at, "expected a comparison operator after '" + std::string(name) + "'");
        }
        ParseLiteral(n, op_at);
        return Add(std::move(n));
    }

    bool ParseOperator(Op& op) {
        const std::string_view rest = text_.substr(pos_);
        static constexpr struct {
            std::string_view text;
            Op op;
        } kOps[] = {{"<=", Op::kLe}, {">=", Op::kGe}, {"<>", Op::kNe}, {"!=", Op::kNe},
                    {"=", Op::kEq},  {"<", Op::kLt},  {">", Op::kGt}};
        for (const auto& candidate : kOps) {
            if (rest.starts_with(candidate.text)) {
                op = candidate.op;
                pos_ += candidate.text.size();
                return true;
            }
        }
        if (EatKeyword("LIKE")) {
            op = Op::kLike;
            return true;
        }
        return false;
    }

    void ParseLiteral(Node& n, size_t op_at) {
        SkipBlanks();
        const size_t at = pos_;
        Literal& lit = n.literal;
        const char c = at < text_.size() ? text_[at] : '\0';
        if (c == '\'') {
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size()) Fail(at, "the text has no closing quote");
                if (text_[pos_] == '\'') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                        lit.text += '\'';
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                lit.text += text_[pos_++];
            }
            lit.kind = Literal::Kind::kText;
            const Variant as_variant(lit.text);
            if (as_variant.IsNumeric()) lit.number = as_variant.ToDouble();
            lit.date = Date::Parse(lit.text);
        } else if (c == '#') {
            const size_t close = text_.find('#', at + 1);
            if (close == std::string_view::npos) Fail(at, "the date has no closing '#'");
            lit.text = std::string(text_.substr(at + 1, close - at - 1));
            lit.date = Date::Parse(lit.text);
            if (!lit.date) Fail(at, "'#" + lit.text + "#' is not a valid date");
            lit.kind = Literal::Kind::kDate;
            lit.number = lit.date->Serial();
            pos_ = close + 1;
        } else if (IsDigit(c) || c == '.' || c == '-' || c == '+') {
            size_t end = at + 1;
            while (end < text_.size() && (IsDigit(text_[end]) || text_[end] == '.')) ++end;
            if (end < text_.size() && (text_[end] == 'e' || text_[end] == 'E')) {
                size_t e = end + 1;
                if (e < text_.size() && (text_[e] == '+' || text_[e] == '-')) ++e;
                if (e < text_.size() && IsDigit(text_[e])) {
                    while (e < text_.size() && IsDigit(text_[e])) ++e;
                    end = e;
                }
            }
            const std::string_view number = text_.substr(at, end - at);
            double value = 0;
            const char* first = number.data() + (number.front() == '+' ? 1 : 0);
            const auto r = std::from_chars(first, number.data() + number.size(), value);
            if (r.ec != std::errc() || r.ptr != number.data() + number.size() ||
                (end < text_.size() && IsNameChar(text_[end]))) {
                Fail(at, "'" + std::string(Word(at)) + "' is not a valid number");
            }
            lit.kind = Literal::Kind::kNumber;
            lit.text = std::string(number);
            lit.number = value;
            pos_ = end;
        } else if (EatKeyword("NULL")) {
            if (n.op != Op::kEq && n.op != Op::kNe) {
                Fail(at,
                     std::string("Null can only be compared with = or <>, not ") + OpText(n.op));
            }
            lit.kind = Literal::Kind::kNull;
        } else {
            const std::string after = "after '" + std::string(OpText(n.op)) + "'";
            if (at >= text_.size()) Fail(op_at, "expected a value " + after);
            Fail(at, "expected a value " + after + ", found '" + std::string(Word(at)) +
                         "' (texts go in single quotes, dates in #...#)");
        }
        if (n.op == Op::kLike) {
            for (char& ch : lit.text) ch = FoldCase(ch);
        }
    }

    std::string_view text_;
    const FieldNameIndex& names_;
    bool single_;
    const char* what_;
    RowFilter& out_;
    size_t pos_ = 0;
    int depth_ = 0;  // parentheses open at pos_
};

RowFilter RowFilter::Parse(std::string_view criteria, const FieldNameIndex& names, bool single,
                           const char* what) {
    RowFilter filter;
    Parser(criteria, names, single, what, filter).Run();
    return filter;
}

bool RowFilter::Eval(int node, const Variant* row) const {
    const Node& n = nodes_[static_cast<size_t>(node)];
    switch (n.kind) {
        case Node::Kind::kAnd:
            for (int i = 0; i < n.count; ++i)
                if (!Eval(kids_[static_cast<size_t>(n.first + i)], row)) return false;
            return true;
        case Node::Kind::kOr:
            for (int i = 0; i < n.count; ++i)
                if (Eval(kids_[static_cast<size_t>(n.first + i)], row)) return true;
            return false;
        case Node::Kind::kCompare:
            break;
    }
    return Compare(n, row[n.field]);
}

bool RowFilter::Compare(const Node& n, const Variant& v) {
    const Literal& lit = n.literal;
    const bool missing = v.IsNull() || v.IsEmpty();
    if (lit.kind == Literal::Kind::kNull) return (n.op == Op::kEq) == missing;
    if (missing) return false;  // Null matches no value, not even with <>

    if (n.op == Op::kLike) {
        return v.IsText() ? LikeMatch(v.GetString(), lit.text) : LikeMatch(v.ToText(), lit.text);
    }

    int order = 0;
    if (v.IsText()) {
        const std::string& s = v.GetString();
        if (lit.kind == Literal::Kind::kNumber && v.IsNumeric()) {
            order = Order(v.ToDouble(), *lit.number);
        } else if (lit.kind == Literal::Kind::kDate) {
            const auto d = Date::Parse(s);
            if (!d) return false;
            order = Order(*d, *lit.date);
        } else {
            order = CompareNoCase(s, lit.text);
        }
    } else if (v.Type() == VarType::Date) {
        if (lit.date) {
            order = Order(v.GetDate(), *lit.date);
        } else if (lit.kind == Literal::Kind::kNumber) {
            order = Order(v.GetDate().Serial(), *lit.number);
        } else {
            order = CompareNoCase(v.GetDate().ToString(), lit.text);
        }
    } else if (lit.number) {  // a number field against a number or numeric text
        order = Order(v.ToDouble(), *lit.number);
    } else {
        order = CompareNoCase(v.ToText(), lit.text);
    }

    switch (n.op) {
        case Op::kEq:
            return order == 0;
        case Op::kNe:
            return order != 0;
        case Op::kLt:
            return order < 0;
        case Op::kGt:
            return order > 0;
        case Op::kLe:
            return order <= 0;
        case Op::kGe:
            return order >= 0;
        case Op::kLike:
            break;
    }
    return false;
}

}  // namespace mz::detail
