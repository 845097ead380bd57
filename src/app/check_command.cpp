// The report check (check/report_check.h):
//   mzreport check DB REPORT [--json] [--rules FILE]   what does not add up; status 1 on an error
//   mzreport totals DB REPORT [--rules FILE]           set the totals from the rows, and say which
// --rules FILE adds an office's rules to the built-in ones (a rule of the same name replaces
// one); both also take --trace FILE.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_support.h"
#include "app/commands.h"
#include "check/report_check.h"
#include "platform/json_text.h"

namespace mz::app {
namespace {

const char* SeverityName(CheckSeverity s) {
    return s == CheckSeverity::kError ? "error" : "warning";
}

// The built-in rules, then those of the file --rules names. False after the reason on stderr.
bool ReadRules(const std::string& path, const char* command, std::vector<CheckRule>& rules) {
    rules = DefaultCheckRules();
    if (path.empty()) return true;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) {
        std::fprintf(stderr, "mzreport %s: cannot read the rules file \"%s\"\n", command,
                     path.c_str());
        return false;
    }
    const std::string error = LoadCheckRules(text.str(), path, rules);
    if (!error.empty()) std::fprintf(stderr, "mzreport %s: %s\n", command, error.c_str());
    return error.empty();
}

void PrintFindings(int32_t report, const std::vector<CheckFinding>& findings, bool json) {
    int errors = 0, warnings = 0;
    for (const CheckFinding& f : findings)
        ++(f.severity == CheckSeverity::kError ? errors : warnings);
    if (json) {
        std::string out = "{\"report_id\":" + std::to_string(report) +
                          ",\"errors\":" + std::to_string(errors) +
                          ",\"warnings\":" + std::to_string(warnings) + ",\"findings\":[";
        for (size_t i = 0; i < findings.size(); ++i) {
            const CheckFinding& f = findings[i];
            out += (i ? "," : "") + std::string("{\"rule\":") + JsonString(f.rule) +
                   ",\"severity\":" + JsonString(SeverityName(f.severity)) +
                   ",\"section\":" + JsonString(f.section) +
                   ",\"message\":" + JsonString(f.message) +
                   ",\"unique_id\":" + std::to_string(f.unique_id) +
                   ",\"group_id\":" + std::to_string(f.group_id) +
                   ",\"sequence\":" + std::to_string(f.sequence) +
                   ",\"page\":" + JsonString(f.page) + "}";
        }
        std::cout << out << "]}\n";
        return;
    }
    for (const CheckFinding& f : findings) {
        std::cout << (f.severity == CheckSeverity::kError ? "error    " : "warning  ") << f.message
                  << "  [" << f.rule;
        if (f.unique_id) std::cout << "; row " << f.unique_id << ", group " << f.group_id;
        std::cout << "]\n";
    }
    std::cout << "Report " << report << ": " << errors << (errors == 1 ? " error, " : " errors, ")
              << warnings << (warnings == 1 ? " warning" : " warnings") << "\n";
}

// Shared by check and totals: arguments, rules, the database; run answers the exit status.
template <class Run>
int RunWithRules(const std::vector<std::string>& args, const char* command, Run&& run) {
    const CommandDef& def = *FindCommand(command);
    CommandArgs a;
    if (auto status = ParseArgs(def, args, a)) return *status;
    if (!IsId(a.rest[1])) return UsageError(def, "\"" + a.rest[1] + "\" is not a report id");
    std::vector<CheckRule> rules;
    if (!ReadRules(a.rules, command, rules)) return 1;
    CommandTrace trace;
    if (!trace.Start(a.trace, command)) return 1;
    try {
        DbConnect db;
        if (!OpenReportDatabase(db, a.rest[0], command)) return 1;
        return run(db, std::stoi(a.rest[1]), rules, a.json);
    } catch (const Error& e) {
        std::cerr << ErrorLine(e) << "\n";
        return 1;
    }
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
    return RunWithRules(
        args, "check",
        [](DbConnect& db, int32_t report, const std::vector<CheckRule>& rules, bool json) {
            std::vector<CheckFinding> findings;
            const std::string error = CheckReport(db, report, rules, findings);
            if (!error.empty()) {
                std::fprintf(stderr, "mzreport check: %s\n", error.c_str());
                return 1;
            }
            PrintFindings(report, findings, json);
            for (const CheckFinding& f : findings)
                if (f.severity == CheckSeverity::kError) return 1;
            return 0;
        });
}

int RunTotals(const std::vector<std::string>& args) {
    return RunWithRules(
        args, "totals",
        [](DbConnect& db, int32_t report, const std::vector<CheckRule>& rules, bool) {
            std::vector<TotalChange> changes;
            const std::string error = ReportTotals(db, report, rules, changes);
            for (const TotalChange& c : changes) {
                std::cout << c.what << ": " << c.property << " "
                          << (c.old_value.empty() ? "(none)" : c.old_value) << " -> " << c.new_value
                          << "\n";
            }
            if (!error.empty()) {
                std::fprintf(stderr, "mzreport totals: %s\n", error.c_str());
                return 1;
            }
            if (changes.empty())
                std::cout << "Report " << report << ": every total already agrees\n";
            return 0;
        });
}

}  // namespace mz::app
