// Creating report versions (a new filing, an amendment, an audit) through the report database's
// procedures, as any caller of DbConnect would. The record classes never create versions; the
// command line, the demo, tests and benchmarks do.
#pragma once

#include <cstdint>
#include <string>

#include "db/db_connect.h"

namespace mz {

// action: "new", "amend" or "audit"; ref: the report amended or audited (ignored for "new").
// Returns the new report identifier, or -1 with error set. Engine errors raise.
int32_t CreateReportVersion(DbConnect& db, const std::string& action, int32_t ref,
                            std::string& error);

}  // namespace mz
