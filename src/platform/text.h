// Case-blind text: names of tables, columns, parameters, classes and SQL words compare without
// regard to ASCII case, whatever the process's locale.
#pragma once

#include <string>
#include <string_view>

namespace mz {

inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

// SQL quoting: a text literal ('it''s'), or with quote '"' a quoted name ("a""b").
inline std::string SqlQuoted(std::string_view text, char quote = '\'') {
    std::string q(1, quote);
    for (char c : text) {
        q += c;
        if (c == quote) q += quote;
    }
    return q + quote;
}

}  // namespace mz
