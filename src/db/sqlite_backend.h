// The embedded SQLite report database behind the Backend contract. Private to the db layer.
#pragma once

#include <memory>
#include <string>

#include "db/backend.h"

namespace mz {

// Opens settings.database_name, which must be an existing report database of a known schema
// version; null with error set otherwise (nothing is created).
std::unique_ptr<Backend> OpenSqliteBackend(const ConnectionSettings& settings, std::string& error);

// The schema version this library reads and writes.
int KnownSchemaVersion();

}  // namespace mz
