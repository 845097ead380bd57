// Creating report versions (a new filing, an amendment, an audit) and filing them, through the
// report database's procedures, as any caller of DbConnect would. The record classes never create
// versions; the command line, the demo, tests and benchmarks do.
#pragma once

#include <cstdint>
#include <string>

#include "db/db_connect.h"

namespace mz {

// action: "new", "amend" or "audit"; ref: the report amended or audited (ignored for "new"),
// which must be its group's latest version and no audit; it is filed first. Returns the new
// report identifier, or -1 with error set. Engine errors raise.
int32_t CreateReportVersion(DbConnect& db, const std::string& action, int32_t ref,
                            std::string& error);

// Files a report version: from now on the database refuses every change of a row written in it
// but of its notes. "" or the error text (no such report, filed already). Engine errors raise.
std::string FileReportVersion(DbConnect& db, int32_t report_id);

}  // namespace mz
