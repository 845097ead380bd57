// A report version exported as CSV and as JSON, read back with independent readers (libcsv and
// nlohmann-json): every section a file, every row the version shows in page and sequence order,
// business columns and names first, texts with quotes, commas and line breaks intact, Null apart
// from the empty text, every JSON key once.
#include "history/report_export.h"

#include <csv.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>

#include "receipts/receipt_data.h"
#include "report/page_amount.h"
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

// Parses JSON text, failing the test for an object that has a key twice (a reader would keep one
// of the values and lose the other).
nlohmann::json ParseUniqueKeys(const std::string& text) {
    std::vector<std::set<std::string>> objects;
    return nlohmann::json::parse(
        text, [&](int, nlohmann::json::parse_event_t event, nlohmann::json& value) {
            using E = nlohmann::json::parse_event_t;
            if (event == E::object_start) objects.emplace_back();
            if (event == E::object_end) objects.pop_back();
            if (event == E::key) {
                EXPECT_TRUE(objects.back().insert(value.get<std::string>()).second)
                    << "key " << value << " twice";
            }
            return true;
        });
}

TEST(ReportExport, EverySectionRoundTripsThroughCsvAndJsonReaders) {
    test::ReportDb rdb;
    const int32_t filed = rdb.NewReport();
    auto r = rdb.Object<clsReceipt_Data>(filed);
    const std::vector<std::string> texts = {"signs, \"big\" ones\r\nand flyers", "", "plain",
                                            "naïve café, 5\" wide"};
    // Sequences 3, none, 2, 1, and the third on page 1: the export's order is texts 1, 3, 0
    // (no page, Null first, then by sequence), then 2.
    const std::vector<int32_t> sequences = {3, 0, 2, 1};
    const std::vector<size_t> order = {1, 3, 0, 2};
    const int32_t donor = rdb.Person("Chen", "Li");
    auto pages = rdb.Object<clsPage_Amount>(filed);
    test::AddRow(*pages, {{"ReportID", filed},
                          {"ReportSectionCode", "rec"},
                          {"ActualPageNumber", "1"},
                          {"CurrentPageNumber", "1"}});
    const int32_t page = pages->GroupID();
    std::vector<int32_t> ids;
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_TRUE(r->GetData());
        r->ReportID(filed);
        r->ReceiptCode("GNS");
        r->Amount(Currency::FromDouble(12.5));
        r->Description(texts[i]);  // "" is stored as Null
        if (sequences[i]) r->Sequence(sequences[i]);
        if (i == 0) r->EntityID(donor);
        if (i == 2) r->PageAmountID(page);
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
    // The page and the business columns first, each entity followed by its name, the version
    // columns last.
    EXPECT_EQ(header[0], "page_number");
    EXPECT_EQ(header[1], "sequence");
    EXPECT_EQ(column("full_name"), column("entity_id") + 1);
    EXPECT_EQ(column("reimbursee_full_name"), column("reimbursee_entity_id") + 1);
    EXPECT_LT(column("Receipt_type_desc"), column("unique_id"));
    EXPECT_EQ(header.back(), "ref_is_audit");
    ASSERT_LT(column("Description"), static_cast<long>(header.size()));
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t i = order[k];
        const auto& row = receipts[k + 1];
        ASSERT_EQ(row.size(), header.size());
        EXPECT_EQ(row[column("unique_id")], std::to_string(ids[i]));
        EXPECT_EQ(row[column("Description")],
                  texts[i].empty() ? std::nullopt : std::optional<std::string>(texts[i]));
        EXPECT_EQ(row[column("Amount")], "12.5");
        EXPECT_EQ(row[column("Purpose")],
                  texts[i] == "plain" ? std::optional<std::string>("") : std::nullopt);
        EXPECT_EQ(row[column("full_name")],
                  i == 0 ? std::optional<std::string>("Li Chen") : std::nullopt);
        EXPECT_EQ(row[0], i == 2 ? std::optional<std::string>("1") : std::nullopt);
    }

    // The audit version exports its audit list: the auditor's row in place of the filed one.
    files.clear();
    ASSERT_EQ(ExportReport(db, audit, dir, ExportFormat::kJson, &files), "");
    for (const std::string& f : files) ParseUniqueKeys(FileText(f));
    const nlohmann::json j = ParseUniqueKeys(FileText(dir + "/rpt_Receipts.json"));
    EXPECT_EQ(j["table"], "rpt_Receipts");
    EXPECT_EQ(j["class"], "clsReceipt_Data");
    EXPECT_EQ(j["report_id"], audit);
    ASSERT_EQ(j["rows"].size(), texts.size());
    std::vector<std::string> shown;
    for (const auto& row : j["rows"])
        shown.push_back(row["Description"].is_null() ? "Null"
                                                     : row["Description"].get<std::string>());
    EXPECT_EQ(shown, (std::vector<std::string>{"Null", texts[3], "audited", "plain"}));
    EXPECT_EQ(j["rows"][0]["Amount"], 12.5);
    EXPECT_EQ(j["columns"].size(), header.size());

    EXPECT_EQ(ExportReport(db, 99, dir, ExportFormat::kCsv), "Report 99 does not exist.");
}

}  // namespace
}  // namespace mz
