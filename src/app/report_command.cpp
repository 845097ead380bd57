// mzreport report DB new|amend ID|audit ID|list [--json]: the report versions the component never
// creates itself (a filing, its amendments and audits), made through the schema's procedures on
// a DbConnect as any caller would.
#include <cstdio>
#include <iostream>

#include "app/commands.h"
#include "app/report_versions.h"
#include "app/table_printer.h"
#include "db/db_connect.h"
#include "platform/error.h"

namespace mz::app {

namespace {

constexpr const char* kUsage = "usage: mzreport report DB new|amend ID|audit ID|list [--json]\n";

constexpr const char* kListSql =
    "select report_id, report_group_id, version_order, "
    "kind = case when is_audit = 1 then 'audit' when version_order = 1 then 'original' "
    "else 'amendment' end, based_on_report_id, orig_date "
    "from rpt_report order by report_group_id, version_order";

}  // namespace

int RunReport(const std::vector<std::string>& args) {
    std::vector<std::string> rest;
    bool json = false;
    for (const std::string& a : args) {
        if (a == "--json")
            json = true;
        else
            rest.push_back(a);
    }
    if (rest.size() < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& action = rest[1];
    const bool needs_id = action == "amend" || action == "audit";
    if (!(action == "new" || action == "list" || needs_id) || rest.size() != (needs_id ? 3u : 2u) ||
        (needs_id && !Variant(rest[2]).IsNumeric())) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        DbConnect db;
        if (!db.ConnectionVariables(rest[0], "", "", "", false)) {
            std::fprintf(stderr, "mzreport report: \"%s\" is not a report database\n",
                         rest[0].c_str());
            return 1;
        }
        if (action == "list") {
            ResultSet rs;
            if (std::string error = db.OpenRecordset(kListSql, rs); !error.empty()) {
                std::fprintf(stderr, "mzreport report: %s\n", error.c_str());
                return 1;
            }
            PrintTable(std::cout, TableOf(rs, false), json);
            return 0;
        }
        std::string error;
        const int32_t ref = needs_id ? Variant(rest[2]).ToInt32() : -1;
        const int32_t id = CreateReportVersion(db, action, ref, error);
        if (id < 0) {
            std::fprintf(stderr, "mzreport report: %s\n", error.c_str());
            return 1;
        }
        std::cout << id << "\n";
        return 0;
    } catch (const Error& e) {
        std::cerr << "Error " << e.Number() << ": " << e.Description() << " [" << e.Source()
                  << "]\n";
        return 1;
    }
}

}  // namespace mz::app
