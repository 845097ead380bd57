#include "app/command_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/table_printer.h"

namespace mz::app {

namespace {

struct Option {
    const char* name;
    unsigned flag;
};
constexpr Option kOptions[] = {
    {"--json", kFlagJson},   {"--trace", kFlagTrace},          {"--format", kFlagFormat},
    {"--force", kFlagForce}, {"--time-limit", kFlagTimeLimit}, {"--rules", kFlagRules},
};

// An argument that reads as an option: "-x" or "--x", but not a negative number.
bool LooksLikeOption(const std::string& a) {
    return a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9');
}

}  // namespace

int UsageError(const CommandDef& def, const std::string& problem) {
    std::fprintf(stderr, "mzreport %s: %s\nusage: mzreport %s\n", def.name, problem.c_str(),
                 def.usage);
    return 2;
}

std::string CommandHelp(const CommandDef& def) {
    return "usage: mzreport " + std::string(def.usage) + "\n\n" + def.details;
}

std::optional<int> ParseArgs(const CommandDef& def, const std::vector<std::string>& args,
                             CommandArgs& out) {
    static constexpr std::string_view kTimeLimit = "--time-limit=";
    out = CommandArgs();
    bool options_end = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options_end || !LooksLikeOption(a)) {
            out.rest.push_back(a);
            continue;
        }
        if (a == "--") {
            options_end = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            std::cout << CommandHelp(def);
            return 0;
        }
        const std::string name = a.substr(0, a.find('='));
        unsigned flag = 0;
        for (const Option& o : kOptions)
            if (name == o.name) flag = o.flag;
        if ((def.flags & flag) == 0) return UsageError(def, "unknown option \"" + a + "\"");
        if (flag == kFlagTimeLimit) {
            const std::string value = a.starts_with(kTimeLimit) ? a.substr(kTimeLimit.size()) : "";
            char* end = nullptr;
            const double seconds = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(seconds >= 0) || seconds > 1e6)
                return UsageError(def, a + " is not a time limit in seconds");
            DbConnect::DefaultQueryTimeLimit(
                std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000)));
            continue;
        }
        if (name != a) return UsageError(def, "unknown option \"" + a + "\"");
        if (flag == kFlagJson) {
            out.json = true;
        } else if (flag == kFlagForce) {
            out.force = true;
        } else if (i + 1 == args.size()) {
            return UsageError(def, a + " needs a value");
        } else if (flag == kFlagTrace) {
            out.trace = args[++i];
        } else if (flag == kFlagRules) {
            out.rules = args[++i];
        } else {
            out.format = args[++i];
            if (out.format != "csv" && out.format != "json")
                return UsageError(def, "--format \"" + out.format + "\" is not csv or json");
        }
    }
    if (out.rest.size() < def.required)
        return UsageError(def, std::string("missing ") + def.arguments[out.rest.size()]);
    if (out.rest.size() > def.arguments.size())
        return UsageError(def, "unexpected argument \"" + out.rest[def.arguments.size()] + "\"");
    return std::nullopt;
}

bool IsId(const std::string& text) {
    const size_t digits = text.size() - (text.starts_with('-') ? 1 : 0);
    return digits > 0 && digits <= 9 &&
           text.find_first_not_of("0123456789", text.size() - digits) == std::string::npos;
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
