// clsOfficer_Data: the people and entities named on a report's officer schedule. Each row points
// to a name-and-address entity, carries a name type code (the committee entity itself is 'CEN')
// and, where it applies, a judicial seat. Besides the plain list it loads the cover page's lists:
// the committee entity, or the officers with their names, roles and page numbers.
//
// The object owns two children, created with it and replaceable by the caller: mobNotes and
// mobNameAddress (the officer's entity). Deleting an officer of the current report deletes, in
// one transaction, its notes of the current report, then the entity's entry when the name
// component allows it, then the row.
#pragma once

#include <cstdint>
#include <memory>

#include "core/record_object.h"
#include "core/row_properties.h"
#include "lists/notes.h"
#include "names/name_address.h"

namespace mz {

enum mzMaxLength_Officer : int32_t { mzML_JudicialSeat_Officer = 1 };

class clsOfficer_Data : public RecordObject {
  public:
    clsOfficer_Data();
    static const RecordClassInfo& ClassInfo();

    std::shared_ptr<clsNotes> mobNotes;
    std::shared_ptr<NameAddress> mobNameAddress;

    // The report's rows naming an entity (entity_id <> 0) for the cover page: with IsEntity the
    // committee entity ('CEN') only, else everyone else. Columns unique_id, first_name,
    // last_name, full_name, name_type_desc, and page_amount_id holding the page row's
    // current_page_number (Null without a page). No text is built for ReportID -1.
    bool GetDataReportCover(int32_t ReportID = -1, bool IsEntity = false, bool IsAudit = false);

    MZ_ROW_ACCESSORS();
    // Not an insert parameter, as Comments: both reach the database through a later save.
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(EntityID);
    MZ_TEXT_PROPERTY(NameCode);
    MZ_TEXT_PROPERTY(JudicialSeat);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_TEXT_PROPERTY(Comments);
    MZ_TEXT_GETTER(FirstName);
    MZ_TEXT_GETTER(LastName);
    MZ_TEXT_GETTER(FullName);
    MZ_TEXT_GETTER(NameTypeDesc);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        row::kPageAmountID,
        row::kEntityID,
        {"NameCode", "Name_type_code", PropType::Text, kGet | kLet},
        {"JudicialSeat", "judicial_seat", PropType::Text, kGet | kLet},
        row::kAmendCode,
        row::kOrigDate,
        row::kOrigUserID,
        row::kUserID,
        row::kUpdateDate,
        {"Comments", "Comments", PropType::Text, kGet | kLet},
        row::kFirstName,
        row::kLastName,
        {"FullName", "full_name", PropType::Text, kGet},
        {"NameTypeDesc", "name_type_desc", PropType::Text, kGet},
    };
};

}  // namespace mz
