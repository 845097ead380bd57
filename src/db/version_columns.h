// The columns that versioning adds to every versioned table (db/versioned_table.h), for the tools
// outside the database layer that read rows across versions (diffs, row histories).
#pragma once

#include <string_view>

namespace mz {

// True for a column every versioned table shares and only the versioning reads: the row's
// identifiers, its version range and audit flag, its dates and users. False for a table's own
// columns and for the shared ones a "C" copy carries over like them (sequence, page_amount_id).
// Compared without case.
bool IsVersionBookkeeping(std::string_view column);

}  // namespace mz
