// The last chapter of `mzreport demo`: one report with a row in every section (cover, summary,
// pages, receipts and their items, expenditures and theirs, debts, committee records, notes),
// filed, amended and audited through the object model, then what each section's list shows in
// each version, side by side.
#pragma once

#include <string>

#include "app/demo_narrator.h"
#include "db/db_connect.h"

namespace mz::app {

// False when a step did not give what it should.
bool RunWholeReportDemo(Narrator& say, const std::string& db_path, DbConnect& db);

}  // namespace mz::app
