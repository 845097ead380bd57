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

CREATE TABLE rpt_report (
    report_id integer PRIMARY KEY AUTOINCREMENT,
    report_group_id integer NOT NULL REFERENCES rpt_report_group (report_group_id),
    version_order integer NOT NULL,
    is_audit bit NOT NULL DEFAULT 0,
    based_on_report_id integer REFERENCES rpt_report (report_id),
    orig_date datetime NOT NULL DEFAULT (datetime('now', 'localtime')),
    UNIQUE (report_group_id, version_order)
);

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

-- An amendment of a report: the next version of its group, filed.
CREATE PROCEDURE sp_misc_report_amend
    @Ref_report_id int, @Report_id int OUTPUT
AS
BEGIN
    SELECT 'sp_misc_report_amend: report ' || coalesce(CAST(@Ref_report_id AS varchar(20)), 'Null') || ' does not exist.' AS "@error"
    WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Ref_report_id);
    INSERT INTO rpt_report (report_group_id, version_order, is_audit, based_on_report_id)
    SELECT r.report_group_id,
           (SELECT max(g.version_order) + 1 FROM rpt_report g WHERE g.report_group_id = r.report_group_id),
           0, r.report_id
    FROM rpt_report r WHERE r.report_id = @Ref_report_id;
    SELECT mz_last_id('rpt_report', 'report_id') AS "@Report_id";
END;

-- An audit of a report: the next version of its group, marked as an audit.
CREATE PROCEDURE sp_misc_report_audit
    @Ref_report_id int, @Report_id int OUTPUT
AS
BEGIN
    SELECT 'sp_misc_report_audit: report ' || coalesce(CAST(@Ref_report_id AS varchar(20)), 'Null') || ' does not exist.' AS "@error"
    WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Ref_report_id);
    INSERT INTO rpt_report (report_group_id, version_order, is_audit, based_on_report_id)
    SELECT r.report_group_id,
           (SELECT max(g.version_order) + 1 FROM rpt_report g WHERE g.report_group_id = r.report_group_id),
           1, r.report_id
    FROM rpt_report r WHERE r.report_id = @Ref_report_id;
    SELECT mz_last_id('rpt_report', 'report_id') AS "@Report_id";
END;
