// The dialect translator: the record classes speak T-SQL, the embedded database speaks SQLite.
// TranslateTsql turns one T-SQL text into SQLite text (or into the procedure call of an "exec"),
// working on tokens so that quoted text is never rewritten. The SQL it produces relies on the
// functions of sqlite_functions.h (mz_add, mz_convert, mz_year, mz_month, mz_day).
// Private to the db layer: every query goes through the backend's TranslationCache.
//
// What changes, and why:
//   isnull(a, b)            ifnull(a, b)
//   getdate()               datetime('now','localtime')  (fixed for one step of the statement,
//                           so two getdate() of one row agree, as they do in T-SQL)
//   year/month/day(x)       mz_year/mz_month/mz_day(x)
//   convert(t, x [, s])     mz_convert('t', x [, s]);  cast(x as t) likewise
//   len(x)                  length(rtrim(x));  substring() -> substr()
//   a + b                   mz_add(a, b): text joins, numbers add, Null gives Null
//   alias = expr            expr AS alias   (first thing of a select-list item)
//   as 'alias'              as "alias";  [name] -> "name";  N'text' -> 'text'
//   'm/d/yyyy [time]'       'yyyy-mm-dd[ hh:mm:ss]', as the database stores dates
//   isnull(..) = '1'        CAST(ifnull(..) AS TEXT) = '1' (also as the base of a simple case
//                           compared with quoted integers): T-SQL compares a bit with '1' as a
//                           number, SQLite would compare the integer 1 with the text '1' as unequal
//   12and                   12 and   (T-SQL ends a number at the first letter; SQLite refuses)
//   !< / !>                 >= / <=
// PostgreSQL (TsqlDialect::PostgreSQL) differs in a few words only, and relies on the functions
// of postgres/postgres_dialect.cpp instead:
//   isnull(a, b)            coalesce(a, b)
//   getdate()               LOCALTIMESTAMP(0)  (fixed for the transaction)
//   convert(t, x [, s])     by the kind of t: left(mz_text(x [, s]), n), rpad(..., n) for
//                           char(n), mz_int(x), round(mz_number(x), scale), mz_bit_of(x),
//                           mz_datetime(x [, s]); cast(x as t) likewise
// Refused with an error naming the construct and its offset: top, @@variables,
// select ... into, declare, nolock, unterminated literals and comments, unbalanced parentheses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/variant.h"

namespace mz {

enum class TokenKind : uint8_t {
    Blank,              // spaces, tabs, line ends
    Comment,            // -- to the end of the line (line end included), or /* */ (may nest)
    String,             // '...' with '' escapes, also N'...'
    Identifier,         // plain word (keywords included)
    QuotedIdentifier,   // "..."
    BracketIdentifier,  // [...] with ]] escapes
    Number,             // 12, 1.5, .5, 1e3, 0x1F
    Variable,           // @name, @@name, ?, ?1, :name
    Operator,           // + - * / % = < > <= >= <> != !< !> & | ^ ~ ||
    Comma,
    Dot,
    Semicolon,
    LeftParen,
    RightParen,
    Unterminated,  // a literal, quoted name or comment that runs to the end of the text
    Illegal,       // a character no token starts with
};

// Reads the token starting at `pos` (REQUIRES: pos < text.size()); stores its length (at least 1)
// and returns its kind. Pure: no allocation, no state.
TokenKind NextToken(std::string_view text, size_t pos, size_t* length);

struct SqlToken {
    TokenKind kind;
    std::string_view text;  // a view into the text tokenized
};
// The whole text as its tokens, blanks and comments included, in order.
std::vector<SqlToken> Tokenize(std::string_view text);

struct Translation {
    std::string sql;             // SQLite text, when not an exec
    std::string error;           // non-empty: the text was refused; says which construct and where
    std::string exec_procedure;  // set when the text is "exec <proc> [args]": name as written
    std::vector<Variant>
        exec_args;  // literal arguments of the exec ('text', numbers, Null), in order
};

// The engine a translation is for: the SQLite baseline, or a dialect that overrides a few of its
// words (its table is in tsql_translator.cpp) and how convert and cast are written.
enum class TsqlDialect : uint8_t { SQLite, PostgreSQL };

// Translates one T-SQL text. Never throws for any input; a refusal is reported in `error`.
// An empty or blank text gives an empty `sql` and no error.
Translation TranslateTsql(std::string_view tsql, TsqlDialect dialect = TsqlDialect::SQLite);

// "m/d/yyyy", "mm/dd/yyyy" or "m/d/yy" (yy below 50 is 20yy), optionally followed by a time
// "h:mm[:ss[.fff]]" with optional AM/PM, as ISO text "yyyy-mm-dd" with " hh:mm:ss" unless the
// time is midnight. nullopt when the text is anything else or an impossible date (02/30/2005).
std::optional<std::string> MdyDateToIso(std::string_view text);

// Translations by text, shared between threads. Full at `capacity` entries, it is emptied
// wholesale (translations handed out stay valid: they are shared). Not copyable.
class TranslationCache {
  public:
    explicit TranslationCache(size_t capacity = 4096, TsqlDialect dialect = TsqlDialect::SQLite)
        : capacity_(capacity), dialect_(dialect) {}
    TranslationCache(const TranslationCache&) = delete;
    TranslationCache& operator=(const TranslationCache&) = delete;

    // The translation of `tsql`, translated on first use. Never null.
    std::shared_ptr<const Translation> Get(std::string_view tsql);
    size_t Size() const;

  private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const noexcept;
    };
    mutable std::shared_mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<const Translation>, Hash, std::equal_to<>>
        entries_;
    size_t capacity_;
    TsqlDialect dialect_;
};

}  // namespace mz
