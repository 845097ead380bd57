#include "receipts/gns_items_data.h"

#include "core/list_query.h"

namespace mz {

// --- what both kinds of receipt items share ----------------------------------------------------

std::string ReceiptItemObject::CurrentReportItems(std::string_view alias, int32_t ReceiptID,
                                                  bool IsAudit) const {
    return listq::ItemCondition("where ", alias, CurrReportID(), "receipt_id", ReceiptID,
                                listq::RefView(Info().table), IsAudit);
}

bool ReceiptItemObject::GetDataList(int32_t ReceiptID, bool IsAudit) {
    std::string sql;
    if (ReceiptID != -1) {
        SetIsNewFlag(false);
        sql = "select * from " + listq::RefView(Info().table) + " f ";
        sql += CurrentReportItems("f", ReceiptID, IsAudit);
        sql += "order by f.sequence ";
    }
    return LoadList("GetDataList", sql);
}

int32_t ReceiptItemObject::GetNewSequence(int32_t ReportID, int32_t ReceiptID, bool IsAudit) {
    return NextNumber("GetNewSequence",
                      listq::NewSequence(Info().table, ReportID, IsAudit,
                                         "and f.receipt_id = " + std::to_string(ReceiptID) + " "),
                      "Sequence");
}

// --- clsGnSItems_Data ----------------------------------------------------------------------------

namespace {

constexpr InsertParamDef kInsertParams[] = {
    {"@page_amount_id", "page_amount_id"},
    {"@sequence", "Sequence"},
    {"@Receipt_id", "receipt_id"},
    {"@Account_abbr", "account_abbr"},
    {"@Total_count", "total_count"},
    {"@Check_count", "check_count"},
    {"@Cash_count", "cash_count"},
    {"@Other_count", "other_count"},
    {"@Description", "Description"},
    {"@Occur_date", "Occur_date"},
    {"@Individual_amount", "individual_amount"},
    {"@Amount", "Amount"},
    {"@Amend_code", "amend_code"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_AccountAbbr_GnSItems, "account_abbr"},
    {mzML_Description_GnSItems, "description"},
    {mzML_IndividualAmount_GnSItems, "individual_amount", TextLengthDef::kPrecision},
    {mzML_Amount_GnSItems, "amount", TextLengthDef::kPrecision},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsGnSItems_Data";
    info.source_class = "clsGnSItems_Data";
    info.table = "rpt_gns_items";
    info.section = "GIT";
    info.row_tail = " Where unique_id = ";
    info.new_row_tail = " where unique_id is null ";
    info.properties = clsGnSItems_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.booleans_as_digits = true;
    info.clear_filter_after_add = true;
    // Items have no current-row test: without a row, reading its report_id fails and that error
    // takes the delete's error path (raised to the caller with this class's source).
    info.delete_tests_ready = false;
    info.members = kMemberSection | kMemberCurrentCount | kMemberBofEof | kMemberNavigation |
                   kMemberListFilter | kMemberRecSet | kMemberIsNewLet;
    return info;
}();

}  // namespace

clsGnSItems_Data::clsGnSItems_Data() : ReceiptItemObject(kInfo) {}

const RecordClassInfo& clsGnSItems_Data::ClassInfo() {
    return kInfo;
}

}  // namespace mz
