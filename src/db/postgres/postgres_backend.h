// A report database on a PostgreSQL server, behind the same Backend contract as the embedded
// file (libpq). Private to the db layer.
//
// Connecting: the libpq connection string or URI in Source (or in DatabaseName when Source is
// empty); a DatabaseName that is not itself a connection string names the database. UsrName and
// Pass are the user and password unless UseTrusted is True, when libpq's own defaults apply (the
// PGUSER, PGPASSWORD, PGHOST... variables and ~/.pgpass).
//
// Writing transactions are REPEATABLE READ: each sees one snapshot of the report, and a save
// conflicts with another clerk's only when both change or delete the same row (the second to
// change it loses); saves of different rows never conflict, whatever pages of the tables and
// indexes they share. A procedure call made outside a transaction that loses a conflict or a
// deadlock is run again (it is all of its transaction, so nothing else is repeated); inside the
// caller's transaction the conflict is raised as a clear mz::Error and the caller's transaction
// must be rolled back. Writers share a lock (mz_writer); the next writing transaction of a
// connection that lost a conflict takes it alone, so a rerun cannot lose again.
//
// Roles (made by CreatePostgresReportDatabase): a query runs as kReaderRole, which may only read
// the report's tables and views, in a read-only transaction (a read-only savepoint inside the
// caller's transaction) that is rolled back after it, so the server itself refuses writes and
// undoes anything else a function call may have started, whatever the text. A clerk connects as
// a login granted kClerkRole (the report's rows, and kReaderRole); an administrator as a
// superuser. A user who may not act as kReaderRole cannot open the database.
//
// Engine failures raise mz::Error with source "PostgreSQL" and number 0x80040000 plus the
// SQLSTATE read as a number (digits as decimal, a code with letters in base 36, below 0x10000);
// the description starts with the SQLSTATE in brackets.
#pragma once

#include <memory>
#include <string>

#include "db/backend.h"
#include "db/lookup_tables.h"

namespace mz {

// The roles every report database on a server grants its rights to (see above).
constexpr const char* kReaderRole = "mz_reader";
constexpr const char* kClerkRole = "mz_clerk";

// Null with error set when the server cannot be reached or its database is not a report
// database of the known schema version.
std::unique_ptr<Backend> OpenPostgresBackend(const ConnectionSettings& settings,
                                             std::string& error);

// Creates the report database the connection string names (CREATE DATABASE through the server's
// "postgres" database when it does not exist yet), refusing one that already holds tables, and
// grants the roles their rights in it (made when the server has none yet); a superuser's work. A
// database this call created is dropped again when building fails.
std::string CreatePostgresReportDatabase(const std::string& conninfo);

namespace pg {
class Connection;
}  // namespace pg
// Prepares every statement of every stored procedure of the database being built on conn;
// "" or the first that does not prepare.
std::string CheckPostgresProcedures(pg::Connection& conn);

// The lookup tables of the report database at conninfo, for `mzreport lookups import`.
std::unique_ptr<LookupStore> OpenPostgresLookupStore(const std::string& conninfo,
                                                     std::string& error);

}  // namespace mz
