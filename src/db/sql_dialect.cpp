#include "db/sql_dialect.h"

#include <cctype>

#include "db/tsql_translator.h"
#include "platform/text.h"

namespace mz {
namespace {

// The index past the match of pattern at tokens[i], or 0 when it does not match there.
size_t Match(const std::vector<SqlToken>& tokens, size_t i, const SchemaRewrite& rewrite) {
    for (std::string_view want : rewrite.pattern) {
        while (i < tokens.size() && tokens[i].kind == TokenKind::Blank) ++i;
        if (i >= tokens.size()) return 0;
        const SqlToken& t = tokens[i];
        const bool ok = want == "#" ? t.kind == TokenKind::Number
                                    : t.kind != TokenKind::Comment && EqualsNoCase(t.text, want);
        if (!ok) return 0;
        ++i;
    }
    return i;
}

std::string SqliteLastId(std::string_view, std::string_view) {
    return "last_insert_rowid()";
}

std::string SqliteTrigger(std::string_view name, std::string_view event, std::string_view table,
                          std::string_view when, std::string_view body) {
    return "CREATE TRIGGER " + std::string(name) + " " + std::string(event) + " ON " +
           std::string(table) + (when.empty() ? "" : " WHEN " + std::string(when)) + "\nBEGIN\n" +
           std::string(body) + "END;\n";
}

}  // namespace

const SqlDialect& SqliteDialect() {
    // "money real": the engine stores every amount as a REAL (a type name holding "real" gives the
    // column that affinity; plain "money" would keep whole amounts as integers), and the readers
    // of the declared type take its first word, money.
    static const SqlDialect dialect{
        "SQLite", {{{"money"}, "money real"}}, &SqliteLastId, &SqliteTrigger, R"sql(
CREATE VIEW mz_entity_column AS
SELECT m.name AS table_name, p.name AS column_name
FROM sqlite_master m, pragma_table_info(m.name) p
WHERE m.type = 'table' AND m.name <> 'rpt_name_address' AND p.name LIKE '%entity_id';
)sql"};
    return dialect;
}

std::string RewriteSchemaSql(std::string_view sql, const SqlDialect& dialect) {
    if (dialect.rewrites.empty()) return std::string(sql);
    const std::vector<SqlToken> tokens = Tokenize(sql);
    std::string out;
    out.reserve(sql.size() + sql.size() / 8);
    for (size_t i = 0; i < tokens.size();) {
        size_t end = 0;
        const SchemaRewrite* found = nullptr;
        if (tokens[i].kind == TokenKind::Identifier) {
            for (const SchemaRewrite& r : dialect.rewrites) {
                if ((end = Match(tokens, i, r)) != 0) {
                    found = &r;
                    break;
                }
            }
        }
        if (found) {
            out += found->replacement;
            i = end;
        } else {
            out += tokens[i++].text;
        }
    }
    return out;
}

}  // namespace mz
