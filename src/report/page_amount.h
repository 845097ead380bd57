// clsPage_Amount: the printed pages of a report, one row per page of a section (and, within
// receipts and expenditures, per section type), with the page's actual number, its current and
// highest page number and its current and highest page amount. Schedule rows name their page by
// the page row's group_id in their page_amount_id.
//
// Besides the record operations it lists a section's pages with the section type under which
// their items count (receipts and expenditures, with 'AGG' for aggregated items), lists the
// highest page number and amount per section type, sets those through
// "sp_misc_rpt_page_amount_update", and counts or loads the items of one page (which replaces
// the loaded pages: reload them before reading page properties again).
//
// SaveData and DeleteData follow the record core; DeleteData always works on the own connection
// and owns its transaction. A page row has no children.
//
// GetDataLinked clears the IsNew flag before it loads, as every load but GetData() does: what it
// loads is the page's current version alone, and SaveData then updates (or versions) that page.
// A caller starting a new page uses GetData().
#pragma once

#include <cstdint>
#include <string>

#include "core/record_object.h"
#include "core/row_properties.h"

namespace mz {

enum mzMaxLength_PageAmount : int32_t {
    mzML_CurrentPageAmount_PageAmount = 1,
    mzML_MaxPageAmount_PageAmount = 2,
};

class clsPage_Amount : public RecordObject {
  public:
    clsPage_Amount();
    static const RecordClassInfo& ClassInfo();

    // The current report's version of page GroupID (its group_id), IsNew cleared. False for -1
    // (the result set is released first, whatever the argument) or when there is no such page.
    bool GetDataLinked(int32_t GroupID = -1, bool IsAudit = false);
    // The pages of section ReportSection of report ReportID. Without a type: the stored pages by
    // type and actual page number. With type "otln", or in a section other than "rec" and "exp":
    // the stored pages of that type. Otherwise ("rec" with any other type, "exp" with any type):
    // every page of the section with the type its items count under, the given type filtering
    // nothing (a page whose items fall under two types is listed twice). Count: the rows.
    bool GetDataList(int32_t ReportID = -1, const std::string& ReportSection = "",
                     const std::string& ReportSectionType = "", bool IsAudit = false);
    // The highest page number and amount per section type, with GetDataList's branches.
    bool GetDataTotalList(int32_t ReportID = -1, const std::string& ReportSection = "",
                          const std::string& ReportSectionType = "", bool IsAudit = false);
    // Sets the highest page number and amount of the report's pages of the section (of the type,
    // when not ""). True when the procedure ran; opens no transaction.
    bool UpdateMaxTotals(int32_t ReportID, int32_t MaxNumber, double MaxAmount,
                         const std::string& ReportSection, const std::string& ReportSectionType);
    // The number of items of page PageAmountID in the current report, read from the item view
    // "vw_mz_rpt_<ReportSection>_ref_current" (ReportSection such as receipts or expenditures,
    // inserted unchanged). -1 without a query for PageAmountID -1; 0 on a failure, Count -1.
    int32_t GetPageItemCount(const std::string& ReportSection, int32_t PageAmountID,
                             bool IsAudit = false);
    // Loads the items of page PageAmountID as the loaded page row's report sees them, by sequence;
    // returns the item view's Count of the first item. -1 without a query for PageAmountID -1;
    // 0 on a failure, Count -1: a page without items (or no loaded page row) has no first item,
    // and that read's error (3021) is raised with this operation's source.
    int32_t GetPageItems(const std::string& ReportSection, int32_t PageAmountID,
                         bool IsAudit = false);

    MZ_LONG_GETTER(UniqueID);
    MZ_LONG_PROPERTY(ReportID);
    MZ_LONG_GETTER(GroupID);
    MZ_TEXT_PROPERTY(ReportSectionCode);
    MZ_TEXT_PROPERTY(ReportSectionTypeCode);
    MZ_TEXT_PROPERTY(ActualPageNumber);
    MZ_TEXT_PROPERTY(CurrentPageNumber);
    MZ_TEXT_PROPERTY(MaxPageNumber);
    MZ_TEXT_PROPERTY(CurrentPageAmount);
    MZ_TEXT_PROPERTY(MaxPageAmount);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        {"ReportSectionCode", "report_section_code", PropType::Text, kGet | kLet,
         Conversion::TextAsGiven},
        {"ReportSectionTypeCode", "report_section_type_code", PropType::Text, kGet | kLet},
        {"ActualPageNumber", "actual_page_number", PropType::Text, kGet | kLet,
         Conversion::NumberText},
        row::kCurrentPageNumber,
        row::kMaxPageNumber,
        row::kCurrentPageAmount,
        row::kMaxPageAmount,
    };

  private:
    std::string PageList(int32_t ReportID, const std::string& ReportSection,
                         const std::string& ReportSectionType, bool IsAudit) const;
    std::string TotalList(int32_t ReportID, const std::string& ReportSection,
                          const std::string& ReportSectionType, bool IsAudit) const;
};

}  // namespace mz
