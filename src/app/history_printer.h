// How mzreport shows a diff of two report versions and the history of one row
// (history/version_diff.h): lines for a person, or one JSON object for tools.
//
// Diff JSON: {"report_group_id", "from": version, "to": version, "sections": [{"table", "class",
//   "section", "added": [row], "deleted": [row], "changed": [{"group_id", "from_unique_id",
//   "to_unique_id", "columns": [{"column", "old", "new"}]}], "edits": [edit]}]} with every section,
//   a version {"report_id", "version_order", "kind"}, a row {"group_id", "unique_id", "values":
//   {...}} and an edit in place {"group_id", "unique_id", "report_id", "action" ("changed" or
//   "deleted"), "when", "user", "columns": [{"column", "old", "new"}]}.
// History JSON: {"table", "class", "group_id", "report_group_id", "versions": [{"unique_id",
//   "report_id", "version_order", "audit", "function", "replaces", "seen_until", "written",
//   "updated", "deleted", "changes": [{"column", "old", "new"}], "edits": [edit]}]}; replaces and
//   seen_until are null where the row has none, function for a row deleted in place.
#pragma once

#include <ostream>

#include "history/version_diff.h"

namespace mz::app {

void PrintDiff(std::ostream& out, const VersionDiff& diff, bool json);
void PrintHistory(std::ostream& out, const RowHistory& history, bool json);

}  // namespace mz::app
