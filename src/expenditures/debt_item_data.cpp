#include "expenditures/debt_item_data.h"

#include "core/list_query.h"

namespace mz {

namespace {

constexpr InsertParamDef kInsertParams[] = {
    {"@page_amount_id", "page_amount_id"},
    {"@sequence", "Sequence"},
    {"@Debt_id", "debt_id"},
    {"@Entity_id", "entity_id"},
    {"@Occur_date", "Occur_date"},
    {"@Amount", "Amount"},
    {"@Description", "Description"},
    {"@Amend_code", "amend_code"},
    {"@purpose_type_code", "Purpose_type_code"},
};

constexpr TextLengthDef kTextLengths[] = {
    {mzML_Amount_DebtItem, "amount", TextLengthDef::kPrecision},
    {mzML_Description_DebtItem, "description"},
};

constexpr RecordClassInfo kInfo = [] {
    RecordClassInfo info;
    info.class_name = "clsDebtItem_Data";
    info.source_class = "clsDebtItem_Data";
    info.table = "rpt_debt_items";
    info.section = "DIT";
    info.row_tail = " Where unique_id = ";
    info.properties = clsDebtItem_Data::kProperties;
    info.insert_params = kInsertParams;
    info.text_lengths = kTextLengths;
    info.booleans_as_digits = true;
    info.clear_filter_after_add = true;
    info.name_address_failure = "Debt Item Name Address Delete Error";
    info.members = kMemberSection | kMemberCurrentCount | kMemberBofEof | kMemberNavigation |
                   kMemberListFilter | kMemberRecSet | kMemberIsNewLet;
    return info;
}();

}  // namespace

clsDebtItem_Data::clsDebtItem_Data()
    : RecordObject(kInfo), mobNameAddress(std::make_shared<NameAddress>()) {
    AdoptNameAddress(mobNameAddress);
}

const RecordClassInfo& clsDebtItem_Data::ClassInfo() {
    return kInfo;
}

bool clsDebtItem_Data::GetDataList(int32_t DebtID, bool IsAudit) {
    std::string sql;
    if (DebtID != -1) {
        SetIsNewFlag(false);
        const std::string view = listq::RefView(Info().table);
        sql = "SELECT * from " + view + " f ";
        sql +=
            listq::ItemCondition("Where ", "f", CurrReportID(), "debt_id", DebtID, view, IsAudit);
        sql += "order by f.sequence ";
    }
    return LoadList("GetDataList", sql);
}

int32_t clsDebtItem_Data::GetNewSequence(int32_t ReportID, int32_t DebtID, bool IsAudit) {
    return NextNumber("GetNewSequence",
                      listq::NewItemSequence(Info().table, ReportID, "debt_id", DebtID, IsAudit),
                      "Sequence");
}

}  // namespace mz
