#include "app/table_printer.h"

namespace mz::app {

namespace {

bool RightAligned(const Variant& v) {
    switch (v.Type()) {
        case VarType::Int16:
        case VarType::Int32:
        case VarType::Double:
        case VarType::Currency:
            return true;
        default:
            return false;
    }
}

// Display width in characters (UTF-8 continuation bytes take no column).
size_t Width(const std::string& s) {
    size_t w = 0;
    for (unsigned char c : s) w += (c & 0xC0) != 0x80;
    return w;
}

}  // namespace

std::string DisplayText(const Variant& v) {
    switch (v.Type()) {
        case VarType::Null:
            return "Null";
        case VarType::Boolean:
            return v.GetBool() ? "True" : "False";
        default:
            return v.ToText();
    }
}

Table TableOf(ResultSet& rs, bool mark_current) {
    Table t;
    if (rs.State() != ResultSet::kStateOpen) return t;
    for (int i = 0; i < rs.FieldCount(); ++i) t.columns.push_back(rs.FieldAt(i).name);
    const int32_t saved = rs.AbsolutePosition();
    if (rs.BOF() && rs.EOF()) return t;
    rs.MoveFirst();
    while (!rs.EOF()) {
        if (mark_current && rs.AbsolutePosition() == saved)
            t.current = static_cast<int>(t.rows.size());
        std::vector<Variant> row;
        row.reserve(t.columns.size());
        for (int i = 0; i < rs.FieldCount(); ++i) row.push_back(rs.Value(i));
        t.rows.push_back(std::move(row));
        rs.MoveNext();
    }
    // Back to where the caller was: a row, or one of the ends.
    if (saved > 0) {
        rs.AbsolutePosition(saved);
    } else if (saved == ResultSet::kPosBOF) {
        rs.MoveFirst();
        rs.MovePrevious();
    }
    return t;
}

void PrintTable(std::ostream& out, const Table& table, bool json, bool marked) {
    if (json) {
        std::vector<std::string> keys = UniqueKeys(table.columns);
        for (std::string& k : keys) k = JsonString(k);
        out << "{\"columns\":[";
        for (size_t c = 0; c < keys.size(); ++c) out << (c ? "," : "") << keys[c];
        out << "],\"rows\":[";
        for (size_t r = 0; r < table.rows.size(); ++r) {
            out << (r ? "," : "") << "{";
            for (size_t c = 0; c < keys.size(); ++c)
                out << (c ? "," : "") << keys[c] << ":" << JsonValue(table.rows[r][c]);
            out << "}";
        }
        out << "]";
        if (marked) {
            out << ",\"current\":";
            if (table.current >= 0)
                out << table.current + 1;
            else
                out << "null";
        }
        out << "}\n";
        return;
    }
    std::vector<std::vector<std::string>> cells;
    std::vector<size_t> widths;
    for (const std::string& c : table.columns) widths.push_back(Width(c));
    for (const auto& row : table.rows) {
        std::vector<std::string> line;
        for (size_t c = 0; c < row.size(); ++c) {
            line.push_back(DisplayText(row[c]));
            widths[c] = std::max(widths[c], Width(line.back()));
        }
        cells.push_back(std::move(line));
    }
    const std::string lead = marked ? "  " : "";
    auto print_line = [&](const std::vector<std::string>& line, const std::vector<Variant>* row) {
        std::string text;
        for (size_t c = 0; c < line.size(); ++c) {
            const size_t gap = widths[c] - Width(line[c]);
            const bool right = row && RightAligned((*row)[c]);
            std::string cell = right ? std::string(gap, ' ') + line[c] : line[c];
            if (!right && c + 1 < line.size()) cell += std::string(gap, ' ');
            text += (c ? "  " : "") + cell;
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out << text << "\n";
    };
    out << lead;
    print_line(table.columns, nullptr);
    for (size_t r = 0; r < cells.size(); ++r) {
        out << (marked && static_cast<int>(r) == table.current ? "> " : lead);
        print_line(cells[r], &table.rows[r]);
    }
    out << "(" << table.rows.size() << (table.rows.size() == 1 ? " row)\n" : " rows)\n");
}

std::vector<std::string> WrapWords(const std::string& text, size_t width) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {  // each line of the text on its own, its words split at single blanks
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string line;
        bool first = true;
        for (size_t pos = start; pos <= end;) {
            const size_t word_end = std::min(text.find(' ', pos), end);
            const std::string word = text.substr(pos, word_end - pos);
            if (first) {
                line = word;
            } else if (Width(line) + 1 + Width(word) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line += " " + word;
            }
            first = false;
            pos = word_end + 1;
        }
        lines.push_back(line);
        if (end == text.size()) return lines;
        start = end + 1;
    }
}

void PrintRecord(std::ostream& out, const Table& table, size_t width) {
    size_t name_width = 0;
    for (const std::string& c : table.columns) name_width = std::max(name_width, Width(c));
    const size_t indent = name_width + 2;
    const size_t room = width > indent + 20 ? width - indent : 20;
    for (size_t c = 0; c < table.columns.size(); ++c) {
        const std::vector<std::string> lines = WrapWords(DisplayText(table.rows[0][c]), room);
        std::string text = table.columns[c];
        text += std::string(indent - Width(text), ' ') + lines[0];
        for (size_t i = 1; i < lines.size(); ++i)
            text += "\n" + std::string(indent, ' ') + lines[i];
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out << text << "\n";
    }
    out << "(1 row)\n";
}

}  // namespace mz::app
