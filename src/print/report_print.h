// The printed report: one version of a report as the paper form shows it, drawn to a PDF file.
// The pages, in order: the cover; the summary; each schedule (print_schedules.h) on its own
// pages in the order of its page rows, every page with the items that name it, in sequence, and
// at its foot the page row's total, the item count and "Page x of y"; the items that name no page
// of the version after them; notes under the rows they belong to; in a version based on another
// (an amendment, an audit) the rows that differ from it marked, and closing pages with what it
// deleted. The rows are those the classes' lists show: through the same views and version
// filter, so an audit prints its audit rows in place of the filed ones.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "db/db_connect.h"
#include "platform/date.h"
#include "print/printed_report.h"

namespace mz {

struct PrintOptions {
    std::optional<Date> printed_on;  // the date every header gives; today when not set
};

struct PrintSummary {
    int pages = 0;             // printed pages: cover, summary, schedule and closing pages
    int sheets = 0;            // sheets of the PDF, continuation sheets included
    int items = 0;             // schedule rows printed on the schedule pages
    int mismatched_pages = 0;  // pages whose total is not the sum of their items
    int unknown_glyphs = 0;    // characters no installed font could draw
};

// Writes the PDF (whole or not at all: an existing file is replaced only by a complete one).
// "" or an error text (a report that does not exist, a file that cannot be written); engine
// failures raise.
std::string PrintReport(DbConnect& db, int32_t report_id, const std::string& path,
                        const PrintOptions& options = {}, PrintSummary* summary = nullptr);

// The pages PrintReport draws, read from the database. "" or an error text.
std::string ReadPrintedReport(DbConnect& db, int32_t report_id, const PrintOptions& options,
                              PrintedReport& report, PrintSummary* summary = nullptr);

}  // namespace mz
