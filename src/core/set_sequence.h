// clsSetSequence: asks the report database to shift the sequence numbers of a range of rows of
// one report section by an increment ("sp_misc_RPT_sequence_update"), inside a transaction on its
// own connection. It holds nothing but that connection. Not copyable.
#pragma once

#include <cstdint>
#include <string>

#include "db/db_connect.h"
#include "platform/variant.h"

namespace mz {

class clsSetSequence {
  public:
    clsSetSequence() = default;
    clsSetSequence(const clsSetSequence&) = delete;
    clsSetSequence& operator=(const clsSetSequence&) = delete;

    bool ConnectionVariables(const std::string& DatabaseName, const std::string& Source,
                             const std::string& UsrName, const std::string& Pass, bool UseTrusted);

    // Always returns Empty. A soft failure (an error text) rolls back quietly; a raised error is
    // rolled back and re-raised with " (clsSetSequence.SetSequence)" appended to its source.
    // A bound of 0 is sent as Null (that side of the range stays open).
    Variant SetSequence(int32_t ReportID, int32_t LinkID, const std::string& ReportSection,
                        int32_t PageID, int32_t LowEnd, int32_t HighEnd, int32_t Increment = 1);

    DbConnect& Connection() { return db_; }

  private:
    DbConnect db_;
};

}  // namespace mz
