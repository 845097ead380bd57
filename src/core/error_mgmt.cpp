#include "core/error_mgmt.h"

#include "platform/error.h"

namespace mz::modErrorMgmt {

void ReportError(const std::string& Source, const std::string& Description, bool UseDescriptionAsIs,
                 int32_t& Number) {
    const Error pending = PendingError();
    const int32_t number = Number != 0 ? Number : pending.Number();
    if (number == 0) return;
    std::string source = pending.Source() + " (" + Source + ")";
    std::string description =
        UseDescriptionAsIs ? Description : pending.Description() + Description;
    throw Error(number, std::move(source), std::move(description), pending.HelpFile(),
                pending.HelpContext());
}

}  // namespace mz::modErrorMgmt
