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
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") {
            out.json = true;
        } else if (a == "--trace" || a == "--format") {
            if (i + 1 == args.size()) {
                std::fprintf(stderr, "mzreport: %s needs a value\n", a.c_str());
                out.bad_flag = true;
                continue;
            }
            (a == "--trace" ? out.trace : out.format) = args[++i];
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

bool CommandTrace::Start(const std::string& path, const char* command) {
    if (path.empty()) return true;
    file_.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file_) {
        std::fprintf(stderr, "mzreport %s: cannot write the trace to \"%s\"\n", command,
                     path.c_str());
        return false;
    }
    observer_.emplace(std::make_shared<TraceWriter>(file_));
    return true;
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
    // Printed as the rows come: a long answer is never held whole.
    TableStream stream(std::cout, json);
    bool begun = false;
    const std::string error = db.StreamRecordset(sql, [&](ResultSet& batch) {
        Table rows = TableOf(batch, false);
        if (!begun) stream.Begin(rows.columns);
        begun = true;
        stream.Rows(rows.rows);
    });
    if (!error.empty()) {
        std::fprintf(stderr, "mzreport %s: %s\n", command, error.c_str());
        return 1;
    }
    stream.End();
    return 0;
}

}  // namespace mz::app
