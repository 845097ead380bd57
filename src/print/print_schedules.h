// What the printed report shows of each part of a report, as data: the schedules (one table of
// sections and their columns, drawn by one page routine), the lines of the summary page and the
// lines of the cover page. A column names the view columns it prints, several joined by "|"
// (each non-empty one on a line of its own).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace mz {

enum class PrintKind : uint8_t {
    kText,
    kNumber,
    kDate,         // mm/dd/yyyy
    kMoney,        // 1,234.50
    kYesNo,        // 1 "Yes", 0 "No", Null blank
    kNameAddress,  // the row's entity (the query's na_ columns): name, address, occupation
};

struct PrintField {
    std::string_view label;
    std::string_view columns;  // "" for kNameAddress
    PrintKind kind = PrintKind::kText;
    double width = 1;  // share of the table's width
};

struct PrintSchedule {
    std::string_view title;  // "Receipts"
    std::string_view table;  // its versioned table; its pages are the page rows of its section
    // The joins that bring the row's entity in as na (rpt_name_address); "" when it names none.
    std::string_view name_join;
    // The lookup describing its pages' section types (code, description); "" for none.
    std::string_view type_table;
    // The column a page's total adds up; "" when its pages carry no total.
    std::string_view total;
    std::span<const PrintField> columns;
    // The table of the rows it is an item of and the column naming one (its unique_id); an item
    // whose parent the version no longer shows is not printed, as no item list shows it.
    std::string_view parent = "", link = "";
};

// In the order of the paper form.
std::span<const PrintSchedule> PrintSchedules();

// A line of the summary page or the cover page: its label and the column it prints.
struct PrintLine {
    std::string_view label;
    std::string_view columns;
    PrintKind kind = PrintKind::kMoney;
};
std::span<const PrintLine> SummaryLines();
std::span<const PrintLine> CoverLines();

}  // namespace mz
