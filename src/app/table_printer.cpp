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
    out_ << "{\"columns\":[";
    for (size_t c = 0; c < columns_.size(); ++c) out_ << (c ? "," : "") << JsonString(columns_[c]);
    out_ << "],\"rows\":[";
}

void TableStream::Rows(const std::vector<std::vector<Variant>>& rows, int current) {
    if (current >= 0) current_ = static_cast<int>(count_) + current;
    if (json_) {
        for (const auto& row : rows) {
            out_ << (count_++ ? "," : "") << "{";
            for (size_t c = 0; c < columns_.size(); ++c)
                out_ << (c ? "," : "") << JsonString(columns_[c]) << ":" << JsonValue(row[c]);
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

}  // namespace mz::app
