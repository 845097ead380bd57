-- Receipts and their items: rpt_Receipts, rpt_gns_items (items of "GNS" receipts) and
-- rpt_loan_items (endorsers and guarantors of "LOAN" and "FRLN" receipts). The receipt types they
-- join, lks_receipt_type, are in 15_lookups.sql. Each is PAGED: its rows are items of the report's
-- pages (30_page_amounts.sql).

-- Every view carries the type's description (the lists read f.Receipt_type_desc); the row views
-- carry the contributor's name, so a new row reads it as empty.
CREATE VERSIONED TABLE rpt_Receipts (
    entity_id int,
    receipt_type_code varchar(10),
    is_aggregated smallint,
    is_prior_report smallint,
    comm_level_code varchar(10),
    account_abbr varchar(10),
    form_of_payment_code varchar(10),
    Occur_date datetime,
    Amount money,
    sum_to_date money,
    Description varchar(100),
    Purpose varchar(100),
    Attendance int,
    original_date datetime,
    end_date datetime,
    original_amount money,
    Balance money,
    interest_rate float,
    security_pledged varchar(100),
    lending_institution varchar(100),
    loan_number varchar(30),
    orig_expenditure_date datetime,
    orig_loan_date datetime,
    has_associated_statement smallint,
    has_business_statement smallint,
    business_name varchar(100),
    item_number smallint,
    current_page_number int,
    max_page_number int,
    current_page_amount money,
    max_page_amount money,
    amend_code varchar(1),
    expenditure_id int,
    loan_id int,
    Payment_number varchar(20),
    Comments varchar(255),
    reimbursee_entity_id int,
    is_credit_payment smallint,
    source_type_code varchar(10),
    is_qualifying_contribution smallint,
    submission_date datetime,
    items_sold smallint,
    total_amount_raised money,
    conducted_as_planned varchar(1),
    conducted_as_planned_comments varchar(255),
    over_limit_purchases varchar(1),
    over_limit_purchases_comments varchar(255)
)
SECTION REC
INSERT @Entity_id, @Page_amount_id, @Sequence, @Receipt_type_code, @Is_aggregated,
    @Is_prior_report, @Comm_level_code, @Account_abbr, @Form_of_payment_code, @Occur_date,
    @Amount, @Sum_to_date, @Description, @Purpose, @Attendance, @Original_date, @End_date,
    @Original_amount, @Balance, @Interest_rate, @Security_pledged, @Lending_institution,
    @Loan_number, @Orig_expenditure_date, @Orig_loan_date, @Has_associated_statement,
    @Has_business_statement, @Business_name, @Item_number, @Amend_code, @Expenditure_id,
    @Loan_id, @Payment_number, @Comments, @reimbursee_entity_id, @Is_credit_payment,
    @source_type_code, @is_qualifying_contribution, @submission_date, @items_sold,
    @total_amount_raised, @conducted_as_planned, @conducted_as_planned_comments,
    @over_limit_purchases, @over_limit_purchases_comments
MARKER page_amount_id, sequence, entity_id, receipt_type_code, Amount
LIST COLUMNS rt.description AS Receipt_type_desc
LIST JOINS LEFT OUTER JOIN lks_receipt_type rt ON rt.code = t.receipt_type_code
ROW COLUMNS na.is_org, na.org_name, na.first_name, na.last_name,
    rt.sequence AS receipt_type_sequence
ROW JOINS LEFT OUTER JOIN rpt_name_address na ON na.unique_id = t.entity_id
PAGED
END;

-- The row views carry the receipt's contributor.
CREATE VERSIONED TABLE rpt_gns_items (
    receipt_id int,
    account_abbr varchar(10),
    total_count int,
    check_count int,
    cash_count int,
    other_count int,
    Description varchar(100),
    Occur_date datetime,
    individual_amount money,
    Amount money,
    current_page_number int,
    max_page_number int,
    amend_code varchar(1)
)
SECTION GIT
LINK receipt_id
INSERT @page_amount_id, @sequence, @Receipt_id, @Account_abbr, @Total_count, @Check_count,
    @Cash_count, @Other_count, @Description, @Occur_date, @Individual_amount, @Amount,
    @Amend_code
MARKER page_amount_id, sequence, receipt_id, Amount
ROW COLUMNS na.is_org, na.org_name, na.first_name, na.last_name
ROW JOINS LEFT OUTER JOIN rpt_Receipts r ON r.unique_id = t.receipt_id
    LEFT OUTER JOIN rpt_name_address na ON na.unique_id = r.entity_id
PAGED
END;

-- The row views carry the item's own entity and its full name.
CREATE VERSIONED TABLE rpt_loan_items (
    entity_id int,
    receipt_id int,
    Amount money,
    Is_Amount smallint,
    sum_to_date money,
    Share float,
    current_page_number int,
    max_page_number int,
    amend_code varchar(1)
)
SECTION LIT
LINK receipt_id
INSERT @Entity_id, @page_amount_id, @sequence, @Receipt_id, @Amount, @Is_amount, @Sum_to_date,
    @Share, @Amend_code
MARKER page_amount_id, sequence, entity_id, receipt_id, Amount
ROW COLUMNS na.is_org, na.org_name, na.first_name, na.last_name,
    CASE WHEN na.unique_id IS NULL OR coalesce(na.is_org, 1) = 1 THEN coalesce(na.org_name, '')
         ELSE coalesce(na.last_name, '') || ', ' || coalesce(na.first_name, '') END AS full_name
ROW JOINS LEFT OUTER JOIN rpt_name_address na ON na.unique_id = t.entity_id
PAGED
END;
