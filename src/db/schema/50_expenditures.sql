-- Expenditures and debts with their items: rpt_expenditures and rpt_expenditure_items (the
-- breakdown of an expenditure by election and office), rpt_debts and rpt_debt_items (the dated
-- entries recorded against a debt). The types and offices they join are in 15_lookups.sql. Each
-- is PAGED: its rows are items of the report's pages (30_page_amounts.sql).

-- Every view carries the type's description; the row views carry the payee's name.
CREATE VERSIONED TABLE rpt_expenditures (
    entity_id int,
    Expenditure_type_code varchar(10),
    gift_type_code varchar(10),
    is_aggregated smallint,
    is_ind_exp smallint,
    account_abbr varchar(10),
    form_of_payment_code varchar(10),
    Occur_date datetime,
    Amount money,
    sum_to_date money,
    Description varchar(100),
    Purpose varchar(100),
    original_date datetime,
    end_date datetime,
    original_amount money,
    Balance money,
    committee_id varchar(20),
    comm_level_code varchar(10),
    comm_level_name varchar(50),
    related_committee_name varchar(100),
    office_name varchar(100),
    office_code varchar(10),
    Jurisdiction_name varchar(100),
    disctrict varchar(50),
    declare_code varchar(10),
    Communication_date datetime,
    item_number smallint,
    current_page_number int,
    max_page_number int,
    current_page_amount money,
    max_page_amount money,
    amend_code varchar(1),
    loan_id int,
    receipt_id int,
    orig_receipt_date datetime,
    orig_loan_date datetime,
    old_payee_tolvid varchar(50),
    Payment_number varchar(20),
    Comments varchar(255),
    Purpose_type_code varchar(10)
)
SECTION EXP
INSERT @Entity_id, @Page_amount_id, @Sequence, @Expenditure_type_code, @Gift_type_code,
    @Is_aggregated, @Is_ind_exp, @Account_abbr, @Form_of_payment_code, @Occur_date, @Amount,
    @Sum_to_date, @Description, @Purpose, @Original_date, @Original_amount, @Balance,
    @Committee_id, @Comm_level_code, @Comm_level_name, @Related_committee_name, @Office_name,
    @Jurisdiction_name, @Item_number, @Declare_code, @Communication_date, @Amend_code, @Loan_id,
    @Receipt_id, @Orig_Receipt_date, @Orig_Loan_date, @Payment_number, @Comments,
    @Purpose_type_code, @is_aggregated
LIST COLUMNS et.description AS expenditure_type_desc
LIST JOINS LEFT OUTER JOIN lks_expenditure_type et ON et.code = t.Expenditure_type_code
ROW COLUMNS na.is_org, na.org_name, na.first_name, na.last_name
ROW JOINS LEFT OUTER JOIN rpt_name_address na ON na.unique_id = t.entity_id
PAGED
END;

-- The row views carry the item's entity and its name as the item list writes it.
CREATE VERSIONED TABLE rpt_expenditure_items (
    expenditure_id int,
    entity_id int,
    election_type_code varchar(10),
    election_other_name varchar(100),
    declare_code varchar(10),
    current_page_number int,
    max_page_number int,
    amend_code varchar(1),
    office_sought_code varchar(10),
    office_name varchar(100),
    county_district_name varchar(100),
    Amount money
)
SECTION EIT
LINK expenditure_id
INSERT @Page_amount_id, @Sequence, @Entity_id, @Expenditure_id, @Election_type_code,
    @Election_other_name, @Declare_code, @Amend_code, @office_sought_code, @office_name,
    @county_district_name, @amount
ROW COLUMNS na.is_org, na.org_name, na.first_name, na.last_name,
    CASE WHEN na.is_org = 1 THEN na.org_name ELSE na.first_name || ' ' || na.last_name END
        AS full_name
ROW JOINS LEFT OUTER JOIN rpt_name_address na ON na.unique_id = t.entity_id
PAGED
END;

-- Every view carries the type's description; the row views carry the entity's name as the debt
-- list writes it and the number of the page the debt is on in its own report.
CREATE VERSIONED TABLE rpt_debts (
    entity_id int,
    Debt_type_code varchar(10),
    begin_balance money,
    incurred_amount money,
    paid_amount money,
    end_balance money,
    Description varchar(100),
    current_page_number int,
    max_page_number int,
    current_page_amount money,
    max_page_amount money,
    amend_code varchar(1),
    Comments varchar(255)
)
SECTION DBT
INSERT @Entity_id, @Page_amount_id, @Sequence, @Debt_type_code, @Begin_balance,
    @Incurred_amount, @Paid_amount, @End_balance, @Description, @Amend_code, @Comments
LIST COLUMNS dt.description AS debt_type_desc
LIST JOINS LEFT OUTER JOIN lks_debt_type dt ON dt.code = t.Debt_type_code
ROW COLUMNS na.is_org, na.org_name, na.first_name, na.last_name,
    CASE WHEN coalesce(na.is_org, 1) = 1 THEN coalesce(na.org_name, '')
         ELSE coalesce(na.last_name, '') || ', ' || coalesce(na.first_name, '') END AS full_name,
    (SELECT max(p.actual_page_number) FROM vw_mz_rpt_page_amount_ref_basic p
     WHERE p.group_id = t.page_amount_id AND p.ref_report_id = t.report_id
       AND p.delete_date IS NULL) AS actual_page_number
ROW JOINS LEFT OUTER JOIN rpt_name_address na ON na.unique_id = t.entity_id
PAGED
END;

-- The row views carry the item's own entity.
CREATE VERSIONED TABLE rpt_debt_items (
    debt_id int,
    entity_id int,
    Occur_date datetime,
    Amount money,
    Description varchar(100),
    current_page_number int,
    max_page_number int,
    amend_code varchar(1),
    Purpose_type_code varchar(10)
)
SECTION DIT
LINK debt_id
INSERT @page_amount_id, @sequence, @Debt_id, @Entity_id, @Occur_date, @Amount, @Description,
    @Amend_code, @purpose_type_code
ROW COLUMNS na.is_org, na.org_name, na.first_name, na.last_name
ROW JOINS LEFT OUTER JOIN rpt_name_address na ON na.unique_id = t.entity_id
PAGED
END;
