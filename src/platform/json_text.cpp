#include "platform/json_text.h"

#include <cmath>
#include <cstdio>
#include <set>

namespace mz {

void AppendEscaped(std::string& out, std::string_view s, bool json) {
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += json ? "\\\"" : "\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (json && c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
}

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    AppendEscaped(out, s, true);
    return out + "\"";
}

std::string JsonValue(const Variant& v) {
    switch (v.Type()) {
        case VarType::Empty:
        case VarType::Null:
            return "null";
        case VarType::Boolean:
            return v.GetBool() ? "true" : "false";
        case VarType::Int16:
        case VarType::Int32:
        case VarType::Currency:
            return v.ToText();
        case VarType::Double:
            return std::isfinite(v.GetDouble()) ? v.ToText() : "null";
        case VarType::Date:
            return JsonString(v.GetDate().ToIso());
        case VarType::String:
            return JsonString(v.GetString());
    }
    return "null";
}

std::vector<std::string> UniqueKeys(const std::vector<std::string>& names) {
    const std::set<std::string> all(names.begin(), names.end());
    std::set<std::string> given;
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) {
        std::string key = name;
        for (int n = 2; given.count(key); ++n) {
            key = name + "_" + std::to_string(n);
            if (all.count(key)) key = name;  // taken by a name of its own: try the next number
        }
        given.insert(key);
        keys.push_back(std::move(key));
    }
    return keys;
}

}  // namespace mz
