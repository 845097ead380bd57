-- The report's own pages: its cover (one row per report version) and its summary page (rows told
-- apart by their summary type code). A change in a later version is a new version of the row, so
-- an amendment never changes the cover or the summary as filed.

-- Every view carries the description of the report sub-type, so the cover of one report, read
-- through vw_mz_rpt_cover_ref_current, shows it as the single-row read does.
CREATE VERSIONED TABLE rpt_cover (
    entity_id int,
    report_year int,
    report_level_code varchar(10),
    report_sub_type_code varchar(10),
    report_name varchar(100),
    Certified_date datetime,
    entity_type_code varchar(10),
    orig_filed_tolvid varchar(50),
    fund_type_code varchar(10),
    fund_name varchar(100),
    Begin_date datetime,
    end_date datetime,
    filed_date datetime,
    parent_entity_id int,
    parent_entity_name varchar(100),
    signed_name varchar(100),
    is_account_segregated smallint,
    Memo varchar(2000),
    is_amendment smallint,
    old_election_cycle int,
    Comments varchar(255),
    Fundraiser_count smallint
)
INSERT @Entity_id, @Report_year, @Report_level_code, @Report_sub_type_code, @Report_name,
    @Certified_date, @Entity_type_code, @Orig_filed_tolvid, @Fund_type_code, @Fund_name,
    @Begin_date, @End_date, @Filed_date, @Parent_entity_id, @Parent_entity_name, @Signed_name,
    @Is_account_segregated, @Memo, @Is_amendment, @Comments, @Fundraiser_count
LIST COLUMNS rst.description AS report_sub_type_desc
LIST JOINS LEFT OUTER JOIN lku_report_sub_type rst ON rst.code = t.report_sub_type_code
END;

-- The amounts are money; the page-based summary rows are computed from rpt_page_amount by the
-- summary's own lists, not stored here.
CREATE VERSIONED TABLE rpt_summary (
    Summary_type_code varchar(10),
    start_year int,
    begin_balance money,
    individual_rec money,
    Individual_agg_rec money,
    old_interest_exp money,
    party_rec money,
    committee_rec money,
    loan_proceed_rec money,
    refund_rec money,
    interest_rec money,
    not_for_profit_rec money,
    outside_source_rec money,
    gns_rec money,
    Forgiven_loan money,
    total_rec money,
    operating_exp money,
    contribution_exp money,
    coordinated_party_exp money,
    loan_repayment_exp money,
    refund_exp money,
    inkind_exp money,
    total_exp money,
    end_balance money,
    nonmonetary_gifts money,
    outstanding_loans money,
    debts_by_comm money,
    debts_to_comm money,
    account_transfer money,
    admin_support money,
    notice_sum money,
    amend_code varchar(1),
    contribution_total_rec money,
    individual_total_rec money,
    total_rec_count smallint,
    contribution_to_reimburse money,
    individual_agg_exp money,
    legal_expense_other_rec money,
    exempt_sales_rec money
)
INSERT @Sequence, @Summary_type_code, @Start_year, @Begin_balance, @Individual_rec,
    @Individual_agg_rec, @Old_interest_exp, @Party_rec, @Committee_rec, @Loan_proceed_rec,
    @Refund_rec, @Interest_rec, @Not_for_profit_rec, @Outside_source_rec, @GnS_rec,
    @Forgiven_loan, @Total_rec, @Operating_exp, @Contribution_exp, @Coordinated_party_exp,
    @Loan_repayment_exp, @Refund_exp, @Inkind_exp, @Total_exp, @End_balance, @Nonmonetary_gifts,
    @Outstanding_loans, @Debts_by_comm, @Debts_to_comm, @Account_transfer, @Admin_support,
    @Notice_sum, @Amend_code, @Contribution_total_rec, @Individual_total_rec, @Total_rec_count,
    @contribution_to_reimburse, @individual_agg_exp, @legal_expense_other_rec, @exempt_sales_rec
END;
