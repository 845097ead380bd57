#include "print/text_setter.h"

#include <algorithm>

namespace mz {
namespace {

double Points(int pango_units) {
    return static_cast<double>(pango_units) / PANGO_SCALE;
}

// Text as Pango takes it: valid UTF-8 (a bad byte becomes U+FFFD), line breaks as "\n", other
// control characters as blanks.
std::string Clean(std::string_view text) {
    bool clean = true;
    for (const char c : text) clean = clean && static_cast<unsigned char>(c) >= 0x20 && c != 0x7f;
    if (clean && g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if ((c < 0x20 && c != '\n') || c == 0x7f) {
            out += ' ';
        } else {
            out += text[i];
        }
    }
    if (g_utf8_validate(out.data(), static_cast<gssize>(out.size()), nullptr)) return out;
    gchar* valid = g_utf8_make_valid(out.data(), static_cast<gssize>(out.size()));
    out = valid;
    g_free(valid);
    return out;
}

// Text the setter lines up itself: written left to right, no joining, no directional controls.
bool Plain(std::string_view text) {
    for (const char* p = text.data(); p < text.data() + text.size(); p = g_utf8_next_char(p)) {
        if (static_cast<unsigned char>(*p) < 0x80) continue;
        const gunichar c = g_utf8_get_char(p);
        if (g_unichar_type(c) == G_UNICODE_FORMAT) return false;
        switch (g_unichar_get_script(c)) {
            case G_UNICODE_SCRIPT_COMMON:
            case G_UNICODE_SCRIPT_INHERITED:
            case G_UNICODE_SCRIPT_LATIN:
            case G_UNICODE_SCRIPT_GREEK:
            case G_UNICODE_SCRIPT_CYRILLIC:
            case G_UNICODE_SCRIPT_ARMENIAN:
            case G_UNICODE_SCRIPT_GEORGIAN:
            case G_UNICODE_SCRIPT_HAN:
            case G_UNICODE_SCRIPT_HIRAGANA:
            case G_UNICODE_SCRIPT_KATAKANA:
            case G_UNICODE_SCRIPT_HANGUL:
                break;
            default:
                return false;
        }
    }
    return true;
}

// Letters (and the marks on them) are shaped as a run; anything else one character at a time,
// which lets runs of digits and punctuation share their shapes.
bool InRun(const char* p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c < 0x80) return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
    const gunichar u = g_utf8_get_char(p);
    return g_unichar_isalpha(u) || g_unichar_ismark(u);
}

}  // namespace

double SetText::Bottom() const {
    double bottom = 0;
    for (const SetLine& l : lines) bottom = std::max(bottom, l.bottom);
    return bottom;
}

TextSetter::TextSetter(cairo_t* cr) : cr_(cr) {
    // One font map per thread (a map is not thread-safe): the installed fonts are found and
    // loaded once for every report a thread prints.
    static thread_local const std::unique_ptr<PangoFontMap, void (*)(gpointer)> font_map(
        [] {
            PangoFontMap* map = pango_cairo_font_map_new();
            pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(map), 72);  // points
            return map;
        }(),
        g_object_unref);
    context_ = pango_font_map_create_context(font_map.get());
    pango_context_set_round_glyph_positions(context_, FALSE);
    // Unhinted advances, the ones the PDF's fonts have: each line is then one run of glyphs in
    // the PDF rather than a glyph and a correction at a time.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
    pango_cairo_update_context(cr_, context_);
    attributes_ = pango_attr_list_new();
    pango_attr_list_insert(attributes_, pango_attr_font_features_new("liga 0, clig 0, kern 0"));
}

TextSetter::~TextSetter() {
    for (Style& s : styles_) pango_font_description_free(s.font);
    for (PangoFont* f : fonts_) g_object_unref(f);
    pango_attr_list_unref(attributes_);
    g_object_unref(context_);
}

uint16_t TextSetter::AddStyle(const char* font, double red, double green, double blue) {
    Style s{pango_font_description_from_string(font), red, green, blue, 0, 0, {}, {}, {}};
    PangoFontMetrics* metrics = pango_context_get_metrics(context_, s.font, nullptr);
    s.ascent = Points(pango_font_metrics_get_ascent(metrics));
    s.descent = Points(pango_font_metrics_get_descent(metrics));
    pango_font_metrics_unref(metrics);
    styles_.push_back(std::move(s));
    return static_cast<uint16_t>(styles_.size() - 1);
}

const TextSetter::Run& TextSetter::Shaped(Style& style, std::string_view text) {
    const auto found = style.runs.find(text);
    if (found != style.runs.end()) return found->second;
    Run run;
    pango_context_set_font_description(context_, style.font);
    GList* items = pango_itemize(context_, text.data(), 0, static_cast<int>(text.size()),
                                 attributes_, nullptr);
    PangoGlyphString* glyphs = pango_glyph_string_new();
    double x = 0;
    for (GList* i = items; i; i = i->next) {
        auto* item = static_cast<PangoItem*>(i->data);
        pango_shape_full(text.data() + item->offset, item->length, text.data(),
                         static_cast<int>(text.size()), &item->analysis, glyphs);
        auto font = static_cast<uint16_t>(
            std::find(fonts_.begin(), fonts_.end(), item->analysis.font) - fonts_.begin());
        if (font == fonts_.size()) fonts_.push_back(PANGO_FONT(g_object_ref(item->analysis.font)));
        for (int g = 0; g < glyphs->num_glyphs; ++g) {
            const PangoGlyphInfo& info = glyphs->glyphs[g];
            const double advance = Points(info.geometry.width);
            if (info.glyph & PANGO_GLYPH_UNKNOWN_FLAG) run.unknown = true;
            if (info.glyph != PANGO_GLYPH_EMPTY)
                run.glyphs.push_back(
                    {info.glyph, static_cast<float>(x + Points(info.geometry.x_offset)),
                     static_cast<float>(Points(info.geometry.y_offset)),
                     static_cast<float>(advance), font, info.attr.is_cluster_start != 0});
            x += advance;
        }
        pango_item_free(item);
    }
    g_list_free(items);
    pango_glyph_string_free(glyphs);
    run.width = x;
    return style.runs.emplace(std::string(text), std::move(run)).first->second;
}

uint16_t TextSetter::Face(uint16_t font, uint16_t style) {
    std::vector<int>& faces = styles_[style].faces;
    if (faces.size() <= font) faces.resize(font + 1, -1);
    if (faces[font] < 0) {
        faces[font] = static_cast<int>(faces_.size());
        faces_.emplace_back(font, style);
        pending_.emplace_back();
    }
    return static_cast<uint16_t>(faces[font]);
}

template <class OnWord>
bool TextSetter::Words(Style& style, std::string_view paragraph, OnWord&& on_word) {
    size_t i = 0;
    while (i < paragraph.size()) {
        size_t blanks = 0;
        while (i < paragraph.size() && paragraph[i] == ' ') ++i, ++blanks;
        if (i == paragraph.size()) break;
        // The word: runs of letters shaped whole, other characters one by one. A hyphen ends
        // it too, so a line may break after one; what follows is a word with no blank before.
        word_.clear();
        double width = 0;
        while (i < paragraph.size() && paragraph[i] != ' ' &&
               (i == 0 || paragraph[i - 1] != '-' || word_.empty())) {
            const char* p = paragraph.data() + i;
            const char* q = g_utf8_next_char(p);
            if (InRun(p)) {
                while (q < paragraph.data() + paragraph.size() && *q != ' ' && InRun(q))
                    q = g_utf8_next_char(q);
            }
            const Run& run = Shaped(style, std::string_view(p, static_cast<size_t>(q - p)));
            if (run.unknown) return false;
            for (Glyph g : run.glyphs) {
                g.x += static_cast<float>(width);
                word_.push_back(g);
            }
            width += run.width;
            i = static_cast<size_t>(q - paragraph.data());
        }
        on_word(blanks, width);
    }
    return true;
}

const TextSetter::Run& TextSetter::Line(Style& style, std::string_view paragraph) {
    const auto found = style.lines.find(paragraph);
    if (found != style.lines.end()) return found->second;
    if (style.lines.size() >= kLineCacheSize) style.lines.clear();
    const Run& space = Shaped(style, " ");
    Run line;
    line.unknown = !Words(style, paragraph, [&](size_t blanks, double width) {
        for (size_t b = 0; line.width > 0 && b < blanks; ++b, line.width += space.width)
            for (Glyph g : space.glyphs) line.glyphs.push_back((g.x += line.width, g));
        for (Glyph g : word_) line.glyphs.push_back((g.x += line.width, g));
        line.width += width;
    });
    return style.lines.emplace(std::string(paragraph), std::move(line)).first->second;
}

double TextSetter::Set(std::string_view raw, uint16_t style_id, double width, bool right, double x0,
                       double y0, SetText& out) {
    const std::string text = Clean(raw);
    if (!Plain(text)) return SetByPango(text, style_id, width, right, x0, y0, out);
    Style& style = styles_[style_id];
    const Run& space = Shaped(style, " ");
    const size_t first_line = out.lines.size(), first_glyph = out.glyphs.size();
    double y = y0;
    std::vector<SetGlyph>& glyphs = out.glyphs;
    double line_width = 0;
    size_t line_start = glyphs.size();
    const auto end_line = [&] {
        const double left = x0 + (right ? std::max(0.0, width - line_width) : 0);
        out.lines.push_back({left, y, y + style.ascent, y + style.ascent + style.descent,
                             static_cast<uint32_t>(line_start),
                             static_cast<uint32_t>(glyphs.size() - line_start), nullptr, style_id});
        y += style.ascent + style.descent;
        line_width = 0;
        line_start = glyphs.size();
    };
    const auto place = [&](const Glyph& g, double at) {
        glyphs.push_back({g.index, static_cast<float>(at + g.x), g.y, Face(g.font, style_id)});
    };
    const auto by_pango = [&] {
        out.lines.resize(first_line);
        out.glyphs.resize(first_glyph);
        return SetByPango(text, style_id, width, right, x0, y0, out);
    };

    for (size_t at = 0; at <= text.size();) {
        const size_t newline = std::min(text.find('\n', at), text.size());
        const std::string_view paragraph(text.data() + at, newline - at);
        at = newline + 1;
        // Most paragraphs are short and fit: set whole, as met before.
        if (paragraph.size() <= kCachedLine) {
            const Run& line = Line(style, paragraph);
            if (line.unknown) return by_pango();
            if (line.width <= width + 0.01) {
                for (const Glyph& g : line.glyphs) place(g, 0);
                line_width = line.width;
                end_line();
                continue;
            }
        }
        const bool known = Words(style, paragraph, [&](size_t blanks, double word_width) {
            if (line_width > 0 && line_width + blanks * space.width + word_width > width + 0.01)
                end_line();
            const double gap = line_width > 0 ? blanks * space.width : 0;
            if (word_width <= width + 0.01 || line_width > 0) {
                // The blanks are glyphs too, so the text reads back with them.
                for (size_t b = 0; line_width > 0 && b < blanks; ++b)
                    for (const Glyph& g : space.glyphs) place(g, line_width + b * space.width);
                const double left = line_width + gap;
                for (const Glyph& g : word_) place(g, left);
                line_width = left + word_width;
                return;
            }
            // A word wider than the line: broken between its clusters.
            double shift = 0;
            for (const Glyph& g : word_) {
                if (g.cluster_start && glyphs.size() > line_start &&
                    g.x - shift + g.advance > width + 0.01) {
                    line_width = g.x - shift;
                    end_line();
                    shift = g.x;
                }
                place(g, -shift);
            }
            line_width = word_width - shift;
        });
        if (!known) return by_pango();
        end_line();
    }
    return y;
}

double TextSetter::SetByPango(std::string_view text, uint16_t style_id, double width, bool right,
                              double x0, double y0, SetText& out) {
    std::shared_ptr<PangoLayout> layout(pango_layout_new(context_), g_object_unref);
    PangoLayout* l = layout.get();
    pango_layout_set_font_description(l, styles_[style_id].font);
    pango_layout_set_attributes(l, attributes_);
    pango_layout_set_width(l, static_cast<int>(width * PANGO_SCALE));
    pango_layout_set_wrap(l, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_alignment(l, right ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_LEFT);
    pango_layout_set_auto_dir(l, FALSE);  // aligned as the column is, whatever the script
    pango_layout_set_text(l, text.data(), static_cast<int>(text.size()));
    unknown_glyphs_ += pango_layout_get_unknown_glyphs_count(l);
    PangoLayoutIter* it = pango_layout_get_iter(l);
    double bottom = y0;
    do {
        int top = 0, end = 0;
        pango_layout_iter_get_line_yrange(it, &top, &end);
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(it, nullptr, &logical);
        out.lines.push_back({x0 + Points(logical.x), y0 + Points(top),
                             y0 + Points(pango_layout_iter_get_baseline(it)), y0 + Points(end), 0,
                             0, pango_layout_iter_get_line_readonly(it), style_id});
        bottom = y0 + Points(end);
    } while (pango_layout_iter_next_line(it));
    pango_layout_iter_free(it);
    out.layouts.push_back(std::move(layout));
    return bottom;
}

void TextSetter::Draw(const SetText& text, size_t first, size_t end, double dx, double dy) {
    for (size_t i = first; i < end; ++i) {
        const SetLine& line = text.lines[i];
        if (line.line) {
            const Style& s = styles_[line.style];
            cairo_set_source_rgb(cr_, s.red, s.green, s.blue);
            cairo_move_to(cr_, line.x + dx, line.baseline + dy);
            pango_cairo_show_layout_line(cr_, line.line);
            continue;
        }
        const double x = line.x + dx, y = line.baseline + dy;
        for (uint32_t g = line.first; g < line.first + line.count; ++g) {
            const SetGlyph& glyph = text.glyphs[g];
            pending_[glyph.face].push_back({glyph.index, x + glyph.x, y + glyph.y});
        }
    }
}

void TextSetter::Flush() {
    for (size_t f = 0; f < faces_.size(); ++f) {
        std::vector<cairo_glyph_t>& glyphs = pending_[f];
        if (glyphs.empty()) continue;
        const Style& s = styles_[faces_[f].second];
        cairo_set_source_rgb(cr_, s.red, s.green, s.blue);
        cairo_set_scaled_font(
            cr_, pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(fonts_[faces_[f].first])));
        cairo_show_glyphs(cr_, glyphs.data(), static_cast<int>(glyphs.size()));
        glyphs.clear();
    }
    cairo_set_source_rgb(cr_, 0, 0, 0);
}

}  // namespace mz
