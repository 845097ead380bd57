// clsAdminSupport_Data: the administrative support items listed on a report: each names a support
// item type from lks_support_item_type (with a free description when the type is 'oth'), an
// amount, and its place on a numbered page. Its list orders by the type's sequence, then the
// item's own, and names each item: the type's description, or for 'oth' the description, " - "
// and the free description.
//
// The object owns one child, created with it and replaceable by the caller: mobNotes. Deleting an
// item of the current report deletes, in one transaction, its notes of the current report, then
// the row.
#pragma once

#include <cstdint>
#include <memory>

#include "core/record_object.h"
#include "core/row_properties.h"
#include "lists/notes.h"

namespace mz {

enum mzMaxLength_AdminSupport : int32_t {
    mzML_ItemDesc_AdminSupport = 1,
    mzML_Amount_AdminSupport = 2,
};

class clsAdminSupport_Data : public RecordObject {
  public:
    clsAdminSupport_Data();
    static const RecordClassInfo& ClassInfo();

    std::shared_ptr<clsNotes> mobNotes;

    // The report's items with type_sequence, allow_multiple and full_name, by the type's
    // sequence, then the item's. Count holds the rows. No text is built for ReportID -1.
    bool GetDataList(int32_t ReportID = -1, bool IsAudit = false);
    // Next sequence among the report's 'oth' items only: 1 when there are none.
    int32_t GetNewSequence(int32_t ReportID, bool IsAudit = false);

    MZ_ROW_ACCESSORS();
    MZ_TEXT_PROPERTY(ItemCode);
    MZ_TEXT_PROPERTY(ItemDesc);
    MZ_CURRENCY_PROPERTY(Amount);
    MZ_TEXT_PROPERTY(CurrentPageNumber);
    MZ_TEXT_PROPERTY(MaxPageNumber);
    MZ_TEXT_PROPERTY(CurrentPageAmount);
    MZ_TEXT_PROPERTY(MaxPageAmount);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(Sequence);
    // The list's columns, which the row views carry as well. Null reads 0 or "".
    MZ_INTEGER_GETTER(TypeSequence);
    MZ_TEXT_GETTER(AllowMultiple);
    MZ_TEXT_GETTER(FullName);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        {"ItemCode", "support_item_type_code", PropType::Text, kGet | kLet},
        {"ItemDesc", "Support_item_other_desc", PropType::Text, kGet | kLet},
        {"Amount", "Amount", PropType::Currency, kGet | kLet},
        row::kCurrentPageNumber,
        row::kMaxPageNumber,
        row::kCurrentPageAmount,
        row::kMaxPageAmount,
        row::kAmendCode,
        row::kOrigDate,
        row::kOrigUserID,
        row::kUserID,
        row::kUpdateDate,
        row::kPageAmountID,
        row::kSequence,
        {"TypeSequence", "type_sequence", PropType::Integer, kGet},
        {"AllowMultiple", "allow_multiple", PropType::Text, kGet},
        {"FullName", "full_name", PropType::Text, kGet},
    };
};

}  // namespace mz
