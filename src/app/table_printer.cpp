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

void TableStream::Begin(const std::vector<std::string>& columns) {
    columns_ = columns;
    for (const std::string& c : columns_) widths_.push_back(Width(c));
    if (!json_) return;
    keys_ = UniqueKeys(columns_);
    for (std::string& k : keys_) k = JsonString(k);
    out_ << "{\"columns\":[";
    for (size_t c = 0; c < keys_.size(); ++c) out_ << (c ? "," : "") << keys_[c];
    out_ << "],\"rows\":[";
}

void TableStream::Rows(const std::vector<std::vector<Variant>>& rows, int current) {
    if (current >= 0) current_ = static_cast<int>(count_) + current;
    if (json_) {
        for (const auto& row : rows) {
            out_ << (count_++ ? "," : "") << "{";
            for (size_t c = 0; c < columns_.size(); ++c)
                out_ << (c ? "," : "") << keys_[c] << ":" << JsonValue(row[c]);
            out_ << "}";
        }
        return;
    }
    std::vector<std::vector<std::string>> cells;
    for (const auto& row : rows) {
        std::vector<std::string> line;
        for (size_t c = 0; c < row.size(); ++c) {
            line.push_back(DisplayText(row[c]));
            if (!headed_) widths_[c] = std::max(widths_[c], Width(line.back()));
        }
        cells.push_back(std::move(line));
    }
    Header();
    for (size_t r = 0; r < cells.size(); ++r) {
        out_ << (marked_ && static_cast<int>(count_) == current_ ? "> " : marked_ ? "  " : "");
        Line(cells[r], &rows[r]);
        ++count_;
    }
}

void TableStream::End() {
    if (json_) {
        out_ << "]";
        if (marked_) {
            out_ << ",\"current\":";
            if (current_ >= 0)
                out_ << current_ + 1;
            else
                out_ << "null";
        }
        out_ << "}\n";
        return;
    }
    Header();
    out_ << "(" << count_ << (count_ == 1 ? " row)\n" : " rows)\n");
}

void TableStream::Header() {
    if (headed_) return;
    headed_ = true;
    out_ << (marked_ ? "  " : "");
    Line(columns_, nullptr);
}

void TableStream::Line(const std::vector<std::string>& line, const std::vector<Variant>* row) {
    std::string text;
    for (size_t c = 0; c < line.size(); ++c) {
        const size_t width = Width(line[c]);
        const size_t gap = widths_[c] > width ? widths_[c] - width : 0;
        const bool right = row && RightAligned((*row)[c]);
        std::string cell = right ? std::string(gap, ' ') + line[c] : line[c];
        if (!right && c + 1 < line.size()) cell += std::string(gap, ' ');
        text += (c ? "  " : "") + cell;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out_ << text << "\n";
}

void PrintTable(std::ostream& out, const Table& table, bool json, bool marked) {
    TableStream stream(out, json, marked);
    stream.Begin(table.columns);
    stream.Rows(table.rows, table.current);
    stream.End();
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
