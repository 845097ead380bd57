// The dialect translator: the corpus in translator_corpus.test runs every T-SQL text through
// TranslateTsql and an in-memory SQLite database with the dialect functions (the tables of
// translator_schema.sql), or pins the exact translation where the text itself is the point.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "db/sql_dialect.h"
#include "db/sqlite_functions.h"
#include "db/tsql_translator.h"
#include "support/fuzz.h"

namespace mz {
namespace {

class Database {
  public:
    Database() {
        sqlite3_open(":memory:", &db_);
        RegisterDialectFunctions(db_);
        std::ifstream in(std::string(MZ_TEST_DATA_DIR) + "/translator_schema.sql");
        const std::string schema{std::istreambuf_iterator<char>(in), {}};
        char* message = nullptr;
        if (sqlite3_exec(db_, schema.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            ADD_FAILURE() << "schema: " << (message ? message : "");
            sqlite3_free(message);
        }
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The rows as tab-separated lines (NULL for Null), the column names first when asked;
    // "ERROR: <message>" when the statement fails.
    std::vector<std::string> Rows(const std::string& sql, bool names) {
        std::vector<std::string> rows;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            return {std::string("ERROR: ") + sqlite3_errmsg(db_)};
        int columns = sqlite3_column_count(stmt);
        auto line = [&](auto cell) {
            std::string text;
            for (int i = 0; i < columns; ++i) text += (i ? "\t" : "") + cell(i);
            rows.push_back(text);
        };
        if (names) line([&](int i) { return std::string(sqlite3_column_name(stmt, i)); });
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            line([&](int i) {
                const unsigned char* v = sqlite3_column_text(stmt, i);
                return v ? std::string(reinterpret_cast<const char*>(v)) : std::string("NULL");
            });
        }
        if (rc != SQLITE_DONE) rows = {std::string("ERROR: ") + sqlite3_errmsg(db_)};
        sqlite3_finalize(stmt);
        return rows;
    }

  private:
    sqlite3* db_ = nullptr;
};

struct CorpusCase {
    int line = 0;
    std::string kind;  // "query", "error" or "text"
    bool rowsort = false;
    bool names = false;
    std::string tsql;
    std::vector<std::string> expected;
};

// Blocks: a "query [rowsort] [names]", "error" or "text" line, the T-SQL lines, "----", the
// expected lines up to a blank line. Lines starting with # between blocks are comments.
std::vector<CorpusCase> ReadCorpus(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in) << "cannot read " << path;
    std::vector<CorpusCase> cases;
    std::string line;
    int number = 0;
    enum { Between, Text, Expected } state = Between;
    while (std::getline(in, line)) {
        ++number;
        if (state == Between) {
            if (line.empty() || line[0] == '#') continue;
            std::istringstream words(line);
            CorpusCase c;
            c.line = number;
            words >> c.kind;
            for (std::string option; words >> option;) {
                c.rowsort |= option == "rowsort";
                c.names |= option == "names";
            }
            EXPECT_TRUE(c.kind == "query" || c.kind == "error" || c.kind == "text")
                << path << ":" << number;
            cases.push_back(c);
            state = Text;
        } else if (state == Text) {
            if (line == "----") {
                state = Expected;
                continue;
            }
            cases.back().tsql += (cases.back().tsql.empty() ? "" : "\n") + line;
        } else if (line.empty()) {
            state = Between;
        } else {
            cases.back().expected.push_back(line);
        }
    }
    return cases;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
}

std::string Sql(std::string_view tsql) {
    Translation tr = TranslateTsql(tsql);
    return tr.error.empty() ? tr.sql : "ERROR " + tr.error;
}

TEST(TranslatorCorpus, EveryTextGivesItsRowsOrItsError) {
    const std::string path = std::string(MZ_TEST_DATA_DIR) + "/translator_corpus.test";
    std::vector<CorpusCase> cases = ReadCorpus(path);
    ASSERT_GT(cases.size(), 40u);
    Database db;
    for (const CorpusCase& c : cases) {
        SCOPED_TRACE(path + ":" + std::to_string(c.line) + "\n" + c.tsql);
        if (c.kind == "text") {
            EXPECT_EQ(Sql(c.tsql) + "\n", Joined(c.expected));
            continue;
        }
        Translation tr = TranslateTsql(c.tsql);
        if (c.kind == "error") {
            ASSERT_EQ(c.expected.size(), 1u);
            EXPECT_NE(tr.error.find(c.expected[0]), std::string::npos) << "error: " << tr.error;
            continue;
        }
        ASSERT_EQ(tr.error, "");
        std::vector<std::string> rows = db.Rows(tr.sql, c.names);
        std::vector<std::string> expected = c.expected;
        if (c.rowsort) {
            std::sort(rows.begin() + (c.names ? 1 : 0), rows.end());
            std::sort(expected.begin() + (c.names ? 1 : 0), expected.end());
        }
        EXPECT_EQ(Joined(rows), Joined(expected)) << "translated: " << tr.sql;
    }
}

TEST(TranslatorText, MdyDatesBecomeIsoText) {
    EXPECT_EQ(MdyDateToIso("3/5/2005"), "2005-03-05");
    EXPECT_EQ(MdyDateToIso("12/31/1999 11:59:30 PM"), "1999-12-31 23:59:30");
    EXPECT_EQ(MdyDateToIso("1/1/2005 12:00:00 AM"), "2005-01-01");
    EXPECT_EQ(MdyDateToIso("1/1/80"), "1980-01-01");
    EXPECT_EQ(MdyDateToIso("1/1/49"), "2049-01-01");
    EXPECT_EQ(MdyDateToIso("2/29/2004 7:05"), "2004-02-29 07:05:00");
    for (const char* bad : {"2/29/2005", "02/30/2005", "13/1/2005", "1/1/205", "1/1/2005 ",
                            "1/1/2005 25:00", "1/1/2005 0:00 PM", "2005-01-01", "1-1-2005", ""})
        EXPECT_EQ(MdyDateToIso(bad), std::nullopt) << bad;
}

TEST(TranslatorText, ExecBecomesAProcedureCall) {
    Translation tr = TranslateTsql("  exec sp_MZ_ss_municipality_list");
    EXPECT_EQ(tr.error, "");
    EXPECT_EQ(tr.sql, "");
    EXPECT_EQ(tr.exec_procedure, "sp_MZ_ss_municipality_list");
    EXPECT_TRUE(tr.exec_args.empty());

    tr = TranslateTsql("EXECUTE [dbo].sp_x 'it''s', -12, 3.5, null, 3000000000, word;");
    EXPECT_EQ(tr.error, "");
    EXPECT_EQ(tr.exec_procedure, "dbo.sp_x");
    std::string args;
    for (const Variant& v : tr.exec_args)
        args += std::string(VarTypeName(v.Type())) + " " + v.ToText() + "; ";
    EXPECT_EQ(args, "String it's; Long -12; Double 3.5; Null ; Double 3000000000; String word; ");
}

// Nesting past the limit is refused at the level that passes it, however the text nests; a text
// just inside it still translates.
TEST(TranslatorText, DeepTextsAreRefusedNotOverflowed) {
    using test::Repeat;
    const std::string refused =
        "ERROR the text nests more than 128 levels of parentheses, case "
        "blocks, signs or \"+\" operands at offset ";
    EXPECT_EQ(Sql("select " + Repeat("(", 20'000) + "1" + Repeat(")", 20'000)), refused + "135");
    EXPECT_EQ(Sql("select 1" + Repeat(" + 1", 20'000)), refused + "513");
    EXPECT_EQ(Sql("select " + Repeat("- ", 100'000) + "1"), refused + "259");
    EXPECT_EQ(Sql("select " + Repeat("case when 1 = 1 then ", 5'000) + "1" + Repeat(" end", 5'000))
                  .substr(0, refused.size()),
              refused);
    EXPECT_EQ(Sql("select " + Repeat("x' or (", 20'000)).substr(0, 6), "ERROR ");
    EXPECT_EQ(Sql("select " + Repeat("(", 60) + "1 + 2" + Repeat(")", 60)),
              "select " + Repeat("(", 60) + "mz_add(1, 2)" + Repeat(")", 60));
}

TEST(TranslatorTokens, KindsAndLengths) {
    auto token = [](std::string_view text, size_t pos = 0) {
        size_t length = 0;
        TokenKind kind = NextToken(text, pos, &length);
        return std::make_pair(kind, length);
    };
    using K = TokenKind;
    EXPECT_EQ(token("  \n\tx"), std::make_pair(K::Blank, size_t{4}));
    EXPECT_EQ(token("-- c\nx"), std::make_pair(K::Comment, size_t{5}));
    EXPECT_EQ(token("/* a /* b */ c */x"), std::make_pair(K::Comment, size_t{17}));
    EXPECT_EQ(token("'a''b' c"), std::make_pair(K::String, size_t{6}));
    EXPECT_EQ(token("N'x'"), std::make_pair(K::String, size_t{4}));
    EXPECT_EQ(token("Name"), std::make_pair(K::Identifier, size_t{4}));
    EXPECT_EQ(token("[a]]b] c"), std::make_pair(K::BracketIdentifier, size_t{6}));
    EXPECT_EQ(token("\"a\"\"b\""), std::make_pair(K::QuotedIdentifier, size_t{6}));
    EXPECT_EQ(token("12and"), std::make_pair(K::Number, size_t{2}));
    EXPECT_EQ(token("1e+5x"), std::make_pair(K::Number, size_t{4}));
    EXPECT_EQ(token("@@rowcount+1"), std::make_pair(K::Variable, size_t{10}));
    EXPECT_EQ(token("<>1"), std::make_pair(K::Operator, size_t{2}));
    EXPECT_EQ(token("a.b", 1), std::make_pair(K::Dot, size_t{1}));
    EXPECT_EQ(token("'abc"), std::make_pair(K::Unterminated, size_t{4}));
    EXPECT_EQ(token("`"), std::make_pair(K::Illegal, size_t{1}));
}

TEST(TranslatorCache, SharesOneTranslationPerTextAndEmptiesWhenFull) {
    TranslationCache cache(3);
    std::shared_ptr<const Translation> a = cache.Get("select 1 + 2");
    EXPECT_EQ(a->sql, "select mz_add(1, 2)");
    EXPECT_EQ(cache.Get(std::string("select 1 + 2")).get(), a.get());
    cache.Get("select 2");
    cache.Get("select 3");
    EXPECT_EQ(cache.Size(), 3u);
    cache.Get("select 4");  // full: emptied, then this one kept
    EXPECT_EQ(cache.Size(), 1u);
    EXPECT_EQ(a->sql, "select mz_add(1, 2)");  // handed-out translations stay valid
    EXPECT_NE(cache.Get("select 1 + 2").get(), a.get());

    TranslationCache shared;
    std::vector<std::thread> threads;
    std::vector<const Translation*> seen(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) shared.Get("select " + std::to_string(i % 50));
            seen[t] = shared.Get("select x + 1").get();
        });
    }
    for (std::thread& th : threads) th.join();
    for (const Translation* p : seen) EXPECT_EQ(p, seen[0]);
}

}  // namespace
}  // namespace mz

namespace mz {
namespace {

// The server's dialect: the few words it says otherwise, conversions by the kind of the target
// type, and the schema's own SQL rewritten token by token (literals and comments untouched).
TEST(TranslatorDialects, PostgresWordsConversionsAndSchemaText) {
    const std::pair<const char*, const char*> tsql[] = {
        {"select isnull(a, 0), getdate() from t",
         "select coalesce(a, 0), LOCALTIMESTAMP(0) from t"},
        {"select convert(varchar(10), d, 101)", "select left(mz_text(d, 101), 10)"},
        {"select convert(char(3), x), convert(varchar, y)",
         "select rpad(mz_text(x), 3), left(mz_text(y), 30)"},
        {"select convert(int, '12'), cast(x as money), cast(y as numeric(9,2))",
         "select mz_int('12'), round(mz_number(x), 4), round(mz_number(y), 2)"},
        {"select convert(bit, x), convert(datetime, '3/1/2005', 101)",
         "select mz_bit_of(x), mz_datetime('3/1/2005', 101)"},
        {"select a from t order by a, max(b, c) desc, d limit 1",
         "select a from t order by a NULLS FIRST, max(b, c) desc NULLS LAST, d NULLS FIRST limit "
         "1"},
        {"select row_number() over (order by a desc) from (select a from t order by a) x",
         "select row_number() over(order by a desc NULLS LAST) from (select a from t order by a "
         "NULLS FIRST) x"},
        {"select convert(xml, x)",
         "ERROR unsupported construct 'convert' to xml on PostgreSQL at offset 7"},
    };
    for (const auto& [in, out] : tsql) {
        const Translation tr = TranslateTsql(in, TsqlDialect::PostgreSQL);
        EXPECT_EQ(tr.error.empty() ? tr.sql : "ERROR " + tr.error, out) << in;
    }
    const std::pair<const char*, const char*> schema[] = {
        {"name varchar(50) COLLATE NOCASE, id integer PRIMARY KEY AUTOINCREMENT",
         "name citext, id integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"},
        {"code varchar(3) PRIMARY KEY COLLATE NOCASE, d varchar(60) NOT NULL COLLATE NOCASE",
         "code citext PRIMARY KEY, d citext NOT NULL"},
        {"WHERE a IS NOT NULL AND b IS NOT @x", "WHERE a IS NOT NULL AND b IS DISTINCT FROM @x"},
        {"d datetime DEFAULT (datetime('now', 'localtime')), f bit -- bit\n, 'bit'",
         "d timestamp(0) DEFAULT (LOCALTIMESTAMP(0)), f mz_bit -- bit\n, 'bit'"},
    };
    for (const auto& [in, out] : schema) {
        EXPECT_EQ(RewriteSchemaSql(in, PostgresDialect()), out);
        EXPECT_EQ(RewriteSchemaSql(in, SqliteDialect()), in);
    }
}

}  // namespace
}  // namespace mz
