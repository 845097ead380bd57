#include <cstdio>
#include <filesystem>

#include "app/commands.h"
#include "db/db_connect.h"
#include "db/schema_loader.h"
#include "names/name_address.h"
#include "platform/error.h"

namespace mz::app {
namespace {

bool Check(bool ok, const char* what) {
    std::printf("  %-52s %s\n", what, ok ? "ok" : "FAILED");
    return ok;
}

}  // namespace

int RunDemo(const std::vector<std::string>& args) {
    std::string path = args.empty() ? "demo.db" : args[0];
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        std::fprintf(stderr, "mzreport demo: \"%s\" exists; give a new path\n", path.c_str());
        return 1;
    }
    std::printf("Report database %s\n", path.c_str());
    if (std::string e = CreateReportDatabase(path); !e.empty()) {
        std::fprintf(stderr, "%s\n", e.c_str());
        return 1;
    }
    try {
        bool ok = true;
        DbConnect db;
        ok &= Check(db.ConnectionVariables(path, "", "", "", false), "connect to the new database");
        NameAddress names;
        names.ConnectionVariables(path, "", "", "", false);
        NameAddressEntry donor;
        donor.last_name = "Rivera";
        donor.first_name = "Ana";
        donor.city = "Springfield";
        std::string error;
        ok &= Check(names.Save(donor, error) > 0, "store a contributor's name and address");
        ResultSet rs;
        error = db.OpenRecordset(
            "select name = last_name + ', ' + isnull(first_name, ''), city from rpt_name_address",
            rs);
        ok &= Check(error.empty() && rs.RecordCount() == 1 && rs.Value("name").ToText() == "Rivera, Ana",
                    "read it back through a T-SQL list query");
        ok &= Check(!db.OpenRecordset("delete from rpt_name_address", rs).empty(),
                    "a writing statement is refused by a query");
        ok &= Check(names.CanDelete(donor.unique_id), "an entity named nowhere may be deleted");
        db.BeginTrans();
        ok &= Check(names.DeleteData(donor.unique_id, 0, db), "delete it inside a transaction");
        db.EndTrans(false);
        ok &= Check(db.OpenRecordset("select * from rpt_name_address", rs).empty() &&
                        rs.RecordCount() == 1,
                    "a rolled-back deletion leaves the entity in place");
        std::printf(ok ? "Demo finished.\n" : "Demo FAILED.\n");
        return ok ? 0 : 1;
    } catch (const Error& e) {
        std::fprintf(stderr, "Error %d: %s [%s]\n", e.Number(), e.Description().c_str(),
                     e.Source().c_str());
        return 1;
    }
}

}  // namespace mz::app
