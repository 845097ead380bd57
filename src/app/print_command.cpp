// mzreport print DB REPORT OUT.pdf [--trace FILE]: one report version as the paper form, a PDF
// file (print/report_print.h). Says what it printed; a page whose total is not its items' sum is
// printed so, and counted here.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_support.h"
#include "app/commands.h"
#include "print/report_print.h"

namespace mz::app {

int RunPrint(const std::vector<std::string>& args) {
    const CommandArgs a = SplitFlags(args);
    int32_t report = 0;
    bool usable = !a.bad_flag && !a.json && a.format.empty() && a.rest.size() == 3;
    if (usable) {
        const std::string& id = a.rest[1];
        const auto [end, ec] = std::from_chars(id.data(), id.data() + id.size(), report);
        usable = ec == std::errc() && end == id.data() + id.size();
    }
    if (!usable) {
        std::fprintf(stderr, "usage: mzreport print DB REPORT OUT.pdf [--trace FILE]\n");
        return 2;
    }
    CommandTrace trace;
    if (!trace.Start(a.trace, "print")) return 1;
    try {
        DbConnect db;
        if (!OpenReportDatabase(db, a.rest[0], "print")) return 1;
        PrintSummary printed;
        if (std::string error = PrintReport(db, report, a.rest[2], {}, &printed); !error.empty()) {
            std::fprintf(stderr, "mzreport print: %s\n", error.c_str());
            return 1;
        }
        std::cout << a.rest[2] << ": " << printed.pages << " pages on " << printed.sheets
                  << " sheets, " << printed.items << " items\n";
        if (printed.mismatched_pages > 0)
            std::cout << printed.mismatched_pages
                      << " page totals do not equal the sum of their items; the pages say so\n";
        if (printed.unknown_glyphs > 0)
            std::cout << printed.unknown_glyphs
                      << " characters have no glyph in the installed fonts\n";
        return 0;
    } catch (const Error& e) {
        std::cerr << ErrorLine(e) << "\n";
        return 1;
    }
}

}  // namespace mz::app
