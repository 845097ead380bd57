// mzreport print DB REPORT OUT.pdf [--force] [--trace FILE]: one report version as the paper
// form, a PDF file (print/report_print.h). Says what it printed; a page whose total is not its
// items' sum is printed so, and counted here. An existing file is replaced only with --force.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_support.h"
#include "app/commands.h"
#include "print/report_print.h"

namespace mz::app {

int RunPrint(const std::vector<std::string>& args) {
    const CommandDef& def = *FindCommand("print");
    CommandArgs a;
    if (auto status = ParseArgs(def, args, a)) return *status;
    if (!IsId(a.rest[1])) return UsageError(def, "\"" + a.rest[1] + "\" is not a report id");
    const std::string& pdf = a.rest[2];
    std::error_code ec;
    if (!a.force && std::filesystem::exists(pdf, ec)) {
        std::fprintf(stderr,
                     "mzreport print: \"%s\" exists; nothing was written (--force replaces it).\n",
                     pdf.c_str());
        return 1;
    }
    CommandTrace trace;
    if (!trace.Start(a.trace, "print")) return 1;
    try {
        DbConnect db;
        if (!OpenReportDatabase(db, a.rest[0], "print")) return 1;
        PrintSummary printed;
        if (std::string error = PrintReport(db, std::stoi(a.rest[1]), pdf, {}, &printed);
            !error.empty()) {
            std::fprintf(stderr, "mzreport print: %s\n", error.c_str());
            return 1;
        }
        std::cout << pdf << ": " << printed.pages << " pages on " << printed.sheets << " sheets, "
                  << printed.items << " items\n";
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
