// clsReceipt_Data: the receipts schedule of a report: contributions, loans, forgiven loans, gifts
// and services and other receipts, each with its contributor, type, amount, aggregate to date and
// the details some types carry. Besides the plain list it loads the receipt list with computed
// contributor names (aggregated individual contributions as one labelled line) and the list of
// outstanding loans.
//
// The object owns four children, created with it and replaceable by the caller: mobGnSItem (the
// items of "GNS" receipts), mobLoanEndorers (the items of "LOAN" and "FRLN" receipts), mobNotes
// and mobNameAddress (the contributor). Deleting a receipt of the current report deletes, in one
// transaction, its items by type, then its notes of the current report, then the contributor's
// entry when the name component allows it, then the row.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/record_object.h"
#include "core/row_properties.h"
#include "lists/notes.h"
#include "names/name_address.h"
#include "receipts/gns_items_data.h"
#include "receipts/loan_items_data.h"

namespace mz {

enum mzMaxLength_Receipt : int32_t {
    mzML_Amount_Receipt = 1,
    mzML_SumToDate_Receipt = 2,
    mzML_Description_Receipt = 3,
    mzML_Purpose_Receipt = 4,
    mzML_OriginalAmount_Receipt = 5,
    mzML_Balance_Receipt = 6,
    mzML_InterestRate_Receipt = 7,
    mzML_SecurityPledged_Receipt = 8,
    mzML_LendingInstitution_Receipt = 9,
    mzML_LoanNumber_Receipt = 10,
    mzML_BusinessName_Receipt = 11,
    mzML_AccountAbbr_Receipt = 12,
    mzML_ItemNumber_Receipt = 13,
    mzML_PaymentNumber_Receipt = 14,
    mzML_ConductedPlannedComments_Receipt = 15,
    mzML_OverLimitComments_Receipt = 16,
};

class clsReceipt_Data : public RecordObject {
  public:
    clsReceipt_Data();
    static const RecordClassInfo& ClassInfo();

    std::shared_ptr<clsGnSItems_Data> mobGnSItem;
    std::shared_ptr<clsLoanItems_Data> mobLoanEndorers;
    std::shared_ptr<clsNotes> mobNotes;
    std::shared_ptr<NameAddress> mobNameAddress;

    // The report's receipts except outstanding loans, with full_name computed (an aggregated
    // 'ind' row reads 'Aggregated Individual Contribution'), their page numbers and type
    // descriptions. ReportVersion 2 orders by page and sequence, 3 by type, aggregated first,
    // page and sequence; any other value leaves the order to the database.
    bool GetDataReceiptList(int16_t ReportVersion, int32_t ReportID = -1, bool IsAudit = false);
    // The report's 'otln' receipts with original amount and balance, by page and sequence.
    bool GetDataOutstandingLoanList(int32_t ReportID = -1, bool IsAudit = false);
    // Next sequence among the report's receipts, or among those of receipt type SectionCode
    // when it is not "" (inserted into the SQL text unchanged).
    int32_t GetNewSequence(int32_t ReportID, const std::string& SectionCode = "",
                           bool IsAudit = false);
    // IsAudit True writes even when no column changed.
    bool SaveData(bool IsAudit = false);

    MZ_ROW_ACCESSORS();
    MZ_LONG_PROPERTY(EntityID);
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(Sequence);
    MZ_TEXT_PROPERTY(ReceiptCode);
    MZ_INTEGER_PROPERTY(IsAggregated);
    MZ_INTEGER_PROPERTY(IsPriorReport);
    MZ_TEXT_PROPERTY(CommLevelCode);
    MZ_TEXT_PROPERTY(AccountAbbr);
    MZ_TEXT_PROPERTY(FormPayementCode);
    MZ_TEXT_PROPERTY(TransDate);
    MZ_CURRENCY_PROPERTY(Amount);
    MZ_CURRENCY_PROPERTY(SumToDate);
    MZ_TEXT_PROPERTY(Description);
    MZ_TEXT_PROPERTY(Purpose);
    MZ_TEXT_PROPERTY(Attendance);
    MZ_TEXT_PROPERTY(OriginalDate);
    MZ_TEXT_PROPERTY(EndDate);
    MZ_CURRENCY_PROPERTY(OriginalAmount);
    MZ_CURRENCY_PROPERTY(Balance);
    MZ_DOUBLE_PROPERTY(InterestRate);
    MZ_TEXT_PROPERTY(SecurityPledged);
    MZ_TEXT_PROPERTY(LendingInstitution);
    MZ_TEXT_PROPERTY(LoanNumber);
    MZ_TEXT_PROPERTY(OrigExpenditureDate);
    MZ_TEXT_PROPERTY(OrigLoanDate);
    MZ_INTEGER_PROPERTY(HasAssociatedStatement);
    MZ_INTEGER_PROPERTY(HasBusinessStatement);
    MZ_TEXT_PROPERTY(BusinessName);
    MZ_INTEGER_PROPERTY(ItemNumber);
    MZ_TEXT_PROPERTY(CurrentPageNumber);
    MZ_TEXT_PROPERTY(MaxPageNumber);
    MZ_TEXT_PROPERTY(CurrentPageAmount);
    MZ_TEXT_PROPERTY(MaxPageAmount);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_TEXT_PROPERTY(ExpenditureID);
    MZ_TEXT_PROPERTY(LoanID);
    MZ_TEXT_PROPERTY(CheckNum);
    MZ_TEXT_PROPERTY(Comments);
    MZ_TEXT_PROPERTY(ReimburseeEntityID);
    MZ_INTEGER_PROPERTY(IsCreditPayment);
    MZ_TEXT_PROPERTY(SourceTypeCode);
    MZ_INTEGER_PROPERTY(IsQualifyingContribution);
    MZ_TEXT_PROPERTY(SubmissionDate);
    MZ_INTEGER_PROPERTY(ItemsSold);
    MZ_CURRENCY_PROPERTY(TotalAmountRaised);
    MZ_TEXT_PROPERTY(ConductedAsPlanned);
    MZ_TEXT_PROPERTY(ConductedAsPlannedComments);
    MZ_TEXT_PROPERTY(OverLimitPurchases);
    MZ_TEXT_PROPERTY(OverLimitPurchasesComments);
    MZ_TEXT_GETTER(OrgName);
    MZ_TEXT_GETTER(FirstName);
    MZ_TEXT_GETTER(LastName);
    // The organisation name when is_org is Null or true, else "last, first". Reads the name
    // columns of the detail view: on a list without them it raises.
    MZ_TEXT_GETTER(FullName);

    // The property table ClassInfo() points at; the accessors above resolve their names in it
    // at compile time.
    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        row::kEntityID,
        row::kPageAmountID,
        row::kSequence,
        {"ReceiptCode", "receipt_type_code", PropType::Text, kGet | kLet},
        {"IsAggregated", "is_aggregated", PropType::Integer, kGet | kLet},
        {"IsPriorReport", "is_prior_report", PropType::Integer, kGet | kLet},
        {"CommLevelCode", "comm_level_code", PropType::Text, kGet | kLet},
        {"AccountAbbr", "account_abbr", PropType::Text, kGet | kLet},
        {"FormPayementCode", "form_of_payment_code", PropType::Text, kGet | kLet},
        {"TransDate", "Occur_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"Amount", "Amount", PropType::Currency, kGet | kLet},
        {"SumToDate", "sum_to_date", PropType::Currency, kGet | kLet},
        {"Description", "Description", PropType::Text, kGet | kLet},
        {"Purpose", "Purpose", PropType::Text, kGet | kLet},
        {"Attendance", "Attendance", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"OriginalDate", "original_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"EndDate", "end_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"OriginalAmount", "original_amount", PropType::Currency, kGet | kLet},
        {"Balance", "Balance", PropType::Currency, kGet | kLet},
        {"InterestRate", "interest_rate", PropType::Double, kGet | kLet},
        {"SecurityPledged", "security_pledged", PropType::Text, kGet | kLet},
        {"LendingInstitution", "lending_institution", PropType::Text, kGet | kLet},
        {"LoanNumber", "loan_number", PropType::Text, kGet | kLet},
        {"OrigExpenditureDate", "orig_expenditure_date", PropType::Text, kGet | kLet,
         Conversion::DateText},
        {"OrigLoanDate", "orig_loan_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"HasAssociatedStatement", "has_associated_statement", PropType::Integer, kGet | kLet},
        {"HasBusinessStatement", "has_business_statement", PropType::Integer, kGet | kLet},
        {"BusinessName", "business_name", PropType::Text, kGet | kLet},
        {"ItemNumber", "item_number", PropType::Integer, kGet | kLet},
        row::kCurrentPageNumber,
        row::kMaxPageNumber,
        row::kCurrentPageAmount,
        row::kMaxPageAmount,
        row::kAmendCode,
        {"ExpenditureID", "expenditure_id", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"LoanID", "loan_id", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"CheckNum", "Payment_number", PropType::Text, kGet | kLet},
        row::kOrigDate,
        row::kOrigUserID,
        row::kUserID,
        row::kUpdateDate,
        {"Comments", "Comments", PropType::Text, kGet | kLet},
        {"ReimburseeEntityID", "reimbursee_entity_id", PropType::Text, kGet | kLet},
        {"IsCreditPayment", "is_credit_payment", PropType::Integer, kGet | kLet},
        {"SourceTypeCode", "source_type_code", PropType::Text, kGet | kLet},
        {"IsQualifyingContribution", "is_qualifying_contribution", PropType::Integer, kGet | kLet},
        {"SubmissionDate", "submission_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"ItemsSold", "items_sold", PropType::Integer, kGet | kLet},
        {"TotalAmountRaised", "total_amount_raised", PropType::Currency, kGet | kLet},
        {"ConductedAsPlanned", "conducted_as_planned", PropType::Text, kGet | kLet},
        {"ConductedAsPlannedComments", "conducted_as_planned_comments", PropType::Text,
         kGet | kLet},
        {"OverLimitPurchases", "over_limit_purchases", PropType::Text, kGet | kLet},
        {"OverLimitPurchasesComments", "over_limit_purchases_comments", PropType::Text,
         kGet | kLet},
        row::kOrgName,
        row::kFirstName,
        row::kLastName,
        {"FullName", "", PropType::Text, kGet, Conversion::Computed},
    };

  protected:
    bool DeleteItems(DbConnect*& conn, std::string& failure_text) override;
    Variant ComputedGet(const PropertyDef& p) const override;
};

}  // namespace mz
