// clsExpenditureItems_Data: the items of an expenditure, each naming an election (by type or by
// name), an office sought, a county or district, a declaration code, an entity and an amount.
// Items hang under their expenditure through expenditure_id and are listed as the current report
// (the identifier given to ConnectionVariables) sees them. The expenditure's delete cascade
// deletes them through its mobExpenditureItem; deleting an item of the current report also
// deletes its entity when the name component allows it. Source texts name the class in the
// singular, "clsExpenditureItem_Data.<operation>".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/record_object.h"
#include "core/row_properties.h"
#include "names/name_address.h"

namespace mz {

enum mzMaxLength_ExpenditureItem : int32_t {
    mzML_Amount_ExpenditureItem = 1,
    mzML_Description_ExpenditureItem = 2,
    mzML_OfficeName_ExpenditureItem = 3,
    mzML_CountyDistrictName_ExpenditureItem = 4,
};

class clsExpenditureItems_Data : public RecordObject {
  public:
    clsExpenditureItems_Data();
    static const RecordClassInfo& ClassInfo();

    std::shared_ptr<NameAddress> mobNameAddress;

    // The items of expenditure ExpenditureID seen through the current report, by sequence, with
    // full_name and office_name computed; only unique_id, page_amount_id, sequence, full_name,
    // office_name and amount. No text is built for ExpenditureID -1.
    bool GetDataList(int32_t ExpenditureID = -1, bool IsAudit = false);
    // max(sequence) + 1 among the visible items of one expenditure in report ReportID; 0 on an
    // error text or no row.
    int32_t GetNewSequence(int32_t ReportID, int32_t ExpenditureID, bool IsAudit = false);

    MZ_ROW_ACCESSORS();
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(Sequence);
    MZ_LONG_PROPERTY(ExpenditureID);
    MZ_LONG_PROPERTY(EntityID);
    MZ_TEXT_PROPERTY(ElectionTypeCode);
    MZ_TEXT_PROPERTY(ElectionOtherName);
    MZ_TEXT_PROPERTY(DeclareCode);
    MZ_TEXT_PROPERTY(CurrentPageNumber);
    MZ_TEXT_PROPERTY(MaxPageNumber);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_TEXT_PROPERTY(OfficeSoughtCode);
    MZ_TEXT_PROPERTY(OfficeName);
    MZ_TEXT_PROPERTY(CountyDistrictName);
    MZ_CURRENCY_PROPERTY(Amount);
    MZ_BOOLEAN_GETTER(IsOrg);
    // The full_name column: computed by the list, carried by the row views.
    MZ_TEXT_GETTER(FullName);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        row::kPageAmountID,
        row::kSequence,
        {"ExpenditureID", "expenditure_id", PropType::Long, kGet | kLet},
        row::kEntityID,
        {"ElectionTypeCode", "election_type_code", PropType::Text, kGet | kLet},
        {"ElectionOtherName", "election_other_name", PropType::Text, kGet | kLet},
        {"DeclareCode", "declare_code", PropType::Text, kGet | kLet},
        row::kCurrentPageNumber,
        row::kMaxPageNumber,
        row::kAmendCode,
        {"OfficeSoughtCode", "office_sought_code", PropType::Text, kGet | kLet},
        {"OfficeName", "office_name", PropType::Text, kGet | kLet},
        {"CountyDistrictName", "county_district_name", PropType::Text, kGet | kLet},
        {"Amount", "Amount", PropType::Currency, kGet | kLet},
        row::kOrigDate,
        row::kOrigUserID,
        row::kUserID,
        row::kUpdateDate,
        row::kIsOrg,
        {"FullName", "full_name", PropType::Text, kGet},
    };
};

}  // namespace mz
