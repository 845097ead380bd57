// The history chapter of `mzreport demo`: a small report filed, amended and audited, a change of
// the filed report refused, then what `mzreport diff` says the amendment changed (the edits in
// place from the change journal among it) and what `mzreport history` tells of the one
// contribution that both the amendment and the audit touched.
#include "app/demo_history.h"

#include <sstream>

#include "app/history_printer.h"
#include "core/report_versions.h"
#include "history/version_diff.h"
#include "platform/error.h"
#include "receipts/receipt_data.h"

namespace mz::app {
namespace {

// A contribution saved in report; its unique_id, 0 when it was not saved.
int32_t Contribution(clsReceipt_Data& r, int32_t report, double amount, const char* who) {
    r.GetData();
    r.ReportID(report);
    r.ReceiptCode("ind");
    r.Amount(Currency::FromDouble(amount));
    r.Description(who);
    r.TransDate("03/01/2005");
    return r.SaveData() ? r.UniqueID() : 0;
}

// The command line and what it prints, indented.
void Print(Narrator& say, const std::string& command, const std::string& output) {
    say.Line("  $ mzreport " + command);
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) say.Line("    " + line);
}

}  // namespace

bool RunHistoryDemo(Narrator& say, const std::string& path, DbConnect& db) {
    say.Chapter("What changed: the diff of an amendment and the history of one contribution");
    std::string error;
    const int32_t filed = CreateReportVersion(db, "new", -1, error);
    clsReceipt_Data r;
    r.ConnectionVariables(path, "", "", "", false, std::to_string(filed));
    const int32_t chen = Contribution(r, filed, 250, "Chen, Li");
    const int32_t small = Contribution(r, filed, 480, "small contributions");
    const int32_t group = r.GetData(chen) ? r.GroupID() : 0;
    clsNotes& note = *r.mobNotes;
    note.GetData();
    note.ReportID(filed);
    note.LinkID(std::to_string(group));
    note.Description("cash at the spring dinner");
    bool ok = note.SaveData();
    const int32_t note_id = note.UniqueID();

    const int32_t amended = CreateReportVersion(db, "amend", filed, error);
    // A script still working in the filed report: the database refuses its change.
    std::string refused = "nothing refused it";
    try {
        r.GetData(chen);
        r.Amount(Currency::FromDouble(999));
        r.SaveData();
    } catch (const Error& e) {
        refused = e.Description();
    }
    r.ConnectionVariables(path, "", "", "", false, std::to_string(amended));
    r.GetData(chen);
    r.Amount(Currency::FromDouble(275));
    ok = ok && r.SaveData();
    ok = ok && r.GetData(small) && r.DeleteData(small);
    const int32_t rivera = Contribution(r, amended, 90, "Rivera, Ana");
    r.Amount(Currency::FromDouble(95));  // corrected in place before the amendment is filed
    ok = ok && rivera > 0 && r.SaveData();

    const int32_t audit = CreateReportVersion(db, "audit", amended, error);
    r.ConnectionVariables(path, "", "", "", false, std::to_string(audit));
    ok = ok && r.GetDataList(audit, true);
    for (r.MoveFirst(); ok && !r.EOF(); r.MoveNext()) {
        if (r.GroupID() != group) continue;
        r.Amount(Currency::FromDouble(270));
        ok = r.SaveData();
        break;
    }
    // Notes change in place, in any version: the journal keeps what the filed one said.
    clsNotes later;
    later.ConnectionVariables(path, "", "", "", false, std::to_string(audit));
    ok = ok && later.GetData(note_id);
    later.Description("cash at the spring dinner, counted twice");
    ok = ok && later.SaveData();
    say.Line("report " + std::to_string(filed) + " files Chen's 250 (a note: cash) and 480 in " +
             "small gifts; its amendment " + std::to_string(amended) + " makes Chen's 275, " +
             "withdraws the small gifts and adds Rivera's 90, corrected to 95; the audit " +
             std::to_string(audit) + " finds Chen gave 270, and the note is corrected");
    say.Line("a script still saving in report " + std::to_string(filed) +
             " is refused: " + refused);

    VersionDiff diff;
    error = DiffReportVersions(db, filed, amended, diff);
    std::ostringstream diff_text;
    if (error.empty()) PrintDiff(diff_text, diff, false);
    Print(say, "diff DB " + std::to_string(filed) + " " + std::to_string(amended),
          error.empty() ? diff_text.str() : error);

    RowHistory history;
    const std::string history_error = ReadRowHistory(db, "rpt_Receipts", group, history);
    std::ostringstream history_text;
    if (history_error.empty()) PrintHistory(history_text, history, false);
    Print(say, "history DB rpt_Receipts " + std::to_string(group),
          history_error.empty() ? history_text.str() : history_error);
    size_t edits = 0;
    for (const SectionDiff& s : diff.sections) edits += s.edits.size();
    return ok && error.empty() && history_error.empty() && history.versions.size() == 3 &&
           edits == 2 && refused.find(" was filed on ") != std::string::npos;
}

}  // namespace mz::app
