// What happened to a report, from its version columns (history/):
//   mzreport diff DB FROM TO [--json]                  what changed between two versions
//   mzreport history DB TABLE GROUP_ID [--json]        every version of one row
//   mzreport export DB REPORT DIR [--format csv|json] [--force]  every section as files
// Each also takes --trace FILE.
#include <cstdio>
#include <filesystem>
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

// The positions among the arguments after DB that hold identifiers, and what each identifies.
struct IdArgument {
    size_t position;
    const char* what;
};

// The database's own error texts and raised errors both end the command with status 1.
template <class Run>
int RunHistoryCommand(const char* name, std::vector<IdArgument> ids,
                      const std::vector<std::string>& all_args, Run&& run) {
    const CommandDef& def = *FindCommand(name);
    CommandArgs a;
    if (auto status = ParseArgs(def, all_args, a)) return *status;
    for (const IdArgument& id : ids) {
        const std::string& text = a.rest[id.position + 1];
        if (!IsId(text)) return UsageError(def, "\"" + text + "\" is not " + id.what);
    }
    CommandTrace trace;
    if (!trace.Start(a.trace, name)) return 1;
    try {
        DbConnect db;
        if (!OpenReportDatabase(db, a.rest[0], name)) return 1;
        if (std::string error = run(db, a); !error.empty()) {
            std::fprintf(stderr, "mzreport %s: %s\n", name, error.c_str());
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
    return RunHistoryCommand("diff", {{0, "a report id"}, {1, "a report id"}}, args,
                             [](DbConnect& db, const CommandArgs& a) {
                                 VersionDiff diff;
                                 std::string error =
                                     DiffReportVersions(db, Id(a.rest[1]), Id(a.rest[2]), diff);
                                 if (error.empty()) PrintDiff(std::cout, diff, a.json);
                                 return error;
                             });
}

int RunHistory(const std::vector<std::string>& args) {
    return RunHistoryCommand(
        "history", {{1, "a group id"}}, args, [](DbConnect& db, const CommandArgs& a) {
            RowHistory history;
            std::string error = ReadRowHistory(db, a.rest[1], Id(a.rest[2]), history);
            if (error.empty()) PrintHistory(std::cout, history, a.json);
            return error;
        });
}

int RunExport(const std::vector<std::string>& args) {
    return RunHistoryCommand(
        "export", {{0, "a report id"}}, args, [](DbConnect& db, const CommandArgs& a) {
            // Files of an earlier export, or of anything else, are replaced only when asked.
            std::error_code ec;
            const std::filesystem::path dir(a.rest[2]);
            if (!a.force && std::filesystem::exists(dir, ec) &&
                !(std::filesystem::is_directory(dir, ec) && std::filesystem::is_empty(dir, ec)))
                return "\"" + a.rest[2] +
                       "\" exists and is not an empty folder; nothing was written "
                       "(--force writes into it).";
            std::vector<std::string> files;
            std::string error =
                ExportReport(db, Id(a.rest[1]), a.rest[2],
                             a.format == "json" ? ExportFormat::kJson : ExportFormat::kCsv, &files);
            for (const std::string& f : files) std::cout << f << "\n";
            return error;
        });
}

}  // namespace mz::app
