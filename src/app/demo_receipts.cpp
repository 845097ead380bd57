#include "app/demo_receipts.h"

#include <cstdio>
#include <map>

#include "app/demo_steps.h"
#include "receipts/receipt_data.h"

namespace mz::app {
namespace {

class ReceiptsDemo : DemoSteps {
  public:
    explicit ReceiptsDemo(std::string path) : DemoSteps(std::move(path)) {}

    bool Run() {
        std::printf(
            "\n== Receipts: contributions, a loan, a gift, an amendment, a cascading delete ==\n");
        if (!Connect()) return false;
        const int32_t r1 = Report("new", 0);
        std::printf("  Report %d filed.\n", r1);
        auto filed = Receipts(r1);

        Contributions(*filed, r1);
        const int32_t loan = Loan(*filed, r1);
        Gift(*filed, r1);
        ShowList(*filed, r1, "The filed report's receipts, by type");

        const int32_t r2 = Report("amend", r1);
        std::printf("  Report %d amends report %d.\n", r2, r1);
        Amendment(r2, loan);
        ShowList(*filed, r1, "The filed report is unchanged");
        CascadingDelete(r2);
        std::printf(ok_ ? "  Receipts chapter finished.\n" : "  Receipts chapter FAILED.\n");
        return ok_;
    }

  private:
    std::unique_ptr<clsReceipt_Data> Receipts(int32_t report) {
        return Object<clsReceipt_Data>(report);
    }

    int32_t Add(clsReceipt_Data& r, int32_t report, const char* type, double amount, int32_t entity,
                const char* date, int16_t aggregated = 0) {
        r.GetData();
        r.ReportID(report);
        r.ReceiptCode(type);
        r.Amount(Currency::FromDouble(amount));
        if (entity > 0) r.EntityID(entity);
        r.IsAggregated(aggregated);
        r.TransDate(date);
        r.Sequence(r.GetNewSequence(report, type));
        return r.SaveData() ? r.UniqueID() : 0;
    }

    // Individuals' contributions, each carrying what its contributor gave in the period so far.
    void Contributions(clsReceipt_Data& r, int32_t report) {
        std::printf("  Contributions from individuals, January to March 2005:\n");
        const int32_t ana = Name("Rivera", "Ana"), li = Name("Chen", "Li");
        struct Gift {
            int32_t entity;
            double amount;
            const char* date;
        };
        const Gift gifts[] = {{ana, 100, "01/10/2005"},
                              {li, 250, "01/20/2005"},
                              {ana, 150, "02/14/2005"},
                              {ana, 75, "03/30/2005"}};
        std::map<int32_t, Currency> to_date;
        for (const Gift& g : gifts) {
            const int32_t id = Add(r, report, "ind", g.amount, g.entity, g.date);
            to_date[g.entity] = to_date[g.entity] + Currency::FromDouble(g.amount);
            r.SumToDate(to_date[g.entity]);
            r.SaveData();
            std::printf("    %s  %-14s %8s  to date %8s\n", r.TransDate().c_str(),
                        r.FullName().c_str(), r.Amount().ToString().c_str(),
                        r.SumToDate().ToString().c_str());
            ok_ = ok_ && id > 0;
        }
        Add(r, report, "ind", 480, -1, "03/31/2005", 1);
        std::printf("    %s  %-14s %8s  (small contributions reported as one line)\n",
                    r.TransDate().c_str(), "aggregated", r.Amount().ToString().c_str());
        Check(to_date[ana] == Currency::FromDouble(325), "Rivera, Ana gave 325 in the period");
    }

    int32_t Loan(clsReceipt_Data& r, int32_t report) {
        const int32_t loan =
            Add(r, report, "LOAN", 5000, Name("First Bank", "", true), "02/01/2005");
        clsLoanItems_Data& endorsers = *r.mobLoanEndorers;
        for (auto [last, first] : {std::pair{"Kim", "Joe"}, std::pair{"Diaz", "Eva"}}) {
            endorsers.GetData();
            endorsers.ReportID(report);
            endorsers.ReceiptID(loan);
            endorsers.EntityID(Name(last, first));
            endorsers.Amount(Currency::FromDouble(2500));
            endorsers.IsAmount(1);
            endorsers.Sequence(endorsers.GetNewSequence(report, loan));
            endorsers.SaveData();
        }
        Check(endorsers.GetDataLoanList(loan) && endorsers.CurrentCount() == 2,
              "a loan of 5000 from First Bank with two endorsers");
        for (endorsers.MoveFirst(); !endorsers.EOF(); endorsers.MoveNext()) {
            std::printf("    endorser %-12s %8s\n", endorsers.FullName().c_str(),
                        endorsers.Amount().ToString().c_str());
        }
        return loan;
    }

    void Gift(clsReceipt_Data& r, int32_t report) {
        const int32_t gift = Add(r, report, "GNS", 600, Name("Print Shop", "", true), "02/20/2005");
        clsGnSItems_Data& items = *r.mobGnSItem;
        for (auto [what, amount] : {std::pair{"yard signs", 450.0}, std::pair{"flyers", 150.0}}) {
            items.GetData();
            items.ReportID(report);
            items.ReceiptID(gift);
            items.Description(what);
            items.Amount(Currency::FromDouble(amount));
            items.Sequence(items.GetNewSequence(report, gift));
            items.SaveData();
        }
        Check(items.GetDataList(gift) && items.CurrentCount() == 2,
              "an in-kind gift of 600 from Print Shop, in two items");
    }

    void ShowList(clsReceipt_Data& r, int32_t report, const char* title) {
        std::printf("  %s (report %d):\n", title, report);
        if (!r.GetDataReceiptList(3, report)) return;
        Currency total;
        for (r.MoveFirst(); !r.EOF(); r.MoveNext()) {
            ResultSet& rows = *r.mRecSet();
            std::printf("    %-32s %-36s %9s\n", rows.Value("Receipt_type_desc").ToText().c_str(),
                        rows.Value("full_name").ToText().c_str(), r.Amount().ToString().c_str());
            total = total + r.Amount();
        }
        std::printf("    %-69s %9s\n", "total", total.ToString().c_str());
    }

    // The amendment corrects Chen's contribution and withdraws the aggregated line.
    void Amendment(int32_t report, int32_t loan) {
        auto amended = Receipts(report);
        int32_t chen = 0, aggregated = 0;
        amended->GetDataList(report);
        for (amended->MoveFirst(); !amended->EOF(); amended->MoveNext()) {
            if (amended->Amount() == Currency::FromDouble(250)) chen = amended->UniqueID();
            if (amended->IsAggregated() == 1) aggregated = amended->UniqueID();
        }
        amended->GetData(chen);
        amended->Amount(Currency::FromDouble(275));
        Check(amended->SaveData(), "the amendment changes Chen's 250 to 275 (a new version)");
        amended->GetData(aggregated);
        Check(amended->DeleteData(aggregated),
              "and deletes the aggregated line (a deletion marker)");
        Check(amended->mobLoanEndorers->GetDataLoanList(loan),
              "the loan's endorsers are still seen through the amendment");
        ShowList(*amended, report, "The amended report's receipts");
    }

    // A gift entered in the amendment by mistake goes with its items, its note and its giver.
    void CascadingDelete(int32_t report) {
        auto r = Receipts(report);
        const int32_t gift = Add(*r, report, "GNS", 90, Name("Cafe Uno", "", true), "03/05/2005");
        const int32_t group = r->GroupID();
        for (const char* what : {"coffee", "pastries"}) {
            r->mobGnSItem->GetData();
            r->mobGnSItem->ReportID(report);
            r->mobGnSItem->ReceiptID(gift);
            r->mobGnSItem->Description(what);
            r->mobGnSItem->Amount(Currency::FromDouble(45));
            r->mobGnSItem->SaveData();
        }
        clsNotes& notes = *r->mobNotes;
        notes.GetData();
        notes.ReportID(report);
        notes.ReportSection("REC");
        notes.LinkID(std::to_string(group));
        notes.Description("entered twice");
        notes.SaveData();
        std::printf("  Deleting the gift from Cafe Uno, entered in report %d by mistake:\n",
                    report);
        std::printf("    before: %s\n", Counts().c_str());
        r->GetData(gift);
        Check(r->DeleteData(gift), "the receipt, its two items, its note and its giver go");
        std::printf("    after:  %s\n", Counts().c_str());
    }

    std::string Counts() {
        return DemoSteps::Counts(
            {"rpt_Receipts", "rpt_gns_items", "rpt_notes", "rpt_name_address"});
    }
};

}  // namespace

bool RunReceiptsDemo(const std::string& db_path) {
    return RunChapter<ReceiptsDemo>(db_path);
}

}  // namespace mz::app
