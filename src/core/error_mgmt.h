// The one routine through which every operation with an error path hands a failure to its
// caller. It never logs and never shows anything.
#pragma once

#include <cstdint>
#include <string>

namespace mz::modErrorMgmt {

// Re-raises the pending error (the one handled by the innermost active catch) as mz::Error with
// " (" + Source + ")" appended to its source. Description is appended to the pending
// description, or replaces it when UseDescriptionAsIs. A non-zero Number replaces the pending
// number. Returns, raising nothing, when the resulting number is 0 (no error pending): that is
// how a soft failure becomes a plain False.
void ReportError(const std::string& Source, const std::string& Description, bool UseDescriptionAsIs,
                 int32_t& Number);

}  // namespace mz::modErrorMgmt
