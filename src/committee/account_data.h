// clsAccount_Data: the committee's bank accounts listed on a report: type, abbreviation, number,
// purpose, the organisation that holds the account (a name-and-address entity) and the balances
// at the start and end of the period. Besides the plain list it loads the accounts of the report
// cover, in sequence order, with the holding organisation's name.
//
// The object owns two children, created with it and replaceable by the caller: mobNotes and
// mobNameAddress (the holding organisation). Deleting an account of the current report deletes,
// in one transaction, its notes of the current report, then the organisation's entry when the
// name component allows it, then the row.
#pragma once

#include <cstdint>
#include <memory>

#include "core/record_object.h"
#include "core/row_properties.h"
#include "lists/notes.h"
#include "names/name_address.h"

namespace mz {

enum mzMaxLength_Account : int32_t {
    mzML_AccountAbbr_Account = 1,
    mzML_Purpose_Account = 2,
    mzML_BeginBalance_Account = 3,
    mzML_EndBalance_Account = 4,
    mzML_AccountType_Account = 5,
};

class clsAccount_Data : public RecordObject {
  public:
    clsAccount_Data();
    static const RecordClassInfo& ClassInfo();

    std::shared_ptr<clsNotes> mobNotes;
    std::shared_ptr<NameAddress> mobNameAddress;

    // The report's accounts for the cover page, by sequence, with org_name of the holding
    // organisation (Null when the account names none). No text is built for ReportID -1.
    bool GetDataReportCover(int32_t ReportID = -1, bool IsAudit = false);

    MZ_ROW_ACCESSORS();
    // Writes without the DataReady test: with no current row it raises.
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(Sequence);
    MZ_LONG_PROPERTY(EntityID);
    MZ_TEXT_PROPERTY(AccountType);
    MZ_TEXT_PROPERTY(AccountAbbr);
    // Not an insert parameter: it reaches the database through a later save of the stored row.
    MZ_TEXT_PROPERTY(AccountNumber);
    MZ_TEXT_PROPERTY(Purpose);
    MZ_CURRENCY_PROPERTY(BeginBalance);
    MZ_CURRENCY_PROPERTY(EndBalance);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_TEXT_PROPERTY(Comments);
    MZ_TEXT_GETTER(OrgName);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        {"PageAmountID", "page_amount_id", PropType::Long, kGet | kLetAlways},
        row::kSequence,
        row::kEntityID,
        {"AccountType", "account_type", PropType::Text, kGet | kLet},
        {"AccountAbbr", "account_abbr", PropType::Text, kGet | kLet},
        {"AccountNumber", "account_number", PropType::Text, kGet | kLet},
        {"Purpose", "Purpose", PropType::Text, kGet | kLet},
        {"BeginBalance", "begin_balance", PropType::Currency, kGet | kLet},
        {"EndBalance", "end_balance", PropType::Currency, kGet | kLet},
        row::kAmendCode,
        row::kOrigDate,
        row::kOrigUserID,
        row::kUserID,
        row::kUpdateDate,
        {"Comments", "Comments", PropType::Text, kGet | kLet},
        row::kOrgName,
    };
};

}  // namespace mz
