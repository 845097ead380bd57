#include "expenditures/expenditure_items_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

// A new item names its page "@Page_amount_id", a changed copy "@page_amount_id".
constexpr InsertParamDef kInsertParams[] = {
    {"@Page_amount_id", "page_amount_id", VarType::Empty, kOnAdd},
    {"@page_amount_id", "page_amount_id", VarType::Empty, kOnChange},
    {"@Sequence", "Sequence"},
    {"@Entity_id", "entity_id"},
    {"@Expenditure_id", "expenditure_id"},
    {"@Election_type_code", "election_type_code"},
    {"@Election_other_name", "election_other_name"},
    {"@Declare_code", "declare_code"},
    {"@Amend_code", "amend_code"},
    {"@office_sought_code", "office_sought_code"},
    {"@office_name", "office_name"},
    {"@county_district_name", "county_district_name"},
    {"@amount", "Amount"},
};

// The amount member reads the amount's precision, as money members do everywhere else.
constexpr TextLengthDef kTextLengths[] = {
    {mzML_Amount_ExpenditureItem, "amount", TextLengthDef::kPrecision},
    {mzML_Description_ExpenditureItem, "election_other_name"},
    {mzML_OfficeName_ExpenditureItem, "office_name"},
    {mzML_CountyDistrictName_ExpenditureItem, "county_district_name"},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsExpenditureItems_Data";
    info.source_class = "clsExpenditureItem_Data";
    info.table = "rpt_expenditure_items";
    info.section = "EIT";
    info.row_tail = " Where unique_id = ";
    info.properties = clsExpenditureItems_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.booleans_as_digits = true;
    info.clear_filter_after_add = true;
    info.name_address_failure = "Expenditure Item Name Address Delete Error";
    info.members = kMemberSection | kMemberCurrentCount | kMemberBofEof | kMemberNavigation |
                   kMemberListFilter | kMemberRecSet | kMemberIsNewLet;
    return info;
}();

}  // namespace

clsExpenditureItems_Data::clsExpenditureItems_Data()
    : RecordObject(kInfo), mobNameAddress(std::make_shared<NameAddress>()) {
    AdoptNameAddress(mobNameAddress);
}

const RecordClassInfo& clsExpenditureItems_Data::ClassInfo() {
    return kInfo;
}

bool clsExpenditureItems_Data::GetDataList(int32_t ExpenditureID, bool IsAudit) {
    std::string sql;
    if (ExpenditureID != -1) {
        SetIsNewFlag(false);
        sql =
            "select ei.unique_id, ei.page_amount_id, ei.sequence, "
            "full_name = case "
            "   when na.is_org = 1 then na.org_name "
            "   else na.first_name + ' ' + na.last_name "
            "end, "
            "office_name = case "
            "   when ei.office_sought_code = 'OT' then 'Other - ' + ei.office_name "
            "   else o.Description "
            "end, "
            "amount  "
            "from " +
            listq::RefView(Info().table) +
            " ei "
            "left outer join rpt_name_address na on ei.entity_id = na.unique_id "
            "left outer join lku_office_sought o on ei.office_sought_code = o.code ";
        sql += listq::ItemCondition("where ", "ei", CurrReportID(), "expenditure_id", ExpenditureID,
                                    listq::RefView(Info().table), IsAudit);
        sql += "order by ei.sequence ";
    }
    return LoadList("GetDataList", sql);
}

int32_t clsExpenditureItems_Data::GetNewSequence(int32_t ReportID, int32_t ExpenditureID,
                                                 bool IsAudit) {
    return NextNumber(
        "GetNewSequence",
        listq::NewItemSequence(Info().table, ReportID, "expenditure_id", ExpenditureID, IsAudit),
        "Sequence");
}

}  // namespace mz
