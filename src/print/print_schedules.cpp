#include "print/print_schedules.h"

namespace mz {
namespace {

using K = PrintKind;

constexpr std::string_view kOwnEntity =
    "left outer join rpt_name_address na on na.unique_id = f.entity_id ";
// An in-kind item names the contributor of its receipt.
constexpr std::string_view kReceiptEntity =
    "left outer join rpt_Receipts r on r.unique_id = f.receipt_id "
    "left outer join rpt_name_address na on na.unique_id = r.entity_id ";

constexpr PrintField kSeq{"#", "sequence", K::kNumber, 0.35};
constexpr PrintField kDateOf{"Date", "Occur_date", K::kDate, 0.75};
constexpr PrintField kAmount{"Amount", "Amount", K::kMoney, 0.9};

constexpr PrintField kReceipts[] = {
    kSeq,
    kDateOf,
    {"Received from", "", K::kNameAddress, 2.4},
    {"Type", "receipt_type_code", K::kText, 0.45},
    {"Description", "Description|Purpose", K::kText, 1.6},
    kAmount,
    {"Aggregate to date", "sum_to_date", K::kMoney, 0.9},
};
constexpr PrintField kGnsItems[] = {
    kSeq,
    kDateOf,
    {"Contributor", "", K::kNameAddress, 2.2},
    {"Description", "Description", K::kText, 2},
    {"Count", "total_count", K::kNumber, 0.5},
    {"Value", "Amount", K::kMoney, 0.9},
};
constexpr PrintField kLoanItems[] = {
    kSeq,
    {"Endorser or guarantor", "", K::kNameAddress, 3},
    {"Share", "Share", K::kNumber, 0.6},
    {"Amount guaranteed", "Amount", K::kMoney, 1},
    {"Sum to date", "sum_to_date", K::kMoney, 1},
};
constexpr PrintField kExpenditures[] = {
    kSeq,
    kDateOf,
    {"Paid to", "", K::kNameAddress, 2.4},
    {"Type", "Expenditure_type_code", K::kText, 0.45},
    {"Purpose", "Purpose|Description", K::kText, 2},
    kAmount,
};
constexpr PrintField kExpenditureItems[] = {
    kSeq,
    {"Candidate or committee", "", K::kNameAddress, 2.2},
    {"Office", "office_sought_code|office_name|county_district_name", K::kText, 1.6},
    {"Election", "election_type_code|election_other_name", K::kText, 1.2},
    kAmount,
};
constexpr PrintField kDebts[] = {
    kSeq,
    {"Owed to or by", "", K::kNameAddress, 2},
    {"Type", "Debt_type_code", K::kText, 0.45},
    {"Description", "Description", K::kText, 1.3},
    {"Begin balance", "begin_balance", K::kMoney, 0.85},
    {"Incurred", "incurred_amount", K::kMoney, 0.85},
    {"Paid", "paid_amount", K::kMoney, 0.85},
    {"End balance", "end_balance", K::kMoney, 0.85},
};
constexpr PrintField kDebtItems[] = {
    kSeq,
    kDateOf,
    {"Paid to or by", "", K::kNameAddress, 2.2},
    {"Description", "Description", K::kText, 2},
    kAmount,
};
constexpr PrintField kTransfers[] = {
    kSeq,
    kDateOf,
    {"From account", "Account_abbr_from", K::kText, 1},
    {"To account", "Account_abbr_to", K::kText, 1},
    {"Comments", "Comments", K::kText, 2.4},
    kAmount,
};
constexpr PrintField kAdminSupport[] = {
    kSeq,
    {"Item", "support_item_type_desc|Support_item_other_desc", K::kText, 4},
    kAmount,
};
constexpr PrintField kAccounts[] = {
    kSeq,
    {"Institution", "", K::kNameAddress, 2},
    {"Account", "account_type|account_abbr|account_number", K::kText, 1.2},
    {"Purpose", "Purpose|Comments", K::kText, 1.5},
    {"Begin balance", "begin_balance", K::kMoney, 0.9},
    {"End balance", "end_balance", K::kMoney, 0.9},
};
constexpr PrintField kOfficers[] = {
    kSeq,
    {"Name and address", "", K::kNameAddress, 3},
    {"Role", "name_type_desc", K::kText, 1.6},
    {"Judicial seat", "judicial_seat|Comments", K::kText, 1.6},
};

constexpr PrintSchedule kSchedules[] = {
    {"Receipts", "rpt_Receipts", kOwnEntity, "lks_receipt_type", "Amount", kReceipts},
    {"In-kind contributions (gifts and services)", "rpt_gns_items", kReceiptEntity, "", "Amount",
     kGnsItems, "rpt_Receipts", "receipt_id"},
    {"Loans: endorsers and guarantors", "rpt_loan_items", kOwnEntity, "", "Amount", kLoanItems,
     "rpt_Receipts", "receipt_id"},
    {"Expenditures", "rpt_expenditures", kOwnEntity, "lks_expenditure_type", "Amount",
     kExpenditures},
    {"Expenditures by candidate and office", "rpt_expenditure_items", kOwnEntity, "", "Amount",
     kExpenditureItems, "rpt_expenditures", "expenditure_id"},
    {"Debts", "rpt_debts", kOwnEntity, "lks_debt_type", "end_balance", kDebts},
    {"Payments on debts", "rpt_debt_items", kOwnEntity, "", "Amount", kDebtItems, "rpt_debts",
     "debt_id"},
    {"Transfers between accounts", "rpt_transfers", "", "", "Amount", kTransfers},
    {"Administrative support", "rpt_admin_support", "", "", "Amount", kAdminSupport},
    {"Accounts", "rpt_accounts", kOwnEntity, "", "", kAccounts},
    {"Officers", "rpt_officers", kOwnEntity, "", "", kOfficers},
};

constexpr PrintLine kSummary[] = {
    {"Beginning balance", "begin_balance"},
    {"Contributions from individuals", "individual_rec"},
    {"Aggregated contributions from individuals", "Individual_agg_rec"},
    {"Interest expense carried from earlier reports", "old_interest_exp"},
    {"Contributions from parties", "party_rec"},
    {"Contributions from committees", "committee_rec"},
    {"Loan proceeds", "loan_proceed_rec"},
    {"Refunds received", "refund_rec"},
    {"Interest received", "interest_rec"},
    {"Receipts from not-for-profit organizations", "not_for_profit_rec"},
    {"Receipts from outside sources", "outside_source_rec"},
    {"Gifts and services received", "gns_rec"},
    {"Loans forgiven", "Forgiven_loan"},
    {"Total receipts", "total_rec"},
    {"Operating expenditures", "operating_exp"},
    {"Contributions made", "contribution_exp"},
    {"Coordinated party expenditures", "coordinated_party_exp"},
    {"Loan repayments", "loan_repayment_exp"},
    {"Refunds made", "refund_exp"},
    {"In-kind expenditures", "inkind_exp"},
    {"Total expenditures", "total_exp"},
    {"Ending balance", "end_balance"},
    {"Non-monetary gifts", "nonmonetary_gifts"},
    {"Outstanding loans", "outstanding_loans"},
    {"Debts owed by the committee", "debts_by_comm"},
    {"Debts owed to the committee", "debts_to_comm"},
    {"Transfers between accounts", "account_transfer"},
    {"Administrative support", "admin_support"},
    {"Notices", "notice_sum"},
    {"Total contributions", "contribution_total_rec"},
    {"Total from individuals", "individual_total_rec"},
    {"Contributions to reimburse", "contribution_to_reimburse"},
    {"Aggregated individual expenditures", "individual_agg_exp"},
    {"Legal expense and other receipts", "legal_expense_other_rec"},
    {"Exempt sales", "exempt_sales_rec"},
    {"Number of receipts", "total_rec_count", K::kNumber},
};

constexpr PrintLine kCover[] = {
    {"Committee", "fund_name|parent_entity_name", K::kText},
    {"Committee name and address", "", K::kNameAddress},
    {"Report", "report_name", K::kText},
    {"Report type", "report_sub_type_desc", K::kText},
    {"Report type code", "report_sub_type_code", K::kText},
    {"Election year", "report_year|old_election_cycle", K::kNumber},
    {"Level", "report_level_code", K::kText},
    {"Period from", "Begin_date", K::kDate},
    {"Period to", "end_date", K::kDate},
    {"Fund type", "fund_type_code", K::kText},
    {"Segregated account", "is_account_segregated", K::kYesNo},
    {"Amends an earlier filing", "is_amendment", K::kYesNo},
    {"Originally filed as", "orig_filed_tolvid", K::kText},
    {"Fundraisers held", "Fundraiser_count", K::kNumber},
    {"Memo", "Memo", K::kText},
    {"Comments", "Comments", K::kText},
    {"Treasurer", "signed_name", K::kText},
    {"Certified on", "Certified_date", K::kDate},
    {"Filed on", "filed_date", K::kDate},
};

}  // namespace

std::span<const PrintSchedule> PrintSchedules() {
    return kSchedules;
}
std::span<const PrintLine> SummaryLines() {
    return kSummary;
}
std::span<const PrintLine> CoverLines() {
    return kCover;
}

}  // namespace mz
