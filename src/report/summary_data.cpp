#include "report/summary_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

// The same 40 column parameters for a new row and a changed copy.
constexpr InsertParamDef kInsertParams[] = {
    {"@Sequence", "Sequence"},
    {"@Summary_type_code", "Summary_type_code"},
    {"@Start_year", "start_year"},
    {"@Begin_balance", "begin_balance"},
    {"@Individual_rec", "individual_rec"},
    {"@Individual_agg_rec", "Individual_agg_rec"},
    {"@Old_interest_exp", "old_interest_exp"},
    {"@Party_rec", "party_rec"},
    {"@Committee_rec", "committee_rec"},
    {"@Loan_proceed_rec", "loan_proceed_rec"},
    {"@Refund_rec", "refund_rec"},
    {"@Interest_rec", "interest_rec"},
    {"@Not_for_profit_rec", "not_for_profit_rec"},
    {"@Outside_source_rec", "outside_source_rec"},
    {"@GnS_rec", "gns_rec"},
    {"@Forgiven_loan", "Forgiven_loan"},
    {"@Total_rec", "total_rec"},
    {"@Operating_exp", "operating_exp"},
    {"@Contribution_exp", "contribution_exp"},
    {"@Coordinated_party_exp", "coordinated_party_exp"},
    {"@Loan_repayment_exp", "loan_repayment_exp"},
    {"@Refund_exp", "refund_exp"},
    {"@Inkind_exp", "inkind_exp"},
    {"@Total_exp", "total_exp"},
    {"@End_balance", "end_balance"},
    {"@Nonmonetary_gifts", "nonmonetary_gifts"},
    {"@Outstanding_loans", "outstanding_loans"},
    {"@Debts_by_comm", "debts_by_comm"},
    {"@Debts_to_comm", "debts_to_comm"},
    {"@Account_transfer", "account_transfer"},
    {"@Admin_support", "admin_support"},
    {"@Notice_sum", "notice_sum"},
    {"@Amend_code", "amend_code"},
    {"@Contribution_total_rec", "contribution_total_rec"},
    {"@Individual_total_rec", "individual_total_rec"},
    {"@Total_rec_count", "total_rec_count"},
    {"@contribution_to_reimburse", "contribution_to_reimburse"},
    {"@individual_agg_exp", "individual_agg_exp"},
    {"@legal_expense_other_rec", "legal_expense_other_rec"},
    {"@exempt_sales_rec", "exempt_sales_rec"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_Amount_Summary, "begin_balance", TextLengthDef::kPrecision},
    {mzML_Total_Rec_Count_Summary, "total_rec_count", TextLengthDef::kPrecision},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsSummary_Data";
    info.source_class = "clsSummary_Data";
    info.table = "rpt_summary";
    info.row_tail = "_detail Where unique_id = ";
    info.new_row_tail = " where unique_id is null ";
    info.properties = clsSummary_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.delete_takes_connection = false;
    info.is_new_rule = IsNewRule::FlagOnly;
    info.members = kMemberCurrentCount | kMemberBofEof | kMemberNavigation;
    return info;
}();

constexpr std::string_view kPages = "vw_mz_rpt_page_amount_ref_basic";

// The audit filter of the page-based rows (see the class comment).
std::string PageAuditFilter() {
    const std::string outer(kPages);
    return "and (ref_is_audit = 1 or (ref_is_audit = 0 and group_id not in (    select a.group_id "
           "   from " +
           outer + " a    where a.unique_id <> " + outer +
           ".unique_id    and a.report_group_id = " + outer +
           ".report_group_id    and a.ref_is_audit = 1 ))) ";
}

}  // namespace

clsSummary_Data::clsSummary_Data() : RecordObject(kInfo) {}

const RecordClassInfo& clsSummary_Data::ClassInfo() {
    return kInfo;
}

bool clsSummary_Data::GetDataList(int32_t ReportID, const std::string& RptType, bool IsAudit) {
    if (ReportID == -1) return false;
    SetIsNewFlag(false);
    const std::string id = std::to_string(ReportID);
    std::string sql;
    if (RptType == "4" || RptType == "I") {
        sql = "select 'P' as summary_type_code, max(max_page_amount) as  total_rec";
        if (RptType == "I") {
            sql += ", (    select max(max_page_amount) as  total_rec    from " +
                   std::string(kPages) + "    where ref_report_id = " + id +
                   "    and report_section_code = 'exp' ) as total_exp";
        }
        sql += " from " + std::string(kPages) + " where ref_report_id = " + id +
               " and report_section_code = 'rec' ";
        sql += IsAudit ? PageAuditFilter() : listq::PlainFilter("");
    } else {
        const std::string view = listq::RefView(Info().table);
        sql = "select * from " + view + " f where ref_report_id = " + id +
              " and delete_date is null " +
              (IsAudit ? listq::AuditFilter(view, "f") : listq::PlainFilter(""));
    }
    return LoadList("GetDataList", sql);
}

bool clsSummary_Data::GetDataDetail(int32_t ReportID, const std::string& SummaryCode,
                                    bool IsAudit) {
    if (ReportID == -1) return false;
    SetIsNewFlag(false);
    const std::string view = listq::RefView(Info().table, "_ref_current");
    return LoadList("GetDataDetail", "select * from " + view + " f " +
                                         listq::ReportCondition(ReportID) +
                                         "and f.Summary_type_code = '" + SummaryCode + "' " +
                                         listq::VersionFilter(view, IsAudit, "f"));
}

}  // namespace mz
