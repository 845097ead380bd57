#include "db/version_columns.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "db/versioned_table.h"

namespace mz {
namespace {

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The shared columns of a declaration without columns of its own, less what its "D" marker keeps
// by default: the shared columns that copies carry over.
std::vector<std::string> Bookkeeping() {
    std::string error;
    const VersionedTable bare = ParseVersionedTable("CREATE VERSIONED TABLE t ()", error);
    std::vector<std::string> names;
    for (const VersionedColumn& c : bare.AllColumns()) {
        const bool carried = std::any_of(bare.marker.begin(), bare.marker.end(),
                                         [&](const std::string& m) { return SameName(m, c.name); });
        if (!carried) names.push_back(c.name);
    }
    return names;
}

}  // namespace

bool IsVersionBookkeeping(std::string_view column) {
    static const std::vector<std::string> names = Bookkeeping();
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& name) { return SameName(name, column); });
}

}  // namespace mz
