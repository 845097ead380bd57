// clsTransfer_Data: money the committee moved between its own accounts: the account moved from and
// the account moved to (account abbreviations), the date and the amount, placed on a numbered page
// of the report. Its list joins the page rows and orders by page, then sequence.
//
// The object owns one child, created with it and replaceable by the caller: mobNotes. Deleting a
// transfer of the current report deletes, in one transaction, its notes of the current report,
// then the row. The caller may set IsNew whether or not a row is loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/record_object.h"
#include "core/row_properties.h"
#include "lists/notes.h"

namespace mz {

enum mzMaxLength_Transfer : int32_t {
    mzML_AccountFrom_Transfer = 1,
    mzML_AccountTo_Transfer = 2,
    mzML_Amount_Transfer = 3,
};

class clsTransfer_Data : public RecordObject {
  public:
    clsTransfer_Data();
    static const RecordClassInfo& ClassInfo();

    std::shared_ptr<clsNotes> mobNotes;

    // The report's transfers with actual_page_number, current_page_number and current_page_amount
    // of their page rows, by page (no page first), then sequence. Count holds the rows. No text
    // is built for ReportID -1.
    bool GetDataList(int32_t ReportID = -1, bool IsAudit = false);
    // Next sequence among the report's transfers. SectionCode does not change the text.
    int32_t GetNewSequence(int32_t ReportID, const std::string& SectionCode = "",
                           bool IsAudit = false);

    MZ_ROW_ACCESSORS();
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(Sequence);
    MZ_TEXT_PROPERTY(AccountFrom);
    MZ_TEXT_PROPERTY(AccountTo);
    MZ_TEXT_PROPERTY(TransDate);
    MZ_CURRENCY_PROPERTY(Amount);
    MZ_TEXT_GETTER(ActualPageNumber);
    MZ_TEXT_PROPERTY(CurrentPageNumber);
    MZ_TEXT_PROPERTY(MaxPageNumber);
    MZ_TEXT_PROPERTY(CurrentPageAmount);
    MZ_TEXT_PROPERTY(MaxPageAmount);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_TEXT_PROPERTY(Comments);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        row::kPageAmountID,
        row::kSequence,
        {"AccountFrom", "Account_abbr_from", PropType::Text, kGet | kLet},
        {"AccountTo", "Account_abbr_to", PropType::Text, kGet | kLet},
        {"TransDate", "Occur_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"Amount", "Amount", PropType::Currency, kGet | kLet},
        {"ActualPageNumber", "actual_page_number", PropType::Text, kGet},
        row::kCurrentPageNumber,
        row::kMaxPageNumber,
        row::kCurrentPageAmount,
        row::kMaxPageAmount,
        row::kAmendCode,
        row::kOrigDate,
        row::kOrigUserID,
        row::kUserID,
        row::kUpdateDate,
        {"Comments", "Comments", PropType::Text, kGet | kLet},
    };
};

}  // namespace mz
