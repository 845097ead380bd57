#include "automation/object_model.h"
#include "automation/registrations.h"
#include "committee/account_data.h"
#include "committee/admin_support_data.h"
#include "committee/officer_data.h"
#include "committee/transfer_data.h"

namespace mz {

void RegisterCommitteeClasses(ObjectModel& model) {
    using Account = clsAccount_Data;
    using Officer = clsOfficer_Data;
    using Transfer = clsTransfer_Data;
    using Support = clsAdminSupport_Data;
    const std::vector<Param> list = {{"ReportID", int32_t{-1}}, {"IsAudit", false}};

    model.Register<Account>("clsAccount_Data", "MZ_report_bus.clsAccount_Data")
        .RecordMembers(Account::ClassInfo())
        .Method("GetDataReportCover", &Account::GetDataReportCover, list)
        .Object("mobNotes", &Account::mobNotes)
        .Object("mobNameAddress", &Account::mobNameAddress);

    model.Register<Officer>("clsOfficer_Data", "MZ_report_bus.clsOfficer_Data")
        .RecordMembers(Officer::ClassInfo())
        .Method("GetDataReportCover", &Officer::GetDataReportCover,
                {{"ReportID", int32_t{-1}}, {"IsEntity", false}, {"IsAudit", false}})
        .Object("mobNotes", &Officer::mobNotes)
        .Object("mobNameAddress", &Officer::mobNameAddress);

    model.Register<Transfer>("clsTransfer_Data", "MZ_report_bus.clsTransfer_Data")
        .RecordMembers(Transfer::ClassInfo())
        .Method("GetDataList", &Transfer::GetDataList, list)
        .Method("GetNewSequence", &Transfer::GetNewSequence,
                {"ReportID", {"SectionCode", ""}, {"IsAudit", false}})
        .Object("mobNotes", &Transfer::mobNotes);

    model.Register<Support>("clsAdminSupport_Data", "MZ_report_bus.clsAdminSupport_Data")
        .RecordMembers(Support::ClassInfo())
        .Method("GetDataList", &Support::GetDataList, list)
        .Method("GetNewSequence", &Support::GetNewSequence, {"ReportID", {"IsAudit", false}})
        .Object("mobNotes", &Support::mobNotes);
}

}  // namespace mz
