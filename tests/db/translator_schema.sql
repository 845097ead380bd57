-- A few report tables for translator_test.cpp, with views where the record classes read views.
create table rpt_name_address (unique_id integer primary key, is_org bit,
    org_name varchar(100) collate nocase, last_name varchar(50) collate nocase,
    first_name varchar(50) collate nocase);
insert into rpt_name_address values (100, 0, null, 'Adams', 'Ann'), (101, 0, null, 'Brown', null),
    (102, 1, 'Acme PAC', null, null), (103, null, 'Nameless Org', 'Zed', 'Zoe');

create table rpt_receipts (unique_id integer primary key, group_id int, report_group_id int,
    ref_report_id int, ref_is_audit bit, delete_date datetime, sequence int, entity_id int,
    receipt_type_code varchar(4) collate nocase, is_aggregated bit, page_amount_id int,
    amount money, receipt_date datetime, last_name varchar(30) collate nocase,
    original_amount money, balance money);
insert into rpt_receipts values
    (1, 1, 7, 10, 0, null, 1, 100, 'ind', 0, 500, 100.5, '2005-03-15', 'Adams', null, null),
    (2, 2, 7, 10, 0, null, 2, 101, 'ind', 1, 500, 25, '2005-03-16 14:30:00', null, null, null),
    (3, 3, 7, 10, 0, null, 3, 102, 'IND', null, 501, 250, '2005-04-01', 'Baker', null, null),
    (4, 4, 7, 10, 0, null, 4, 999, 'otln', 0, null, 1000, '2005-02-28', null, 1500, 1000),
    (5, 2, 7, 10, 1, null, 2, 101, 'ind', 0, 500, 30, '2005-03-16', null, null, null),
    (6, 5, 7, 10, 0, '2005-05-01', 5, 100, 'ind', 0, 500, 5, '2005-03-20', 'Adams', null, null),
    (7, 6, 7, 10, 0, null, 6, 103, 'otln', 0, 501, 50, '2005-03-01', 'Zed', 200, 0);
create view vw_mz_rpt_receipts_ref_basic as select * from rpt_receipts;

create table rpt_page_amount (unique_id int, group_id int, ref_report_id int,
    report_group_id int, ref_is_audit bit, delete_date datetime, actual_page_number int,
    current_page_number int, current_page_amount money, max_page_number int,
    max_page_amount money, report_section_code varchar(3) collate nocase,
    report_section_type_code varchar(4) collate nocase);
insert into rpt_page_amount values
    (1, 500, 10, 7, 0, null, 3, 3, 100.5, 3, 100.5, 'rec', 'ind'),
    (2, 501, 10, 7, 0, null, 1, 1, 250, 1, 250, 'rec', 'ind'),
    (3, 502, 10, 7, 0, null, 2, 2, 99.25, 2, 99.25, 'exp', 'oper'),
    (4, 501, 10, 7, 1, null, 9, 9, null, 9, 300, 'rec', 'ind');
create view vw_mz_rpt_page_amount_ref_basic as select * from rpt_page_amount;
create view vw_mz_rpt_page_amount_ref_current as select * from rpt_page_amount;

create table lks_receipt_type (code varchar(4) collate nocase, description varchar(50),
    abbrev varchar(10), sequence int, in_receipt_section bit, effective_date datetime,
    expire_date datetime);
insert into lks_receipt_type values
    ('ind', 'Individual', 'IND', 1, 1, '1990-01-01', null),
    ('otln', 'Outstanding loan', 'LOAN', 2, 0, '1990-01-01', null),
    ('old', 'Old type', 'OLD', 3, 1, '1990-01-01', '2000-01-01'),
    ('new', 'New type', 'NEW', 4, 1, '2005-03-16', null);
create table lks_expenditure_type (code varchar(4) collate nocase, description varchar(50),
    abbrev varchar(10), sequence int);
insert into lks_expenditure_type values ('oper', 'Operating', 'OP', 1);
create table lks_debt_type (code varchar(4) collate nocase, description varchar(50), sequence int);
insert into lks_debt_type values ('dbt', 'Debt', 1);

create table lks_report_section (code varchar(3) collate nocase, table_name varchar(50),
    sequence int);
insert into lks_report_section values ('rec', 'rpt_receipts', 1), ('exp', 'rpt_expenditures', 2),
    ('x+y', 'it''s', 3);

create table ref_election (unique_id int, election_date datetime);
insert into ref_election values (1, '2004-11-02'), (2, '2005-03-08'), (3, '2005-11-08'),
    (4, '1999-12-31 23:59:59');

create table ref_user (unique_id int, group_id int, user_name varchar(30) collate nocase,
    end_date datetime, is_system_user bit);
insert into ref_user values (1, 1, 'alice_old', '2004-01-01', 0), (2, 1, 'alice', null, 0),
    (3, 2, 'bob', '2004-06-30', 0), (4, 3, 'system', null, 1), (5, 4, 'carol', null, 0);

create table lks_election_type (code varchar(4) collate nocase, description varchar(50),
    sequence int, is_primary bit, parent_code varchar(4), effective_date datetime,
    expire_date datetime, update_date datetime);
insert into lks_election_type values
    ('gen', 'General', 1, 0, null, '1980-01-01', null, '2004-01-01'),
    ('pr2', 'Primary 2', 2, 1, null, '1980-01-01', null, '2004-01-01');
create table lku_office (code varchar(4) collate nocase, description varchar(50),
    effective_date datetime, expire_date datetime);
insert into lku_office values ('oth', 'Other office', '1990-01-01', null),
    ('gov', 'Governor', '1990-01-01', null);

create table rpt_expenditure_items (unique_id int, group_id int, report_group_id int,
    ref_report_id int, ref_is_audit bit, delete_date datetime, page_amount_id int, sequence int,
    entity_id int, office_sought_code varchar(4) collate nocase, office_name varchar(50),
    amount money, expenditure_id int);
insert into rpt_expenditure_items values
    (1, 1, 7, 10, 0, null, 502, 1, 100, 'OT', 'Dog catcher', 10, 77),
    (2, 2, 7, 10, 0, null, 502, 2, 101, 'gov', null, 20, 77),
    (3, 3, 7, 10, 0, null, 502, 3, 102, 'ot', 'Mayor', 30.5, 77),
    (4, 1, 7, 11, 1, null, 502, 1, 100, 'OT', 'Sheriff', 12, 77);
create view vw_mz_rpt_expenditure_items_ref_basic as select * from rpt_expenditure_items;
create table lku_office_sought (code varchar(4) collate nocase, Description varchar(50));
insert into lku_office_sought values ('gov', 'Governor'), ('OT', 'Other');

create table rpt_admin_support (unique_id int, group_id int, report_group_id int,
    ref_report_id int, ref_is_audit bit, delete_date datetime, sequence int,
    support_item_type_code varchar(4) collate nocase, support_item_type_desc varchar(50),
    support_item_other_desc varchar(50));
insert into rpt_admin_support values (1, 1, 7, 10, 0, null, 1, 'oth', 'Other', 'Coffee'),
    (2, 2, 7, 10, 0, null, 2, 'rnt', 'Rent', null), (3, 3, 7, 10, 0, null, 3, 'OTH', 'Other', null);
create view vw_mz_rpt_admin_support_ref_basic as select * from rpt_admin_support;
create table lks_support_item_type (code varchar(4) collate nocase, sequence int, allow_multiple bit);
insert into lks_support_item_type values ('oth', 2, 1), ('rnt', 1, null);
