// The report database's schema files, embedded in the binary at build time (see
// cmake/embed_sql.cmake), in the order they are applied.
#pragma once

#include <string_view>
#include <vector>

namespace mz {

struct SchemaFile {
    std::string_view name;
    std::string_view text;
};

const std::vector<SchemaFile>& SchemaFiles();

}  // namespace mz
