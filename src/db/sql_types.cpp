#include "db/sql_types.h"
#include "platform/text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>

namespace mz {
namespace {

// Reads "(a)" or "(a,b)" after a type name.
void ReadSizes(std::string_view rest, int& a, int& b) {
    a = b = 0;
    auto open = rest.find('(');
    if (open == std::string_view::npos) return;
    rest.remove_prefix(open + 1);
    auto read = [&rest](int& out) {
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        auto [p, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), out);
        if (ec != std::errc()) out = 0;
        rest.remove_prefix(static_cast<size_t>(p - rest.data()));
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    };
    read(a);
    if (!rest.empty() && rest.front() == ',') {
        rest.remove_prefix(1);
        read(b);
    }
}

struct TypeRule {
    std::string_view name;
    VarType type;
    int32_t size;       // bytes for fixed types; 0: from the declaration
    uint8_t precision;  // 0: from the declaration
};

constexpr TypeRule kTypes[] = {
    {"int", VarType::Int32, 4, 10},           {"integer", VarType::Int32, 4, 10},
    {"bigint", VarType::Double, 8, 19},       {"smallint", VarType::Int16, 2, 5},
    {"tinyint", VarType::Int16, 1, 3},        {"bit", VarType::Boolean, 2, 0},
    {"money", VarType::Currency, 8, 19},      {"smallmoney", VarType::Currency, 4, 10},
    {"numeric", VarType::Currency, 19, 0},    {"decimal", VarType::Currency, 19, 0},
    {"float", VarType::Double, 8, 15},        {"real", VarType::Double, 4, 7},
    {"double", VarType::Double, 8, 15},       {"datetime", VarType::Date, 8, 0},
    {"smalldatetime", VarType::Date, 4, 0},   {"date", VarType::Date, 8, 0},
    {"varchar", VarType::String, 0, 0},       {"nvarchar", VarType::String, 0, 0},
    {"char", VarType::String, 0, 0},          {"nchar", VarType::String, 0, 0},
    {"text", VarType::String, 2147483647, 0},
};

}  // namespace

FieldInfo FieldInfoForDeclaredType(std::string_view declared) {
    FieldInfo info;
    std::string low = Lower(declared);
    size_t end = 0;
    while (end < low.size() &&
           (std::isalnum(static_cast<unsigned char>(low[end])) || low[end] == '_'))
        ++end;
    std::string_view name(low.data(), end);
    for (const TypeRule& rule : kTypes) {
        if (rule.name != name) continue;
        int a = 0, b = 0;
        ReadSizes(std::string_view(low).substr(end), a, b);
        info.type = rule.type;
        info.defined_size = rule.size != 0 ? rule.size : a;
        info.precision = rule.precision;
        if (name == "numeric" || name == "decimal") {
            info.precision = static_cast<uint8_t>(a > 0 ? a : 18);
            info.scale = static_cast<uint8_t>(b);
            // Beyond four decimals the value no longer fits the money type.
            if (b > 4) info.type = VarType::Double;
        } else if (rule.type == VarType::Currency) {
            info.scale = 4;
        }
        return info;
    }
    return info;
}

Variant ValueForStorage(const Variant& value, VarType type) {
    if (value.IsNull() || value.IsEmpty()) return Variant::Null();
    if (value.IsText() && type != VarType::String) {
        const std::string& text = value.GetString();
        if (text.find_first_not_of(' ') == std::string::npos) return Variant::Null();
        if (type == VarType::Date) {
            if (auto d = Date::Parse(text)) return Variant(d->ToIso());
            return value;
        }
        if (type == VarType::Boolean) {
            std::string low = Lower(text);
            if (low == "true") return Variant(int32_t{1});
            if (low == "false") return Variant(int32_t{0});
        }
        if (!value.IsNumeric()) return value;
        double d = value.ToDouble();
        if (type == VarType::Boolean) return Variant(int32_t{d != 0 ? 1 : 0});
        if (type == VarType::Int16 || type == VarType::Int32) {
            if (d == static_cast<double>(static_cast<int64_t>(d)) && d >= -2147483648.0 &&
                d <= 2147483647.0)
                return Variant(static_cast<int32_t>(d));
        }
        return Variant(d);
    }
    switch (value.Type()) {
        case VarType::Date:
            return Variant(value.GetDate().ToIso());
        case VarType::Boolean:
            return Variant(int32_t{value.GetBool() ? 1 : 0});
        case VarType::Currency:
            return Variant(value.GetCurrency().ToDouble());
        default:
            if (type == VarType::String && !value.IsText()) return Variant(value.ToText());
            return value;
    }
}

}  // namespace mz
