// The history chapter of `mzreport demo`: the diff of an amendment and the history of the
// contribution it changed, as `mzreport diff` and `mzreport history` print them.
#pragma once

#include <string>

#include "app/demo_narrator.h"
#include "db/db_connect.h"

namespace mz::app {

// Files, amends and audits a report of its own through db on the database at db_path. False when
// a step did not give what it should.
bool RunHistoryDemo(Narrator& say, const std::string& db_path, DbConnect& db);

}  // namespace mz::app
