// Creating a new, empty report database at the current schema version from the schema files.
#pragma once

#include <string>

namespace mz {

// Creates the report database file at path. Returns "" or an error text; refuses an existing
// file, and leaves no file behind when it fails.
std::string CreateReportDatabase(const std::string& path);

}  // namespace mz
