// One report version laid out as the paper form: its printed pages in order (the cover, the
// summary, each schedule's numbered pages, the closing pages), each a titled table with a foot.
// The reader (report_reader.h) fills it from the database; the writer (pdf_writer.h) places each
// page's rows on as many sheets as they need. Plain data, copyable on purpose.
#pragma once

#include <string>
#include <vector>

namespace mz {

struct PrintColumn {
    std::string label;
    double width = 1;    // share of the table's width
    bool right = false;  // numbers and money, aligned right
};

struct PrintRow {
    std::vector<std::string> cells;  // one per column; texts wrap within their cell
    std::string note;                // printed under the row across the table; "" for none
    bool marked = false;             // differs from the previous version: the row is shaded
};

struct PrintPage {
    std::string title;     // "Schedule: Receipts"
    std::string subtitle;  // "Contributions from Individuals"; "" for none
    std::vector<PrintColumn> columns;
    std::vector<PrintRow> rows;
    std::string empty_text;         // printed in place of rows when there are none
    std::vector<std::string> foot;  // the page's figures, at its foot
    std::string warning;            // a figure that does not hold, boxed at the foot; "" for none
    std::string page_label;         // "Page 1 of 3", at the foot on the right
};

struct PrintedReport {
    // The header of every sheet.
    std::string committee;  // "Friends of Ortiz"
    std::string version;    // "Amendment 1 of report 2020 Pre-Primary"
    std::string printed;    // "Printed 07/12/2020"
    std::vector<PrintPage> pages;
};

}  // namespace mz
