#include "print/pdf_writer.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

#include "print/text_setter.h"

namespace mz {
namespace {

constexpr double kSheetWidth = 612, kSheetHeight = 792;  // US Letter, in points
constexpr double kMargin = 36;
constexpr double kInnerWidth = kSheetWidth - 2 * kMargin;
constexpr double kBottom = kSheetHeight - kMargin;
constexpr double kPad = 2;  // around the text of a cell
constexpr double kNoteIndent = 16;
constexpr double kEpsilon = 1e-6;

// A row of a page: its lines in the page's set text, relative to the row's top.
struct LaidRow {
    size_t first, end;  // its lines
    double cells = 0;   // the height of its cells; its notes go below them, across the columns
    double height = 0;
    bool marked = false;
};

// A part of a row drawn on one sheet: its lines whose top lies in [from, to), at y.
struct Piece {
    size_t row;
    double from, to, y;
};

class Writer {
  public:
    Writer(cairo_t* cr, const PrintedReport& report) : cr_(cr), text_(cr) {
        const double committee_bottom =
            std::max(text_.Set(report.committee, committee_, kInnerWidth * 0.7, false, kMargin,
                               kMargin, head_),
                     text_.Set(report.printed, header_, kInnerWidth * 0.3, true,
                               kMargin + kInnerWidth * 0.7, kMargin, head_));
        rule_y_ = text_.Set(report.version, header_, kInnerWidth, false, kMargin, committee_bottom,
                            head_) +
                  3;
    }

    void DrawPage(const PrintPage& page);

    PdfStats Stats() const { return {sheets_, text_.UnknownGlyphs()}; }

  private:
    // A thin grey rule of the table, drawn with the others of its sheet as one path: one
    // drawing operation of the PDF rather than one per row.
    void ThinRule(double x0, double y0, double x1, double y1) {
        thin_rules_.push_back({x0, y0, x1, y1});
    }
    void StrokeThinRules() {
        for (const auto& [x0, y0, x1, y1] : thin_rules_) {
            cairo_move_to(cr_, x0, y0);
            cairo_line_to(cr_, x1, y1);
        }
        thin_rules_.clear();
        cairo_set_source_rgb(cr_, 0.6, 0.6, 0.6);
        cairo_set_line_width(cr_, 0.3);
        cairo_stroke(cr_);
        cairo_set_source_rgb(cr_, 0, 0, 0);
    }

    void Rule(double x0, double y0, double x1, double y1, double width, double grey) {
        cairo_set_source_rgb(cr_, grey, grey, grey);
        cairo_set_line_width(cr_, width);
        cairo_move_to(cr_, x0, y0);
        cairo_line_to(cr_, x1, y1);
        cairo_stroke(cr_);
        cairo_set_source_rgb(cr_, 0, 0, 0);
    }

    void Fill(double x, double y, double w, double h, double r, double g, double b) {
        cairo_set_source_rgb(cr_, r, g, b);
        cairo_rectangle(cr_, x, y, w, h);
        cairo_fill(cr_);
        cairo_set_source_rgb(cr_, 0, 0, 0);
    }

    // Every row's cells side by side and its notes below them, each row from its own top.
    std::vector<LaidRow> LayRows(const PrintPage& page, const std::vector<double>& col_x,
                                 const std::vector<double>& col_w, SetText& body) {
        std::vector<LaidRow> rows;
        rows.reserve(page.rows.size());
        for (const PrintRow& r : page.rows) {
            LaidRow row{body.lines.size(), 0, kPad, 0, r.marked};
            for (size_t c = 0; c < page.columns.size() && c < r.cells.size(); ++c) {
                row.cells = std::max(row.cells,
                                     text_.Set(r.cells[c], body_, col_w[c] - 2 * kPad,
                                               page.columns[c].right, col_x[c] + kPad, kPad, body));
            }
            row.cells += kPad;
            double bottom = row.cells - kPad;
            if (!r.note.empty())
                bottom = text_.Set(r.note, note_, kInnerWidth - kNoteIndent - 2 * kPad, false,
                                   kMargin + kNoteIndent + kPad, row.cells, body);
            row.end = body.lines.size();
            // Line by line across the cells: the PDF then holds a row's lines of one height as
            // one run of text.
            std::sort(body.lines.begin() + static_cast<std::ptrdiff_t>(row.first), body.lines.end(),
                      [](const SetLine& a, const SetLine& b) {
                          return a.baseline < b.baseline || (a.baseline == b.baseline && a.x < b.x);
                      });
            row.height = bottom + kPad;
            rows.push_back(row);
        }
        return rows;
    }

    // Where a row that does not fit below from + room is cut: at the top of its first line that
    // would reach past it, so no line is split.
    static double CutAt(const SetText& body, const LaidRow& row, double from, double room) {
        double cut = row.height;
        for (size_t i = row.first; i < row.end; ++i) {
            const SetLine& l = body.lines[i];
            if (l.top >= from && l.bottom - from > room) cut = std::min(cut, l.top);
        }
        return cut;
    }

    static std::vector<std::vector<Piece>> Paginate(const SetText& body,
                                                    const std::vector<LaidRow>& rows,
                                                    double table_top, double table_bottom) {
        std::vector<std::vector<Piece>> sheets(1);
        double y = table_top;
        const double sheet_room = table_bottom - table_top;
        for (size_t r = 0; r < rows.size(); ++r) {
            double from = 0;
            for (;;) {
                const double rest = rows[r].height - from, room = table_bottom - y;
                if (rest <= room + kEpsilon) {
                    sheets.back().push_back({r, from, rows[r].height, y});
                    y += rest;
                    break;
                }
                const bool fresh = y <= table_top + kEpsilon;
                double cut = fresh || rest > sheet_room ? CutAt(body, rows[r], from, room) : from;
                if (cut <= from + kEpsilon) {
                    if (!fresh) {  // the row begins on the next sheet
                        sheets.emplace_back();
                        y = table_top;
                        continue;
                    }
                    cut = from + room;  // a single line taller than a sheet: cut through it
                }
                sheets.back().push_back({r, from, cut, y});
                sheets.emplace_back();
                y = table_top;
                from = cut;
            }
        }
        return sheets;
    }

    cairo_t* cr_;
    TextSetter text_;
    const uint16_t body_ = text_.AddStyle("DejaVu Sans 7.5");
    const uint16_t label_ = text_.AddStyle("DejaVu Sans Bold 7");
    const uint16_t note_ = text_.AddStyle("DejaVu Sans Oblique 7.5");
    const uint16_t committee_ = text_.AddStyle("DejaVu Sans Bold 11");
    const uint16_t header_ = text_.AddStyle("DejaVu Sans 8.5");
    const uint16_t title_ = text_.AddStyle("DejaVu Sans Bold 10");
    const uint16_t warning_ = text_.AddStyle("DejaVu Sans Bold 9", 0.75, 0, 0);
    SetText head_;  // the report's lines at the top of every sheet
    std::vector<std::array<double, 4>> thin_rules_;
    double rule_y_ = 0;
    int sheets_ = 0;
};

void Writer::DrawPage(const PrintPage& page) {
    // Columns across the printable width, in proportion to their shares.
    double shares = 0;
    for (const PrintColumn& c : page.columns) shares += c.width;
    std::vector<double> col_x, col_w;
    double x = kMargin;
    for (const PrintColumn& c : page.columns) {
        col_x.push_back(x);
        col_w.push_back(kInnerWidth * c.width / (shares > 0 ? shares : 1));
        x += col_w.back();
    }

    // The page's title and column labels under the report's lines.
    SetText top;
    double y = text_.Set(page.title, title_, kInnerWidth, false, kMargin, rule_y_ + 6, top);
    if (!page.subtitle.empty())
        y = text_.Set(page.subtitle, header_, kInnerWidth, false, kMargin, y, top);
    const double labels_y = y + 5;
    double table_top = labels_y;
    for (size_t c = 0; c < page.columns.size(); ++c) {
        table_top = std::max(
            table_top, text_.Set(page.columns[c].label, label_, col_w[c] - 2 * kPad,
                                 page.columns[c].right, col_x[c] + kPad, labels_y + kPad, top));
    }
    table_top += kPad;

    // The foot: the page's figures, and a warning boxed above them.
    SetText foot;
    std::string figures;
    for (const std::string& line : page.foot) figures += (figures.empty() ? "" : "\n") + line;
    const double foot_height = text_.Set(figures, header_, kInnerWidth * 0.62, false, 0, 0, foot);
    const double foot_y = kBottom - std::max(foot_height, 11.0);
    SetText warning;
    const double warning_height =
        page.warning.empty()
            ? 0
            : text_.Set(page.warning, warning_, kInnerWidth - 12, false, 0, 0, warning) + 8;
    const double warning_y = foot_y - 4 - warning_height;
    const double table_bottom = (page.warning.empty() ? foot_y : warning_y) - 6;

    SetText body;
    const std::vector<LaidRow> rows = LayRows(page, col_x, col_w, body);
    SetText empty;
    text_.Set(page.empty_text, note_, kInnerWidth - 2 * kPad, false, kMargin + kPad,
              table_top + kPad, empty);
    const std::vector<std::vector<Piece>> sheets = Paginate(body, rows, table_top, table_bottom);

    for (size_t s = 0; s < sheets.size(); ++s) {
        text_.Draw(head_, 0, 0);
        Rule(kMargin, rule_y_, kMargin + kInnerWidth, rule_y_, 0.8, 0);
        Fill(kMargin, labels_y, kInnerWidth, table_top - labels_y, 0.88, 0.88, 0.88);
        text_.Draw(top, 0, 0);

        // Column rules run down the cells and stop above a row's notes.
        double y_end = table_top, rules_from = labels_y;
        const auto column_rules = [&](double to) {
            for (size_t c = 1; c < col_x.size(); ++c) ThinRule(col_x[c], rules_from, col_x[c], to);
        };
        for (const Piece& p : sheets[s]) {
            const LaidRow& row = rows[p.row];
            if (row.marked) Fill(kMargin, p.y, kInnerWidth, p.to - p.from, 0.93, 0.93, 0.8);
            for (size_t i = row.first; i < row.end; ++i) {
                const double line_top = body.lines[i].top;
                if (line_top >= p.from - kEpsilon && line_top < p.to - kEpsilon)
                    text_.Draw(body, i, i + 1, 0, p.y - p.from);
            }
            y_end = p.y + p.to - p.from;
            if (row.cells < p.to - kEpsilon) {
                column_rules(p.y + std::max(0.0, row.cells - p.from));
                rules_from = y_end;
            }
            ThinRule(kMargin, y_end, kMargin + kInnerWidth, y_end);
        }
        if (rows.empty() && !page.empty_text.empty()) {
            text_.Draw(empty, 0, 0);
            y_end = empty.Bottom() + kPad;
            column_rules(table_top);
        } else if (rules_from < y_end) {
            column_rules(y_end);
        }
        StrokeThinRules();
        cairo_set_line_width(cr_, 0.6);
        cairo_rectangle(cr_, kMargin, labels_y, kInnerWidth, y_end - labels_y);
        cairo_stroke(cr_);

        if (!page.warning.empty()) {
            cairo_rectangle(cr_, kMargin, warning_y, kInnerWidth, warning_height);
            cairo_set_source_rgb(cr_, 1, 0.9, 0.9);
            cairo_fill_preserve(cr_);
            cairo_set_source_rgb(cr_, 0.75, 0, 0);
            cairo_set_line_width(cr_, 1.2);
            cairo_stroke(cr_);
            cairo_set_source_rgb(cr_, 0, 0, 0);
            text_.Draw(warning, kMargin + 6, warning_y + 4);
        }
        Rule(kMargin, foot_y - 3, kMargin + kInnerWidth, foot_y - 3, 0.8, 0);
        text_.Draw(foot, kMargin, foot_y);
        std::string label = page.page_label;
        if (sheets.size() > 1) {
            label += (label.empty() ? "" : ", ") + std::string("sheet ") + std::to_string(s + 1) +
                     " of " + std::to_string(sheets.size());
            if (s + 1 < sheets.size()) label += ", continued";
        }
        SetText label_text;
        text_.Set(label, header_, kInnerWidth * 0.38, true, kMargin + kInnerWidth * 0.62, foot_y,
                  label_text);
        text_.Draw(label_text, 0, 0);
        text_.Flush();
        cairo_show_page(cr_);
        ++sheets_;
    }
}

cairo_status_t WriteChunk(void* out, const unsigned char* data, unsigned int length) {
    auto* file = static_cast<std::ofstream*>(out);
    file->write(reinterpret_cast<const char*>(data), length);
    return *file ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

std::string WritePdf(const PrintedReport& report, const std::string& path, PdfStats* stats) {
    const std::string failure = "Cannot write \"" + path + "\".";
    const std::string partial = path + ".partial";
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    if (!file) return failure;
    cairo_surface_t* surface =
        cairo_pdf_surface_create_for_stream(&WriteChunk, &file, kSheetWidth, kSheetHeight);
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, report.version.c_str());
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "mzreport");
    cairo_t* cr = cairo_create(surface);
    PdfStats drawn;
    {
        Writer writer(cr, report);
        for (const PrintPage& page : report.pages) writer.DrawPage(page);
        drawn = writer.Stats();
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    file.close();
    std::error_code ec;
    if (status != CAIRO_STATUS_SUCCESS || !file) {
        std::filesystem::remove(partial, ec);
        return failure;
    }
    std::filesystem::rename(partial, path, ec);
    if (ec) {
        std::filesystem::remove(partial, ec);
        return failure;
    }
    if (stats) *stats = drawn;
    return "";
}

}  // namespace mz
