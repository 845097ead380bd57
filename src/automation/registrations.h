// The registration function of each class (or group of platform classes), each defined in its
// own registrations_*.cpp. ObjectModel::Instance() calls every one once.
#pragma once

namespace mz {

class ObjectModel;

void RegisterDbClasses(ObjectModel& model);  // DbConnect, ResultSet
void RegisterNameAddress(ObjectModel& model);
void RegisterClsNotes(ObjectModel& model);
void RegisterClsLookupList(ObjectModel& model);
void RegisterClsSetSequence(ObjectModel& model);
// clsGnSItems_Data, clsLoanItems_Data, clsReceipt_Data
void RegisterReceiptClasses(ObjectModel& model);
// clsExpenditureItems_Data, clsExpenditure_Data, clsDebtItem_Data, clsDebt_Data
void RegisterExpenditureClasses(ObjectModel& model);
// clsAccount_Data, clsOfficer_Data, clsTransfer_Data, clsAdminSupport_Data
void RegisterCommitteeClasses(ObjectModel& model);
// clsCover_Data, clsSummary_Data, clsPage_Amount
void RegisterReportClasses(ObjectModel& model);

}  // namespace mz
