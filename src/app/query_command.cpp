// mzreport query DB "SQL" [--json] [--time-limit=SECONDS] [--trace FILE]: one T-SQL text through
// DbConnect.OpenRecordset, exactly as a record class sends it, printed as a table.
#include <cstdio>
#include <iostream>

#include "app/command_support.h"
#include "app/commands.h"
#include "db/db_connect.h"
#include "platform/error.h"

namespace mz::app {

int RunQuery(const std::vector<std::string>& args) {
    CommandArgs a;
    if (auto status = ParseArgs(*FindCommand("query"), args, a)) return *status;
    CommandTrace trace;
    if (!trace.Start(a.trace, "query")) return 1;
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
