// What the server's values become: the field description of a result column (by its type, and
// for columns of the mz_bit domain, which the server reports as smallint, by the column it reads)
// and each text value as the Variant the embedded backend would give. Private to the db layer.
#pragma once

#include <unordered_map>
#include <vector>

#include "db/postgres/pg_connection.h"
#include "platform/result_set.h"

namespace mz::pg {

// The field description of a column of that type and modifier (name left empty).
FieldInfo TypeOfColumn(unsigned oid, int typmod);

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

  private:
    bool IsBit(unsigned table, int column);

    Connection& conn_;
    std::unordered_map<unsigned, std::vector<bool>> bits_;  // by table: attnum -> mz_bit
};

}  // namespace mz::pg
