// How the printed report writes its values, and the rule that holds a page's printed total
// against its items. The report check applies the same rule; CheckPageTotal is the one place the
// printed report computes it.
#pragma once

#include <span>
#include <string>

#include "platform/currency.h"
#include "platform/variant.h"

namespace mz {

// A date as "mm/dd/yyyy" (a time of day is not printed); a text that is not a date as it stands;
// Null and Empty as "".
std::string PrintedDate(const Variant& value);

// The outcome of a page's total against the items printed on it.
struct PageTotalCheck {
    Currency items_sum;  // the sum of the items' amounts
    bool matches = true;
};
PageTotalCheck CheckPageTotal(Currency page_total, std::span<const Currency> item_amounts);

}  // namespace mz
