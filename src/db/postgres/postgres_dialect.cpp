// The PostgreSQL dialect of the report database's own SQL (see db/sql_dialect.h), and the
// functions translated T-SQL calls on the server, the counterparts of db/sqlite_functions.cpp.
//
// How the server is made to behave as the embedded file does:
//   case-insensitive text  every text column the baseline declares COLLATE NOCASE is citext, so
//                          =, <>, <, LIKE and ORDER BY ignore case as SQLite's NOCASE does
//   bit                    the domain mz_bit over smallint: compared with 1 and '1' alike, as the
//                          classes do; the backend reads it back as a Boolean
//   datetime, money        timestamp(0) and numeric(19,4); quoted ISO dates compare with them
//                          through PostgreSQL's own casts of untyped literals
//   "+"                    mz_add, overloaded so that numbers add and text joins; Null gives Null
//   convert, year...       the mz_* functions below, chosen by the translator's PostgreSQL table
#include "db/sql_dialect.h"

namespace mz {
namespace {

std::string PostgresLastId(std::string_view table, std::string_view column) {
    return "currval(pg_get_serial_sequence('" + std::string(table) + "', '" + std::string(column) +
           "'))";
}

std::string PostgresTrigger(std::string_view name, std::string_view event, std::string_view table,
                            std::string_view when, std::string_view body) {
    const std::string n(name);
    return "CREATE FUNCTION " + n + "() RETURNS trigger LANGUAGE plpgsql AS $mz$\nBEGIN\n" +
           std::string(body) + "RETURN NULL;\nEND\n$mz$;\nCREATE TRIGGER " + n + " " +
           std::string(event) + " ON " + std::string(table) + " FOR EACH ROW" +
           (when.empty() ? "" : " WHEN (" + std::string(when) + ")") + " EXECUTE FUNCTION " + n +
           "();\n";
}

constexpr std::string_view kPrelude = R"sql(
CREATE EXTENSION IF NOT EXISTS citext;
CREATE DOMAIN mz_bit AS smallint;
-- What the schema declares of each column and the server does not keep: the name's case, text
-- lengths (citext has none), bit (a smallint here). Filled from the embedded declarations.
CREATE TABLE mz_column (table_name text, column_name text, declared_type text NOT NULL,
                        PRIMARY KEY (table_name, column_name));
-- Holds no row: every writing transaction locks it first, shared, and one that runs alone (a
-- rerun after a lost conflict, a lookup import) exclusively (see postgres_backend.cpp).
CREATE TABLE mz_writer (unused integer);

CREATE VIEW mz_entity_column AS
SELECT c.relname::text AS table_name, a.attname::text AS column_name
FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid
WHERE c.relkind = 'r' AND c.relnamespace = current_schema()::regnamespace AND a.attnum > 0
  AND NOT a.attisdropped AND c.relname <> 'rpt_name_address' AND a.attname LIKE '%entity_id';

CREATE FUNCTION mz_add(smallint, smallint) RETURNS integer
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT $1::integer + $2';
CREATE FUNCTION mz_add(integer, integer) RETURNS integer
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT $1 + $2';
CREATE FUNCTION mz_add(bigint, bigint) RETURNS bigint
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT $1 + $2';
CREATE FUNCTION mz_add(numeric, numeric) RETURNS numeric
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT $1 + $2';
CREATE FUNCTION mz_add(double precision, double precision) RETURNS double precision
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT $1 + $2';
CREATE FUNCTION mz_add(text, text) RETURNS text
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT $1 || $2';
CREATE FUNCTION mz_add(text, anynonarray) RETURNS text
    LANGUAGE sql STABLE STRICT PARALLEL SAFE AS 'SELECT $1 || mz_text($2)';
CREATE FUNCTION mz_add(anynonarray, text) RETURNS text
    LANGUAGE sql STABLE STRICT PARALLEL SAFE AS 'SELECT mz_text($1) || $2';

-- A trigger's refusal of a change (the embedded engine's mz_refuse), with its text as the error.
CREATE FUNCTION mz_refuse(message text) RETURNS void LANGUAGE plpgsql AS
    $$BEGIN RAISE EXCEPTION USING MESSAGE = message, ERRCODE = 'integrity_constraint_violation';
    END$$;

-- Who changes a row, for the change journal: the server's login.
CREATE FUNCTION mz_user() RETURNS text LANGUAGE sql STABLE AS 'SELECT session_user::text';

-- The identifier the last insert into that table gave in this session (the embedded engine's
-- last_insert_rowid(), but unmoved by the identity of a row the next statement inserts).
CREATE FUNCTION mz_last_id(t text, c text) RETURNS integer
    LANGUAGE sql AS 'SELECT currval(pg_get_serial_sequence(t, c))::integer';

CREATE FUNCTION mz_year(timestamp) RETURNS integer
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT extract(year FROM $1)::integer';
CREATE FUNCTION mz_month(timestamp) RETURNS integer
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT extract(month FROM $1)::integer';
CREATE FUNCTION mz_day(timestamp) RETURNS integer
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT extract(day FROM $1)::integer';

-- convert(varchar, x [, style]): dates in the style's layout (0 when none is given), numbers
-- without trailing zeros, as the embedded database writes them.
CREATE FUNCTION mz_text(v timestamp, style integer DEFAULT NULL) RETURNS text
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE coalesce(style, 0) % 1000
    WHEN 0 THEN to_char(v, 'Mon ') || lpad(extract(day FROM v)::text, 2) || to_char(v, ' YYYY ')
                || lpad(to_char(v, 'FMHH12'), 2) || to_char(v, ':MIAM')
    WHEN 100 THEN mz_text(v, 0)
    WHEN 1 THEN to_char(v, 'MM/DD/YY') WHEN 101 THEN to_char(v, 'MM/DD/YYYY')
    WHEN 2 THEN to_char(v, 'YY.MM.DD') WHEN 102 THEN to_char(v, 'YYYY.MM.DD')
    WHEN 3 THEN to_char(v, 'DD/MM/YY') WHEN 103 THEN to_char(v, 'DD/MM/YYYY')
    WHEN 4 THEN to_char(v, 'DD.MM.YY') WHEN 104 THEN to_char(v, 'DD.MM.YYYY')
    WHEN 5 THEN to_char(v, 'DD-MM-YY') WHEN 105 THEN to_char(v, 'DD-MM-YYYY')
    WHEN 10 THEN to_char(v, 'MM-DD-YY') WHEN 110 THEN to_char(v, 'MM-DD-YYYY')
    WHEN 11 THEN to_char(v, 'YY/MM/DD') WHEN 111 THEN to_char(v, 'YYYY/MM/DD')
    WHEN 12 THEN to_char(v, 'YYMMDD') WHEN 112 THEN to_char(v, 'YYYYMMDD')
    WHEN 8 THEN to_char(v, 'HH24:MI:SS') WHEN 108 THEN to_char(v, 'HH24:MI:SS')
    WHEN 23 THEN to_char(v, 'YYYY-MM-DD')
    WHEN 20 THEN to_char(v, 'YYYY-MM-DD HH24:MI:SS') WHEN 120 THEN to_char(v, 'YYYY-MM-DD HH24:MI:SS')
    WHEN 21 THEN to_char(v, 'YYYY-MM-DD HH24:MI:SS.MS')
    WHEN 121 THEN to_char(v, 'YYYY-MM-DD HH24:MI:SS.MS')
END $$;
CREATE FUNCTION mz_text(v numeric, style integer DEFAULT NULL) RETURNS text
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS
    $$SELECT CASE WHEN position('.' IN v::text) > 0 THEN rtrim(rtrim(v::text, '0'), '.')
                  ELSE v::text END$$;
CREATE FUNCTION mz_text(v text, style integer DEFAULT NULL) RETURNS text
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT v';
CREATE FUNCTION mz_text(v smallint, style integer DEFAULT NULL) RETURNS text
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT v::text';
CREATE FUNCTION mz_text(v integer, style integer DEFAULT NULL) RETURNS text
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT v::text';
CREATE FUNCTION mz_text(v bigint, style integer DEFAULT NULL) RETURNS text
    LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT v::text';
CREATE FUNCTION mz_text(v anynonarray, style integer DEFAULT NULL) RETURNS text
    LANGUAGE sql STABLE PARALLEL SAFE AS 'SELECT v::text';

-- convert(int, x), convert(money, x), convert(bit, x): '' is 0, fractions are cut off.
CREATE FUNCTION mz_number(v text) RETURNS numeric
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS
    $$SELECT CASE WHEN btrim(v) = '' THEN 0 ELSE btrim(v)::numeric END$$;
CREATE FUNCTION mz_number(v numeric) RETURNS numeric
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v';
CREATE FUNCTION mz_int(v text) RETURNS bigint
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT trunc(mz_number(v))::bigint';
CREATE FUNCTION mz_int(v numeric) RETURNS bigint
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT trunc(v)::bigint';
CREATE FUNCTION mz_bit_of(v text) RETURNS smallint
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS
    $$SELECT CASE lower(btrim(v)) WHEN 'true' THEN 1 WHEN 'false' THEN 0
              ELSE (mz_number(v) <> 0)::integer END::smallint$$;
CREATE FUNCTION mz_bit_of(v numeric) RETURNS smallint
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT (v <> 0)::integer::smallint';

-- convert(datetime, x [, style]): text read month first unless the style puts the day first.
CREATE FUNCTION mz_datetime(v text, style integer DEFAULT NULL) RETURNS timestamp(0)
    LANGUAGE sql STABLE STRICT PARALLEL SAFE AS
    $$SELECT CASE WHEN coalesce(style, 0) % 100 BETWEEN 3 AND 5
                  THEN to_timestamp(btrim(v), 'DD/MM/YYYY HH24:MI:SS')::timestamp(0)
                  ELSE btrim(v)::timestamp(0) END$$;
CREATE FUNCTION mz_datetime(v timestamp, style integer DEFAULT NULL) RETURNS timestamp(0)
    LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v::timestamp(0)';
)sql";

}  // namespace

const SqlDialect& PostgresDialect() {
    static const SqlDialect dialect{
        "PostgreSQL",
        {
            {{"datetime", "(", "'now'", ",", "'localtime'", ")"}, "LOCALTIMESTAMP(0)"},
            {{"date", "(", "'now'", ",", "'localtime'", ")"}, "CURRENT_DATE"},
            {{"ifnull"}, "coalesce"},
            // A trigger's refusal, a statement whose result goes nowhere in a plpgsql body.
            {{"SELECT", "mz_refuse"}, "PERFORM mz_refuse"},
            // SQLite's "a IS NOT b" compares Null as a value.
            {{"IS", "NOT", "NULL"}, "IS NOT NULL"},
            {{"IS", "NOT"}, "IS DISTINCT FROM"},
            {{"integer", "PRIMARY", "KEY", "AUTOINCREMENT"},
             "integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"},
            {{"integer", "PRIMARY", "KEY"}, "integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"},
            {{"varchar", "(", "#", ")", "COLLATE", "NOCASE"}, "citext"},
            {{"varchar", "(", "#", ")", "NOT", "NULL", "COLLATE", "NOCASE"}, "citext NOT NULL"},
            {{"varchar", "(", "#", ")", "PRIMARY", "KEY", "COLLATE", "NOCASE"},
             "citext PRIMARY KEY"},
            {{"nvarchar", "(", "#", ")", "COLLATE", "NOCASE"}, "citext"},
            {{"char", "(", "#", ")", "COLLATE", "NOCASE"}, "citext"},
            {{"text", "COLLATE", "NOCASE"}, "citext"},
            {{"COLLATE", "NOCASE"}, ""},
            {{"bit"}, "mz_bit"},
            {{"datetime"}, "timestamp(0)"},
            {{"money"}, "numeric(19,4)"},
            {{"float"}, "double precision"},
            {{"tinyint"}, "smallint"},
        },
        &PostgresLastId,
        &PostgresTrigger,
        kPrelude,
    };
    return dialect;
}

}  // namespace mz
