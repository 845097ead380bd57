#include "platform/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "platform/error.h"
#include "platform/text.h"

namespace mz {

namespace {

constexpr const char* kSource = "MZ.Variant";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Reads a number at the start of `s` into `clean` (sign, digits, point, exponent; grouping
// commas dropped when allowed) and returns how many characters it used, 0 when none.
size_t ScanNumber(std::string_view s, std::string& clean, bool allow_commas) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') clean += '-';
        ++i;
    }
    bool digits = false, point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (IsDigit(c)) {
            digits = true;
            clean += c;
        } else if (c == '.' && !point) {
            point = true;
            clean += c;
        } else if (c == ',' && allow_commas && digits && !point) {
            continue;
        } else {
            break;
        }
    }
    if (!digits) return 0;
    // An exponent counts only when digits follow it: "2e" reads as 2.
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            clean += 'e';
            clean.append(s.substr(i + 1, j - i - 1));
            while (j < s.size() && IsDigit(s[j])) clean += s[j++];
            i = j;
        }
    }
    return i;
}

double FromClean(const std::string& clean) {
    double value = 0;
    const auto r = std::from_chars(clean.data(), clean.data() + clean.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone: too small reads as 0, too large as infinity.
        if (clean.find("e-") != std::string::npos) return 0;
        return clean.starts_with('-') ? -std::numeric_limits<double>::infinity()
                                      : std::numeric_limits<double>::infinity();
    }
    return value;
}

// The significant digits of a number's shortest text (its mantissa when in exponent form).
int SignificantDigits(const char* begin, const char* end) {
    int digits = 0, zeros = 0;
    bool leading = true;
    for (const char* p = begin; p != end && *p != 'e'; ++p) {
        if (*p < '0' || *p > '9') continue;
        if (*p == '0' && leading) continue;
        leading = false;
        // Zeros at the end of an integer part are significant only before a further digit.
        if (*p == '0') {
            ++zeros;
        } else {
            digits += zeros + 1;
            zeros = 0;
        }
    }
    return digits;
}

// The whole text as a number ("  -1,234.5 ", "$12"); nullopt otherwise.
std::optional<double> ParseNumeric(std::string_view text) {
    std::string_view s = Trim(text);
    std::string clean;
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s = Trim(s.substr(1));
    }
    if (!s.empty() && s.front() == '$') s = Trim(s.substr(1));
    if (s.empty() || s.front() == '-' || s.front() == '+') return std::nullopt;
    const size_t used = ScanNumber(s, clean, true);
    if (used == 0 || used != s.size()) return std::nullopt;
    const double v = FromClean(clean);
    return negative ? -v : v;
}

// At most 15 significant digits, as the platform shows a Double: a sum of amounts that binary
// fractions have moved off its decimal value (0.1 + 0.2) shows as that value (0.3).
std::string FormatDouble(double d) {
    if (d == 0) return "0";
    char buf[64];
    if (const auto r = std::to_chars(buf, buf + sizeof buf, d);
        SignificantDigits(buf, r.ptr) > 15) {
        std::snprintf(buf, sizeof buf, "%.15g", d);
        d = std::strtod(buf, nullptr);
    }
    const double mag = std::fabs(d);
    if (mag >= 1e-5 && mag < 1e15) {
        const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
        return std::string(buf, r.ptr);
    }
    const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    std::string out(buf, r.ptr);
    for (char& c : out) {
        if (c == 'e') c = 'E';
    }
    return out;
}

[[noreturn]] void ThrowMismatch(const Variant& v, const char* target) {
    throw Error(err::kTypeMismatch, kSource,
                std::string("Type mismatch: cannot convert ") + VarTypeName(v.Type()) + " " +
                    v.Repr() + " to " + target);
}

[[noreturn]] void ThrowOverflow(const Variant& v, const char* target) {
    throw Error(err::kOverflow, kSource,
                std::string("Overflow: ") + v.Repr() + " does not fit in " + target);
}

// Rounds half to even, as the platform's integer conversions do.
double RoundHalfEven(double x) {
    const double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return r;
}

int64_t RoundCurrencyHalfEven(Currency c) {
    const int64_t raw = c.Raw();
    int64_t q = raw / Currency::kScale;
    const int64_t rem = raw % Currency::kScale;
    const int64_t half = Currency::kScale / 2;
    const int64_t abs_rem = rem < 0 ? -rem : rem;
    if (abs_rem > half || (abs_rem == half && q % 2 != 0)) q += raw < 0 ? -1 : 1;
    return q;
}

template <typename Int>
Int ToInteger(const Variant& v, const char* target) {
    constexpr auto lo = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr auto hi = static_cast<double>(std::numeric_limits<Int>::max());
    if (v.Type() == VarType::Currency) {
        const int64_t q = RoundCurrencyHalfEven(v.GetCurrency());
        if (q < std::numeric_limits<Int>::min() || q > std::numeric_limits<Int>::max()) {
            ThrowOverflow(v, target);
        }
        return static_cast<Int>(q);
    }
    double d = 0;
    switch (v.Type()) {
        case VarType::Int16:
            d = v.GetInt16();
            break;
        case VarType::Int32:
            d = v.GetInt32();
            break;
        default:
            d = RoundHalfEven(v.ToDouble());
            break;
    }
    if (!(d >= lo && d <= hi)) ThrowOverflow(v, target);
    return static_cast<Int>(d);
}

}  // namespace

const char* VarTypeName(VarType type) {
    switch (type) {
        case VarType::Empty:
            return "Empty";
        case VarType::Null:
            return "Null";
        case VarType::Boolean:
            return "Boolean";
        case VarType::Int16:
            return "Integer";
        case VarType::Int32:
            return "Long";
        case VarType::Double:
            return "Double";
        case VarType::Currency:
            return "Currency";
        case VarType::Date:
            return "Date";
        case VarType::String:
            return "String";
    }
    return "Unknown";
}

bool Variant::IsNumber() const {
    switch (Type()) {
        case VarType::Boolean:
        case VarType::Int16:
        case VarType::Int32:
        case VarType::Double:
        case VarType::Currency:
            return true;
        default:
            return false;
    }
}

bool Variant::IsNumeric() const {
    if (IsNumber()) return true;
    return IsText() && ParseNumeric(GetString()).has_value();
}

bool Variant::IsDate() const {
    if (Type() == VarType::Date) return true;
    return IsText() && Date::Parse(GetString()).has_value();
}

std::string Variant::ToText() && {
    if (IsText()) return std::move(std::get<std::string>(value_));
    return static_cast<const Variant&>(*this).ToText();
}

std::string Variant::ToText() const& {
    switch (Type()) {
        case VarType::Empty:
        case VarType::Null:
            return "";
        case VarType::Boolean:
            return GetBool() ? "True" : "False";
        case VarType::Int16:
            return std::to_string(GetInt16());
        case VarType::Int32:
            return std::to_string(GetInt32());
        case VarType::Double:
            return FormatDouble(GetDouble());
        case VarType::Currency:
            return GetCurrency().ToString();
        case VarType::Date:
            return GetDate().ToString();
        case VarType::String:
            return GetString();
    }
    return "";
}

double Variant::ToDouble() const {
    switch (Type()) {
        case VarType::Empty:
            return 0;
        case VarType::Null:
            ThrowMismatch(*this, "Double");
        case VarType::Boolean:
            return GetBool() ? -1 : 0;  // the platform's True is -1
        case VarType::Int16:
            return GetInt16();
        case VarType::Int32:
            return GetInt32();
        case VarType::Double:
            return GetDouble();
        case VarType::Currency:
            return GetCurrency().ToDouble();
        case VarType::Date:
            return GetDate().Serial();
        case VarType::String: {
            const auto v = ParseNumeric(GetString());
            if (!v) ThrowMismatch(*this, "Double");
            return *v;
        }
    }
    return 0;
}

int32_t Variant::ToInt32() const {
    return ToInteger<int32_t>(*this, "Long");
}

int16_t Variant::ToInt16() const {
    return ToInteger<int16_t>(*this, "Integer");
}

bool Variant::ToBool() const {
    switch (Type()) {
        case VarType::Empty:
            return false;
        case VarType::Boolean:
            return GetBool();
        case VarType::Currency:
            return GetCurrency().Raw() != 0;
        case VarType::String: {
            const std::string_view s = Trim(GetString());
            if (EqualsNoCase(s, "True")) return true;
            if (EqualsNoCase(s, "False")) return false;
            const auto v = ParseNumeric(s);
            if (!v) ThrowMismatch(*this, "Boolean");
            return *v != 0;
        }
        case VarType::Null:
            ThrowMismatch(*this, "Boolean");
        default:
            return ToDouble() != 0;
    }
}

Currency Variant::ToCurrency() const {
    switch (Type()) {
        case VarType::Empty:
            return Currency();
        case VarType::Null:
            ThrowMismatch(*this, "Currency");
        case VarType::Boolean:
            return Currency::FromRaw(GetBool() ? -Currency::kScale : 0);
        case VarType::Int16:
            return Currency::FromRaw(int64_t{GetInt16()} * Currency::kScale);
        case VarType::Int32:
            return Currency::FromRaw(int64_t{GetInt32()} * Currency::kScale);
        case VarType::Currency:
            return GetCurrency();
        case VarType::String: {
            const auto c = Currency::Parse(GetString());
            if (!c) ThrowMismatch(*this, "Currency");
            return *c;
        }
        default:
            return Currency::FromDouble(ToDouble());
    }
}

Date Variant::ToDate() const {
    switch (Type()) {
        case VarType::Empty:
            return Date();
        case VarType::Null:
            ThrowMismatch(*this, "Date");
        case VarType::Date:
            return GetDate();
        case VarType::String: {
            const auto d = Date::Parse(GetString());
            if (!d) ThrowMismatch(*this, "Date");
            return *d;
        }
        default:
            return Date::FromSerial(ToDouble());
    }
}

double Variant::Val(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    std::string clean;
    if (ScanNumber(text.substr(i), clean, false) == 0) return 0;
    return FromClean(clean);
}

double Variant::Val() const {
    switch (Type()) {
        case VarType::Empty:
        case VarType::Null:
            return 0;
        case VarType::String:
            return Val(GetString());
        case VarType::Date:
            return Val(GetDate().ToString());  // the text's leading number: the month
        default:
            return ToDouble();
    }
}

std::string Variant::Repr() const {
    switch (Type()) {
        case VarType::Empty:
            return "Empty";
        case VarType::Null:
            return "Null";
        case VarType::String:
            return "\"" + GetString() + "\"";
        case VarType::Date:
            return "#" + GetDate().ToString() + "#";
        default:
            return ToText();
    }
}

}  // namespace mz
