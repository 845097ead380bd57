#include "receipts/loan_items_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

constexpr InsertParamDef kInsertParams[] = {
    {"@Entity_id", "entity_id"},     {"@page_amount_id", "page_amount_id"},
    {"@sequence", "Sequence"},       {"@Receipt_id", "receipt_id"},
    {"@Amount", "Amount"},           {"@Is_amount", "Is_Amount"},
    {"@Sum_to_date", "sum_to_date"}, {"@Share", "Share"},
    {"@Amend_code", "amend_code"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_Amount_LoanItems, "amount", TextLengthDef::kPrecision},
    {mzML_SumToDate_LoanItems, "sum_to_date", TextLengthDef::kPrecision},
    {mzML_Share_LoanItems, "share", TextLengthDef::kPrecision},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsLoanItems_Data";
    info.source_class = "clsLoanItems_Data";
    info.table = "rpt_loan_items";
    info.section = "LIT";
    info.row_tail = " Where unique_id = ";
    info.new_row_tail = " where unique_id is null ";
    info.properties = clsLoanItems_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.booleans_as_digits = true;
    info.clear_filter_after_add = true;
    info.name_address_failure = "Loan Item Name Address Delete Error";
    info.name_address_gets_report = false;
    info.members = kMemberSection | kMemberCurrentCount | kMemberBofEof | kMemberNavigation |
                   kMemberListFilter | kMemberRecSet | kMemberIsNewLet;
    return info;
}();

}  // namespace

clsLoanItems_Data::clsLoanItems_Data()
    : ReceiptItemObject(kInfo), mobNameAddress(std::make_shared<NameAddress>()) {
    AdoptNameAddress(mobNameAddress);
}

const RecordClassInfo& clsLoanItems_Data::ClassInfo() {
    return kInfo;
}

bool clsLoanItems_Data::GetDataLoanList(int32_t ReceiptID, bool IsAudit) {
    std::string sql;
    if (ReceiptID != -1) {
        SetIsNewFlag(false);
        sql = "select li.unique_id, li.page_amount_id, li.sequence, " +
              std::string(listq::kOrgOrPersonName) +
              "li.Share , li.Amount, li.sum_to_date "
              "from " +
              listq::RefView(Info().table) +
              " li "
              "left outer join rpt_name_address na on li.entity_id = na.unique_id ";
        sql += CurrentReportItems("li", ReceiptID, IsAudit);
        sql += "order by li.sequence ";
    }
    return LoadList("GetDataLoanList", sql);
}

}  // namespace mz
