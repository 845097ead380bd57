#include "app/command_support.h"

#include <cstdio>
#include <iostream>

#include "app/table_printer.h"

namespace mz::app {

CommandArgs SplitJsonFlag(const std::vector<std::string>& args) {
    CommandArgs out;
    for (const std::string& a : args) {
        if (a == "--json")
            out.json = true;
        else
            out.rest.push_back(a);
    }
    return out;
}

std::string ErrorLine(const Error& e) {
    return "Error " + std::to_string(e.Number()) + ": " + e.Description() + " [" + e.Source() + "]";
}

bool OpenReportDatabase(DbConnect& db, const std::string& path, const char* command) {
    if (db.ConnectionVariables(path, "", "", "", false)) return true;
    std::fprintf(stderr, "mzreport %s: \"%s\" is not a report database\n", command, path.c_str());
    return false;
}

int PrintQuery(DbConnect& db, const std::string& sql, bool json, const char* command) {
    ResultSet rs;
    if (std::string error = db.OpenRecordset(sql, rs); !error.empty()) {
        std::fprintf(stderr, "mzreport %s: %s\n", command, error.c_str());
        return 1;
    }
    PrintTable(std::cout, TableOf(rs, false), json);
    return 0;
}

}  // namespace mz::app
