-- Page rows: the printed pages of each report section, one row per page of a section (and, within
-- receipts and expenditures, per section type) with the page's actual number, its current and
-- highest page number and its current and highest page amount. Schedule rows name their page by
-- its group_id in their page_amount_id (the tables declared PAGED).
--
-- The page lists join rpt_Receipts and rpt_expenditures as r and read some names unqualified:
-- ref_is_audit belongs to the page views alone (base tables carry is_audit_row), and
-- report_section_type_code to the page table alone (no schedule table or view carries it), so
-- each resolves to the page side p.
--
-- A deletion marker names the page that went and carries no amounts: the highest amount of a
-- version, which the summary reads without a deletion test, never counts a deleted page.
CREATE VERSIONED TABLE rpt_page_amount (
    report_section_code varchar(3),
    report_section_type_code varchar(10),
    actual_page_number int,
    current_page_number int,
    max_page_number int,
    current_page_amount money,
    max_page_amount money
)
INSERT @Report_section_code, @Report_section_type_code, @Actual_page_number,
    @Current_page_number, @Max_page_number, @Current_page_amount, @Max_page_amount
MARKER report_section_code, report_section_type_code, actual_page_number
END;

-- The highest page number and amount of a section's pages (of one section type, when given) as a
-- report version sees them. Pages written in the version are set in place; pages it sees from an
-- earlier version get a new version of their own in it ("C" copies), so the earlier version keeps
-- its figures. An audit version takes the audit row of a page where it sees one.
CREATE PROCEDURE sp_misc_rpt_page_amount_update
    @Report_id int, @report_section_code varchar(3), @report_section_type_code varchar(10),
    @Max_page_number int, @Max_page_amount money
AS
BEGIN
    SELECT 'sp_misc_rpt_page_amount_update: report ' || coalesce(CAST(@Report_id AS varchar(20)), 'Null') ||
           ' does not exist.' AS "@error"
    WHERE NOT EXISTS (SELECT 1 FROM rpt_report WHERE report_id = @Report_id);
    SELECT 'sp_misc_rpt_page_amount_update: no report section given.' AS "@error"
    WHERE coalesce(@report_section_code, '') = '';
    INSERT INTO rpt_page_amount (report_id, group_id, ref_id, sequence, page_amount_id,
        report_section_code, report_section_type_code, actual_page_number, current_page_number,
        max_page_number, current_page_amount, max_page_amount)
    SELECT @Report_id, o.group_id, o.unique_id, o.sequence, o.page_amount_id,
        o.report_section_code, o.report_section_type_code, o.actual_page_number,
        o.current_page_number, @Max_page_number, o.current_page_amount, @Max_page_amount
    FROM vw_mz_rpt_page_amount_ref_basic o
    JOIN rpt_report v ON v.report_id = @Report_id
    WHERE o.ref_report_id = @Report_id AND o.report_id <> @Report_id AND o.delete_date IS NULL
      AND o.report_section_code = @report_section_code
      AND (@report_section_type_code IS NULL
           OR o.report_section_type_code = @report_section_type_code)
      AND (o.ref_is_audit = v.is_audit
           OR NOT EXISTS (SELECT 1 FROM vw_mz_rpt_page_amount_ref_basic a
                          WHERE a.ref_report_id = @Report_id AND a.group_id = o.group_id
                            AND a.ref_is_audit = 1))
      AND (o.max_page_number IS NOT @Max_page_number OR o.max_page_amount IS NOT @Max_page_amount);
    -- The figures set in place go to the change journal (db/builtin_procedures.h) first.
    INSERT INTO mz_change_journal (table_name, unique_id, group_id, report_id, action,
        column_name, old_value, new_value, change_date, user_name)
    SELECT 'rpt_page_amount', p.unique_id, p.group_id, p.report_id, 'U', c.name,
        CASE c.name WHEN 'max_page_number' THEN CAST(p.max_page_number AS text)
             ELSE CAST(p.max_page_amount AS text) END,
        CASE c.name WHEN 'max_page_number' THEN CAST(@Max_page_number AS text)
             ELSE CAST(@Max_page_amount AS text) END,
        datetime('now', 'localtime'), mz_user()
    FROM rpt_page_amount p, (SELECT 'max_page_number' AS name UNION ALL SELECT 'max_page_amount') c
    WHERE p.report_id = @Report_id AND p.delete_date IS NULL
      AND p.report_section_code = @report_section_code
      AND (@report_section_type_code IS NULL
           OR p.report_section_type_code = @report_section_type_code)
      AND CASE c.name WHEN 'max_page_number' THEN p.max_page_number IS NOT @Max_page_number
               ELSE p.max_page_amount IS NOT @Max_page_amount END;
    UPDATE rpt_page_amount SET max_page_number = @Max_page_number,
        max_page_amount = @Max_page_amount, update_date = datetime('now', 'localtime')
    WHERE report_id = @Report_id AND delete_date IS NULL
      AND report_section_code = @report_section_code
      AND (@report_section_type_code IS NULL
           OR report_section_type_code = @report_section_type_code);
END;
