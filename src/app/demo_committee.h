// The committee chapter of `mzreport demo`: two bank accounts and the officers on the cover page,
// a transfer between the accounts shown on its page, support items in type order, and an
// amendment that replaces an officer.
#pragma once

#include <string>

#include "app/demo_narrator.h"
#include "db/db_connect.h"

namespace mz::app {

// Runs the chapter on the report database at db_path (it files reports of its own through db).
// False when a step did not give what it should.
bool RunCommitteeDemo(Narrator& say, const std::string& db_path, DbConnect& db);

}  // namespace mz::app
