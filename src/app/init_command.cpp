#include <cstdio>

#include "app/command_support.h"
#include "app/commands.h"
#include "db/schema_loader.h"

namespace mz::app {

int RunInit(const std::vector<std::string>& args) {
    CommandArgs a;
    if (auto status = ParseArgs(*FindCommand("init"), args, a)) return *status;
    std::string error = CreateReportDatabase(a.rest[0]);
    if (!error.empty()) {
        std::fprintf(stderr, "mzreport init: %s\n", error.c_str());
        return 1;
    }
    std::printf("created report database %s\n", a.rest[0].c_str());
    return 0;
}

}  // namespace mz::app
