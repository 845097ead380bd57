// Creating a new, empty report database at the current schema version from the schema files.
#pragma once

#include <string>
#include <vector>

#include "db/sql_dialect.h"

namespace mz {

// Creates the report database at path: a file for the embedded engine, or, for a server's
// connection string (IsServerConnection), the database it names (created when the server has
// none of that name). Returns "" or an error text; refuses an existing file or a database that
// already holds tables, and leaves nothing behind when it fails.
std::string CreateReportDatabase(const std::string& path);

// What building the schema asks of one engine. Private to the db layer.
class SchemaTarget {
  public:
    virtual ~SchemaTarget() = default;
    virtual const SqlDialect& Dialect() const = 0;
    // Runs one or more statements; "" or the engine's message.
    virtual std::string Exec(const std::string& sql) = 0;
    // Every statement of every stored procedure prepares against the finished schema.
    virtual std::string CheckProcedures() = 0;
    // The seed rows of the lookup tables (db/lookup_tables.h).
    virtual std::string LoadSeed() = 0;
};

// Builds the whole schema through target, inside the transaction its caller opened.
std::string BuildReportSchema(SchemaTarget& target);

// Every column of every table and view of the schema as the embedded engine declares it (its
// name's case, its type with length and precision), for an engine that keeps neither: read from
// the schema built in memory. Empty, with error set, when that fails.
struct DeclaredColumn {
    std::string table;  // lower case
    std::string column;
    std::string type;
};
std::vector<DeclaredColumn> DeclaredColumns(std::string& error);

}  // namespace mz
