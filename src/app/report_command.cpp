// mzreport report DB new|file ID|amend ID|audit ID|list [--json]: the report versions the
// component never creates itself (a filing, its amendments and audits), made and filed through
// the schema's procedures on a DbConnect as any caller would.
#include <cstdio>
#include <iostream>

#include "app/command_support.h"
#include "app/commands.h"
#include "core/report_versions.h"
#include "db/db_connect.h"
#include "platform/error.h"

namespace mz::app {

namespace {

constexpr const char* kUsage =
    "usage: mzreport report DB new|file ID|amend ID|audit ID|list [--json] [--trace FILE]\n";

constexpr const char* kListSql =
    "select report_id, report_group_id, version_order, "
    "kind = case when is_audit = 1 then 'audit' when version_order = 1 then 'original' "
    "else 'amendment' end, based_on_report_id, orig_date "
    "from rpt_report order by report_group_id, version_order";

}  // namespace

int RunReport(const std::vector<std::string>& args) {
    const CommandArgs parsed = SplitFlags(args);
    const std::vector<std::string>& rest = parsed.rest;
    if (parsed.bad_flag || !parsed.format.empty() || rest.size() < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& action = rest[1];
    const bool needs_id = action == "amend" || action == "audit" || action == "file";
    if (!(action == "new" || action == "list" || needs_id) || rest.size() != (needs_id ? 3u : 2u) ||
        (needs_id && !Variant(rest[2]).IsNumeric())) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    CommandTrace trace;
    if (!trace.Start(parsed.trace, "report")) return 1;
    try {
        DbConnect db;
        if (!OpenReportDatabase(db, rest[0], "report")) return 1;
        if (action == "list") return PrintQuery(db, kListSql, parsed.json, "report");
        std::string error;
        const int32_t ref = needs_id ? Variant(rest[2]).ToInt32() : -1;
        const int32_t id = action == "file"
                               ? ((error = FileReportVersion(db, ref)).empty() ? ref : -1)
                               : CreateReportVersion(db, action, ref, error);
        if (id < 0) {
            std::fprintf(stderr, "mzreport report: %s\n", error.c_str());
            return 1;
        }
        std::cout << id << "\n";
        return 0;
    } catch (const Error& e) {
        std::cerr << ErrorLine(e) << "\n";
        return 1;
    }
}

}  // namespace mz::app
