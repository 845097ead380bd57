// The report database's schema files and the seed rows of its lookup tables, embedded in the
// binary at build time (see cmake/embed_sql.cmake).
#pragma once

#include <string_view>
#include <vector>

namespace mz {

struct SchemaFile {
    std::string_view name;
    std::string_view text;
};

// The schema files, in the order they are applied.
const std::vector<SchemaFile>& SchemaFiles();
// One CSV file per lookup table, "<table>.csv", in the order of src/db/seed's file names; a file
// there may name its table on a first line "# table <name>" (db/lookup_tables.h).
const std::vector<SchemaFile>& SeedFiles();

}  // namespace mz
