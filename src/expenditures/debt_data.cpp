#include "expenditures/debt_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

constexpr InsertParamDef kInsertParams[] = {
    {"@Entity_id", "entity_id"},         {"@Page_amount_id", "page_amount_id"},
    {"@Sequence", "Sequence"},           {"@Debt_type_code", "Debt_type_code"},
    {"@Begin_balance", "begin_balance"}, {"@Incurred_amount", "incurred_amount"},
    {"@Paid_amount", "paid_amount"},     {"@End_balance", "end_balance"},
    {"@Description", "Description"},     {"@Amend_code", "amend_code"},
    {"@Comments", "Comments"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_BeginBalance_Debt, "begin_balance", TextLengthDef::kPrecision},
    {mzML_IncurredAmount_Debt, "incurred_amount", TextLengthDef::kPrecision},
    {mzML_PaidAmount_Debt, "paid_amount", TextLengthDef::kPrecision},
    {mzML_EndBalance_Debt, "end_balance", TextLengthDef::kPrecision},
    {mzML_Description_Debt, "description"},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsDebt_Data";
    info.source_class = "clsDebt_Data";
    info.table = "rpt_debts";
    info.section = "DBT";
    info.row_tail = "_detail Where unique_id = ";
    info.properties = clsDebt_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.booleans_as_digits = true;
    info.clear_filter_after_add = true;
    info.items_failure = "Debt Debt Item Delete Error";
    info.notes_failure = "Debt Notes Delete Error";
    info.name_address_failure = "Debt Name Address Delete Error";
    info.members = kMemberSection | kMemberCount | kMemberCurrentCount | kMemberBofEof |
                   kMemberNavigation | kMemberListFilter | kMemberRecSet | kMemberGetDataList;
    return info;
}();

}  // namespace

clsDebt_Data::clsDebt_Data()
    : RecordObject(kInfo),
      mobDebtItem(std::make_shared<clsDebtItem_Data>()),
      mobNotes(std::make_shared<clsNotes>()),
      mobNameAddress(std::make_shared<NameAddress>()) {
    AdoptItems(mobDebtItem);
    clsNotes::Adopt(*this, mobNotes);
    AdoptNameAddress(mobNameAddress);
}

const RecordClassInfo& clsDebt_Data::ClassInfo() {
    return kInfo;
}

bool clsDebt_Data::GetDataDebtList(int32_t ReportID, bool IsAudit) {
    std::string sql;
    if (ReportID != -1) {
        SetIsNewFlag(false);
        sql = "select distinct f.unique_id, pa.actual_page_number, f.sequence, " +
              std::string(listq::kOrgOrPersonName) +
              "f.begin_balance, f.end_balance, "
              "f.debt_type_desc, na.is_org, f.Debt_type_code, f.page_amount_id  "
              "from " +
              listq::RefView(Info().table) +
              " f "
              "left outer join rpt_name_address na on f.entity_id = na.unique_id ";
        sql += listq::PageAmountJoin(ReportID, IsAudit);
        sql += listq::ListCondition(Info().table, ReportID, "", IsAudit);
        sql += "order by pa.actual_page_number, f.sequence ";
    }
    return LoadList("GetDataDebtList", sql);
}

int32_t clsDebt_Data::GetNewSequence(int32_t ReportID, const std::string& SectionCode,
                                     bool IsAudit) {
    return NextNumber("GetNewSequence",
                      listq::NewSequence(Info().table, ReportID, IsAudit,
                                         listq::TypeCondition("debt_type_code", SectionCode)),
                      "Sequence");
}

}  // namespace mz
