// The printed report read back with Poppler's tools, as a reader's program would: the text of
// every sheet (pdftotext -layout), the sheet count (pdfinfo), the fonts (pdffonts) and where each
// word stands (pdftotext -bbox). A report filed, amended and audited prints each version's pages
// as printed_pages.test lists them; a page of 300 items, a 2,000-character description and names
// in several scripts print within the margins, nothing drawn over anything else.
#include "print/report_print.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>

#include "app/commands.h"
#include "app/shell.h"
#include "print/print_format.h"
#include "receipts/receipt_data.h"
#include "report/page_amount.h"
#include "support/data_file.h"
#include "support/report_db.h"

namespace mz {
namespace {

using test::AddRow;

// What a command prints on stdout; fails the test when it does not run.
std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr) << command;
    if (!pipe) return out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return out;
}

std::string Collapsed(const std::string& text) {
    return std::regex_replace(text, std::regex("[ \t]+"), " ");
}

// The text of each sheet, blanks collapsed.
std::vector<std::string> Sheets(const std::string& pdf) {
    std::vector<std::string> sheets;
    std::stringstream all(Output("pdftotext -layout '" + pdf + "' -"));
    for (std::string sheet; std::getline(all, sheet, '\f');) sheets.push_back(Collapsed(sheet));
    if (!sheets.empty() && sheets.back().find_first_not_of(" \n") == std::string::npos)
        sheets.pop_back();
    return sheets;
}

int SheetCount(const std::string& pdf) {
    std::smatch m;
    const std::string info = Output("pdfinfo '" + pdf + "'");
    return std::regex_search(info, m, std::regex("Pages: +([0-9]+)")) ? std::stoi(m[1]) : -1;
}

// Every font of the file, "name yes" when embedded.
std::vector<std::string> Fonts(const std::string& pdf) {
    std::vector<std::string> fonts;
    std::stringstream list(Output("pdffonts '" + pdf + "'"));
    std::string line;
    for (int skip = 0; skip < 2 && std::getline(list, line); ++skip) {
    }
    while (std::getline(list, line)) {
        std::stringstream fields(line);
        std::vector<std::string> f;
        for (std::string w; fields >> w;) f.push_back(w);
        if (f.size() >= 5) fonts.push_back(f[0] + " " + f[f.size() - 5]);
    }
    return fonts;
}

struct Box {
    double x0, y0, x1, y1;
    std::string word;
};

// Each sheet's words where they stand.
std::vector<std::vector<Box>> Words(const std::string& pdf) {
    std::vector<std::vector<Box>> sheets;
    const std::string html = Output("pdftotext -bbox '" + pdf + "' -");
    static const std::regex item(
        "<page |<word xMin=\"([0-9.-]+)\" yMin=\"([0-9.-]+)\" xMax=\"([0-9.-]+)\" "
        "yMax=\"([0-9.-]+)\">([^<]*)</word>");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), item);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (m[1].length() == 0) {
            sheets.emplace_back();
        } else if (!sheets.empty()) {
            sheets.back().push_back(
                {std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
        }
    }
    return sheets;
}

// Words outside the printable area (36 points in from each edge of a letter sheet) and words
// drawn over other words; "" when there are none.
std::string Overflow(const std::string& pdf) {
    std::string found;
    const auto sheets = Words(pdf);
    for (size_t s = 0; s < sheets.size(); ++s) {
        const auto& words = sheets[s];
        for (size_t i = 0; i < words.size(); ++i) {
            const Box& a = words[i];
            if (a.x0 < 35 || a.x1 > 577 || a.y0 < 34 || a.y1 > 758)
                found += "sheet " + std::to_string(s + 1) + ": \"" + a.word + "\" outside; ";
            for (size_t j = i + 1; j < words.size(); ++j) {
                const Box& b = words[j];
                if (std::min(a.x1, b.x1) - std::max(a.x0, b.x0) > 0.5 &&
                    std::min(a.y1, b.y1) - std::max(a.y0, b.y0) > 2)
                    found += "sheet " + std::to_string(s + 1) + ": \"" + a.word + "\" over \"" +
                             b.word + "\"; ";
            }
        }
    }
    return found;
}

// Checks what a printed file holds and that it holds nothing badly drawn.
void ExpectSoundPdf(const std::string& pdf) {
    const std::vector<std::string> fonts = Fonts(pdf);
    EXPECT_FALSE(fonts.empty());
    for (const std::string& f : fonts) EXPECT_TRUE(f.ends_with(" yes")) << "not embedded: " << f;
    EXPECT_EQ(Overflow(pdf), "");
}

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

// A report of every kind of page: filed, amended (a changed receipt, a deleted expenditure, a new
// one, a new note) and audited (a changed expenditure), built by the shell script
// printed_report.mz, each version printed and read back against printed_pages.test.
class PrintedVersions : public ::testing::Test {
  protected:
    void Build() {
        std::ostringstream out, err;
        app::Shell shell(rdb.db.Path(), out, err);
        std::ifstream script(std::string(MZ_TEST_DATA_DIR) + "/printed_report.mz");
        ASSERT_EQ(shell.RunScript(script), 0) << err.str();
        EXPECT_EQ(out.str(), "");
    }

    test::ReportDb rdb;
    const int32_t filed = 1, amended = 2, audited = 3;
};

TEST_F(PrintedVersions, EverySheetReadsBackAsTheCorpusSays) {
    ASSERT_NO_FATAL_FAILURE(Build());
    DbConnect db;
    ASSERT_TRUE(db.ConnectionVariables(rdb.db.Path(), "", "", "", false));
    const std::map<std::string, int32_t> versions = {
        {"filed", filed}, {"amended", amended}, {"audited", audited}};
    std::map<std::string, std::vector<std::string>> sheets;
    for (const auto& [name, report] : versions) {
        const std::string pdf = test::TempPath(name + ".pdf");
        PrintSummary printed;
        ASSERT_EQ(PrintReport(db, report, pdf, {.printed_on = Date(2020, 7, 12)}, &printed), "");
        EXPECT_EQ(SheetCount(pdf), printed.sheets) << name;
        // Receipts page 2 throughout; in the audit also the expenditures page, whose item the
        // auditor changed and whose total not.
        EXPECT_EQ(printed.mismatched_pages, name == "audited" ? 2 : 1) << name;
        EXPECT_EQ(printed.unknown_glyphs, 0) << name;
        ExpectSoundPdf(pdf);
        sheets[name] = Sheets(pdf);
        EXPECT_EQ(static_cast<int>(sheets[name].size()), printed.sheets) << name;
    }

    // "version NAME" and "sheet N" choose a sheet; every other line is a text the sheet holds
    // after the one before, blanks collapsed.
    std::string version;
    size_t sheet = 0, from = 0;
    int checked = 0;
    for (const std::string& raw : test::DataLines("printed_pages.test")) {
        const std::string line = Collapsed(raw.substr(0, raw.find_last_not_of(' ') + 1));
        if (line.empty() || line[0] == '#') continue;
        if (line.starts_with("version ")) {
            version = line.substr(8);
            ASSERT_TRUE(sheets.count(version)) << line;
        } else if (line.starts_with("sheets ")) {
            EXPECT_EQ(sheets[version].size(), std::stoul(line.substr(7))) << version;
        } else if (line.starts_with("sheet ")) {
            sheet = std::stoul(line.substr(6));
            from = 0;
            ASSERT_LE(sheet, sheets[version].size()) << version << " " << line;
        } else {
            const std::string& text = sheets[version][sheet - 1];
            const size_t at = text.find(line, from);
            EXPECT_NE(at, std::string::npos) << version << " sheet " << sheet << ": \"" << line
                                             << "\" not after offset " << from << " in:\n"
                                             << text;
            if (at != std::string::npos) from = at + line.size();
            ++checked;
        }
    }
    EXPECT_GT(checked, 50);
}

// A page of 300 items, one with a 2,000-character description, names in several scripts: the
// page goes on over continuation sheets of its number, every item once and in order, nothing
// outside the margins or drawn over anything else, every character drawn.
TEST(PrintedReport, LongPagesWrapAndContinueWithoutOverflow) {
    test::ReportDb rdb;
    NameAddress names;
    names.ConnectionVariables(rdb.db.Path(), "", "", "", false);
    const std::vector<std::string> people = {"Zoë Ñúñez-Łukasiewicz", "Ærøskøbing Çelik",
                                             "Δημήτρης Παπαδόπουλος", "Ольга Кузнецова",
                                             "Şükrü Öztürk",          "דוד כהן"};
    std::vector<int32_t> ids;
    for (const std::string& p : people) {
        NameAddressEntry e;
        e.last_name = p.substr(p.find(' ') + 1);
        e.first_name = p.substr(0, p.find(' '));
        e.address1 = "Straße " + std::to_string(ids.size() + 1);
        e.city = "Zürich";
        std::string error;
        ids.push_back(names.Save(e, error));
        ASSERT_EQ(error, "");
    }
    const int32_t report = rdb.NewReport();
    auto page = rdb.Object<clsPage_Amount>(report);
    AddRow(*page, {{"ReportID", report},
                   {"ReportSectionCode", "rec"},
                   {"ReportSectionTypeCode", "ind"},
                   {"ActualPageNumber", "1"},
                   {"CurrentPageAmount", std::to_string(300 * 301 / 2)},
                   {"MaxPageNumber", "1"}});
    std::string description;
    for (int w = 0; description.size() < 2000; ++w)
        description += "word" + std::to_string(w) + (w % 7 ? " " : "-hyphenated-longer-piece ");
    description.resize(2000);
    auto receipts = rdb.Object<clsReceipt_Data>(report);
    for (int i = 1; i <= 300; ++i) {
        AddRow(*receipts, {{"ReportID", report},
                           {"ReceiptCode", "ind"},
                           {"EntityID", ids[static_cast<size_t>(i) % ids.size()]},
                           {"Amount", Money(i)},
                           {"TransDate", "05/01/2020"},
                           {"Description", i == 150 ? description : std::string()},
                           {"PageAmountID", page->GroupID()},
                           {"Sequence", i}});
    }

    DbConnect db;
    ASSERT_TRUE(db.ConnectionVariables(rdb.db.Path(), "", "", "", false));
    const std::string pdf = test::TempPath("long.pdf");
    PrintSummary printed;
    ASSERT_EQ(PrintReport(db, report, pdf, {}, &printed), "");
    EXPECT_EQ(printed.items, 300);
    EXPECT_EQ(printed.mismatched_pages, 0);
    EXPECT_EQ(printed.unknown_glyphs, 0);
    ExpectSoundPdf(pdf);

    const std::vector<std::string> sheets = Sheets(pdf);
    ASSERT_EQ(static_cast<int>(sheets.size()), printed.sheets);
    const size_t continued = sheets.size() - 2;  // after the cover and the summary
    ASSERT_GT(continued, 10u);
    std::vector<int> sequence;
    std::string all;
    static const std::regex item("(?:^|\n) ?([0-9]+) 05/01/2020 ");
    for (size_t s = 2; s < sheets.size(); ++s) {
        const std::string label = "Page 1 of 1, sheet " + std::to_string(s - 1) + " of " +
                                  std::to_string(continued) +
                                  (s + 1 < sheets.size() ? ", continued" : "");
        EXPECT_NE(sheets[s].find(label), std::string::npos) << label << " in\n" << sheets[s];
        EXPECT_NE(sheets[s].find("Page total: 45,150.00 Items: 300"), std::string::npos);
        for (auto it = std::sregex_iterator(sheets[s].begin(), sheets[s].end(), item);
             it != std::sregex_iterator(); ++it)
            sequence.push_back(std::stoi((*it)[1]));
        all += sheets[s];
    }
    std::vector<int> expected(300);
    for (int i = 0; i < 300; ++i) expected[static_cast<size_t>(i)] = i + 1;
    EXPECT_EQ(sequence, expected);
    for (const std::string& p : people) {
        const std::string last = p.substr(p.find(' ') + 1), first = p.substr(0, p.find(' '));
        // Right-to-left names read back in the order they are shown.
        if (last == "כהן") continue;
        EXPECT_NE(all.find(last + ", " + first), std::string::npos) << p;
    }
    EXPECT_NE(all.find("Zürich"), std::string::npos);
    EXPECT_NE(all.find("Straße 1"), std::string::npos);
    // The description reads back whole, its words in order, wherever its lines were broken.
    std::string words = std::regex_replace(all, std::regex("\\s+"), " ");
    size_t from = 0;
    std::stringstream pieces(description);
    for (std::string word; pieces >> word;) {
        const size_t at = words.find(word.substr(0, 6), from);
        ASSERT_NE(at, std::string::npos) << word;
        from = at;
    }
}

TEST(PrintedReport, BadRequestsAreRefusedAndLeaveFilesAlone) {
    test::ReportDb rdb;
    const int32_t report = rdb.NewReport();
    DbConnect db;
    ASSERT_TRUE(db.ConnectionVariables(rdb.db.Path(), "", "", "", false));
    const std::string pdf = test::TempPath("kept.pdf");
    { std::ofstream(pdf) << "an earlier print"; }
    EXPECT_EQ(PrintReport(db, 99, pdf), "Report 99 does not exist.");
    std::filesystem::create_directory(pdf + ".partial");
    EXPECT_EQ(PrintReport(db, report, pdf), "Cannot write \"" + pdf + "\".");
    std::filesystem::remove(pdf + ".partial");
    EXPECT_EQ(PrintReport(db, report, pdf + "/no/such/folder.pdf"),
              "Cannot write \"" + pdf + "/no/such/folder.pdf\".");
    std::stringstream kept;
    kept << std::ifstream(pdf).rdbuf();
    EXPECT_EQ(kept.str(), "an earlier print");
    EXPECT_EQ(PrintReport(db, report, pdf), "");
    EXPECT_EQ(SheetCount(pdf), 2);  // a cover page and a summary page, both saying they are empty

    // The command: misuse is refused with its usage, a print says what it printed.
    const auto run = [](const std::vector<std::string>& args) {
        std::ostringstream out;
        std::streambuf* const saved = std::cout.rdbuf(out.rdbuf());
        const int status = app::RunPrint(args);
        std::cout.rdbuf(saved);
        return std::to_string(status) + ": " + out.str();
    };
    EXPECT_EQ(run({rdb.db.Path(), "one", pdf}), "2: ");
    EXPECT_EQ(run({rdb.db.Path(), std::to_string(report)}), "2: ");
    EXPECT_EQ(run({rdb.db.Path(), "99", pdf, "--force"}), "1: ");
    EXPECT_EQ(run({rdb.db.Path(), std::to_string(report), pdf}), "1: ");  // it exists
    EXPECT_EQ(run({rdb.db.Path(), std::to_string(report), pdf, "--force"}),
              "0: " + pdf + ": 2 pages on 2 sheets, 0 items\n");
}

TEST(PrintedReport, MoneyDatesAndThePageTotalRule) {
    const std::vector<std::pair<double, std::string>> money = {{0, "0.00"},
                                                               {1234.5, "1,234.50"},
                                                               {-0.004, "0.00"},
                                                               {0.005, "0.01"},
                                                               {-1234567.891, "-1,234,567.89"},
                                                               {999.995, "1,000.00"},
                                                               {100000, "100,000.00"}};
    for (const auto& [amount, text] : money) EXPECT_EQ(Money(amount).Grouped(), text);
    // The check's messages keep every place money is kept in.
    EXPECT_EQ(Money(1234.005).Grouped(4), "1,234.005");
    EXPECT_EQ(Money(-0.0001).Grouped(4), "-0.0001");
    EXPECT_EQ(Money(12).Grouped(4), "12.00");
    EXPECT_EQ(PrintedDate(Variant(Date(2020, 4, 1, 13, 5))), "04/01/2020");
    EXPECT_EQ(PrintedDate(Variant("2020-12-31")), "12/31/2020");
    EXPECT_EQ(PrintedDate(Variant("next week")), "next week");
    EXPECT_EQ(PrintedDate(Variant::Null()), "");
    const std::vector<Currency> items = {Money(0.1), Money(0.2), Money(1000)};
    EXPECT_TRUE(CheckPageTotal(Money(1000.3), items).matches);
    const PageTotalCheck off = CheckPageTotal(Money(1000), items);
    EXPECT_FALSE(off.matches);
    EXPECT_EQ(off.items_sum, Money(1000.3));
    EXPECT_TRUE(CheckPageTotal(Currency(), {}).matches);
}

}  // namespace
}  // namespace mz
