// The sections of a report as the report database declares them: every versioned table of the
// schema's registry (mz_versioned_table), with the record class whose lists show it (found in the
// object model through AutoClass::Record). A table added to the schema later is a section without
// code here: the registry names it and its columns are read from the database.
//
// Every function returns "" or an error text naming what is missing; engine failures raise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/record_class.h"
#include "db/db_connect.h"

namespace mz {

struct ReportSection {
    std::string table;                        // as the registry spells it
    std::string section_code;                 // "" when the table has none
    const RecordClassInfo* record = nullptr;  // the class listing the table; null when none does

    std::string ClassName() const { return record ? std::string(record->class_name) : ""; }
};

// One version of a report group.
struct ReportVersion {
    int32_t report_id = -1;
    int32_t report_group_id = -1;
    int32_t version_order = 0;
    bool is_audit = false;
    Variant filed;                // when it was filed; Null while it is open
    int32_t filed_change_id = 0;  // the change journal's last line then

    // "original", "amendment" or "audit".
    std::string Kind() const;
};

// Every section, in the order of their table names.
std::string ReadReportSections(DbConnect& db, std::vector<ReportSection>& sections);
// The section of table (any case).
std::string FindReportSection(DbConnect& db, std::string_view table, ReportSection& section);
std::string ReadReportVersion(DbConnect& db, int32_t report_id, ReportVersion& version);

// The table's data columns, in table order: every column but those the versioning adds to every
// table (the row's identifiers, version range, audit flag, dates and users), except the shared
// ones that a "C" copy carries over like the table's own (sequence and page). Their field types
// too, when types is given.
std::string ReadDataColumns(DbConnect& db, const ReportSection& section,
                            std::vector<std::string>& columns,
                            std::vector<VarType>* types = nullptr);

}  // namespace mz
