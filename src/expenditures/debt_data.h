// clsDebt_Data: the debts schedule of a report: each debt with its type, the entity it concerns,
// the balance at the start, the amount incurred, the amount paid and the balance at the end.
// Besides the plain list it loads the debt list with computed entity names and page numbers.
//
// The object owns three children, created with it and replaceable by the caller: mobDebtItem
// (the entries recorded against a debt), mobNotes and mobNameAddress (the entity). Deleting a
// debt of the current report deletes, in one transaction, its items, then its notes of the
// current report, then the entity's entry when the name component allows it, then the row.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/record_object.h"
#include "core/row_properties.h"
#include "expenditures/debt_item_data.h"
#include "lists/notes.h"
#include "names/name_address.h"

namespace mz {

enum mzMaxLength_Debt : int32_t {
    mzML_BeginBalance_Debt = 1,
    mzML_IncurredAmount_Debt = 2,
    mzML_PaidAmount_Debt = 3,
    mzML_EndBalance_Debt = 4,
    mzML_Description_Debt = 5,
};

class clsDebt_Data : public RecordObject {
  public:
    clsDebt_Data();
    static const RecordClassInfo& ClassInfo();

    std::shared_ptr<clsDebtItem_Data> mobDebtItem;
    std::shared_ptr<clsNotes> mobNotes;
    std::shared_ptr<NameAddress> mobNameAddress;

    // The report's debts with full_name computed, page number, balances, type description and
    // code, by page (no page first) and sequence.
    bool GetDataDebtList(int32_t ReportID = -1, bool IsAudit = false);
    // Next sequence among the report's debts, or among those of debt type SectionCode when it is
    // not "" (inserted into the SQL text unchanged).
    int32_t GetNewSequence(int32_t ReportID, const std::string& SectionCode = "",
                           bool IsAudit = false);

    MZ_ROW_ACCESSORS();
    MZ_LONG_PROPERTY(EntityID);
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(Sequence);
    MZ_TEXT_PROPERTY(DebtCode);
    MZ_CURRENCY_PROPERTY(BeginBalance);
    MZ_CURRENCY_PROPERTY(IncurredAmount);
    MZ_CURRENCY_PROPERTY(PaidAmount);
    MZ_CURRENCY_PROPERTY(EndBalance);
    MZ_TEXT_PROPERTY(Description);
    MZ_TEXT_PROPERTY(CurrentPageNumber);
    MZ_TEXT_PROPERTY(MaxPageNumber);
    MZ_TEXT_PROPERTY(CurrentPageAmount);
    MZ_TEXT_PROPERTY(MaxPageAmount);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_TEXT_PROPERTY(Comments);
    MZ_TEXT_GETTER(DebtTypeDesc);
    MZ_BOOLEAN_GETTER(IsOrg);
    // Columns the debt list computes and the row views carry.
    MZ_TEXT_GETTER(ActualPageNumber);
    MZ_TEXT_GETTER(OrgName);
    MZ_TEXT_GETTER(FirstName);
    MZ_TEXT_GETTER(LastName);
    MZ_TEXT_GETTER(FullName);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        row::kEntityID,
        row::kPageAmountID,
        row::kSequence,
        {"DebtCode", "Debt_type_code", PropType::Text, kGet | kLet},
        {"BeginBalance", "begin_balance", PropType::Currency, kGet | kLet},
        {"IncurredAmount", "incurred_amount", PropType::Currency, kGet | kLet},
        {"PaidAmount", "paid_amount", PropType::Currency, kGet | kLet},
        {"EndBalance", "end_balance", PropType::Currency, kGet | kLet},
        {"Description", "Description", PropType::Text, kGet | kLet},
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
        {"DebtTypeDesc", "debt_type_desc", PropType::Text, kGet},
        row::kIsOrg,
        {"ActualPageNumber", "actual_page_number", PropType::Text, kGet},
        row::kOrgName,
        row::kFirstName,
        row::kLastName,
        {"FullName", "full_name", PropType::Text, kGet},
    };
};

}  // namespace mz
