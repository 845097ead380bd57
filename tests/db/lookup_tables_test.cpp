// The lookup tables as CSV files: a new database exports its seed files unchanged, and an import
// that finds anything wrong in any file names the file and line and changes nothing.
#include "db/lookup_tables.h"
#include "db/schema_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_db.h"

namespace mz {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(LookupTablesTest, ANewDatabaseExportsItsSeedFilesByteForByte) {
    test::TempReportDb db;
    const std::string dir = test::TempPath("export");
    ASSERT_EQ(ExportLookupTables(db.Path(), dir), "");
    // Every file of src/db/seed is embedded, under its table's name.
    const fs::path seed = fs::path(MZ_TEST_DATA_DIR) / "../../src/db/seed";
    EXPECT_EQ(SeedFiles().size(),
              static_cast<size_t>(std::distance(fs::directory_iterator(seed), {})));
    for (const SchemaFile& file : SeedFiles()) {
        SCOPED_TRACE(std::string(file.name));
        EXPECT_EQ(ReadFile(fs::path(dir) / file.name), file.text);
    }
    EXPECT_EQ(SeedFiles().size(),
              static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})));
    // And it reads back: the whole export imports as it stands.
    EXPECT_EQ(ImportLookupTables(db.Path(), dir), "");
    EXPECT_EQ(db.Scalar("select count(*) from lks_municipality"), "82");
}

TEST(LookupTablesTest, ABadFileIsRefusedWithItsLineAndNothingChanges) {
    test::TempReportDb db;
    const std::string good_county = "code,description\n099,Nowhere\n";
    struct Case {
        std::string file, text, error;
    } cases[] = {
        {"lks_state.csv", "code,description,expire_date\nVT,Vermont,\nXX,Nowhere,someday\n",
         "lks_state.csv line 3: column expire_date: \"someday\" is not a date"},
        {"lks_state.csv", "code,description\nVT,Vermont,extra\n",
         "lks_state.csv line 2: 3 values for 2 columns"},
        {"lks_state.csv", "code,description\nVT,\"Vermont\nNH,New Hampshire\n",
         "lks_state.csv line 2: a quoted field has no closing quote"},
        {"lks_state.csv", "code,description\nVTX,Vermont\n",
         "lks_state.csv line 2: column code: \"VTX\" is longer than its 2 characters"},
        {"lks_state.csv", "code,description\nVT,Vermont\nvt,again\n",
         "lks_state.csv line 3: " +
             std::string(test::OnPostgres() ? "duplicate key value violates unique constraint"
                                            : "UNIQUE constraint failed: lks_state.code")},
        {"lks_state.csv", "code,description\nVT,\n",
         "lks_state.csv line 2: column description "
         "may not be empty"},
        {"lks_state.csv", "code,name\n", "lks_state.csv line 1: lks_state has no column \"name\""},
        {"lks_state.csv", "code\nVT\n",
         "lks_state.csv line 1: column description is missing (it may not be empty)"},
        {"lks_state.csv", "", "lks_state.csv the file is empty"},
        {"lks_name_type.csv", "code,description,sequence,is_ind_exp\nIND,Individual,1,yes\n",
         "lks_name_type.csv line 2: column is_ind_exp: \"yes\" is not a bit (0 or 1)"},
        {"rpt_notes.csv", "unique_id\n", "rpt_notes.csv: rpt_notes is not a lookup table"},
        // A NUL byte would cut the value short; a number beyond its column's range would come
        // back as another; a key column left out would leave every key Null.
        {"lks_state.csv", std::string("code,description\nVT,Ver\0mont\n", 29),
         "lks_state.csv line 2: a NUL byte (is it a text file?)"},
        {"lks_state.csv", std::string("code,description\n\"0\0\",Nowhere\n", 29),
         "lks_state.csv line 2: a NUL byte (is it a text file?)"},
        {"lks_name_type.csv", "code,description,sequence,is_ind_exp\nIND,Individual,4294967297,1\n",
         "lks_name_type.csv line 2: column sequence: \"4294967297\" is not a whole number from "},
        {"lks_state.csv", "description\nVermont\n",
         "lks_state.csv line 1: column code is missing (it may not be empty)"},
        // A folder, or a device, named like a lookup file.
        {"lks_state.csv", "<folder>", "lks_state.csv: is a folder, not a lookup file"},
        {"lks_state.csv", "<device>", "lks_state.csv: is not a regular file, so not a lookup file"},
        {"lks_state.csv", "<huge>", "lks_state.csv: is longer than the 16 MB a lookup file may be"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + ": " + c.text.substr(0, 60));
        const std::string dir = test::TempPath("import");
        fs::create_directories(dir);
        std::ofstream(fs::path(dir) / "lks_county.csv") << good_county;  // read first, undone
        const fs::path file = fs::path(dir) / c.file;
        if (c.text == "<folder>") {
            fs::create_directories(file);
        } else if (c.text == "<device>") {
            fs::create_symlink("/dev/zero", file);
        } else if (c.text == "<huge>") {
            std::ofstream(file) << "code,description\n" << std::string(17 << 20, 'x');
        } else {
            std::ofstream(file, std::ios::binary) << c.text;
        }
        const std::string error = ImportLookupTables(db.Path(), dir);
        EXPECT_EQ(error.substr(0, c.error.size()), c.error);
        EXPECT_EQ(db.Scalar("select count(*) from lks_county"), "14");
        EXPECT_EQ(db.Scalar("select count(*) from lks_state"), "63");
    }
    EXPECT_EQ(ImportLookupTables(db.Path(), test::TempPath("none")).substr(0, 22),
              "cannot read the folder");
}

// Import and export open a report database as every command does, and refuse what the others
// refuse with the same reason: a missing file, a folder, a file of another kind, a database of a
// newer or older schema version. Nothing is created or changed.
TEST(LookupTablesTest, OnlyAReportDatabaseOfThisVersionIsImportedInto) {
    test::TempReportDb db;
    const std::string dir = test::TempPath("lists");
    fs::create_directories(dir);
    std::ofstream(fs::path(dir) / "lks_county.csv") << "code,description\n099,Nowhere\n";
    for (const auto& [version, reason] :
         {std::pair{"99", "is a report database of schema version 99, newer than version"},
          std::pair{"0", "is a report database of schema version 0, older than version"}}) {
        db.Exec(std::string("UPDATE mz_schema_version SET version = ") + version);
        EXPECT_NE(ImportLookupTables(db.Path(), dir).find(reason), std::string::npos) << version;
        EXPECT_NE(ExportLookupTables(db.Path(), test::TempPath("x")).find(reason),
                  std::string::npos);
        db.Exec("UPDATE mz_schema_version SET version = 1");
    }
    EXPECT_EQ(db.Scalar("select count(*) from lks_county"), "14");
    if (test::OnPostgres()) return;
    const std::string missing = test::TempPath("missing.db");
    EXPECT_EQ(ExportLookupTables(missing, test::TempPath("x")),
              "No report database at \"" + missing + "\": there is no such file.");
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(ImportLookupTables(dir, dir), "\"" + dir + "\" is a folder, not a report database.");
    const std::string text = (fs::path(dir) / "lks_county.csv").string();
    EXPECT_EQ(ImportLookupTables(text, dir),
              "\"" + text + "\" is not a report database: it is not an SQLite database file.");
}

}  // namespace
}  // namespace mz
