// The receipts chapter of `mzreport demo`: contributions from individuals aggregated over a
// period, a loan with its endorsers, an in-kind gift with its items, an amendment that changes one
// receipt and deletes another, and a deletion that cascades to items, notes and names.
#pragma once

#include <string>

namespace mz::app {

// Runs the chapter on an existing report database (it adds a report of its own) and prints each
// step. True when every step gave what it should.
bool RunReceiptsDemo(const std::string& db_path);

}  // namespace mz::app
