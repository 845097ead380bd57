// What happened to a report, from its version columns (history/):
//   mzreport diff DB FROM TO [--json]                  what changed between two versions
//   mzreport history DB TABLE GROUP_ID [--json]        every version of one row
//   mzreport export DB REPORT DIR [--format csv|json]  every section of a version as files
// Each also takes --trace FILE.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_support.h"
#include "app/commands.h"
#include "app/history_printer.h"
#include "history/report_export.h"
#include "history/version_diff.h"

namespace mz::app {
namespace {

struct HistoryCommand {
    const char* name;
    const char* usage;
    size_t arguments;         // after DB
    std::vector<size_t> ids;  // the positions among them of identifiers
    bool takes_format;
};

// A decimal identifier a 32-bit integer holds.
bool IsId(const std::string& text) {
    const size_t digits = text.size() - (text.starts_with('-') ? 1 : 0);
    return digits > 0 && digits <= 9 &&
           text.find_first_not_of("0123456789", text.size() - digits) == std::string::npos;
}

// The database's own error texts and raised errors both end the command with status 1.
template <class Run>
int RunHistoryCommand(const HistoryCommand& c, const std::vector<std::string>& all_args,
                      Run&& run) {
    const CommandArgs a = SplitFlags(all_args);
    bool usable = !a.bad_flag && a.rest.size() == c.arguments + 1 &&
                  (c.takes_format ? !a.json : a.format.empty());
    if (usable && c.takes_format)
        usable = a.format.empty() || a.format == "csv" || a.format == "json";
    for (const size_t i : c.ids) usable = usable && IsId(a.rest[i + 1]);
    if (!usable) {
        std::fprintf(stderr, "usage: mzreport %s\n", c.usage);
        return 2;
    }
    CommandTrace trace;
    if (!trace.Start(a.trace, c.name)) return 1;
    try {
        DbConnect db;
        if (!OpenReportDatabase(db, a.rest[0], c.name)) return 1;
        if (std::string error = run(db, a); !error.empty()) {
            std::fprintf(stderr, "mzreport %s: %s\n", c.name, error.c_str());
            return 1;
        }
        return 0;
    } catch (const Error& e) {
        std::cerr << ErrorLine(e) << "\n";
        return 1;
    }
}

int32_t Id(const std::string& text) {
    return static_cast<int32_t>(std::stol(text));
}

}  // namespace

int RunDiff(const std::vector<std::string>& args) {
    static const HistoryCommand c{
        "diff", "diff DB FROM TO [--json] [--trace FILE]", 2, {0, 1}, false};
    return RunHistoryCommand(c, args, [](DbConnect& db, const CommandArgs& a) {
        VersionDiff diff;
        std::string error = DiffReportVersions(db, Id(a.rest[1]), Id(a.rest[2]), diff);
        if (error.empty()) PrintDiff(std::cout, diff, a.json);
        return error;
    });
}

int RunHistory(const std::vector<std::string>& args) {
    static const HistoryCommand c{
        "history", "history DB TABLE GROUP_ID [--json] [--trace FILE]", 2, {1}, false};
    return RunHistoryCommand(c, args, [](DbConnect& db, const CommandArgs& a) {
        RowHistory history;
        std::string error = ReadRowHistory(db, a.rest[1], Id(a.rest[2]), history);
        if (error.empty()) PrintHistory(std::cout, history, a.json);
        return error;
    });
}

int RunExport(const std::vector<std::string>& args) {
    static const HistoryCommand c{
        "export", "export DB REPORT DIR [--format csv|json] [--trace FILE]", 2, {0}, true};
    return RunHistoryCommand(c, args, [](DbConnect& db, const CommandArgs& a) {
        std::vector<std::string> files;
        std::string error =
            ExportReport(db, Id(a.rest[1]), a.rest[2],
                         a.format == "json" ? ExportFormat::kJson : ExportFormat::kCsv, &files);
        for (const std::string& f : files) std::cout << f << "\n";
        return error;
    });
}

}  // namespace mz::app
