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

    int32_t UniqueID() const;
    int32_t ReportID() const;
    void ReportID(int32_t value);
    int32_t GroupID() const;
    std::string ReportSection() const;
    void ReportSection(const std::string& value);
    std::string LinkID() const;
    void LinkID(const std::string& value);
    std::string NoteCode() const;
    void NoteCode(const std::string& value);
    std::string NoteKeywords() const;
    void NoteKeywords(const std::string& value);
    std::string Description() const;
    void Description(const std::string& value);
    std::string EntryDate() const;
    void EntryDate(const std::string& value);
    std::string AmendCode() const;
    void AmendCode(const std::string& value);
    std::string DeleteUserID() const;
    std::string OldTranID() const;
    std::string OldTable() const;
    // Null reads as "".
    std::string AllowMultiple() const;

    // The notes step of a parent's delete cascade: lists the notes of row's group seen through
    // the current report and deletes, on conn, those written in the row's report. False when a
    // deletion fails; raises 91 when notes is null.
    static bool DeleteRowNotes(const std::shared_ptr<clsNotes>& notes, const RecordObject& row,
                               DbConnect*& conn);

  private:
    std::string LinkedQuery(std::string_view select, int32_t ReportID, int32_t Link,
                            bool IsAudit) const;
};

}  // namespace mz
