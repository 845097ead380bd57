// mzreport query DB "SQL" [--json] [--time-limit=SECONDS]: one T-SQL text through
// DbConnect.OpenRecordset, exactly as a record class sends it, printed as a table.
#include <cstdio>
#include <iostream>

#include "app/command_support.h"
#include "app/commands.h"
#include "db/db_connect.h"
#include "platform/error.h"

namespace mz::app {

int RunQuery(const std::vector<std::string>& args) {
    const CommandArgs a = SplitFlags(args);
    if (a.bad_flag || a.rest.size() != 2) {
        std::fprintf(stderr, "usage: mzreport query DB \"SQL\" [--json] [--time-limit=SECONDS]\n");
        return 2;
    }
    try {
        DbConnect db;
        if (!OpenReportDatabase(db, a.rest[0], "query")) return 1;
        return PrintQuery(db, a.rest[1], a.json, "query");
    } catch (const Error& e) {
        std::cerr << ErrorLine(e) << "\n";
        return 1;
    }
}

}  // namespace mz::app
