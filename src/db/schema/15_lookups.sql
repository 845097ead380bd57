-- Lookup and reference tables: the coded lists of the entry screens (clsLookup_List) and the codes
-- the schedules join. Their rows are data, not schema: `mzreport init` loads src/db/seed/<table>.csv
-- into each table named here, and `mzreport lookups import` replaces them with an office's own.
--
-- A lookup row is valid on a date d when effective_date <= d and expire_date is Null or later
-- than d; the lists select by that window. Dates are stored as ISO text, as everywhere in the
-- database. Codes and descriptions compare without regard to case, as on the server.
--
-- Reference tables (ref_*, org_accounts, xrf_org_report) hold the filer registry the lists read:
-- users, elections, organisations, their accounts and reports. ref_report is not a table: the
-- registry of reports is rpt_report (10_versions.sql), and ref_report shows it under the names the
-- lists use: unique_id is the report (one version), group_id its report group (all its versions).

-- ---- lists the schedules join -------------------------------------------------------------------

-- Report sections: the code notes carry, and the table of each section.
CREATE TABLE lks_report_section (
    code varchar(3) PRIMARY KEY COLLATE NOCASE,
    table_name varchar(128) NOT NULL COLLATE NOCASE,
    description varchar(50) COLLATE NOCASE,
    sequence int,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);
CREATE UNIQUE INDEX ix_lks_report_section_table ON lks_report_section (table_name);

CREATE TABLE lks_note_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) COLLATE NOCASE,
    allow_multiple bit NOT NULL DEFAULT 1,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- in_receipt_section: the type is entered on the receipts schedule itself.
CREATE TABLE lks_receipt_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    abbrev varchar(10) COLLATE NOCASE,
    in_receipt_section bit NOT NULL DEFAULT 1,
    has_business_statement bit NOT NULL DEFAULT 0,
    needs_desc bit NOT NULL DEFAULT 0,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- is_gift_type: a kind of gift (the gift type of an expenditure), not a schedule line of its own.
CREATE TABLE lks_expenditure_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    abbrev varchar(10) COLLATE NOCASE,
    is_gift_type bit NOT NULL DEFAULT 0,
    needs_desc bit NOT NULL DEFAULT 0,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_debt_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_support_item_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    allow_multiple bit NOT NULL DEFAULT 0,
    needs_desc bit NOT NULL DEFAULT 0,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- is_officer_table: the type names a row of the officers schedule; is_unofficial_officer: one the
-- filer does not pick as an officer (the committee entity itself); is_ind_exp: a maker of
-- independent expenditures.
CREATE TABLE lks_name_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    is_officer_table bit NOT NULL DEFAULT 0,
    is_unofficial_officer bit NOT NULL DEFAULT 0,
    is_ind_exp bit NOT NULL DEFAULT 0,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lku_office_sought (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    Description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    needs_county_district bit NOT NULL DEFAULT 0,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- ---- coded lists of the entry screens -----------------------------------------------------------

CREATE TABLE lks_county (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    abbrev varchar(10) COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- county_id: the code of the municipality's county in lks_county.
CREATE TABLE lks_municipality (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    county_id varchar(10) NOT NULL COLLATE NOCASE,
    municipality_type varchar(10) COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);
CREATE INDEX ix_lks_municipality_county ON lks_municipality (county_id);

CREATE TABLE lks_state (
    code varchar(2) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_gender (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lku_phone_location (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lku_suffix (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lku_report_group (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lku_report_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- type_code: the report type (lku_report_type) the sub-type belongs to.
CREATE TABLE lku_report_sub_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    type_code varchar(10) NOT NULL COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- Which report groups file which report sub-types.
CREATE TABLE lku_report_group_type (
    report_group_code varchar(10) NOT NULL COLLATE NOCASE,
    report_sub_type_code varchar(10) NOT NULL COLLATE NOCASE,
    PRIMARY KEY (report_group_code, report_sub_type_code)
);

-- has_payment_number: the payment carries a number (a check number) the filer enters.
CREATE TABLE lks_payment_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    sequence int,
    has_payment_number bit NOT NULL DEFAULT 0,
    needs_desc bit NOT NULL DEFAULT 0,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_committee_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_committee_level (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- The optional fields some screens show, with the caption (Label) the screen gives them.
CREATE TABLE lku_specific_field (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    Label varchar(40) COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_declaration_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- group_code groups the transaction types ('rpt': the schedules of a report).
CREATE TABLE lks_trans_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    group_code varchar(10) NOT NULL COLLATE NOCASE,
    sequence int,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- The editions of the report forms, each valid for reporting periods in its window.
CREATE TABLE lks_report_version (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_fund_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- allow_report_entry: a report may be entered by this process.
CREATE TABLE lks_enter_process (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    allow_report_entry bit NOT NULL DEFAULT 1,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_entered_method (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lku_office (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    is_council_of_state bit NOT NULL DEFAULT 0,
    needs_county_district bit NOT NULL DEFAULT 0,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- The election-type list adds the 'oth' office to these rows with a select in this column order,
-- so the columns stay exactly these eight, in this order.
CREATE TABLE lks_election_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int,
    is_primary bit NOT NULL DEFAULT 0,
    parent_code varchar(10) COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_audit_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lku_party (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    abbrev varchar(10) COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_org_status (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lku_family_member (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_voter_match_status (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lks_purpose_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

CREATE TABLE lku_source_explanation_type (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(60) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL,
    effective_date datetime NOT NULL DEFAULT '1900-01-01',
    expire_date datetime,
    update_date datetime
);

-- Lengths of time (loan terms and the like); not windowed.
CREATE TABLE lks_time_length (
    code varchar(10) PRIMARY KEY COLLATE NOCASE,
    description varchar(50) NOT NULL COLLATE NOCASE,
    sequence int NOT NULL
);

-- ---- reference tables ---------------------------------------------------------------------------

-- Users in versions: a change of a user is a new row of the same group_id, and the row it replaces
-- gets an end_date. The current version of a user has the latest end_date (Null counts as now).
-- Like every list table it has the date window of the lists, which the users list ignores and a
-- reload of the last list (mzL_None) reads.
CREATE TABLE ref_user (
    unique_id integer PRIMARY KEY AUTOINCREMENT,
    group_id int NOT NULL,
    user_name varchar(50) NOT NULL COLLATE NOCASE,
    full_name varchar(100) COLLATE NOCASE,
    is_system_user bit NOT NULL DEFAULT 0,
    start_date datetime,
    end_date datetime,
    effective_date datetime,
    expire_date datetime
);
CREATE INDEX ix_ref_user_group ON ref_user (group_id);

CREATE TABLE ref_election (
    unique_id integer PRIMARY KEY AUTOINCREMENT,
    election_date datetime NOT NULL,
    election_type_code varchar(10) COLLATE NOCASE,
    description varchar(100) COLLATE NOCASE
);

-- Organisations (committees) in versions, as users are: group_id is the organisation.
CREATE TABLE ref_org (
    unique_id integer PRIMARY KEY AUTOINCREMENT,
    group_id int NOT NULL,
    org_name varchar(100) NOT NULL COLLATE NOCASE,
    committee_type_code varchar(10) COLLATE NOCASE,
    comm_level_code varchar(10) COLLATE NOCASE,
    org_status_code varchar(10) COLLATE NOCASE,
    end_date datetime
);
CREATE INDEX ix_ref_org_group ON ref_org (group_id);

-- A bank account of an organisation. org_id names the organisation (its group_id) for accounts
-- kept before any report links it; org_group_id names it for the accounts of linked reports.
CREATE TABLE org_accounts (
    unique_id integer PRIMARY KEY AUTOINCREMENT,
    org_id int,
    org_group_id int,
    account_abbr varchar(10) COLLATE NOCASE,
    account_name varchar(100) COLLATE NOCASE,
    bank_name varchar(100) COLLATE NOCASE
);
CREATE INDEX ix_org_accounts_org ON org_accounts (org_id);
CREATE INDEX ix_org_accounts_org_group ON org_accounts (org_group_id);

-- Which organisation files which report. org_id is the organisation's group_id; report_id is the
-- report group (ref_report.group_id), so the link holds for every version; Null: an organisation
-- registered with no report yet.
CREATE TABLE xrf_org_report (
    unique_id integer PRIMARY KEY AUTOINCREMENT,
    org_id int NOT NULL,
    report_id int
);
CREATE INDEX ix_xrf_org_report_report ON xrf_org_report (report_id);

-- The committee each report version is filed for (comm_id, the organisation's group_id), read by
-- report: every version of a linked report group is linked.
CREATE VIEW xrf_comm_report AS
SELECT x.unique_id AS xrf_id, x.org_id AS comm_id, r.report_id
FROM xrf_org_report x
JOIN rpt_report r ON r.report_group_id = x.report_id;

-- What the registry holds about a report beyond its versions: its year.
CREATE TABLE ref_report_info (
    report_group_id integer PRIMARY KEY REFERENCES rpt_report_group (report_group_id),
    report_year int
);

CREATE VIEW ref_report AS
SELECT r.report_id AS unique_id, r.report_group_id AS group_id, r.version_order, r.is_audit,
       r.based_on_report_id, i.report_year
FROM rpt_report r
LEFT OUTER JOIN ref_report_info i ON i.report_group_id = r.report_group_id;

-- The municipalities valid today with their counties, by name.
CREATE PROCEDURE sp_MZ_ss_municipality_list
AS
BEGIN
    SELECT m.code, m.description, m.county_id AS County_ID, c.description AS county_name,
           m.municipality_type, m.effective_date, m.expire_date, m.update_date
    FROM lks_municipality m
    LEFT OUTER JOIN lks_county c ON c.code = m.county_id
    WHERE m.effective_date <= date('now', 'localtime')
      AND (m.expire_date IS NULL OR m.expire_date > date('now', 'localtime'))
    ORDER BY m.description;
END;
