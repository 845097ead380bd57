// clsDebtItem_Data: the dated entries recorded against a debt, each with a date, an amount, a
// description, a purpose code and optionally an entity of its own. Items hang under their debt
// through debt_id and are listed as the current report (the identifier given to
// ConnectionVariables) sees them. The debt's delete cascade deletes them through its mobDebtItem;
// deleting an item of the current report also deletes its entity when the name component allows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/record_object.h"
#include "core/row_properties.h"
#include "names/name_address.h"

namespace mz {

enum mzMaxLength_DebtItem : int32_t {
    mzML_Amount_DebtItem = 1,
    mzML_Description_DebtItem = 2,
};

class clsDebtItem_Data : public RecordObject {
  public:
    clsDebtItem_Data();
    static const RecordClassInfo& ClassInfo();

    std::shared_ptr<NameAddress> mobNameAddress;

    // The items of debt DebtID seen through the current report, by sequence. No text is built
    // for DebtID -1.
    bool GetDataList(int32_t DebtID = -1, bool IsAudit = false);
    // max(sequence) + 1 among the visible items of one debt in report ReportID; 0 on an error
    // text or no row.
    int32_t GetNewSequence(int32_t ReportID, int32_t DebtID, bool IsAudit = false);

    MZ_ROW_ACCESSORS();
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(Sequence);
    MZ_LONG_PROPERTY(DebtID);
    MZ_LONG_PROPERTY(EntityID);
    MZ_TEXT_PROPERTY(TransDate);
    MZ_CURRENCY_PROPERTY(Amount);
    MZ_TEXT_PROPERTY(Description);
    MZ_TEXT_PROPERTY(CurrentPageNumber);
    MZ_TEXT_PROPERTY(MaxPageNumber);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_TEXT_PROPERTY(PurposeCode);
    MZ_BOOLEAN_GETTER(IsOrg);
    MZ_TEXT_GETTER(OrgName);
    MZ_TEXT_GETTER(FirstName);
    MZ_TEXT_GETTER(LastName);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        row::kPageAmountID,
        row::kSequence,
        {"DebtID", "debt_id", PropType::Long, kGet | kLet},
        row::kEntityID,
        {"TransDate", "Occur_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"Amount", "Amount", PropType::Currency, kGet | kLet},
        {"Description", "Description", PropType::Text, kGet | kLet},
        row::kCurrentPageNumber,
        row::kMaxPageNumber,
        row::kAmendCode,
        {"PurposeCode", "Purpose_type_code", PropType::Text, kGet | kLet},
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
