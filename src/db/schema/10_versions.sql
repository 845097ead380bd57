-- Report versions. A report group ties the versions of one report together: the original filing
-- (version_order 1), its amendments and its audits, each a report of its own with its own
-- report_id. A schedule row is written in one version and keeps its group_id through all its
-- versions.
--
-- Schedule tables are declared once, as CREATE VERSIONED TABLE blocks (see
-- db/versioned_table.h); the database layer generates from each the table with the columns every
-- versioned table shares, its insert procedure, its four views, their indexes and the triggers
-- that keep each row's version range. Each row keeps the version_order of the report it was
-- written in (version_from) and of the version whose row of the same group_id superseded it
-- (version_to, Null while current); vw_mz_T_ref_basic pairs each row with every version v of its
-- group for which version_from <= v < version_to.

CREATE TABLE rpt_report_group (
    report_group_id integer PRIMARY KEY AUTOINCREMENT,
    orig_date datetime NOT NULL DEFAULT (datetime('now', 'localtime'))
);

-- A version is open until it is filed (filed_date), by sp_misc_report_file or by its amendment or
-- audit; then the database refuses every change of a row written in it (the versioned tables'
-- triggers, db/versioned_table.h), and of its own row here. A group has at most one open
-- version, its latest.
CREATE TABLE rpt_report (
    report_id integer PRIMARY KEY AUTOINCREMENT,
    report_group_id integer NOT NULL REFERENCES rpt_report_group (report_group_id),
    version_order integer NOT NULL,
    is_audit bit NOT NULL DEFAULT 0,
    based_on_report_id integer REFERENCES rpt_report (report_id),
    orig_date datetime NOT NULL DEFAULT (datetime('now', 'localtime')),
    filed_date datetime,
    filed_change_id integer,  -- the change journal's last line when it was filed
    UNIQUE (report_group_id, version_order)
);
CREATE UNIQUE INDEX ix_rpt_report_open ON rpt_report (report_group_id) WHERE filed_date IS NULL;

-- The change journal: every change made in place to a versioned table's row, one line per data
-- column (written by the tables' triggers, db/versioned_table.h), in the statement that made it.
-- action is 'U' for a column changed in place, 'D' for a row deleted in place (old_value the
-- value it had, new_value Null). Versions answer what was filed; the journal what changed a
-- row before it was filed, and a note after. Its lines never change.
CREATE TABLE mz_change_journal (
    change_id integer PRIMARY KEY AUTOINCREMENT,
    table_name varchar(128) NOT NULL,
    unique_id integer NOT NULL,
    group_id integer,
    report_id integer NOT NULL,
    action varchar(1) NOT NULL,
    column_name varchar(128) NOT NULL,
    old_value text,
    new_value text,
    change_date datetime NOT NULL,
    user_name varchar(128)
);
-- A row's lines by its chain (history); the lines since a version was filed by change_id, which
-- counts up.
CREATE INDEX ix_mz_change_journal_group ON mz_change_journal (table_name, group_id);

-- Each version's state against its group's latest version: why a change of a row written in it is
-- refused once it is filed (refusal), and why it cannot be amended or audited (not_next: Null when
-- it can be).
CREATE VIEW mz_report_state AS
SELECT r.report_id, r.filed_date,
    'report ' || r.report_id || ' was filed on ' || r.filed_date || '; ' ||
    CASE WHEN l.filed_date IS NULL
         THEN 'change it through its ' || CASE WHEN l.is_audit = 1 THEN 'audit' ELSE 'amendment' END ||
              ', report ' || l.report_id
         WHEN l.is_audit = 1 THEN 'its latest version, report ' || l.report_id || ', is a filed audit'
         WHEN l.report_id = r.report_id THEN 'amend it to change it'
         ELSE 'amend its latest version, report ' || l.report_id || ', to change it' END AS refusal,
    CASE WHEN l.report_id <> r.report_id
         THEN 'report ' || r.report_id || ' is not the latest version of its report: report ' ||
              l.report_id || ' is.'
         WHEN r.is_audit = 1
         THEN 'report ' || r.report_id || ' is an audit: only an original filing or an ' ||
              'amendment is amended or audited.' END AS not_next
FROM rpt_report r
JOIN rpt_report l ON l.report_group_id = r.report_group_id
    AND l.version_order = (SELECT max(g.version_order) FROM rpt_report g
                           WHERE g.report_group_id = r.report_group_id);

-- Every chain of row versions (group_id) of every versioned table: one counter for all tables,
-- so a group identifier names one row of one table.
CREATE TABLE mz_row_group (
    group_id integer PRIMARY KEY AUTOINCREMENT,
    table_name varchar(128) NOT NULL COLLATE NOCASE,
    first_unique_id integer NOT NULL
);

-- The versioned schedule tables, one row each, written from their declarations.
CREATE TABLE mz_versioned_table (
    table_name varchar(128) PRIMARY KEY COLLATE NOCASE,
    section_code varchar(3) COLLATE NOCASE,  -- its report section, for sequence renumbering
    link_column varchar(128)                 -- the column naming a parent row, if any
);

-- A new report: a new group and its original version.
CREATE PROCEDURE sp_misc_report_new
    @Report_id int OUTPUT
AS
BEGIN
    INSERT INTO rpt_report_group DEFAULT VALUES;
    INSERT INTO rpt_report (report_group_id, version_order, is_audit)
    VALUES (mz_last_id('rpt_report_group', 'report_group_id'), 1, 0);
    SELECT mz_last_id('rpt_report', 'report_id') AS "@Report_id";
END;

-- Files a version: from now on the rows written in it do not change.
CREATE PROCEDURE sp_misc_report_file
    @Report_id int
AS
BEGIN
    SELECT 'sp_misc_report_file: report ' || coalesce(CAST(@Report_id AS varchar(20)), 'Null') || ' does not exist.' AS "@error"
    WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Report_id);
    SELECT 'sp_misc_report_file: report ' || report_id || ' was already filed on ' || filed_date || '.' AS "@error"
    FROM rpt_report WHERE report_id = @Report_id AND filed_date IS NOT NULL;
    UPDATE rpt_report SET filed_date = datetime('now', 'localtime'),
        filed_change_id = (SELECT coalesce(max(change_id), 0) FROM mz_change_journal)
    WHERE report_id = @Report_id;
END;

-- An amendment of a report: the next version of its group. Only the latest version, an original
-- or an amendment, is amended; it is filed first, so the group keeps one open version.
CREATE PROCEDURE sp_misc_report_amend
    @Ref_report_id int, @Report_id int OUTPUT
AS
BEGIN
    SELECT 'sp_misc_report_amend: report ' || coalesce(CAST(@Ref_report_id AS varchar(20)), 'Null') || ' does not exist.' AS "@error"
    WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Ref_report_id);
    SELECT 'sp_misc_report_amend: ' || not_next AS "@error"
    FROM mz_report_state WHERE report_id = @Ref_report_id AND not_next IS NOT NULL;
    UPDATE rpt_report SET filed_date = datetime('now', 'localtime'),
        filed_change_id = (SELECT coalesce(max(change_id), 0) FROM mz_change_journal)
    WHERE report_id = @Ref_report_id AND filed_date IS NULL;
    INSERT INTO rpt_report (report_group_id, version_order, is_audit, based_on_report_id)
    SELECT r.report_group_id, r.version_order + 1, 0, r.report_id
    FROM rpt_report r WHERE r.report_id = @Ref_report_id;
    SELECT mz_last_id('rpt_report', 'report_id') AS "@Report_id";
END;

-- An audit of a report: the next version of its group, marked as an audit, on the same terms.
CREATE PROCEDURE sp_misc_report_audit
    @Ref_report_id int, @Report_id int OUTPUT
AS
BEGIN
    SELECT 'sp_misc_report_audit: report ' || coalesce(CAST(@Ref_report_id AS varchar(20)), 'Null') || ' does not exist.' AS "@error"
    WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Ref_report_id);
    SELECT 'sp_misc_report_audit: ' || not_next AS "@error"
    FROM mz_report_state WHERE report_id = @Ref_report_id AND not_next IS NOT NULL;
    UPDATE rpt_report SET filed_date = datetime('now', 'localtime'),
        filed_change_id = (SELECT coalesce(max(change_id), 0) FROM mz_change_journal)
    WHERE report_id = @Ref_report_id AND filed_date IS NULL;
    INSERT INTO rpt_report (report_group_id, version_order, is_audit, based_on_report_id)
    SELECT r.report_group_id, r.version_order + 1, 1, r.report_id
    FROM rpt_report r WHERE r.report_id = @Ref_report_id;
    SELECT mz_last_id('rpt_report', 'report_id') AS "@Report_id";
END;
