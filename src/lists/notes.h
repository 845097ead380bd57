// clsNotes: free-text notes attached to report rows. A note names a report section and links to
// its row through link_id, which holds the row's group_id, so a note follows every version of the
// row. Notes are changed and deleted in place whatever report they belong to (no "C" copy, no "D"
// marker). Every class with notes holds one as mobNotes and deletes a row's notes of the current
// report with the row (DeleteRowNotes).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/record_object.h"
#include "core/row_properties.h"

namespace mz {

enum mzMaxLength_Notes : int32_t { mzML_NoteKeywords_Notes = 1 };

class clsNotes : public RecordObject {
  public:
    clsNotes();
    static const RecordClassInfo& ClassInfo();

    // The notes of one row (Link = its group_id) seen through report ReportID; no text is built
    // for Link -1. True and Count when there are notes.
    bool GetDataList(int32_t ReportID = -1, int32_t Link = -1, bool IsAudit = false);
    // Number of visible notes of one row; replaces the loaded notes with the count row.
    int16_t GetNoteCount(int32_t ReportID, int32_t Link, bool IsAudit = false);
    // Section code of a table from lks_report_section, "" when there is none. Replaces the loaded
    // notes. Table goes into the SQL text unchanged.
    std::string GetTableCode(const std::string& Table);

    MZ_LONG_GETTER(UniqueID);
    MZ_LONG_PROPERTY(ReportID);
    MZ_LONG_GETTER(GroupID);
    MZ_TEXT_PROPERTY(ReportSection);
    MZ_TEXT_PROPERTY(LinkID);
    MZ_TEXT_PROPERTY(NoteCode);
    MZ_TEXT_PROPERTY(NoteKeywords);
    MZ_TEXT_PROPERTY(Description);
    MZ_TEXT_PROPERTY(EntryDate);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_TEXT_GETTER(DeleteUserID);
    MZ_TEXT_GETTER(OldTranID);
    MZ_TEXT_GETTER(OldTable);
    // Null reads as "".
    MZ_TEXT_GETTER(AllowMultiple);

    // Makes the parent's public member notes its notes child: connected with its other children
    // (in the order adopted) and, in the parent's delete cascade, listed for the row's group as
    // the current report sees it, deleting on conn those written in the row's report. The
    // member is read at each use, so a caller may replace it (91 when it is Nothing).
    static void Adopt(RecordObject& parent, std::shared_ptr<clsNotes>& notes);

    // The property table ClassInfo() points at; the accessors above resolve their names in it
    // at compile time.
    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        {"ReportSection", "report_section_code", PropType::Text, kGet | kLet},
        {"LinkID", "link_id", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"NoteCode", "Note_type_code", PropType::Text, kGet | kLet},
        {"NoteKeywords", "note_keywords", PropType::Text, kGet | kLet},
        {"Description", "Description", PropType::Text, kGet | kLet},
        {"EntryDate", "entry_date", PropType::Text, kGet | kLet, Conversion::DateText},
        row::kAmendCode,
        {"DeleteUserID", "delete_user_id", PropType::Text, kGet},
        {"OldTranID", "old_tran_id", PropType::Text, kGet},
        {"OldTable", "old_table", PropType::Text, kGet},
        {"AllowMultiple", "allow_multiple", PropType::Text, kGet},
    };

  private:
    std::string LinkedQuery(std::string_view select, int32_t ReportID, int32_t Link,
                            bool IsAudit) const;
};

}  // namespace mz
