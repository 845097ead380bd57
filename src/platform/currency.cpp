#include "platform/currency.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/error.h"

namespace mz {

namespace {

constexpr const char* kSource = "MZ.Currency";

[[noreturn]] void ThrowOverflow(const std::string& what) {
    throw Error(err::kOverflow, kSource, "Overflow: " + what + " does not fit in Currency");
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The significant digits of a decimal number and where its point sits: value = 0.d1d2d3... *
// 10^point. Leading zeros are dropped so `point` is exact for the range check.
struct Decimal {
    std::string digits;
    int64_t point = 0;
    bool negative = false;
};

// Converts to ten-thousandths, rounding half away from zero; nullopt when it does not fit.
std::optional<int64_t> ToRaw(const Decimal& d) {
    const int64_t scaled = d.point + 4;  // digits that land left of the raw value's point
    if (scaled > 19) return std::nullopt;
    uint64_t raw = 0;  // 19 digits and a rounding carry stay below 2^64
    for (int64_t i = 0; i < scaled; ++i) {
        const size_t at = static_cast<size_t>(i);
        raw = raw * 10 + (at < d.digits.size() ? static_cast<unsigned>(d.digits[at] - '0') : 0u);
    }
    if (scaled >= 0 && static_cast<size_t>(scaled) < d.digits.size() &&
        d.digits[static_cast<size_t>(scaled)] >= '5') {
        ++raw;
    }
    const uint64_t limit =
        static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (d.negative ? 1 : 0);
    if (raw > limit) return std::nullopt;
    if (!d.negative) return static_cast<int64_t>(raw);
    if (raw == limit) return std::numeric_limits<int64_t>::min();
    return -static_cast<int64_t>(raw);
}

// Reads [digits with optional grouping commas][.digits][e[+-]digits]; false unless all of `s`
// is consumed and at least one digit was seen.
bool ScanDecimal(std::string_view s, Decimal& out) {
    size_t i = 0;
    bool any_digit = false;
    bool seen_point = false;
    int64_t int_digits = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (IsDigit(c)) {
            any_digit = true;
            if (out.digits.empty() && c == '0') {
                if (seen_point) --int_digits;  // 0.00x: each zero moves the point
                continue;
            }
            out.digits.push_back(c);
            if (!seen_point) ++int_digits;
        } else if (c == ',' && !seen_point && any_digit) {
            continue;
        } else if (c == '.' && !seen_point) {
            seen_point = true;
        } else {
            break;
        }
    }
    if (!any_digit) return false;
    int64_t exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool exp_negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) exp_negative = s[i++] == '-';
        if (i >= s.size() || !IsDigit(s[i])) return false;
        for (; i < s.size() && IsDigit(s[i]); ++i) {
            if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
        }
        if (exp_negative) exponent = -exponent;
    }
    if (i != s.size()) return false;
    while (!out.digits.empty() && out.digits.back() == '0') out.digits.pop_back();
    out.point = out.digits.empty() ? 0 : int_digits + exponent;
    return true;
}

}  // namespace

Currency Currency::FromDouble(double value) {
    if (!std::isfinite(value)) ThrowOverflow("a value that is not finite");
    // Fast path for the common case, a stored amount with at most four decimals.
    const double scaled = value * static_cast<double>(kScale);
    if (std::fabs(scaled) < 9.0e14) {
        const double rounded = std::nearbyint(scaled);
        if (std::fabs(scaled - rounded) < 1e-6) return FromRaw(static_cast<int64_t>(rounded));
    }
    // Through the shortest decimal text, so 1.00005 rounds as written, not as its binary
    // neighbour 1.0000499999...
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
    Decimal d;
    if (!text.empty() && text.front() == '-') {
        d.negative = true;
        text.remove_prefix(1);
    }
    ScanDecimal(text, d);
    const auto raw = ToRaw(d);
    if (!raw) ThrowOverflow(std::string(buf, res.ptr));
    return FromRaw(*raw);
}

std::optional<Currency> Currency::Parse(std::string_view text) {
    // The stored form, [-]digits[.up to 4 digits], is what lists load on every row.
    {
        size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
        const size_t first = i;
        int64_t whole = 0;
        while (i < text.size() && i - first < 14 && text[i] >= '0' && text[i] <= '9')
            whole = whole * 10 + (text[i++] - '0');
        int64_t frac = 0, scale = kScale;
        if (i > first && i < text.size() && text[i] == '.') {
            for (++i; i < text.size() && scale > 1 && text[i] >= '0' && text[i] <= '9'; ++i)
                frac = frac * 10 + (text[i] - '0'), scale /= 10;
        }
        if (i > first && i == text.size()) {
            const int64_t raw = whole * kScale + frac * scale;
            return FromRaw(first ? -raw : raw);
        }
    }
    std::string_view s = Trim(text);
    bool negative = false;
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        negative = true;
        s = Trim(s.substr(1, s.size() - 2));
    }
    // Sign and money sign in either order: "-$12", "$-12".
    for (int k = 0; k < 2 && !s.empty(); ++k) {
        if (s.front() == '$') {
            s = Trim(s.substr(1));
        } else if (s.front() == '-' || s.front() == '+') {
            if (s.front() == '-') negative = !negative;
            s = Trim(s.substr(1));
        }
    }
    Decimal d;
    d.negative = negative;
    if (!ScanDecimal(s, d)) return std::nullopt;
    const auto raw = ToRaw(d);
    if (!raw) ThrowOverflow("\"" + std::string(text) + "\"");
    return FromRaw(*raw);
}

std::string Currency::ToString() const {
    const bool negative = raw_ < 0;
    const uint64_t magnitude = negative ? static_cast<uint64_t>(0) - static_cast<uint64_t>(raw_)
                                        : static_cast<uint64_t>(raw_);
    std::string out = negative ? "-" : "";
    out += std::to_string(magnitude / kScale);
    uint64_t frac = magnitude % kScale;
    if (frac != 0) {
        char digits[5] = {};
        for (int i = 3; i >= 0; --i) {
            digits[i] = static_cast<char>('0' + frac % 10);
            frac /= 10;
        }
        int len = 4;
        while (digits[len - 1] == '0') --len;
        out += '.';
        out.append(digits, static_cast<size_t>(len));
    }
    return out;
}

std::string Currency::Grouped(int places) const {
    places = places < 2 ? 2 : places > 4 ? 4 : places;
    uint64_t step = 1;
    for (int i = places; i < 4; ++i) step *= 10;
    const uint64_t magnitude = raw_ < 0 ? static_cast<uint64_t>(0) - static_cast<uint64_t>(raw_)
                                        : static_cast<uint64_t>(raw_);
    const uint64_t rounded = (magnitude + step / 2) / step * step;
    const std::string units = std::to_string(rounded / kScale);
    std::string out = raw_ < 0 && rounded != 0 ? "-" : "";
    for (size_t i = 0; i < units.size(); ++i) {
        if (i > 0 && (units.size() - i) % 3 == 0) out += ',';
        out += units[i];
    }
    std::string fraction = std::to_string(rounded % kScale + kScale).substr(1);
    while (fraction.size() > 2 && fraction.back() == '0') fraction.pop_back();
    return out + "." + fraction;
}

Currency Currency::operator+(Currency other) const {
    int64_t sum = 0;
    if (__builtin_add_overflow(raw_, other.raw_, &sum)) {
        ThrowOverflow(ToString() + " + " + other.ToString());
    }
    return FromRaw(sum);
}

Currency Currency::operator-(Currency other) const {
    int64_t diff = 0;
    if (__builtin_sub_overflow(raw_, other.raw_, &diff)) {
        ThrowOverflow(ToString() + " - " + other.ToString());
    }
    return FromRaw(diff);
}

}  // namespace mz
