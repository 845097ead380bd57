#include "db/lookup_tables.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "db/backend.h"
#include "db/postgres/postgres_backend.h"
#include "db/schema_files.h"
#include "db/sql_types.h"
#include "platform/date.h"
#include "platform/text.h"

namespace mz {
namespace {

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

Statement Prepare(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
    return Statement(s, &sqlite3_finalize);
}

std::string Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return "";
    return sqlite3_errmsg(db);
}

// A seed file's table: its name without ".csv".
std::string SeedTable(const SchemaFile& seed) {
    return std::string(seed.name.substr(0, seed.name.size() - 4));
}

// The table a lookup file loads, when it is named as one of the seed files.
std::optional<std::string> LookupTableOf(std::string_view file_name) {
    for (const SchemaFile& seed : SeedFiles())
        if (seed.name == file_name) return SeedTable(seed);
    return std::nullopt;
}

// ---- reading CSV ------------------------------------------------------------------------------

struct CsvRecord {
    std::vector<std::optional<std::string>> fields;  // nullopt: an empty field without quotes
    int line = 0;                                    // where the record starts
};

class CsvReader {
  public:
    explicit CsvReader(std::string_view text) : text_(text) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);  // a spreadsheet's BOM
    }

    // The next record, skipping blank lines; false at the end or with error set. A NUL byte is
    // refused: no engine keeps it in a text, and one would cut the value short.
    bool Next(CsvRecord& record, std::string& error) {
        if (const size_t nul = text_.find('\0', pos_); nul != std::string_view::npos) {
            const int line = line_ + static_cast<int>(std::count(
                                         text_.begin() + static_cast<std::ptrdiff_t>(pos_),
                                         text_.begin() + static_cast<std::ptrdiff_t>(nul), '\n'));
            error = "line " + std::to_string(line) + ": a NUL byte (is it a text file?)";
            return false;
        }
        while (pos_ < text_.size() && (text_[pos_] == '\n' || text_[pos_] == '\r')) NewLine();
        if (pos_ >= text_.size()) return false;
        record.fields.clear();
        record.line = line_;
        while (true) {
            if (pos_ < text_.size() && text_[pos_] == '"') {
                if (!Quoted(record, error)) return false;
            } else {
                size_t end = pos_;
                while (end < text_.size() && text_[end] != ',' && text_[end] != '\n' &&
                       text_[end] != '\r')
                    ++end;
                if (end == pos_) {
                    record.fields.emplace_back(std::nullopt);
                } else {
                    record.fields.emplace_back(std::string(text_.substr(pos_, end - pos_)));
                }
                pos_ = end;
            }
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size()) NewLine();
            return true;
        }
    }

  private:
    bool Quoted(CsvRecord& record, std::string& error) {
        const int start = line_;
        std::string value;
        ++pos_;
        while (true) {
            if (pos_ >= text_.size()) {
                error = "line " + std::to_string(start) + ": a quoted field has no closing quote";
                return false;
            }
            const char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {
                    value += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
            if (c == '\n') ++line_;
            value += c;
        }
        if (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\n' &&
            text_[pos_] != '\r') {
            error = "line " + std::to_string(line_) + ": text after the closing quote of a field";
            return false;
        }
        record.fields.emplace_back(std::move(value));
        return true;
    }

    void NewLine() {
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
        ++line_;
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
};

// ---- loading one file -------------------------------------------------------------------------

using Column = LookupColumn;

std::vector<Column> TableColumns(sqlite3* db, const std::string& table) {
    std::vector<Column> columns;
    Statement s = Prepare(db, "PRAGMA table_info(" + SqlQuoted(table, '"') + ")");
    while (s && sqlite3_step(s.get()) == SQLITE_ROW) {
        Column c;
        c.name = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1));
        const unsigned char* type = sqlite3_column_text(s.get(), 2);
        const std::string declared = type ? reinterpret_cast<const char*>(type) : "";
        c.info = FieldInfoForDeclaredType(declared);
        c.has_default = sqlite3_column_type(s.get(), 4) != SQLITE_NULL;
        const bool key = sqlite3_column_int(s.get(), 5) != 0;
        c.integer_key = key && Lower(declared) == "integer";
        // The engine lets a key of another type be Null, which no lookup row's key may be.
        c.not_null = sqlite3_column_int(s.get(), 3) != 0 || (key && !c.integer_key);
        columns.push_back(std::move(c));
    }
    return columns;
}

size_t Characters(std::string_view text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The value of a field as the column stores it, or an error text naming what is wrong with it.
std::string Convert(const Column& c, const std::string& text, Variant& out) {
    const std::string shown = "column " + c.name + ": \"" + text + "\" ";
    switch (c.info.type) {
        case VarType::Date:
            if (auto d = Date::Parse(text)) {
                out = Variant(d->ToIso());
                return "";
            }
            return shown + "is not a date (yyyy-mm-dd or m/d/yyyy)";
        case VarType::Boolean: {
            const std::string low = Lower(text);
            if (low == "1" || low == "true" || low == "0" || low == "false") {
                out = Variant(int32_t{low == "1" || low == "true" ? 1 : 0});
                return "";
            }
            return shown + "is not a bit (0 or 1)";
        }
        case VarType::Int16:
        case VarType::Int32: {
            const bool small = c.info.type == VarType::Int16;
            const int64_t least = small ? INT16_MIN : INT32_MIN,
                          most = small ? INT16_MAX : INT32_MAX;
            int64_t v = 0;
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
            if (ec == std::errc() && end == text.data() + text.size() && v >= least && v <= most) {
                out = Variant(static_cast<double>(v));
                return "";
            }
            return shown + "is not a whole number from " + std::to_string(least) + " to " +
                   std::to_string(most);
        }
        case VarType::Double:
        case VarType::Currency: {
            char* end = nullptr;
            const double v = std::strtod(text.c_str(), &end);
            if (!text.empty() && end == text.c_str() + text.size()) {
                out = Variant(v);
                return "";
            }
            return shown + "is not a number";
        }
        default:
            if (c.info.defined_size > 0 &&
                Characters(text) > static_cast<size_t>(c.info.defined_size))
                return shown + "is longer than its " + std::to_string(c.info.defined_size) +
                       " characters";
            out = Variant(text);
            return "";
    }
}

void Bind(sqlite3_stmt* s, int i, const Variant& v) {
    switch (v.Type()) {
        case VarType::Int32:
            sqlite3_bind_int(s, i, v.GetInt32());
            break;
        case VarType::Double: {
            const double d = v.GetDouble();
            if (d == static_cast<double>(static_cast<int64_t>(d))) {
                sqlite3_bind_int64(s, i, static_cast<int64_t>(d));
            } else {
                sqlite3_bind_double(s, i, d);
            }
            break;
        }
        case VarType::String:
            sqlite3_bind_text(s, i, v.GetString().data(), static_cast<int>(v.GetString().size()),
                              SQLITE_TRANSIENT);
            break;
        default:
            sqlite3_bind_null(s, i);
    }
}

// The embedded file as a lookup store.
class SqliteLookupStore final : public LookupStore {
  public:
    explicit SqliteLookupStore(sqlite3* db, bool owned = false) : db_(db), owned_(owned) {}
    ~SqliteLookupStore() override {
        insert_.reset();
        if (owned_) sqlite3_close_v2(db_);
    }
    SqliteLookupStore(const SqliteLookupStore&) = delete;
    SqliteLookupStore& operator=(const SqliteLookupStore&) = delete;
    std::vector<LookupColumn> Columns(const std::string& table) override {
        return TableColumns(db_, table);
    }
    std::string Exec(const std::string& sql) override { return mz::Exec(db_, sql.c_str()); }
    std::string Insert(const std::string& table, const std::vector<const LookupColumn*>& columns,
                       const std::vector<Variant>& values) override {
        if (table != table_) {
            std::string sql = "INSERT INTO " + SqlQuoted(table, '"') + " (";
            std::string marks;
            for (size_t i = 0; i < columns.size(); ++i) {
                sql += (i ? ", " : "") + SqlQuoted(columns[i]->name, '"');
                marks += (i ? ", ?" : "?");
            }
            insert_ = Prepare(db_, sql + ") VALUES (" + marks + ")");
            if (!insert_) return sqlite3_errmsg(db_);
            table_ = table;
        }
        sqlite3_reset(insert_.get());
        for (size_t i = 0; i < values.size(); ++i)
            Bind(insert_.get(), static_cast<int>(i) + 1, values[i]);
        return sqlite3_step(insert_.get()) == SQLITE_DONE ? "" : sqlite3_errmsg(db_);
    }
    std::string Read(const std::string& table, std::vector<std::string>& names,
                     std::vector<Row>& rows) override {
        Statement s = Prepare(db_, "SELECT * FROM " + SqlQuoted(table, '"') + " ORDER BY rowid");
        if (!s) return sqlite3_errmsg(db_);
        const int n = sqlite3_column_count(s.get());
        for (int i = 0; i < n; ++i) names.emplace_back(sqlite3_column_name(s.get(), i));
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            Row& row = rows.emplace_back();
            for (int i = 0; i < n; ++i) {
                switch (sqlite3_column_type(s.get(), i)) {
                    case SQLITE_NULL:
                        row.emplace_back();
                        break;
                    case SQLITE_FLOAT: {
                        char buf[32];
                        std::snprintf(buf, sizeof buf, "%.15g", sqlite3_column_double(s.get(), i));
                        row.emplace_back(buf);
                        break;
                    }
                    default:  // integers read as their digits
                        row.emplace_back(std::string(
                            reinterpret_cast<const char*>(sqlite3_column_text(s.get(), i)),
                            static_cast<size_t>(sqlite3_column_bytes(s.get(), i))));
                }
            }
        }
        return rc == SQLITE_DONE ? "" : sqlite3_errmsg(db_);
    }

  private:
    sqlite3* db_;
    bool owned_;
    std::string table_;
    Statement insert_{nullptr, &sqlite3_finalize};
};

// Replaces the rows of table with those of the CSV text. Errors start with the line.
std::string LoadTable(LookupStore& store, const std::string& table, std::string_view text) {
    const std::vector<Column> columns = store.Columns(table);
    if (columns.empty()) return "the database has no table " + table;
    CsvReader reader(text);
    CsvRecord header;
    std::string error;
    if (!reader.Next(header, error))
        return error.empty() ? "the file is empty; its first line names the columns" : error;

    std::vector<const Column*> order;  // the column of each field
    for (const auto& name : header.fields) {
        const std::string wanted = Lower(name.value_or(""));
        auto it = std::find_if(columns.begin(), columns.end(),
                               [&](const Column& c) { return Lower(c.name) == wanted; });
        if (it == columns.end())
            return "line 1: " + table + " has no column \"" + name.value_or("") + "\"";
        if (std::find(order.begin(), order.end(), &*it) != order.end())
            return "line 1: column " + it->name + " is named twice";
        order.push_back(&*it);
    }
    for (const Column& c : columns) {
        if (c.not_null && !c.has_default && !c.integer_key &&
            std::find(order.begin(), order.end(), &c) == order.end())
            return "line 1: column " + c.name + " is missing (it may not be empty)";
    }

    if (std::string e = store.Exec("DELETE FROM " + SqlQuoted(table, '"')); !e.empty()) return e;
    CsvRecord record;
    std::vector<Variant> values(order.size());
    while (reader.Next(record, error)) {
        const std::string where = "line " + std::to_string(record.line) + ": ";
        if (record.fields.size() != order.size())
            return where + std::to_string(record.fields.size()) + " values for " +
                   std::to_string(order.size()) + " columns";
        for (size_t i = 0; i < order.size(); ++i) {
            values[i] = Variant::Null();
            if (record.fields[i]) {
                if (std::string e = Convert(*order[i], *record.fields[i], values[i]); !e.empty())
                    return where + e;
            } else if (order[i]->not_null && !order[i]->integer_key) {
                return where + "column " + order[i]->name + " may not be empty";
            }
        }
        if (std::string e = store.Insert(table, order, values); !e.empty()) return where + e;
    }
    return error;
}

// ---- writing CSV ------------------------------------------------------------------------------

void WriteField(std::ostream& out, const std::optional<std::string>& value) {
    if (!value) return;
    const std::string& text = *value;
    const bool quote = text.empty() || text.find_first_of(",\"\n\r") != text.npos ||
                       text.front() == ' ' || text.back() == ' ';
    if (!quote) {
        out << text;
        return;
    }
    out << '"';
    for (char c : text) out << (c == '"' ? "\"\"" : std::string_view(&c, 1));
    out << '"';
}

// The lookup tables of the report database at db_path, a file or a server's connection string;
// null with the reason set, the one every command gives (a missing file, a folder, another kind
// of database, a newer or older schema version...), when it is not one this library may write.
std::unique_ptr<LookupStore> OpenLookupStore(const std::string& db_path, std::string& error) {
    ConnectionSettings settings;
    settings.database_name = db_path;
    if (!FindBackend("")(settings, error)) {
        if (error.empty()) error = "\"" + db_path + "\" cannot be opened.";
        return nullptr;
    }
    if (IsServerConnection(db_path)) return OpenPostgresLookupStore(db_path, error);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(db_path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        error = "Cannot open \"" + db_path + "\": " + sqlite3_errmsg(db) + ".";
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 5000);
    return std::make_unique<SqliteLookupStore>(db, true);
}

// The longest lookup file: a thousand times the longest of the seed.
constexpr uintmax_t kLookupFileLimit = uintmax_t{16} << 20;

// The text of a lookup file, or why it cannot be one ("" when read): a folder or a device named
// like one, a file longer than kLookupFileLimit, a file that cannot be read.
std::string ReadLookupFile(const std::filesystem::path& path, std::string& text) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec) return "cannot be read: " + ec.message();
    if (status.type() == std::filesystem::file_type::directory)
        return "is a folder, not a lookup file";
    if (status.type() != std::filesystem::file_type::regular)
        return "is not a regular file, so not a lookup file";
    std::ifstream in(path, std::ios::binary);
    text.resize(kLookupFileLimit + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad() || !in.eof()) {
        text.clear();
        return in.bad() ? "cannot be read"
                        : "is longer than the " + std::to_string(kLookupFileLimit >> 20) +
                              " MB a lookup file may be";
    }
    text.resize(static_cast<size_t>(in.gcount()));
    return "";
}

}  // namespace

std::string LoadLookupSeed(sqlite3* db) {
    SqliteLookupStore store(db);
    return LoadLookupSeed(store);
}

std::string LoadLookupSeed(LookupStore& store) {
    for (const SchemaFile& seed : SeedFiles()) {
        if (std::string e = LoadTable(store, SeedTable(seed), seed.text); !e.empty())
            return std::string(seed.name) + " " + e;
    }
    return store.Renumbered();
}

std::string ImportLookupTables(const std::string& db_path, const std::string& dir) {
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
        if (entry.path().extension() == ".csv") files.push_back(entry.path());
    if (ec) return "cannot read the folder \"" + dir + "\": " + ec.message();
    if (files.empty()) return "no lookup files (<table>.csv) in \"" + dir + "\"";
    std::sort(files.begin(), files.end());

    std::string error;
    std::unique_ptr<LookupStore> store = OpenLookupStore(db_path, error);
    if (!store) return error;
    // On the server an import runs alone, after the clerks' writes at work (postgres_backend.cpp).
    error =
        store->Exec(IsServerConnection(db_path)
                        ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ WRITE; LOCK TABLE mz_writer "
                          "IN ACCESS EXCLUSIVE MODE"
                        : "BEGIN IMMEDIATE");
    for (const auto& path : files) {
        if (!error.empty()) break;
        const std::string name = path.filename().string();
        const std::optional<std::string> table = LookupTableOf(name);
        if (!table) {
            error = name + ": " + path.stem().string() + " is not a lookup table";
            break;
        }
        std::string text;
        if (std::string unread = ReadLookupFile(path, text); !unread.empty()) {
            error = name + ": " + unread;
        } else if (std::string e = LoadTable(*store, *table, text); !e.empty()) {
            error = name + " " + e;
        }
    }
    if (error.empty()) error = store->Renumbered();
    if (error.empty()) error = store->Exec("COMMIT");
    if (!error.empty()) store->Exec("ROLLBACK");
    return error;
}

std::string ExportLookupTables(const std::string& db_path, const std::string& dir) {
    std::string error;
    std::unique_ptr<LookupStore> store = OpenLookupStore(db_path, error);
    if (!store) return error;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const SchemaFile& seed : SeedFiles()) {
        const std::string table = SeedTable(seed);
        std::vector<std::string> names;
        std::vector<LookupStore::Row> rows;
        if (std::string e = store->Read(table, names, rows); !e.empty()) return table + ": " + e;
        std::ostringstream out;
        for (size_t i = 0; i < names.size(); ++i) out << (i ? "," : "") << names[i];
        out << '\n';
        for (const LookupStore::Row& row : rows) {
            for (size_t i = 0; i < row.size(); ++i) {
                if (i) out << ',';
                WriteField(out, row[i]);
            }
            out << '\n';
        }
        const std::filesystem::path path = std::filesystem::path(dir) / seed.name;
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << out.str();
        if (!file) return "cannot write \"" + path.string() + "\"";
    }
    return "";
}

}  // namespace mz
