#include "db/version_columns.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "db/versioned_table.h"
#include "platform/text.h"

namespace mz {
namespace {

// The shared columns of a declaration without columns of its own, less what its "D" marker keeps
// by default: the shared columns that copies carry over.
std::vector<std::string> Bookkeeping() {
    std::string error;
    const VersionedTable bare = ParseVersionedTable("CREATE VERSIONED TABLE t ()", error);
    std::vector<std::string> names;
    for (const VersionedColumn& c : bare.AllColumns()) {
        const bool carried =
            std::any_of(bare.marker.begin(), bare.marker.end(),
                        [&](const std::string& m) { return EqualsNoCase(m, c.name); });
        if (!carried) names.push_back(c.name);
    }
    return names;
}

}  // namespace

bool IsVersionBookkeeping(std::string_view column) {
    static const std::vector<std::string> names = Bookkeeping();
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& name) { return EqualsNoCase(name, column); });
}

}  // namespace mz
