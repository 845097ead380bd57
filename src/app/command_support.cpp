#include "app/command_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/table_printer.h"

namespace mz::app {

CommandArgs SplitFlags(const std::vector<std::string>& args) {
    static constexpr std::string_view kTimeLimit = "--time-limit=";
    CommandArgs out;
    for (const std::string& a : args) {
        if (a == "--json") {
            out.json = true;
        } else if (a.starts_with(kTimeLimit)) {
            const std::string value = a.substr(kTimeLimit.size());
            char* end = nullptr;
            const double seconds = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(seconds >= 0) || seconds > 1e6) {
                std::fprintf(stderr, "mzreport: %s is not a time limit in seconds\n", a.c_str());
                out.bad_flag = true;
                continue;
            }
            DbConnect::DefaultQueryTimeLimit(
                std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000)));
        } else {
            out.rest.push_back(a);
        }
    }
    return out;
}

std::string ErrorLine(const Error& e) {
    return "Error " + std::to_string(e.Number()) + ": " + e.Description() + " [" + e.Source() + "]";
}

bool OpenReportDatabase(DbConnect& db, const std::string& path, const char* command) {
    if (db.ConnectionVariables(path, "", "", "", false)) return true;
    std::fprintf(stderr, "mzreport %s: %s\n", command, db.ConnectError().c_str());
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
