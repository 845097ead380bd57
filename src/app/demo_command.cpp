// mzreport demo: the main job. Builds a report database and walks reports through it the way the
// front end does, by name through the object model, printing each call and what the lists show.
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "app/command_support.h"
#include "app/commands.h"
#include "app/demo_narrator.h"
#include "automation/object_model.h"
#include "core/report_versions.h"
#include "db/db_connect.h"
#include "db/schema_loader.h"
#include "platform/error.h"

namespace mz::app {
namespace {

const std::vector<std::string> kNoteColumns = {"unique_id", "report_id", "Description",
                                               "update_date"};

// The object works for this report from now on.
void Connect(Narrator& say, const ObjectRef& n, const std::string& path, int32_t report) {
    say.Call(n, "n", "ConnectionVariables",
             {Variant(path), Variant(""), Variant(""), Variant(""), Variant(false),
              Variant(std::to_string(report))});
}

// A new note on receipt group 7 in this report; false when it was not saved.
bool AddNote(Narrator& say, const ObjectRef& n, int32_t report, const char* text) {
    say.Call(n, "n", "GetData", {Variant(-1)});
    say.Let(n, "n", "ReportID", Variant(report));
    say.Let(n, "n", "ReportSection", Variant("REC"));
    say.Let(n, "n", "LinkID", Variant("7"));
    say.Let(n, "n", "Description", Variant(text));
    return say.Call(n, "n", "SaveData", {}).Scalar().ToBool();
}

// Notes hang on any report row (here receipt group 7) and are seen through later versions.
bool NotesChapter(Narrator& say, const std::string& path, DbConnect& db) {
    say.Chapter("Notes on a report row, by name through the object model");
    std::string error;
    const int32_t original = CreateReportVersion(db, "new", -1, error);
    say.Line("filed an original report: report " + std::to_string(original));

    ObjectRef n = say.Create("n", "clsNotes");
    Connect(say, n, path, original);
    for (const char* text :
         {"Cash received at the spring picnic", "Check returned once, redeposited",
          "Donor asked for a receipt by mail"}) {
        if (!AddNote(say, n, original, text)) return false;
    }
    say.Call(n, "n", "GetDataList", {Variant(original), Variant(7)});
    say.Show(n, "the notes of row 7 in report " + std::to_string(original), kNoteColumns);

    say.Line("change the second note: one sp_update_table call for the one changed column");
    say.Call(n, "n", "MoveFirst", {});
    say.Call(n, "n", "MoveNext", {});
    say.Let(n, "n", "Description", Variant("Check returned once, redeposited on 3/2"));
    say.Call(n, "n", "SaveData", {});

    const int32_t amendment = CreateReportVersion(db, "amend", original, error);
    say.Line("amended report " + std::to_string(original) + ": report " +
             std::to_string(amendment));
    Connect(say, n, path, amendment);
    if (!AddNote(say, n, amendment, "Amendment: donor's employer corrected")) return false;
    say.Call(n, "n", "GetDataList", {Variant(amendment), Variant(7)});
    say.Show(n, "report " + std::to_string(amendment) + " sees the earlier notes and its own",
             kNoteColumns);
    say.Call(n, "n", "GetDataList", {Variant(original), Variant(7)});
    say.Show(n, "report " + std::to_string(original) + " is unchanged by its amendment",
             kNoteColumns);
    say.Call(n, "n", "GetNoteCount", {Variant(amendment), Variant(7)});

    const int32_t audit = CreateReportVersion(db, "audit", amendment, error);
    say.Line("audited report " + std::to_string(amendment) + ": report " + std::to_string(audit));
    Connect(say, n, path, audit);
    if (!AddNote(say, n, audit, "Auditor: deposit slip seen")) return false;
    say.Call(n, "n", "GetDataList", {Variant(audit), Variant(7), Variant(true)});
    say.Show(n, "the audit list of report " + std::to_string(audit) + " adds the auditor's note",
             kNoteColumns);
    return true;
}

// Wrong calls fail loudly and lose nothing.
void SafetyChapter(Narrator& say, DbConnect& db) {
    say.Chapter("Bad input gets a clear error and changes nothing");
    ObjectRef n = say.Create("n", "clsNotes");
    say.Call(n, "n", "GetDataList", {Variant("next week")});
    say.Call(n, "n", "Colour", {});
    ResultSet rs;
    say.Line("a query that would write is refused: " +
             db.OpenRecordset("delete from rpt_notes", rs));
    say.Line("so is a second statement: " +
             db.OpenRecordset("select 1 as one; drop table rpt_notes", rs));
    db.OpenRecordset("select count(*) as notes from rpt_notes", rs);
    say.Line("notes still stored: " + rs.Value("notes").ToText());
}

}  // namespace

int RunDemo(const std::vector<std::string>& all_args) {
    CommandArgs parsed;
    if (auto status = ParseArgs(*FindCommand("demo"), all_args, parsed)) return *status;
    const std::vector<std::string>& args = parsed.rest;
    std::string path = args.empty() ? (std::filesystem::temp_directory_path() /
                                       ("mzreport_demo_" + std::to_string(::getpid()) + ".db"))
                                          .string()
                                    : args[0];
    if (std::string e = CreateReportDatabase(path); !e.empty()) {
        std::fprintf(stderr, "mzreport demo: %s\n", e.c_str());
        return 1;
    }
    Narrator say(std::cout);
    say.Line("MZ report bus demo on the new report database " + path);
    try {
        DbConnect db;
        if (!db.ConnectionVariables(path, "", "", "", false)) {
            std::fprintf(stderr, "mzreport demo: cannot open %s\n", path.c_str());
            return 1;
        }
        bool ok = NotesChapter(say, path, db);
        for (const DemoChapter& chapter : DemoChapters()) ok = ok && chapter.run(say, path, db);
        SafetyChapter(say, db);
        say.Line(ok ? "\nDemo finished." : "\nDemo stopped: a step failed.");
        say.Line("The database stays at " + path + "; look around with\n  mzreport shell " + path +
                 "\n  mzreport query " + path + " \"select * from vw_mz_rpt_notes\"");
        return ok ? 0 : 1;
    } catch (const Error& e) {
        std::cerr << ErrorLine(e) << "\n";
        return 1;
    }
}

}  // namespace mz::app
