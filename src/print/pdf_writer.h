// Draws a printed report (printed_report.h) to a PDF file with Cairo and Pango: US Letter sheets,
// DejaVu Sans embedded. Every sheet carries the report's header, the page's title and column
// labels and the page's foot; a page's rows fill as many sheets as they need (continuation sheets
// of the same page), texts wrap within their cells, and nothing is drawn outside the margins.
#pragma once

#include <string>

#include "print/printed_report.h"

namespace mz {

struct PdfStats {
    int sheets = 0;
    int unknown_glyphs = 0;  // characters no installed font could draw (drawn as boxes)
};

// Writes the PDF whole or not at all: it goes to a temporary file beside path and replaces path
// only when complete, so a failure leaves an existing file of that name as it was. "" or
// "Cannot write \"<path>\"." (a missing folder, no permission, a full disk).
std::string WritePdf(const PrintedReport& report, const std::string& path,
                     PdfStats* stats = nullptr);

}  // namespace mz
