// The properties that many record classes share because their tables share the columns: the
// identity and bookkeeping columns every versioned row has, the page columns of schedule rows and
// the name columns the views join. A class places them in its own kProperties, in its interface
// order, instead of spelling them again:
//
//   static constexpr PropertyDef kProperties[] = {row::kUniqueID, row::kReportID, ...,
//                                                 {"DebtCode", "Debt_type_code", ...}, ...};
//
// and declares the accessors every versioned row has with MZ_ROW_ACCESSORS().
#pragma once

#include "core/record_class.h"

namespace mz::row {

inline constexpr PropertyDef kUniqueID{"UniqueID", "unique_id", PropType::Long, kGet};
inline constexpr PropertyDef kReportID{"ReportID", "report_id", PropType::Long, kGet | kLet};
inline constexpr PropertyDef kGroupID{"GroupID", "group_id", PropType::Long, kGet};
inline constexpr PropertyDef kEntityID{"EntityID", "entity_id", PropType::Long, kGet | kLet};
inline constexpr PropertyDef kPageAmountID{"PageAmountID", "page_amount_id", PropType::Long,
                                           kGet | kLet};
inline constexpr PropertyDef kSequence{"Sequence", "Sequence", PropType::Long, kGet | kLet};
inline constexpr PropertyDef kAmendCode{"AmendCode", "amend_code", PropType::Text, kGet | kLet};
inline constexpr PropertyDef kOrigDate{"OrigDate", "orig_date", PropType::Text, kGet,
                                       Conversion::DateText};
inline constexpr PropertyDef kOrigUserID{"OrigUserID", "orig_user_id", PropType::Text, kGet};
inline constexpr PropertyDef kUserID{"UserID", "user_id", PropType::Text, kGet};
inline constexpr PropertyDef kUpdateDate{"UpdateDate", "update_date", PropType::Text, kGet,
                                         Conversion::DateText};

// The page a schedule row was printed on, kept on the row.
inline constexpr PropertyDef kCurrentPageNumber{"CurrentPageNumber", "current_page_number",
                                                PropType::Text, kGet | kLet,
                                                Conversion::NumberText};
inline constexpr PropertyDef kMaxPageNumber{"MaxPageNumber", "max_page_number", PropType::Text,
                                            kGet | kLet, Conversion::NumberText};
inline constexpr PropertyDef kCurrentPageAmount{"CurrentPageAmount", "current_page_amount",
                                                PropType::Text, kGet | kLet,
                                                Conversion::NumberText};
inline constexpr PropertyDef kMaxPageAmount{"MaxPageAmount", "max_page_amount", PropType::Text,
                                            kGet | kLet, Conversion::NumberText};

// The name columns of the row's entity, joined by the views.
inline constexpr PropertyDef kIsOrg{"IsOrg", "is_org", PropType::Boolean, kGet};
inline constexpr PropertyDef kOrgName{"OrgName", "org_name", PropType::Text, kGet};
inline constexpr PropertyDef kFirstName{"FirstName", "first_name", PropType::Text, kGet};
inline constexpr PropertyDef kLastName{"LastName", "last_name", PropType::Text, kGet};

}  // namespace mz::row

// The accessors of the columns every versioned row has (the class's kProperties must hold them).
#define MZ_ROW_ACCESSORS()      \
    MZ_LONG_GETTER(UniqueID);   \
    MZ_LONG_PROPERTY(ReportID); \
    MZ_LONG_GETTER(GroupID);    \
    MZ_TEXT_GETTER(OrigDate);   \
    MZ_TEXT_GETTER(OrigUserID); \
    MZ_TEXT_GETTER(UserID);     \
    MZ_TEXT_GETTER(UpdateDate)
