-- Notes: free text attached to any report row through link_id (the row's group_id). A note is
-- changed and deleted in place whichever version wrote it (IN PLACE), also once that is filed.

-- Every view carries the type's description and allow_multiple, so a note reads them in a list
-- and on a new row as well as on its own.
CREATE VERSIONED TABLE rpt_notes (
    report_section_code varchar(3),
    link_id int,
    Note_type_code varchar(10),
    note_keywords varchar(100),
    Description varchar(4000),
    entry_date datetime,
    amend_code varchar(1),
    delete_user_id varchar(50),
    old_tran_id varchar(50),
    old_table varchar(50)
)
LINK link_id
INSERT @Report_section_code, @Link_id, @Note_type_code, @Note_keywords, @Description,
    @Entry_date, @Amend_code
LIST COLUMNS nt.description AS note_type_desc, nt.allow_multiple
LIST JOINS LEFT OUTER JOIN lks_note_type nt ON nt.code = t.Note_type_code
IN PLACE
END;
