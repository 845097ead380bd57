// The expenditures-and-debts chapter of `mzreport demo`: operating expenditures with their items,
// small payments reported as one aggregated line, a contribution to another committee, a debt
// with its entries, an amendment that pays part of the debt and deletes an expenditure, an audit
// note, and a deletion that cascades to items, notes and names; with the totals per type.
#pragma once

#include <string>

namespace mz::app {

// Runs the chapter on an existing report database (it adds a report of its own) and prints each
// step. Returns true when every step gave what it should.
bool RunExpendituresDemo(const std::string& db_path);

}  // namespace mz::app
