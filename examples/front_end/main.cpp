// A small front end over the installed library: loads a report's receipts, enters a contributor,
// adds a receipt from her, saves it and prints the receipt list as the entry screen shows it.
//   receipts_front_end DB REPORT_ID
// DB is a report database (mzreport init DB; mzreport report DB new files report 1).
#include <cstdio>
#include <string>

#include "names/name_address.h"
#include "platform/currency.h"
#include "platform/error.h"
#include "receipts/receipt_data.h"

namespace {

// The list of the report's receipts, by page and sequence, and how many there are.
void PrintReceipts(mz::clsReceipt_Data& receipts, int32_t report) {
    if (!receipts.GetDataReceiptList(2, report)) {
        std::printf("report %d: no receipts\n", report);
        return;
    }
    std::printf("report %d: %d receipt(s)\n", report, receipts.Count());
    mz::ResultSet& rows = *receipts.mRecSet();
    for (rows.MoveFirst(); !rows.EOF(); rows.MoveNext()) {
        std::printf("  %-20s %10s  %s\n", rows.Value("full_name").ToText().c_str(),
                    rows.Value("Amount").ToText().c_str(),
                    rows.Value("Receipt_type_desc").ToText().c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: receipts_front_end DB REPORT_ID\n");
        return 2;
    }
    const std::string db = argv[1];
    const int32_t report = std::stoi(argv[2]);
    try {
        mz::clsReceipt_Data receipts;
        if (!receipts.ConnectionVariables(db, "", "", "", false, argv[2])) {
            std::fprintf(stderr, "cannot open the report database %s\n", db.c_str());
            return 1;
        }
        PrintReceipts(receipts, report);

        mz::NameAddress names;
        names.ConnectionVariables(db, "", "", "", false);
        mz::NameAddressEntry donor;
        donor.last_name = "Rivera";
        donor.first_name = "Ana";
        donor.occupation = "Teacher";
        std::string error;
        if (names.Save(donor, error) < 0) {
            std::fprintf(stderr, "the contributor was not saved: %s\n", error.c_str());
            return 1;
        }

        receipts.GetData();  // a new, blank receipt
        receipts.ReportID(report);
        receipts.ReceiptCode("ind");
        receipts.EntityID(donor.unique_id);
        receipts.Amount(mz::Currency::FromDouble(25));
        receipts.TransDate("05/01/2020");
        if (!receipts.SaveData()) {
            std::fprintf(stderr, "the receipt was not saved\n");
            return 1;
        }
        std::printf("saved receipt %d from %s\n", receipts.UniqueID(), receipts.FullName().c_str());
        PrintReceipts(receipts, report);
        return 0;
    } catch (const mz::Error& e) {
        std::fprintf(stderr, "Error %d: %s [%s]\n", e.Number(), e.Description().c_str(),
                     e.Source().c_str());
        return 1;
    }
}
