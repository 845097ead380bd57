#include "app/demo_report_pages.h"

#include <cstdio>
#include <map>
#include <vector>

#include "app/demo_steps.h"
#include "expenditures/expenditure_data.h"
#include "receipts/receipt_data.h"
#include "report/cover_data.h"
#include "report/page_amount.h"
#include "report/summary_data.h"

namespace mz::app {
namespace {

Currency Money(double amount) {
    return Currency::FromDouble(amount);
}

// One printed page of a version as the page-total screen shows it.
struct PageLine {
    std::string label;  // "receipts page 1 (ind)"
    int32_t items = 0;
    std::string amount, highest;
};

// The cover, summary and page totals of one version, to be shown beside another's.
struct VersionFigures {
    std::string memo;
    std::map<int32_t, PageLine> pages;  // by page group
    std::vector<int32_t> order;         // the groups as the page lists give them
    Currency total_rec, total_exp, end_balance;
    std::string page_based;  // the summary derived from the pages
};

class ReportPagesDemo : DemoSteps {
  public:
    explicit ReportPagesDemo(std::string path) : DemoSteps(std::move(path)) {}

    bool Run() {
        std::printf(
            "\n== Report pages: the cover, the printed pages and their totals, the summary;"
            " filed and amended side by side ==\n");
        if (!Connect()) return false;
        const int32_t r1 = Report("new", 0);
        File(r1);
        const VersionFigures filed = Figures(r1);
        const int32_t r2 = Report("amend", r1);
        std::printf(
            "  Report %d amends report %d: a late contribution on receipts page 2 and a"
            " new page 3.\n",
            r2, r1);
        Amend(r2);
        Show(r1, Figures(r1), r2, Figures(r2));
        Check(Figures(r1).total_rec == filed.total_rec && Figures(r1).memo == filed.memo,
              "the filed version keeps its cover, pages and summary");
        std::printf(ok_ ? "  Report pages chapter finished.\n"
                        : "  Report pages chapter FAILED.\n");
        return ok_;
    }

  private:
    int32_t Page(int32_t report, const char* section, const char* type, int number) {
        auto p = Object<clsPage_Amount>(report);
        p->GetData();
        p->ReportID(report);
        p->ReportSectionCode(section);
        p->ReportSectionTypeCode(type);
        p->ActualPageNumber(std::to_string(number));
        p->CurrentPageNumber(std::to_string(number));
        return p->SaveData() ? p->GroupID() : 0;
    }

    template <class T>
    void Item(T& item, int32_t report, const char* type, double amount, int32_t page,
              int16_t aggregated = 0) {
        item.GetData();
        item.ReportID(report);
        if constexpr (std::is_same_v<T, clsReceipt_Data>) {
            item.ReceiptCode(type);
        } else {
            item.ExpenditureCode(type);
        }
        item.Amount(Money(amount));
        item.IsAggregated(aggregated);
        item.PageAmountID(page);
        item.Sequence(item.GetNewSequence(report));
        ok_ = item.SaveData() && ok_;
    }

    // The filing: a cover, two receipt pages and one of expenditures, the items on them.
    void File(int32_t r) {
        auto cover = Object<clsCover_Data>(r);
        cover->GetData();
        cover->ReportID(r);
        cover->ReportName("2019 Second Quarter");
        cover->ReportSubTypeCode("QTRQ2");
        cover->FundName("Committee to Elect Rivera");
        cover->StartDate("04/01/2019");
        cover->EndDate("06/30/2019");
        cover->CertDate("07/15/2019");
        cover->SignedName("Ana Rivera, Treasurer");
        cover->Memo("as filed");
        Check(cover->SaveData(), "the cover: 2019 Second Quarter, 04/01/2019 to 06/30/2019");

        rec1_ = Page(r, "rec", "ind", 1);
        rec2_ = Page(r, "rec", "ind", 2);
        exp1_ = Page(r, "exp", "oper", 1);
        auto receipts = Object<clsReceipt_Data>(r);
        Item(*receipts, r, "ind", 250, rec1_);
        Item(*receipts, r, "ind", 480, rec1_, 1);  // small contributions as one line
        Item(*receipts, r, "com", 1000, rec2_);
        auto spent = Object<clsExpenditure_Data>(r);
        Item(*spent, r, "oper", 640, exp1_);
        Item(*spent, r, "oper", 95, exp1_, 1);
        Check(ok_, "receipts on pages 1 and 2, expenditures on page 1");
        TotalPages(r);
        Summary(r);
    }

    void Amend(int32_t r) {
        auto cover = Object<clsCover_Data>(r);
        cover->GetDataDetail(r);
        cover->Memo("amended: a late contribution");
        cover->IsAmendment(1);
        Check(cover->SaveData(), "the amendment changes the cover's memo (a new version of it)");
        const int32_t rec3 = Page(r, "rec", "ind", 3);
        auto receipts = Object<clsReceipt_Data>(r);
        Item(*receipts, r, "ind", 75, rec2_);
        Item(*receipts, r, "ind", 300, rec3);
        TotalPages(r);
        Summary(r);
    }

    // Each page's amount is the sum of its items; the highest number and amount of a section go
    // on all its pages.
    void TotalPages(int32_t r) {
        std::map<int32_t, Currency> on_page;
        auto receipts = Object<clsReceipt_Data>(r);
        for (bool more = receipts->GetDataList(r); more && !receipts->EOF(); receipts->MoveNext())
            on_page[receipts->PageAmountID()] += receipts->Amount();
        auto spent = Object<clsExpenditure_Data>(r);
        for (bool more = spent->GetDataList(r); more && !spent->EOF(); spent->MoveNext())
            on_page[spent->PageAmountID()] += spent->Amount();
        auto p = Object<clsPage_Amount>(r);
        for (const char* section : {"rec", "exp"}) {
            std::vector<int32_t> groups;
            for (bool more = p->GetDataList(r, section); more && !p->EOF(); p->MoveNext())
                groups.push_back(p->GroupID());
            Currency total;
            for (const int32_t group : groups) {
                p->GetDataLinked(group);
                p->CurrentPageAmount(on_page[group].ToString());
                ok_ = p->SaveData() && ok_;
                total += on_page[group];
            }
            ok_ = p->UpdateMaxTotals(r, static_cast<int32_t>(groups.size()), total.ToDouble(),
                                     section, "") &&
                  ok_;
        }
        Check(
            ok_,
            ("report " + std::to_string(r) + ": page totals and highest page numbers set").c_str());
    }

    // The stored summary takes its totals from the page-based row.
    void Summary(int32_t r) {
        auto s = Object<clsSummary_Data>(r);
        s->GetDataList(r, "I");
        const Currency rec = s->TotalRec(), exp = s->TotalExp();
        if (!s->GetDataDetail(r, "F")) {
            s->GetData();
            s->ReportID(r);
            s->SummaryCode("F");
            s->BeginBalance(Money(500));
        }
        s->TotalRec(rec);
        s->TotalExp(exp);
        s->EndBalance(s->BeginBalance() + rec - exp);
        Check(s->SaveData(),
              ("report " + std::to_string(r) + ": the summary page from the pages").c_str());
    }

    VersionFigures Figures(int32_t r) {
        VersionFigures f;
        auto cover = Object<clsCover_Data>(r);
        if (cover->GetDataDetail(r)) f.memo = cover->Memo();
        auto p = Object<clsPage_Amount>(r);
        for (const char* section : {"rec", "exp"}) {
            for (bool more = p->GetDataList(r, section); more && !p->EOF(); p->MoveNext()) {
                f.order.push_back(p->GroupID());
                PageLine& line = f.pages[p->GroupID()];
                line.label = std::string(section[0] == 'r' ? "receipts" : "expenditures") +
                             " page " + p->ActualPageNumber() + " (" + p->ReportSectionTypeCode() +
                             ")";
                line.amount = p->CurrentPageAmount();
                line.highest = p->MaxPageNumber() + " / " + p->MaxPageAmount();
            }
        }
        for (auto& [group, line] : f.pages) {
            const bool receipts = line.label[0] == 'r';
            line.items = p->GetPageItemCount(receipts ? "receipts" : "expenditures", group);
        }
        auto s = Object<clsSummary_Data>(r);
        if (s->GetDataDetail(r, "F")) {
            f.total_rec = s->TotalRec();
            f.total_exp = s->TotalExp();
            f.end_balance = s->EndBalance();
        }
        if (s->GetDataList(r, "I"))
            f.page_based = s->TotalRec().ToString() + " / " + s->TotalExp().ToString();
        return f;
    }

    static void Show(int32_t r1, const VersionFigures& filed, int32_t r2,
                     const VersionFigures& amended) {
        const auto row = [](const std::string& what, const std::string& a, const std::string& b) {
            std::printf("    %-36s %-30s %-30s\n", what.c_str(), a.c_str(), b.c_str());
        };
        std::printf("  The filed and the amended version side by side:\n");
        row("", "filed (report " + std::to_string(r1) + ")",
            "amended (report " + std::to_string(r2) + ")");
        row("cover memo", filed.memo, amended.memo);
        const auto page = [](const VersionFigures& f, int32_t group) {
            auto it = f.pages.find(group);
            if (it == f.pages.end()) return std::string("-");
            const int32_t n = it->second.items;
            return std::to_string(n) + (n == 1 ? " item, " : " items, ") + it->second.amount;
        };
        for (const int32_t group : amended.order)
            row(amended.pages.at(group).label, page(filed, group), page(amended, group));
        const auto highest = [](const VersionFigures& f, const std::string& prefix) {
            for (const auto& [group, line] : f.pages)
                if (line.label.rfind(prefix, 0) == 0) return line.highest;
            return std::string("-");
        };
        row("receipts: highest page / amount", highest(filed, "receipts"),
            highest(amended, "receipts"));
        row("expenditures: highest page / amount", highest(filed, "expenditures"),
            highest(amended, "expenditures"));
        row("summary: total receipts", filed.total_rec.ToString(), amended.total_rec.ToString());
        row("summary: total expenditures", filed.total_exp.ToString(),
            amended.total_exp.ToString());
        row("summary: end balance", filed.end_balance.ToString(), amended.end_balance.ToString());
        row("from the pages (type I): rec / exp", filed.page_based, amended.page_based);
    }

    int32_t rec1_ = 0, rec2_ = 0, exp1_ = 0;
};

}  // namespace

bool RunReportPagesDemo(const std::string& db_path) {
    return RunChapter<ReportPagesDemo>(db_path);
}

}  // namespace mz::app
