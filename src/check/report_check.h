// The report check: what a report version must satisfy before it is filed, as rules that are data
// (check/rules/report.rules, embedded; an office adds or replaces rules with a file of its own),
// and the totals a report can take from its own rows.
//
// A rule has a severity, a section, a message template and one of two forms: a reading T-SQL
// query over the version's rows that returns the offending rows, or a row test (scan TABLE ALIAS
// and a condition on each row, with the values its message shows). The row tests of one table run
// as one query, a single pass over the table however many rules test its rows. Every query goes
// through DbConnect as a record class sends its lists, so the check reads the version exactly as
// the lists show it (the audit view for an audit version) on either engine.
//
// Totals: a rule may name a fix, a property of a record class and the column of its finding that
// holds the right value. ReportTotals runs those rules in order and saves each fix through the
// class's own GetData and SaveData, so a row of an earlier version becomes a "C" copy in the
// report checked, as a clerk's change would.
//
// Error channels: loading rules and running them answer "" or an error text ("file:line: reason"
// for a malformed rule, "rule <name> (file:line): reason" for one the database refuses); engine
// failures raise mz::Error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/db_connect.h"
#include "platform/currency.h"

namespace mz {

enum class CheckSeverity { kError, kWarning };

struct CheckRule {
    std::string name;
    CheckSeverity severity = CheckSeverity::kError;
    std::string section;
    std::string message;  // template: {column} and {column:money}
    std::string query;    // with {report} and {rows TABLE ALIAS}; "" for a row test
    // A row test: the table and alias scanned, the condition a row fails, the values it shows
    // ("expr as name, ...").
    std::string scan, when, show;
    // The fix, when the rule has one: CLASS PROPERTY COLUMN.
    std::string fix_class, fix_property, fix_column;
    std::string file;  // where it was declared, for errors
    int line = 0;
};

struct CheckFinding {
    std::string rule;
    CheckSeverity severity = CheckSeverity::kError;
    std::string section;
    std::string message;
    // The row the finding is about, where the rule names it: 0 and "" when it does not.
    int32_t unique_id = 0;
    int32_t group_id = 0;
    int32_t sequence = 0;
    std::string page;
};

// Reads rules from text (the form described at the head of check/rules/report.rules) and adds
// them to rules, a rule of a name already there replacing it in place. "" or
// "<file>:<line>: <reason>"; on an error rules is left as it was.
std::string LoadCheckRules(const std::string& text, const std::string& file,
                           std::vector<CheckRule>& rules);
// The built-in rules.
const std::vector<CheckRule>& DefaultCheckRules();

// Runs every rule over report version `report` (the audit view when it is an audit version) and
// appends what they find to findings, rule by rule in order. A rule the database refuses, or
// whose message or fix names a column its query does not return, fails the whole check: nothing
// is appended. "" or an error text.
std::string CheckReport(DbConnect& db, int32_t report, const std::vector<CheckRule>& rules,
                        std::vector<CheckFinding>& findings);

// One value the totals changed.
struct TotalChange {
    std::string section;    // as the rule names it
    std::string what;       // "Receipts page 2" style: the finding's row
    std::string property;   // the class's property set
    std::string old_value;  // as the class read it before
    std::string new_value;
};

// Computes the totals the rules with a fix name and saves every one that differs through the
// record classes, connected to db's database with `report` as their current report. "" or an
// error text (a save the class or the database refused names the row and the property).
std::string ReportTotals(DbConnect& db, int32_t report, const std::vector<CheckRule>& rules,
                         std::vector<TotalChange>& changes);

}  // namespace mz
