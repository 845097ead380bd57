-- Receipts and their items: rpt_Receipts, rpt_gns_items (items of "GNS" receipts) and
-- rpt_loan_items (endorsers and guarantors of "LOAN" and "FRLN" receipts), with the lookup table
-- of receipt types their lists join.
--
-- The columns every versioned table shares, its four views, its indexes and its version triggers
-- come from its row in mz_versioned_table (see 10_versions.sql). Two base views are written here
-- instead, because the items are read through them with their names: vw_mz_rpt_gns_items carries
-- the receipt's contributor, vw_mz_rpt_loan_items the item's own entity and its full_name.
--
-- The receipt lists join the page rows (rpt_page_amount). Until the page-amount schedule has a
-- schema file of its own, the few columns they read are declared here; "IF NOT EXISTS" and
-- "OR IGNORE" let a fuller definition in an earlier file take precedence.

CREATE TABLE IF NOT EXISTS rpt_page_amount (
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
    report_section_type_code varchar(10) COLLATE NOCASE,
    actual_page_number int,
    current_page_number int,
    max_page_number int,
    current_page_amount money,
    max_page_amount money
);
INSERT OR IGNORE INTO mz_versioned_table (table_name, section_code, link_column) VALUES
    ('rpt_page_amount', NULL, NULL);

CREATE TABLE lks_receipt_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL
);
INSERT INTO lks_receipt_type (code, description, sequence) VALUES
    ('ind', 'Contributions from Individuals', 1),
    ('com', 'Contributions from Committees', 2),
    ('org', 'Contributions from Organizations', 3),
    ('GNS', 'Gifts and Services (In-Kind)', 4),
    ('LOAN', 'Loan Proceeds', 5),
    ('FRLN', 'Forgiven Loans', 6),
    ('int', 'Interest and Dividends', 7),
    ('oth', 'Other Receipts', 8),
    ('otln', 'Outstanding Loans', 9);

CREATE TABLE rpt_Receipts (
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
    entity_id int,
    receipt_type_code varchar(10) COLLATE NOCASE,
    Receipt_type_desc varchar(60) COLLATE NOCASE,
    is_aggregated smallint,
    is_prior_report smallint,
    comm_level_code varchar(10) COLLATE NOCASE,
    account_abbr varchar(10) COLLATE NOCASE,
    form_of_payment_code varchar(10) COLLATE NOCASE,
    Occur_date datetime,
    Amount money,
    sum_to_date money,
    Description varchar(100) COLLATE NOCASE,
    Purpose varchar(100) COLLATE NOCASE,
    Attendance int,
    original_date datetime,
    end_date datetime,
    original_amount money,
    Balance money,
    interest_rate float,
    security_pledged varchar(100) COLLATE NOCASE,
    lending_institution varchar(100) COLLATE NOCASE,
    loan_number varchar(30) COLLATE NOCASE,
    orig_expenditure_date datetime,
    orig_loan_date datetime,
    has_associated_statement smallint,
    has_business_statement smallint,
    business_name varchar(100) COLLATE NOCASE,
    item_number smallint,
    current_page_number int,
    max_page_number int,
    current_page_amount money,
    max_page_amount money,
    amend_code varchar(1) COLLATE NOCASE,
    expenditure_id int,
    loan_id int,
    Payment_number varchar(20) COLLATE NOCASE,
    Comments varchar(255) COLLATE NOCASE,
    reimbursee_entity_id int,
    is_credit_payment smallint,
    source_type_code varchar(10) COLLATE NOCASE,
    is_qualifying_contribution smallint,
    submission_date datetime,
    items_sold smallint,
    total_amount_raised money,
    conducted_as_planned varchar(1) COLLATE NOCASE,
    conducted_as_planned_comments varchar(255) COLLATE NOCASE,
    over_limit_purchases varchar(1) COLLATE NOCASE,
    over_limit_purchases_comments varchar(255) COLLATE NOCASE
);
CREATE INDEX ix_rpt_Receipts_entity ON rpt_Receipts (entity_id);

-- The lists show the type's description without joining for it: it is kept on the row.
CREATE TRIGGER trg_rpt_Receipts_type_insert AFTER INSERT ON rpt_Receipts
BEGIN
    UPDATE rpt_Receipts SET Receipt_type_desc =
        (SELECT description FROM lks_receipt_type WHERE code = NEW.receipt_type_code)
    WHERE unique_id = NEW.unique_id;
END;
CREATE TRIGGER trg_rpt_Receipts_type_update AFTER UPDATE OF receipt_type_code ON rpt_Receipts
BEGIN
    UPDATE rpt_Receipts SET Receipt_type_desc =
        (SELECT description FROM lks_receipt_type WHERE code = NEW.receipt_type_code)
    WHERE unique_id = NEW.unique_id;
END;

CREATE TABLE rpt_gns_items (
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
    receipt_id int,
    account_abbr varchar(10) COLLATE NOCASE,
    total_count int,
    check_count int,
    cash_count int,
    other_count int,
    Description varchar(100) COLLATE NOCASE,
    Occur_date datetime,
    individual_amount money,
    Amount money,
    current_page_number int,
    max_page_number int,
    amend_code varchar(1) COLLATE NOCASE
);

CREATE TABLE rpt_loan_items (
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
    entity_id int,
    receipt_id int,
    Amount money,
    Is_Amount smallint,
    sum_to_date money,
    Share float,
    current_page_number int,
    max_page_number int,
    amend_code varchar(1) COLLATE NOCASE
);
CREATE INDEX ix_rpt_loan_items_entity ON rpt_loan_items (entity_id);

CREATE VIEW vw_mz_rpt_gns_items AS
SELECT g.*, na.is_org, na.org_name, na.first_name, na.last_name
FROM rpt_gns_items g
LEFT OUTER JOIN rpt_Receipts r ON r.unique_id = g.receipt_id
LEFT OUTER JOIN rpt_name_address na ON na.unique_id = r.entity_id;

CREATE VIEW vw_mz_rpt_loan_items AS
SELECT l.*, na.is_org, na.org_name, na.first_name, na.last_name,
    CASE WHEN na.unique_id IS NULL OR ifnull(na.is_org, 1) = 1 THEN ifnull(na.org_name, '')
         ELSE ifnull(na.last_name, '') || ', ' || ifnull(na.first_name, '') END AS full_name
FROM rpt_loan_items l
LEFT OUTER JOIN rpt_name_address na ON na.unique_id = l.entity_id;

INSERT INTO mz_versioned_table (table_name, section_code, link_column, detail_columns, detail_joins)
VALUES
    ('rpt_Receipts', 'REC', NULL,
     ', na.is_org, na.org_name, na.first_name, na.last_name, rt.sequence AS receipt_type_sequence',
     'LEFT OUTER JOIN rpt_name_address na ON na.unique_id = t.entity_id ' ||
     'LEFT OUTER JOIN lks_receipt_type rt ON rt.code = t.receipt_type_code'),
    ('rpt_gns_items', 'GIT', 'receipt_id', '', ''),
    ('rpt_loan_items', 'LIT', 'receipt_id',
     ', na.is_org, na.org_name, na.first_name, na.last_name',
     'LEFT OUTER JOIN rpt_name_address na ON na.unique_id = t.entity_id');

-- "A" adds a row in @Report_id (a new group); "C" writes a new version of row @Ref_id into report
-- @Report_id (same group); "D" writes a deletion marker of row @Ref_id into report @Report_id.
CREATE PROCEDURE sp_insert_rpt_Receipts
    @Function varchar(1), @Report_id int, @Ref_id int, @Entity_id int, @Page_amount_id int,
    @Sequence int, @Receipt_type_code varchar(10), @Is_aggregated smallint,
    @Is_prior_report smallint, @Comm_level_code varchar(10), @Account_abbr varchar(10),
    @Form_of_payment_code varchar(10), @Occur_date datetime, @Amount money, @Sum_to_date money,
    @Description varchar(100), @Purpose varchar(100), @Attendance int, @Original_date datetime,
    @End_date datetime, @Original_amount money, @Balance money, @Interest_rate float,
    @Security_pledged varchar(100), @Lending_institution varchar(100), @Loan_number varchar(30),
    @Orig_expenditure_date datetime, @Orig_loan_date datetime,
    @Has_associated_statement smallint, @Has_business_statement smallint,
    @Business_name varchar(100), @Item_number smallint, @Amend_code varchar(1),
    @Expenditure_id int, @Loan_id int, @Payment_number varchar(20), @Comments varchar(255),
    @reimbursee_entity_id int, @Is_credit_payment smallint, @source_type_code varchar(10),
    @is_qualifying_contribution smallint, @submission_date datetime, @items_sold smallint,
    @total_amount_raised money, @conducted_as_planned varchar(1),
    @conducted_as_planned_comments varchar(255), @over_limit_purchases varchar(1),
    @over_limit_purchases_comments varchar(255), @Unique_id int OUTPUT
AS
BEGIN
    SELECT 'sp_insert_rpt_Receipts: unknown @Function ' || coalesce(@Function, 'Null') || '.'
        AS "@error" WHERE upper(coalesce(@Function, '')) NOT IN ('A', 'C', 'D');
    SELECT 'sp_insert_rpt_Receipts: report ' || coalesce(@Report_id, 'Null') || ' does not exist.'
        AS "@error" WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Report_id);
    SELECT 'sp_insert_rpt_Receipts: rpt_Receipts has no row with unique_id '
        || coalesce(@Ref_id, 'Null') || '.' AS "@error"
    WHERE upper(@Function) IN ('C', 'D')
      AND NOT EXISTS (SELECT 1 FROM rpt_Receipts WHERE unique_id = @Ref_id);
    INSERT INTO rpt_Receipts (report_id, group_id, ref_id, entity_id, page_amount_id, sequence,
        receipt_type_code, is_aggregated, is_prior_report, comm_level_code, account_abbr,
        form_of_payment_code, Occur_date, Amount, sum_to_date, Description, Purpose, Attendance,
        original_date, end_date, original_amount, Balance, interest_rate, security_pledged,
        lending_institution, loan_number, orig_expenditure_date, orig_loan_date,
        has_associated_statement, has_business_statement, business_name, item_number, amend_code,
        expenditure_id, loan_id, Payment_number, Comments, reimbursee_entity_id, is_credit_payment,
        source_type_code, is_qualifying_contribution, submission_date, items_sold,
        total_amount_raised, conducted_as_planned, conducted_as_planned_comments,
        over_limit_purchases, over_limit_purchases_comments)
    SELECT @Report_id, o.group_id, o.unique_id, @Entity_id, @Page_amount_id, @Sequence,
        @Receipt_type_code, @Is_aggregated, @Is_prior_report, @Comm_level_code, @Account_abbr,
        @Form_of_payment_code, @Occur_date, @Amount, @Sum_to_date, @Description, @Purpose,
        @Attendance, @Original_date, @End_date, @Original_amount, @Balance, @Interest_rate,
        @Security_pledged, @Lending_institution, @Loan_number, @Orig_expenditure_date,
        @Orig_loan_date, @Has_associated_statement, @Has_business_statement, @Business_name,
        @Item_number, @Amend_code, @Expenditure_id, @Loan_id, @Payment_number, @Comments,
        @reimbursee_entity_id, @Is_credit_payment, @source_type_code,
        @is_qualifying_contribution, @submission_date, @items_sold, @total_amount_raised,
        @conducted_as_planned, @conducted_as_planned_comments, @over_limit_purchases,
        @over_limit_purchases_comments
    FROM (SELECT 1) LEFT OUTER JOIN rpt_Receipts o
        ON o.unique_id = @Ref_id AND upper(@Function) = 'C'
    WHERE upper(@Function) IN ('A', 'C');
    INSERT INTO rpt_Receipts (report_id, group_id, ref_id, delete_date, page_amount_id, sequence,
        entity_id, receipt_type_code, Amount)
    SELECT @Report_id, group_id, unique_id, datetime('now', 'localtime'), page_amount_id,
        sequence, entity_id, receipt_type_code, Amount
    FROM rpt_Receipts WHERE unique_id = @Ref_id AND upper(@Function) = 'D';
    SELECT last_insert_rowid() AS "@Unique_id";
END;

CREATE PROCEDURE sp_insert_rpt_gns_items
    @Function varchar(1), @Report_id int, @Ref_id int, @page_amount_id int, @sequence int,
    @Receipt_id int, @Account_abbr varchar(10), @Total_count int, @Check_count int,
    @Cash_count int, @Other_count int, @Description varchar(100), @Occur_date datetime,
    @Individual_amount money, @Amount money, @Amend_code varchar(1), @Unique_id int OUTPUT
AS
BEGIN
    SELECT 'sp_insert_rpt_gns_items: unknown @Function ' || coalesce(@Function, 'Null') || '.'
        AS "@error" WHERE upper(coalesce(@Function, '')) NOT IN ('A', 'C', 'D');
    SELECT 'sp_insert_rpt_gns_items: report ' || coalesce(@Report_id, 'Null') || ' does not exist.'
        AS "@error" WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Report_id);
    SELECT 'sp_insert_rpt_gns_items: rpt_gns_items has no row with unique_id '
        || coalesce(@Ref_id, 'Null') || '.' AS "@error"
    WHERE upper(@Function) IN ('C', 'D')
      AND NOT EXISTS (SELECT 1 FROM rpt_gns_items WHERE unique_id = @Ref_id);
    INSERT INTO rpt_gns_items (report_id, group_id, ref_id, page_amount_id, sequence, receipt_id,
        account_abbr, total_count, check_count, cash_count, other_count, Description, Occur_date,
        individual_amount, Amount, amend_code)
    SELECT @Report_id, o.group_id, o.unique_id, @page_amount_id, @sequence, @Receipt_id,
        @Account_abbr, @Total_count, @Check_count, @Cash_count, @Other_count, @Description,
        @Occur_date, @Individual_amount, @Amount, @Amend_code
    FROM (SELECT 1) LEFT OUTER JOIN rpt_gns_items o
        ON o.unique_id = @Ref_id AND upper(@Function) = 'C'
    WHERE upper(@Function) IN ('A', 'C');
    INSERT INTO rpt_gns_items (report_id, group_id, ref_id, delete_date, page_amount_id, sequence,
        receipt_id, Amount)
    SELECT @Report_id, group_id, unique_id, datetime('now', 'localtime'), page_amount_id,
        sequence, receipt_id, Amount
    FROM rpt_gns_items WHERE unique_id = @Ref_id AND upper(@Function) = 'D';
    SELECT last_insert_rowid() AS "@Unique_id";
END;

CREATE PROCEDURE sp_insert_rpt_loan_items
    @Function varchar(1), @Report_id int, @Ref_id int, @Entity_id int, @page_amount_id int,
    @sequence int, @Receipt_id int, @Amount money, @Is_amount smallint, @Sum_to_date money,
    @Share float, @Amend_code varchar(1), @Unique_id int OUTPUT
AS
BEGIN
    SELECT 'sp_insert_rpt_loan_items: unknown @Function ' || coalesce(@Function, 'Null') || '.'
        AS "@error" WHERE upper(coalesce(@Function, '')) NOT IN ('A', 'C', 'D');
    SELECT 'sp_insert_rpt_loan_items: report ' || coalesce(@Report_id, 'Null') || ' does not exist.'
        AS "@error" WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Report_id);
    SELECT 'sp_insert_rpt_loan_items: rpt_loan_items has no row with unique_id '
        || coalesce(@Ref_id, 'Null') || '.' AS "@error"
    WHERE upper(@Function) IN ('C', 'D')
      AND NOT EXISTS (SELECT 1 FROM rpt_loan_items WHERE unique_id = @Ref_id);
    INSERT INTO rpt_loan_items (report_id, group_id, ref_id, entity_id, page_amount_id, sequence,
        receipt_id, Amount, Is_Amount, sum_to_date, Share, amend_code)
    SELECT @Report_id, o.group_id, o.unique_id, @Entity_id, @page_amount_id, @sequence,
        @Receipt_id, @Amount, @Is_amount, @Sum_to_date, @Share, @Amend_code
    FROM (SELECT 1) LEFT OUTER JOIN rpt_loan_items o
        ON o.unique_id = @Ref_id AND upper(@Function) = 'C'
    WHERE upper(@Function) IN ('A', 'C');
    INSERT INTO rpt_loan_items (report_id, group_id, ref_id, delete_date, page_amount_id, sequence,
        entity_id, receipt_id, Amount)
    SELECT @Report_id, group_id, unique_id, datetime('now', 'localtime'), page_amount_id,
        sequence, entity_id, receipt_id, Amount
    FROM rpt_loan_items WHERE unique_id = @Ref_id AND upper(@Function) = 'D';
    SELECT last_insert_rowid() AS "@Unique_id";
END;
