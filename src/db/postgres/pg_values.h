// What the server's values become: the field description of a result column and each text
// value as the Variant the embedded backend would give. A column read from a table or view of
// the report database is described by what the schema declares for it (its name in the declared
// case, its declared type and length, which the server does not keep: mz_column); any other
// column by the server's type. Private to the db layer.
#pragma once

#include <unordered_map>
#include <vector>

#include "db/backend.h"
#include "db/postgres/pg_connection.h"
#include "platform/result_set.h"

namespace mz::pg {

// The field description of a column of that type and modifier (name left empty).
FieldInfo TypeOfColumn(unsigned oid, int typmod);

// A value as the embedded engine spells it: numbers without trailing zeros, a timestamp at
// midnight as its date, a boolean as 1 or 0.
std::string BaselineText(const Result& r, int row, int column);

// The value of a column by its own type, for output parameters ("@Unique_id").
Variant StoredValue(const Result& r, int row, int column);

// Turns results into result sets for one connection, remembering which columns of which
// tables and views are bits. Not copyable: it borrows the connection.
class FieldReader {
  public:
    explicit FieldReader(Connection& conn) : conn_(conn) {}
    FieldReader(const FieldReader&) = delete;
    FieldReader& operator=(const FieldReader&) = delete;

    // Replaces out with the rows of r, positioned on the first.
    void Fill(const Result& r, ResultSet& out);
    // An empty result set with the fields of r's columns.
    ResultSet Start(const Result& r);
    // Adds the rows of r (of the columns Start was given) to out, counting them in memory.
    void Append(const Result& r, ResultSet& out, RowsMemory& memory);

  private:
    // What the schema declares for column attnum of the table or view; null when it says nothing.
    const FieldInfo* Declared(unsigned table, int attnum);

    Connection& conn_;
    // By table or view: attnum -> the declared column (type Empty when the schema has none).
    std::unordered_map<unsigned, std::vector<FieldInfo>> declared_;
};

}  // namespace mz::pg
