#include "expenditures/expenditure_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

// "@Is_aggregated" and "@is_aggregated" are one parameter to the database, which names
// parameters without regard to case; the second sets it again to the same value.
constexpr InsertParamDef kInsertParams[] = {
    {"@Entity_id", "entity_id"},
    {"@Page_amount_id", "page_amount_id"},
    {"@Sequence", "Sequence"},
    {"@Expenditure_type_code", "Expenditure_type_code"},
    {"@Gift_type_code", "gift_type_code"},
    {"@Is_aggregated", "is_aggregated"},
    {"@Is_ind_exp", "is_ind_exp"},
    {"@Account_abbr", "account_abbr"},
    {"@Form_of_payment_code", "form_of_payment_code"},
    {"@Occur_date", "Occur_date"},
    {"@Amount", "Amount"},
    {"@Sum_to_date", "sum_to_date"},
    {"@Description", "Description"},
    {"@Purpose", "Purpose"},
    {"@Original_date", "original_date"},
    {"@Original_amount", "original_amount"},
    {"@Balance", "Balance"},
    {"@Committee_id", "committee_id"},
    {"@Comm_level_code", "comm_level_code"},
    {"@Comm_level_name", "comm_level_name"},
    {"@Related_committee_name", "related_committee_name"},
    {"@Office_name", "office_name"},
    {"@Jurisdiction_name", "Jurisdiction_name"},
    {"@Item_number", "item_number"},
    {"@Declare_code", "declare_code"},
    {"@Communication_date", "Communication_date"},
    {"@Amend_code", "amend_code"},
    {"@Loan_id", "loan_id"},
    {"@Receipt_id", "receipt_id"},
    {"@Orig_Receipt_date", "orig_receipt_date"},
    {"@Orig_Loan_date", "orig_loan_date"},
    {"@Payment_number", "Payment_number"},
    {"@Comments", "Comments"},
    {"@Purpose_type_code", "Purpose_type_code"},
    {"@is_aggregated", "is_aggregated"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_AccountAbbr_Expenditure, "account_abbr"},
    {mzML_Amount_Expenditure, "amount", TextLengthDef::kPrecision},
    {mzML_SumToDate_Expenditure, "sum_to_date", TextLengthDef::kPrecision},
    {mzML_Description_Expenditure, "description"},
    {mzML_Purpose_Expenditure, "purpose"},
    {mzML_OriginalAmount_Expenditure, "original_amount", TextLengthDef::kPrecision},
    {mzML_Balance_Expenditure, "balance", TextLengthDef::kPrecision},
    {mzML_RelatedCommitteeName_Expenditure, "related_committee_name"},
    {mzML_Disctrict_Expenditure, "disctrict"},
    {mzML_OfficeName_Expenditure, "office_name"},
    {mzML_JurisdictionName_Expenditure, "jurisdiction_name"},
    {mzML_ItemNumber_Expenditure, "item_number"},
    {mzML_PaymentNumber_Expenditure, "payment_number"},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsExpenditure_Data";
    info.source_class = "clsExpenditure_Data";
    info.table = "rpt_expenditures";
    info.section = "EXP";
    info.row_tail = "_detail Where unique_id = ";
    info.properties = clsExpenditure_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.booleans_as_digits = true;
    info.clear_filter_after_add = true;
    info.insert_operation = "SaveData_Insert";
    info.quiet_list_errors = true;
    info.items_failure = "Expenditure Item Delete Error";
    info.notes_failure = "Expenditure Notes Delete Error";
    info.name_address_failure = "Expenditure Name Address Delete Error";
    info.members = kMemberSection | kMemberCount | kMemberCurrentCount | kMemberBofEof |
                   kMemberNavigation | kMemberListFilter | kMemberRecSet | kMemberGetDataList;
    return info;
}();

constexpr std::string_view kFrom =
    " f "
    "left outer join rpt_name_address na on f.entity_id = na.unique_id ";

}  // namespace

clsExpenditure_Data::clsExpenditure_Data()
    : RecordObject(kInfo),
      mobExpenditureItem(std::make_shared<clsExpenditureItems_Data>()),
      mobNotes(std::make_shared<clsNotes>()),
      mobNameAddress(std::make_shared<NameAddress>()) {
    AdoptItems(mobExpenditureItem);
    clsNotes::Adopt(*this, mobNotes);
    AdoptNameAddress(mobNameAddress);
}

const RecordClassInfo& clsExpenditure_Data::ClassInfo() {
    return kInfo;
}

bool clsExpenditure_Data::GetDataExpenditureList(int16_t ReportVersion, int32_t ReportID,
                                                 bool IsAudit) {
    std::string sql;
    if (ReportID != -1) {
        SetIsNewFlag(false);
        sql =
            "select distinct f.unique_id, pa.actual_page_number, f.sequence, "
            "case "
            "when f.expenditure_type_code in ('oper', 'ccpc', 'cpe') then "
            "   case isnull(f.is_aggregated,'0') "
            "   when '0' then "
            "      case isnull(na.is_org,'0') "
            "      when '0' then isnull(na.last_name,'') + ', ' + isnull(na.first_name,'') "
            "      when '1' then isnull(na.org_name,'') "
            "      end "
            "   when '1' then 'Aggregated Non-Media Expenditure' "
            "   end "
            "else "
            "    case isnull(na.is_org, '1') "
            "    when '1' then isnull(na.org_name,'') "
            "    when '0' then isnull(na.last_name,'') + ', ' + isnull(na.first_name,'') "
            "    end "
            "end as 'full_name', "
            "f.amount, f.sum_to_date, f.Expenditure_type_desc , f.is_aggregated, na.is_org, "
            "f.Expenditure_type_code, f.page_amount_id, f.purpose, f.occur_date, et.sequence,  "
            "f.form_of_payment_code, f.account_abbr, et.description, f.is_aggregated "
            "from " +
            listq::RefView(Info().table) + std::string(kFrom) +
            "left outer join lks_expenditure_type et on f.expenditure_type_code = et.code ";
        sql += listq::PageAmountJoin(ReportID, IsAudit);
        sql += listq::ListCondition(Info().table, ReportID, "", IsAudit);
        if (ReportVersion == 2) sql += "order by pa.actual_page_number, f.sequence ";
        if (ReportVersion == 3) {
            sql += "order by et.sequence, et.description, pa.actual_page_number, f.sequence ";
        }
    }
    return LoadList("GetDataExpenditureList", sql);
}

bool clsExpenditure_Data::GetDataFederalList(int32_t ReportID, bool IsAudit) {
    std::string sql;
    if (ReportID != -1) {
        SetIsNewFlag(false);
        sql = "select distinct f.unique_id, pa.actual_page_number, f.sequence, " +
              std::string(listq::kOrgOrPersonName) +
              "f.amount, f.sum_to_date, "
              "f.Expenditure_type_desc , f.is_aggregated, na.is_org, f.Expenditure_type_code, "
              "f.page_amount_id,  "
              "'' as purpose, f.occur_date, '' as sequence, f.form_of_payment_code, "
              "f.account_abbr, '' as description "
              "from " +
              listq::RefView(Info().table) + std::string(kFrom);
        sql += listq::PageAmountJoin(ReportID, IsAudit);
        sql += listq::ListCondition(Info().table, ReportID, "and f.Expenditure_type_code = 'ccpc' ",
                                    IsAudit);
        sql += "order by pa.actual_page_number, f.sequence ";
    }
    return LoadList("GetDataFederalList", sql);
}

int32_t clsExpenditure_Data::GetNewSequence(int32_t ReportID, const std::string& SectionCode,
                                            bool IsAudit) {
    return NextNumber(
        "GetNewSequence",
        listq::NewSequence(Info().table, ReportID, IsAudit,
                           listq::TypeCondition("expenditure_type_code", SectionCode)),
        "Sequence");
}

Variant clsExpenditure_Data::ComputedGet(const PropertyDef&) const {
    return Variant(EntityName());
}

}  // namespace mz
