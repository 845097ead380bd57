// Creating report versions (a new filing, an amendment, an audit) through the report database's
// procedures, as any caller of DbConnect would. Shared by `mzreport report` and the demo.
#pragma once

#include <cstdint>
#include <string>

#include "db/db_connect.h"

namespace mz::app {

// action: "new", "amend" or "audit"; ref: the report amended or audited (ignored for "new").
// Returns the new report identifier, or -1 with error set. Engine errors raise.
int32_t CreateReportVersion(DbConnect& db, const std::string& action, int32_t ref,
                            std::string& error);

}  // namespace mz::app
