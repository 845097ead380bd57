// Money: a fixed-point number with four decimal places, held as a 64-bit count of
// ten-thousandths so sums of amounts are exact. Copyable on purpose.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mz {

class Currency {
  public:
    static constexpr int64_t kScale = 10000;

    constexpr Currency() = default;
    static constexpr Currency FromRaw(int64_t ten_thousandths) {
        Currency c;
        c.raw_ = ten_thousandths;
        return c;
    }
    // Rounds half away from zero to four decimals. Throws Error 6 "Overflow" out of range.
    static Currency FromDouble(double value);
    // Parses "-1234.5", "1,234.50", "$12"; nullopt when the text is not a number.
    static std::optional<Currency> Parse(std::string_view text);

    constexpr int64_t Raw() const { return raw_; }
    double ToDouble() const { return static_cast<double>(raw_) / kScale; }
    // Shortest text: "12.5", "-3", "0.0001" (no grouping, no trailing zeros).
    std::string ToString() const;
    // As a treasurer reads it: "1,234.50", "-0.05", "0.00". Thousands grouped, rounded half away
    // from zero to `places` decimals (2 to 4), at least two shown and zeros past two left off.
    std::string Grouped(int places = 2) const;

    // Exact arithmetic; overflow throws Error 6 "Overflow".
    Currency operator+(Currency other) const;
    Currency operator-(Currency other) const;
    Currency operator-() const { return FromRaw(-raw_); }
    Currency& operator+=(Currency other) { return *this = *this + other; }
    Currency& operator-=(Currency other) { return *this = *this - other; }

    constexpr auto operator<=>(const Currency&) const = default;

  private:
    int64_t raw_ = 0;
};

}  // namespace mz
