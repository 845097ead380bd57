#include "core/report_versions.h"

namespace mz {

int32_t CreateReportVersion(DbConnect& db, const std::string& action, int32_t ref,
                            std::string& error) {
    error = db.CreateCommand("sp_misc_report_" + action);
    if (error.empty() && action != "new") error = db.AddParameter("@Ref_report_id", Variant(ref));
    if (error.empty()) error = db.ExecuteCommand();
    Variant id;
    if (error.empty()) error = db.GetParameter("@Report_id", id);
    db.ClearCommand();
    return error.empty() ? id.ToInt32() : -1;
}

std::string FileReportVersion(DbConnect& db, int32_t report_id) {
    std::string error = db.CreateCommand("sp_misc_report_file");
    if (error.empty()) error = db.AddParameter("@Report_id", Variant(report_id));
    if (error.empty()) error = db.ExecuteCommand();
    db.ClearCommand();
    return error;
}

}  // namespace mz
