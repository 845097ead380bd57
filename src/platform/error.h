// The raised-error channel: every failure that is not a plain error text travels as mz::Error,
// carrying the number, source, description, help file and help context of the platform's error
// state. The error being handled in a catch block is the pending error (see PendingError).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace mz {

// Numbers used by this library's own raised errors.
namespace err {
inline constexpr int32_t kInvalidCall = 5;  // invalid procedure call or argument
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kObjectRequired = 424;
inline constexpr int32_t kNoSuchMember = 438;      // object doesn't support this property or method
inline constexpr int32_t kNoCurrentRecord = 3021;  // BOF or EOF, or no current row
inline constexpr int32_t kItemNotFound = 3265;     // no field of that name
inline constexpr int32_t kBadArguments = 3001;     // bad filter or find criterion
inline constexpr int32_t kObjectClosed = 3704;     // operation on a closed result set
// Errors of the database engine: this base plus the engine's extended result code.
inline constexpr int32_t kDriverBase = static_cast<int32_t>(0x80040000u);
}  // namespace err

class Error : public std::exception {
  public:
    Error() = default;
    Error(int32_t number, std::string source, std::string description, std::string help_file = "",
          int32_t help_context = 0);

    int32_t Number() const { return number_; }
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }
    const std::string& HelpFile() const { return help_file_; }
    int32_t HelpContext() const { return help_context_; }
    const char* what() const noexcept override { return description_.c_str(); }

  private:
    int32_t number_ = 0;
    std::string source_;
    std::string description_;
    std::string help_file_;
    int32_t help_context_ = 0;
};

// The pending error: the mz::Error being handled by the innermost active catch block on this
// thread, or number 0 when none is. Any other exception being handled reads as error 5 with its
// what() as description and source "MZ_report_bus".
Error PendingError();

}  // namespace mz
