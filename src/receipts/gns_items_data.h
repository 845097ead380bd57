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
#include "core/row_properties.h"

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

    MZ_ROW_ACCESSORS();
    MZ_LONG_PROPERTY(ReceiptID);
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(Sequence);
    MZ_TEXT_PROPERTY(AccountAbbr);
    MZ_TEXT_PROPERTY(TotalCount);
    MZ_TEXT_PROPERTY(CheckCount);
    MZ_TEXT_PROPERTY(CashCount);
    MZ_TEXT_PROPERTY(OtherCount);
    MZ_TEXT_PROPERTY(Description);
    MZ_TEXT_PROPERTY(TransDate);
    MZ_CURRENCY_PROPERTY(IndividualAmount);
    MZ_CURRENCY_PROPERTY(Amount);
    MZ_TEXT_PROPERTY(CurrentPageNumber);
    MZ_TEXT_PROPERTY(MaxPageNumber);
    MZ_TEXT_PROPERTY(AmendCode);
    // The receipt's contributor, from the base view. REQUIRES for IsOrg: is_org not Null (a Null
    // raises, as a Boolean conversion of Null does).
    MZ_BOOLEAN_GETTER(IsOrg);
    MZ_TEXT_GETTER(OrgName);
    MZ_TEXT_GETTER(FirstName);
    MZ_TEXT_GETTER(LastName);

    // The property table ClassInfo() points at; the accessors above resolve their names in it
    // at compile time.
    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        {"ReceiptID", "receipt_id", PropType::Long, kGet | kLet},
        row::kPageAmountID,
        row::kSequence,
        {"AccountAbbr", "account_abbr", PropType::Text, kGet | kLet},
        {"TotalCount", "total_count", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"CheckCount", "check_count", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"CashCount", "cash_count", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"OtherCount", "other_count", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"Description", "Description", PropType::Text, kGet | kLet},
        {"TransDate", "Occur_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"IndividualAmount", "individual_amount", PropType::Currency, kGet | kLet},
        {"Amount", "Amount", PropType::Currency, kGet | kLet},
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
    };
};

}  // namespace mz
