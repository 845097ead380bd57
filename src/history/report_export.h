// A report version as files a filer opens elsewhere: every section (report_sections.h), the rows
// its version shows (the audit list for an audit version), one file per section named after its
// table. Columns: page_number (the number of the row's page in this version), the business
// columns of the section's list view, each column naming an entity (entity_id,
// reimbursee_entity_id, ...) followed by that entity's name (full_name, reimbursee_full_name,
// ...), and last the columns only the versioning reads (identifiers, version range, dates,
// users). Rows in page order, then sequence order, Null first, then by unique_id. A repeated
// column name gets a distinct key (UniqueKeys, platform/json_text.h) in both formats.
//
// CSV (RFC 4180): a header line of the column keys, then one line per row, lines ended by CR LF;
// a field holding a comma, a quote, a line break or nothing at all is quoted, with quotes
// doubled inside, so an empty text ("") stays apart from Null (an empty field). Numbers and money
// as digits with a point, dates yyyy-mm-dd [hh:mm:ss], True and False.
// JSON: {"table", "class", "report_id", "columns": [...], "rows": [{column: value, ...}]}.
// Both UTF-8, the texts as stored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/db_connect.h"
#include "platform/variant.h"

namespace mz {

enum class ExportFormat { kCsv, kJson };

// Writes the files into dir (created when missing; files of those names are replaced) and lists
// their paths in files. "" or an error text (an unknown report, a file that cannot be written);
// engine failures raise.
std::string ExportReport(DbConnect& db, int32_t report_id, const std::string& dir,
                         ExportFormat format, std::vector<std::string>* files = nullptr);

// One CSV field of the value, quoted where it must be.
std::string CsvField(const Variant& value);

}  // namespace mz
