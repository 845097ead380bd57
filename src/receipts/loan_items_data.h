// clsLoanItems_Data: the endorsers and guarantors of a loan receipt (types "LOAN" and "FRLN"), one
// line each with an amount, a stated-amount flag, an aggregate to date and a share. Each item
// names its own person or organisation, so the object owns a NameAddress (mobNameAddress) and
// deletes an item's entity with the item when the name component allows it. Everything else is
// as for the gift-and-service items (receipts/gns_items_data.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "names/name_address.h"
#include "receipts/gns_items_data.h"

namespace mz {

enum mzMaxLength_LoanItems : int32_t {
    mzML_Amount_LoanItems = 1,
    mzML_SumToDate_LoanItems = 2,
    mzML_Share_LoanItems = 3,
};

class clsLoanItems_Data : public ReceiptItemObject {
  public:
    clsLoanItems_Data();
    static const RecordClassInfo& ClassInfo();

    // The item's name and address; the caller may replace it.
    std::shared_ptr<NameAddress> mobNameAddress;

    // The items of one receipt with their names computed as full_name (organisation name, or
    // "last, first"), by sequence, seen through the current report. No text for ReceiptID -1.
    bool GetDataLoanList(int32_t ReceiptID = -1, bool IsAudit = false);

    int32_t UniqueID() const;
    int32_t ReportID() const;
    void ReportID(int32_t value);
    int32_t GroupID() const;
    int32_t EntityID() const;
    void EntityID(int32_t value);
    int32_t ReceiptID() const;
    void ReceiptID(int32_t value);
    int32_t PageAmountID() const;
    void PageAmountID(int32_t value);
    int32_t Sequence() const;
    void Sequence(int32_t value);
    Currency Amount() const;
    void Amount(Currency value);
    // Three states: letting 2 stores Null; Null reads 0.
    int16_t IsAmount() const;
    void IsAmount(int16_t value);
    Currency SumToDate() const;
    void SumToDate(Currency value);
    double Share() const;
    void Share(double value);
    std::string CurrentPageNumber() const;
    void CurrentPageNumber(const std::string& value);
    std::string MaxPageNumber() const;
    void MaxPageNumber(const std::string& value);
    std::string AmendCode() const;
    void AmendCode(const std::string& value);
    std::string OrigDate() const;
    std::string OrigUserID() const;
    std::string UserID() const;
    std::string UpdateDate() const;
    bool IsOrg() const;
    std::string OrgName() const;
    std::string FirstName() const;
    std::string LastName() const;
    // The full_name column: computed by GetDataLoanList, and carried by the base view.
    std::string FullName() const;

  protected:
    void ConnectChildren(const ConnectionSettings& settings,
                         const std::string& CurrReportID) override;
    bool DeleteNameAddress(DbConnect*& conn) override;
};

}  // namespace mz
