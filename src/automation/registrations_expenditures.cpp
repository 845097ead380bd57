#include "automation/object_model.h"
#include "automation/registrations.h"
#include "expenditures/debt_data.h"
#include "expenditures/expenditure_data.h"

namespace mz {

// The items first: the parents hand them out through mobExpenditureItem and mobDebtItem.
void RegisterExpenditureClasses(ObjectModel& model) {
    using ExpItems = clsExpenditureItems_Data;
    using Expenditure = clsExpenditure_Data;
    using DebtItem = clsDebtItem_Data;
    using Debt = clsDebt_Data;
    const std::vector<Param> list = {{"ReportID", int32_t{-1}}, {"IsAudit", false}};
    const std::vector<Param> typed_sequence = {"ReportID", {"SectionCode", ""}, {"IsAudit", false}};

    model.Register<ExpItems>("clsExpenditureItems_Data", "MZ_report_bus.clsExpenditureItems_Data")
        .RecordMembers(ExpItems::ClassInfo())
        .Method("GetDataList", &ExpItems::GetDataList,
                {{"ExpenditureID", int32_t{-1}}, {"IsAudit", false}})
        .Method("GetNewSequence", &ExpItems::GetNewSequence,
                {"ReportID", "ExpenditureID", {"IsAudit", false}})
        .Object("mobNameAddress", &ExpItems::mobNameAddress);

    model.Register<Expenditure>("clsExpenditure_Data", "MZ_report_bus.clsExpenditure_Data")
        .RecordMembers(Expenditure::ClassInfo())
        .Method("GetDataExpenditureList", &Expenditure::GetDataExpenditureList,
                {"ReportVersion", {"ReportID", int32_t{-1}}, {"IsAudit", false}})
        .Method("GetDataFederalList", &Expenditure::GetDataFederalList, list)
        .Method("GetNewSequence", &Expenditure::GetNewSequence, typed_sequence)
        .Object("mobExpenditureItem", &Expenditure::mobExpenditureItem)
        .Object("mobNotes", &Expenditure::mobNotes)
        .Object("mobNameAddress", &Expenditure::mobNameAddress);

    model.Register<DebtItem>("clsDebtItem_Data", "MZ_report_bus.clsDebtItem_Data")
        .RecordMembers(DebtItem::ClassInfo())
        .Method("GetDataList", &DebtItem::GetDataList,
                {{"DebtID", int32_t{-1}}, {"IsAudit", false}})
        .Method("GetNewSequence", &DebtItem::GetNewSequence,
                {"ReportID", "DebtID", {"IsAudit", false}})
        .Object("mobNameAddress", &DebtItem::mobNameAddress);

    model.Register<Debt>("clsDebt_Data", "MZ_report_bus.clsDebt_Data")
        .RecordMembers(Debt::ClassInfo())
        .Method("GetDataDebtList", &Debt::GetDataDebtList, list)
        .Method("GetNewSequence", &Debt::GetNewSequence, typed_sequence)
        .Object("mobDebtItem", &Debt::mobDebtItem)
        .Object("mobNotes", &Debt::mobNotes)
        .Object("mobNameAddress", &Debt::mobNameAddress);
}

}  // namespace mz
