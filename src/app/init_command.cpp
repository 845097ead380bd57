#include <cstdio>

#include "app/commands.h"
#include "db/schema_loader.h"

namespace mz::app {

int RunInit(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: mzreport init PATH\n");
        return 2;
    }
    std::string error = CreateReportDatabase(args[0]);
    if (!error.empty()) {
        std::fprintf(stderr, "mzreport init: %s\n", error.c_str());
        return 1;
    }
    std::printf("created report database %s\n", args[0].c_str());
    return 0;
}

}  // namespace mz::app
