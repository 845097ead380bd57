#include "automation/object_model.h"
#include "automation/registrations.h"
#include "receipts/receipt_data.h"

namespace mz {

// The items first: the receipt hands them out through mobGnSItem and mobLoanEndorers.
void RegisterReceiptClasses(ObjectModel& model) {
    using GnS = clsGnSItems_Data;
    using Loan = clsLoanItems_Data;
    using Receipt = clsReceipt_Data;
    const std::vector<Param> items_of = {{"ReceiptID", int32_t{-1}}, {"IsAudit", false}};
    const std::vector<Param> sequence_of = {"ReportID", "ReceiptID", {"IsAudit", false}};

    model.Register<GnS>("clsGnSItems_Data", "MZ_report_bus.clsGnSItems_Data")
        .RecordMembers(GnS::ClassInfo())
        .Method("GetDataList", &GnS::GetDataList, items_of)
        .Method("GetNewSequence", &GnS::GetNewSequence, sequence_of)
        .Method("DeleteData", static_cast<bool (GnS::*)(int32_t, DbConnect*&)>(&GnS::DeleteData),
                {"UniqueID", {"ObConnect", Variant()}});

    model.Register<Loan>("clsLoanItems_Data", "MZ_report_bus.clsLoanItems_Data")
        .RecordMembers(Loan::ClassInfo())
        .Method("GetDataList", &Loan::GetDataList, items_of)
        .Method("GetDataLoanList", &Loan::GetDataLoanList, items_of)
        .Method("GetNewSequence", &Loan::GetNewSequence, sequence_of)
        .Object("mobNameAddress", &Loan::mobNameAddress);

    model.Register<Receipt>("clsReceipt_Data", "MZ_report_bus.clsReceipt_Data")
        .RecordMembers(Receipt::ClassInfo())
        .Method("GetDataReceiptList", &Receipt::GetDataReceiptList,
                {"ReportVersion", {"ReportID", int32_t{-1}}, {"IsAudit", false}})
        .Method("GetDataOutstandingLoanList", &Receipt::GetDataOutstandingLoanList,
                {{"ReportID", int32_t{-1}}, {"IsAudit", false}})
        .Method("GetNewSequence", &Receipt::GetNewSequence,
                {"ReportID", {"SectionCode", ""}, {"IsAudit", false}})
        .Method("SaveData", &Receipt::SaveData, {{"IsAudit", false}})
        .Object("mobGnSItem", &Receipt::mobGnSItem)
        .Object("mobLoanEndorers", &Receipt::mobLoanEndorers)
        .Object("mobNotes", &Receipt::mobNotes)
        .Object("mobNameAddress", &Receipt::mobNameAddress);
}

}  // namespace mz
