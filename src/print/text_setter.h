// Text set into lines within a width and drawn on PDF sheets, for the printed report's pages.
//
// Pango shapes every text, but a page of many rows holds tens of thousands of short texts, and a
// Pango layout per text (and a Cairo call per line) costs about fifty times what exporting the
// same rows does. So text in scripts written left to right without joining (Latin, Greek,
// Cyrillic, the Han and Kana scripts and the common marks and digits) is shaped through Pango
// once per distinct run of letters and once per other character, and set into lines here,
// breaking at blanks, and within a word only when the word alone is wider than the line; its
// glyphs are drawn once per sheet, one Cairo call per font and colour. Any other text (right to
// left, joining scripts, characters no font has) goes through a Pango layout as a whole and is
// drawn line by line, so it is shaped and ordered exactly and shows what it cannot draw.
// Ligatures are off: the PDF's text then reads back character for character.
//
// Owned by one writer and used on one Cairo context; not copyable.
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mz {

// One glyph of a set line, from the line's left end and baseline.
struct SetGlyph {
    uint32_t index;
    float x, y;
    uint16_t face;  // the font (and colour) it is drawn with, a TextSetter face
};

// One line of set text, in points, relative to the place its text was set at.
struct SetLine {
    double x, top, baseline, bottom;
    uint32_t first = 0, count = 0;    // its glyphs in SetText::glyphs
    PangoLayoutLine* line = nullptr;  // or, for text Pango laid out itself, its line
    uint16_t style = 0;               // the colour of a Pango line
};

// Set text: one or more texts set into lines (a row's cells and its notes, say).
struct SetText {
    std::vector<SetLine> lines;
    std::vector<SetGlyph> glyphs;
    std::vector<std::shared_ptr<PangoLayout>> layouts;  // keeps Pango lines alive

    double Bottom() const;  // the lowest line's bottom; 0 with no lines
};

class TextSetter {
  public:
    explicit TextSetter(cairo_t* cr);
    ~TextSetter();
    TextSetter(const TextSetter&) = delete;
    TextSetter& operator=(const TextSetter&) = delete;

    // A font ("DejaVu Sans Bold 7.5") in a colour; the style's number.
    uint16_t AddStyle(const char* font, double red = 0, double green = 0, double blue = 0);

    // Sets text (line breaks are "\n"; other control characters show as blanks, bad UTF-8 as
    // U+FFFD) into lines at most width wide, the first line's top at (x, y), each line aligned
    // left or right; appends them to out and returns the bottom of the last. An empty text is
    // one empty line.
    double Set(std::string_view text, uint16_t style, double width, bool right, double x, double y,
               SetText& out);

    // Draws lines [first, end) of text moved by (dx, dy). Pango lines are drawn at once, the
    // others at the next Flush.
    void Draw(const SetText& text, size_t first, size_t end, double dx, double dy);
    void Draw(const SetText& text, double dx, double dy) {
        Draw(text, 0, text.lines.size(), dx, dy);
    }
    // Draws what Draw holds back; before the sheet is shown.
    void Flush();

    // Characters no installed font could draw, so far.
    int UnknownGlyphs() const { return unknown_glyphs_; }

  private:
    struct Glyph {
        uint32_t index;
        float x, y, advance;
        uint16_t font;  // in fonts_
        bool cluster_start;
    };
    struct Run {
        std::vector<Glyph> glyphs;
        double width = 0;
        bool unknown = false;
    };
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };
    struct Style {
        PangoFontDescription* font;
        double red, green, blue;
        double ascent, descent;
        std::unordered_map<std::string, Run, TextHash, std::equal_to<>> runs;
        std::unordered_map<std::string, Run, TextHash, std::equal_to<>> lines;  // short paragraphs
        std::vector<int> faces;  // by font: its face in this style's colour, -1 until used
    };

    // The glyphs of a run of letters or of one other character, shaped once.
    const Run& Shaped(Style& style, std::string_view text);
    // Calls on_word(blanks before it, its width) for each word of paragraph, its glyphs in
    // word_; false, at the first, when a font lacks a character.
    template <class OnWord>
    bool Words(Style& style, std::string_view paragraph, OnWord&& on_word);
    // A short paragraph set as one line, kept for when it comes again.
    const Run& Line(Style& style, std::string_view paragraph);
    static constexpr size_t kCachedLine = 64;        // bytes
    static constexpr size_t kLineCacheSize = 20000;  // paragraphs kept per style
    double SetByPango(std::string_view text, uint16_t style, double width, bool right, double x,
                      double y, SetText& out);
    uint16_t Face(uint16_t font, uint16_t style);

    cairo_t* cr_;
    PangoContext* context_;
    PangoAttrList* attributes_;  // no ligatures
    std::vector<Style> styles_;
    std::vector<PangoFont*> fonts_;                     // every font shaping has used, referenced
    std::vector<std::pair<uint16_t, uint16_t>> faces_;  // (font, style) of each face
    std::vector<std::vector<cairo_glyph_t>> pending_;   // per face, until Flush
    std::vector<Glyph> word_;                           // scratch
    int unknown_glyphs_ = 0;
};

}  // namespace mz
