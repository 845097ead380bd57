#include "app/demo_whole_report.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "app/command_support.h"
#include "app/table_printer.h"
#include "automation/object_model.h"
#include "check/report_check.h"
#include "core/report_versions.h"
#include "db/backend.h"
#include "platform/currency.h"
#include "platform/error.h"
#include "print/report_print.h"

namespace mz::app {
namespace {

// A value in the tables below: a literal, or what only the run knows: the UniqueID or GroupID of
// a row saved earlier under a key, a name's entity id, the report in hand, or whether its audit
// view is asked for.
struct Val {
    enum Kind { kLiteral, kUnique, kGroup, kName, kReport, kAudit };
    Val(Variant v) : literal(std::move(v)) {}
    Val(const char* text) : literal(text) {}
    Val(int number) : literal(int32_t{number}) {}
    Val(double amount) : literal(amount) {}
    Val(Kind k, const char* ref) : kind(k), key(ref) {}
    Kind kind = kLiteral;
    Variant literal;
    const char* key = "";
};
Val Unique(const char* key) {
    return {Val::kUnique, key};
}
Val Group(const char* key) {
    return {Val::kGroup, key};
}
Val Name(const char* key) {
    return {Val::kName, key};
}
const Val kReport{Val::kReport, ""}, kAudit{Val::kAudit, ""};

// One row the clerk enters, changes or deletes. A key saved before means change (or, with
// `remove`, delete) that row in the report in hand; a new key means a new row.
struct Step {
    const char* cls;
    const char* key;
    std::vector<std::pair<const char*, Val>> set;
    bool remove = false;
};

// The people and organisations the report's rows point at, entered by name as the clerk types
// them into NameAddress.
struct Person {
    const char* key;
    std::vector<std::pair<const char*, Variant>> set;
};
Person Org(const char* key, const char* name) {
    return {key, {{"IsOrg", Variant(true)}, {"OrgName", Variant(name)}}};
}
const Person kPeople[] = {
    Org("committee", "Friends of Ortiz"),
    {"treasurer", {{"LastName", Variant("Ortiz")}, {"FirstName", Variant("Kay")}}},
    {"chair", {{"LastName", Variant("Reyes")}, {"FirstName", Variant("Sam")}}},
    {"donor",
     {{"LastName", Variant("Lind")},
      {"FirstName", Variant("Mae")},
      {"Address1", Variant("12 Elm St")},
      {"City", Variant("Salem")},
      {"State", Variant("OR")},
      {"Zip", Variant("97301")},
      {"Occupation", Variant("Teacher")},
      {"Employer", Variant("Salem Schools")}}},
    Org("union", "Teachers Association"),
    Org("bank", "Union Savings"),
    {"endorser", {{"LastName", Variant("Grant")}, {"FirstName", Variant("Lou")}}},
    Org("printer", "Quick Print"),
    Org("radio", "KMZR Radio"),
    Org("hall", "Grange Hall"),
    {"lender", {{"LastName", Variant("Lindqvist")}, {"FirstName", Variant("Per")}}},
};

const std::vector<Step> kFiling = {
    {"clsCover_Data",
     "cover",
     {{"EntityID", Name("committee")},
      {"ReportName", "2020 Pre-Primary"},
      {"ReportSubTypeCode", "QTRQ2"},
      {"FundName", "Friends of Ortiz"},
      {"StartDate", "04/01/2020"},
      {"EndDate", "06/30/2020"},
      {"CertDate", "07/10/2020"},
      {"SignedName", "Kay Ortiz, Treasurer"},
      {"Memo", "as filed"}}},
    {"clsPage_Amount",
     "receipts page",
     {{"ReportSectionCode", "rec"},
      {"ReportSectionTypeCode", "ind"},
      {"ActualPageNumber", "1"},
      {"CurrentPageNumber", "1"},
      {"CurrentPageAmount", "250"},
      {"MaxPageNumber", "1"},
      {"MaxPageAmount", "250"}}},
    {"clsPage_Amount",
     "expenditures page",
     {{"ReportSectionCode", "exp"},
      {"ReportSectionTypeCode", "oper"},
      {"ActualPageNumber", "1"},
      {"CurrentPageNumber", "1"},
      {"CurrentPageAmount", "600"},
      {"MaxPageNumber", "1"},
      {"MaxPageAmount", "600"}}},
    {"clsReceipt_Data",
     "gift",
     {{"ReceiptCode", "ind"},
      {"EntityID", Name("donor")},
      {"Amount", 250.0},
      {"TransDate", "04/12/2020"},
      {"PageAmountID", Group("receipts page")},
      {"Sequence", 1}}},
    {"clsReceipt_Data",
     "union gift",
     {{"ReceiptCode", "com"},
      {"EntityID", Name("union")},
      {"Amount", 1000.0},
      {"TransDate", "05/02/2020"},
      {"Sequence", 2}}},
    {"clsReceipt_Data",
     "loan",
     {{"ReceiptCode", "LOAN"},
      {"EntityID", Name("bank")},
      {"Amount", 2000.0},
      {"TransDate", "05/20/2020"},
      {"Sequence", 3}}},
    {"clsReceipt_Data",
     "flyers",
     {{"ReceiptCode", "GNS"},
      {"EntityID", Name("printer")},
      {"Amount", 300.0},
      {"TransDate", "05/25/2020"},
      {"Sequence", 4}}},
    {"clsGnSItems_Data",
     "flyers item",
     {{"ReceiptID", Unique("flyers")},
      {"Description", "500 flyers"},
      {"Amount", 300.0},
      {"Sequence", 1}}},
    {"clsLoanItems_Data",
     "endorsement",
     {{"ReceiptID", Unique("loan")},
      {"EntityID", Name("endorser")},
      {"Amount", 1000.0},
      {"IsAmount", 1},
      {"Sequence", 1}}},
    {"clsExpenditure_Data",
     "mailers",
     {{"ExpenditureCode", "oper"},
      {"EntityID", Name("printer")},
      {"Amount", 600.0},
      {"Purpose", "Mailers"},
      {"TransDate", "05/05/2020"},
      {"PageAmountID", Group("expenditures page")},
      {"Sequence", 1}}},
    {"clsExpenditureItems_Data",
     "mailer item",
     {{"ExpenditureID", Unique("mailers")},
      {"OfficeSoughtCode", "GOV"},
      {"Amount", 600.0},
      {"Sequence", 1}}},
    {"clsDebt_Data",
     "hall rent",
     {{"DebtCode", "owed"},
      {"EntityID", Name("hall")},
      {"BeginBalance", 0.0},
      {"IncurredAmount", 800.0},
      {"PaidAmount", 300.0},
      {"EndBalance", 500.0},
      {"Description", "Hall rental for the kickoff"},
      {"Sequence", 1}}},
    {"clsDebtItem_Data",
     "hall deposit",
     {{"DebtID", Unique("hall rent")}, {"Amount", 300.0}, {"TransDate", "06/01/2020"}}},
    {"clsAccount_Data",
     "checking",
     {{"EntityID", Name("bank")},
      {"AccountType", "checking"},
      {"AccountAbbr", "CHK"},
      {"Purpose", "Campaign operating"},
      {"BeginBalance", 500.0},
      {"EndBalance", 2350.0},
      {"Sequence", 1}}},
    {"clsAccount_Data",
     "savings",
     {{"EntityID", Name("bank")},
      {"AccountType", "savings"},
      {"AccountAbbr", "SAV"},
      {"Purpose", "Reserve"},
      {"BeginBalance", 0.0},
      {"EndBalance", 800.0},
      {"Sequence", 2}}},
    {"clsOfficer_Data", "the committee", {{"EntityID", Name("committee")}, {"NameCode", "CEN"}}},
    {"clsOfficer_Data", "the treasurer", {{"EntityID", Name("treasurer")}, {"NameCode", "TRS"}}},
    {"clsTransfer_Data",
     "to savings",
     {{"AccountFrom", "CHK"},
      {"AccountTo", "SAV"},
      {"TransDate", "06/15/2020"},
      {"Amount", 800.0},
      {"Sequence", 1}}},
    {"clsAdminSupport_Data",
     "office space",
     {{"ItemCode", "off"}, {"Amount", 150.0}, {"Sequence", 1}}},
    {"clsNotes",
     "gift note",
     {{"ReportSection", "REC"}, {"LinkID", Group("gift")}, {"Description", "Check 1041"}}},
    // Cash on hand: the in-kind flyers (300) are a receipt but bring no money, so the end
    // balance is 500 + 250 + 1,000 + 2,000 - 600, what the two accounts hold.
    {"clsSummary_Data",
     "summary",
     {{"SummaryCode", "F"},
      {"BeginBalance", 500.0},
      {"TotalRec", 3550.0},
      {"TotalExp", 600.0},
      {"EndBalance", 3150.0}}},
};

// The amendment corrects the gift, withdraws the mailers with their item, adds radio spots and a
// chair, and says so on the cover, the summary and the checking account. The clerk forgets the
// page totals and the end balance: the check finds them and the totals set them from the rows.
const std::vector<Step> kAmendment = {
    {"clsCover_Data", "cover", {{"Memo", "amended"}}},
    {"clsReceipt_Data", "gift", {{"Amount", 350.0}}},
    {"clsNotes",
     "amendment note",
     {{"ReportSection", "REC"}, {"LinkID", Group("gift")}, {"Description", "Bank: 350, not 250"}}},
    {"clsExpenditureItems_Data", "mailer item", {}, true},
    {"clsExpenditure_Data", "mailers", {}, true},
    {"clsExpenditure_Data",
     "radio",
     {{"ExpenditureCode", "oper"},
      {"EntityID", Name("radio")},
      {"Amount", 450.0},
      {"Purpose", "Radio spots"},
      {"TransDate", "06/20/2020"},
      {"PageAmountID", Group("expenditures page")},
      {"Sequence", 2}}},
    {"clsOfficer_Data", "the chair", {{"EntityID", Name("chair")}, {"NameCode", "CHR"}}},
    {"clsAccount_Data", "checking", {{"EndBalance", 2600.0}}},
    {"clsSummary_Data", "summary", {{"TotalRec", 3650.0}, {"TotalExp", 450.0}}},
};

// The auditor finds the radio spots cost 420, notes why, and records the page, the account and
// the summary they arrive at.
const std::vector<Step> kAuditing = {
    {"clsExpenditure_Data", "radio", {{"Amount", 420.0}}},
    {"clsPage_Amount",
     "expenditures page",
     {{"CurrentPageAmount", "420"}, {"MaxPageAmount", "420"}}},
    {"clsNotes",
     "audit note",
     {{"ReportSection", "REC"},
      {"LinkID", Group("gift")},
      {"Description", "Auditor: deposit seen"}}},
    {"clsAccount_Data", "checking", {{"EndBalance", 2630.0}}},
    {"clsSummary_Data", "summary", {{"TotalExp", 420.0}, {"EndBalance", 3430.0}}},
};

// What the front end lists of each section of one version, and the column whose figure the
// overview shows (summed when it is an amount).
struct Section {
    const char* label;
    const char* cls;
    const char* loader;
    std::vector<Val> args;
    const char* figure = "Amount";
};
const std::vector<Section> kSections = {
    {"cover: memo", "clsCover_Data", "GetDataDetail", {kReport, kAudit}, "Memo"},
    {"summary: end balance",
     "clsSummary_Data",
     "GetDataDetail",
     {kReport, "F", kAudit},
     "end_balance"},
    {"receipt pages: amount",
     "clsPage_Amount",
     "GetDataList",
     {kReport, "rec", "", kAudit},
     "current_page_amount"},
    {"expenditure pages: amount",
     "clsPage_Amount",
     "GetDataList",
     {kReport, "exp", "", kAudit},
     "current_page_amount"},
    {"receipts", "clsReceipt_Data", "GetDataList", {kReport, kAudit}},
    {"loan endorsers", "clsLoanItems_Data", "GetDataLoanList", {Unique("loan"), kAudit}},
    {"in-kind items", "clsGnSItems_Data", "GetDataList", {Unique("flyers"), kAudit}},
    {"expenditures", "clsExpenditure_Data", "GetDataList", {kReport, kAudit}},
    {"items of the mailers",
     "clsExpenditureItems_Data",
     "GetDataList",
     {Unique("mailers"), kAudit}},
    {"debts: balance", "clsDebt_Data", "GetDataDebtList", {kReport, kAudit}, "end_balance"},
    {"payments on the hall", "clsDebtItem_Data", "GetDataList", {Unique("hall rent"), kAudit}},
    {"accounts", "clsAccount_Data", "GetDataReportCover", {kReport, kAudit}},
    {"officers", "clsOfficer_Data", "GetDataReportCover", {kReport, false, kAudit}},
    {"transfers", "clsTransfer_Data", "GetDataList", {kReport, kAudit}},
    {"support items", "clsAdminSupport_Data", "GetDataList", {kReport, kAudit}},
    {"notes on the gift", "clsNotes", "GetDataList", {kReport, Group("gift"), kAudit}},
};

class WholeReportDemo {
    using Rows = std::map<std::string, std::pair<int32_t, int32_t>>;  // key -> UniqueID, GroupID

  public:
    WholeReportDemo(Narrator& say, std::string path, DbConnect& db)
        : say_(say), path_(std::move(path)), db_(db) {}

    bool Run() {
        say_.Chapter("One whole report: every section, filed, amended and audited");
        EnterNames();
        const int32_t filed = Version("new", 0, kFiling, "filed");
        CheckVersion(filed, false);
        const auto as_filed = Lists(filed, false);
        const int32_t amended = Version("amend", filed, kAmendment, "amended");
        CheckVersion(amended, true);
        const auto as_amended = Lists(amended, false);
        const int32_t audited = Version("audit", amended, kAuditing, "audited");
        CheckVersion(audited, false);

        say_.Line(
            "  What each section's list shows (rows, and their amounts where they have one):");
        const std::vector<std::pair<std::string, std::vector<std::string>>> columns = {
            {"filed (report " + std::to_string(filed) + ")", Lists(filed, false)},
            {"amended (report " + std::to_string(amended) + ")", Lists(amended, false)},
            {"audit view (report " + std::to_string(audited) + ")", Lists(audited, true)}};
        std::printf("    %-26s", "");
        for (const auto& [title, cells] : columns) std::printf(" %-24s", title.c_str());
        std::printf("\n");
        for (size_t s = 0; s < kSections.size(); ++s) {
            std::printf("    %-26s", kSections[s].label);
            for (const auto& [title, cells] : columns) std::printf(" %-24s", cells[s].c_str());
            std::printf("\n");
        }
        Check(columns[0].second == as_filed && columns[1].second == as_amended,
              "the filed and the amended version read as they did before the later versions");
        Print({{filed, "filed"}, {amended, "amended"}, {audited, "audit"}});
        say_.Line(ok_ ? "  Whole report chapter finished." : "  Whole report chapter FAILED.");
        return ok_;
    }

  private:
    // The names, entered through NameAddress by name; then the clerk finds the donor again by
    // the start of her name, as the entry screen's pick list does.
    void EnterNames() {
        say_.Line("  names and addresses (NameAddress):");
        const ObjectRef na = ObjectModel::Instance().CreateObject("NameAddress");
        Call(na, "ConnectionVariables",
             {Variant(path_), Variant(""), Variant(""), Variant(""), Variant(false)});
        for (const Person& p : kPeople) {
            Call(na, "GetData", {});
            std::string said;
            for (const auto& [member, value] : p.set) Assign(na, member, value, said);
            const bool ok = Call(na, "SaveData", {}).Scalar().ToBool();
            names_[p.key] = ObjectModel::Get(na, "UniqueID").Scalar().ToInt32();
            std::printf("    %-7s %-24s %-18s %s%s\n", "new", "NameAddress", p.key, said.c_str(),
                        ok ? "" : "  FAILED");
            ok_ = ok_ && ok;
        }
        const ObjectRef pick = say_.Create("na", "NameAddress");
        say_.Call(pick, "na", "ConnectionVariables",
                  {Variant(path_), Variant(""), Variant(""), Variant(""), Variant(false)});
        say_.Call(pick, "na", "FindByName", {Variant("LIND")});
        say_.Show(pick, "the names beginning with \"lind\", any case",
                  {"unique_id", "full_name", "city", "occupation", "employer"});
        Check(ObjectModel::Get(pick, "UniqueID").Scalar().ToInt32() == names_["donor"],
              "the donor is the first name found");
    }

    void Check(bool ok, const std::string& what) {
        if (!ok) say_.Line("  FAILED: " + what);
        ok_ = ok_ && ok;
    }

    // Each version as the paper form, a PDF beside the database (in the temporary folder for a
    // database on a server).
    void Print(const std::vector<std::pair<int32_t, const char*>>& versions) {
        const std::filesystem::path db(path_);
        const std::filesystem::path folder =
            IsServerConnection(path_) ? std::filesystem::temp_directory_path() : db.parent_path();
        const std::string stem = IsServerConnection(path_) ? "mz_demo" : db.stem().string();
        say_.Line("  The printed report, each version as the paper form:");
        for (const auto& [report, kind] : versions) {
            const std::string pdf =
                (folder / (stem + "-report" + std::to_string(report) + "-" + kind + ".pdf"))
                    .string();
            PrintSummary printed;
            const std::string error = PrintReport(db_, report, pdf, {}, &printed);
            Check(error.empty(), error);
            if (error.empty())
                std::printf("    %-8s %s (%d sheets, %d items)\n", kind, pdf.c_str(),
                            printed.sheets, printed.items);
        }
    }

    // A new version of the report with the clerk's (or the auditor's) rows in it.
    int32_t Version(const char* action, int32_t based_on, const std::vector<Step>& steps,
                    const char* done) {
        std::string error;
        const int32_t report = CreateReportVersion(db_, action, based_on, error);
        Check(error.empty(), error);
        say_.Line("  report " + std::to_string(report) + " (" + done + "):");
        for (const Step& step : steps) Apply(report, step);
        seen_[report] = rows_;
        objects_.clear();  // each holds a connection: a server allows only so many
        return report;
    }

    // The report check of a version; with totals, the totals set from the rows when it finds an
    // error, and the check again. The version must end with no error.
    void CheckVersion(int32_t report, bool totals) {
        auto check = [&] {
            std::vector<CheckFinding> findings;
            const std::string error = CheckReport(db_, report, DefaultCheckRules(), findings);
            Check(error.empty(), error);
            int errors = 0;
            for (const CheckFinding& f : findings) {
                errors += f.severity == CheckSeverity::kError;
                say_.Line(std::string("    check: ") +
                          (f.severity == CheckSeverity::kError ? "error: " : "warning: ") +
                          f.message);
            }
            return errors;
        };
        say_.Line("  mzreport check of report " + std::to_string(report) + ":");
        int errors = check();
        if (errors > 0 && totals) {
            say_.Line("  mzreport totals of report " + std::to_string(report) + ":");
            std::vector<TotalChange> changes;
            const std::string error = ReportTotals(db_, report, DefaultCheckRules(), changes);
            Check(error.empty(), error);
            for (const TotalChange& c : changes)
                say_.Line("    " + c.what + ": " + c.property + " " + c.old_value + " -> " +
                          c.new_value);
            say_.Line("  and the check again:");
            errors = check();
        }
        if (errors == 0) say_.Line("    no errors");
        Check(errors == 0, "report " + std::to_string(report) + " checks clean");
    }

    ObjectRef Object(const char* cls, int32_t report) {
        ObjectRef& obj = objects_[{cls, report}];
        if (!obj) {
            obj = ObjectModel::Instance().CreateObject(cls);
            std::vector<AutoValue> args = {Variant(path_), Variant(""),
                                           Variant(""),    Variant(""),
                                           Variant(false), Variant(std::to_string(report))};
            ObjectModel::Invoke(obj, "ConnectionVariables", args);
        }
        return obj;
    }

    Variant Resolve(const Val& v, const Rows& rows, int32_t report, bool audit) const {
        switch (v.kind) {
            case Val::kLiteral:
                return v.literal;
            case Val::kUnique:
                return Variant(rows.at(v.key).first);
            case Val::kGroup:
                return Variant(rows.at(v.key).second);
            case Val::kName:
                return Variant(names_.at(v.key));
            case Val::kReport:
                return Variant(report);
            case Val::kAudit:
                return Variant(audit);
        }
        return {};
    }

    AutoValue Call(const ObjectRef& obj, const char* member, std::vector<AutoValue> args) {
        return ObjectModel::Invoke(obj, member, args);
    }

    void Apply(int32_t report, const Step& step) {
        const ObjectRef obj = Object(step.cls, report);
        const auto known = rows_.find(step.key);
        const bool change = known != rows_.end();
        Call(obj, "GetData", {Variant(change ? known->second.first : -1)});
        std::string said;
        if (!change) Assign(obj, "ReportID", Variant(report), said);
        for (const auto& [member, value] : step.set)
            Assign(obj, member, Resolve(value, rows_, report, false), said);
        bool ok;
        if (step.remove) {
            ok = Call(obj, "DeleteData", {Variant(known->second.first)}).Scalar().ToBool();
            rows_.erase(known);
        } else {
            ok = Call(obj, "SaveData", {}).Scalar().ToBool();
            const int32_t group = Call(obj, "GroupID", {}).Scalar().ToInt32();
            rows_[step.key] = {RowInReport(obj, group, report, Call(obj, "UniqueID", {})), group};
        }
        const char* verb = step.remove ? "deleted" : change ? "changed" : "new";
        std::printf("    %-7s %-24s %-18s %s%s\n", verb, step.cls, step.key, said.c_str(),
                    ok ? "" : "  FAILED");
        ok_ = ok_ && ok;
    }

    // The row of group that report wrote: after a change of an earlier version's row the object
    // still holds that row, and the next change must start from the copy. Without one (notes
    // change in place) the row the object holds.
    int32_t RowInReport(const ObjectRef& obj, int32_t group, int32_t report,
                        const AutoValue& held) {
        ResultSet rs;
        const std::string table = Call(obj, "Table", {}).Scalar().ToText();
        const std::string error = db_.OpenRecordset(
            "select unique_id from " + table + " where group_id = " + std::to_string(group) +
                " and report_id = " + std::to_string(report),
            rs);
        if (error.empty() && !(rs.BOF() && rs.EOF())) return rs.Value(0).ToInt32();
        return held.Scalar().ToInt32();
    }

    void Assign(const ObjectRef& obj, const char* member, const Variant& value, std::string& said) {
        ObjectModel::Assign(obj, member, AutoValue(value));
        if (std::string_view(member) == "ReportID") return;
        if (!said.empty()) said += ", ";
        said += std::string(member) + "=" + DisplayText(value);
    }

    // Each section's list of the version as a cell: "2 rows, 1250".
    std::vector<std::string> Lists(int32_t report, bool audit) {
        const Rows& seen = seen_.at(report);
        std::vector<std::string> cells;
        for (const Section& section : kSections) {
            std::vector<AutoValue> args;
            bool withdrawn = false;  // the items of a row the version deleted are not its own
            for (const Val& v : section.args) {
                withdrawn = withdrawn || (v.kind == Val::kUnique && !seen.count(v.key));
                if (!withdrawn) args.emplace_back(Resolve(v, seen, report, audit));
            }
            if (withdrawn) {
                cells.emplace_back("(parent deleted)");
                continue;
            }
            const ObjectRef obj = Object(section.cls, report);
            const bool found = ObjectModel::Invoke(obj, section.loader, args).Scalar().ToBool();
            Check(found, std::string("the ") + section.label + " list of report " +
                             std::to_string(report) + " loads");
            ResultSet* rows = obj->Rows();
            const int32_t n = found && rows ? rows->RecordCount() : 0;
            std::string cell = std::to_string(n) + (n == 1 ? " row" : " rows");
            if (n > 0 && rows->FieldIndex(section.figure) >= 0) {
                rows->MoveFirst();
                if (rows->Value(section.figure).IsText()) {
                    cell += ", " + rows->Value(section.figure).ToText();
                } else {
                    Currency total;
                    for (; !rows->EOF(); rows->MoveNext())
                        total += rows->Value(section.figure).ToCurrency();
                    cell += ", " + total.ToString();
                }
            }
            cells.push_back(cell);
        }
        objects_.clear();
        return cells;
    }

    Narrator& say_;
    std::string path_;
    DbConnect& db_;
    std::map<std::string, int32_t> names_;
    Rows rows_;                     // as the clerk goes
    std::map<int32_t, Rows> seen_;  // as each version left them
    std::map<std::pair<std::string, int32_t>, ObjectRef> objects_;
    bool ok_ = true;
};

}  // namespace

bool RunWholeReportDemo(Narrator& say, const std::string& db_path, DbConnect& db) {
    try {
        return WholeReportDemo(say, db_path, db).Run();
    } catch (const Error& e) {
        say.Line(ErrorLine(e));
        return false;
    }
}

}  // namespace mz::app
