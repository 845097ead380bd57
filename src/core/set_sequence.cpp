#include "core/set_sequence.h"

#include "core/error_mgmt.h"

namespace mz {

namespace {

Variant BoundOrNull(int32_t bound) {
    return bound == 0 ? Variant::Null() : Variant(bound);
}

}  // namespace

bool clsSetSequence::ConnectionVariables(const std::string& DatabaseName, const std::string& Source,
                                         const std::string& UsrName, const std::string& Pass,
                                         bool UseTrusted) {
    return db_.ConnectionVariables(DatabaseName, Source, UsrName, Pass, UseTrusted, 0, "", "");
}

Variant clsSetSequence::SetSequence(int32_t ReportID, int32_t LinkID,
                                    const std::string& ReportSection, int32_t PageID,
                                    int32_t LowEnd, int32_t HighEnd, int32_t Increment) {
    if (!db_.InTransaction()) db_.BeginTrans();
    try {
        std::string error = db_.CreateCommand("sp_misc_RPT_sequence_update");
        if (error.empty()) {
            db_.AddParameter("@Report_id", Variant(ReportID));
            db_.AddParameter("@Link_id", Variant(LinkID));
            db_.AddParameter("@Report_section_code", Variant(ReportSection));
            db_.AddParameter("@Page_id", Variant(PageID));
            db_.AddParameter("@Low_end", BoundOrNull(LowEnd));
            db_.AddParameter("@High_end", BoundOrNull(HighEnd));
            db_.AddParameter("@Increment", Variant(Increment));
            error = db_.ExecuteCommand();
        }
        if (db_.InTransaction()) db_.EndTrans(error.empty());
    } catch (...) {
        if (db_.InTransaction()) db_.EndTrans(false);
        int32_t number = 0;
        modErrorMgmt::ReportError("clsSetSequence.SetSequence", "", false, number);
    }
    return Variant();
}

}  // namespace mz
