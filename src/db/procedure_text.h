// Reading the report database's own SQL files: plain statements, CREATE PROCEDURE blocks (the
// format is described at the top of schema/00_base.sql) and CREATE VERSIONED TABLE declarations
// (db/versioned_table.h). Private to the db layer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/backend.h"

namespace mz {

struct ProcedureText {
    std::string name;
    std::string parameters;  // the declaration, e.g. "@Function varchar(1), @Unique_id int OUTPUT"
    std::string body;        // statements between BEGIN and END
};

struct SchemaScript {
    std::vector<std::string> plain;  // runs of plain SQL, in file order
    std::vector<ProcedureText> procedures;
    // "CREATE VERSIONED TABLE" declarations, without their "END;" (db/versioned_table.h).
    std::vector<std::string> tables;
};

// Splits a schema file; error set (with the line number) for an unterminated block.
SchemaScript ParseSchemaScript(std::string_view text, std::string& error);

// Parses a parameter declaration list; error set for a malformed entry.
std::vector<ProcedureParam> ParseParameters(std::string_view declaration, std::string& error);

}  // namespace mz
