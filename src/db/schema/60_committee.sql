-- Committee records: rpt_accounts (the committee's bank accounts), rpt_officers (the people and
-- entities of its officer schedule), rpt_transfers (money moved between its accounts) and
-- rpt_admin_support (administrative support it received). The codes they join, lks_name_type and
-- lks_support_item_type, are in 15_lookups.sql. Transfers and support items are PAGED: items of
-- the report's pages (30_page_amounts.sql).

-- A name as the officer lists show it: an organisation's name, or a person's "first last".
CREATE VIEW vw_mz_rpt_name_address_detail AS
SELECT n.*,
       CASE WHEN n.is_org = 1 THEN n.org_name
            ELSE trim(coalesce(n.first_name, '') || ' ' || coalesce(n.last_name, '')) END
           AS full_name
FROM rpt_name_address n;

-- Every view carries the name of the organisation holding the account, so the plain list reads
-- OrgName as a single row does.
CREATE VERSIONED TABLE rpt_accounts (
    entity_id int,
    account_type varchar(20),
    account_abbr varchar(10),
    account_number varchar(30),
    Purpose varchar(100),
    begin_balance money,
    end_balance money,
    amend_code varchar(1),
    Comments varchar(255)
)
SECTION ACC
INSERT @Entity_id, @page_amount_id, @sequence, @Account_type, @Account_abbr, @Purpose,
    @Begin_balance, @End_balance, @Amend_code, @Comments
LIST COLUMNS na.org_name
LIST JOINS LEFT OUTER JOIN rpt_name_address na ON na.unique_id = t.entity_id
END;

-- Every view carries the officer's name and the description of the name type (the cover list
-- reads f.name_type_desc).
CREATE VERSIONED TABLE rpt_officers (
    entity_id int,
    Name_type_code varchar(10),
    judicial_seat varchar(50),
    amend_code varchar(1),
    Comments varchar(255)
)
SECTION OFF
INSERT @Entity_id, @Name_type_code, @Judicial_seat, @Amend_code
LIST COLUMNS na.first_name, na.last_name, na.full_name, nt.description AS name_type_desc
LIST JOINS LEFT OUTER JOIN vw_mz_rpt_name_address_detail na ON na.unique_id = t.entity_id
    LEFT OUTER JOIN lks_name_type nt ON nt.code = t.Name_type_code
END;

-- The list joins the page rows itself and reads the page's numbers and amounts, so the list views
-- leave out the transfer's own columns of those names; the row views carry the number of the
-- page the transfer is on in its own report.
CREATE VERSIONED TABLE rpt_transfers (
    Account_abbr_from varchar(10),
    Account_abbr_to varchar(10),
    Occur_date datetime,
    Amount money,
    current_page_number int,
    max_page_number int,
    current_page_amount money,
    max_page_amount money,
    amend_code varchar(1),
    Comments varchar(255)
)
SECTION TRN
INSERT @Page_amount_id, @Sequence, @Account_abbr_from, @Account_abbr_to, @Occur_date, @Amount,
    @Amend_code, @Comments
LIST OMITS current_page_number, max_page_number, current_page_amount, max_page_amount
ROW COLUMNS (SELECT max(p.actual_page_number) FROM vw_mz_rpt_page_amount_ref_basic p
     WHERE p.group_id = t.page_amount_id AND p.ref_report_id = t.report_id
       AND p.delete_date IS NULL) AS actual_page_number
PAGED
END;

-- Every view carries the item type's description (the list reads f.support_item_type_desc); the
-- row views carry the type's order, allow_multiple and the name as the list computes them, so a
-- single row reads them as a list row does.
CREATE VERSIONED TABLE rpt_admin_support (
    support_item_type_code varchar(10),
    Support_item_other_desc varchar(100),
    Amount money,
    current_page_number int,
    max_page_number int,
    current_page_amount money,
    max_page_amount money,
    amend_code varchar(1)
)
SECTION ASP
INSERT @page_amount_id, @sequence, @Support_item_type_code, @Support_item_other_desc, @Amount,
    @Amend_code
LIST COLUMNS sit.description AS support_item_type_desc
LIST JOINS LEFT OUTER JOIN lks_support_item_type sit ON sit.code = t.support_item_type_code
ROW COLUMNS sit.sequence AS type_sequence, coalesce(sit.allow_multiple, 0) AS allow_multiple,
    CASE WHEN t.support_item_type_code = 'oth'
         THEN coalesce(sit.description, '') || ' - ' || coalesce(t.Support_item_other_desc, '')
         ELSE coalesce(sit.description, '') END AS full_name
PAGED
END;
