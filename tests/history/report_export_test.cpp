// A report version exported as CSV and as JSON, read back with independent readers (libcsv and
// nlohmann-json): every section a file, every row of the class's list, texts with quotes, commas
// and line breaks intact, Null apart from the empty text.
#include "history/report_export.h"

#include <csv.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "receipts/receipt_data.h"
#include "support/report_db.h"

namespace mz {
namespace {

using Csv = std::vector<std::vector<std::optional<std::string>>>;  // nullopt: an empty field

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The records of a CSV file by RFC 4180 rules, strictly: a malformed file fails the test.
Csv ReadCsv(const std::string& path) {
    struct Reader {
        Csv rows{{}};
        static void Field(void* data, size_t size, void* self) {
            static_cast<Reader*>(self)->rows.back().push_back(
                data ? std::optional<std::string>(std::string(static_cast<char*>(data), size))
                     : std::nullopt);
        }
        static void End(int, void* self) { static_cast<Reader*>(self)->rows.emplace_back(); }
    } reader;
    csv_parser parser;
    csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_EMPTY_IS_NULL);
    const std::string text = FileText(path);
    EXPECT_EQ(csv_parse(&parser, text.data(), text.size(), &Reader::Field, &Reader::End, &reader),
              text.size())
        << path << ": " << csv_strerror(csv_error(&parser));
    EXPECT_EQ(csv_fini(&parser, &Reader::Field, &Reader::End, &reader), 0) << path;
    csv_free(&parser);
    reader.rows.pop_back();  // the record the last line end opened
    return reader.rows;
}

TEST(ReportExport, EverySectionRoundTripsThroughCsvAndJsonReaders) {
    test::ReportDb rdb;
    const int32_t filed = rdb.NewReport();
    auto r = rdb.Object<clsReceipt_Data>(filed);
    const std::vector<std::string> texts = {"signs, \"big\" ones\r\nand flyers", "", "plain",
                                            "naïve café, 5\" wide"};
    std::vector<int32_t> ids;
    for (const std::string& text : texts) {
        ASSERT_TRUE(r->GetData());
        r->ReportID(filed);
        r->ReceiptCode("GNS");
        r->Amount(Currency::FromDouble(12.5));
        r->Description(text);  // "" is stored as Null
        ASSERT_TRUE(r->SaveData());
        ids.push_back(r->UniqueID());
    }
    rdb.db.Exec("update rpt_Receipts set Purpose = '' where Description = 'plain'");
    const int32_t audit = rdb.Audit(filed);
    auto a = rdb.Object<clsReceipt_Data>(audit);
    ASSERT_TRUE(a->GetData(ids[0]));
    a->Description("audited");
    ASSERT_TRUE(a->SaveData());

    DbConnect db;
    ASSERT_TRUE(db.ConnectionVariables(rdb.db.Path(), "", "", "", false));
    const std::string dir = test::TempPath("export");
    std::vector<std::string> files;
    ASSERT_EQ(ExportReport(db, filed, dir, ExportFormat::kCsv, &files), "");
    EXPECT_EQ(files.size(), std::stoul(rdb.db.Scalar("select count(*) from mz_versioned_table")));
    for (const std::string& f : files) EXPECT_FALSE(ReadCsv(f).empty()) << f;  // a header at least

    const Csv receipts = ReadCsv(dir + "/rpt_Receipts.csv");
    ASSERT_EQ(receipts.size(), texts.size() + 1);
    const auto& header = receipts[0];
    const auto column = [&](const std::string& name) {
        return std::find(header.begin(), header.end(), name) - header.begin();
    };
    ASSERT_LT(column("Description"), static_cast<long>(header.size()));
    for (size_t i = 0; i < texts.size(); ++i) {
        const auto& row = receipts[i + 1];
        ASSERT_EQ(row.size(), header.size());
        EXPECT_EQ(row[column("Description")],
                  texts[i].empty() ? std::nullopt : std::optional<std::string>(texts[i]));
        EXPECT_EQ(row[column("Amount")], "12.5");
        EXPECT_EQ(row[column("Purpose")],
                  texts[i] == "plain" ? std::optional<std::string>("") : std::nullopt);
    }

    // The audit version exports its audit list: the auditor's row in place of the filed one.
    ASSERT_EQ(ExportReport(db, audit, dir, ExportFormat::kJson), "");
    const nlohmann::json j = nlohmann::json::parse(FileText(dir + "/rpt_Receipts.json"));
    EXPECT_EQ(j["table"], "rpt_Receipts");
    EXPECT_EQ(j["class"], "clsReceipt_Data");
    EXPECT_EQ(j["report_id"], audit);
    ASSERT_EQ(j["rows"].size(), texts.size());
    std::vector<std::string> shown;
    for (const auto& row : j["rows"])
        shown.push_back(row["Description"].is_null() ? "Null"
                                                     : row["Description"].get<std::string>());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<std::string>{"Null", "audited", texts[3], "plain"}));
    EXPECT_EQ(j["rows"][0]["Amount"], 12.5);
    EXPECT_EQ(j["columns"].size(), header.size());

    EXPECT_EQ(ExportReport(db, 99, dir, ExportFormat::kCsv), "Report 99 does not exist.");
}

// Amounts of 0.01 add up exactly: a million of them summed by a query, and ten thousand receipts
// summed by a query, from their export and from their class's list, where binary fractions
// would drift (to 100.00000000000135 for the receipts).
TEST(ReportExport, AmountsAddUpExactlyThroughQueriesExportsAndTheClasses) {
    test::ReportDb rdb;
    const int32_t filed = rdb.NewReport();
    rdb.db.Exec(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
        "INSERT INTO rpt_Receipts (report_id, receipt_type_code, Amount) "
        "SELECT " +
        std::to_string(filed) + ", 'ind', 0.01 FROM n");
    rdb.db.Exec("CREATE TABLE amounts (amount money)");
    rdb.db.Exec(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
        "INSERT INTO amounts (amount) SELECT 0.01 FROM n");

    DbConnect db;
    ASSERT_TRUE(db.ConnectionVariables(rdb.db.Path(), "", "", "", false));
    for (const auto& [sql, sum] :
         {std::pair{"select sum(amount) as s from amounts", "10000"},
          std::pair{"select sum(Amount) as s from rpt_Receipts", "100"},
          std::pair{"select sum(Amount) - 100 as s from rpt_Receipts", "0"},
          std::pair{"select avg(Amount) as s from rpt_Receipts", "0.01"}}) {
        ResultSet rs;
        ASSERT_EQ(db.OpenRecordset(sql, rs), "") << sql;
        EXPECT_EQ(rs.Value(0).ToText(), sum) << sql;
        EXPECT_EQ(rs.Value(0).ToDouble(), std::stod(sum)) << sql;
    }

    const std::string dir = test::TempPath("amounts");
    ASSERT_EQ(ExportReport(db, filed, dir, ExportFormat::kCsv), "");
    const Csv receipts = ReadCsv(dir + "/rpt_Receipts.csv");
    ASSERT_EQ(receipts.size(), 10001u);
    const auto amount =
        std::find(receipts[0].begin(), receipts[0].end(), "Amount") - receipts[0].begin();
    Currency exported;
    for (size_t i = 1; i < receipts.size(); ++i) {
        EXPECT_EQ(receipts[i][amount], "0.01");
        exported += Currency::Parse(receipts[i][amount].value_or("")).value_or(Currency());
    }
    EXPECT_EQ(exported, Currency::FromRaw(100 * Currency::kScale));

    auto list = rdb.Object<clsReceipt_Data>(filed);
    ASSERT_TRUE(list->GetDataReceiptList(1, filed));
    EXPECT_EQ(list->Count(), 10000);
    Currency listed;
    for (list->MoveFirst(); !list->EOF(); list->MoveNext()) listed += list->Amount();
    EXPECT_EQ(listed, Currency::FromRaw(100 * Currency::kScale));
}

}  // namespace
}  // namespace mz
