-- The report database, created by `mzreport init` from the files of this folder in name order.
--
-- Plain statements are run as they stand (SQLite). Stored procedures are written as blocks:
--
--   CREATE PROCEDURE sp_name
--       @First_param int, @Second varchar(50), @Unique_id int OUTPUT
--   AS
--   BEGIN
--       <SQLite statements, each ending in ;, using @Names as parameters>
--   END;
--
-- (the closing "END;" alone on its line, at the start of the line). The block is stored in
-- mz_procedure and run by the database layer: the statements run in order inside one savepoint;
-- every @Name is bound from the call's parameter values (outputs start Null); a statement that
-- returns a row assigns each result column named "@Name" to that parameter, so later statements
-- see it and the caller reads it back. A result column named "@error" with a non-Null value
-- aborts the call: everything it did is undone and the value is the caller's error text.
-- A procedure whose statements only read may be run by "exec" from a query; its last statement's
-- rows are the result.

CREATE TABLE mz_schema_version (
    version integer NOT NULL,
    created_date datetime NOT NULL
);
INSERT INTO mz_schema_version (version, created_date) VALUES (1, datetime('now', 'localtime'));

CREATE TABLE mz_procedure (
    name varchar(128) COLLATE NOCASE PRIMARY KEY,
    parameters text NOT NULL,  -- the parameter list as declared
    body text NOT NULL         -- the statements between BEGIN and END
);

-- People and organisations named on report rows.
CREATE TABLE rpt_name_address (
    unique_id integer PRIMARY KEY AUTOINCREMENT,
    is_org bit NOT NULL DEFAULT 0,
    org_name varchar(100) COLLATE NOCASE,
    last_name varchar(50) COLLATE NOCASE,
    first_name varchar(50) COLLATE NOCASE,
    middle_name varchar(50) COLLATE NOCASE,
    prefix varchar(10) COLLATE NOCASE,
    suffix varchar(10) COLLATE NOCASE,
    address1 varchar(100) COLLATE NOCASE,
    address2 varchar(100) COLLATE NOCASE,
    city varchar(50) COLLATE NOCASE,
    state varchar(2) COLLATE NOCASE,
    zip varchar(10) COLLATE NOCASE,
    country varchar(50) COLLATE NOCASE,
    occupation varchar(100) COLLATE NOCASE,
    employer varchar(100) COLLATE NOCASE,
    orig_date datetime NOT NULL DEFAULT (datetime('now', 'localtime')),
    update_date datetime
);
CREATE INDEX ix_rpt_name_address_names ON rpt_name_address (last_name, first_name);

-- A new name and address. Changes to an entry go through sp_update_table, one column a call, as
-- every change made in place does.
CREATE PROCEDURE sp_insert_rpt_name_address
    @Unique_id int OUTPUT, @Is_org bit, @Org_name varchar(100), @Last_name varchar(50),
    @First_name varchar(50), @Middle_name varchar(50), @Prefix varchar(10), @Suffix varchar(10),
    @Address1 varchar(100), @Address2 varchar(100), @City varchar(50), @State varchar(2),
    @Zip varchar(10), @Country varchar(50), @Occupation varchar(100), @Employer varchar(100)
AS
BEGIN
    INSERT INTO rpt_name_address (is_org, org_name, last_name, first_name, middle_name, prefix,
        suffix, address1, address2, city, state, zip, country, occupation, employer)
    VALUES (ifnull(@Is_org, 0), @Org_name, @Last_name, @First_name, @Middle_name, @Prefix, @Suffix,
        @Address1, @Address2, @City, @State, @Zip, @Country, @Occupation, @Employer);
    SELECT mz_last_id('rpt_name_address', 'unique_id') AS "@Unique_id";
END;

-- Removing an entity that is already gone is not an error: the caller's cascade goes on.
CREATE PROCEDURE sp_delete_rpt_name_address
    @Unique_id int, @Report_id int
AS
BEGIN
    DELETE FROM rpt_name_address WHERE unique_id = @Unique_id;
END;
