// Hostile T-SQL, generated and mutated from the translator corpus: the translator never crashes
// and answers SQL or its refusal, and OpenRecordset never writes, whatever it is given. A
// corpus of calls that reach past the rows (hostile_calls.test) is refused by the engine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "db/db_connect.h"
#include "db/tsql_translator.h"
#include "lists/notes.h"
#include "platform/error.h"
#include "support/data_file.h"
#include "support/fuzz.h"
#include "support/temp_db.h"

namespace mz {
namespace {

// The texts of the translator corpus: seeds for the mutations.
std::vector<std::string> CorpusTexts() {
    std::ifstream in(std::string(MZ_TEST_DATA_DIR) + "/translator_corpus.test");
    std::vector<std::string> texts;
    std::string line;
    bool next = false;
    while (std::getline(in, line)) {
        if (next) texts.push_back(line);
        next = line.starts_with("query") || line == "error" || line == "text";
    }
    return texts;
}

TEST(FuzzTest, TranslatorAndOpenRecordsetSurviveHostileTextAndNeverWrite) {
    test::TempReportDb db;
    DbConnect conn;
    ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
    test::NewReportVersion(conn, "new");
    db.Exec("INSERT INTO rpt_notes (report_id, Description) VALUES (1, 'kept')");
    conn.QueryTimeLimit(std::chrono::milliseconds(50));
    const std::string digest = test::DatabaseDigest(db.Path());
    const std::vector<std::string> corpus = CorpusTexts();
    ASSERT_GT(corpus.size(), 50u);

    test::Fuzzer fuzz(20260413, "sql_pieces.txt", std::chrono::milliseconds(2500));
    int answered = 0;
    while (fuzz.More()) {
        const std::string text =
            fuzz.Below(2) ? fuzz.Grow(30) : fuzz.Mutate(corpus[fuzz.Below(corpus.size())]);
        SCOPED_TRACE(text);
        const Translation t = TranslateTsql(text);
        EXPECT_TRUE(t.error.empty() || t.sql.empty());
        ResultSet rs;
        try {
            answered += conn.OpenRecordset(text, rs).empty() ? 1 : 0;
        } catch (const Error& e) {
            EXPECT_EQ(e.Source(), test::EngineName());  // the engine's own errors only
        }
        EXPECT_FALSE(conn.InTransaction());
        if (test::DatabaseDigest(db.Path()) != digest) {
            ADD_FAILURE() << "the query wrote";
            break;
        }
    }
    EXPECT_GT(answered, 0);
    RecordProperty("texts", fuzz.Tried());
}

// The forms of one line of hostile_calls.test: a statement as it stands; a call with its name as
// written, quoted, bracketed and qualified by the engine's schema.
std::vector<std::string> HostileForms(const std::string& text) {
    if (text.starts_with("select") || text.starts_with("with") || text.find('(') == text.npos)
        return {text};
    const std::string name = text.substr(0, text.find('(')), args = text.substr(name.size());
    const std::string schema = test::OnPostgres() ? "pg_catalog" : "main";
    std::vector<std::string> forms;
    for (const std::string& call :
         {name, "\"" + name + "\"", "[" + name + "]", schema + "." + name,
          "\"" + schema + "\".\"" + name + "\"", "[" + schema + "].[" + name + "]"})
        forms.push_back("select " + call + args + " as x");
    return forms;
}

TEST(FuzzTest, CallsThatReachPastTheRowsAreRefusedByTheEngine) {
    test::TempReportDb db;
    DbConnect conn, other;
    ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
    ASSERT_TRUE(other.ConnectionVariables(db.Path(), "", "", "", false));
    test::NewReportVersion(conn, "new");
    db.Exec("INSERT INTO rpt_notes (report_id, Description) VALUES (1, 'kept')");
    clsNotes notes;
    ASSERT_TRUE(notes.ConnectionVariables(db.Path(), "", "", "", false, "1"));
    const std::string digest = test::DatabaseDigest(db.Path());
    const std::string file = test::TempPath("hostile");
    const std::string engine = test::OnPostgres() ? "postgres" : "sqlite";
    int tried = 0;
    for (std::string line : test::DataLines("hostile_calls.test")) {
        if (line.empty() || line.starts_with("#")) continue;
        const std::string engines = line.substr(0, line.find(' '));
        if (engines != "both" && engines != engine) continue;
        for (size_t at; (at = line.find("{file}")) != line.npos;) line.replace(at, 6, file);
        for (const std::string& text : HostileForms(line.substr(engines.size() + 1))) {
            SCOPED_TRACE(text);
            ++tried;
            ResultSet rs;
            std::string answer = "ran";
            try {
                answer = conn.OpenRecordset(text, rs);
            } catch (const Error& e) {
                answer = e.Description();
            }
            EXPECT_NE(answer, "ran") << "not refused";
            EXPECT_NE(answer, "");
            EXPECT_EQ(answer.find("root:"), answer.npos);
            // Inside a class's text it may run, if the engine lets it, but never reach further.
            std::string code;
            try {
                code =
                    notes.GetTableCode("x' union all select count(*) from (" + text + ") as t --");
            } catch (const Error&) {
            }
            EXPECT_EQ(code.find("root:"), code.npos);
            EXPECT_FALSE(conn.InTransaction());
        }
        ASSERT_EQ(test::DatabaseDigest(db.Path()), digest) << "written by: " << line;
    }
    EXPECT_GT(tried, 8);
    EXPECT_FALSE(std::filesystem::exists(file));
    ResultSet rs;  // the other session was neither ended nor cancelled
    EXPECT_EQ(other.OpenRecordset("select count(*) as n from rpt_notes", rs), "");
    if (test::OnPostgres()) {
        EXPECT_EQ(db.Scalar("select count(*) from pg_largeobject_metadata"), "0");
        EXPECT_EQ(
            db.Scalar("select count(*) from pg_locks l join pg_database d on d.oid = l.database "
                      "where l.locktype = 'advisory' and d.datname = current_database()"),
            "0");
    }
}

}  // namespace
}  // namespace mz
