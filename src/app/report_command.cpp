// mzreport report DB new|file ID|amend ID|audit ID|list [--json]: the report versions the
// component never creates itself (a filing, its amendments and audits), made and filed through
// the schema's procedures on a DbConnect as any caller would.
#include <cstdio>
#include <iostream>

#include "app/command_support.h"
#include "app/commands.h"
#include "app/table_printer.h"
#include "core/list_query.h"
#include "core/report_versions.h"
#include "db/db_connect.h"
#include "platform/error.h"

namespace mz::app {

namespace {

// Every version with what its cover says: filed (and when) or still open; the current version of a
// group is its latest. The cover a
// version sees is its own or an inherited one, an audit's own cover in place of the filed one.
std::string ListSql() {
    return "select r.report_id, r.report_group_id, r.version_order, "
           "kind = case when r.is_audit = 1 then 'audit' when r.version_order = 1 "
           "then 'original' else 'amendment' end, "
           "r.based_on_report_id, "
           "state = case when r.filed_date is null then 'open' else 'filed' end, r.filed_date, "
           "is_current = case when r.version_order = (select max(g.version_order) "
           "from rpt_report g where g.report_group_id = r.report_group_id) then 1 else 0 end, "
           "committee = isnull(na.full_name, c.fund_name), c.report_name, "
           "period_from = c.Begin_date, period_to = c.end_date "
           "from rpt_report r "
           "left outer join vw_mz_rpt_cover_ref_basic c on c.ref_report_id = r.report_id "
           "and c.delete_date is null and ((r.is_audit = 0 and c.ref_is_audit = 0) "
           "or (r.is_audit = 1 " +
           listq::AuditFilter("vw_mz_rpt_cover_ref_basic", "c") +
           ")) "
           "left outer join vw_mz_rpt_name_address_detail na on na.unique_id = c.entity_id "
           "order by r.report_group_id, r.version_order";
}

// The list, with is_current as True or False.
int PrintList(DbConnect& db, bool json) {
    ResultSet rs;
    if (std::string error = db.OpenRecordset(ListSql(), rs); !error.empty()) {
        std::fprintf(stderr, "mzreport report: %s\n", error.c_str());
        return 1;
    }
    Table table = TableOf(rs, false);
    for (size_t c = 0; c < table.columns.size(); ++c) {
        if (table.columns[c] != "is_current") continue;
        for (auto& row : table.rows) row[c] = Variant(row[c].ToInt32() != 0);
    }
    PrintTable(std::cout, table, json);
    return 0;
}

}  // namespace

int RunReport(const std::vector<std::string>& args) {
    const CommandDef& def = *FindCommand("report");
    CommandArgs parsed;
    if (auto status = ParseArgs(def, args, parsed)) return *status;
    const std::vector<std::string>& rest = parsed.rest;
    const std::string& action = rest[1];
    const bool needs_id = action == "amend" || action == "audit" || action == "file";
    if (!(action == "new" || action == "list" || needs_id))
        return UsageError(def,
                          "unknown action \"" + action + "\" (new, file, amend, audit or list)");
    if (needs_id && rest.size() == 2) return UsageError(def, "missing ID after " + action);
    if (!needs_id && rest.size() == 3)
        return UsageError(def, "unexpected argument \"" + rest[2] + "\"");
    if (needs_id && !IsId(rest[2]))
        return UsageError(def, "\"" + rest[2] + "\" is not a report id");
    CommandTrace trace;
    if (!trace.Start(parsed.trace, "report")) return 1;
    try {
        DbConnect db;
        if (!OpenReportDatabase(db, rest[0], "report")) return 1;
        if (action == "list") return PrintList(db, parsed.json);
        std::string error;
        const int32_t ref = needs_id ? std::stoi(rest[2]) : -1;
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
