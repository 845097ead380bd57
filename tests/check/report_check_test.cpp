// The report check end to end on a real report database: every rule against the case corpus
// (check_cases.test), malformed rule files (rule_files.test), rules the database refuses, the
// totals saved through the record classes, and the check command's exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "app/commands.h"
#include "check/report_check.h"
#include "support/data_file.h"
#include "support/temp_db.h"

namespace mz {
namespace {

struct Case {
    std::string title;
    std::set<std::string> rules;  // whose findings the case shows
    std::vector<std::string> sql;
    std::string expected;
};

// The blocks of check_cases.test, the base report first.
std::vector<Case> Cases() {
    std::vector<Case> cases;
    bool expecting = false;
    for (const std::string& line : test::DataLines("check_cases.test")) {
        if (line.starts_with("#") || (line.empty() && !expecting)) continue;
        if (line.starts_with("== ")) {
            Case c;
            const size_t bar = line.find(" | ");
            c.title = line.substr(3);
            std::istringstream names(line.substr(3, bar == std::string::npos ? bar : bar - 3));
            for (std::string name; names >> name;) c.rules.insert(name);
            cases.push_back(std::move(c));
            expecting = false;
        } else if (line == "----") {
            expecting = true;
        } else if (!line.empty()) {
            (expecting ? cases.back().expected : cases.back().sql.emplace_back()) += line + "\n";
        }
    }
    return cases;
}

std::string Shown(const std::vector<CheckFinding>& findings, const std::set<std::string>& rules) {
    std::string out;
    for (const CheckFinding& f : findings) {
        if (!rules.empty() && !rules.count(f.rule)) continue;
        out += std::string(f.severity == CheckSeverity::kError ? "error " : "warning ") + f.rule +
               ": " + f.message + "\n";
    }
    return out;
}

// A database holding the base report (report 1) and then the case's SQL; the report the case
// checks.
int32_t Build(const test::TempReportDb& db, const Case& base, const Case& c) {
    DbConnect conn;
    EXPECT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
    int32_t report = test::NewReportVersion(conn, "new");
    for (const Case* part : {&base, &c}) {
        for (const std::string& sql : part->sql) {
            if (sql == "@amend\n" || sql == "@audit\n") {
                report = test::NewReportVersion(conn, sql.substr(1, 5), report);
            } else if (sql == "@new\n") {
                report = test::NewReportVersion(conn, "new");
            } else {
                db.Exec(sql);
            }
        }
    }
    return report;
}

TEST(ReportCheckTest, EveryRuleFindsWhatItsCasesShow) {
    const std::vector<Case> cases = Cases();
    ASSERT_FALSE(cases.empty());
    const Case& base = cases.front();
    ASSERT_EQ(base.title, "base");
    std::set<std::string> shown;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        test::TempReportDb db;
        const int32_t report = Build(db, base, &c == &base ? Case{} : c);
        DbConnect conn;
        ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
        std::vector<CheckFinding> findings;
        ASSERT_EQ(CheckReport(conn, report, DefaultCheckRules(), findings), "");
        EXPECT_EQ(Shown(findings, c.rules), c.expected);
        shown.insert(c.rules.begin(), c.rules.end());
    }
    for (const CheckRule& rule : DefaultCheckRules())
        EXPECT_TRUE(shown.count(rule.name)) << "no case breaks rule " << rule.name;
}

TEST(ReportCheckTest, MalformedRuleFilesAreRefusedWithTheirLineAndChangeNothing) {
    std::vector<std::pair<std::string, std::string>> files;  // expected error, text
    for (const std::string& line : test::DataLines("rule_files.test")) {
        if (line.starts_with("#")) continue;
        if (line.starts_with("== ")) {
            files.emplace_back(line.substr(3), "");
        } else {
            files.back().second += line + "\n";
        }
    }
    ASSERT_GE(files.size(), 10u);
    for (const auto& [error, text] : files) {
        std::vector<CheckRule> rules = DefaultCheckRules();
        EXPECT_EQ(LoadCheckRules(text, "bad.rules", rules), error) << text;
        EXPECT_EQ(rules.size(), DefaultCheckRules().size());
    }

    // An office's rule of a built-in name replaces it in place; a new one comes last.
    std::vector<CheckRule> rules = DefaultCheckRules();
    const std::string office =
        "rule debt-balance\nseverity warning\nsection Debts\nmessage debts\nquery\n"
        "    select 1 as a\n\nrule office-memo\nseverity warning\nsection Cover\n"
        "message no memo\nquery\n    select c.unique_id from {rows rpt_cover c} where c.memo is "
        "null\n";
    ASSERT_EQ(LoadCheckRules(office, "office.rules", rules), "");
    EXPECT_EQ(rules.size(), DefaultCheckRules().size() + 1);
    EXPECT_EQ(rules.back().name, "office-memo");
    const auto debt = std::find_if(rules.begin(), rules.end(),
                                   [](const CheckRule& r) { return r.name == "debt-balance"; });
    ASSERT_NE(debt, rules.end());
    EXPECT_EQ(debt->severity, CheckSeverity::kWarning);

    // What only the database can tell: a query it refuses, a message or fix naming a column the
    // query does not return. The check then reports nothing at all.
    test::TempReportDb db;
    DbConnect conn;
    ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
    const int32_t report = test::NewReportVersion(conn, "new");
    const std::pair<std::string, std::string> broken[] = {
        {"query\n    select * from rpt_nothing\n", "the query fails: "},
        {"query\n    delete from rpt_receipts\n", "the query fails: "},
        {"query\n    select 1 as b\n", "the message shows {a}, which the query does not return"},
        {"fix clsSummary_Data TotalRec c\nquery\n    select 1 as a\n",
         "the fix reads c, which the query does not return"},
    };
    for (const auto& [query, error] : broken) {
        std::vector<CheckRule> with = DefaultCheckRules();
        ASSERT_EQ(LoadCheckRules("rule z\nseverity error\nsection S\nmessage {a}\n" + query,
                                 "z.rules", with),
                  "");
        std::vector<CheckFinding> findings;
        const std::string got = CheckReport(conn, report, with, findings);
        EXPECT_TRUE(got.starts_with("rule z (z.rules:1): " + error)) << got;
        EXPECT_TRUE(findings.empty());
    }
    std::vector<CheckFinding> findings;
    EXPECT_EQ(CheckReport(conn, 99, DefaultCheckRules(), findings), "report 99 does not exist");
}

// Totals of an amendment whose clerk added a receipt to page 1 and changed nothing else: the
// page, the section's highest amount and the summary are set from the rows through the classes,
// as "C" copies in the amendment; the filed report keeps its figures and both check clean.
TEST(ReportCheckTest, TotalsAreSetFromTheRowsThroughTheClasses) {
    const std::vector<Case> cases = Cases();
    test::TempReportDb db;
    Case amendment;
    amendment.sql = {
        "@amend\n",
        "insert into rpt_receipts (report_id, sequence, page_amount_id, receipt_type_code, "
        "entity_id, amount, occur_date) values (2, 3, (select group_id from rpt_page_amount where "
        "report_section_code = 'rec' and report_id = 1), 'com', 3, 1000.25, '2020-06-20');\n"};
    const int32_t amended = Build(db, cases.front(), amendment);
    DbConnect conn;
    ASSERT_TRUE(conn.ConnectionVariables(db.Path(), "", "", "", false));
    std::vector<TotalChange> changes;
    ASSERT_EQ(ReportTotals(conn, amended, DefaultCheckRules(), changes), "");
    std::string said;
    for (const TotalChange& c : changes)
        said += c.what + ": " + c.property + " " + c.old_value + " -> " + c.new_value + "\n";
    EXPECT_EQ(said,
              "Receipts page 1: CurrentPageAmount 250 -> 1250.25\n"
              "Section rec page 1: MaxPageAmount 250 -> 1250.25\n"
              "Summary F: TotalRec 550.00 -> 1,550.25\n"
              "Summary F: EndBalance 150.00 -> 1,150.25\n");
    for (const int32_t report : {1, amended}) {
        std::vector<CheckFinding> findings;
        ASSERT_EQ(CheckReport(conn, report, DefaultCheckRules(), findings), "");
        // The accounts are the clerk's to state: only they disagree now.
        EXPECT_EQ(Shown(findings, {}),
                  report == 1 ? ""
                              : "error cash-on-hand: Cash on hand: the accounts end with 150.00 "
                                "but summary F ends with 1,150.25\n");
    }
    EXPECT_EQ(db.Scalar("select count(*) from rpt_page_amount where report_id = 2"), "1");
    EXPECT_EQ(db.Scalar("select count(*) from rpt_summary where report_id = 2"), "1");
    // Nothing left to set.
    changes.clear();
    ASSERT_EQ(ReportTotals(conn, amended, DefaultCheckRules(), changes), "");
    EXPECT_TRUE(changes.empty());
}

// Exit status 0 without an error, 1 with one (warnings do not count), 2 for misuse; --json.
TEST(ReportCheckTest, CheckCommandStatusAndJson) {
    const std::vector<Case> cases = Cases();
    test::TempReportDb db;
    Case plant;
    plant.sql = {"update rpt_debts set end_balance = 800;\n"};
    const int32_t report = Build(db, cases.front(), plant);
    auto run = [](const std::vector<std::string>& args) {
        std::ostringstream out;
        std::streambuf* const saved = std::cout.rdbuf(out.rdbuf());
        const int status = app::RunCheck(args);
        std::cout.rdbuf(saved);
        static const std::regex group("group [0-9]+");  // numbered by the engine
        return std::to_string(status) + ": " + std::regex_replace(out.str(), group, "group G");
    };
    const std::string id = std::to_string(report);
    EXPECT_EQ(run({db.Path(), id}),
              "1: error    Debt 1: the end balance reads 800.00 but 0.00 owed at the start plus "
              "800.00 incurred less 300.00 paid is 500.00  [debt-balance; row 1, group G]\n"
              "Report 1: 1 error, 0 warnings\n");
    const std::string json = run({db.Path(), id, "--json"});
    ASSERT_TRUE(json.starts_with("1: "));
    const auto parsed = nlohmann::json::parse(json.substr(3));
    EXPECT_EQ(parsed["errors"], 1);
    EXPECT_EQ(parsed["findings"][0]["rule"], "debt-balance");
    EXPECT_EQ(parsed["findings"][0]["sequence"], 1);
    db.Exec("update rpt_debts set end_balance = 500;");
    EXPECT_EQ(run({db.Path(), id}), "0: Report 1: 0 errors, 0 warnings\n");
    EXPECT_EQ(run({db.Path()}), "2: ");
    EXPECT_EQ(run({db.Path(), id, "--rules"}), "2: ");
}

}  // namespace
}  // namespace mz
