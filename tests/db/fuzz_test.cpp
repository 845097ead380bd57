// Hostile T-SQL, generated and mutated from the translator corpus: the translator never crashes
// and answers SQL or its refusal, and OpenRecordset never writes, whatever it is given.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "db/db_connect.h"
#include "db/tsql_translator.h"
#include "platform/error.h"
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

}  // namespace
}  // namespace mz
