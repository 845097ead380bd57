#include "app/demo_expenditures.h"

#include <cstdio>
#include <map>

#include "app/demo_steps.h"
#include "expenditures/debt_data.h"
#include "expenditures/expenditure_data.h"

namespace mz::app {
namespace {

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

class ExpendituresDemo : DemoSteps {
  public:
    explicit ExpendituresDemo(std::string path) : DemoSteps(std::move(path)) {}

    bool Run() {
        std::printf(
            "\n== Expenditures and debts: spending, what is owed, an amendment, an audit ==\n");
        if (!Connect()) return false;
        const int32_t r1 = Report("new", 0);
        auto spent = Object<clsExpenditure_Data>(r1);
        const int32_t printer = Name("Main St Printing", "", true);
        const int32_t mailers = Add(*spent, r1, "oper", 1250, printer, "Campaign mailers");
        Item(*spent->mobExpenditureItem, r1, mailers, "GOV", "", 750);
        Item(*spent->mobExpenditureItem, r1, mailers, "OT", "School Board", 500);
        const int32_t rent =
            Add(*spent, r1, "oper", 900, Name("Oak Realty", "", true), "Office rent");
        Add(*spent, r1, "oper", 185, -1, "Postage and supplies under the itemizing threshold", 1);
        Add(*spent, r1, "ccpc", 500, Name("Friends of Lopez", "", true), "Contribution");
        auto debts = Object<clsDebt_Data>(r1);
        const int32_t hall = Debt(*debts, r1, Name("Grange Hall", "", true), 1200);
        for (double amount : {700.0, 500.0}) DebtItem(*debts->mobDebtItem, r1, hall, amount);
        std::printf("  Report %d filed.\n", r1);
        Show(*spent, *debts, r1, false);
        ShowItems(*spent->mobExpenditureItem, mailers);

        const int32_t r2 = Report("amend", r1);
        std::printf("  Report %d amends report %d: 400 paid on the hall, the rent withdrawn.\n", r2,
                    r1);
        auto later = Object<clsDebt_Data>(r2);
        later->GetData(hall);
        later->PaidAmount(Money(400));
        later->EndBalance(Money(800));
        Check(later->SaveData(), "the debt's payment saved as a new version");
        auto amended = Object<clsExpenditure_Data>(r2);
        amended->GetData(rent);
        Check(amended->DeleteData(rent), "the rent marked deleted in the amendment");
        Show(*amended, *later, r2, false);
        Show(*spent, *debts, r1, false);  // the filed report is unchanged

        // A deletion in the current report takes its items, its notes and the payee's entry.
        auto signs = Object<clsExpenditure_Data>(r2);
        const int32_t yard = Add(*signs, r2, "oper", 640, Name("Sign Co", "", true), "Yard signs");
        Item(*signs->mobExpenditureItem, r2, yard, "MAY", "", 400);
        Item(*signs->mobExpenditureItem, r2, yard, "CNL", "", 240);
        clsNotes& yard_note = *signs->mobNotes;
        yard_note.GetData();
        yard_note.ReportID(r2);
        yard_note.ReportSection("EXP");
        yard_note.LinkID(std::to_string(signs->GroupID()));
        yard_note.Description("Ordered twice by mistake.");
        ok_ = yard_note.SaveData() && ok_;
        const std::string before = Counts();
        signs->GetData(yard);
        Check(signs->DeleteData(yard), "deleting the yard signs of report " + std::to_string(r2));
        std::printf("  rows before: %s\n  rows after:  %s\n", before.c_str(), Counts().c_str());

        const int32_t r3 = Report("audit", r2);
        auto audit = Object<clsExpenditure_Data>(r3);
        audit->GetData(mailers);
        audit->Amount(Money(1200));
        Check(audit->SaveData(), "the auditor corrects the mailers to 1200");
        clsNotes& note = *audit->mobNotes;
        note.GetData();
        note.ReportID(r3);
        note.ReportSection("EXP");
        note.LinkID(std::to_string(audit->GroupID()));
        note.Description("Invoice shows 1,200; 50 was a deposit refunded.");
        Check(note.SaveData(), "an audit note on the mailers");
        Show(*audit, *Object<clsDebt_Data>(r3), r3, true);
        Check(amended->GetDataFederalList(r2) && amended->CurrentCount() == 1,
              "one contribution to another committee in report " + std::to_string(r2));
        std::printf(ok_ ? "  Expenditures chapter finished.\n"
                        : "  Expenditures chapter FAILED.\n");
        return ok_;
    }

  private:
    int32_t Add(clsExpenditure_Data& e, int32_t report, const char* type, double amount,
                int32_t payee, const char* purpose, int16_t aggregated = 0) {
        e.GetData();
        e.ReportID(report);
        e.ExpenditureCode(type);
        e.Amount(Money(amount));
        if (payee > 0) e.EntityID(payee);
        e.IsAggregated(aggregated);
        e.Purpose(purpose);
        e.TransDate("04/15/2005");
        e.Sequence(e.GetNewSequence(report));
        return Check(e.SaveData(), std::string("expenditure: ") + purpose) ? e.UniqueID() : 0;
    }

    void Item(clsExpenditureItems_Data& items, int32_t report, int32_t expenditure,
              const char* office, const char* office_name, double amount) {
        items.GetData();
        items.ReportID(report);
        items.ExpenditureID(expenditure);
        items.OfficeSoughtCode(office);
        items.OfficeName(office_name);
        items.Amount(Money(amount));
        items.Sequence(items.GetNewSequence(report, expenditure));
        ok_ = items.SaveData() && ok_;
    }

    int32_t Debt(clsDebt_Data& d, int32_t report, int32_t creditor, double amount) {
        d.GetData();
        d.ReportID(report);
        d.DebtCode("owed");
        d.EntityID(creditor);
        d.BeginBalance(Money(0));
        d.IncurredAmount(Money(amount));
        d.EndBalance(Money(amount));
        d.Description("Hall rental for two events");
        d.Sequence(d.GetNewSequence(report));
        return Check(d.SaveData(), "debt: hall rental") ? d.UniqueID() : 0;
    }

    void DebtItem(clsDebtItem_Data& items, int32_t report, int32_t debt, double amount) {
        items.GetData();
        items.ReportID(report);
        items.DebtID(debt);
        items.Amount(Money(amount));
        items.TransDate("03/05/2005");
        items.Sequence(items.GetNewSequence(report, debt));
        ok_ = items.SaveData() && ok_;
    }

    // The expenditure list by type with the totals per type, and the debts.
    void Show(clsExpenditure_Data& e, clsDebt_Data& d, int32_t report, bool audit) {
        std::printf("  Report %d%s, expenditures by type:\n", report, audit ? " (audit)" : "");
        std::map<std::string, Currency> totals;
        if (e.GetDataExpenditureList(3, report, audit)) {
            for (e.MoveFirst(); !e.EOF(); e.MoveNext()) {
                const std::string type = e.mRecSet()->Value("Expenditure_type_desc").ToText();
                std::printf("    %-52s %-34s %9s\n", type.c_str(),
                            e.mRecSet()->Value("full_name").ToText().c_str(),
                            e.Amount().ToString().c_str());
                totals[type] = totals[type] + e.Amount();
            }
        }
        for (const auto& [type, total] : totals)
            std::printf("    %-87s %9s\n", ("total " + type).c_str(), total.ToString().c_str());
        if (d.GetDataDebtList(report, audit)) {
            for (d.MoveFirst(); !d.EOF(); d.MoveNext()) {
                std::printf("    debt to %-27s began %9s  ends %9s\n", d.FullName().c_str(),
                            d.BeginBalance().ToString().c_str(), d.EndBalance().ToString().c_str());
            }
        }
    }

    void ShowItems(clsExpenditureItems_Data& items, int32_t expenditure) {
        if (!items.GetDataList(expenditure)) return;
        std::printf("  The mailers' items:\n");
        for (items.MoveFirst(); !items.EOF(); items.MoveNext()) {
            std::printf("    %-36s %9s\n", items.mRecSet()->Value("office_name").ToText().c_str(),
                        items.Amount().ToString().c_str());
        }
    }

    std::string Counts() {
        return DemoSteps::Counts(
            {"rpt_expenditures", "rpt_expenditure_items", "rpt_notes", "rpt_name_address"});
    }
};

}  // namespace

bool RunExpendituresDemo(const std::string& db_path) {
    return RunChapter<ExpendituresDemo>(db_path);
}

}  // namespace mz::app
