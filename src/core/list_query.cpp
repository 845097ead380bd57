#include "core/list_query.h"

namespace mz::listq {

namespace {

std::string Qualified(std::string_view alias) {
    return alias.empty() ? std::string() : std::string(alias) + ".";
}

}  // namespace

std::string RefView(std::string_view table, std::string_view suffix) {
    std::string view = "vw_mz_";
    view.append(table).append(suffix);
    return view;
}

std::string PlainFilter(std::string_view alias) {
    return "and " + Qualified(alias) + "ref_is_audit = 0 ";
}

std::string AuditFilter(std::string_view view, std::string_view alias) {
    const std::string a(alias);
    std::string sql;
    sql.reserve(256);
    sql += "and (" + a + ".ref_is_audit = 1 ";
    sql += "or (" + a + ".ref_is_audit = 0 ";
    sql += "and " + a + ".group_id not in ( ";
    sql += "   select group_id ";
    sql += "   from ";
    sql.append(view);
    sql += " ";
    sql += "   where unique_id <> " + a + ".unique_id ";
    sql += "   and report_group_id = " + a + ".report_group_id ";
    sql += "   and ref_is_audit = 1 ";
    sql += "))) ";
    return sql;
}

std::string VersionFilter(std::string_view view, bool IsAudit, std::string_view alias) {
    return IsAudit ? AuditFilter(view, alias) : PlainFilter(alias);
}

std::string ReportCondition(int32_t ReportID, std::string_view where, std::string_view alias) {
    const std::string q = Qualified(alias);
    std::string sql(where);
    sql += q + "ref_report_id = " + std::to_string(ReportID) + " ";
    sql += "and " + q + "delete_date is null ";
    return sql;
}

std::string PageAmountJoin(int32_t ReportID, bool IsAudit) {
    if (!IsAudit) {
        return "left outer join vw_mz_rpt_page_amount_ref_basic pa on f.page_amount_id = "
               "pa.group_id "
               "   and f.ref_report_id = pa.ref_report_id "
               "   and pa.delete_date is null "
               "   and pa.ref_is_audit = 0 ";
    }
    return AuditSubqueryJoin("vw_mz_rpt_page_amount_ref_basic", ReportID) +
           "pa on pa.group_id = f.page_amount_id "
           "   and f.ref_report_id = pa.ref_report_id "
           "   and pa.delete_date is null ";
}

std::string AuditSubqueryJoin(std::string_view view, int32_t ReportID) {
    std::string sql =
        "left outer join ( "
        "   select * from ";
    sql.append(view);
    sql +=
        " x "
        "   where x.ref_report_id = " +
        std::to_string(ReportID) +
        " "
        "   and (x.ref_is_audit = 1 "
        "   or (x.ref_is_audit = 0 "
        "   and x.group_id not in ( "
        "      select group_id "
        "      From ";
    sql.append(view);
    sql +=
        " "
        "      Where unique_id <> x.unique_id "
        "      and report_group_id = x.report_group_id "
        "      and ref_is_audit = 1 "
        "   )))) as ";
    return sql;
}

std::string PlainList(std::string_view table, int32_t ReportID, bool IsAudit,
                      std::string_view order) {
    const std::string view = RefView(table);
    std::string sql = "select * from " + view + " f ";
    sql += ReportCondition(ReportID);
    sql += VersionFilter(view, IsAudit);
    sql.append(order);
    return sql;
}

std::string NewSequence(std::string_view table, int32_t ReportID, bool IsAudit,
                        std::string_view condition, std::string_view alias) {
    const std::string view = RefView(table);
    std::string sql = "select max(sequence) as sequence from " + view + " f ";
    sql += ReportCondition(ReportID, "where ", alias);
    sql.append(condition);
    sql += IsAudit ? AuditFilter(view) : PlainFilter(alias);
    return sql;
}

std::string NewItemSequence(std::string_view table, int32_t ReportID, std::string_view link,
                            int32_t parent, bool IsAudit) {
    const std::string view = RefView(table);
    std::string sql = "SELECT max(sequence) as sequence from " + view + " f ";
    sql += ReportCondition(ReportID, "Where ");
    sql += "and f.";
    sql.append(link);
    sql += " = " + std::to_string(parent) + " ";
    return sql + VersionFilter(view, IsAudit);
}

std::string TypeCondition(std::string_view column, std::string_view code) {
    if (code.empty()) return "";
    std::string sql = "and f.";
    sql.append(column).append(" = '").append(code).append("' ");
    return sql;
}

std::string ListCondition(std::string_view table, int32_t ReportID, std::string_view condition,
                          bool IsAudit) {
    if (!IsAudit) {
        std::string sql = ReportCondition(ReportID);
        sql.append(condition);
        return sql + PlainFilter();
    }
    std::string sql = "where f.ref_report_id = " + std::to_string(ReportID) + " ";
    sql.append(condition);
    sql += "and f.delete_date is null ";
    return sql + AuditFilter(RefView(table));
}

std::string ItemCondition(std::string_view where, std::string_view alias,
                          std::string_view current_report, std::string_view link, int32_t parent,
                          std::string_view view, bool IsAudit) {
    const std::string a(alias);
    std::string sql(where);
    sql += a + ".ref_report_id = ";
    sql.append(current_report);
    sql += " and " + a + ".delete_date is null ";
    sql += "and " + a + ".";
    sql.append(link);
    sql += " = " + std::to_string(parent) + " ";
    return sql + VersionFilter(view, IsAudit, alias);
}

}  // namespace mz::listq
