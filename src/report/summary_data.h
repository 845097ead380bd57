// clsSummary_Data: a report's summary page: the opening balance, the receipt and expenditure
// totals by kind, the closing balance and the outstanding loans and debts, as money, plus a few
// counts and codes. A report version may hold several summary rows, told apart by their summary
// type code. For some report types the summary is not stored but derived from the page rows
// (rpt_page_amount): GetDataList then loads one computed row of type 'P' with only
// summary_type_code, total_rec and (type "I") total_exp; any other property raises on it.
//
// DeleteData always works on the own connection and owns its transaction; a summary row has no
// children.
//
// The audit form of the page-based rows. Without IsAudit they read the page rows seen through the
// report as filed ("and ref_is_audit = 0 "). With IsAudit they take the version filter every list
// uses: the audit rows, and the filed rows whose group has no audit row in the report group. The
// page view is read without an alias there, so the filter names the outer row by the view's name
// and aliases the view it looks in as a. It restricts the receipt pages the statement reads; the
// expenditure pages of type "I" are read by a sub-select of their own that no filter reaches, as
// they are without IsAudit.
#pragma once

#include <cstdint>
#include <string>

#include "core/record_object.h"
#include "core/row_properties.h"

namespace mz {

enum mzMaxLength_Summary : int32_t {
    mzML_Amount_Summary = 1,
    mzML_Total_Rec_Count_Summary = 2,
};

class clsSummary_Data : public RecordObject {
  public:
    clsSummary_Data();
    static const RecordClassInfo& ClassInfo();

    // The summary of report ReportID: for RptType "4" the page-based row of the receipt pages,
    // for "I" (exactly) that of the receipt and expenditure pages, else the stored rows. False,
    // with nothing loaded, for -1.
    bool GetDataList(int32_t ReportID = -1, const std::string& RptType = "", bool IsAudit = false);
    // The stored row of code SummaryCode (inserted unchanged; "" looks for the empty code).
    bool GetDataDetail(int32_t ReportID = -1, const std::string& SummaryCode = "",
                       bool IsAudit = false);

    MZ_ROW_ACCESSORS();
    MZ_LONG_PROPERTY(Sequence);
    MZ_TEXT_PROPERTY(SummaryCode);
    MZ_TEXT_PROPERTY(StartYear);
    // The amend code is read as AmendCode and written as AmmendCode.
    MZ_TEXT_GETTER(AmendCode);
    MZ_TEXT_SETTER(AmmendCode);
    MZ_INTEGER_PROPERTY(TotalRecCount);
    MZ_CURRENCY_PROPERTY(BeginBalance);
    MZ_CURRENCY_PROPERTY(IndividualRec);
    MZ_CURRENCY_PROPERTY(IndividualAgRec);
    MZ_CURRENCY_PROPERTY(OldInterestExp);
    MZ_CURRENCY_PROPERTY(PartyRec);
    MZ_CURRENCY_PROPERTY(CommitteeRec);
    MZ_CURRENCY_PROPERTY(LoanProceedRec);
    MZ_CURRENCY_PROPERTY(RefundRec);
    MZ_CURRENCY_PROPERTY(InterestRec);
    MZ_CURRENCY_PROPERTY(NotForProfitRec);
    MZ_CURRENCY_PROPERTY(OutsideSourceRec);
    MZ_CURRENCY_PROPERTY(GnSRec);
    MZ_CURRENCY_PROPERTY(ForgivenLoan);
    MZ_CURRENCY_PROPERTY(TotalRec);
    MZ_CURRENCY_PROPERTY(OperatingExp);
    MZ_CURRENCY_PROPERTY(ContributionExp);
    MZ_CURRENCY_PROPERTY(CoordinatedPartyExp);
    MZ_CURRENCY_PROPERTY(LoanRepaymentExp);
    MZ_CURRENCY_PROPERTY(RefundExp);
    MZ_CURRENCY_PROPERTY(InkindExp);
    MZ_CURRENCY_PROPERTY(TotalExp);
    MZ_CURRENCY_PROPERTY(EndBalance);
    MZ_CURRENCY_PROPERTY(NonmonetaryGifts);
    MZ_CURRENCY_PROPERTY(OutstandingLoans);
    MZ_CURRENCY_PROPERTY(DebtsByComm);
    MZ_CURRENCY_PROPERTY(DebtsToComm);
    MZ_CURRENCY_PROPERTY(AccountTransfer);
    MZ_CURRENCY_PROPERTY(AdminSupport);
    MZ_CURRENCY_PROPERTY(NoticeSum);
    MZ_CURRENCY_PROPERTY(ContributionTotalRec);
    MZ_CURRENCY_PROPERTY(IndividualTotalRec);
    MZ_CURRENCY_PROPERTY(ContributionToReimburse);
    MZ_CURRENCY_PROPERTY(IndividualAggExp);
    MZ_CURRENCY_PROPERTY(LegalExpenseOtherRec);
    MZ_CURRENCY_PROPERTY(ExemptSalesRec);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        row::kSequence,
        {"SummaryCode", "Summary_type_code", PropType::Text, kGet | kLet},
        {"StartYear", "start_year", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"AmendCode", "amend_code", PropType::Text, kGet},
        {"AmmendCode", "amend_code", PropType::Text, kLet},
        {"TotalRecCount", "total_rec_count", PropType::Integer, kGet | kLet},
        row::kOrigDate,
        row::kUpdateDate,
        row::kOrigUserID,
        row::kUserID,
        {"BeginBalance", "begin_balance", PropType::Currency, kGet | kLet},
        {"IndividualRec", "individual_rec", PropType::Currency, kGet | kLet},
        {"IndividualAgRec", "Individual_agg_rec", PropType::Currency, kGet | kLet},
        {"OldInterestExp", "old_interest_exp", PropType::Currency, kGet | kLet},
        {"PartyRec", "party_rec", PropType::Currency, kGet | kLet},
        {"CommitteeRec", "committee_rec", PropType::Currency, kGet | kLet},
        {"LoanProceedRec", "loan_proceed_rec", PropType::Currency, kGet | kLet},
        {"RefundRec", "refund_rec", PropType::Currency, kGet | kLet},
        {"InterestRec", "interest_rec", PropType::Currency, kGet | kLet},
        {"NotForProfitRec", "not_for_profit_rec", PropType::Currency, kGet | kLet},
        {"OutsideSourceRec", "outside_source_rec", PropType::Currency, kGet | kLet},
        {"GnSRec", "gns_rec", PropType::Currency, kGet | kLet},
        {"ForgivenLoan", "Forgiven_loan", PropType::Currency, kGet | kLet},
        {"TotalRec", "total_rec", PropType::Currency, kGet | kLet},
        {"OperatingExp", "operating_exp", PropType::Currency, kGet | kLet},
        {"ContributionExp", "contribution_exp", PropType::Currency, kGet | kLet},
        {"CoordinatedPartyExp", "coordinated_party_exp", PropType::Currency, kGet | kLet},
        {"LoanRepaymentExp", "loan_repayment_exp", PropType::Currency, kGet | kLet},
        {"RefundExp", "refund_exp", PropType::Currency, kGet | kLet},
        {"InkindExp", "inkind_exp", PropType::Currency, kGet | kLet},
        {"TotalExp", "total_exp", PropType::Currency, kGet | kLet},
        {"EndBalance", "end_balance", PropType::Currency, kGet | kLet},
        {"NonmonetaryGifts", "nonmonetary_gifts", PropType::Currency, kGet | kLet},
        {"OutstandingLoans", "outstanding_loans", PropType::Currency, kGet | kLet},
        {"DebtsByComm", "debts_by_comm", PropType::Currency, kGet | kLet},
        {"DebtsToComm", "debts_to_comm", PropType::Currency, kGet | kLet},
        {"AccountTransfer", "account_transfer", PropType::Currency, kGet | kLet},
        {"AdminSupport", "admin_support", PropType::Currency, kGet | kLet},
        {"NoticeSum", "notice_sum", PropType::Currency, kGet | kLet},
        {"ContributionTotalRec", "contribution_total_rec", PropType::Currency, kGet | kLet},
        {"IndividualTotalRec", "individual_total_rec", PropType::Currency, kGet | kLet},
        {"ContributionToReimburse", "contribution_to_reimburse", PropType::Currency, kGet | kLet},
        {"IndividualAggExp", "individual_agg_exp", PropType::Currency, kGet | kLet},
        {"LegalExpenseOtherRec", "legal_expense_other_rec", PropType::Currency, kGet | kLet},
        {"ExemptSalesRec", "exempt_sales_rec", PropType::Currency, kGet | kLet},
    };
};

}  // namespace mz
