#include "db/sqlite_functions.h"

#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "db/tsql_translator.h"

namespace mz {
namespace {

// ---------------------------------------------------------------------------------------------
// Dates

struct Stamp {
    int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0, millis = 0;
    bool HasTime() const { return hour || minute || second || millis; }
};

bool ValidDate(int y, int m, int d) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

// Reads exactly `count` digits at s[i].
bool Digits(std::string_view s, size_t& i, size_t count, int& value) {
    if (i + count > s.size()) return false;
    value = 0;
    for (size_t k = 0; k < count; ++k, ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

// A time "hh:mm[:ss[.fff]]" from s[i] to the end.
bool ParseTime(std::string_view s, size_t i, Stamp& st) {
    if (!Digits(s, i, 2, st.hour) || i >= s.size() || s[i++] != ':' || !Digits(s, i, 2, st.minute))
        return false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        if (!Digits(s, i, 2, st.second)) return false;
        if (i < s.size() && s[i] == '.') {
            ++i;
            int scale = 100;
            for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, scale /= 10)
                st.millis += (s[i] - '0') * scale;
        }
    }
    return i == s.size() && st.hour < 24 && st.minute < 60 && st.second < 60;
}

// ISO "yyyy-mm-dd", optionally followed by " hh:mm[:ss[.fff]]" or "Thh:mm...".
std::optional<Stamp> ParseIso(std::string_view s) {
    Stamp st;
    size_t i = 0;
    if (!Digits(s, i, 4, st.year) || i >= s.size() || s[i++] != '-' || !Digits(s, i, 2, st.month) ||
        i >= s.size() || s[i++] != '-' || !Digits(s, i, 2, st.day) ||
        !ValidDate(st.year, st.month, st.day))
        return {};
    if (i == s.size()) return st;
    if ((s[i] != ' ' && s[i] != 'T') || !ParseTime(s, i + 1, st)) return {};
    return st;
}

// Day number 0 is 1/1/1900, as in T-SQL; the fraction is the time of day.
std::optional<Stamp> FromSerial(double serial) {
    if (!std::isfinite(serial) || serial < -693595 || serial > 2958463) return {};
    double whole = std::floor(serial);
    int64_t z = static_cast<int64_t>(whole) - 25567 + 719468;  // days since 0000-03-01
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    Stamp st;
    st.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    st.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    st.year = static_cast<int>(yoe + era * 400 + (st.month <= 2 ? 1 : 0));
    int64_t ms = std::llround((serial - whole) * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    st.hour = static_cast<int>(ms / 3600000);
    st.minute = static_cast<int>(ms / 60000 % 60);
    st.second = static_cast<int>(ms / 1000 % 60);
    st.millis = static_cast<int>(ms % 1000);
    if (!ValidDate(st.year, st.month, st.day)) return {};
    return st;
}

bool IsDayFirstStyle(int style) {
    return style % 100 >= 3 && style % 100 <= 5;
}

// A date text as T-SQL reads it for a conversion: ISO, "yyyymmdd", or day, month and year
// separated by / . or - in the order the style names (month first unless a day-first style).
std::optional<Stamp> ParseDateText(std::string_view s, int style) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (auto st = ParseIso(s)) return st;
    Stamp st;
    size_t i = 0;
    if (s.size() == 8 && Digits(s, i, 4, st.year) && Digits(s, i, 2, st.month) &&
        Digits(s, i, 2, st.day))
        return ValidDate(st.year, st.month, st.day) ? std::optional<Stamp>(st) : std::nullopt;
    // Three numbers: first, separator, second, the same separator, year.
    int parts[3] = {0, 0, 0};
    size_t widths[3] = {0, 0, 0};
    char separator = 0;
    i = 0;
    for (int k = 0; k < 3; ++k) {
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && widths[k] < 4) {
            parts[k] = parts[k] * 10 + (s[i++] - '0');
            ++widths[k];
        }
        if (widths[k] == 0) return {};
        if (k < 2) {
            if (i >= s.size() || (s[i] != '/' && s[i] != '.' && s[i] != '-')) return {};
            if (separator && s[i] != separator) return {};
            separator = s[i++];
        }
    }
    if (widths[0] > 2 || widths[1] > 2 || (widths[2] != 2 && widths[2] != 4)) return {};
    st.month = IsDayFirstStyle(style) ? parts[1] : parts[0];
    st.day = IsDayFirstStyle(style) ? parts[0] : parts[1];
    st.year = widths[2] == 2 ? parts[2] + (parts[2] < 50 ? 2000 : 1900) : parts[2];
    if (!ValidDate(st.year, st.month, st.day)) return {};
    if (i == s.size()) return st;
    if (s[i] != ' ') return {};
    // Times with AM/PM are left to the translator's reading of m/d/yyyy texts.
    if (!IsDayFirstStyle(style)) {
        if (auto iso = MdyDateToIso(s)) return ParseIso(*iso);
        return {};
    }
    return ParseTime(s, i + 1, st) ? std::optional<Stamp>(st) : std::nullopt;
}

std::string IsoText(const Stamp& st, bool with_time) {
    char buffer[32];
    int n = with_time && st.HasTime()
                ? std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", st.year,
                                st.month, st.day, st.hour, st.minute, st.second)
                : std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", st.year, st.month, st.day);
    return std::string(buffer, static_cast<size_t>(n));
}

// Date styles of convert(varchar, date, style): Y year, y two-digit year, M month, D day,
// h hour, m minute, s second, f milliseconds; anything else stands for itself.
struct DateStyle {
    int style;
    std::string_view pattern;
};
constexpr DateStyle kDateStyles[] = {
    {1, "MM/DD/yy"},
    {101, "MM/DD/YYYY"},
    {2, "yy.MM.DD"},
    {102, "YYYY.MM.DD"},
    {3, "DD/MM/yy"},
    {103, "DD/MM/YYYY"},
    {4, "DD.MM.yy"},
    {104, "DD.MM.YYYY"},
    {5, "DD-MM-yy"},
    {105, "DD-MM-YYYY"},
    {10, "MM-DD-yy"},
    {110, "MM-DD-YYYY"},
    {11, "yy/MM/DD"},
    {111, "YYYY/MM/DD"},
    {12, "yyMMDD"},
    {112, "YYYYMMDD"},
    {8, "hh:mm:ss"},
    {108, "hh:mm:ss"},
    {23, "YYYY-MM-DD"},
    {20, "YYYY-MM-DD hh:mm:ss"},
    {120, "YYYY-MM-DD hh:mm:ss"},
    {21, "YYYY-MM-DD hh:mm:ss.fff"},
    {121, "YYYY-MM-DD hh:mm:ss.fff"},
};

// False for a style this table does not know.
bool FormatDate(const Stamp& st, int style, std::string& out) {
    char buffer[48];
    if (style == 0 || style == 100) {  // "Mar 15 2005 12:00AM"
        static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        int hour12 = st.hour % 12 == 0 ? 12 : st.hour % 12;
        int n =
            std::snprintf(buffer, sizeof buffer, "%s %2d %04d %2d:%02d%s", kMonths[st.month - 1],
                          st.day, st.year, hour12, st.minute, st.hour < 12 ? "AM" : "PM");
        out.assign(buffer, static_cast<size_t>(n));
        return true;
    }
    for (const DateStyle& ds : kDateStyles) {
        if (ds.style != style) continue;
        out.clear();
        std::string_view p = ds.pattern;
        for (size_t i = 0; i < p.size();) {
            size_t run = 1;
            while (i + run < p.size() && p[i + run] == p[i]) ++run;
            int value = -1;
            switch (p[i]) {
                case 'Y':
                    value = st.year;
                    break;
                case 'y':
                    value = st.year % 100;
                    break;
                case 'M':
                    value = st.month;
                    break;
                case 'D':
                    value = st.day;
                    break;
                case 'h':
                    value = st.hour;
                    break;
                case 'm':
                    value = st.minute;
                    break;
                case 's':
                    value = st.second;
                    break;
                case 'f':
                    value = st.millis;
                    break;
                default:
                    break;
            }
            if (value < 0) {
                out.append(p.substr(i, run));
            } else {
                int n = std::snprintf(buffer, sizeof buffer, "%0*d", static_cast<int>(run), value);
                out.append(buffer, static_cast<size_t>(n));
            }
            i += run;
        }
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Values

std::string_view TextOf(sqlite3_value* v) {
    const unsigned char* p = sqlite3_value_text(v);
    int n = sqlite3_value_bytes(v);
    return p ? std::string_view(reinterpret_cast<const char*>(p), static_cast<size_t>(n))
             : std::string_view();
}

std::string FormatReal(double d) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
    return ec == std::errc() ? std::string(buffer, end) : std::to_string(d);
}

// Text form of a number or text value, as "+" joins it.
std::string PlainText(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            return std::to_string(sqlite3_value_int64(v));
        case SQLITE_FLOAT:
            return FormatReal(sqlite3_value_double(v));
        default:
            return std::string(TextOf(v));
    }
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<int64_t> ParseInteger(std::string_view s) {
    s = Trimmed(s);
    if (s.empty()) return 0;  // T-SQL converts '' to 0
    if (s.front() == '+') s.remove_prefix(1);
    int64_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return {};
    return v;
}

std::optional<double> ParseNumber(std::string_view s) {
    s = Trimmed(s);
    if (s.empty()) return 0.0;
    if (s.front() == '+') s.remove_prefix(1);
    double v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return {};
    return v;
}

double RoundTo(double x, int scale) {
    double factor = std::pow(10.0, scale);
    return std::round(x * factor) / factor;
}

void Fail(sqlite3_context* ctx, const std::string& message) {
    sqlite3_result_error(ctx, message.c_str(), static_cast<int>(message.size()));
}

void ConversionFailed(sqlite3_context* ctx, sqlite3_value* v, std::string_view type) {
    Fail(ctx, "Conversion failed when converting the value '" + PlainText(v) + "' to data type " +
                  std::string(type) + ".");
}

void DateConversionFailed(sqlite3_context* ctx) {
    Fail(ctx, "Conversion failed when converting date and/or time from character string.");
}

std::optional<Stamp> StampOf(sqlite3_value* v, int style) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            return FromSerial(sqlite3_value_double(v));
        default:
            return ParseDateText(TextOf(v), style);
    }
}

// ---------------------------------------------------------------------------------------------
// convert targets

enum class Target : uint8_t { Text, Integer, Money, Decimal, Float, Bit, DateTime, Date };

struct TargetType {
    Target kind = Target::Text;
    int length = -1;   // texts: -1 for no limit
    int scale = 0;     // numeric(p, s)
    bool pad = false;  // char(n)
};

struct TargetName {
    std::string_view name;
    Target kind;
    int default_length;
    bool pad;
};
constexpr TargetName kTargets[] = {
    {"bigint", Target::Integer, -1, false},
    {"bit", Target::Bit, -1, false},
    {"char", Target::Text, 30, true},
    {"date", Target::Date, -1, false},
    {"datetime", Target::DateTime, -1, false},
    {"datetime2", Target::DateTime, -1, false},
    {"dec", Target::Decimal, -1, false},
    {"decimal", Target::Decimal, -1, false},
    {"doubleprecision", Target::Float, -1, false},
    {"float", Target::Float, -1, false},
    {"int", Target::Integer, -1, false},
    {"integer", Target::Integer, -1, false},
    {"money", Target::Money, -1, false},
    {"nchar", Target::Text, 30, true},
    {"ntext", Target::Text, -1, false},
    {"numeric", Target::Decimal, -1, false},
    {"nvarchar", Target::Text, 30, false},
    {"real", Target::Float, -1, false},
    {"smalldatetime", Target::DateTime, -1, false},
    {"smallint", Target::Integer, -1, false},
    {"smallmoney", Target::Money, -1, false},
    {"text", Target::Text, -1, false},
    {"tinyint", Target::Integer, -1, false},
    {"varchar", Target::Text, 30, false},
};

// "varchar(10)", "numeric(10, 2)", "char", ...: case and blanks do not matter.
std::optional<TargetType> ParseTarget(std::string_view text) {
    std::string s;
    for (char ch : text)
        if (ch != ' ') s += static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    std::string_view name = s, args;
    if (size_t open = s.find('('); open != std::string::npos) {
        if (s.back() != ')') return {};
        name = std::string_view(s).substr(0, open);
        args = std::string_view(s).substr(open + 1, s.size() - open - 2);
    }
    for (const TargetName& t : kTargets) {
        if (t.name != name) continue;
        TargetType type;
        type.kind = t.kind;
        type.pad = t.pad;
        type.length = t.default_length;
        if (args.empty()) return type;
        std::string_view first = args.substr(0, args.find(','));
        std::string_view second =
            first.size() < args.size() ? args.substr(first.size() + 1) : std::string_view();
        if (t.kind == Target::Text) {
            if (first == "max") {
                type.length = -1;
                return type;
            }
            auto n = ParseInteger(first);
            if (!n || *n < 1 || *n > 8000 || !second.empty()) return {};
            type.length = static_cast<int>(*n);
            return type;
        }
        if (t.kind == Target::Decimal) {
            auto scale = second.empty() ? std::optional<int64_t>(0) : ParseInteger(second);
            if (!ParseInteger(first) || !scale || *scale < 0 || *scale > 38) return {};
            type.scale = static_cast<int>(*scale);
            return type;
        }
        return ParseInteger(first) ? std::optional<TargetType>(type) : std::nullopt;
    }
    return {};
}

// Cuts a text to n characters (not bytes) or pads it with blanks to n.
void FitLength(std::string& s, int length, bool pad) {
    if (length < 0) return;
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (chars == static_cast<size_t>(length)) {
            s.resize(i);
            return;
        }
        ++chars;
    }
    if (pad && chars < static_cast<size_t>(length))
        s.append(static_cast<size_t>(length) - chars, ' ');
}

void ResultText(sqlite3_context* ctx, const std::string& s) {
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// ---------------------------------------------------------------------------------------------
// Exact money. Amounts are stored as REALs, each the double nearest its four-decimal value;
// "+" and the sums add those decimal values as counts of ten-thousandths, so a sum of a million
// amounts of 0.01 is 10000, not the binary neighbour the engine's own float addition reaches.

constexpr double kMoneyScale = 10000.0;
// Room for any sum of 64-bit counts of ten-thousandths.
__extension__ typedef __int128 Wide;

// The count of ten-thousandths of a double that is the nearest double to a four-decimal value;
// nullopt for any other double.
std::optional<int64_t> TenThousandths(double d) {
    const double scaled = d * kMoneyScale;
    if (!(std::fabs(scaled) < 9.0e15)) return std::nullopt;
    const double whole = std::nearbyint(scaled);
    if (whole / kMoneyScale != d) return std::nullopt;
    return static_cast<int64_t>(whole);
}

// The double nearest a count of ten-thousandths.
double FromTenThousandths(Wide n) {
    if (n > -(Wide{1} << 53) && n < (Wide{1} << 53)) return static_cast<double>(n) / kMoneyScale;
    return static_cast<double>(static_cast<long double>(n) / 10000.0L);
}

// sum(), total() and avg() over the connection's rows, also as window functions: integers and
// four-decimal values add exactly; any other double adds as a compensated float sum beside them.
// Non-numeric values count as their numeric value, as the engine's own functions take them.
struct ExactSum {
    Wide exact = 0;  // ten-thousandths
    double approx = 0, compensation = 0;
    int64_t integer = 0;  // the plain sum while every value is an integer
    int64_t count = 0;
    int64_t non_integers = 0;
    bool overflow = false;

    void Add(sqlite3_value* v, int sign) {
        const int type = sqlite3_value_numeric_type(v);
        if (type == SQLITE_NULL) return;
        count += sign;
        if (type == SQLITE_INTEGER) {
            const int64_t i = sqlite3_value_int64(v);
            exact += static_cast<Wide>(i) * 10000 * sign;
            overflow = overflow || (sign > 0 ? __builtin_add_overflow(integer, i, &integer)
                                             : __builtin_sub_overflow(integer, i, &integer));
            return;
        }
        non_integers += sign;
        const double d = sqlite3_value_double(v);
        if (const auto n = TenThousandths(d)) {
            exact += static_cast<Wide>(*n) * sign;
            return;
        }
        // Neumaier's compensated addition.
        const double x = d * sign, t = approx + x;
        compensation += std::fabs(approx) >= std::fabs(x) ? (approx - t) + x : (x - t) + approx;
        approx = t;
    }
    double Value() const { return FromTenThousandths(exact) + (approx + compensation); }
};

// The sum's state in the engine's aggregate memory (handed out zeroed, which is an empty sum),
// aligned by hand: the engine aligns it to 8 bytes and the 128-bit count needs 16. nullptr when
// there is none (no row, or out of memory when make).
ExactSum* SumState(sqlite3_context* ctx, bool make) {
    constexpr size_t kAlign = alignof(ExactSum);
    void* p = sqlite3_aggregate_context(ctx, make ? sizeof(ExactSum) + kAlign : 0);
    if (!p) return nullptr;
    const auto at = (reinterpret_cast<std::uintptr_t>(p) + kAlign - 1) & ~(kAlign - 1);
    return reinterpret_cast<ExactSum*>(at);
}

template <int Kind>  // 0 sum, 1 total, 2 avg
void ExactSumResult(sqlite3_context* ctx) {
    const ExactSum* s = SumState(ctx, false);
    if (!s || s->count == 0)
        return Kind == 1 ? sqlite3_result_double(ctx, 0) : sqlite3_result_null(ctx);
    if (Kind == 2) return sqlite3_result_double(ctx, s->Value() / static_cast<double>(s->count));
    if (Kind == 0 && s->non_integers == 0) {
        if (s->overflow) return sqlite3_result_error(ctx, "integer overflow", -1);
        return sqlite3_result_int64(ctx, s->integer);
    }
    sqlite3_result_double(ctx, s->Value());
}

template <int Sign>
void ExactSumStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    ExactSum* s = SumState(ctx, true);
    if (!s) return sqlite3_result_error_nomem(ctx);
    s->Add(argv[0], Sign);
}

// ---------------------------------------------------------------------------------------------
// The functions

void MzAdd(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int ta = sqlite3_value_type(argv[0]), tb = sqlite3_value_type(argv[1]);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL) return sqlite3_result_null(ctx);
    bool text = ta == SQLITE_TEXT || tb == SQLITE_TEXT || ta == SQLITE_BLOB || tb == SQLITE_BLOB;
    if (text) return ResultText(ctx, PlainText(argv[0]) + PlainText(argv[1]));
    if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
        int64_t sum = 0;
        if (!__builtin_add_overflow(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]),
                                    &sum))
            return sqlite3_result_int64(ctx, sum);
    }
    const double a = sqlite3_value_double(argv[0]), b = sqlite3_value_double(argv[1]);
    const auto ea = TenThousandths(a), eb = TenThousandths(b);
    if (ea && eb) return sqlite3_result_double(ctx, FromTenThousandths(Wide{*ea} + *eb));
    sqlite3_result_double(ctx, a + b);
}

void MzConvert(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    std::string_view type_text = TextOf(argv[0]);
    std::optional<TargetType> target = ParseTarget(type_text);
    if (!target) return Fail(ctx, "mz_convert: unsupported type '" + std::string(type_text) + "'");
    sqlite3_value* v = argv[1];
    int vt = sqlite3_value_type(v);
    if (vt == SQLITE_NULL) return sqlite3_result_null(ctx);
    int style =
        argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL ? sqlite3_value_int(argv[2]) : -1;
    bool number = vt == SQLITE_INTEGER || vt == SQLITE_FLOAT;

    switch (target->kind) {
        case Target::Text: {
            std::string s;
            std::optional<Stamp> date;
            if (!number) date = ParseIso(TextOf(v));
            if (date) {
                if (!FormatDate(*date, style < 0 ? 0 : style, s))
                    return Fail(ctx, "mz_convert: unsupported date style " + std::to_string(style));
            } else {
                s = PlainText(v);
            }
            FitLength(s, target->length, target->pad);
            return ResultText(ctx, s);
        }
        case Target::Integer: {
            if (vt == SQLITE_INTEGER) return sqlite3_result_int64(ctx, sqlite3_value_int64(v));
            if (vt == SQLITE_FLOAT) {
                double d = std::trunc(sqlite3_value_double(v));
                if (!(std::fabs(d) < 9.2e18))
                    return Fail(
                        ctx, "Arithmetic overflow error converting expression to data type int.");
                return sqlite3_result_int64(ctx, static_cast<int64_t>(d));
            }
            auto n = ParseInteger(TextOf(v));
            if (!n) return ConversionFailed(ctx, v, "int");
            return sqlite3_result_int64(ctx, *n);
        }
        case Target::Money:
        case Target::Decimal:
        case Target::Float: {
            std::optional<double> d = number ? sqlite3_value_double(v) : ParseNumber(TextOf(v));
            if (!d) return ConversionFailed(ctx, v, type_text);
            if (target->kind == Target::Float) return sqlite3_result_double(ctx, *d);
            if (vt == SQLITE_INTEGER) return sqlite3_result_int64(ctx, sqlite3_value_int64(v));
            double r = RoundTo(*d, target->kind == Target::Money ? 4 : target->scale);
            if (target->kind == Target::Decimal && target->scale == 0 && std::fabs(r) < 9.2e18)
                return sqlite3_result_int64(ctx, static_cast<int64_t>(r));
            return sqlite3_result_double(ctx, r);
        }
        case Target::Bit: {
            if (number) return sqlite3_result_int(ctx, sqlite3_value_double(v) != 0);
            std::string_view t = Trimmed(TextOf(v));
            if (t.size() == 4 && sqlite3_strnicmp(t.data(), "true", 4) == 0)
                return sqlite3_result_int(ctx, 1);
            if (t.size() == 5 && sqlite3_strnicmp(t.data(), "false", 5) == 0)
                return sqlite3_result_int(ctx, 0);
            auto d = ParseNumber(t);
            if (!d) return ConversionFailed(ctx, v, "bit");
            return sqlite3_result_int(ctx, *d != 0);
        }
        case Target::DateTime:
        case Target::Date: {
            std::optional<Stamp> st = StampOf(v, style);
            if (!st) return DateConversionFailed(ctx);
            return ResultText(ctx, IsoText(*st, target->kind == Target::DateTime));
        }
    }
}

// mz_last_id(table, column): the rowid of the connection's last insert. The server's version
// needs the table; here last_insert_rowid() knows it.
void MzLastId(sqlite3_context* ctx, int, sqlite3_value**) {
    sqlite3_result_int64(ctx, sqlite3_last_insert_rowid(sqlite3_context_db_handle(ctx)));
}

// replace(x, y, z) and the two-argument trims, in place of the engine's own: theirs compare every
// position of x with all of y, so one call on values of a megabyte runs for minutes, and a call is
// one step that no time limit can stop. These take time in proportion to the values' length.

// The result of a text function, or "string or blob too big" past the connection's limit.
void ResultBounded(sqlite3_context* ctx, const std::string& s) {
    const int limit = sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1);
    if (s.size() > static_cast<size_t>(limit)) return sqlite3_result_error_toobig(ctx);
    ResultText(ctx, s);
}

void MzReplace(sqlite3_context* ctx, int, sqlite3_value** argv) {
    for (int i = 0; i < 3; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const std::string_view x = TextOf(argv[0]), y = TextOf(argv[1]), z = TextOf(argv[2]);
    if (y.empty()) return sqlite3_result_value(ctx, argv[0]);
    std::string out;
    size_t at = 0;
    while (const void* found = memmem(x.data() + at, x.size() - at, y.data(), y.size())) {
        const size_t hit = static_cast<size_t>(static_cast<const char*>(found) - x.data());
        out.append(x.substr(at, hit - at)).append(z);
        at = hit + y.size();
    }
    out.append(x.substr(at));
    ResultBounded(ctx, out);
}

// The characters of a UTF-8 text, each as its bytes.
std::vector<std::string_view> Characters(std::string_view s) {
    std::vector<std::string_view> out;
    for (size_t i = 0; i < s.size();) {
        size_t n = 1;
        while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) ++n;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

template <bool Left, bool Right>
void MzTrim(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const std::vector<std::string_view> set_chars = Characters(TextOf(argv[1]));
    const std::unordered_set<std::string_view> set(set_chars.begin(), set_chars.end());
    const std::vector<std::string_view> chars = Characters(TextOf(argv[0]));
    size_t first = 0, last = chars.size();
    while (Left && first < last && set.count(chars[first])) ++first;
    while (Right && last > first && set.count(chars[last - 1])) --last;
    std::string out;
    for (size_t i = first; i < last; ++i) out.append(chars[i]);
    ResultText(ctx, out);
}

void MzGetdate(sqlite3_context* ctx, int, sqlite3_value**) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    sqlite3_result_text(ctx, buffer, static_cast<int>(n), SQLITE_TRANSIENT);
}

// mz_refuse(text): fails the statement with text as its error, for triggers that refuse a change
// (a filed version's row). A constraint failure, as a trigger's own refusal would be.
void MzRefuse(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const std::string_view text = TextOf(argv[0]);
    sqlite3_result_error(ctx, text.data(), static_cast<int>(text.size()));
    sqlite3_result_error_code(ctx, SQLITE_CONSTRAINT_TRIGGER);
}

// mz_user(): who changes a row, for the change journal; the connection's user name.
void MzUser(sqlite3_context* ctx, int, sqlite3_value**) {
    ResultText(ctx, *static_cast<const std::string*>(sqlite3_user_data(ctx)));
}

// The user this process runs as, for a connection that names none.
std::string SystemUser() {
    if (const passwd* pw = getpwuid(geteuid())) return pw->pw_name;
    return "uid " + std::to_string(geteuid());
}

template <int Stamp::*Part>
void MzDatePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::optional<Stamp> st = StampOf(argv[0], -1);
    if (!st) return DateConversionFailed(ctx);
    sqlite3_result_int(ctx, (*st).*Part);
}

constexpr int kPure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
struct Function {
    const char* name;
    int args;
    int flags;
    void (*call)(sqlite3_context*, int, sqlite3_value**);
};
constexpr Function kFunctions[] = {
    {"mz_add", 2, kPure, MzAdd},
    {"mz_convert", 2, kPure, MzConvert},
    {"mz_convert", 3, kPure, MzConvert},
    {"mz_getdate", 0, SQLITE_UTF8 | SQLITE_INNOCUOUS, MzGetdate},
    {"mz_last_id", 2, SQLITE_UTF8, MzLastId},
    {"mz_refuse", 1, SQLITE_UTF8, MzRefuse},
    {"mz_year", 1, kPure, MzDatePart<&Stamp::year>},
    {"mz_month", 1, kPure, MzDatePart<&Stamp::month>},
    {"mz_day", 1, kPure, MzDatePart<&Stamp::day>},
    {"replace", 3, kPure, MzReplace},
    {"trim", 2, kPure, MzTrim<true, true>},
    {"ltrim", 2, kPure, MzTrim<true, false>},
    {"rtrim", 2, kPure, MzTrim<false, true>},
};

// The engine's functions a report database admits besides its own: what the schema, the
// procedures and translated T-SQL call, and what a reader of the rows may want (texts, numbers,
// dates, aggregates, window functions). Left out on purpose: anything that reaches the engine's
// internals or the file system (fts3_tokenizer and the full-text, json and rtree functions,
// load_extension, sqlite_*), blobs made from nothing (randomblob, zeroblob), and what is no
// T-SQL and can run on in one call past any time limit (printf and format with a width of a
// billion, instr comparing a megabyte at every position of another).
constexpr std::string_view kAdmittedFunctions =
    " abs avg ceil ceiling char coalesce count cume_dist current_date current_time "
    "current_timestamp date datetime dense_rank first_value floor glob group_concat "
    "hex ifnull iif julianday lag last_insert_rowid last_value lead length like "
    "likelihood likely lower ltrim max min mod nth_value ntile nullif percent_rank power pow "
    "quote random rank replace round row_number rtrim sign sqrt strftime substr "
    "substring sum time total trim trunc typeof unicode unixepoch unlikely upper ";

bool Admitted(const char* function) {
    if (!function) return false;
    std::string name = " ";
    for (const char* c = function; *c; ++c) {
        if (*c == ' ') return false;  // a quoted name, never one of the list's
        name += static_cast<char>(*c >= 'A' && *c <= 'Z' ? *c - 'A' + 'a' : *c);
    }
    for (const Function& f : kFunctions)
        if (name.substr(1) == f.name) return true;
    if (name == " mz_user") return true;
    return kAdmittedFunctions.find(name + " ") != std::string_view::npos;
}

// Asked by the engine while it prepares each statement (the statements of views and triggers
// included): functions must be admitted, no file is attached nor virtual table made, and the
// only pragma is the reading of a table's columns (the schema's catalog views use it).
int Authorize(void*, int action, const char* detail, const char* function, const char*,
              const char*) {
    switch (action) {
        case SQLITE_FUNCTION:
            return Admitted(function) ? SQLITE_OK : SQLITE_DENY;
        case SQLITE_PRAGMA:
            return detail && sqlite3_stricmp(detail, "table_info") == 0 ? SQLITE_OK : SQLITE_DENY;
        case SQLITE_ATTACH:
        case SQLITE_DETACH:
        case SQLITE_CREATE_VTABLE:
        case SQLITE_DROP_VTABLE:
            return SQLITE_DENY;
        default:
            return SQLITE_OK;
    }
}

}  // namespace

void RegisterDialectFunctions(sqlite3* db, const std::string& user) {
    for (const Function& f : kFunctions)
        sqlite3_create_function_v2(db, f.name, f.args, f.flags, nullptr, f.call, nullptr, nullptr,
                                   nullptr);
    sqlite3_create_function_v2(db, "mz_user", 0, SQLITE_UTF8 | SQLITE_INNOCUOUS,
                               new std::string(user.empty() ? SystemUser() : user), MzUser, nullptr,
                               nullptr, [](void* name) { delete static_cast<std::string*>(name); });
    // In place of the engine's own, on this connection.
    struct Aggregate {
        const char* name;
        void (*result)(sqlite3_context*);
    };
    static constexpr Aggregate kAggregates[] = {
        {"sum", ExactSumResult<0>}, {"total", ExactSumResult<1>}, {"avg", ExactSumResult<2>}};
    for (const Aggregate& a : kAggregates)
        sqlite3_create_window_function(db, a.name, 1, kPure, nullptr, ExactSumStep<1>, a.result,
                                       a.result, ExactSumStep<-1>, nullptr);
}

// The schema stays trusted: its catalog view (mz_entity_column) reads pragma_table_info, which
// an untrusted schema may not, and the authorizer holds the functions of views and triggers to
// the same list as any statement's.
void GuardConnection(sqlite3* db) {
    static constexpr int kOff[] = {SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER,
                                   SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION,
                                   SQLITE_DBCONFIG_WRITABLE_SCHEMA};
    for (int option : kOff) sqlite3_db_config(db, option, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, static_cast<int>(kSqliteValueLimit));
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, static_cast<int>(kSqliteSqlLimit));
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, static_cast<int>(kSqlitePatternLimit));
    static const bool limited = [] {
        sqlite3_hard_heap_limit64(kSqliteMemoryLimit);
        sqlite3_soft_heap_limit64(kSqliteMemoryLimit / 4);
        return true;
    }();
    (void)limited;
    sqlite3_drop_modules(db, nullptr);  // no virtual table: full text, json, the engine's stats
    sqlite3_set_authorizer(db, &Authorize, nullptr);
}

}  // namespace mz
