-- Notes: free text attached to any report row through link_id (the row's group_id).

CREATE TABLE lks_note_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) COLLATE NOCASE,
    allow_multiple bit NOT NULL DEFAULT 1
);

CREATE TABLE rpt_notes (
    unique_id integer PRIMARY KEY AUTOINCREMENT,
    report_id integer NOT NULL REFERENCES rpt_report (report_id),
    group_id integer,
    report_group_id integer,
    sequence int,
    page_amount_id int,
    delete_date datetime,
    orig_date datetime NOT NULL DEFAULT (datetime('now', 'localtime')),
    orig_user_id varchar(50) COLLATE NOCASE,
    user_id varchar(50) COLLATE NOCASE,
    update_date datetime,
    ref_id integer,
    version_from integer,
    version_to integer,
    is_audit_row bit NOT NULL DEFAULT 0,
    report_section_code varchar(3) COLLATE NOCASE,
    link_id int,
    Note_type_code varchar(10) COLLATE NOCASE,
    note_keywords varchar(100) COLLATE NOCASE,
    Description varchar(4000) COLLATE NOCASE,
    entry_date datetime,
    amend_code varchar(1) COLLATE NOCASE,
    delete_user_id varchar(50) COLLATE NOCASE,
    old_tran_id varchar(50) COLLATE NOCASE,
    old_table varchar(50) COLLATE NOCASE
);

INSERT INTO mz_versioned_table (table_name, section_code, link_column, detail_columns, detail_joins)
VALUES ('rpt_notes', NULL, 'link_id',
        ', nt.description as note_type_desc, nt.allow_multiple',
        'left outer join lks_note_type nt on nt.code = t.Note_type_code');

-- "A" adds a note (new group); "C" writes a new version of note @Ref_id into report @Report_id;
-- "D" writes a deletion marker for it. The insert trigger sets the version range.
CREATE PROCEDURE sp_insert_rpt_notes
    @Function varchar(1), @Report_id int, @Ref_id int, @Report_section_code varchar(3),
    @Link_id int, @Note_type_code varchar(10), @Note_keywords varchar(100),
    @Description varchar(4000), @Entry_date datetime, @Amend_code varchar(1),
    @Unique_id int OUTPUT, @Group_id int OUTPUT
AS
BEGIN
    SELECT 'sp_insert_rpt_notes: @Function must be A, C or D, not ' || coalesce(@Function, 'Null') || '.' AS "@error"
    WHERE coalesce(upper(@Function), '') NOT IN ('A', 'C', 'D');
    SELECT 'sp_insert_rpt_notes: report ' || coalesce(@Report_id, 'Null') || ' does not exist.' AS "@error"
    WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Report_id);
    SELECT 'sp_insert_rpt_notes: note ' || coalesce(@Ref_id, 'Null') || ' does not exist.' AS "@error"
    WHERE upper(@Function) IN ('C', 'D') AND NOT EXISTS (SELECT 1 FROM rpt_notes WHERE unique_id = @Ref_id);
    INSERT INTO rpt_notes (report_id, report_section_code, link_id, Note_type_code, note_keywords,
                           Description, entry_date, amend_code)
    SELECT @Report_id, @Report_section_code, @Link_id, @Note_type_code, @Note_keywords,
           @Description, @Entry_date, @Amend_code
    WHERE upper(@Function) = 'A';
    INSERT INTO rpt_notes (report_id, group_id, ref_id, sequence, page_amount_id, report_section_code,
                           link_id, Note_type_code, note_keywords, Description, entry_date, amend_code)
    SELECT @Report_id, o.group_id, o.unique_id, o.sequence, o.page_amount_id, @Report_section_code,
           @Link_id, @Note_type_code, @Note_keywords, @Description, @Entry_date, @Amend_code
    FROM rpt_notes o WHERE o.unique_id = @Ref_id AND upper(@Function) = 'C';
    INSERT INTO rpt_notes (report_id, group_id, ref_id, sequence, page_amount_id, delete_date,
                           report_section_code, link_id, Note_type_code, note_keywords, Description,
                           entry_date, amend_code)
    SELECT @Report_id, o.group_id, o.unique_id, o.sequence, o.page_amount_id,
           datetime('now', 'localtime'), o.report_section_code, o.link_id, o.Note_type_code,
           o.note_keywords, o.Description, o.entry_date, o.amend_code
    FROM rpt_notes o WHERE o.unique_id = @Ref_id AND upper(@Function) = 'D';
    SELECT unique_id AS "@Unique_id", group_id AS "@Group_id" FROM rpt_notes
    WHERE unique_id = last_insert_rowid();
END;
