#include "db/tsql_translator.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <mutex>

namespace mz {
namespace {

// ---------------------------------------------------------------------------------------------
// Characters

enum CharClass : uint8_t {
    kOther,
    kSpace,
    kLetter,  // letters, _, # and every byte of a multi-byte character
    kDigit,
    kQuote,
    kDquote,
    kBracket,
    kLParen,
    kRParen,
    kComma,
    kDot,
    kSemi,
    kAt,
    kMinus,
    kSlash,
    kOp,
    kQuestion,
    kColon,
};

constexpr std::array<uint8_t, 256> MakeCharClasses() {
    std::array<uint8_t, 256> c{};
    for (unsigned char ch : {' ', '\t', '\n', '\r', '\f', '\v'}) c[ch] = kSpace;
    for (int ch = 'a'; ch <= 'z'; ++ch) c[ch] = kLetter;
    for (int ch = 'A'; ch <= 'Z'; ++ch) c[ch] = kLetter;
    for (int ch = 0x80; ch < 256; ++ch) c[ch] = kLetter;
    c['_'] = c['#'] = kLetter;
    for (int ch = '0'; ch <= '9'; ++ch) c[ch] = kDigit;
    c['\''] = kQuote;
    c['"'] = kDquote;
    c['['] = kBracket;
    c['('] = kLParen;
    c[')'] = kRParen;
    c[','] = kComma;
    c['.'] = kDot;
    c[';'] = kSemi;
    c['@'] = kAt;
    c['-'] = kMinus;
    c['/'] = kSlash;
    for (unsigned char ch : {'+', '*', '%', '=', '<', '>', '!', '&', '|', '^', '~'}) c[ch] = kOp;
    c['?'] = kQuestion;
    c[':'] = kColon;
    return c;
}
constexpr std::array<uint8_t, 256> kCharClass = MakeCharClasses();

inline uint8_t ClassOf(char ch) {
    return kCharClass[static_cast<unsigned char>(ch)];
}
inline bool IsDigit(char ch) {
    return ClassOf(ch) == kDigit;
}
// Characters that continue a word once started.
inline bool IsWordChar(char ch) {
    uint8_t c = ClassOf(ch);
    return c == kLetter || c == kDigit || ch == '$';
}
inline char Lower(char ch) {
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool EqualsNoCase(std::string_view a, std::string_view lower) {
    if (a.size() != lower.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != lower[i]) return false;
    return true;
}

// Index just past a text delimited by `close`, where a doubled `close` stands for itself;
// npos when the text never closes. `i` is just past the opening character.
size_t ScanDelimited(std::string_view text, size_t i, char close) {
    while (i < text.size()) {
        if (text[i] == close) {
            if (i + 1 < text.size() && text[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return std::string_view::npos;
}

}  // namespace

std::vector<SqlToken> Tokenize(std::string_view text) {
    std::vector<SqlToken> tokens;
    for (size_t pos = 0; pos < text.size();) {
        size_t length = 0;
        const TokenKind kind = NextToken(text, pos, &length);
        tokens.push_back({kind, text.substr(pos, length)});
        pos += length;
    }
    return tokens;
}

TokenKind NextToken(std::string_view text, size_t pos, size_t* length) {
    const size_t n = text.size();
    size_t i = pos;
    TokenKind kind = TokenKind::Illegal;
    auto delimited = [&](size_t from, char close, TokenKind k) {
        size_t end = ScanDelimited(text, from, close);
        if (end == std::string_view::npos) {
            i = n;
            kind = TokenKind::Unterminated;
        } else {
            i = end;
            kind = k;
        }
    };
    switch (ClassOf(text[i])) {
        case kSpace:
            while (i < n && ClassOf(text[i]) == kSpace) ++i;
            kind = TokenKind::Blank;
            break;
        case kMinus:
            if (i + 1 < n && text[i + 1] == '-') {
                while (i < n && text[i] != '\n') ++i;
                if (i < n) ++i;
                kind = TokenKind::Comment;
            } else {
                ++i;
                kind = TokenKind::Operator;
            }
            break;
        case kSlash:
            if (i + 1 < n && text[i + 1] == '*') {
                // T-SQL block comments nest.
                int depth = 0;
                kind = TokenKind::Unterminated;
                while (i < n) {
                    if (text[i] == '/' && i + 1 < n && text[i + 1] == '*') {
                        ++depth;
                        i += 2;
                    } else if (text[i] == '*' && i + 1 < n && text[i + 1] == '/') {
                        i += 2;
                        if (--depth == 0) {
                            kind = TokenKind::Comment;
                            break;
                        }
                    } else {
                        ++i;
                    }
                }
            } else {
                ++i;
                kind = TokenKind::Operator;
            }
            break;
        case kQuote:
            delimited(i + 1, '\'', TokenKind::String);
            break;
        case kDquote:
            delimited(i + 1, '"', TokenKind::QuotedIdentifier);
            break;
        case kBracket:
            delimited(i + 1, ']', TokenKind::BracketIdentifier);
            break;
        case kLetter:
            if ((text[i] == 'N' || text[i] == 'n') && i + 1 < n && text[i + 1] == '\'') {
                delimited(i + 2, '\'', TokenKind::String);
                break;
            }
            while (i < n && IsWordChar(text[i])) ++i;
            kind = TokenKind::Identifier;
            break;
        case kDot:
            if (!(i + 1 < n && IsDigit(text[i + 1]))) {
                ++i;
                kind = TokenKind::Dot;
                break;
            }
            [[fallthrough]];
        case kDigit:
            kind = TokenKind::Number;
            if (text[i] == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
                i += 2;
                while (i < n && std::isxdigit(static_cast<unsigned char>(text[i]))) ++i;
                break;
            }
            while (i < n && IsDigit(text[i])) ++i;
            if (i < n && text[i] == '.') {
                ++i;
                while (i < n && IsDigit(text[i])) ++i;
            }
            // An exponent only when digits follow: "12and" is 12 and "and", "1e5" one number.
            if (i < n && (text[i] == 'e' || text[i] == 'E')) {
                size_t j = i + 1;
                if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
                if (j < n && IsDigit(text[j])) {
                    i = j;
                    while (i < n && IsDigit(text[i])) ++i;
                }
            }
            break;
        case kAt:
            ++i;
            if (i < n && text[i] == '@') ++i;
            while (i < n && IsWordChar(text[i])) ++i;
            kind = TokenKind::Variable;
            break;
        case kQuestion:
            ++i;
            while (i < n && IsDigit(text[i])) ++i;
            kind = TokenKind::Variable;
            break;
        case kColon:
            ++i;
            if (i < n && ClassOf(text[i]) == kLetter) {
                while (i < n && IsWordChar(text[i])) ++i;
                kind = TokenKind::Variable;
            }
            break;
        case kOp: {
            char a = text[i];
            char b = i + 1 < n ? text[i + 1] : '\0';
            bool pair = (a == '<' && (b == '=' || b == '>')) || (a == '>' && b == '=') ||
                        (a == '!' && (b == '=' || b == '<' || b == '>')) || (a == '|' && b == '|');
            i += pair ? 2 : 1;
            kind = TokenKind::Operator;
            break;
        }
        case kComma:
            ++i;
            kind = TokenKind::Comma;
            break;
        case kSemi:
            ++i;
            kind = TokenKind::Semicolon;
            break;
        case kLParen:
            ++i;
            kind = TokenKind::LeftParen;
            break;
        case kRParen:
            ++i;
            kind = TokenKind::RightParen;
            break;
        default:
            ++i;
            kind = TokenKind::Illegal;
            break;
    }
    *length = i - pos;
    return kind;
}

std::optional<std::string> MdyDateToIso(std::string_view s) {
    const size_t n = s.size();
    size_t i = 0;
    auto number = [&](size_t min_digits, size_t max_digits, int& value) {
        size_t start = i;
        value = 0;
        while (i < n && IsDigit(s[i]) && i - start < max_digits)
            value = value * 10 + (s[i++] - '0');
        return i - start >= min_digits;
    };
    auto expect = [&](char ch) {
        if (i >= n || s[i] != ch) return false;
        ++i;
        return true;
    };
    int month = 0, day = 0, year = 0;
    if (!number(1, 2, month) || !expect('/') || !number(1, 2, day) || !expect('/')) return {};
    size_t year_start = i;
    if (!number(2, 4, year) || i - year_start == 3) return {};
    if (i - year_start == 2) year += year < 50 ? 2000 : 1900;
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1] ||
        (month == 2 && day == 29 && !leap))
        return {};
    int hour = 0, minute = 0, second = 0;
    if (i < n) {
        if (s[i] != ' ') return {};
        while (i < n && s[i] == ' ') ++i;
        if (!number(1, 2, hour) || !expect(':') || !number(2, 2, minute)) return {};
        if (i < n && s[i] == ':') {
            ++i;
            if (!number(2, 2, second)) return {};
            int fraction = 0;
            if (i < n && s[i] == '.' && (++i, !number(1, 3, fraction))) return {};
        }
        size_t before_blank = i;
        while (i < n && s[i] == ' ') ++i;
        if (i + 2 == n && (s[i + 1] == 'M' || s[i + 1] == 'm')) {
            bool pm = s[i] == 'P' || s[i] == 'p';
            if (!pm && s[i] != 'A' && s[i] != 'a') return {};
            if (hour < 1 || hour > 12) return {};
            hour = hour % 12 + (pm ? 12 : 0);
            i = n;
        } else if (i != before_blank) {
            return {};
        }
        if (i != n || hour > 23 || minute > 59 || second > 59) return {};
    }
    char buffer[32];
    int length = hour || minute || second
                     ? std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year,
                                     month, day, hour, minute, second)
                     : std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    return std::string(buffer, static_cast<size_t>(length));
}

namespace {

// ---------------------------------------------------------------------------------------------
// Words: every keyword and function the translator knows, in one table.

enum WordFlag : uint16_t {
    kBoundary = 1 << 0,  // not an operand: clause, logical and comparison words
    kEndsList = 1 << 1,  // ends a select list
    kRefused = 1 << 2,   // T-SQL only, with nothing to translate it to
    kLiteral = 1 << 3,   // null
    kCase = 1 << 4,      // case ... end is one operand
};

enum class Fn : uint8_t {
    None,
    Rename,    // head + arguments + tail
    Constant,  // no arguments; the call becomes head
    Convert,   // convert(type, value [, style])
    Cast,      // cast(value as type)
};

struct Word {
    std::string_view name;  // lower case
    uint16_t flags = 0;
    Fn fn = Fn::None;
    std::string_view head = {};
    std::string_view tail = {};
};

// Sorted by name.
constexpr Word kWords[] = {
    {"all", kBoundary},
    {"and", kBoundary},
    {"as", kBoundary},
    {"asc", kBoundary},
    {"between", kBoundary},
    {"by", kBoundary},
    {"case", kCase},
    {"cast", 0, Fn::Cast},
    {"collate", kBoundary},
    {"convert", 0, Fn::Convert},
    {"cross", kBoundary},
    {"day", 0, Fn::Rename, "mz_day(", ")"},
    {"declare", kBoundary | kRefused},
    {"delete", kBoundary},
    {"desc", kBoundary},
    {"distinct", kBoundary},
    {"else", kBoundary},
    {"end", kBoundary},
    {"escape", kBoundary},
    {"except", kBoundary | kEndsList},
    {"exists", kBoundary},
    {"from", kBoundary | kEndsList},
    {"full", kBoundary},
    {"getdate", 0, Fn::Constant, "datetime('now','localtime')"},
    {"group", kBoundary | kEndsList},
    {"having", kBoundary | kEndsList},
    {"in", kBoundary},
    {"inner", kBoundary},
    {"insert", kBoundary},
    {"intersect", kBoundary | kEndsList},
    {"into", kBoundary | kEndsList},
    {"is", kBoundary},
    {"isnull", 0, Fn::Rename, "ifnull(", ")"},
    {"join", kBoundary},
    {"left", kBoundary},
    {"len", 0, Fn::Rename, "length(rtrim(", "))"},
    {"like", kBoundary},
    {"month", 0, Fn::Rename, "mz_month(", ")"},
    {"nolock", kBoundary | kRefused},
    {"not", kBoundary},
    {"null", kLiteral},
    {"on", kBoundary},
    {"or", kBoundary},
    {"order", kBoundary | kEndsList},
    {"outer", kBoundary},
    {"right", kBoundary},
    {"select", kBoundary},
    {"set", kBoundary},
    {"substring", 0, Fn::Rename, "substr(", ")"},
    {"then", kBoundary},
    {"top", kBoundary | kRefused},
    {"union", kBoundary | kEndsList},
    {"update", kBoundary},
    {"values", kBoundary},
    {"when", kBoundary},
    {"where", kBoundary | kEndsList},
    {"with", kBoundary},
    {"year", 0, Fn::Rename, "mz_year(", ")"},
};

// The PostgreSQL dialect's differences from the words above (convert and cast aside).
constexpr Word kPostgresWords[] = {
    {"getdate", 0, Fn::Constant, "LOCALTIMESTAMP(0)"},
    {"isnull", 0, Fn::Rename, "coalesce(", ")"},
};

const Word* InDialect(const Word* w, TsqlDialect dialect) {
    if (!w || dialect == TsqlDialect::SQLite) return w;
    for (const Word& o : kPostgresWords)
        if (o.name == w->name) return &o;
    return w;
}

constexpr bool WordsSorted() {
    for (size_t i = 1; i < std::size(kWords); ++i)
        if (!(kWords[i - 1].name < kWords[i].name)) return false;
    return true;
}
static_assert(WordsSorted(), "kWords must stay sorted for the binary search");

const Word* FindWord(std::string_view text) {
    char lower[16];
    if (text.size() > sizeof lower) return nullptr;
    for (size_t i = 0; i < text.size(); ++i) lower[i] = Lower(text[i]);
    std::string_view key(lower, text.size());
    size_t lo = 0, hi = std::size(kWords);
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (kWords[mid].name < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < std::size(kWords) && kWords[lo].name == key ? &kWords[lo] : nullptr;
}

// Appends `piece`, keeping apart what must not run together: two words ("12and" becomes
// "12 and"), and "-" "-" or "/" "*", which would open a comment.
void Put(std::string& out, std::string_view piece) {
    if (piece.empty()) return;
    if (!out.empty()) {
        char a = out.back(), b = piece.front();
        if ((IsWordChar(a) && IsWordChar(b)) || (a == '-' && b == '-') || (a == '/' && b == '*'))
            out += ' ';
    }
    out += piece;
}

std::string QuoteIdentifier(std::string_view name) {
    std::string out = "\"";
    for (char ch : name) {
        if (ch == '"') out += '"';
        out += ch;
    }
    out += '"';
    return out;
}

// The text of a doubled-delimiter literal without its delimiters and with escapes undone.
std::string Unescape(std::string_view body, char close) {
    std::string out;
    out.reserve(body.size());
    for (size_t i = 0; i < body.size(); ++i) {
        out += body[i];
        if (body[i] == close && i + 1 < body.size() && body[i + 1] == close) ++i;
    }
    return out;
}

struct Tok {
    TokenKind kind;
    size_t offset;
    size_t length;
    const Word* word;  // for identifiers that are keywords or mapped functions
};

constexpr size_t kNone = static_cast<size_t>(-1);

// Nesting the translator follows (parentheses, case blocks, unary signs, the mz_add calls of a
// "+" chain) before it refuses a text: the translation recurses once per level, and SQLite's
// own parser gives up near a hundred levels of parentheses anyway.
constexpr int kMaxNesting = 128;
// Query blocks (SELECTs) one text may hold. The server plans a chain of common table expressions
// in time that grows with the fourth power of its length and cannot be stopped while it plans
// (a thousand took over a minute); a hundred take a few milliseconds, and the classes' largest
// text has a handful.
constexpr int kMaxSelects = 100;

// ---------------------------------------------------------------------------------------------
// The translator: a loop over tokens. A range of tokens is split into boundaries (keywords,
// commas, comparisons) and the operand runs between them; a run is parsed as an arithmetic
// expression so that "+" finds its operands with T-SQL's precedence and left associativity.

class Translator {
  public:
    Translator(std::string_view text, TsqlDialect dialect) : text_(text), dialect_(dialect) {}

    Translation Run() {
        Translation result;
        if (!Tokenize()) {
            result.error = error_;
            return result;
        }
        size_t first = SkipTrivia(0, toks_.size());
        if (first < toks_.size() && (IsWord(first, "exec") || IsWord(first, "execute"))) {
            ParseExec(first, result);
        } else {
            std::string out;
            out.reserve(text_.size() + text_.size() / 4);
            EmitRange(0, toks_.size(), out);
            if (error_.empty()) result.sql = std::move(out);
        }
        result.error = error_;
        return result;
    }

  private:
    // ---- tokens

    bool Tokenize() {
        std::vector<size_t> open;
        int selects = 0;
        for (size_t pos = 0; pos < text_.size();) {
            size_t length = 0;
            TokenKind kind = NextToken(text_, pos, &length);
            std::string_view t = text_.substr(pos, length);
            Tok tok{kind, pos, length, kind == TokenKind::Identifier ? FindWord(t) : nullptr};
            switch (kind) {
                case TokenKind::Unterminated: {
                    const char* what = t[0] == '"'   ? "quoted name"
                                       : t[0] == '[' ? "bracketed name"
                                       : t[0] == '/' ? "comment"
                                                     : "string literal";
                    return Fail(std::string("unterminated ") + what, pos);
                }
                case TokenKind::Illegal:
                    return Fail("unexpected character '" + std::string(t) + "'", pos);
                case TokenKind::Variable:
                    if (t.size() > 1 && t[1] == '@') return Refuse(t, pos);
                    break;
                case TokenKind::Identifier:
                    if (tok.word && (tok.word->flags & kRefused)) return Refuse(t, pos);
                    if (tok.word && tok.word->name == "select" && ++selects > kMaxSelects)
                        return Fail(
                            "the text holds more than " + std::to_string(kMaxSelects) + " SELECTs",
                            pos);
                    break;
                case TokenKind::LeftParen:
                    open.push_back(toks_.size());
                    if (open.size() > kMaxNesting) return TooDeep(pos);
                    break;
                case TokenKind::RightParen:
                    if (open.empty()) return Fail("unbalanced parenthesis", pos);
                    match_[open.back()] = toks_.size();
                    open.pop_back();
                    break;
                default:
                    break;
            }
            toks_.push_back(tok);
            match_.push_back(kNone);
            pos += length;
        }
        if (!open.empty()) return Fail("unbalanced parenthesis", toks_[open.back()].offset);
        return true;
    }

    bool Fail(const std::string& what, size_t offset) {
        if (error_.empty()) error_ = what + " at offset " + std::to_string(offset);
        return false;
    }
    bool Refuse(std::string_view construct, size_t offset) {
        return Fail("unsupported construct '" + std::string(construct) + "'", offset);
    }
    bool TooDeep(size_t offset) {
        return Fail("the text nests more than " + std::to_string(kMaxNesting) +
                        " levels of parentheses, case blocks, signs or \"+\" operands",
                    offset);
    }

    // One level of the translation's recursion; ok is false (and the error set) past the limit.
    struct Nest {
        Translator& t;
        bool ok;
        Nest(Translator& translator, size_t at)
            : t(translator),
              ok(++t.depth_ <= kMaxNesting ||
                 t.TooDeep(at < t.toks_.size() ? t.toks_[at].offset : t.text_.size())) {}
        ~Nest() { --t.depth_; }
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;
    };

    std::string_view Text(size_t i) const { return text_.substr(toks_[i].offset, toks_[i].length); }
    TokenKind Kind(size_t i) const { return toks_[i].kind; }
    bool IsTrivia(size_t i) const {
        return Kind(i) == TokenKind::Blank || Kind(i) == TokenKind::Comment;
    }
    size_t SkipTrivia(size_t i, size_t e) const {
        while (i < e && IsTrivia(i)) ++i;
        return i;
    }
    size_t SkipBlanks(size_t i, size_t e) const {
        while (i < e && Kind(i) == TokenKind::Blank) ++i;
        return i;
    }
    // [b, e) without blank tokens at either end.
    void TrimBlanks(size_t& b, size_t& e) const {
        b = SkipBlanks(b, e);
        while (e > b && Kind(e - 1) == TokenKind::Blank) --e;
    }
    const Word* WordAt(size_t i) const { return toks_[i].word; }
    bool HasFlag(size_t i, uint16_t flag) const {
        const Word* w = WordAt(i);
        return w && (w->flags & flag);
    }
    bool IsWord(size_t i, std::string_view lower) const {
        return Kind(i) == TokenKind::Identifier && EqualsNoCase(Text(i), lower);
    }
    bool IsOp(size_t i, std::string_view op) const {
        return Kind(i) == TokenKind::Operator && Text(i) == op;
    }
    bool IsComparison(size_t i) const {
        if (Kind(i) != TokenKind::Operator) return false;
        for (char ch : Text(i))
            if (ch != '=' && ch != '<' && ch != '>' && ch != '!') return false;
        return true;
    }
    bool IsBoundary(size_t i) const {
        switch (Kind(i)) {
            case TokenKind::Comma:
            case TokenKind::Semicolon:
            case TokenKind::RightParen:
                return true;
            case TokenKind::Operator:
                return IsComparison(i);
            case TokenKind::Identifier:
                return HasFlag(i, kBoundary);
            default:
                return false;
        }
    }

    // The matching "end" of the case at `i`, or kNone.
    size_t CaseEnd(size_t i, size_t e) const {
        int depth = 0;
        for (size_t j = i; j < e; ++j) {
            if (Kind(j) == TokenKind::LeftParen) {
                j = match_[j];
            } else if (IsWord(j, "case")) {
                ++depth;
            } else if (IsWord(j, "end") && --depth == 0) {
                return j;
            }
        }
        return kNone;
    }
    // The index after the unit at `i`: a parenthesised group, a case block, or one token.
    size_t Skip(size_t i, size_t e) const {
        if (Kind(i) == TokenKind::LeftParen) return match_[i] + 1;
        if (IsWord(i, "case")) {
            size_t end = CaseEnd(i, e);
            if (end != kNone) return end + 1;
        }
        return i + 1;
    }
    // The first boundary at this level from `i` on, or e.
    size_t RunEnd(size_t i, size_t e) const {
        while (i < e && !IsBoundary(i)) i = Skip(i, e);
        return i;
    }

    // ---- shapes the comparison rule looks for

    // [b, e) is one isnull(...) call, blanks aside.
    bool IsIsnullCall(size_t b, size_t e) const {
        b = SkipTrivia(b, e);
        while (e > b && IsTrivia(e - 1)) --e;
        if (b >= e || !IsWord(b, "isnull")) return false;
        size_t p = SkipTrivia(b + 1, e);
        return p < e && Kind(p) == TokenKind::LeftParen && match_[p] == e - 1;
    }
    // [b, e) is one quoted integer such as '0' or '1', blanks aside.
    bool IsQuotedInteger(size_t b, size_t e) const {
        b = SkipTrivia(b, e);
        while (e > b && IsTrivia(e - 1)) --e;
        if (e != b + 1 || Kind(b) != TokenKind::String) return false;
        std::string_view t = Text(b);
        if (t.front() != '\'') return false;
        std::string_view body = t.substr(1, t.size() - 2);
        if (!body.empty() && body.front() == '-') body.remove_prefix(1);
        if (body.empty() || body.size() > 18) return false;
        for (char ch : body)
            if (!IsDigit(ch)) return false;
        return true;
    }
    // The operand run [b, k) is compared by =, <> or != with a quoted integer.
    bool ComparedWithQuotedInteger(size_t b, size_t k, size_t range_begin, size_t e) const {
        size_t op = SkipTrivia(k, e);
        if (op < e && (IsOp(op, "=") || IsOp(op, "<>") || IsOp(op, "!="))) {
            size_t r = SkipTrivia(op + 1, e);
            if (r < e && IsQuotedInteger(r, RunEnd(r, e))) return true;
        }
        size_t p = b;
        while (p > range_begin && IsTrivia(p - 1)) --p;
        if (p == range_begin) return false;
        size_t before = p - 1;
        if (!(IsOp(before, "=") || IsOp(before, "<>") || IsOp(before, "!="))) return false;
        size_t q = before;
        while (q > range_begin && IsTrivia(q - 1)) --q;
        if (q == range_begin || !IsQuotedInteger(q - 1, q)) return false;
        size_t lead = q - 1;
        while (lead > range_begin && IsTrivia(lead - 1)) --lead;
        return lead == range_begin || IsBoundary(lead - 1) ||
               Kind(lead - 1) == TokenKind::LeftParen;
    }

    // ---- emitting single tokens

    void EmitToken(std::string& out, size_t i) const {
        std::string_view t = Text(i);
        switch (Kind(i)) {
            case TokenKind::Comment:
                if (t.substr(0, 2) == "--") {
                    Put(out, t);
                    if (t.back() != '\n') out += '\n';  // nothing after it may be swallowed
                } else {
                    // SQLite's comments do not nest: keep only the outer delimiters.
                    std::string inner(t.substr(2, t.size() - 4));
                    for (size_t at; (at = inner.find("/*")) != std::string::npos;) inner[at] = ' ';
                    for (size_t at; (at = inner.find("*/")) != std::string::npos;)
                        inner[at + 1] = ' ';
                    Put(out, "/*" + inner + "*/");
                }
                return;
            case TokenKind::String:
                Put(out, LiteralText(i, true));
                return;
            case TokenKind::BracketIdentifier:
                Put(out, QuoteIdentifier(Unescape(t.substr(1, t.size() - 2), ']')));
                return;
            case TokenKind::Operator:
                if (t == "!<") return Put(out, ">=");
                if (t == "!>") return Put(out, "<=");
                return Put(out, t);
            default:
                return Put(out, t);
        }
    }

    std::string_view StringBody(size_t i) const {
        std::string_view t = Text(i);
        if (t.front() != '\'') t.remove_prefix(1);  // N'...'
        return t.substr(1, t.size() - 2);
    }
    // A string literal as SQLite text; with `dates`, an m/d/yyyy date becomes ISO text.
    std::string LiteralText(size_t i, bool dates) const {
        std::string_view body = StringBody(i);
        if (dates && body.find('\'') == std::string_view::npos) {
            if (std::optional<std::string> iso = MdyDateToIso(body)) return "'" + *iso + "'";
        }
        return "'" + std::string(body) + "'";
    }

    // ---- ranges and runs

    void EmitRange(size_t b, size_t e, std::string& out) {
        Nest nest(*this, b);
        if (!nest.ok) return;
        size_t i = b;
        while (i < e && error_.empty()) {
            if (IsTrivia(i)) {
                EmitToken(out, i++);
            } else if (IsBoundary(i)) {
                i = EmitBoundary(i, e, out);
            } else {
                size_t k = RunEnd(i, e);
                while (k > i && IsTrivia(k - 1)) --k;
                if (IsIsnullCall(i, k) && ComparedWithQuotedInteger(i, k, b, e)) {
                    std::string inner;
                    EmitRun(i, k, inner);
                    Put(out, "CAST(");
                    Put(out, inner);
                    Put(out, " AS TEXT)");
                } else {
                    EmitRun(i, k, out);
                }
                i = k;
            }
        }
    }
    std::string RangeText(size_t b, size_t e) {
        std::string out;
        EmitRange(b, e, out);
        return out;
    }

    size_t EmitBoundary(size_t i, size_t e, std::string& out) {
        if (IsWord(i, "select")) return EmitSelect(i, e, out);
        if (dialect_ == TsqlDialect::PostgreSQL && IsWord(i, "order")) {
            const size_t by = SkipTrivia(i + 1, e);
            if (by < e && IsWord(by, "by")) return EmitOrderBy(i, by, e, out);
        }
        EmitToken(out, i);
        if (IsWord(i, "as")) {
            size_t j = SkipTrivia(i + 1, e);
            if (j < e && Kind(j) == TokenKind::String) {
                for (size_t k = i + 1; k < j; ++k) EmitToken(out, k);
                Put(out, QuoteIdentifier(Unescape(StringBody(j), '\'')));
                return j + 1;
            }
        }
        return i + 1;
    }

    // "order by" on the server: Null sorts first going up and last going down, as on the
    // embedded file (PostgreSQL's default is the other way round).
    size_t EmitOrderBy(size_t i, size_t by, size_t e, std::string& out) {
        for (size_t k = i; k <= by; ++k) EmitToken(out, k);
        size_t end = by + 1;
        while (end < e && !HasFlag(end, kEndsList) && Kind(end) != TokenKind::RightParen &&
               Kind(end) != TokenKind::Semicolon && !IsWord(end, "limit") && !IsWord(end, "offset"))
            end = Skip(end, e);
        for (size_t s = by + 1; error_.empty();) {
            size_t t = s;
            while (t < end && Kind(t) != TokenKind::Comma) t = Skip(t, end);
            size_t y = t;
            while (y > s && IsTrivia(y - 1)) --y;
            EmitRange(s, y, out);
            if (y > s && !IsWord(y - 1, "first") && !IsWord(y - 1, "last"))
                Put(out, IsWord(y - 1, "desc") ? " NULLS LAST" : " NULLS FIRST");
            for (size_t k = y; k < t; ++k) EmitToken(out, k);
            if (t >= end) break;
            EmitToken(out, t);
            s = t + 1;
        }
        return end;
    }

    // An operand run: arithmetic expressions where they parse, anything else token by token
    // (so "select *", "f.*" and an alias after an expression pass as they are).
    void EmitRun(size_t b, size_t k, std::string& out) {
        size_t p = b;
        while (p < k && error_.empty()) {
            if (IsTrivia(p)) {
                EmitToken(out, p++);
                continue;
            }
            std::string piece;
            size_t q = p;
            if (ParseAdditive(q, k, piece) && q > p) {
                Put(out, piece);
                p = q;
            } else if (Kind(p) == TokenKind::LeftParen) {
                Put(out, "(");
                Put(out, RangeText(p + 1, match_[p]));
                Put(out, ")");
                p = match_[p] + 1;
            } else {
                EmitToken(out, p++);
            }
        }
    }

    bool ParseAdditive(size_t& p, size_t e, std::string& out) {
        std::string left;
        size_t q = p;
        if (!ParseTerm(q, e, left)) return false;
        int adds = 0;  // each "+" wraps what came before in one more mz_add
        for (;;) {
            size_t op = SkipTrivia(q, e);
            if (op >= e || !(IsOp(op, "+") || IsOp(op, "-"))) break;
            bool plus = Text(op) == "+";
            if (plus && depth_ + ++adds > kMaxNesting) return TooDeep(toks_[op].offset);
            size_t r = plus ? SkipBlanks(op + 1, e) : op + 1;
            std::string right;
            if (!ParseTerm(r, e, right)) break;
            if (plus) {
                std::string joined = "mz_add(" + left;
                for (size_t t = q; t < op; ++t)
                    if (Kind(t) == TokenKind::Comment) EmitToken(joined, t);
                joined += ", ";
                joined += right;
                joined += ')';
                left = std::move(joined);
            } else {
                for (size_t t = q; t <= op; ++t) EmitToken(left, t);
                Put(left, right);
            }
            q = r;
        }
        p = q;
        out += left;
        return true;
    }

    bool ParseTerm(size_t& p, size_t e, std::string& out) {
        std::string left;
        size_t q = p;
        if (!ParseUnary(q, e, left)) return false;
        for (;;) {
            size_t op = SkipTrivia(q, e);
            if (op >= e || !(IsOp(op, "*") || IsOp(op, "/") || IsOp(op, "%"))) break;
            size_t r = op + 1;
            std::string right;
            if (!ParseUnary(r, e, right)) break;
            for (size_t t = q; t <= op; ++t) EmitToken(left, t);
            Put(left, right);
            q = r;
        }
        p = q;
        out += left;
        return true;
    }

    bool ParseUnary(size_t& p, size_t e, std::string& out) {
        std::string text;
        size_t q = p;
        while (q < e && IsTrivia(q)) EmitToken(text, q++);
        if (q < e && (IsOp(q, "+") || IsOp(q, "-") || IsOp(q, "~"))) {
            Nest nest(*this, q);
            if (!nest.ok) return false;
            EmitToken(text, q++);
            std::string operand;
            if (!ParseUnary(q, e, operand)) return false;
            Put(text, operand);
        } else if (!ParsePrimary(q, e, text)) {
            return false;
        }
        p = q;
        out += text;
        return true;
    }

    bool IsNamePart(size_t i) const {
        switch (Kind(i)) {
            case TokenKind::QuotedIdentifier:
            case TokenKind::BracketIdentifier:
                return true;
            case TokenKind::Identifier:
                return !HasFlag(i, kBoundary | kLiteral | kCase);
            default:
                return false;
        }
    }

    // p is on a significant token.
    bool ParsePrimary(size_t& p, size_t e, std::string& out) {
        if (p >= e) return false;
        switch (Kind(p)) {
            case TokenKind::String:
            case TokenKind::Number:
            case TokenKind::Variable:
                EmitToken(out, p++);
                return true;
            case TokenKind::LeftParen:
                Put(out, "(");
                Put(out, RangeText(p + 1, match_[p]));
                Put(out, ")");
                p = match_[p] + 1;
                return true;
            case TokenKind::Identifier:
                if (HasFlag(p, kLiteral)) {
                    EmitToken(out, p++);
                    return true;
                }
                if (HasFlag(p, kCase)) {
                    size_t end = CaseEnd(p, e);
                    if (end == kNone) return Fail("case without end", toks_[p].offset);
                    EmitCase(p, end, out);
                    p = end + 1;
                    return true;
                }
                break;
            default:
                break;
        }
        if (!IsNamePart(p)) return false;
        // A name, qualified or not, perhaps called.
        size_t first = p;
        std::string name;
        EmitToken(name, p++);
        while (p + 1 < e && Kind(p) == TokenKind::Dot && (IsNamePart(p + 1) || IsOp(p + 1, "*"))) {
            Put(name, ".");
            EmitToken(name, p + 1);
            p += 2;
        }
        size_t paren = SkipTrivia(p, e);
        if (paren < e && Kind(paren) == TokenKind::LeftParen) {
            if (p == first + 1) {
                EmitCall(first, paren, out);
            } else {
                Put(out, name);
                Put(out, "(");
                Put(out, RangeText(paren + 1, match_[paren]));
                Put(out, ")");
            }
            p = match_[paren] + 1;
        } else {
            Put(out, name);
        }
        return true;
    }

    // ---- case blocks and calls

    void EmitCase(size_t c, size_t end, std::string& out) {
        // case <base> when '1' ...: see the comparison rule in the header.
        size_t when = c + 1;
        while (when < end && !IsWord(when, "when")) when = Skip(when, end);
        bool wrap = false;
        if (IsIsnullCall(c + 1, when)) {
            for (size_t w = when; w < end && !wrap; w = Skip(w, end)) {
                if (!IsWord(w, "when")) continue;
                size_t then = w + 1;
                while (then < end && !IsWord(then, "then")) then = Skip(then, end);
                wrap = IsQuotedInteger(w + 1, then);
            }
        }
        EmitToken(out, c);
        if (wrap) {
            size_t b = c + 1, k = when;
            TrimBlanks(b, k);
            for (size_t t = c + 1; t < b; ++t) EmitToken(out, t);
            Put(out, "CAST(");
            Put(out, RangeText(b, k));
            Put(out, " AS TEXT)");
            EmitRange(k, end, out);
        } else {
            EmitRange(c + 1, end, out);
        }
        EmitToken(out, end);
    }

    // Arguments of a call at top level: [begin, end) pairs.
    std::vector<std::pair<size_t, size_t>> Arguments(size_t lp) const {
        std::vector<std::pair<size_t, size_t>> args;
        size_t rp = match_[lp];
        size_t start = lp + 1;
        for (size_t i = start; i < rp; i = Skip(i, rp)) {
            if (Kind(i) == TokenKind::Comma) {
                args.emplace_back(start, i);
                start = i + 1;
            }
        }
        args.emplace_back(start, rp);
        return args;
    }

    void EmitCall(size_t name, size_t lp, std::string& out) {
        const Word* w = InDialect(WordAt(name), dialect_);
        size_t rp = match_[lp];
        switch (w ? w->fn : Fn::None) {
            case Fn::None:
                EmitToken(out, name);
                Put(out, "(");
                Put(out, RangeText(lp + 1, rp));
                Put(out, ")");
                return;
            case Fn::Rename:
                Put(out, w->head);
                Put(out, RangeText(lp + 1, rp));
                Put(out, w->tail);
                return;
            case Fn::Constant:
                if (SkipTrivia(lp + 1, rp) != rp) {
                    Fail(std::string(Text(name)) + "() takes no argument", toks_[name].offset);
                    return;
                }
                Put(out, w->head);
                return;
            case Fn::Convert:
                return EmitConvert(name, lp, out);
            case Fn::Cast:
                return EmitCast(name, lp, out);
        }
    }

    // The type of a convert or cast as lower-case text without blanks, e.g. "varchar(10)".
    bool TypeText(size_t b, size_t e, std::string& type) const {
        TrimBlanks(b, e);
        if (b >= e || Kind(b) != TokenKind::Identifier) return false;
        for (size_t i = b; i < e; ++i) {
            switch (Kind(i)) {
                case TokenKind::Blank:
                    if (i + 1 < e && Kind(i + 1) == TokenKind::Identifier && !type.empty() &&
                        IsWordChar(type.back()))
                        type += ' ';  // "double precision"
                    continue;
                case TokenKind::Identifier:
                case TokenKind::Number:
                case TokenKind::Comma:
                case TokenKind::LeftParen:
                case TokenKind::RightParen:
                    for (char ch : Text(i)) type += Lower(ch);
                    continue;
                default:
                    return false;
            }
        }
        return true;
    }

    // A value argument of convert: a lone string literal goes through untouched, so that the
    // style (not the m/d/yyyy rule) decides how mz_convert reads it.
    std::string ValueText(size_t b, size_t e) {
        TrimBlanks(b, e);
        if (e == b + 1 && Kind(b) == TokenKind::String) return LiteralText(b, false);
        return RangeText(b, e);
    }

    void EmitConvert(size_t name, size_t lp, std::string& out) {
        auto args = Arguments(lp);
        std::string type;
        if (args.size() < 2 || args.size() > 3 || !TypeText(args[0].first, args[0].second, type)) {
            Fail("unsupported construct 'convert' (expected convert(type, value [, style]))",
                 toks_[name].offset);
            return;
        }
        std::string style;
        if (args.size() == 3) {
            size_t b = args[2].first, e = args[2].second;
            TrimBlanks(b, e);
            style = RangeText(b, e);
        }
        PutConversion(name, type, ValueText(args[1].first, args[1].second), style, out);
    }

    // The conversion of value to type, with a style or "".
    void PutConversion(size_t at, const std::string& type, const std::string& value,
                       const std::string& style, std::string& out) {
        if (dialect_ == TsqlDialect::SQLite) {
            Put(out,
                "mz_convert('" + type + "', " + value + (style.empty() ? "" : ", " + style) + ")");
            return;
        }
        const size_t open = type.find('(');
        const std::string base = type.substr(0, open);
        std::string size = open == std::string::npos ? "" : type.substr(open + 1);
        if (!size.empty()) size.pop_back();
        const std::string styled = value + (style.empty() ? "" : ", " + style);
        auto is = [&](std::initializer_list<const char*> names) {
            for (const char* n : names)
                if (base == n) return true;
            return false;
        };
        if (is({"varchar", "nvarchar", "char", "nchar"})) {
            const bool pad = base == "char" || base == "nchar";
            const std::string n = size.empty() ? "30" : size;
            if (n == "max") return Put(out, "mz_text(" + styled + ")");
            return Put(
                out, std::string(pad ? "rpad(" : "left(") + "mz_text(" + styled + "), " + n + ")");
        }
        if (is({"text", "ntext"})) return Put(out, "mz_text(" + styled + ")");
        if (is({"int", "integer", "smallint", "tinyint", "bigint"}))
            return Put(out, "mz_int(" + value + ")");
        if (is({"money", "smallmoney"})) return Put(out, "round(mz_number(" + value + "), 4)");
        if (is({"numeric", "decimal", "dec"})) {
            const size_t comma = size.find(',');
            const std::string scale = comma == std::string::npos ? "0" : size.substr(comma + 1);
            return Put(out, "round(mz_number(" + value + "), " + scale + ")");
        }
        if (is({"float", "real", "double precision"}))
            return Put(out, "CAST(mz_number(" + value + ") AS double precision)");
        if (is({"bit"})) return Put(out, "mz_bit_of(" + value + ")");
        if (is({"datetime", "datetime2", "smalldatetime"}))
            return Put(out, "mz_datetime(" + styled + ")");
        if (is({"date"})) return Put(out, "date_trunc('day', mz_datetime(" + styled + "))");
        Fail("unsupported construct 'convert' to " + type + " on PostgreSQL", toks_[at].offset);
    }

    void EmitCast(size_t name, size_t lp, std::string& out) {
        size_t rp = match_[lp];
        size_t as = kNone;
        for (size_t i = lp + 1; i < rp; i = Skip(i, rp))
            if (IsWord(i, "as")) as = i;
        std::string type;
        if (as == kNone || !TypeText(as + 1, rp, type)) {
            Fail("unsupported construct 'cast' (expected cast(value as type))", toks_[name].offset);
            return;
        }
        PutConversion(name, type, ValueText(lp + 1, as), "", out);
    }

    // ---- select lists

    size_t EmitSelect(size_t i, size_t e, std::string& out) {
        EmitToken(out, i);
        size_t p = i + 1;
        size_t q = SkipTrivia(p, e);
        if (q < e && (IsWord(q, "distinct") || IsWord(q, "all"))) {
            for (; p <= q; ++p) EmitToken(out, p);
        }
        size_t end = p;
        while (end < e && !HasFlag(end, kEndsList) && Kind(end) != TokenKind::RightParen)
            end = Skip(end, e);
        if (end < e && IsWord(end, "into")) {
            Refuse("select ... into", toks_[end].offset);
            return e;
        }
        for (size_t s = p;;) {
            size_t t = s;
            while (t < end && Kind(t) != TokenKind::Comma) t = Skip(t, end);
            EmitSelectItem(s, t, out);
            if (t >= end || !error_.empty()) break;
            EmitToken(out, t);
            s = t + 1;
        }
        return end;
    }

    bool IsAliasToken(size_t i) const { return IsNamePart(i) || Kind(i) == TokenKind::String; }

    void EmitSelectItem(size_t s, size_t t, std::string& out) {
        size_t a = SkipTrivia(s, t);
        size_t eq = a < t ? SkipTrivia(a + 1, t) : t;
        if (eq >= t || !IsAliasToken(a) || !IsOp(eq, "=")) return EmitRange(s, t, out);
        // alias = expr  ->  expr AS alias
        size_t x = SkipTrivia(eq + 1, t);
        size_t y = t;
        while (y > x && IsTrivia(y - 1)) --y;
        for (size_t k = s; k < a; ++k) EmitToken(out, k);
        Put(out, RangeText(x, y));
        Put(out, " AS ");
        if (Kind(a) == TokenKind::String)
            Put(out, QuoteIdentifier(Unescape(StringBody(a), '\'')));
        else
            EmitToken(out, a);
        for (size_t k = y; k < t; ++k) EmitToken(out, k);
    }

    // ---- exec

    void ParseExec(size_t first, Translation& result) {
        const size_t n = toks_.size();
        size_t p = SkipTrivia(first + 1, n);
        std::string name;
        while (p < n) {
            std::string_view t = Text(p);
            if (Kind(p) == TokenKind::Identifier)
                name += t;
            else if (Kind(p) == TokenKind::QuotedIdentifier)
                name += Unescape(t.substr(1, t.size() - 2), '"');
            else if (Kind(p) == TokenKind::BracketIdentifier)
                name += Unescape(t.substr(1, t.size() - 2), ']');
            else
                break;
            ++p;
            if (p + 1 < n && Kind(p) == TokenKind::Dot) {
                name += '.';
                ++p;
            } else {
                break;
            }
        }
        if (name.empty() || name.back() == '.') {
            Fail("exec without a procedure name", p < n ? toks_[p].offset : text_.size());
            return;
        }
        std::vector<Variant> args;
        p = SkipTrivia(p, n);
        while (p < n) {
            if (Kind(p) == TokenKind::Semicolon) {
                size_t rest = SkipTrivia(p + 1, n);
                if (rest < n) Refuse("statement after exec", toks_[rest].offset);
                break;
            }
            Variant value;
            if (!ExecArgument(p, value)) return;
            args.push_back(std::move(value));
            p = SkipTrivia(p, n);
            if (p < n && Kind(p) == TokenKind::Comma) {
                p = SkipTrivia(p + 1, n);
                if (p >= n || Kind(p) == TokenKind::Semicolon) {
                    Fail("missing exec argument", p < n ? toks_[p].offset : text_.size());
                    return;
                }
            } else if (p < n && Kind(p) != TokenKind::Semicolon) {
                Refuse(Text(p), toks_[p].offset);
                return;
            }
        }
        if (!error_.empty()) return;
        result.exec_procedure = std::move(name);
        result.exec_args = std::move(args);
    }

    // Reads one literal argument at p and moves past it.
    bool ExecArgument(size_t& p, Variant& value) {
        const size_t n = toks_.size();
        std::string_view t = Text(p);
        switch (Kind(p)) {
            case TokenKind::String:
                value = Variant(Unescape(StringBody(p), '\''));
                ++p;
                return true;
            case TokenKind::Number:
                return NumberArgument(p, "", value);
            case TokenKind::Operator:
                if (t == "-" || t == "+") {
                    size_t q = SkipTrivia(p + 1, n);
                    if (q < n && Kind(q) == TokenKind::Number) {
                        p = q;
                        return NumberArgument(p, t == "-" ? "-" : "", value);
                    }
                }
                break;
            case TokenKind::Identifier:
                if (IsWord(p, "null")) {
                    value = Variant::Null();
                    ++p;
                    return true;
                }
                if (!HasFlag(p, kBoundary) && !IsWord(p, "default") && !IsWord(p, "output") &&
                    !IsWord(p, "out")) {
                    value = Variant(t);  // T-SQL takes a bare word as text
                    ++p;
                    return true;
                }
                break;
            case TokenKind::Variable:
                return Refuse("exec argument " + std::string(t), toks_[p].offset);
            default:
                break;
        }
        return Refuse("exec argument " + std::string(t), toks_[p].offset);
    }

    bool NumberArgument(size_t& p, std::string sign, Variant& value) {
        std::string t = sign + std::string(Text(p));
        if (t.find_first_of("xX") != std::string::npos)
            return Refuse("exec argument " + t, toks_[p].offset);
        if (t.find_first_of(".eE") == std::string::npos) {
            long long v = 0;
            auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
            if (ec == std::errc() && end == t.data() + t.size() && v >= INT32_MIN &&
                v <= INT32_MAX) {
                value = Variant(static_cast<int32_t>(v));
                ++p;
                return true;
            }
        }
        value = Variant(std::strtod(t.c_str(), nullptr));
        ++p;
        return true;
    }

    std::string_view text_;
    std::vector<Tok> toks_;
    std::vector<size_t> match_;  // for each "(", the index of its ")"
    std::string error_;
    int depth_ = 0;  // levels of the recursion now running
    TsqlDialect dialect_;
};

}  // namespace

Translation TranslateTsql(std::string_view tsql, TsqlDialect dialect) {
    return Translator(tsql, dialect).Run();
}

// The cache's lookup cost is mostly this hash over the whole text (list texts run to a few
// kilobytes), so it takes 32 bytes a step in four independent lanes, after xxHash64.
size_t TranslationCache::Hash::operator()(std::string_view text) const noexcept {
    constexpr uint64_t kP1 = 0x9E3779B185EBCA87ull, kP2 = 0xC2B2AE3D27D4EB4Full,
                       kP3 = 0x165667B19E3779F9ull, kP4 = 0x85EBCA77C2B2AE63ull,
                       kP5 = 0x27D4EB2F165667C5ull;
    auto rotl = [](uint64_t x, int r) { return (x << r) | (x >> (64 - r)); };
    auto load = [](const char* at) {
        uint64_t word;
        std::memcpy(&word, at, sizeof word);
        return word;
    };
    auto round = [&](uint64_t acc, uint64_t input) { return rotl(acc + input * kP2, 31) * kP1; };
    const char* p = text.data();
    size_t n = text.size();
    uint64_t h = kP5;
    if (n >= 32) {
        uint64_t a = kP1 + kP2, b = kP2, c = 0, d = 0 - kP1;
        for (; n >= 32; p += 32, n -= 32) {
            a = round(a, load(p));
            b = round(b, load(p + 8));
            c = round(c, load(p + 16));
            d = round(d, load(p + 24));
        }
        h = rotl(a, 1) + rotl(b, 7) + rotl(c, 12) + rotl(d, 18);
        for (uint64_t lane : {a, b, c, d}) h = (h ^ round(0, lane)) * kP1 + kP4;
    }
    h += text.size();
    for (; n >= 8; p += 8, n -= 8) h = rotl(h ^ round(0, load(p)), 27) * kP1 + kP4;
    for (; n > 0; ++p, --n) h = rotl(h ^ (static_cast<unsigned char>(*p) * kP5), 11) * kP1;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return static_cast<size_t>(h);
}

std::shared_ptr<const Translation> TranslationCache::Get(std::string_view tsql) {
    {
        std::shared_lock lock(mutex_);
        auto it = entries_.find(tsql);
        if (it != entries_.end()) return it->second;
    }
    auto made = std::make_shared<const Translation>(TranslateTsql(tsql, dialect_));
    std::unique_lock lock(mutex_);
    if (entries_.size() >= capacity_) entries_.clear();
    return entries_.try_emplace(std::string(tsql), std::move(made)).first->second;
}

size_t TranslationCache::Size() const {
    std::shared_lock lock(mutex_);
    return entries_.size();
}

}  // namespace mz
