// A calendar date with an optional time of day, as the front end and the database exchange it.
// Text forms: "mm/dd/yyyy" (what record properties hand out), the default "m/d/yyyy"
// (with " h:mm:ss AM/PM" only when a time is carried) and ISO "yyyy-mm-dd[ hh:mm:ss]"
// (how the embedded database stores dates). Copyable on purpose.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mz {

class Date {
  public:
    Date() = default;  // 12/30/1899, the zero date
    // REQUIRES: a valid calendar date (see IsValid); throws Error 5 otherwise.
    Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

    static bool IsValid(int year, int month, int day);
    // Accepts "m/d/yyyy", "mm/dd/yyyy" and ISO "yyyy-mm-dd", each optionally followed by a time
    // ("hh:mm[:ss]" with optional AM/PM, or ISO "Thh:mm:ss"). nullopt for anything else,
    // including impossible dates such as 02/30/2005.
    static std::optional<Date> Parse(std::string_view text);
    static Date Today();
    static Date Now();

    int Year() const { return year_; }
    int Month() const { return month_; }
    int Day() const { return day_; }
    int Hour() const { return seconds_ / 3600; }
    int Minute() const { return seconds_ / 60 % 60; }
    int Second() const { return seconds_ % 60; }
    bool HasTime() const { return seconds_ != 0; }
    Date DateOnly() const { return Date(year_, month_, day_); }

    std::string ToMdy() const;     // "mm/dd/yyyy"
    std::string ToString() const;  // "m/d/yyyy" plus " h:mm:ss AM" when a time is carried
    std::string ToIso() const;     // "yyyy-mm-dd" plus " hh:mm:ss" when a time is carried
    // Days since 12/30/1899 plus the fraction of the day, the date's numeric value.
    double Serial() const;
    static Date FromSerial(double serial);

    auto operator<=>(const Date&) const = default;

  private:
    int16_t year_ = 1899;
    int8_t month_ = 12;
    int8_t day_ = 30;
    int32_t seconds_ = 0;  // seconds since midnight
};

}  // namespace mz
