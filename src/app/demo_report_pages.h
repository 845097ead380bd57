// The report pages chapter of `mzreport demo`: a report filed with its cover, receipts and
// expenditures spread over printed pages, the pages totalled and their highest numbers set, the
// summary page derived from them; then an amendment that changes the cover and adds receipts,
// and the filed and the amended version side by side.
#pragma once

#include <string>

namespace mz::app {

// Runs the chapter on an existing report database (it adds reports of its own) and prints each
// step. True when every step gave what it should.
bool RunReportPagesDemo(const std::string& db_path);

}  // namespace mz::app
