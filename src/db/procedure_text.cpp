#include "db/procedure_text.h"
#include "platform/text.h"

#include <cctype>

namespace mz {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

}  // namespace

SchemaScript ParseSchemaScript(std::string_view text, std::string& error) {
    SchemaScript script;
    std::string plain;
    enum { kPlain, kHeader, kBody, kTable } state = kPlain;
    ProcedureText current;
    std::string table;
    int line_no = 0, block_line = 0;
    size_t pos = 0;
    while (pos <= text.size() && error.empty()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        ++line_no;
        std::string_view trimmed = Trim(line);
        switch (state) {
            case kPlain:
                if (StartsWithNoCase(trimmed, "CREATE PROCEDURE ")) {
                    if (!Trim(plain).empty()) script.plain.push_back(plain);
                    plain.clear();
                    current = ProcedureText{};
                    std::string_view rest = Trim(trimmed.substr(17));
                    size_t name_end = 0;
                    while (name_end < rest.size() &&
                           !std::isspace(static_cast<unsigned char>(rest[name_end])) &&
                           rest[name_end] != '(')
                        ++name_end;
                    current.name = std::string(rest.substr(0, name_end));
                    current.parameters = std::string(rest.substr(name_end));
                    block_line = line_no;
                    state = kHeader;
                } else if (StartsWithNoCase(trimmed, "CREATE VERSIONED TABLE ")) {
                    if (!Trim(plain).empty()) script.plain.push_back(plain);
                    plain.clear();
                    table.assign(line).push_back('\n');
                    current = ProcedureText{};
                    current.name = std::string(Trim(trimmed.substr(23)));
                    block_line = line_no;
                    state = kTable;
                } else {
                    plain.append(line).push_back('\n');
                }
                break;
            case kHeader:
                if (EqualsNoCase(trimmed, "AS")) break;
                if (EqualsNoCase(trimmed, "BEGIN")) {
                    state = kBody;
                    break;
                }
                current.parameters.append(" ").append(line);
                break;
            case kTable:
                if (line.substr(0, 4) == "END;" && Trim(line) == "END;") {
                    script.tables.push_back(std::move(table));
                    table.clear();
                    state = kPlain;
                } else {
                    table.append(line).push_back('\n');
                }
                break;
            case kBody:
                if (line.substr(0, 4) == "END;" && Trim(line) == "END;") {
                    std::string_view params = Trim(current.parameters);
                    if (!params.empty() && params.front() == '(' && params.back() == ')')
                        params = Trim(params.substr(1, params.size() - 2));
                    current.parameters = std::string(params);
                    script.procedures.push_back(std::move(current));
                    state = kPlain;
                } else {
                    current.body.append(line).push_back('\n');
                }
                break;
        }
        if (eol == text.size()) break;
    }
    if (error.empty() && state != kPlain)
        error = std::string(state == kTable ? "versioned table " : "procedure ") + current.name +
                " begun on line " + std::to_string(block_line) + " has no closing \"END;\" line";
    if (!Trim(plain).empty()) script.plain.push_back(plain);
    return script;
}

std::vector<ProcedureParam> ParseParameters(std::string_view declaration, std::string& error) {
    std::vector<ProcedureParam> params;
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i <= declaration.size(); ++i) {
        char c = i < declaration.size() ? declaration[i] : ',';
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c != ',' || depth != 0) continue;
        std::string_view item = Trim(declaration.substr(start, i - start));
        start = i + 1;
        if (item.empty()) {
            if (i < declaration.size())
                error = "empty parameter in \"" + std::string(declaration) + "\"";
            continue;
        }
        if (item.front() != '@') {
            error = "parameter \"" + std::string(item) + "\" does not start with @";
            return {};
        }
        ProcedureParam p;
        size_t name_end = 1;
        while (name_end < item.size() && !std::isspace(static_cast<unsigned char>(item[name_end])))
            ++name_end;
        p.name = std::string(item.substr(0, name_end));
        std::string_view type = Trim(item.substr(name_end));
        for (std::string_view word : {"OUTPUT", "OUT"}) {
            if (type.size() >= word.size() &&
                EqualsNoCase(type.substr(type.size() - word.size()), word) &&
                (type.size() == word.size() ||
                 std::isspace(static_cast<unsigned char>(type[type.size() - word.size() - 1])))) {
                p.is_output = true;
                type = Trim(type.substr(0, type.size() - word.size()));
                break;
            }
        }
        if (type.empty()) {
            error = "parameter " + p.name + " has no type";
            return {};
        }
        p.type = std::string(type);
        params.push_back(std::move(p));
    }
    return params;
}

}  // namespace mz
