// clsGnSItems_Data: the items of a gift-and-service receipt (type "GNS"), one line per item with
// its counts, date and amounts. Items hang under their receipt through receipt_id (the receipt's
// unique_id) and are listed in the report version given to ConnectionVariables. They have no
// notes and no name entry of their own; the receipt's delete cascade deletes them through its
// mobGnSItem. Their DeleteData has no current-row test: without a row it raises to the caller.
//
// ReceiptItemObject is what the two kinds of receipt items (this one and clsLoanItems_Data)
// share: the list of one receipt's items and the sequence numbering per receipt.
#pragma once

#include <cstdint>
#include <string>

#include "core/record_object.h"

namespace mz {

class ReceiptItemObject : public RecordObject {
  public:
    // The items of receipt ReceiptID seen through the current report (the identifier text given
    // to ConnectionVariables), by sequence. No text is built for ReceiptID -1. Error path with
    // source "<class>.GetDataList".
    bool GetDataList(int32_t ReceiptID = -1, bool IsAudit = false);
    // max(sequence) + 1 among the visible items of one receipt in report ReportID; 0 on an error
    // text or no row.
    int32_t GetNewSequence(int32_t ReportID, int32_t ReceiptID, bool IsAudit = false);

  protected:
    using RecordObject::RecordObject;

    // "where <alias>.ref_report_id = <current report> and <alias>.delete_date is null and
    // <alias>.receipt_id = <ReceiptID> " and the version filter, for lists read through the
    // current report.
    std::string CurrentReportItems(std::string_view alias, int32_t ReceiptID, bool IsAudit) const;
};

enum mzMaxLength_GnSItems : int32_t {
    mzML_AccountAbbr_GnSItems = 1,
    mzML_Description_GnSItems = 2,
    mzML_IndividualAmount_GnSItems = 3,
    mzML_Amount_GnSItems = 4,
};

class clsGnSItems_Data : public ReceiptItemObject {
  public:
    clsGnSItems_Data();
    static const RecordClassInfo& ClassInfo();

    int32_t UniqueID() const;
    int32_t ReportID() const;
    void ReportID(int32_t value);
    int32_t GroupID() const;
    int32_t ReceiptID() const;
    void ReceiptID(int32_t value);
    int32_t PageAmountID() const;
    void PageAmountID(int32_t value);
    int32_t Sequence() const;
    void Sequence(int32_t value);
    std::string AccountAbbr() const;
    void AccountAbbr(const std::string& value);
    std::string TotalCount() const;
    void TotalCount(const std::string& value);
    std::string CheckCount() const;
    void CheckCount(const std::string& value);
    std::string CashCount() const;
    void CashCount(const std::string& value);
    std::string OtherCount() const;
    void OtherCount(const std::string& value);
    std::string Description() const;
    void Description(const std::string& value);
    std::string TransDate() const;
    void TransDate(const std::string& value);
    Currency IndividualAmount() const;
    void IndividualAmount(Currency value);
    Currency Amount() const;
    void Amount(Currency value);
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
    // The receipt's contributor, from the base view. REQUIRES for IsOrg: is_org not Null (a Null
    // raises, as a Boolean conversion of Null does).
    bool IsOrg() const;
    std::string OrgName() const;
    std::string FirstName() const;
    std::string LastName() const;

  protected:
    Variant ComputedGet(const PropertyDef& p) const override;
};

}  // namespace mz
