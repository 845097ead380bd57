// The dialect translator: the corpus in translator_corpus.test runs every T-SQL text through
// TranslateTsql and an in-memory SQLite database with the dialect functions; the cases below
// pin the exact text where the text itself is the point.
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

// A few report tables, with views where the record classes read views.
constexpr const char* kSchema = R"sql(
create table rpt_name_address (unique_id integer primary key, is_org bit,
    org_name varchar(100) collate nocase, last_name varchar(50) collate nocase,
    first_name varchar(50) collate nocase);
insert into rpt_name_address values (100, 0, null, 'Adams', 'Ann'), (101, 0, null, 'Brown', null),
    (102, 1, 'Acme PAC', null, null), (103, null, 'Nameless Org', 'Zed', 'Zoe');

create table rpt_receipts (unique_id integer primary key, group_id int, report_group_id int,
    ref_report_id int, ref_is_audit bit, delete_date datetime, sequence int, entity_id int,
    receipt_type_code varchar(4) collate nocase, is_aggregated bit, page_amount_id int,
    amount money, receipt_date datetime, last_name varchar(30) collate nocase,
    original_amount money, balance money);
insert into rpt_receipts values
    (1, 1, 7, 10, 0, null, 1, 100, 'ind', 0, 500, 100.5, '2005-03-15', 'Adams', null, null),
    (2, 2, 7, 10, 0, null, 2, 101, 'ind', 1, 500, 25, '2005-03-16 14:30:00', null, null, null),
    (3, 3, 7, 10, 0, null, 3, 102, 'IND', null, 501, 250, '2005-04-01', 'Baker', null, null),
    (4, 4, 7, 10, 0, null, 4, 999, 'otln', 0, null, 1000, '2005-02-28', null, 1500, 1000),
    (5, 2, 7, 10, 1, null, 2, 101, 'ind', 0, 500, 30, '2005-03-16', null, null, null),
    (6, 5, 7, 10, 0, '2005-05-01', 5, 100, 'ind', 0, 500, 5, '2005-03-20', 'Adams', null, null),
    (7, 6, 7, 10, 0, null, 6, 103, 'otln', 0, 501, 50, '2005-03-01', 'Zed', 200, 0);
create view vw_mz_rpt_receipts_ref_basic as select * from rpt_receipts;

create table rpt_page_amount (unique_id int, group_id int, ref_report_id int,
    report_group_id int, ref_is_audit bit, delete_date datetime, actual_page_number int,
    current_page_number int, current_page_amount money, max_page_number int,
    max_page_amount money, report_section_code varchar(3) collate nocase,
    report_section_type_code varchar(4) collate nocase);
insert into rpt_page_amount values
    (1, 500, 10, 7, 0, null, 3, 3, 100.5, 3, 100.5, 'rec', 'ind'),
    (2, 501, 10, 7, 0, null, 1, 1, 250, 1, 250, 'rec', 'ind'),
    (3, 502, 10, 7, 0, null, 2, 2, 99.25, 2, 99.25, 'exp', 'oper'),
    (4, 501, 10, 7, 1, null, 9, 9, null, 9, 300, 'rec', 'ind');
create view vw_mz_rpt_page_amount_ref_basic as select * from rpt_page_amount;
create view vw_mz_rpt_page_amount_ref_current as select * from rpt_page_amount;

create table lks_receipt_type (code varchar(4) collate nocase, description varchar(50),
    abbrev varchar(10), sequence int, in_receipt_section bit, effective_date datetime,
    expire_date datetime);
insert into lks_receipt_type values
    ('ind', 'Individual', 'IND', 1, 1, '1990-01-01', null),
    ('otln', 'Outstanding loan', 'LOAN', 2, 0, '1990-01-01', null),
    ('old', 'Old type', 'OLD', 3, 1, '1990-01-01', '2000-01-01'),
    ('new', 'New type', 'NEW', 4, 1, '2005-03-16', null);
create table lks_expenditure_type (code varchar(4) collate nocase, description varchar(50),
    abbrev varchar(10), sequence int);
insert into lks_expenditure_type values ('oper', 'Operating', 'OP', 1);
create table lks_debt_type (code varchar(4) collate nocase, description varchar(50), sequence int);
insert into lks_debt_type values ('dbt', 'Debt', 1);

create table lks_report_section (code varchar(3) collate nocase, table_name varchar(50),
    sequence int);
insert into lks_report_section values ('rec', 'rpt_receipts', 1), ('exp', 'rpt_expenditures', 2),
    ('x+y', 'it''s', 3);

create table ref_election (unique_id int, election_date datetime);
insert into ref_election values (1, '2004-11-02'), (2, '2005-03-08'), (3, '2005-11-08'),
    (4, '1999-12-31 23:59:59');

create table ref_user (unique_id int, group_id int, user_name varchar(30) collate nocase,
    end_date datetime, is_system_user bit);
insert into ref_user values (1, 1, 'alice_old', '2004-01-01', 0), (2, 1, 'alice', null, 0),
    (3, 2, 'bob', '2004-06-30', 0), (4, 3, 'system', null, 1), (5, 4, 'carol', null, 0);

create table lks_election_type (code varchar(4) collate nocase, description varchar(50),
    sequence int, is_primary bit, parent_code varchar(4), effective_date datetime,
    expire_date datetime, update_date datetime);
insert into lks_election_type values
    ('gen', 'General', 1, 0, null, '1980-01-01', null, '2004-01-01'),
    ('pr2', 'Primary 2', 2, 1, null, '1980-01-01', null, '2004-01-01');
create table lku_office (code varchar(4) collate nocase, description varchar(50),
    effective_date datetime, expire_date datetime);
insert into lku_office values ('oth', 'Other office', '1990-01-01', null),
    ('gov', 'Governor', '1990-01-01', null);

create table rpt_expenditure_items (unique_id int, group_id int, report_group_id int,
    ref_report_id int, ref_is_audit bit, delete_date datetime, page_amount_id int, sequence int,
    entity_id int, office_sought_code varchar(4) collate nocase, office_name varchar(50),
    amount money, expenditure_id int);
insert into rpt_expenditure_items values
    (1, 1, 7, 10, 0, null, 502, 1, 100, 'OT', 'Dog catcher', 10, 77),
    (2, 2, 7, 10, 0, null, 502, 2, 101, 'gov', null, 20, 77),
    (3, 3, 7, 10, 0, null, 502, 3, 102, 'ot', 'Mayor', 30.5, 77),
    (4, 1, 7, 11, 1, null, 502, 1, 100, 'OT', 'Sheriff', 12, 77);
create view vw_mz_rpt_expenditure_items_ref_basic as select * from rpt_expenditure_items;
create table lku_office_sought (code varchar(4) collate nocase, Description varchar(50));
insert into lku_office_sought values ('gov', 'Governor'), ('OT', 'Other');

create table rpt_admin_support (unique_id int, group_id int, report_group_id int,
    ref_report_id int, ref_is_audit bit, delete_date datetime, sequence int,
    support_item_type_code varchar(4) collate nocase, support_item_type_desc varchar(50),
    support_item_other_desc varchar(50));
insert into rpt_admin_support values (1, 1, 7, 10, 0, null, 1, 'oth', 'Other', 'Coffee'),
    (2, 2, 7, 10, 0, null, 2, 'rnt', 'Rent', null), (3, 3, 7, 10, 0, null, 3, 'OTH', 'Other', null);
create view vw_mz_rpt_admin_support_ref_basic as select * from rpt_admin_support;
create table lks_support_item_type (code varchar(4) collate nocase, sequence int, allow_multiple bit);
insert into lks_support_item_type values ('oth', 2, 1), ('rnt', 1, null);
)sql";

class Database {
  public:
    Database() {
        sqlite3_open(":memory:", &db_);
        RegisterDialectFunctions(db_);
        char* message = nullptr;
        if (sqlite3_exec(db_, kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
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
    std::string kind;  // "query" or "error"
    bool rowsort = false;
    bool names = false;
    std::string tsql;
    std::vector<std::string> expected;
};

// Blocks: a "query [rowsort] [names]" or "error" line, the T-SQL lines, "----", the expected
// lines up to a blank line. Lines starting with # between blocks are comments.
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
            EXPECT_TRUE(c.kind == "query" || c.kind == "error") << path << ":" << number;
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

TEST(TranslatorCorpus, EveryTextGivesItsRowsOrItsError) {
    const std::string path = std::string(MZ_TEST_DATA_DIR) + "/translator_corpus.test";
    std::vector<CorpusCase> cases = ReadCorpus(path);
    ASSERT_GT(cases.size(), 40u);
    Database db;
    for (const CorpusCase& c : cases) {
        SCOPED_TRACE(path + ":" + std::to_string(c.line) + "\n" + c.tsql);
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

std::string Sql(std::string_view tsql) {
    Translation tr = TranslateTsql(tsql);
    return tr.error.empty() ? tr.sql : "ERROR " + tr.error;
}

TEST(TranslatorText, QuotedTextIsNeverRewritten) {
    EXPECT_EQ(Sql("select 'a+b=c' + x"), "select mz_add('a+b=c', x)");
    EXPECT_EQ(Sql("select 'isnull(a,b)', \"isnull\" from t where c = 'x = getdate() + 1'"),
              "select 'isnull(a,b)', \"isnull\" from t where c = 'x = getdate() + 1'");
    EXPECT_EQ(Sql("select 'it''s' + 'a -- b' -- isnull(c) + d\n from t"),
              "select mz_add('it''s', 'a -- b') -- isnull(c) + d\n from t");
    EXPECT_EQ(Sql("select [my col] = 'top 1', [a]]b] from t /* select top 1 */"),
              "select 'top 1' AS \"my col\", \"a]b\" from t /* select top 1 */");
    EXPECT_EQ(Sql("select N'x' + 1"), "select mz_add('x', 1)");
}

TEST(TranslatorText, PlusFindsItsOperandsByPrecedence) {
    EXPECT_EQ(Sql("select a + b * c"), "select mz_add(a, b * c)");
    EXPECT_EQ(Sql("select a + b - c"), "select mz_add(a, b) - c");
    EXPECT_EQ(Sql("select a - b + c"), "select mz_add(a - b, c)");
    EXPECT_EQ(Sql("select a+b+c"), "select mz_add(mz_add(a, b), c)");
    EXPECT_EQ(Sql("select -a + +b"), "select mz_add(-a, +b)");
    EXPECT_EQ(Sql("select (a + b) * f.c from t where x + 1 = y and not z + 2 > 3"),
              "select (mz_add(a, b)) * f.c from t where mz_add(x, 1) = y and not mz_add(z, 2) > 3");
    EXPECT_EQ(Sql("select isnull(na.last_name,'') + ', ' + isnull(na.first_name,'') full_name"),
              "select mz_add(mz_add(ifnull(na.last_name,''), ', '), ifnull(na.first_name,'')) "
              "full_name");
    EXPECT_EQ(Sql("select 'a' + case when x = 1 then 'b' end + (select max(y) from t)"),
              "select mz_add(mz_add('a', case when x = 1 then 'b' end), (select max(y) from t))");
    EXPECT_EQ(Sql("select a -- note\n + b"), "select mz_add(a-- note\n, b)");
}

TEST(TranslatorText, RewritesAtTokenBoundaries) {
    // A number runs into the next word when pieces are joined without a blank.
    EXPECT_EQ(Sql("where f.link_id = 12and f.ref_is_audit = 0"),
              "where f.link_id = 12 and f.ref_is_audit = 0");
    EXPECT_EQ(Sql("select 1e3, 1.5e-2, 0x1F, .5"), "select 1e3, 1.5e-2, 0x1F, .5");
    EXPECT_EQ(Sql("select isnull (x, y), ISNULL(x,y), isnullx(y), x.isnull"),
              "select ifnull(x, y), ifnull(x,y), isnullx(y), x.isnull");
    EXPECT_EQ(Sql("select getdate()"), "select datetime('now','localtime')");
    EXPECT_EQ(
        Sql("select convert(varchar(10), d, 101), CONVERT(Numeric(10, 2), '1.5'), cast(x as int)"),
        "select mz_convert('varchar(10)', d, 101), mz_convert('numeric(10,2)', '1.5'), "
        "mz_convert('int', x)");
    EXPECT_EQ(Sql("select x as 'a b', y as \"c\" where d !< 1"),
              "select x as \"a b\", y as \"c\" where d >= 1");
    EXPECT_EQ(Sql("where d >= '3/5/2005' and e < '02/30/2005' and f = '3/5/2005x'"),
              "where d >= '2005-03-05' and e < '02/30/2005' and f = '3/5/2005x'");
    EXPECT_EQ(Sql("select 5 - -3, 5 - - 3"), "select 5 - -3, 5 - - 3");
}

TEST(TranslatorText, ComparesIsnullWithQuotedIntegersAsText) {
    EXPECT_EQ(Sql("where isnull(r.x, 0) = '1' and '0' = isnull(y, 0) and isnull(z, 0) = 1"),
              "where CAST(ifnull(r.x, 0) AS TEXT) = '1' and '0' = CAST(ifnull(y, 0) AS TEXT) "
              "and ifnull(z, 0) = 1");
    EXPECT_EQ(
        Sql("select case isnull(a,'0') when '0' then 1 end, case isnull(b,'') when 'x' then 2 end"),
        "select case CAST(ifnull(a,'0') AS TEXT) when '0' then 1 end, "
        "case ifnull(b,'') when 'x' then 2 end");
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
    ASSERT_EQ(tr.exec_args.size(), 6u);
    EXPECT_EQ(tr.exec_args[0], Variant("it's"));
    EXPECT_EQ(tr.exec_args[1], Variant(int32_t{-12}));
    EXPECT_EQ(tr.exec_args[2], Variant(3.5));
    EXPECT_TRUE(tr.exec_args[3].IsNull());
    EXPECT_EQ(tr.exec_args[4], Variant(3000000000.0));
    EXPECT_EQ(tr.exec_args[5], Variant("word"));

    EXPECT_EQ(TranslateTsql("exec sp_x @a = 1").error,
              "unsupported construct 'exec argument @a' at offset 10");
    EXPECT_EQ(TranslateTsql("exec sp_x 1,").error, "missing exec argument at offset 12");
    EXPECT_EQ(TranslateTsql("exec sp_x 1; select 2").error,
              "unsupported construct 'statement after exec' at offset 13");
    EXPECT_EQ(TranslateTsql("exec").error, "exec without a procedure name at offset 4");
}

TEST(TranslatorText, RefusalsNameTheConstructAndItsOffset) {
    EXPECT_EQ(Sql("select top 5 * from t"), "ERROR unsupported construct 'top' at offset 7");
    EXPECT_EQ(Sql("select @@IDENTITY"), "ERROR unsupported construct '@@IDENTITY' at offset 7");
    EXPECT_EQ(Sql("select a, b into t2 from t"),
              "ERROR unsupported construct 'select ... into' at offset 12");
    EXPECT_EQ(Sql("select 'abc"), "ERROR unterminated string literal at offset 7");
    EXPECT_EQ(Sql("select [abc"), "ERROR unterminated bracketed name at offset 7");
    EXPECT_EQ(Sql("select 1 /* a /* b */"), "ERROR unterminated comment at offset 9");
    EXPECT_EQ(Sql("select (1"), "ERROR unbalanced parenthesis at offset 7");
    EXPECT_EQ(Sql("select 1)"), "ERROR unbalanced parenthesis at offset 8");
    EXPECT_EQ(Sql("select getdate(1)"), "ERROR getdate() takes no argument at offset 7");
    EXPECT_EQ(Sql("select case when a then b"), "ERROR case without end at offset 7");
    EXPECT_EQ(Sql("select convert(1, x)"),
              "ERROR unsupported construct 'convert' (expected convert(type, value [, style])) at "
              "offset 7");
    EXPECT_EQ(Sql("select a { b"), "ERROR unexpected character '{' at offset 9");
    // Parameters of procedure bodies pass through.
    EXPECT_EQ(Sql("select * from t where id = @Unique_id"),
              "select * from t where id = @Unique_id");
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
