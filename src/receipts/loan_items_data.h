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

    MZ_ROW_ACCESSORS();
    MZ_LONG_PROPERTY(EntityID);
    MZ_LONG_PROPERTY(ReceiptID);
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(Sequence);
    MZ_CURRENCY_PROPERTY(Amount);
    // Three states: letting 2 stores Null; Null reads 0.
    MZ_INTEGER_PROPERTY(IsAmount);
    MZ_CURRENCY_PROPERTY(SumToDate);
    MZ_DOUBLE_PROPERTY(Share);
    MZ_TEXT_PROPERTY(CurrentPageNumber);
    MZ_TEXT_PROPERTY(MaxPageNumber);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_BOOLEAN_GETTER(IsOrg);
    MZ_TEXT_GETTER(OrgName);
    MZ_TEXT_GETTER(FirstName);
    MZ_TEXT_GETTER(LastName);
    // The full_name column: computed by GetDataLoanList, and carried by the base view.
    MZ_TEXT_GETTER(FullName);

    // The property table ClassInfo() points at; the accessors above resolve their names in it
    // at compile time.
    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        row::kEntityID,
        {"ReceiptID", "receipt_id", PropType::Long, kGet | kLet},
        row::kPageAmountID,
        row::kSequence,
        {"Amount", "Amount", PropType::Currency, kGet | kLet},
        {"IsAmount", "Is_Amount", PropType::Integer, kGet | kLet, Conversion::TwoIsNull},
        {"SumToDate", "sum_to_date", PropType::Currency, kGet | kLet},
        {"Share", "Share", PropType::Double, kGet | kLet},
        row::kCurrentPageNumber,
        row::kMaxPageNumber,
        row::kAmendCode,
        row::kOrigDate,
        row::kOrigUserID,
        row::kUserID,
        row::kUpdateDate,
        row::kIsOrg,
        row::kOrgName,
        row::kFirstName,
        row::kLastName,
        {"FullName", "full_name", PropType::Text, kGet},
    };
};

}  // namespace mz
