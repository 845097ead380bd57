-- Page rows: the printed pages of each report section with their item counts and totals.

CREATE VERSIONED TABLE rpt_page_amount (
    report_section_code varchar(3),
    report_section_type_code varchar(10),
    actual_page_number int,
    current_page_number int,
    max_page_number int,
    current_page_amount money,
    max_page_amount money
)
END;
