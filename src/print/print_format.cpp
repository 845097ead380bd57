#include "print/print_format.h"

#include <cstdlib>

namespace mz {

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
