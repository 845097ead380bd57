#include "platform/date.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/error.h"

namespace mz {

namespace {

constexpr const char* kSource = "MZ.Date";
constexpr int kSecondsPerDay = 86400;
// Serials of 1/1/100 and 12/31/9999, the range a Date holds.
constexpr double kMinSerial = -657434.0;
constexpr double kMaxSerial = 2958466.0;

// Days since 1/1/1970 of a proleptic Gregorian date (H. Hinnant's civil-days algorithm).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

const int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A cursor over the text being parsed.
struct Scanner {
    std::string_view s;
    size_t i = 0;

    bool AtEnd() const { return i >= s.size(); }
    char Peek() const { return AtEnd() ? '\0' : s[i]; }
    bool Eat(char c) {
        if (Peek() != c) return false;
        ++i;
        return true;
    }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(s[i])) ++i;
    }
    // Reads 1..max_digits digits; sets `count` to how many were read.
    bool Number(int max_digits, int& value, int& count) {
        value = 0;
        count = 0;
        while (!AtEnd() && IsDigit(s[i]) && count < max_digits) {
            value = value * 10 + (s[i] - '0');
            ++i;
            ++count;
        }
        return count > 0 && (AtEnd() || !IsDigit(s[i]));
    }
};

// "hh:mm[:ss[.fff]]" with an optional AM/PM, from the scanner's position to the end of the text.
bool ParseTime(Scanner& sc, int& seconds) {
    int hour = 0, minute = 0, second = 0, n = 0;
    if (!sc.Number(2, hour, n) || !sc.Eat(':') || !sc.Number(2, minute, n) || n != 2) return false;
    if (sc.Eat(':')) {
        if (!sc.Number(2, second, n) || n != 2) return false;
        if (sc.Eat('.')) {
            while (IsDigit(sc.Peek())) ++sc.i;  // fractions of a second are dropped
        }
    }
    sc.SkipBlanks();
    if (!sc.AtEnd()) {
        const char c = Lower(sc.Peek());
        if ((c != 'a' && c != 'p') || sc.i + 2 != sc.s.size() || Lower(sc.s[sc.i + 1]) != 'm') {
            return false;
        }
        if (hour < 1 || hour > 12) return false;
        hour %= 12;
        if (c == 'p') hour += 12;
        sc.i += 2;
    }
    if (hour > 23 || minute > 59 || second > 59) return false;
    seconds = hour * 3600 + minute * 60 + second;
    return true;
}

[[noreturn]] void ThrowInvalid(int year, int month, int day, int hour, int minute, int second) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Invalid date: %d/%d/%d %d:%02d:%02d", month, day, year, hour,
                  minute, second);
    throw Error(err::kInvalidCall, kSource, buf);
}

}  // namespace

Date::Date(int year, int month, int day, int hour, int minute, int second) {
    if (!IsValid(year, month, day) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59) {
        ThrowInvalid(year, month, day, hour, minute, second);
    }
    year_ = static_cast<int16_t>(year);
    month_ = static_cast<int8_t>(month);
    day_ = static_cast<int8_t>(day);
    seconds_ = hour * 3600 + minute * 60 + second;
}

bool Date::IsValid(int year, int month, int day) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::optional<Date> Date::Parse(std::string_view text) {
    // The stored forms, yyyy-mm-dd and a server's yyyy-mm-dd hh:mm:ss, are what lists load on
    // every row: read them straight off.
    if ((text.size() == 10 ||
         (text.size() == 19 && text[10] == ' ' && text[13] == ':' && text[16] == ':')) &&
        text[4] == '-' && text[7] == '-') {
        constexpr size_t kDigits[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
        const size_t n = text.size() == 10 ? 8 : 14;
        int v[14];
        bool digits = true;
        for (size_t k = 0; k < n; ++k) {
            v[k] = text[kDigits[k]] - '0';
            digits = digits && v[k] >= 0 && v[k] <= 9;
        }
        if (digits) {
            const int year = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
            const int month = v[4] * 10 + v[5], day = v[6] * 10 + v[7];
            if (!IsValid(year, month, day)) return std::nullopt;
            Date d(year, month, day);
            if (n == 14) {
                const int h = v[8] * 10 + v[9], m = v[10] * 10 + v[11], sec = v[12] * 10 + v[13];
                if (h > 23 || m > 59 || sec > 59) return std::nullopt;
                d.seconds_ = h * 3600 + m * 60 + sec;
            }
            return d;
        }
    }
    Scanner sc{text};
    sc.SkipBlanks();
    while (!sc.s.empty() && IsBlank(sc.s.back())) sc.s.remove_suffix(1);
    int a = 0, b = 0, c = 0, na = 0, nb = 0, nc = 0;
    int year = 0, month = 0, day = 0;
    if (!sc.Number(4, a, na)) return std::nullopt;
    if (na == 4 && sc.Eat('-')) {  // ISO yyyy-mm-dd
        if (!sc.Number(2, b, nb) || !sc.Eat('-') || !sc.Number(2, c, nc)) return std::nullopt;
        year = a, month = b, day = c;
    } else if (na <= 2 && sc.Eat('/')) {  // m/d/yyyy, or m/d/yy with a 1930-2029 window
        if (!sc.Number(2, b, nb) || !sc.Eat('/') || !sc.Number(4, c, nc)) return std::nullopt;
        if (nc == 2) {
            c += c < 30 ? 2000 : 1900;
        } else if (nc != 4) {
            return std::nullopt;
        }
        year = c, month = a, day = b;
    } else {
        return std::nullopt;
    }
    if (!IsValid(year, month, day)) return std::nullopt;
    int seconds = 0;
    if (!sc.AtEnd()) {
        if (sc.Peek() == 'T' || sc.Peek() == 't') {
            ++sc.i;
        } else if (IsBlank(sc.Peek())) {
            sc.SkipBlanks();
        } else {
            return std::nullopt;
        }
        if (!ParseTime(sc, seconds) || !sc.AtEnd()) return std::nullopt;
    }
    Date d(year, month, day);
    d.seconds_ = seconds;
    return d;
}

Date Date::Today() {
    return Now().DateOnly();
}

Date Date::Now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return Date(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                tm.tm_sec > 59 ? 59 : tm.tm_sec);
}

std::string Date::ToMdy() const {
    // By hand: lists format a date per row and property, and snprintf dominated that.
    std::string out = "00/00/0000";
    auto put = [&out](size_t at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            out[at + static_cast<size_t>(i)] = static_cast<char>('0' + value % 10);
    };
    put(0, Month(), 2);
    put(3, Day(), 2);
    put(6, Year(), 4);
    return out;
}

std::string Date::ToString() const {
    char buf[40];
    int n = std::snprintf(buf, sizeof buf, "%d/%d/%d", Month(), Day(), Year());
    if (HasTime()) {
        const int h12 = Hour() % 12 == 0 ? 12 : Hour() % 12;
        std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n), " %d:%02d:%02d %s", h12,
                      Minute(), Second(), Hour() < 12 ? "AM" : "PM");
    }
    return buf;
}

std::string Date::ToIso() const {
    char buf[40];
    int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", Year(), Month(), Day());
    if (HasTime()) {
        std::snprintf(buf + n, sizeof buf - static_cast<size_t>(n), " %02d:%02d:%02d", Hour(),
                      Minute(), Second());
    }
    return buf;
}

double Date::Serial() const {
    const double days = static_cast<double>(DaysFromCivil(year_, month_, day_) - kEpochDays);
    const double fraction = static_cast<double>(seconds_) / kSecondsPerDay;
    // Before the zero date the whole part counts days back while the fraction still counts
    // the time forward: -1.25 is 12/29/1899 6:00 AM.
    return days < 0 ? days - fraction : days + fraction;
}

Date Date::FromSerial(double serial) {
    if (!(serial > kMinSerial - 1 && serial < kMaxSerial)) {
        throw Error(err::kOverflow, kSource,
                    "Overflow: " + std::to_string(serial) + " is outside the range of dates");
    }
    int64_t days = static_cast<int64_t>(std::trunc(serial));
    int64_t seconds = std::llround(std::fabs(serial - static_cast<double>(days)) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        days += serial < 0 ? -1 : 1;
    }
    int year = 0, month = 0, day = 0;
    CivilFromDays(days + kEpochDays, year, month, day);
    if (year < 100 || year > 9999) {
        throw Error(err::kOverflow, kSource,
                    "Overflow: " + std::to_string(serial) + " is outside the range of dates");
    }
    Date d(year, month, day);
    d.seconds_ = static_cast<int32_t>(seconds);
    return d;
}

}  // namespace mz
