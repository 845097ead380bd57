// The lookup-lists chapter of `mzreport demo`: a coded list windowed on two dates, a code found
// and translated, a filter set on the municipalities and cleared, the sub-types a filer may file.
#pragma once

#include <string>

#include "app/demo_narrator.h"

namespace mz::app {

// Runs the chapter on the seeded report database at db_path. False when a list did not load.
bool RunLookupsDemo(Narrator& say, const std::string& db_path);

}  // namespace mz::app
