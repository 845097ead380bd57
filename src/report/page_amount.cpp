#include "report/page_amount.h"

#include "core/list_query.h"

namespace mz {

namespace {

constexpr InsertParamDef kInsertParams[] = {
    {"@Report_section_code", "report_section_code"},
    {"@Report_section_type_code", "report_section_type_code"},
    {"@Actual_page_number", "actual_page_number"},
    {"@Current_page_number", "current_page_number"},
    {"@Max_page_number", "max_page_number"},
    {"@Current_page_amount", "current_page_amount"},
    {"@Max_page_amount", "max_page_amount"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_CurrentPageAmount_PageAmount, "current_page_amount", TextLengthDef::kPrecision},
    {mzML_MaxPageAmount_PageAmount, "max_page_amount", TextLengthDef::kPrecision},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsPage_Amount";
    info.source_class = "clsPage_Amount";
    info.table = "rpt_page_amount";
    info.row_head = "select * from vw_mz_";
    info.new_row_tail = " where unique_id is null ";
    info.properties = clsPage_Amount::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.delete_takes_connection = false;
    info.is_new_rule = IsNewRule::FlagOnly;
    info.members = kMemberCount | kMemberCurrentCount | kMemberBofEof | kMemberNavigation |
                   kMemberListFilter | kMemberIsNewLet;
    return info;
}();

constexpr std::string_view kPageView = "vw_mz_rpt_page_amount_ref_current";

// The schedules whose pages are listed with the type their items count under: the items joined
// as r (the versioned view in the audit form, the table otherwise) and the type they count under.
struct Schedule {
    std::string_view section;    // "rec"
    std::string_view item_view;  // joined in the audit form
    std::string_view item_table;
    std::string_view type;  // the computed section type
    bool excludes_otln;     // outstanding loans are pages of their own
    std::string_view group_tail;
};

constexpr Schedule kReceipts{
    "rec",
    "vw_mz_rpt_receipts_ref_current",
    "rpt_receipts",
    "case isnull(r.is_aggregated, 0) when '1' then 'AGG' when '0' then r.receipt_type_code end",
    true,
    "r.is_aggregated , r.receipt_type_code ",
};
constexpr Schedule kExpenditures{
    "exp",
    "vw_mz_rpt_expenditures_ref_current",
    "rpt_expenditures",
    "case when isnull(r.is_aggregated, 0) = '1' and r.expenditure_type_code in ('oper', 'ccpc', "
    "'cpe')  then 'AGG' else r.expenditure_type_code end",
    false,
    "r.is_aggregated , r.expenditure_type_code ",
};

// Which statement a list sends, by GetDataList's rules.
const Schedule* ComputedTypes(const std::string& section, const std::string& type) {
    if (type.empty()) return nullptr;
    if (section == "exp") return &kExpenditures;
    if (section == "rec" && type != "otln") return &kReceipts;
    return nullptr;
}

// The join of the schedule's items and the page conditions up to the version filter. Without
// IsAudit the version test reads ref_is_audit unqualified (filtered) or on p (totals); the items
// table r has is_audit_row instead, so both name the page's column.
std::string ItemJoin(const Schedule& s, int32_t ReportID, bool IsAudit, std::string_view join_end,
                     std::string_view section_condition, std::string_view plain_filter) {
    std::string sql;
    if (IsAudit) {
        sql =
            listq::AuditSubqueryJoin(s.item_view, ReportID) + "r on p.group_id = r.page_amount_id ";
    } else {
        sql = "left outer join ";
        sql.append(s.item_table).append(" r on p.group_id = r.page_amount_id").append(join_end);
    }
    sql += "where p.ref_report_id = " + std::to_string(ReportID) + " ";
    sql.append(section_condition);
    sql += IsAudit ? listq::AuditFilter(kPageView, "p") : std::string(plain_filter);
    return sql;
}

constexpr std::string_view kTotalsGroup =
    "group by report_section_type_code, p.max_page_number, p.max_page_amount";

}  // namespace

clsPage_Amount::clsPage_Amount() : RecordObject(kInfo) {}

const RecordClassInfo& clsPage_Amount::ClassInfo() {
    return kInfo;
}

bool clsPage_Amount::GetDataLinked(int32_t GroupID, bool IsAudit) {
    return Guarded("GetDataLinked", false, [&] {
        CloseRows();
        if (GroupID == -1) return false;
        // Cleared before the load, so a page found here is the page: its save updates it, and
        // no blank row is added for a flag a GetData() before left set.
        SetIsNewFlag(false);
        const std::string view = listq::RefView(Info().table, "_ref_current");
        const std::string sql = "SELECT * from " + view + " f " +
                                "Where ref_report_id = " + CurrReportID() + " " +
                                "and group_id = " + std::to_string(GroupID) + " " +
                                listq::VersionFilter(view, IsAudit, "f");
        if (!Open(sql)) return false;
        return !(Rows()->BOF() && Rows()->EOF());
    });
}

std::string clsPage_Amount::PageList(int32_t ReportID, const std::string& ReportSection,
                                     const std::string& ReportSectionType, bool IsAudit) const {
    const std::string id = std::to_string(ReportID);
    const std::string view = listq::RefView(Info().table, "_ref_current");
    const std::string order = "order by report_section_type_code, p.actual_page_number ";
    if (const Schedule* s = ComputedTypes(ReportSection, ReportSectionType)) {
        std::string sql =
            "select distinct p.unique_id, p.group_id, isnull(p.actual_page_number, 0) as "
            "actual_page_number, isnull(p.current_page_number, 0) as current_page_number, "
            "isnull(p.current_page_amount, 0) as current_page_amount, isnull(p.max_page_number, "
            "0) as max_page_number, isnull(p.max_page_amount, 0) as max_page_amount, "
            "report_section_type_code = ";
        sql.append(s->type).append(" from ").append(view).append(" p ");
        sql += ItemJoin(
            *s, ReportID, IsAudit, "  ",
            "and p.delete_date is null and p.report_section_code = '" + ReportSection + "' ",
            "and ref_is_audit = 0 ");
        if (s->excludes_otln) sql += "and p.report_section_type_code != 'otln' ";
        sql.append("order by ").append(s->type).append(", isnull(p.actual_page_number, 0)");
        return sql;
    }
    std::string sql =
        "select unique_id, group_id, isnull(actual_page_number, 0) as actual_page_number, "
        "isnull(current_page_number, 0) as current_page_number, isnull(current_page_amount, 0) "
        "as current_page_amount, isnull(max_page_number, 0) as max_page_number, "
        "isnull(max_page_amount, 0) as max_page_amount, report_section_type_code from " +
        view + " p where ref_report_id = " + id + " and delete_date is null " +
        "and report_section_code = '" + ReportSection + "' " +
        (IsAudit ? listq::AuditFilter(view, "p") : listq::PlainFilter(""));
    if (ReportSectionType.empty()) return sql + order;
    return sql + "and report_section_type_code = '" + ReportSectionType + "' " + order;
}

bool clsPage_Amount::GetDataList(int32_t ReportID, const std::string& ReportSection,
                                 const std::string& ReportSectionType, bool IsAudit) {
    SetCount(0);
    if (ReportID == -1) return false;
    SetIsNewFlag(false);
    return LoadList("GetDataList", PageList(ReportID, ReportSection, ReportSectionType, IsAudit));
}

std::string clsPage_Amount::TotalList(int32_t ReportID, const std::string& ReportSection,
                                      const std::string& ReportSectionType, bool IsAudit) const {
    std::string sql;
    if (const Schedule* s = ComputedTypes(ReportSection, ReportSectionType)) {
        sql = "select report_section_type_code = ";
        sql.append(s->type).append(", p.max_page_number , p.max_page_amount from ");
        sql.append(kPageView).append(" p ");
        sql += ItemJoin(*s, ReportID, IsAudit, " ",
                        "and p.report_section_code = '" + std::string(s->section) + "' ",
                        "and p.ref_is_audit = 0 ");
        if (s->excludes_otln) sql += "and report_section_type_code != 'otln' ";
        sql.append(kTotalsGroup).append(", ").append(s->group_tail);
    } else {
        const std::string view = listq::RefView(Info().table, "_ref_current");
        sql = "select report_section_type_code, max_page_number, max_page_amount from " + view +
              " p Where ref_report_id = " + std::to_string(ReportID) +
              " and delete_date is null and report_section_code = '" + ReportSection + "' " +
              (IsAudit ? listq::AuditFilter(view, "p") : listq::PlainFilter(""));
        if (!ReportSectionType.empty()) {
            sql += "and report_section_type_code = '" + ReportSectionType + "' ";
            sql.append(kTotalsGroup).append(" ");
        }
    }
    if (sql.find("group by") == std::string::npos) sql.append(kTotalsGroup).append(" ");
    return sql;
}

bool clsPage_Amount::GetDataTotalList(int32_t ReportID, const std::string& ReportSection,
                                      const std::string& ReportSectionType, bool IsAudit) {
    SetCount(0);
    SetIsNewFlag(false);
    if (ReportID == -1) return false;
    return LoadList("GetDataTotalList",
                    TotalList(ReportID, ReportSection, ReportSectionType, IsAudit));
}

bool clsPage_Amount::UpdateMaxTotals(int32_t ReportID, int32_t MaxNumber, double MaxAmount,
                                     const std::string& ReportSection,
                                     const std::string& ReportSectionType) {
    return Guarded("UpdateMaxTotals", false, [&] {
        DbConnect& db = Connection();
        if (!db.CreateCommand("sp_misc_rpt_page_amount_update").empty()) return false;
        db.AddParameter("@Report_id", Variant(ReportID));
        db.AddParameter("@report_section_code", Variant(ReportSection));
        if (!ReportSectionType.empty())
            db.AddParameter("@report_section_type_code", Variant(ReportSectionType));
        db.AddParameter("@Max_page_number", Variant(MaxNumber));
        db.AddParameter("@Max_page_amount", Variant(MaxAmount));
        if (!db.ExecuteCommand().empty()) return false;
        db.ClearCommand();
        return true;
    });
}

int32_t clsPage_Amount::GetPageItemCount(const std::string& ReportSection, int32_t PageAmountID,
                                         bool IsAudit) {
    SetCount(-1);
    SetIsNewFlag(false);
    if (PageAmountID == -1) return -1;
    const std::string view = "vw_mz_rpt_" + ReportSection + "_ref_current";
    const std::string sql = "select count(*) as count from " + view + " f " +
                            "where f.ref_report_id = " + CurrReportID() + " " +
                            "and f.page_amount_id = " + std::to_string(PageAmountID) + " " +
                            listq::VersionFilter(view, IsAudit, "f");
    return Guarded("GetPageItemCount", int32_t{0}, [&] {
        if (!Open(sql)) return int32_t{0};
        SetCount(Rows()->Value("Count").ToInt32());
        return Count();
    });
}

int32_t clsPage_Amount::GetPageItems(const std::string& ReportSection, int32_t PageAmountID,
                                     bool IsAudit) {
    SetCount(-1);
    SetIsNewFlag(false);
    if (PageAmountID == -1) return -1;
    const std::string view = "vw_mz_rpt_" + ReportSection + "_ref_current";
    return Guarded("GetPageItems", int32_t{0}, [&] {
        const std::string sql = "select * from " + view + " f " +
                                "where f.ref_report_id = " + std::to_string(ReportID()) + " " +
                                "and f.delete_date is null " +
                                "and f.page_amount_id = " + std::to_string(PageAmountID) +
                                listq::VersionFilter(view, IsAudit, "f") + "order by f.sequence ";
        if (!Open(sql)) return int32_t{0};
        // A page without items has no first row: reading its count raises (3021), and Count
        // keeps -1.
        SetCount(Rows()->Value("Count").ToInt32());
        return Count();
    });
}

}  // namespace mz
