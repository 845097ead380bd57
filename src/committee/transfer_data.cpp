#include "committee/transfer_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

constexpr InsertParamDef kInsertParams[] = {
    {"@Page_amount_id", "page_amount_id"},
    {"@Sequence", "Sequence"},
    {"@Account_abbr_from", "Account_abbr_from"},
    {"@Account_abbr_to", "Account_abbr_to"},
    {"@Occur_date", "Occur_date"},
    {"@Amount", "Amount"},
    {"@Amend_code", "amend_code"},
    {"@Comments", "Comments"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_AccountFrom_Transfer, "account_abbr_from"},
    {mzML_AccountTo_Transfer, "account_abbr_to"},
    {mzML_Amount_Transfer, "amount", TextLengthDef::kPrecision},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsTransfer_Data";
    info.source_class = "clsTransfer_Data";
    info.table = "rpt_transfers";
    info.section = "TRN";
    info.new_row_tail = " where unique_id is null ";
    info.properties = clsTransfer_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.booleans_as_digits = true;
    info.clear_filter_after_add = true;
    info.notes_failure = "Transfer Notes Delete Error";
    info.is_new_rule = IsNewRule::FlagOnly;
    info.members = kMemberSection | kMemberCount | kMemberCurrentCount | kMemberBofEof |
                   kMemberNavigation | kMemberListFilter | kMemberRecSet | kMemberIsNewLet;
    return info;
}();

}  // namespace

clsTransfer_Data::clsTransfer_Data() : RecordObject(kInfo), mobNotes(std::make_shared<clsNotes>()) {
    clsNotes::Adopt(*this, mobNotes);
}

const RecordClassInfo& clsTransfer_Data::ClassInfo() {
    return kInfo;
}

bool clsTransfer_Data::GetDataList(int32_t ReportID, bool IsAudit) {
    std::string sql;
    if (ReportID != -1) {
        SetIsNewFlag(false);
        const std::string view = listq::RefView(Info().table);
        sql =
            "select distinct f.*, pa.actual_page_number, pa.current_page_number, "
            "pa.current_page_amount from " +
            view + " f ";
        sql += listq::PageAmountJoin(ReportID, IsAudit);
        sql += listq::ReportCondition(ReportID);
        sql += listq::VersionFilter(view, IsAudit);
        sql += "order by pa.actual_page_number, f.sequence ";
    }
    return LoadList("GetDataList", sql);
}

int32_t clsTransfer_Data::GetNewSequence(int32_t ReportID, const std::string&, bool IsAudit) {
    return NextNumber("GetNewSequence", listq::NewSequence(Info().table, ReportID, IsAudit, "", ""),
                      "sequence");
}

}  // namespace mz
