// The report database's own SQL (the schema files, the generated versioned tables, their
// procedures, views and triggers) is written once, in SQLite's dialect: the baseline. A dialect
// is that baseline plus the few things another engine says differently, as data: token
// sequences replaced in every schema statement, the expression for the identifier a session
// last inserted, and the shape of a trigger. Private to the db layer; the translator's table of
// differences for the classes' T-SQL lives beside it in tsql_translator.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mz {

struct SchemaRewrite {
    // Tokens compared without case and without the blanks between them; "#" stands for any one
    // number ("varchar ( # )").
    std::vector<std::string_view> pattern;
    std::string_view replacement;
};

struct SqlDialect {
    std::string_view name;
    std::vector<SchemaRewrite> rewrites;  // tried in order at each token; the first match wins
    // The identifier this session last inserted into column of table (after an insert whose
    // triggers may insert elsewhere).
    std::string (*last_id)(std::string_view table, std::string_view column);
    // A row trigger: event is "AFTER INSERT", "AFTER UPDATE OF a, b" or "AFTER DELETE"; body is
    // statements ending in ';' that read NEW and OLD; when, if not "", a condition on NEW and OLD
    // alone (no subquery) without which the body does not run.
    std::string (*trigger)(std::string_view name, std::string_view event, std::string_view table,
                           std::string_view when, std::string_view body);
    // Statements run on a new database before any schema file: the functions and types the
    // other statements use, and the views over the engine's own catalog (mz_entity_column: every
    // column of a table that names an entity, for NameAddress.CanDelete).
    std::string_view prelude;
};

const SqlDialect& SqliteDialect();
const SqlDialect& PostgresDialect();

// The text with the dialect's rewrites applied token by token; comments and string literals are
// copied through.
std::string RewriteSchemaSql(std::string_view sql, const SqlDialect& dialect);

}  // namespace mz
