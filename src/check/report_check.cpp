#include "check/report_check.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <string_view>
#include <utility>

#include "automation/object_model.h"
#include "core/list_query.h"
#include "db/schema_files.h"
#include "platform/error.h"
#include "platform/result_set.h"
#include "platform/text.h"

namespace mz {

// The rule files built into the binary (generated from src/check/rules by cmake/embed_sql.cmake).
const std::vector<SchemaFile>& CheckRuleFiles();

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The placeholders {NAME} and {NAME:FORMAT} of text, in order, with their positions.
struct Placeholder {
    size_t at, size;
    std::string name, format, whole;
};
std::vector<Placeholder> Placeholders(std::string_view text) {
    std::vector<Placeholder> out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '{') continue;
        const size_t close = text.find('}', i);
        if (close == std::string_view::npos) break;
        // The innermost: "{rows {table} x}" holds "{table}", replaced first.
        const size_t inner_open = text.find('{', i + 1);
        if (inner_open < close) continue;
        const std::string_view inner = text.substr(i + 1, close - i - 1);
        Placeholder p{i, close - i + 1, "", "", std::string(inner)};
        const size_t colon = inner.find(':');
        p.name = std::string(inner.substr(0, colon));
        if (colon != std::string_view::npos) p.format = std::string(inner.substr(colon + 1));
        out.push_back(std::move(p));
        i = close;
    }
    return out;
}

// Replaces the placeholders of text that values names; others stay.
std::string Substitute(std::string_view text, const std::map<std::string, std::string>& values) {
    std::string out;
    size_t from = 0;
    for (const Placeholder& p : Placeholders(text)) {
        auto it = values.find(p.whole);
        if (it == values.end()) continue;
        out.append(text.substr(from, p.at - from)).append(it->second);
        from = p.at + p.size;
    }
    out.append(text.substr(from));
    return out;
}

// "key=value key2=value two": each key a word followed by '=', each value running to the next key.
bool ParseEach(std::string_view text, std::map<std::string, std::string>& values) {
    std::vector<std::pair<size_t, size_t>> keys;  // start of the key, position of its '='
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=' || i == 0) continue;
        size_t start = i;
        while (start > 0 && IsWordChar(text[start - 1])) --start;
        if (start == i || (start > 0 && text[start - 1] != ' ' && text[start - 1] != '\t'))
            continue;
        keys.emplace_back(start, i);
    }
    if (keys.empty() || !Trim(text.substr(0, keys.front().first)).empty()) return false;
    for (size_t k = 0; k < keys.size(); ++k) {
        const size_t end = k + 1 < keys.size() ? keys[k + 1].first : text.size();
        const std::string key(text.substr(keys[k].first, keys[k].second - keys[k].first));
        const std::string_view value =
            Trim(text.substr(keys[k].second + 1, end - keys[k].second - 1));
        if (value.empty() || !values.emplace(key, std::string(value)).second) return false;
    }
    return true;
}

bool ValidName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return IsWordChar(c) || c == '-' || c == '.';
    });
}

// A rule as read, before its "each" lines are applied.
struct RuleText {
    std::string name;
    int line = 0;
    std::map<std::string, std::pair<std::string, int>> keys;  // key -> text, line
    std::vector<std::pair<std::string, int>> each;            // each line's text, line
};

std::string Where(const std::string& file, int line) {
    return file + ":" + std::to_string(line) + ": ";
}

// The words of text, split at blanks.
std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    for (size_t i = 0; i < text.size();) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        size_t j = i;
        while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j]))) ++j;
        if (j > i) words.emplace_back(text.substr(i, j - i));
        i = j;
    }
    return words;
}

// Applies one "each" line (values, possibly none) to a read rule; error names the line.
std::string MakeRule(const RuleText& r, const std::map<std::string, std::string>& values,
                     int each_line, const std::string& file, CheckRule& rule) {
    for (const char* key : {"severity", "section", "message"}) {
        if (!r.keys.count(key)) return Where(file, r.line) + "rule " + r.name + " has no " + key;
    }
    const bool scan = r.keys.count("scan") > 0;
    if (scan == (r.keys.count("query") > 0) || scan != (r.keys.count("when") > 0) ||
        (!scan && r.keys.count("show"))) {
        return Where(file, r.line) + "rule " + r.name +
               " needs either a query or a scan with its when (and show)";
    }
    rule.name = r.name;
    rule.file = file;
    rule.line = each_line ? each_line : r.line;  // the expansion, where there are several
    const std::string severity(Trim(r.keys.at("severity").first));
    if (severity == "error") {
        rule.severity = CheckSeverity::kError;
    } else if (severity == "warning") {
        rule.severity = CheckSeverity::kWarning;
    } else {
        return Where(file, r.keys.at("severity").second) + "rule " + r.name +
               ": severity must be error or warning, not \"" + severity + "\"";
    }
    // Every {KEY} the "each" line gives is replaced; what remains must be a column (message),
    // or {report} and {rows TABLE ALIAS} (the SQL of query, when and show).
    auto take = [&](const char* key, std::string& out) -> std::string {
        if (!r.keys.count(key)) return "";
        const auto& [text, line] = r.keys.at(key);
        out = Substitute(text, values);
        const std::string_view k = key;
        const bool sql = k == "query" || k == "when" || k == "show";
        for (const Placeholder& p : Placeholders(out)) {
            const bool sql_word = sql && (p.whole == "report" || p.whole.starts_with("rows "));
            const bool column = k == "message" && !p.name.empty() &&
                                std::all_of(p.name.begin(), p.name.end(), IsWordChar) &&
                                (p.format.empty() || p.format == "money");
            if (!sql_word && !column) {
                return Where(file, each_line ? each_line : line) + "rule " + r.name + ": {" +
                       p.whole + "} in its " + key + " is not given by an \"each\" line";
            }
        }
        return "";
    };
    std::string error;
    for (const auto& [key, out] : {std::pair{"section", &rule.section},
                                   {"message", &rule.message},
                                   {"query", &rule.query},
                                   {"scan", &rule.scan},
                                   {"when", &rule.when},
                                   {"show", &rule.show}}) {
        if (!(error = take(key, *out)).empty()) return error;
    }
    if (scan) {
        const std::vector<std::string> words = Words(rule.scan);
        const auto is_name = [](const std::string& w) {
            return std::all_of(w.begin(), w.end(), IsWordChar);
        };
        if (words.size() != 2 || !is_name(words[0]) || !is_name(words[1]))
            return Where(file, r.keys.at("scan").second) + "rule " + r.name +
                   ": scan must be TABLE ALIAS";
        rule.scan = words[0] + " " + words[1];
    }
    if (r.keys.count("fix")) {
        const auto& [text, line] = r.keys.at("fix");
        const std::string fix = Substitute(text, values);
        const std::vector<std::string> words = Words(fix);
        const AutoClass* cls =
            words.size() == 3 ? ObjectModel::Instance().FindClass(words[0]) : nullptr;
        if (!cls || !cls->Record() || !cls->Record()->FindProperty(words[1])) {
            return Where(file, line) + "rule " + r.name +
                   ": fix must be CLASS PROPERTY COLUMN, a record class and one of its "
                   "properties: \"" +
                   fix + "\"";
        }
        rule.fix_class = words[0];
        rule.fix_property = words[1];
        rule.fix_column = words[2];
    }
    return "";
}

std::string ParseRules(std::string_view text, const std::string& file,
                       std::vector<CheckRule>& parsed) {
    std::vector<RuleText> read;
    std::string* query = nullptr;  // the SQL (query, when, show) continued by indented lines
    int number = 0;
    for (size_t pos = 0; pos <= text.size();) {
        const size_t eol = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find('\0') != std::string_view::npos) return Where(file, number) + "a NUL byte";
        const bool indented = !line.empty() && (line[0] == ' ' || line[0] == '\t');
        if (Trim(line).empty()) {
            query = nullptr;
            continue;
        }
        if (indented) {
            if (!query) return Where(file, number) + "an indented line outside a query";
            query->append("\n").append(Trim(line));
            continue;
        }
        query = nullptr;
        if (line[0] == '#') continue;
        const size_t blank = line.find_first_of(" \t");
        const std::string key(line.substr(0, blank));
        const std::string value(blank == std::string_view::npos ? "" : Trim(line.substr(blank)));
        if (key == "rule") {
            if (!ValidName(value))
                return Where(file, number) + "a rule name is letters, digits, '-', '_' and '.'";
            read.push_back(RuleText{value, number, {}, {}});
            continue;
        }
        if (read.empty()) return Where(file, number) + "\"" + key + "\" before the first rule";
        RuleText& r = read.back();
        if (key == "each") {
            r.each.emplace_back(value, number);
            continue;
        }
        static const std::set<std::string> kKeys = {"severity", "section", "message", "fix",
                                                    "query",    "scan",    "when",    "show"};
        if (!kKeys.count(key)) return Where(file, number) + "unknown key \"" + key + "\"";
        if (r.keys.count(key))
            return Where(file, number) + "rule " + r.name + " gives " + key + " twice";
        if (key == "query") {
            if (!value.empty()) return Where(file, number) + "the query starts on the next line";
            r.keys[key] = {"", number};
            query = &r.keys[key].first;
            continue;
        }
        if (value.empty()) return Where(file, number) + key + " without a text";
        r.keys[key] = {value, number};
        if (key == "when" || key == "show") query = &r.keys[key].first;
    }
    for (const RuleText& r : read) {
        if (r.keys.count("query") && Trim(r.keys.at("query").first).empty())
            return Where(file, r.keys.at("query").second) + "rule " + r.name + ": an empty query";
        std::vector<std::pair<std::map<std::string, std::string>, int>> expansions;
        for (const auto& [each, line] : r.each) {
            std::map<std::string, std::string> values;
            if (!ParseEach(each, values))
                return Where(file, line) + "each must be KEY=VALUE pairs, each key once";
            expansions.emplace_back(std::move(values), line);
        }
        if (expansions.empty()) expansions.emplace_back(std::map<std::string, std::string>(), 0);
        for (const auto& [values, line] : expansions) {
            CheckRule rule;
            const std::string error = MakeRule(r, values, line, file, rule);
            if (!error.empty()) return error;
            parsed.push_back(std::move(rule));
        }
    }
    return "";
}

// {report} and {rows TABLE ALIAS} of a rule's query, for version `report`.
std::string ExpandQuery(const CheckRule& rule, int32_t report, bool audit, std::string& error) {
    std::map<std::string, std::string> values{{"report", std::to_string(report)}};
    for (const Placeholder& p : Placeholders(rule.query)) {
        if (!p.whole.starts_with("rows ")) continue;
        std::vector<std::string> words;
        std::string word;
        for (char c : p.whole.substr(5) + " ") {
            if (c == ' ') {
                if (!word.empty()) words.push_back(std::move(word));
                word.clear();
            } else {
                word += c;
            }
        }
        const auto is_name = [](const std::string& w) {
            return !w.empty() && std::all_of(w.begin(), w.end(), IsWordChar);
        };
        if (words.size() != 2 || !is_name(words[0]) || !is_name(words[1])) {
            error = "rule " + rule.name + " (" + rule.file + ":" + std::to_string(rule.line) +
                    "): {" + p.whole + "} must name a table and an alias";
            return "";
        }
        const std::string view = listq::RefView(words[0]);
        values[p.whole] = "(select x.* from " + view +
                          " x where x.ref_report_id = " + std::to_string(report) +
                          " and x.delete_date is null " + listq::VersionFilter(view, audit, "x") +
                          ") " + words[1];
    }
    return Substitute(rule.query, values);
}

// A finding's value as its message shows it; money as money.
std::string Shown(const Variant& v, const std::string& format = "") {
    if (v.IsNull() || v.IsEmpty()) return "";
    if (format == "money" || v.Type() == VarType::Currency) return v.ToCurrency().Grouped(4);
    if (v.Type() == VarType::Double) return v.ToCurrency().ToString();  // sums of money
    return v.ToText();
}

// A rule's query, or its row test as a query of its own; and the column of the result that holds
// a placeholder's value ("" when there is none).
struct RuleQuery {
    const CheckRule* rule;
    std::string flag;                          // row tests run together: the column set for it
    std::map<std::string, std::string> shown;  // show name -> result column
};

// "expr as name, ..." split at the commas outside parentheses and quotes.
std::vector<std::pair<std::string, std::string>> ShowItems(const std::string& show) {
    std::vector<std::pair<std::string, std::string>> items;
    int depth = 0;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i <= show.size(); ++i) {
        const char c = i < show.size() ? show[i] : ',';
        if (c == '\'') quoted = !quoted;
        if (quoted) continue;
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (c != ',' || depth != 0) continue;
        const std::string item(Trim(std::string_view(show).substr(start, i - start)));
        start = i + 1;
        const size_t as = Lower(item).rfind(" as ");
        if (as == std::string::npos) continue;
        items.emplace_back(item.substr(0, as), std::string(Trim(item.substr(as + 4))));
    }
    return items;
}

// One query for the row tests of `rules` that scan the same table (one rule or several): the
// row's identifiers, a flag per rule, each rule's shown values, and the rows failing any test.
std::string ScanQuery(std::vector<RuleQuery>& rules) {
    const std::string alias =
        rules.front().rule->scan.substr(rules.front().rule->scan.find(' ') + 1);
    std::string select =
        "select " + alias + ".unique_id, " + alias + ".group_id, " + alias + ".sequence";
    std::string where;
    for (size_t k = 0; k < rules.size(); ++k) {
        RuleQuery& q = rules[k];
        const std::string prefix = "mz_" + std::to_string(k + 1);
        q.flag = prefix;
        select += ",\ncase when (" + q.rule->when + ") then 1 else 0 end as " + prefix;
        for (const auto& [expr, name] : ShowItems(q.rule->show)) {
            q.shown[Lower(name)] = prefix + "_" + name;
            select += ",\n" + expr + " as " + prefix + "_" + name;
        }
        where += (k ? "\nor (" : "(") + q.rule->when + ")";
    }
    return select + "\nfrom {rows " + rules.front().rule->scan + "}\nwhere " + where;
}

std::string RuleWhere(const CheckRule& rule) {
    return "rule " + rule.name + " (" + rule.file + ":" + std::to_string(rule.line) + ")";
}

// The result column of placeholder name for q, or "" when the result has none.
std::string ColumnOf(const RuleQuery& q, const ResultSet& rs, const std::string& name) {
    if (auto it = q.shown.find(Lower(name)); it != q.shown.end()) return it->second;
    return rs.FieldIndex(name) >= 0 ? name : "";
}

// Runs the rules of qs (one query rule, or the row tests of one table); row(q, rs, columns) for
// each finding. "" or an error text naming the rule at fault.
using FindingRow = std::function<void(const RuleQuery&, ResultSet&)>;
std::string RunQuery(DbConnect& db, std::vector<RuleQuery>& qs, int32_t report, bool audit,
                     const FindingRow& row) {
    CheckRule combined = *qs.front().rule;
    if (!combined.scan.empty()) combined.query = ScanQuery(qs);
    std::string error;
    const std::string sql = ExpandQuery(combined, report, audit, error);
    if (!error.empty()) return error;
    ResultSet rs;
    error = db.OpenRecordset(sql, rs);
    if (!error.empty()) {
        // Several row tests in one query: too many for one text (the engine bounds a text's
        // SELECTs, and an audit's rows take more), or one of them at fault. Each half runs on
        // its own, down to the rule at fault.
        if (qs.size() > 1) {
            const auto half = qs.begin() + static_cast<std::ptrdiff_t>(qs.size() / 2);
            std::vector<RuleQuery> first(qs.begin(), half), second(half, qs.end());
            if (std::string e = RunQuery(db, first, report, audit, row); !e.empty()) return e;
            return RunQuery(db, second, report, audit, row);
        }
        return RuleWhere(*qs.front().rule) + ": the query fails: " + error;
    }
    for (const RuleQuery& q : qs) {
        for (const Placeholder& p : Placeholders(q.rule->message)) {
            if (ColumnOf(q, rs, p.name).empty())
                return RuleWhere(*q.rule) + ": the message shows {" + p.name +
                       "}, which the query does not return";
        }
        if (!q.rule->fix_class.empty() && ColumnOf(q, rs, q.rule->fix_column).empty())
            return RuleWhere(*q.rule) + ": the fix reads " + q.rule->fix_column +
                   ", which the query does not return";
    }
    if (rs.BOF() && rs.EOF()) return "";
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        for (const RuleQuery& q : qs) {
            if ((q.flag.empty() || rs.Value(q.flag).ToInt32() == 1) && row) row(q, rs);
        }
    }
    return "";
}

CheckFinding Finding(const RuleQuery& q, ResultSet& rs) {
    const CheckRule& rule = *q.rule;
    CheckFinding f;
    f.rule = rule.name;
    f.severity = rule.severity;
    f.section = rule.section;
    std::string message;
    size_t from = 0;
    for (const Placeholder& p : Placeholders(rule.message)) {
        message.append(rule.message, from, p.at - from);
        message += Shown(rs.Value(ColumnOf(q, rs, p.name)), p.format);
        from = p.at + p.size;
    }
    f.message = message + rule.message.substr(from);
    auto value = [&](const char* name) -> const Variant* {
        const std::string column = ColumnOf(q, rs, name);
        return column.empty() ? nullptr : &rs.Value(column);
    };
    auto number = [&](const char* name) {
        const Variant* v = value(name);
        return !v || v->IsNull() ? 0 : v->ToInt32();
    };
    f.unique_id = number("unique_id");
    f.group_id = number("group_id");
    f.sequence = number("sequence");
    if (const Variant* page = value("page")) f.page = page->ToText();
    return f;
}

// The rules as queries to run: each query rule alone, the row tests of one table together (at
// the place of the first of them).
std::vector<std::vector<RuleQuery>> Plan(const std::vector<CheckRule>& rules) {
    std::vector<std::vector<RuleQuery>> plan;
    std::map<std::string, size_t> scans;  // lower-case "table alias" -> its query in plan
    for (const CheckRule& rule : rules) {
        if (rule.scan.empty()) {
            plan.push_back({{&rule, "", {}}});
            continue;
        }
        const auto [it, added] = scans.emplace(Lower(rule.scan), plan.size());
        if (added) plan.emplace_back();
        plan[it->second].push_back({&rule, "", {}});
    }
    return plan;
}

// Whether version `report` is an audit; error text when there is no such report.
std::string ReadAudit(DbConnect& db, int32_t report, bool& audit) {
    ResultSet rs;
    const std::string error = db.OpenRecordset(
        "select is_audit from rpt_report where report_id = " + std::to_string(report), rs);
    if (!error.empty()) return error;
    if (rs.BOF() && rs.EOF()) return "report " + std::to_string(report) + " does not exist";
    audit = rs.Value(0).ToBool();
    return "";
}

std::vector<CheckRule> BuiltIn() {
    std::vector<CheckRule> rules;
    for (const SchemaFile& f : CheckRuleFiles()) {
        const std::string error = LoadCheckRules(std::string(f.text), std::string(f.name), rules);
        if (!error.empty()) throw Error(5, "MZ_report_bus.ReportCheck", error);
    }
    return rules;
}

}  // namespace

std::string LoadCheckRules(const std::string& text, const std::string& file,
                           std::vector<CheckRule>& rules) {
    std::vector<CheckRule> parsed;
    const std::string error = ParseRules(text, file, parsed);
    if (!error.empty()) return error;
    std::vector<CheckRule> merged = rules;
    std::set<std::string> replaced;
    for (CheckRule& rule : parsed) {
        if (!replaced.count(rule.name)) {
            // The first of its name takes the place of the old ones; the others follow it.
            auto first = std::find_if(merged.begin(), merged.end(),
                                      [&](const CheckRule& r) { return r.name == rule.name; });
            const auto at = first == merged.end() ? merged.size() : first - merged.begin();
            std::erase_if(merged, [&](const CheckRule& r) { return r.name == rule.name; });
            replaced.insert(rule.name);
            merged.insert(merged.begin() + static_cast<ptrdiff_t>(std::min(at, merged.size())),
                          rule);
            continue;
        }
        auto last = std::find_if(merged.rbegin(), merged.rend(),
                                 [&](const CheckRule& r) { return r.name == rule.name; });
        merged.insert(last.base(), rule);
    }
    rules = std::move(merged);
    return "";
}

const std::vector<CheckRule>& DefaultCheckRules() {
    static const std::vector<CheckRule> rules = BuiltIn();
    return rules;
}

std::string CheckReport(DbConnect& db, int32_t report, const std::vector<CheckRule>& rules,
                        std::vector<CheckFinding>& findings) {
    bool audit = false;
    std::string error = ReadAudit(db, report, audit);
    if (!error.empty()) return error;
    std::map<const CheckRule*, std::vector<CheckFinding>> found;
    for (std::vector<RuleQuery>& qs : Plan(rules)) {
        error = RunQuery(db, qs, report, audit, [&](const RuleQuery& q, ResultSet& rs) {
            found[q.rule].push_back(Finding(q, rs));
        });
        if (!error.empty()) return error;
    }
    for (const CheckRule& rule : rules) {
        const auto& mine = found[&rule];
        findings.insert(findings.end(), mine.begin(), mine.end());
    }
    return "";
}

std::string ReportTotals(DbConnect& db, int32_t report, const std::vector<CheckRule>& rules,
                         std::vector<TotalChange>& changes) {
    bool audit = false;
    std::string error = ReadAudit(db, report, audit);
    if (!error.empty()) return error;
    const ConnectionSettings& s = db.Settings();
    for (const CheckRule& rule : rules) {
        if (rule.fix_class.empty()) continue;
        struct Fix {
            CheckFinding finding;
            Variant value;
        };
        std::vector<Fix> fixes;
        std::vector<RuleQuery> qs{{&rule, "", {}}};
        error = RunQuery(db, qs, report, audit, [&](const RuleQuery& q, ResultSet& rs) {
            Variant value = rs.Value(ColumnOf(q, rs, rule.fix_column));
            // A sum the engine gives as a double is money: exact to a ten-thousandth.
            if (value.Type() == VarType::Double) value = Variant(value.ToCurrency());
            fixes.push_back({Finding(q, rs), std::move(value)});
        });
        if (!error.empty()) return error;
        for (const Fix& fix : fixes) {
            const ObjectRef o = ObjectModel::Instance().CreateObject(rule.fix_class);
            std::vector<AutoValue> args = {
                AutoValue(Variant(s.database_name)), AutoValue(Variant(s.source)),
                AutoValue(Variant(s.user_name)),     AutoValue(Variant(s.password)),
                AutoValue(Variant(s.use_trusted)),   AutoValue(Variant(std::to_string(report)))};
            ObjectModel::Invoke(o, "ConnectionVariables", args);
            std::vector<AutoValue> id = {AutoValue(Variant(fix.finding.unique_id))};
            TotalChange change;
            change.section = rule.section;
            // A message names its row before its first ": ".
            change.what = fix.finding.message.substr(0, fix.finding.message.find(": "));
            const std::string row =
                change.what + " (row " + std::to_string(fix.finding.unique_id) + ")";
            if (!ObjectModel::Invoke(o, "GetData", id).Scalar().ToBool())
                return row + ": " + rule.fix_class + " could not load it";
            change.property = rule.fix_property;
            change.old_value = Shown(ObjectModel::Get(o, rule.fix_property).Scalar());
            ObjectModel::Assign(o, rule.fix_property, AutoValue(fix.value));
            change.new_value = Shown(ObjectModel::Get(o, rule.fix_property).Scalar());
            std::vector<AutoValue> none;
            if (!ObjectModel::Invoke(o, "SaveData", none).Scalar().ToBool())
                return row + ": " + rule.fix_class + " could not save " + rule.fix_property;
            changes.push_back(std::move(change));
        }
    }
    return "";
}

}  // namespace mz
