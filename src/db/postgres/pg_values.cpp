#include "db/postgres/pg_values.h"

#include <libpq-fe.h>

#include <charconv>
#include <memory>
#include <new>

#include "db/sql_types.h"
#include "platform/text.h"

namespace mz::pg {
namespace {

// The declared type of the embedded schema that the server's type stands for.
std::string DeclaredType(unsigned oid, int typmod) {
    switch (oid) {
        case kBool:
            return "bit";
        case kInt2:
            return "smallint";
        case kInt4:
        case kInt8:  // counts and sums of integers: read as the embedded file reads them
            return "int";
        case kFloat4:
        case kFloat8:
            return "float";
        case kNumeric: {
            // Sums and other expressions come without a modifier: a float, as on SQLite.
            if (typmod < 4) return "float";
            const int precision = ((typmod - 4) >> 16) & 0xFFFF, scale = (typmod - 4) & 0xFFFF;
            if (precision == 19 && scale == 4) return "money";
            return "numeric(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
        }
        case kDate:
        case kTimestamp:
        case kTimestampTz:
            return "datetime";
        case kVarchar:
        case kBpchar:
            return typmod > 4 ? "varchar(" + std::to_string(typmod - 4) + ")" : "varchar";
        default:
            return "varchar";
    }
}

Variant Converted(std::string_view text, Conv conv) {
    switch (conv) {
        case Conv::Int32:
        case Conv::Int16: {
            int64_t v = 0;
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
            if (ec != std::errc() || end != text.data() + text.size()) break;
            if (conv == Conv::Int16) return Variant(static_cast<int16_t>(v));
            if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
            return Variant(static_cast<double>(v));
        }
        case Conv::Boolean:
            return Variant(text == "t" || (text != "f" && text != "0"));
        case Conv::Double: {
            double d = 0;
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), d);
            if (ec == std::errc() && end == text.data() + text.size()) return Variant(d);
            break;
        }
        case Conv::Currency:
            if (auto c = Currency::Parse(text)) return Variant(*c);
            break;
        case Conv::Date:
            if (auto d = Date::Parse(text)) return Variant(*d);
            break;
        case Conv::Undecided:  // every server column has a type
        case Conv::String:
            break;
    }
    return Variant(text);
}

}  // namespace

FieldInfo TypeOfColumn(unsigned oid, int typmod) {
    return FieldInfoForDeclaredType(DeclaredType(oid, typmod));
}

std::string BaselineText(const Result& r, int row, int column) {
    std::string text(r.Text(row, column));
    switch (PQftype(r.get(), column)) {
        case kNumeric:
            if (text.find('.') != std::string::npos) {
                while (text.back() == '0') text.pop_back();
                if (text.back() == '.') text.pop_back();
            }
            return text;
        case kTimestamp:
            if (text.ends_with(" 00:00:00")) text.resize(text.size() - 9);
            return text;
        case kBool:
            return text == "t" ? "1" : "0";
        default:
            return text;
    }
}

Variant StoredValue(const Result& r, int row, int column) {
    if (r.IsNull(row, column)) return Variant::Null();
    const unsigned oid = PQftype(r.get(), column);
    const Conv conv = oid == kNumeric ? Conv::Double : ConvFor(TypeOfColumn(oid, -1).type);
    return Converted(r.Text(row, column), conv == Conv::Int16 ? Conv::Int32 : conv);
}

const FieldInfo* FieldReader::Declared(unsigned table, int attnum) {
    auto it = declared_.find(table);
    if (it == declared_.end()) {
        std::vector<FieldInfo> columns;
        Result r = conn_.Run(
            "SELECT a.attnum, m.column_name, m.declared_type FROM pg_attribute a "
            "JOIN pg_class c ON c.oid = a.attrelid JOIN mz_column m ON m.table_name = c.relname "
            "AND lower(m.column_name) = a.attname WHERE a.attrelid = $1 AND a.attnum > 0",
            {std::to_string(table)}, {kOid});
        // Raised, not taken for "nothing declared": inside a transaction a failure here (a
        // serialization conflict may come at any statement) leaves it aborted, and only a
        // raised conflict has the caller roll back and run the work again.
        if (!r.Ok()) Raise(r);
        for (int i = 0; i < r.Rows(); ++i) {
            int n = 0;
            const std::string_view text = r.Text(i, 0);
            std::from_chars(text.data(), text.data() + text.size(), n);
            if (n >= static_cast<int>(columns.size()))
                columns.resize(static_cast<size_t>(n) + 1, FieldInfo{{}, VarType::Empty});
            FieldInfo& f = columns[static_cast<size_t>(n)];
            f = FieldInfoForDeclaredType(r.Text(i, 2));
            f.name = std::string(r.Text(i, 1));
        }
        it = declared_.emplace(table, std::move(columns)).first;
    }
    const std::vector<FieldInfo>& columns = it->second;
    if (attnum <= 0 || static_cast<size_t>(attnum) >= columns.size()) return nullptr;
    const FieldInfo& f = columns[static_cast<size_t>(attnum)];
    return f.type == VarType::Empty ? nullptr : &f;
}

ResultSet FieldReader::Start(const Result& r) {
    PGresult* res = r.get();
    const int n = PQnfields(res);
    std::vector<FieldInfo> fields(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        FieldInfo& f = fields[static_cast<size_t>(i)];
        const char* name = PQfname(res, i);
        const unsigned table = PQftable(res, i);
        const FieldInfo* declared = table ? Declared(table, PQftablecol(res, i)) : nullptr;
        if (declared) {
            f = *declared;
            // An alias keeps its own spelling; the server folded the declared name only.
            if (!EqualsNoCase(f.name, name) || Lower(name) != name) f.name = name;
        } else {
            f = TypeOfColumn(PQftype(res, i), PQfmod(res, i));
            f.name = name;
        }
    }
    return ResultSet(std::move(fields));
}

void FieldReader::Append(const Result& r, ResultSet& out, RowsMemory& memory) {
    PGresult* res = r.get();
    const int n = out.FieldCount();
    std::vector<Conv> convs(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) convs[static_cast<size_t>(i)] = ConvFor(out.FieldAt(i).type);
    const int rows = PQntuples(res);
    for (int row = 0; row < rows; ++row) {
        out.AppendRowWith([&](Variant* slots) {
            for (int i = 0; i < n; ++i) {
                // Built in place (the slot is Empty), as the embedded backend does.
                std::destroy_at(slots + i);
                try {
                    // A text-format value is a terminated string, "" for Null: only an empty
                    // value needs asking whether it is Null.
                    const char* value = PQgetvalue(res, row, i);
                    ::new (static_cast<void*>(slots + i)) Variant(
                        *value == '\0' && PQgetisnull(res, row, i)
                            ? Variant::Null()
                            : Converted(std::string_view(value), convs[static_cast<size_t>(i)]));
                } catch (...) {
                    ::new (static_cast<void*>(slots + i)) Variant();
                    throw;
                }
            }
            memory.Add(slots, n);
        });
    }
}

void FieldReader::Fill(const Result& r, ResultSet& out) {
    ResultSet rs = Start(r);
    RowsMemory memory("PostgreSQL");
    Append(r, rs, memory);
    if (rs.RecordCount() > 0) rs.MoveFirst();
    out = std::move(rs);
}

}  // namespace mz::pg
