// mzreport: the command line of the report library.
//   mzreport init PATH     create a new, empty report database
//   mzreport demo [PATH]   the main job: build a report database and walk a report through it
//   mzreport shell DB [SCRIPT] [--time-limit=SECONDS]      drive the objects by name
//   mzreport query DB "SQL" [--json] [--time-limit=SECONDS] one T-SQL query, as a table
//   mzreport report DB new|amend ID|audit ID|list [--json]   report versions
//   mzreport lookups import|export DB DIR  the lookup tables as CSV files
//   mzreport diff DB FROM TO [--json]      what changed between two versions of a report
//   mzreport history DB TABLE GROUP_ID [--json]   every version of one row
//   mzreport export DB REPORT DIR [--format csv|json]   a report version, a file per section
//   mzreport print DB REPORT OUT.pdf       a report version as the paper form, a PDF file
// --trace FILE writes a line for every database call (shell, query, report, diff, history,
// export, print).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/commands.h"

namespace {

struct CommandEntry {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>& args);
};

constexpr CommandEntry kCommands[] = {
    {"init", "init PATH            create a new, empty report database", &mz::app::RunInit},
    {"demo", "demo [PATH]          build a report database and walk a report through it",
     &mz::app::RunDemo},
    {"shell",
     "shell DB [SCRIPT] [--time-limit=SECONDS] [--trace FILE]  drive the objects by name, typed "
     "or from a script",
     &mz::app::RunShell},
    {"query",
     "query DB \"SQL\" [--json] [--time-limit=SECONDS] [--trace FILE]  run one T-SQL query as a "
     "record class would",
     &mz::app::RunQuery},
    {"report", "report DB new|amend ID|audit ID|list [--json]  manage report versions",
     &mz::app::RunReport},
    {"lookups", "lookups import|export DB DIR  replace or write the lookup tables as CSV files",
     &mz::app::RunLookups},
    {"diff", "diff DB FROM TO [--json]  what changed between two versions of one report",
     &mz::app::RunDiff},
    {"history", "history DB TABLE GROUP_ID [--json]  every version of one row",
     &mz::app::RunHistory},
    {"export", "export DB REPORT DIR [--format csv|json]  a report version, one file a section",
     &mz::app::RunExport},
    {"print", "print DB REPORT OUT.pdf [--trace FILE]  a report version as the paper form, a PDF",
     &mz::app::RunPrint},
};

int Usage() {
    std::fprintf(stderr, "usage: mzreport <command> [arguments]\n");
    for (const CommandEntry& c : kCommands) std::fprintf(stderr, "  mzreport %s\n", c.usage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    std::string name = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const CommandEntry& c : kCommands)
        if (name == c.name) return c.run(args);
    std::fprintf(stderr, "mzreport: unknown command \"%s\"\n", name.c_str());
    return Usage();
}
