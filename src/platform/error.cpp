#include "platform/error.h"

#include <utility>

namespace mz {

Error::Error(int32_t number, std::string source, std::string description, std::string help_file,
             int32_t help_context)
    : number_(number),
      source_(std::move(source)),
      description_(std::move(description)),
      help_file_(std::move(help_file)),
      help_context_(help_context) {}

Error PendingError() {
    const std::exception_ptr pending = std::current_exception();
    if (!pending) return Error();
    try {
        std::rethrow_exception(pending);
    } catch (const Error& e) {
        return e;
    } catch (const std::exception& e) {
        return Error(err::kInvalidCall, "MZ_report_bus", e.what());
    } catch (...) {
        return Error(err::kInvalidCall, "MZ_report_bus", "Unknown error");
    }
}

}  // namespace mz
