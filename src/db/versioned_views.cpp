#include "db/versioned_views.h"

#include <sqlite3.h>

namespace mz {

namespace {

// Replaces every "$T" (table) and "$L" (link column) in text.
std::string Fill(std::string text, const VersionedTable& t) {
    for (size_t at = 0; (at = text.find('$', at)) != std::string::npos;) {
        const char key = at + 1 < text.size() ? text[at + 1] : '\0';
        const std::string& with = key == 'T'   ? t.table_name
                                  : key == 'L' ? t.link_column
                                               : std::string();
        if (key != 'T' && key != 'L') {
            ++at;
            continue;
        }
        text.replace(at, 2, with);
        at += with.size();
    }
    return text;
}

std::string Quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) {
        q += c;
        if (c == '\'') q += '\'';
    }
    return q + "'";
}

// The range join: a row is seen through version v of its group when
// version_from <= v < version_to (open above while version_to is Null).
constexpr const char* kViews = R"sql(
CREATE INDEX IF NOT EXISTS ix_$T_version ON $T (report_group_id, version_from);
CREATE INDEX IF NOT EXISTS ix_$T_group ON $T (group_id, is_audit_row, version_from);
CREATE VIEW IF NOT EXISTS vw_mz_$T AS SELECT * FROM $T;
CREATE VIEW IF NOT EXISTS vw_mz_$T_ref_basic AS
SELECT t.*, v.report_id AS ref_report_id, t.is_audit_row AS ref_is_audit
FROM rpt_report v
JOIN $T t ON t.report_group_id = v.report_group_id
    AND t.version_from <= v.version_order
    AND (t.version_to IS NULL OR t.version_to > v.version_order);
CREATE VIEW IF NOT EXISTS vw_mz_$T_ref_current AS SELECT * FROM vw_mz_$T_ref_basic;
)sql";

// On insert: stamp the row with its report's group, version and audit flag, start a new group when
// none is given, end the range of the row of the same chain it supersedes, and end its own range
// where a later version of the chain already exists.
constexpr const char* kInsertTrigger = R"sql(
CREATE TRIGGER IF NOT EXISTS trg_$T_version_insert AFTER INSERT ON $T
BEGIN
    UPDATE $T SET
        group_id = coalesce(NEW.group_id, NEW.unique_id),
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
END;
CREATE TRIGGER IF NOT EXISTS trg_$T_version_delete AFTER DELETE ON $T
BEGIN
    UPDATE $T SET version_to = OLD.version_to
    WHERE group_id = OLD.group_id AND is_audit_row = OLD.is_audit_row
      AND version_to = OLD.version_from AND version_from < OLD.version_from;
END;
)sql";

}  // namespace

std::string VersionedObjectsSql(const VersionedTable& t) {
    std::string sql = Fill(kViews, t);
    if (!t.link_column.empty()) {
        sql += Fill(
            "CREATE INDEX IF NOT EXISTS ix_$T_link ON $T (report_group_id, $L, version_from);\n",
            t);
    }
    sql += Fill("CREATE VIEW IF NOT EXISTS vw_mz_$T_detail AS SELECT t.*", t) + t.detail_columns +
           Fill(" FROM $T t ", t) + t.detail_joins + ";\n";
    sql += Fill(kInsertTrigger, t);
    return sql;
}

std::string SequenceProcedureSql(const std::vector<VersionedTable>& tables) {
    std::string codes;
    std::string updates;
    for (const VersionedTable& t : tables) {
        if (t.section_code.empty()) continue;
        if (!codes.empty()) codes += ", ";
        codes += Quoted(t.section_code);
        updates += Fill(
            "UPDATE $T SET sequence = sequence + @Increment, update_date = datetime('now', "
            "'localtime') "
            "WHERE upper(@Report_section_code) = upper(",
            t);
        updates += Quoted(t.section_code) +
                   ") AND report_id = @Report_id AND delete_date IS NULL "
                   "AND (coalesce(@Page_id, 0) <= 0 OR page_amount_id = @Page_id) "
                   "AND (@Low_end IS NULL OR sequence >= @Low_end) "
                   "AND (@High_end IS NULL OR sequence <= @High_end)";
        if (!t.link_column.empty()) {
            updates += Fill(" AND (coalesce(@Link_id, 0) <= 0 OR $L = @Link_id)", t);
        }
        updates += ";\n";
    }
    // Renumbers the rows written in the report; rows inherited from earlier versions keep theirs.
    const std::string body =
        "SELECT 'sp_misc_RPT_sequence_update: unknown report section ' || "
        "coalesce(@Report_section_code, 'Null') || '.' AS \"@error\" "
        "WHERE upper(coalesce(@Report_section_code, '')) NOT IN (" +
        codes + ");\n" + updates;
    return "INSERT OR REPLACE INTO mz_procedure (name, parameters, body) VALUES "
           "('sp_misc_RPT_sequence_update', "
           "'@Report_id int, @Link_id int, @Report_section_code varchar(3), @Page_id int, "
           "@Low_end int, @High_end int, @Increment int', " +
           Quoted(body) + ");\n";
}

std::string ApplyVersionedObjects(sqlite3* db) {
    std::vector<VersionedTable> tables;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(
            db,
            "SELECT table_name, coalesce(section_code, ''), coalesce(link_column, ''), "
            "detail_columns, detail_joins FROM mz_versioned_table ORDER BY table_name",
            -1, &s, nullptr) != SQLITE_OK) {
        std::string error = sqlite3_errmsg(db);
        sqlite3_finalize(s);
        return "mz_versioned_table: " + error;
    }
    auto text = [s](int i) {
        const unsigned char* t = sqlite3_column_text(s, i);
        return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
    };
    while (sqlite3_step(s) == SQLITE_ROW) {
        tables.push_back(VersionedTable{text(0), text(1), text(2), text(3), text(4)});
    }
    sqlite3_finalize(s);
    std::string sql;
    for (const VersionedTable& t : tables) sql += VersionedObjectsSql(t);
    sql += SequenceProcedureSql(tables);
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return "";
    std::string error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return "versioned tables: " + error;
}

}  // namespace mz
