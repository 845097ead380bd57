// mzreport lookups import|export DB DIR: an office's own coded lists in and out of a report
// database, one CSV file per lookup table (format in db/lookup_tables.h).
#include <cstdio>

#include "app/command_support.h"
#include "app/commands.h"
#include "db/lookup_tables.h"

namespace mz::app {

int RunLookups(const std::vector<std::string>& all_args) {
    const CommandDef& def = *FindCommand("lookups");
    CommandArgs parsed;
    if (auto status = ParseArgs(def, all_args, parsed)) return *status;
    const std::vector<std::string>& args = parsed.rest;
    if (args[0] != "import" && args[0] != "export")
        return UsageError(def, "unknown action \"" + args[0] + "\" (import or export)");
    const bool import = args[0] == "import";
    const std::string error =
        import ? ImportLookupTables(args[1], args[2]) : ExportLookupTables(args[1], args[2]);
    if (!error.empty()) {
        std::fprintf(stderr, "mzreport lookups %s: %s%s\n", args[0].c_str(), error.c_str(),
                     import ? "; nothing was changed" : "");
        return 1;
    }
    if (import) {
        std::printf("imported the lookup files of %s into %s\n", args[2].c_str(), args[1].c_str());
    } else {
        std::printf("exported the lookup tables of %s to %s\n", args[1].c_str(), args[2].c_str());
    }
    return 0;
}

}  // namespace mz::app
