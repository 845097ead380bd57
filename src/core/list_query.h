// The fixed pieces from which list and sequence queries are built. Classes compose them with
// their own column lists and conditions; the texts must stay exactly as they are, since the report
// database and the front end's expectations are written against them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mz::listq {

// "vw_mz_" + table + suffix, e.g. RefView("rpt_notes") == "vw_mz_rpt_notes_ref_basic".
std::string RefView(std::string_view table, std::string_view suffix = "_ref_basic");

// "and f.ref_is_audit = 0 " for the alias; with alias "" the unqualified
// "and ref_is_audit = 0 ".
std::string PlainFilter(std::string_view alias = "f");

// The audit form: rows seen through audit versions, plus filed rows whose group has no audit row
// (of another unique_id) in the same report group. view is the full view name the sub-select
// reads, normally the view of the outer query.
std::string AuditFilter(std::string_view view, std::string_view alias = "f");

// PlainFilter(alias) or AuditFilter(view, alias), chosen by IsAudit.
std::string VersionFilter(std::string_view view, bool IsAudit, std::string_view alias = "f");

// "where f.ref_report_id = <id> and f.delete_date is null " (each piece ending in a blank).
std::string ReportCondition(int32_t ReportID, std::string_view where = "where ",
                            std::string_view alias = "f");

// "left outer join ( select * from <view> x where x.ref_report_id = <id> and <the audit filter
// on x> )))) as ": the rows of view seen through report ReportID, audit rows in place of the filed
// rows they replace; the caller names the alias and the join condition next.
std::string AuditSubqueryJoin(std::string_view view, int32_t ReportID);

// The join of the page-amount view as pa, placed between the select part and the report
// condition; the audit form restricts the page rows to the report's audit versions.
std::string PageAmountJoin(int32_t ReportID, bool IsAudit);

// "where f.ref_report_id = <id> " and the deletion test, a class's condition, and the version
// filter on table's view. The audit form puts the condition before the deletion test, the plain
// form after it, as the special lists of receipts, expenditures and debts write them.
std::string ListCondition(std::string_view table, int32_t ReportID, std::string_view condition,
                          bool IsAudit);

// "<where><a>.ref_report_id = <current report> and <a>.delete_date is null and
// <a>.<link> = <parent> " and the version filter on alias a: the items of one parent row seen
// through the current report (the identifier text the object was given, used as it stands).
std::string ItemCondition(std::string_view where, std::string_view alias,
                          std::string_view current_report, std::string_view link, int32_t parent,
                          std::string_view view, bool IsAudit);

// The name of a row's entity as the lists compute it: "last, first", each part Null as ''.
inline constexpr std::string_view kPersonName =
    "isnull(na.last_name,'') + ', ' + isnull(na.first_name,'') ";
// The organisation name when na.is_org is 1 or Null, else kPersonName, as column full_name.
inline constexpr std::string_view kOrgOrPersonName =
    "case isnull(na.is_org, '1') "
    "when '1' then isnull(na.org_name,'') "
    "when '0' then isnull(na.last_name,'') + ', ' + isnull(na.first_name,'') "
    "end as 'full_name', ";

// The plain list of a table: "select * from <ref view> f " + report condition + version filter
// + order.
std::string PlainList(std::string_view table, int32_t ReportID, bool IsAudit,
                      std::string_view order = "");

// "select max(sequence) as sequence from <ref view> f " + report condition + condition + version
// filter. With alias "" the report condition and the plain filter name their columns without
// "f." (the audit filter keeps it), as some classes write them.
std::string NewSequence(std::string_view table, int32_t ReportID, bool IsAudit,
                        std::string_view condition = "", std::string_view alias = "f");

// "SELECT max(sequence) as sequence from <ref view> f Where ..." over the items of one parent
// row (link = parent) in report ReportID, as the expenditure and debt items write it.
std::string NewItemSequence(std::string_view table, int32_t ReportID, std::string_view link,
                            int32_t parent, bool IsAudit);

// A type condition, "and f.<column> = '<code>' ", or "" for an empty code (inserted unchanged).
std::string TypeCondition(std::string_view column, std::string_view code);

}  // namespace mz::listq
