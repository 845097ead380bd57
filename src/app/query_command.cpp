// mzreport query DB "SQL" [--json]: one T-SQL text through DbConnect.OpenRecordset, exactly as a
// record class sends it, printed as a table.
#include <cstdio>
#include <iostream>

#include "app/commands.h"
#include "app/table_printer.h"
#include "db/db_connect.h"
#include "platform/error.h"

namespace mz::app {

int RunQuery(const std::vector<std::string>& args) {
    std::vector<std::string> rest;
    bool json = false;
    for (const std::string& a : args) {
        if (a == "--json")
            json = true;
        else
            rest.push_back(a);
    }
    if (rest.size() != 2) {
        std::fprintf(stderr, "usage: mzreport query DB \"SQL\" [--json]\n");
        return 2;
    }
    try {
        DbConnect db;
        if (!db.ConnectionVariables(rest[0], "", "", "", false)) {
            std::fprintf(stderr, "mzreport query: \"%s\" is not a report database\n",
                         rest[0].c_str());
            return 1;
        }
        ResultSet rs;
        if (std::string error = db.OpenRecordset(rest[1], rs); !error.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        PrintTable(std::cout, TableOf(rs, false), json);
        return 0;
    } catch (const Error& e) {
        std::cerr << "Error " << e.Number() << ": " << e.Description() << " [" << e.Source()
                  << "]\n";
        return 1;
    }
}

}  // namespace mz::app
