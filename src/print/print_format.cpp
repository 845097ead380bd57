#include "print/print_format.h"

#include <cstdlib>

namespace mz {

std::string PrintedMoney(Currency amount) {
    const int64_t raw = amount.Raw();
    const int64_t magnitude = raw < 0 ? -raw : raw;  // a Currency never holds INT64_MIN's worth
    const int64_t cents = (magnitude + Currency::kScale / 200) / (Currency::kScale / 100);
    std::string digits = std::to_string(cents / 100);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    const int64_t fraction = cents % 100;
    grouped += '.';
    grouped += static_cast<char>('0' + fraction / 10);
    grouped += static_cast<char>('0' + fraction % 10);
    return (raw < 0 && cents != 0 ? "-" : "") + grouped;
}

std::string PrintedDate(const Variant& value) {
    if (value.Type() == VarType::Date) return value.GetDate().ToMdy();
    std::string text = value.ToText();
    if (const auto date = Date::Parse(text)) return date->ToMdy();
    return text;
}

PageTotalCheck CheckPageTotal(Currency page_total, std::span<const Currency> item_amounts) {
    PageTotalCheck check;
    for (const Currency amount : item_amounts) check.items_sum += amount;
    check.matches = check.items_sum == page_total;
    return check;
}

}  // namespace mz
