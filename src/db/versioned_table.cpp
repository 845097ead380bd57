#include "db/versioned_table.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "db/sql_dialect.h"
#include "platform/text.h"

namespace mz {

namespace {

// The columns every versioned table starts with:
//   group_id         the row's chain through the versions; Null on insert starts a new one,
//                    numbered in mz_row_group across all tables
//   report_group_id  the report's group, set by the insert trigger
//   delete_date      set on "D" markers
//   ref_id           the row a "C" copy replaces or a "D" marker deletes
//   version_from     the version_order of the report the row was written in
//   version_to       the version_order of the version whose row of the same chain (a "C" copy
//                    or a "D" marker) superseded it; Null while nothing later replaces it
//   is_audit_row     1 for rows written in an audit version. Filed rows supersede filed rows and
//                    audit rows supersede audit rows, so an audit never hides the filed report.
const VersionedColumn kShared[] = {
    {"unique_id", "integer PRIMARY KEY AUTOINCREMENT"},
    {"report_id", "integer NOT NULL REFERENCES rpt_report (report_id)"},
    {"group_id", "integer"},
    {"report_group_id", "integer"},
    {"sequence", "int"},
    {"page_amount_id", "int"},
    {"delete_date", "datetime"},
    {"orig_date", "datetime NOT NULL DEFAULT (datetime('now', 'localtime'))"},
    {"orig_user_id", "varchar(50)"},
    {"user_id", "varchar(50)"},
    {"update_date", "datetime"},
    {"ref_id", "integer"},
    {"version_from", "integer"},
    {"version_to", "integer"},
    {"is_audit_row", "bit NOT NULL DEFAULT 0"},
};
// The shared columns a "C" copy and a "D" marker carry over like the table's own.
constexpr std::string_view kCarried[] = {"sequence", "page_amount_id"};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// Splits on commas outside parentheses; empty items dropped.
std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> items;
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ',';
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c != ',' || depth != 0) continue;
        std::string_view item = Trim(text.substr(start, i - start));
        if (!item.empty()) items.emplace_back(item);
        start = i + 1;
    }
    return items;
}

// Replaces every "$T" with the table name.
std::string Fill(std::string_view text, const VersionedTable& t) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '$' && i + 1 < text.size() && text[i + 1] == 'T') {
            out += t.name;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool IsText(std::string_view type) {
    const std::string t = Lower(type);
    return t.starts_with("varchar") || t.starts_with("char") || t.starts_with("nvarchar") ||
           t.starts_with("text");
}

const VersionedColumn* FindColumn(const std::vector<VersionedColumn>& columns,
                                  std::string_view name) {
    for (const VersionedColumn& c : columns)
        if (EqualsNoCase(c.name, name)) return &c;
    return nullptr;
}

// The columns "C" and "D" rows carry over: the carried shared ones and every own column.
std::vector<std::string> CopiedColumns(const VersionedTable& t) {
    std::vector<std::string> names(std::begin(kCarried), std::end(kCarried));
    for (const VersionedColumn& c : t.columns) names.push_back(c.name);
    return names;
}

// The declared type without constraints ("integer NOT NULL ..." -> "integer").
std::string BareType(std::string_view type) {
    std::string_view t = Trim(type);
    int depth = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '(') ++depth;
        if (t[i] == ')') --depth;
        if (depth == 0 && std::isspace(static_cast<unsigned char>(t[i])))
            return std::string(t.substr(0, i));
    }
    return std::string(t);
}

// The text without its "--" comments (outside quoted texts); line breaks stay.
std::string WithoutComments(std::string_view text) {
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\'') quoted = !quoted;
        if (!quoted && text[i] == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            while (i < text.size() && text[i] != '\n') ++i;
            if (i == text.size()) break;
        }
        out += text[i];
    }
    return out;
}

}  // namespace

std::vector<VersionedColumn> VersionedTable::AllColumns() const {
    std::vector<VersionedColumn> all(std::begin(kShared), std::end(kShared));
    all.insert(all.end(), columns.begin(), columns.end());
    return all;
}

VersionedTable ParseVersionedTable(std::string_view declaration, std::string& error) {
    VersionedTable t;
    constexpr std::string_view kHead = "CREATE VERSIONED TABLE ";
    const std::string uncommented = WithoutComments(declaration);
    std::string_view text = Trim(uncommented);
    const size_t open = text.find('(');
    if (!EqualsNoCase(text.substr(0, kHead.size()), kHead) || open == std::string_view::npos) {
        error = "a versioned table starts \"CREATE VERSIONED TABLE name (\"";
        return t;
    }
    t.name = std::string(Trim(text.substr(kHead.size(), open - kHead.size())));
    // The column list ends at the parenthesis that closes the first one.
    int depth = 0;
    size_t close = std::string_view::npos;
    for (size_t i = open; i < text.size() && close == std::string_view::npos; ++i) {
        if (text[i] == '(') ++depth;
        if (text[i] == ')' && --depth == 0) close = i;
    }
    const std::string where = "versioned table " + t.name + ": ";
    if (close == std::string_view::npos) {
        error = where + "the column list is not closed";
        return t;
    }
    for (const std::string& item : SplitList(text.substr(open + 1, close - open - 1))) {
        std::string_view def = item;
        const size_t blank = def.find_first_of(" \t\n");
        if (blank == std::string_view::npos) {
            error = where + "column \"" + std::string(def) + "\" has no type";
            return t;
        }
        t.columns.push_back(
            {std::string(def.substr(0, blank)), std::string(Trim(def.substr(blank)))});
    }
    // Clauses: a line starting with a keyword opens one, indented lines go on with it.
    // A flag clause (flag set) takes no text.
    struct Clause {
        std::string_view keyword;
        std::string* text;
        bool* flag = nullptr;
    };
    std::string section, link, insert, marker, omits, no_text;
    const Clause clauses[] = {
        {"SECTION", &section},
        {"LINK", &link},
        {"INSERT", &insert},
        {"MARKER", &marker},
        {"LIST COLUMNS", &t.list_columns},
        {"LIST OMITS", &omits},
        {"LIST JOINS", &t.list_joins},
        {"ROW COLUMNS", &t.row_columns},
        {"ROW JOINS", &t.row_joins},
        {"PAGED", &no_text, &t.paged},
    };
    std::string* current = nullptr;
    std::string_view rest = text.substr(close + 1);
    while (!rest.empty()) {
        const size_t eol = rest.find('\n');
        std::string_view line = rest.substr(0, eol);
        rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
        if (Trim(line).empty()) continue;
        if (!std::isspace(static_cast<unsigned char>(line.front()))) {
            current = nullptr;
            for (const Clause& c : clauses) {
                if (EqualsNoCase(line.substr(0, c.keyword.size()), c.keyword) &&
                    (line.size() == c.keyword.size() ||
                     std::isspace(static_cast<unsigned char>(line[c.keyword.size()])))) {
                    current = c.text;
                    line = line.substr(c.keyword.size());
                    if (!current->empty() || (c.flag && *c.flag)) {
                        error = where + "clause " + std::string(c.keyword) + " given twice";
                        return t;
                    }
                    if (c.flag) *c.flag = true;
                    break;
                }
            }
            if (!current) {
                error = where + "unknown clause \"" + std::string(Trim(line)) + "\"";
                return t;
            }
        } else if (!current) {
            error = where + "text outside a clause: \"" + std::string(Trim(line)) + "\"";
            return t;
        }
        if (!current->empty()) current->push_back(' ');
        current->append(Trim(line));
    }
    if (!no_text.empty()) {
        error = where + "clause PAGED takes no text: \"" + no_text + "\"";
        return t;
    }
    t.section_code = section;
    t.link_column = link;
    const std::vector<VersionedColumn> all = t.AllColumns();
    std::set<std::string> seen;
    for (const std::string& item : SplitList(insert)) {
        const size_t eq = item.find('=');
        VersionedParam p{std::string(Trim(std::string_view(item).substr(0, eq))), ""};
        if (!seen.insert(Lower(p.name)).second) continue;  // the same parameter again
        const std::string_view column = eq == std::string::npos
                                            ? std::string_view(p.name).substr(1)
                                            : Trim(std::string_view(item).substr(eq + 1));
        const VersionedColumn* c = FindColumn(all, column);
        if (p.name.size() < 2 || p.name.front() != '@' || !c) {
            error = where + "parameter \"" + item + "\" names no column of the table";
            return t;
        }
        p.column = c->name;
        t.params.push_back(std::move(p));
    }
    t.marker_declared = !Trim(marker).empty();
    for (const std::string& name : SplitList(marker)) {
        const VersionedColumn* c = FindColumn(all, name);
        if (!c) {
            error = where + "the marker keeps \"" + name + "\", which the table does not have";
            return t;
        }
        t.marker.push_back(c->name);
    }
    if (!t.marker_declared) t.marker = CopiedColumns(t);
    for (const std::string& name : SplitList(omits)) {
        const VersionedColumn* c = FindColumn(t.columns, name);
        if (!c) {
            error = where + "the lists omit \"" + name + "\", which is not a column of the table";
            return t;
        }
        t.list_omits.push_back(c->name);
    }
    if (!t.link_column.empty() && !FindColumn(t.columns, t.link_column)) {
        error = where + "the link column " + t.link_column + " is not a column of the table";
    }
    return t;
}

std::string CreateTableSql(const VersionedTable& t) {
    std::string sql = "CREATE TABLE " + t.name + " (";
    bool first = true;
    for (const VersionedColumn& c : t.AllColumns()) {
        sql += first ? "\n    " : ",\n    ";
        first = false;
        sql += c.name + " " + c.type;
        if (IsText(c.type)) sql += " COLLATE NOCASE";
    }
    return sql + "\n);\n";
}

ProcedureText InsertProcedure(const VersionedTable& t, const SqlDialect& dialect) {
    ProcedureText p;
    p.name = "sp_insert_" + t.name;
    const std::vector<VersionedColumn> all = t.AllColumns();
    p.parameters = "@Function varchar(1), @Report_id int, @Ref_id int";
    for (const VersionedParam& param : t.params)
        p.parameters += ", " + param.name + " " + BareType(FindColumn(all, param.column)->type);
    p.parameters += ", @Unique_id int OUTPUT, @Group_id int OUTPUT";

    // "A" and "C" write one row: a parameter's value where one fills the column, else (a "C"
    // copy) the value of the row it replaces.
    std::string columns, values;
    for (const std::string& column : CopiedColumns(t)) {
        std::string value = "o." + column;
        for (const VersionedParam& param : t.params)
            if (EqualsNoCase(param.column, column)) value = param.name;
        columns += ", " + column;
        values += ", " + value;
    }
    std::string kept, kept_values;
    for (const std::string& column : t.marker) {
        kept += ", " + column;
        kept_values += ", o." + column;
    }
    p.body = Fill(
        "SELECT 'sp_insert_$T: unknown @Function ' || coalesce(@Function, 'Null') || '.' AS "
        "\"@error\"\n"
        "WHERE upper(coalesce(@Function, '')) NOT IN ('A', 'C', 'D');\n"
        "SELECT 'sp_insert_$T: report ' || coalesce(CAST(@Report_id AS varchar(20)), 'Null') || "
        "' does not exist.' AS "
        "\"@error\"\n"
        "WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Report_id);\n"
        "SELECT 'sp_insert_$T: $T has no row with unique_id ' || "
        "coalesce(CAST(@Ref_id AS varchar(20)), 'Null') || "
        "'.' AS \"@error\"\n"
        "WHERE upper(@Function) IN ('C', 'D') AND NOT EXISTS (SELECT 1 FROM $T WHERE unique_id "
        "= @Ref_id);\n",
        t);
    p.body += "INSERT INTO " + t.name + " (report_id, group_id, ref_id" + columns + ")\n" +
              "SELECT @Report_id, o.group_id, o.unique_id" + values + "\n" +
              "FROM (SELECT 1 AS one) AS one LEFT OUTER JOIN " + t.name +
              " o ON o.unique_id = @Ref_id AND upper(@Function) = 'C'\n" +
              "WHERE upper(@Function) IN ('A', 'C');\n";
    p.body += "INSERT INTO " + t.name + " (report_id, group_id, ref_id, delete_date" + kept +
              ")\n" + "SELECT @Report_id, o.group_id, o.unique_id, datetime('now', 'localtime')" +
              kept_values + "\n" + "FROM " + t.name +
              " o WHERE o.unique_id = @Ref_id AND upper(@Function) = 'D';\n";
    p.body += Fill("SELECT unique_id AS \"@Unique_id\", group_id AS \"@Group_id\" FROM $T\n", t) +
              "WHERE unique_id = " + dialect.last_id(t.name, "unique_id") + ";\n";
    return p;
}

std::string VersionedObjectsSql(const VersionedTable& t, const SqlDialect& dialect) {
    std::string sql = Fill(
        "CREATE INDEX ix_$T_version ON $T (report_group_id, version_from);\n"
        "CREATE INDEX ix_$T_group ON $T (group_id, is_audit_row, version_from);\n",
        t);
    if (!t.link_column.empty()) {
        sql += Fill("CREATE INDEX ix_$T_link ON $T (report_group_id, ", t) + t.link_column +
               ", version_from);\n";
    }
    // The page lists join their items on page_amount_id; Count counts a page's items by it.
    if (t.paged) {
        sql += Fill(
            "CREATE INDEX ix_$T_page ON $T (page_amount_id, report_group_id, version_from);\n", t);
    }
    // NameAddress.CanDelete looks for every row naming an entity.
    for (const VersionedColumn& c : t.columns) {
        if (Lower(c.name).ends_with("entity_id"))
            sql += "CREATE INDEX ix_" + t.name + "_" + c.name + " ON " + t.name + " (" + c.name +
                   ");\n";
    }
    const std::string list_columns = t.list_columns.empty() ? "" : ", " + t.list_columns;
    const std::string list_joins = t.list_joins.empty() ? "" : " " + t.list_joins;
    const std::string row_columns = t.row_columns.empty() ? "" : ", " + t.row_columns;
    const std::string row_joins = t.row_joins.empty() ? "" : " " + t.row_joins;
    sql += Fill("CREATE VIEW vw_mz_$T AS SELECT t.*", t) + list_columns + row_columns +
           Fill(" FROM $T t", t) + list_joins + row_joins + ";\n";
    sql += Fill("CREATE VIEW vw_mz_$T_detail AS SELECT * FROM vw_mz_$T;\n", t);
    // The range join: a row is seen through version v of its group when
    // version_from <= v < version_to (open above while version_to is Null), so a list of one
    // report reads the rows of its group, never the whole table.
    // Every column, or with LIST OMITS every column but those.
    std::string list_row = "t.*";
    if (!t.list_omits.empty()) {
        list_row.clear();
        for (const VersionedColumn& c : t.AllColumns()) {
            if (std::any_of(t.list_omits.begin(), t.list_omits.end(),
                            [&](const std::string& o) { return EqualsNoCase(o, c.name); }))
                continue;
            list_row += (list_row.empty() ? "t." : ", t.") + c.name;
        }
    }
    sql += "CREATE VIEW vw_mz_" + t.name + "_ref_basic AS\nSELECT " + list_row +
           ", v.report_id AS ref_report_id, t.is_audit_row AS ref_is_audit" + list_columns +
           Fill(
               "\nFROM rpt_report v\n"
               "JOIN $T t ON t.report_group_id = v.report_group_id\n"
               "    AND t.version_from <= v.version_order\n"
               "    AND (t.version_to IS NULL OR t.version_to > v.version_order)",
               t) +
           list_joins + ";\n";
    if (t.paged) {
        sql += Fill(
            "CREATE VIEW vw_mz_$T_ref_current AS\n"
            "SELECT t.*, (SELECT count(*) FROM vw_mz_$T_ref_basic i\n"
            "    WHERE i.page_amount_id = t.page_amount_id AND i.ref_report_id = t.ref_report_id\n"
            "      AND i.ref_is_audit = t.ref_is_audit AND i.delete_date IS NULL) AS Count\n"
            "FROM vw_mz_$T_ref_basic t;\n",
            t);
    } else {
        sql += Fill("CREATE VIEW vw_mz_$T_ref_current AS SELECT * FROM vw_mz_$T_ref_basic;\n", t);
    }

    // On insert: stamp the row with its report's group, version and audit flag, start a new
    // chain when none is given, end the range of the row of the chain it supersedes, and end its
    // own range where a later version of the chain already exists.
    // Group identifiers come from one counter for every table: notes link to a row by its
    // group_id alone, so two tables must never hand out the same one.
    sql += dialect.trigger(Fill("trg_$T_version_insert", t), "AFTER INSERT", t.name,
                           Fill(R"sql(    INSERT INTO mz_row_group (table_name, first_unique_id)
    SELECT '$T', NEW.unique_id WHERE NEW.group_id IS NULL;
    UPDATE $T SET
        group_id = coalesce(NEW.group_id, )sql",
                                t) +
                               dialect.last_id("mz_row_group", "group_id") +
                               Fill(R"sql(),
        report_group_id = (SELECT report_group_id FROM rpt_report WHERE report_id = NEW.report_id),
        version_from = (SELECT version_order FROM rpt_report WHERE report_id = NEW.report_id),
        is_audit_row = (SELECT is_audit FROM rpt_report WHERE report_id = NEW.report_id)
    WHERE unique_id = NEW.unique_id;
    UPDATE $T SET version_to = (
        SELECT min(o.version_from) FROM $T o, $T n
        WHERE n.unique_id = NEW.unique_id AND o.group_id = n.group_id
          AND o.is_audit_row = n.is_audit_row AND o.version_from > n.version_from)
    WHERE unique_id = NEW.unique_id;
    UPDATE $T SET version_to = (SELECT version_from FROM $T WHERE unique_id = NEW.unique_id)
    WHERE NEW.group_id IS NOT NULL AND group_id = NEW.group_id AND unique_id <> NEW.unique_id
      AND is_audit_row = (SELECT is_audit_row FROM $T WHERE unique_id = NEW.unique_id)
      AND version_from < (SELECT version_from FROM $T WHERE unique_id = NEW.unique_id)
      AND (version_to IS NULL
           OR version_to > (SELECT version_from FROM $T WHERE unique_id = NEW.unique_id));
)sql",
                                    t));
    sql += dialect.trigger(Fill("trg_$T_version_delete", t), "AFTER DELETE", t.name,
                           Fill(R"sql(    UPDATE $T SET version_to = OLD.version_to
    WHERE group_id = OLD.group_id AND is_audit_row = OLD.is_audit_row
      AND version_to = OLD.version_from AND version_from < OLD.version_from;
)sql",
                                t));
    sql += "INSERT INTO mz_versioned_table (table_name, section_code, link_column) VALUES (" +
           SqlQuoted(t.name) + ", " +
           (t.section_code.empty() ? std::string("NULL") : SqlQuoted(t.section_code)) + ", " +
           (t.link_column.empty() ? std::string("NULL") : SqlQuoted(t.link_column)) + ");\n";
    return sql;
}

ProcedureText SequenceProcedure(const std::vector<VersionedTable>& tables) {
    std::string codes;
    std::string updates;
    for (const VersionedTable& t : tables) {
        if (t.section_code.empty()) continue;
        if (!codes.empty()) codes += ", ";
        codes += SqlQuoted(t.section_code);
        updates += Fill(
                       "UPDATE $T SET sequence = sequence + @Increment, "
                       "update_date = datetime('now', 'localtime')\n"
                       "WHERE upper(@Report_section_code) = upper(",
                       t) +
                   SqlQuoted(t.section_code) +
                   ") AND report_id = @Report_id AND delete_date IS NULL\n"
                   "  AND (coalesce(@Page_id, 0) <= 0 OR page_amount_id = @Page_id)\n"
                   "  AND (@Low_end IS NULL OR sequence >= @Low_end)\n"
                   "  AND (@High_end IS NULL OR sequence <= @High_end)";
        if (!t.link_column.empty()) {
            updates += "\n  AND (coalesce(@Link_id, 0) <= 0 OR " + t.link_column + " = @Link_id)";
        }
        updates += ";\n";
    }
    // Renumbers the rows written in the report; rows inherited from earlier versions keep theirs.
    ProcedureText p;
    p.name = "sp_misc_RPT_sequence_update";
    p.parameters =
        "@Report_id int, @Link_id int, @Report_section_code varchar(3), @Page_id int, "
        "@Low_end int, @High_end int, @Increment int";
    p.body =
        "SELECT 'sp_misc_RPT_sequence_update: unknown report section ' || "
        "coalesce(@Report_section_code, 'Null') || '.' AS \"@error\"\n"
        "WHERE upper(coalesce(@Report_section_code, '')) NOT IN (" +
        codes + ");\n" + updates;
    return p;
}

}  // namespace mz
