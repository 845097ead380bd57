// clsCover_Data: a report's cover page: which committee fund files it, for which year, level and
// report sub-type, over which period, when it was certified and filed and by whom, whether it
// amends an earlier filing, and free-text memo and comments. Each report version has one cover
// row; a change to the cover an amendment inherits is a new version of it in the amendment, so
// the filed cover stays as filed.
//
// No navigation and no section code: a report has one cover. DeleteData always works on the own
// connection and owns its transaction; without a loaded row it raises through its error path.
// CheckReport replaces the loaded cover with link rows: reload the cover before reading it.
#pragma once

#include <cstdint>

#include "core/record_object.h"
#include "core/row_properties.h"

namespace mz {

enum mzMaxLength_Cover : int32_t {
    mzML_ReportName_Cover = 1,
    mzML_FundName_Cover = 2,
    mzML_ParentEntityName_Cover = 3,
    mzML_Memo_Cover = 4,
    mzML_SignedName_Cover = 5,
};

class clsCover_Data : public RecordObject {
  public:
    clsCover_Data();
    static const RecordClassInfo& ClassInfo();

    // The cover of report ReportID as that version sees it (the audit cover in place of the
    // filed one with IsAudit). False, with nothing loaded, for -1.
    bool GetDataDetail(int32_t ReportID = -1, bool IsAudit = false);
    // True when report ReportID is linked to a committee; False without a read below 1.
    bool CheckReport(int32_t ReportID);

    MZ_ROW_ACCESSORS();
    MZ_LONG_PROPERTY(EntityID);
    MZ_TEXT_PROPERTY(ReportYear);
    MZ_TEXT_PROPERTY(ReportLevelCode);
    MZ_TEXT_PROPERTY(ReportSubTypeCode);
    MZ_TEXT_GETTER(ReportSubTypeDesc);
    MZ_TEXT_PROPERTY(ReportName);
    MZ_TEXT_PROPERTY(CertDate);
    MZ_TEXT_PROPERTY(EntityTypeCode);
    MZ_TEXT_PROPERTY(OrigFiledTOLVID);
    MZ_TEXT_PROPERTY(FundTypeCode);
    MZ_TEXT_PROPERTY(FundName);
    MZ_TEXT_PROPERTY(StartDate);
    MZ_TEXT_PROPERTY(EndDate);
    MZ_TEXT_PROPERTY(FiledDate);
    MZ_TEXT_PROPERTY(ParentEntityID);
    MZ_TEXT_PROPERTY(ParentEntityName);
    MZ_TEXT_PROPERTY(SignedName);
    MZ_INTEGER_PROPERTY(IsAccountSegregated);
    MZ_TEXT_PROPERTY(Memo);
    MZ_INTEGER_PROPERTY(IsAmendment);
    MZ_TEXT_PROPERTY(OldElectionCycle);
    MZ_TEXT_PROPERTY(Comments);
    MZ_INTEGER_PROPERTY(FundraiserCount);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        row::kEntityID,
        {"ReportYear", "report_year", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"ReportLevelCode", "report_level_code", PropType::Text, kGet | kLet},
        {"ReportSubTypeCode", "report_sub_type_code", PropType::Text, kGet | kLet},
        {"ReportSubTypeDesc", "report_sub_type_desc", PropType::Text, kGet},
        {"ReportName", "report_name", PropType::Text, kGet | kLet},
        {"CertDate", "Certified_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"EntityTypeCode", "entity_type_code", PropType::Text, kGet | kLet},
        {"OrigFiledTOLVID", "orig_filed_tolvid", PropType::Text, kGet | kLet},
        {"FundTypeCode", "fund_type_code", PropType::Text, kGet | kLet},
        {"FundName", "fund_name", PropType::Text, kGet | kLet},
        {"StartDate", "Begin_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"EndDate", "end_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"FiledDate", "filed_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"ParentEntityID", "parent_entity_id", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"ParentEntityName", "parent_entity_name", PropType::Text, kGet | kLet},
        {"SignedName", "signed_name", PropType::Text, kGet | kLet},
        {"IsAccountSegregated", "is_account_segregated", PropType::Integer, kGet | kLet,
         Conversion::TriState},
        {"Memo", "Memo", PropType::Text, kGet | kLet},
        {"IsAmendment", "is_amendment", PropType::Integer, kGet | kLet, Conversion::TriState},
        {"OldElectionCycle", "old_election_cycle", PropType::Text, kGet | kLet,
         Conversion::NumberText},
        row::kOrigDate,
        row::kOrigUserID,
        row::kUserID,
        row::kUpdateDate,
        {"Comments", "Comments", PropType::Text, kGet | kLet},
        {"FundraiserCount", "Fundraiser_count", PropType::Integer, kGet | kLet},
    };
};

}  // namespace mz
