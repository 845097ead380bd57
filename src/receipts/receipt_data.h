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

    int32_t UniqueID() const;
    int32_t ReportID() const;
    void ReportID(int32_t value);
    int32_t GroupID() const;
    int32_t EntityID() const;
    void EntityID(int32_t value);
    int32_t PageAmountID() const;
    void PageAmountID(int32_t value);
    int32_t Sequence() const;
    void Sequence(int32_t value);
    std::string ReceiptCode() const;
    void ReceiptCode(const std::string& value);
    int16_t IsAggregated() const;
    void IsAggregated(int16_t value);
    int16_t IsPriorReport() const;
    void IsPriorReport(int16_t value);
    std::string CommLevelCode() const;
    void CommLevelCode(const std::string& value);
    std::string AccountAbbr() const;
    void AccountAbbr(const std::string& value);
    std::string FormPayementCode() const;
    void FormPayementCode(const std::string& value);
    std::string TransDate() const;
    void TransDate(const std::string& value);
    Currency Amount() const;
    void Amount(Currency value);
    Currency SumToDate() const;
    void SumToDate(Currency value);
    std::string Description() const;
    void Description(const std::string& value);
    std::string Purpose() const;
    void Purpose(const std::string& value);
    std::string Attendance() const;
    void Attendance(const std::string& value);
    std::string OriginalDate() const;
    void OriginalDate(const std::string& value);
    std::string EndDate() const;
    void EndDate(const std::string& value);
    Currency OriginalAmount() const;
    void OriginalAmount(Currency value);
    Currency Balance() const;
    void Balance(Currency value);
    double InterestRate() const;
    void InterestRate(double value);
    std::string SecurityPledged() const;
    void SecurityPledged(const std::string& value);
    std::string LendingInstitution() const;
    void LendingInstitution(const std::string& value);
    std::string LoanNumber() const;
    void LoanNumber(const std::string& value);
    std::string OrigExpenditureDate() const;
    void OrigExpenditureDate(const std::string& value);
    std::string OrigLoanDate() const;
    void OrigLoanDate(const std::string& value);
    int16_t HasAssociatedStatement() const;
    void HasAssociatedStatement(int16_t value);
    int16_t HasBusinessStatement() const;
    void HasBusinessStatement(int16_t value);
    std::string BusinessName() const;
    void BusinessName(const std::string& value);
    int16_t ItemNumber() const;
    void ItemNumber(int16_t value);
    std::string CurrentPageNumber() const;
    void CurrentPageNumber(const std::string& value);
    std::string MaxPageNumber() const;
    void MaxPageNumber(const std::string& value);
    std::string CurrentPageAmount() const;
    void CurrentPageAmount(const std::string& value);
    std::string MaxPageAmount() const;
    void MaxPageAmount(const std::string& value);
    std::string AmendCode() const;
    void AmendCode(const std::string& value);
    std::string ExpenditureID() const;
    void ExpenditureID(const std::string& value);
    std::string LoanID() const;
    void LoanID(const std::string& value);
    std::string CheckNum() const;
    void CheckNum(const std::string& value);
    std::string OrigDate() const;
    std::string OrigUserID() const;
    std::string UserID() const;
    std::string UpdateDate() const;
    std::string Comments() const;
    void Comments(const std::string& value);
    std::string ReimburseeEntityID() const;
    void ReimburseeEntityID(const std::string& value);
    int16_t IsCreditPayment() const;
    void IsCreditPayment(int16_t value);
    std::string SourceTypeCode() const;
    void SourceTypeCode(const std::string& value);
    int16_t IsQualifyingContribution() const;
    void IsQualifyingContribution(int16_t value);
    std::string SubmissionDate() const;
    void SubmissionDate(const std::string& value);
    int16_t ItemsSold() const;
    void ItemsSold(int16_t value);
    Currency TotalAmountRaised() const;
    void TotalAmountRaised(Currency value);
    std::string ConductedAsPlanned() const;
    void ConductedAsPlanned(const std::string& value);
    std::string ConductedAsPlannedComments() const;
    void ConductedAsPlannedComments(const std::string& value);
    std::string OverLimitPurchases() const;
    void OverLimitPurchases(const std::string& value);
    std::string OverLimitPurchasesComments() const;
    void OverLimitPurchasesComments(const std::string& value);
    std::string OrgName() const;
    std::string FirstName() const;
    std::string LastName() const;
    // The organisation name when is_org is Null or true, else "last, first". Reads the name
    // columns of the detail view: on a list without them it raises.
    std::string FullName() const;

  protected:
    void ConnectChildren(const ConnectionSettings& settings,
                         const std::string& CurrReportID) override;
    bool DeleteItems(DbConnect*& conn, std::string& failure_text) override;
    bool DeleteNotes(DbConnect*& conn) override;
    bool DeleteNameAddress(DbConnect*& conn) override;
    Variant ComputedGet(const PropertyDef& p) const override;
};

}  // namespace mz
