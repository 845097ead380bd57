#include "print/report_print.h"

#include <cctype>
#include <map>
#include <set>
#include <span>
#include <vector>

#include "core/list_query.h"
#include "history/report_sections.h"
#include "history/version_diff.h"
#include "platform/text.h"
#include "print/pdf_writer.h"
#include "print/print_format.h"
#include "print/print_schedules.h"

namespace mz {
namespace {

using K = PrintKind;

// The row's entity, beside the view's columns, under names no view uses.
constexpr std::string_view kNameColumns =
    "na.is_org as na_is_org, na.org_name as na_org_name, na.last_name as na_last_name, "
    "na.first_name as na_first_name, na.middle_name as na_middle_name, na.suffix as na_suffix, "
    "na.address1 as na_address1, na.address2 as na_address2, na.city as na_city, "
    "na.state as na_state, na.zip as na_zip, na.occupation as na_occupation, "
    "na.employer as na_employer ";
constexpr std::string_view kCoverEntity =
    "left outer join rpt_name_address na on na.unique_id = f.entity_id ";

// The rows of table a version shows, as its lists read them: the view seen through the version,
// the version filter (audit rows in place of filed ones in an audit), no deletion markers; with
// the columns and joins given beside the view's.
std::string VersionRows(std::string_view table, int32_t report, bool audit,
                        std::string_view columns = "f.* ", std::string_view joins = "",
                        std::string_view condition = "", std::string_view order = "") {
    const std::string view = listq::RefView(table);
    std::string sql = "select ";
    sql += columns;
    sql += "from " + view + " f ";
    sql += joins;
    sql += listq::ReportCondition(report);
    sql += condition;
    sql += listq::VersionFilter(view, audit);
    sql += order;
    return sql;
}

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string text;
    for (const std::string& p : parts) {
        if (p.empty()) continue;
        if (!text.empty()) text += separator;
        text += p;
    }
    return text;
}

std::vector<std::string_view> Split(std::string_view list) {
    std::vector<std::string_view> parts;
    while (!list.empty()) {
        const size_t bar = list.find('|');
        parts.push_back(list.substr(0, bar));
        list = bar == std::string_view::npos ? "" : list.substr(bar + 1);
    }
    return parts;
}

std::string ValueText(const Variant& v, PrintKind kind) {
    if (v.IsNull() || v.IsEmpty()) return "";
    switch (kind) {
        case K::kDate:
            return PrintedDate(v);
        case K::kMoney:
            return v.IsNumeric() ? v.ToCurrency().Grouped() : v.ToText();
        case K::kYesNo:
            return !v.IsNumeric() ? v.ToText() : v.ToDouble() != 0 ? "Yes" : "No";
        default:
            return v.ToText();
    }
}

// What a field prints, by the columns of one result set, found once.
class FieldReader {
  public:
    FieldReader(const ResultSet& rs, std::string_view columns, PrintKind kind) : kind_(kind) {
        if (kind == K::kNameAddress) columns = kNameFields;
        for (const std::string_view c : Split(columns)) at_.push_back(rs.FieldIndex(c));
    }

    std::string Text(const ResultSet& rs) const {
        if (kind_ == K::kNameAddress) return NameAddress(rs);
        std::vector<std::string> lines;
        for (const int i : at_)
            if (i >= 0) lines.push_back(ValueText(rs.Value(i), kind_));
        return Joined(lines, "\n");
    }

  private:
    static constexpr std::string_view kNameFields =
        "na_is_org|na_org_name|na_last_name|na_first_name|na_middle_name|na_suffix|na_address1|"
        "na_address2|na_city|na_state|na_zip|na_occupation|na_employer";
    enum {
        kIsOrg,
        kOrg,
        kLast,
        kFirst,
        kMiddle,
        kSuffix,
        kAddress1,
        kAddress2,
        kCity,
        kState,
        kZip,
        kOccupation,
        kEmployer
    };

    std::string Part(const ResultSet& rs, int part) const {
        return at_[part] < 0 ? "" : rs.Value(at_[part]).ToText();
    }

    // "Lind, Mae" or "Teachers Association", then the address and, for a person, what they do.
    std::string NameAddress(const ResultSet& rs) const {
        const Variant& is_org = at_[kIsOrg] < 0 ? Variant::Null() : rs.Value(at_[kIsOrg]);
        if (is_org.IsNull()) return "";  // no entity
        const bool org = is_org.IsNumeric() && is_org.ToDouble() != 0;
        std::vector<std::string> lines;
        if (org) {
            lines.push_back(Part(rs, kOrg));
        } else {
            const std::string given = Joined({Part(rs, kFirst), Part(rs, kMiddle)}, " ");
            lines.push_back(
                Joined({Joined({Part(rs, kLast), given}, ", "), Part(rs, kSuffix)}, " "));
        }
        lines.push_back(Part(rs, kAddress1));
        lines.push_back(Part(rs, kAddress2));
        lines.push_back(
            Joined({Joined({Part(rs, kCity), Part(rs, kState)}, ", "), Part(rs, kZip)}, " "));
        if (!org) lines.push_back(Joined({Part(rs, kOccupation), Part(rs, kEmployer)}, ", "));
        return Joined(lines, "\n");
    }

    PrintKind kind_;
    std::vector<int> at_;
};

// One row of a schedule as a version shows it.
struct Item {
    int32_t group_id = 0;
    int32_t page_group = 0;  // page_amount_id; 0 for none
    Currency amount;         // the schedule's total column
    PrintRow row;
};

// What changed between the previous version and this one, per table (by lower-case name).
struct TableChanges {
    std::set<int32_t> added;
    std::map<int32_t, std::vector<ColumnChange>> changed;  // by group_id
    std::vector<int32_t> deleted;                          // unique_ids of the previous version's
    std::set<int32_t> deleted_groups;
};

struct Note {
    std::string text;
    bool printed = false;
};

struct PageRow {
    int32_t group_id = 0;
    std::string section, type;  // lower-case section code; the type as stored
    int32_t number = 0, highest = 0;
    Currency total;
};

class Reader {
  public:
    Reader(DbConnect& db, PrintedReport& out, PrintSummary& summary)
        : db_(db), out_(out), summary_(summary) {}

    std::string Read(int32_t report_id, const PrintOptions& options) {
        if (std::string e = ReadReportVersion(db_, report_id, version_); !e.empty()) return e;
        if (std::string e = ReadVersionInfo(); !e.empty()) return e;
        if (std::string e = ReadReportSections(db_, sections_); !e.empty()) return e;
        if (previous_ > 0) {
            if (std::string e = DiffReportVersions(db_, previous_, version_.report_id, diff_);
                !e.empty())
                return e;
            for (const SectionDiff& s : diff_.sections) {
                TableChanges& c = changes_[Lower(s.section.table)];
                for (const DiffRow& r : s.added) c.added.insert(r.group_id);
                for (const ChangedRow& r : s.changed) c.changed[r.group_id] = r.changes;
                for (const DiffRow& r : s.deleted) {
                    c.deleted.push_back(r.unique_id);
                    c.deleted_groups.insert(r.group_id);
                }
            }
        }
        if (std::string e = ReadPages(); !e.empty()) return e;
        if (std::string e = ReadNotes(); !e.empty()) return e;
        if (std::string e = Cover(); !e.empty()) return e;
        out_.printed = "Printed " + options.printed_on.value_or(Date::Today()).ToMdy();
        if (std::string e = Summary(); !e.empty()) return e;
        for (const PrintSchedule& s : PrintSchedules())
            if (std::string e = Schedule(s); !e.empty()) return e;
        LeftoverNotes();
        if (std::string e = Deleted(); !e.empty()) return e;
        summary_.pages = static_cast<int>(out_.pages.size());
        return "";
    }

  private:
    std::string Open(const std::string& sql, ResultSet& rs) { return db_.OpenRecordset(sql, rs); }

    // The version's place in its group: the version it is based on, and how many filed versions
    // came before it (an amendment's number).
    std::string ReadVersionInfo() {
        ResultSet rs;
        if (std::string e = Open("select r.based_on_report_id, (select count(*) from rpt_report g "
                                 "where g.report_group_id = r.report_group_id and g.is_audit = 0 "
                                 "and g.version_order < r.version_order) as filed_before "
                                 "from rpt_report r where r.report_id = " +
                                     std::to_string(version_.report_id),
                                 rs);
            !e.empty())
            return e;
        previous_ = rs.Value(0).IsNull() ? 0 : rs.Value(0).ToInt32();
        filed_before_ = rs.Value(1).ToInt32();
        if (previous_ <= 0) return "";
        ReportVersion before;
        if (std::string e = ReadReportVersion(db_, previous_, before); !e.empty()) return e;
        previous_audit_ = before.is_audit;
        return "";
    }

    std::string ReadPages() {
        ResultSet rs;
        if (std::string e = Open(VersionRows("rpt_page_amount", version_.report_id,
                                             version_.is_audit, "f.* ", "", "",
                                             "order by f.report_section_code, "
                                             "isnull(f.report_section_type_code, ''), "
                                             "isnull(f.actual_page_number, 0), f.unique_id"),
                                 rs);
            !e.empty())
            return e;
        for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
            PageRow p;
            p.group_id = rs.Value("group_id").ToInt32();
            p.section = Lower(rs.Value("report_section_code").ToText());
            p.type = rs.Value("report_section_type_code").ToText();
            const Variant& number = rs.Value("actual_page_number");
            p.number = number.IsNull() ? 0 : number.ToInt32();
            const Variant& highest = rs.Value("max_page_number");
            p.highest = highest.IsNull() ? 0 : highest.ToInt32();
            const Variant& total = rs.Value("current_page_amount");
            p.total = total.IsNull() ? Currency() : total.ToCurrency();
            pages_.push_back(std::move(p));
        }
        return "";
    }

    std::string ReadNotes() {
        ResultSet rs;
        if (std::string e =
                Open(VersionRows("rpt_notes", version_.report_id, version_.is_audit, "f.* ", "", "",
                                 "order by f.link_id, isnull(f.sequence, 0), "
                                 "f.unique_id"),
                     rs);
            !e.empty())
            return e;
        const int type = rs.FieldIndex("note_type_desc");
        for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
            const std::string kind = type < 0 ? "" : rs.Value(type).ToText();
            const Variant& link = rs.Value("link_id");
            notes_[{Lower(rs.Value("report_section_code").ToText()),
                    link.IsNull() ? 0 : link.ToInt32()}]
                .push_back(
                    {(kind.empty() ? "Note" : kind) + ": " + rs.Value("Description").ToText()});
        }
        return "";
    }

    bool Based() const { return previous_ > 0; }

    // The notes of a row, marking them printed.
    std::string NotesOf(const std::string& section, int32_t group_id) {
        const auto it = notes_.find({Lower(section), group_id});
        if (it == notes_.end()) return "";
        std::vector<std::string> lines;
        for (Note& n : it->second) {
            n.printed = true;
            lines.push_back(n.text);
        }
        return Joined(lines, "\n");
    }

    // "new", "changed" or "" for a row of table, and what changed in words.
    std::string Mark(std::string_view table, int32_t group_id, std::span<const PrintField> fields,
                     std::string& what) const {
        const auto t = changes_.find(Lower(table));
        if (t == changes_.end()) return "";
        if (t->second.added.count(group_id)) return "new";
        const auto c = t->second.changed.find(group_id);
        if (c == t->second.changed.end()) return "";
        std::vector<std::string> parts;
        for (const ColumnChange& change : c->second) {
            if (EqualsNoCase(change.column, "page_amount_id")) {
                parts.push_back("moved from another page");
                continue;
            }
            std::string label = change.column;
            PrintKind kind = change.old_value.Type() == VarType::Currency ? K::kMoney
                             : change.old_value.Type() == VarType::Date   ? K::kDate
                                                                          : K::kText;
            for (const PrintField& f : fields) {
                for (const std::string_view col : Split(f.columns)) {
                    if (EqualsNoCase(col, change.column)) {
                        label = std::string(f.label);
                        kind = f.kind;
                    }
                }
            }
            const std::string old_text = ValueText(change.old_value, kind);
            parts.push_back(label + " was " + (old_text.empty() ? "blank" : old_text));
        }
        what = "Changed from the previous version: " + Joined(parts, "; ") + ".";
        return "changed";
    }

    // Columns of a table with the mark column first in a version based on another.
    std::vector<PrintColumn> Columns(std::span<const PrintField> fields, bool marks) const {
        std::vector<PrintColumn> columns;
        if (marks) columns.push_back({"Change", 0.55, false});
        for (const PrintField& f : fields)
            columns.push_back(
                {std::string(f.label), f.width, f.kind == K::kMoney || f.kind == K::kNumber});
        return columns;
    }

    PrintPage NewPage(std::string title, std::string subtitle = "") {
        PrintPage page;
        page.title = std::move(title);
        page.subtitle = std::move(subtitle);
        return page;
    }

    std::string Cover() {
        const std::string view = listq::RefView("rpt_cover", "_ref_current");
        ResultSet rs;
        std::string sql = "select f.*, " + std::string(kNameColumns) + "from " + view + " f " +
                          std::string(kCoverEntity) + listq::ReportCondition(version_.report_id) +
                          listq::VersionFilter(view, version_.is_audit);
        if (std::string e = Open(sql, rs); !e.empty()) return e;
        PrintPage page = NewPage("Cover page");
        page.columns = {{"Item", 1.3, false}, {"Entry", 3, false}};
        if (Based()) page.columns.insert(page.columns.begin(), {"Change", 0.55, false});
        page.page_label = "Cover page";
        std::string name, committee;
        if (!rs.EOF()) {
            std::set<std::string> changed;  // lower-case columns
            const int32_t group = rs.Value("group_id").ToInt32();
            if (const auto t = changes_.find("rpt_cover"); t != changes_.end()) {
                if (t->second.added.count(group))
                    page.foot.push_back("The cover is new in this version.");
                if (const auto c = t->second.changed.find(group); c != t->second.changed.end())
                    for (const ColumnChange& change : c->second)
                        changed.insert(Lower(change.column));
            }
            for (const PrintLine& line : CoverLines()) {
                const std::string text = FieldReader(rs, line.columns, line.kind).Text(rs);
                if (text.empty()) continue;
                PrintRow row;
                for (const std::string_view col : Split(line.columns))
                    row.marked = row.marked || changed.count(Lower(col));
                if (Based()) row.cells.push_back(row.marked ? "changed" : "");
                row.cells.push_back(std::string(line.label));
                row.cells.push_back(text);
                page.rows.push_back(std::move(row));
            }
            PrintRow sign;
            if (Based()) sign.cells.push_back("");
            sign.cells.push_back("Signature of the treasurer");
            sign.cells.push_back(
                "\n\n_______________________________________     Date ___________");
            page.rows.push_back(std::move(sign));
            name = rs.Value("report_name").ToText();
            committee = rs.Value("fund_name").ToText();
            if (committee.empty()) committee = FieldReader(rs, "na_org_name", K::kText).Text(rs);
        }
        page.empty_text = "This version has no cover.";
        out_.committee = committee.empty() ? "(no committee named on the cover)" : committee;
        const std::string report =
            "report " + (name.empty() ? std::to_string(version_.report_group_id) : name);
        out_.version = (version_.is_audit ? "Audit view of " + report
                        : version_.version_order == 1
                            ? "Original " + report
                            : "Amendment " + std::to_string(filed_before_) + " of " + report) +
                       " (report id " + std::to_string(version_.report_id) + ")";
        out_.pages.push_back(std::move(page));
        return "";
    }

    std::string Summary() {
        ResultSet rs;
        if (std::string e =
                Open(VersionRows("rpt_summary", version_.report_id, version_.is_audit, "f.* ", "",
                                 "", "order by isnull(f.Summary_type_code, ''), f.unique_id"),
                     rs);
            !e.empty())
            return e;
        PrintPage page = NewPage("Summary page");
        page.page_label = "Summary page";
        page.empty_text = "This version has no summary.";
        struct Shown {
            std::vector<std::string> values;
            std::set<std::string> changed;  // lower-case columns
            bool added = false;
        };
        std::vector<Shown> shown;
        std::vector<std::string> codes;
        const auto lines = SummaryLines();
        for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
            Shown s;
            // Every line of the form carries an amount: a blank one is 0.00.
            for (const PrintLine& line : lines) {
                std::string text = FieldReader(rs, line.columns, line.kind).Text(rs);
                if (text.empty() && line.kind == K::kMoney) text = Currency().Grouped();
                s.values.push_back(std::move(text));
            }
            const int32_t group = rs.Value("group_id").ToInt32();
            if (const auto t = changes_.find("rpt_summary"); t != changes_.end()) {
                s.added = t->second.added.count(group) > 0;
                if (const auto c = t->second.changed.find(group); c != t->second.changed.end())
                    for (const ColumnChange& change : c->second)
                        s.changed.insert(Lower(change.column));
            }
            codes.push_back(rs.Value("Summary_type_code").ToText());
            shown.push_back(std::move(s));
        }
        if (Based()) page.columns.push_back({"Change", 0.55, false});
        page.columns.push_back({"Line", 0.4, true});
        page.columns.push_back({"Description", 3, false});
        for (const std::string& code : codes)
            page.columns.push_back(
                {shown.size() == 1 ? "Amount" : "Amount (" + code + ")", 1.1, true});
        if (!shown.empty()) {
            for (size_t i = 0; i < lines.size(); ++i) {
                PrintRow row;
                std::string mark;
                for (const Shown& s : shown) {
                    if (s.added) mark = "new";
                    if (mark.empty() && s.changed.count(Lower(lines[i].columns))) mark = "changed";
                }
                if (Based()) row.cells.push_back(mark);
                row.marked = !mark.empty();
                row.cells.push_back(std::to_string(i + 1));
                row.cells.push_back(std::string(lines[i].label));
                for (const Shown& s : shown) row.cells.push_back(s.values[i]);
                page.rows.push_back(std::move(row));
            }
        }
        out_.pages.push_back(std::move(page));
        return "";
    }

    std::string ReadItems(const PrintSchedule& s, int32_t report, bool audit,
                          const std::string& condition, const std::string& section,
                          std::vector<Item>& items) {
        // The columns it prints, not every column of the view: a list of thousands of rows
        // reads a fifth of the values.
        std::set<std::string> wanted = {"group_id", "page_amount_id", "sequence", "unique_id"};
        if (!s.total.empty()) wanted.insert(Lower(s.total));
        for (const PrintField& f : s.columns)
            for (const std::string_view c : Split(f.columns)) wanted.insert(Lower(c));
        std::string columns;
        for (const std::string& c : wanted) columns += (columns.empty() ? "f." : ", f.") + c;
        std::string joins(s.name_join);
        if (!s.name_join.empty()) columns += ", " + std::string(kNameColumns);
        if (!s.parent.empty()) {
            columns += ", lp.group_id as mz_parent_group ";
            joins += "left outer join " + std::string(s.parent) + " lp on lp.unique_id = f." +
                     std::string(s.link) + " ";
        }
        columns += " ";
        ResultSet rs;
        if (std::string e = Open(VersionRows(s.table, report, audit, columns, joins, condition,
                                             "order by isnull(f.sequence, 0), f.unique_id"),
                                 rs);
            !e.empty())
            return e;
        std::vector<FieldReader> fields;
        for (const PrintField& f : s.columns) fields.emplace_back(rs, f.columns, f.kind);
        const int group_at = rs.FieldIndex("group_id"), page_at = rs.FieldIndex("page_amount_id");
        const int total_at = s.total.empty() ? -1 : rs.FieldIndex(s.total);
        const int parent_at = s.parent.empty() ? -1 : rs.FieldIndex("mz_parent_group");
        const bool current = report == version_.report_id;
        const bool marks = Based() && current;
        std::set<int32_t>& shown = shown_[Lower(s.table)];
        const std::set<int32_t>* parents = nullptr;
        if (const auto p = shown_.find(Lower(s.parent)); p != shown_.end()) parents = &p->second;
        for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
            const bool orphan = current && parent_at >= 0 && parents &&
                                !rs.Value(parent_at).IsNull() &&
                                !parents->count(rs.Value(parent_at).ToInt32());
            Item item;
            item.group_id = rs.Value(group_at).ToInt32();
            const Variant& page = page_at < 0 ? Variant::Null() : rs.Value(page_at);
            item.page_group = page.IsNull() ? 0 : page.ToInt32();
            if (total_at >= 0 && !rs.Value(total_at).IsNull())
                item.amount = rs.Value(total_at).ToCurrency();
            std::string what;
            if (marks) {
                const std::string mark = Mark(s.table, item.group_id, s.columns, what);
                item.row.cells.push_back(mark);
                item.row.marked = !mark.empty();
            }
            for (const FieldReader& f : fields) item.row.cells.push_back(f.Text(rs));
            if (orphan) {
                // No item list shows it. When this version deleted its row, it went with it.
                const auto parent = changes_.find(Lower(s.parent));
                if (parent == changes_.end() ||
                    !parent->second.deleted_groups.count(rs.Value(parent_at).ToInt32()))
                    continue;
                if (marks) item.row.cells.erase(item.row.cells.begin());
                item.row.marked = false;
                item.row.note = "Deleted with the row it belongs to.";
                orphans_[Lower(s.table)].push_back(std::move(item.row));
                continue;
            }
            if (current) {
                shown.insert(item.group_id);
                item.row.note = Joined({NotesOf(section, item.group_id), what}, "\n");
            }
            items.push_back(std::move(item));
        }
        return "";
    }

    std::map<std::string, std::string> TypeNames(const PrintSchedule& s) {
        std::map<std::string, std::string> names;
        if (s.type_table.empty()) return names;
        ResultSet rs;
        if (!Open("select code, description from " + std::string(s.type_table), rs).empty())
            return names;  // the codes print as they stand
        for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext())
            names[Lower(rs.Value(0).ToText())] = rs.Value(1).ToText();
        return names;
    }

    std::string SectionCode(std::string_view table) const {
        for (const ReportSection& s : sections_)
            if (EqualsNoCase(s.table, table)) return s.section_code;
        return "";
    }

    std::string Schedule(const PrintSchedule& s) {
        const std::string section = SectionCode(s.table);
        std::vector<Item> items;
        if (std::string e = ReadItems(s, version_.report_id, version_.is_audit, "", section, items);
            !e.empty())
            return e;
        std::vector<const PageRow*> pages;
        std::map<int32_t, size_t> page_of;  // page group -> index in pages
        int32_t highest = 0;
        for (const PageRow& p : pages_) {
            if (p.section != Lower(section)) continue;
            page_of[p.group_id] = pages.size();
            pages.push_back(&p);
            highest = std::max(highest, p.number);
        }
        if (items.empty() && pages.empty()) return "";

        // Each item on the page it names; those naming no page of the version after the pages.
        std::vector<PrintPage> printed(pages.size() + 1);
        std::vector<std::vector<Currency>> amounts(pages.size() + 1);
        for (Item& item : items) {
            const auto at = page_of.find(item.page_group);
            const size_t i = at == page_of.end() ? pages.size() : at->second;
            printed[i].rows.push_back(std::move(item.row));
            amounts[i].push_back(item.amount);
        }
        const std::map<std::string, std::string> types = TypeNames(s);
        const auto page_changes = changes_.find("rpt_page_amount");
        for (size_t i = 0; i <= pages.size(); ++i) {
            PrintPage& page = printed[i];
            const size_t count = page.rows.size();
            if (i == pages.size() && count == 0) break;
            summary_.items += static_cast<int>(count);
            page.title = std::string(s.title);
            page.columns = Columns(s.columns, Based());
            const std::string counted = "Items: " + std::to_string(count);
            if (i == pages.size()) {
                // A schedule without page totals is a plain list.
                const PageTotalCheck sum = CheckPageTotal(Currency(), amounts[i]);
                page.subtitle = s.total.empty() ? "" : "Items not on a numbered page";
                page.foot.push_back(
                    counted +
                    (s.total.empty() ? "" : "    Sum of the items: " + sum.items_sum.Grouped()));
                page.page_label = s.total.empty() ? std::string(s.title) : "Not on a numbered page";
                out_.pages.push_back(std::move(page));
                break;
            }
            const PageRow& p = *pages[i];
            const auto type = types.find(Lower(p.type));
            page.subtitle = p.type.empty()        ? ""
                            : type == types.end() ? p.type
                                                  : type->second + " (" + p.type + ")";
            page.empty_text = "No items name this page.";
            if (s.total.empty()) {
                page.foot.push_back(counted);
            } else {
                page.foot.push_back("Page total: " + p.total.Grouped() + "    " + counted);
                const PageTotalCheck check = CheckPageTotal(p.total, amounts[i]);
                if (!check.matches) {
                    page.warning = "The page total " + p.total.Grouped() +
                                   " does not equal the sum of the items printed on this page, " +
                                   check.items_sum.Grouped() + ".";
                    ++summary_.mismatched_pages;
                }
            }
            if (page_changes != changes_.end()) {
                if (page_changes->second.added.count(p.group_id))
                    page.foot.push_back("This page is new in this version.");
                else if (page_changes->second.changed.count(p.group_id))
                    page.foot.push_back("This page's figures changed from the previous version.");
            }
            page.page_label = "Page " + std::to_string(p.number) + " of " +
                              std::to_string(p.highest > 0 ? p.highest : highest);
            out_.pages.push_back(std::move(page));
        }
        return "";
    }

    void LeftoverNotes() {
        PrintPage page = NewPage("Notes on rows not printed above");
        page.columns = {{"Section", 0.8, false}, {"Row", 0.6, true}, {"Note", 4, false}};
        for (const auto& [key, notes] : notes_) {
            for (const Note& n : notes) {
                if (n.printed) continue;
                PrintRow row;
                std::string section = key.first;
                for (char& c : section) c = static_cast<char>(std::toupper(c));
                row.cells = {section.empty() ? "-" : section, std::to_string(key.second), n.text};
                page.rows.push_back(std::move(row));
            }
        }
        page.page_label = "Notes";
        if (!page.rows.empty()) out_.pages.push_back(std::move(page));
    }

    // The closing pages of a version based on another: every row it deleted, as that version
    // printed it.
    std::string Deleted() {
        if (!Based()) return "";
        const std::string heading =
            version_.is_audit ? "Deleted by this audit" : "Deleted by this amendment";
        std::set<std::string> schedule_tables;
        for (const PrintSchedule& s : PrintSchedules()) {
            schedule_tables.insert(Lower(s.table));
            std::vector<Item> items;
            const auto t = changes_.find(Lower(s.table));
            if (t != changes_.end() && !t->second.deleted.empty()) {
                std::string ids;
                for (const int32_t id : t->second.deleted)
                    ids += (ids.empty() ? "" : ", ") + std::to_string(id);
                if (std::string e = ReadItems(s, previous_, previous_audit_,
                                              "and f.unique_id in (" + ids + ") ", "", items);
                    !e.empty())
                    return e;
            }
            std::vector<PrintRow>& orphans = orphans_[Lower(s.table)];
            if (items.empty() && orphans.empty()) continue;
            PrintPage page = NewPage(heading, std::string(s.title));
            page.columns = Columns(s.columns, false);
            for (Item& item : items) page.rows.push_back(std::move(item.row));
            for (PrintRow& row : orphans) page.rows.push_back(std::move(row));
            page.foot.push_back("Rows deleted: " + std::to_string(page.rows.size()));
            page.page_label = "Deletions";
            out_.pages.push_back(std::move(page));
        }
        // Pages, notes, the cover and the summary: what identifies the row.
        PrintPage other = NewPage(heading, "Pages, notes and other rows");
        other.columns = {{"Section", 1, false}, {"Row", 4, false}};
        for (const SectionDiff& s : diff_.sections) {
            if (schedule_tables.count(Lower(s.section.table))) continue;
            for (const DiffRow& r : s.deleted) {
                const auto value = [&](std::string_view column) {
                    for (size_t i = 0; i < s.columns.size(); ++i)
                        if (EqualsNoCase(s.columns[i], column)) return r.values[i].ToText();
                    return std::string();
                };
                std::string part = s.section.table, what = "Row " + std::to_string(r.group_id);
                if (EqualsNoCase(s.section.table, "rpt_page_amount")) {
                    part = "Page";
                    what = "Page " + value("actual_page_number") + " of section " +
                           value("report_section_code") + ", type " +
                           value("report_section_type_code");
                } else if (EqualsNoCase(s.section.table, "rpt_notes")) {
                    part = "Note";
                    what = value("Description");
                } else if (EqualsNoCase(s.section.table, "rpt_cover")) {
                    part = "Cover";
                } else if (EqualsNoCase(s.section.table, "rpt_summary")) {
                    part = "Summary";
                }
                other.rows.push_back({{part, what}, "", false});
            }
        }
        other.page_label = "Deletions";
        if (!other.rows.empty()) out_.pages.push_back(std::move(other));
        return "";
    }

    DbConnect& db_;
    PrintedReport& out_;
    PrintSummary& summary_;
    ReportVersion version_;
    int32_t previous_ = 0, filed_before_ = 0;
    bool previous_audit_ = false;
    std::vector<ReportSection> sections_;
    VersionDiff diff_;
    std::map<std::string, TableChanges> changes_;
    std::vector<PageRow> pages_;
    std::map<std::pair<std::string, int32_t>, std::vector<Note>> notes_;
    std::map<std::string, std::set<int32_t>> shown_;        // groups printed, by lower-case table
    std::map<std::string, std::vector<PrintRow>> orphans_;  // items of rows not shown, by table
};

}  // namespace

std::string ReadPrintedReport(DbConnect& db, int32_t report_id, const PrintOptions& options,
                              PrintedReport& report, PrintSummary* summary) {
    PrintSummary counted;
    report = PrintedReport();
    std::string error = Reader(db, report, counted).Read(report_id, options);
    if (summary) *summary = counted;
    return error;
}

std::string PrintReport(DbConnect& db, int32_t report_id, const std::string& path,
                        const PrintOptions& options, PrintSummary* summary) {
    PrintedReport report;
    PrintSummary counted;
    if (std::string e = ReadPrintedReport(db, report_id, options, report, &counted); !e.empty())
        return e;
    PdfStats stats;
    if (std::string e = WritePdf(report, path, &stats); !e.empty()) return e;
    counted.sheets = stats.sheets;
    counted.unknown_glyphs = stats.unknown_glyphs;
    if (summary) *summary = counted;
    return "";
}

}  // namespace mz
