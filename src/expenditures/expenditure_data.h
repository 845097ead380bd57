// clsExpenditure_Data: the expenditures schedule of a report: every payment with its payee, type,
// amount, aggregate to date and purpose, and the details some types carry (gift type,
// independent-expenditure flag, committee, office and jurisdiction, declaration, communication
// date, loan and receipt references). Besides the plain list it loads the expenditure list with
// computed payee names (aggregated non-media expenditures as one labelled line) and the list of
// contributions to other committees ('ccpc').
//
// The object owns three children, created with it and replaceable by the caller:
// mobExpenditureItem (the items of an expenditure), mobNotes and mobNameAddress (the payee).
// Deleting an expenditure of the current report deletes, in one transaction, its items, then its
// notes of the current report, then the payee's entry when the name component allows it, then
// the row. Its plain GetDataList answers every failure with a quiet False.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/record_object.h"
#include "core/row_properties.h"
#include "expenditures/expenditure_items_data.h"
#include "lists/notes.h"
#include "names/name_address.h"

namespace mz {

enum mzMaxLength_Expenditure : int32_t {
    mzML_AccountAbbr_Expenditure = 1,
    mzML_Amount_Expenditure = 2,
    mzML_SumToDate_Expenditure = 3,
    mzML_Description_Expenditure = 4,
    mzML_Purpose_Expenditure = 5,
    mzML_OriginalAmount_Expenditure = 6,
    mzML_Balance_Expenditure = 7,
    mzML_RelatedCommitteeName_Expenditure = 8,
    mzML_Disctrict_Expenditure = 9,
    mzML_OfficeName_Expenditure = 10,
    mzML_JurisdictionName_Expenditure = 11,
    mzML_ItemNumber_Expenditure = 12,
    mzML_PaymentNumber_Expenditure = 13,
};

class clsExpenditure_Data : public RecordObject {
  public:
    clsExpenditure_Data();
    static const RecordClassInfo& ClassInfo();

    std::shared_ptr<clsExpenditureItems_Data> mobExpenditureItem;
    std::shared_ptr<clsNotes> mobNotes;
    std::shared_ptr<NameAddress> mobNameAddress;

    // The report's expenditures with full_name computed (an aggregated 'oper', 'ccpc' or 'cpe'
    // row reads 'Aggregated Non-Media Expenditure'), their page numbers and type descriptions.
    // ReportVersion 2 orders by page and sequence, 3 by type, page and sequence; any other value
    // leaves the order to the database.
    bool GetDataExpenditureList(int16_t ReportVersion, int32_t ReportID = -1, bool IsAudit = false);
    // The report's 'ccpc' expenditures, with the expenditure list's columns (purpose, type
    // sequence and description empty), by page and sequence.
    bool GetDataFederalList(int32_t ReportID = -1, bool IsAudit = false);
    // Next sequence among the report's expenditures, or among those of expenditure type
    // SectionCode when it is not "" (inserted into the SQL text unchanged).
    int32_t GetNewSequence(int32_t ReportID, const std::string& SectionCode = "",
                           bool IsAudit = false);

    MZ_ROW_ACCESSORS();
    MZ_LONG_PROPERTY(EntityID);
    MZ_LONG_PROPERTY(PageAmountID);
    MZ_LONG_PROPERTY(Sequence);
    MZ_TEXT_PROPERTY(ExpenditureCode);
    MZ_TEXT_PROPERTY(GiftTypeCode);
    MZ_INTEGER_PROPERTY(IsIndExp);
    MZ_TEXT_PROPERTY(AccountAbbr);
    MZ_TEXT_PROPERTY(FormPayementCode);
    MZ_TEXT_PROPERTY(TransDate);
    MZ_CURRENCY_PROPERTY(Amount);
    MZ_CURRENCY_PROPERTY(SumToDate);
    MZ_TEXT_PROPERTY(Description);
    MZ_TEXT_PROPERTY(Purpose);
    MZ_TEXT_PROPERTY(OriginalDate);
    MZ_TEXT_PROPERTY(EndDate);
    MZ_CURRENCY_PROPERTY(OriginalAmount);
    MZ_CURRENCY_PROPERTY(Balance);
    MZ_TEXT_PROPERTY(CommitteeID);
    MZ_TEXT_PROPERTY(CommLevelCode);
    MZ_TEXT_PROPERTY(CommLevelName);
    MZ_TEXT_PROPERTY(RelatedCommitteeName);
    MZ_TEXT_PROPERTY(OfficeName);
    MZ_TEXT_PROPERTY(OfficeCode);
    MZ_TEXT_PROPERTY(JurisdictionName);
    MZ_TEXT_PROPERTY(DeclareCode);
    MZ_TEXT_PROPERTY(CommunicationDate);
    MZ_INTEGER_PROPERTY(ItemNumber);
    MZ_TEXT_PROPERTY(CurrentPageNumber);
    MZ_TEXT_PROPERTY(MaxPageNumber);
    MZ_TEXT_PROPERTY(CurrentPageAmount);
    MZ_TEXT_PROPERTY(MaxPageAmount);
    MZ_TEXT_PROPERTY(AmendCode);
    MZ_TEXT_PROPERTY(LoanID);
    MZ_TEXT_PROPERTY(ReceiptID);
    MZ_TEXT_PROPERTY(OrigReceiptDate);
    MZ_TEXT_PROPERTY(OrigLoanDate);
    MZ_TEXT_PROPERTY(OldPayeeToLVID);
    MZ_TEXT_PROPERTY(CheckNum);
    MZ_TEXT_GETTER(ExpenditureTypeDesc);
    MZ_TEXT_PROPERTY(Comments);
    MZ_TEXT_PROPERTY(PurposeType);
    MZ_INTEGER_PROPERTY(IsAggregated);
    MZ_BOOLEAN_GETTER(IsOrg);
    MZ_TEXT_GETTER(OrgName);
    MZ_TEXT_GETTER(FirstName);
    MZ_TEXT_GETTER(LastName);
    // The organisation name when is_org is Null or true, else "last, first". Reads the name
    // columns of the row views: on a list without them it raises.
    MZ_TEXT_GETTER(FullName);

    static constexpr PropertyDef kProperties[] = {
        row::kUniqueID,
        row::kReportID,
        row::kGroupID,
        row::kEntityID,
        row::kPageAmountID,
        row::kSequence,
        {"ExpenditureCode", "Expenditure_type_code", PropType::Text, kGet | kLet},
        {"GiftTypeCode", "gift_type_code", PropType::Text, kGet | kLet},
        {"IsIndExp", "is_ind_exp", PropType::Integer, kGet | kLet},
        {"AccountAbbr", "account_abbr", PropType::Text, kGet | kLet},
        {"FormPayementCode", "form_of_payment_code", PropType::Text, kGet | kLet},
        {"TransDate", "Occur_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"Amount", "Amount", PropType::Currency, kGet | kLet},
        {"SumToDate", "sum_to_date", PropType::Currency, kGet | kLet},
        {"Description", "Description", PropType::Text, kGet | kLet},
        {"Purpose", "Purpose", PropType::Text, kGet | kLet},
        {"OriginalDate", "original_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"EndDate", "end_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"OriginalAmount", "original_amount", PropType::Currency, kGet | kLet},
        {"Balance", "Balance", PropType::Currency, kGet | kLet},
        {"CommitteeID", "committee_id", PropType::Text, kGet | kLet},
        {"CommLevelCode", "comm_level_code", PropType::Text, kGet | kLet},
        {"CommLevelName", "comm_level_name", PropType::Text, kGet | kLet},
        {"RelatedCommitteeName", "related_committee_name", PropType::Text, kGet | kLet},
        {"OfficeName", "office_name", PropType::Text, kGet | kLet},
        {"OfficeCode", "office_code", PropType::Text, kGet | kLet},
        {"JurisdictionName", "Jurisdiction_name", PropType::Text, kGet | kLet},
        {"DeclareCode", "declare_code", PropType::Text, kGet | kLet},
        {"CommunicationDate", "Communication_date", PropType::Text, kGet | kLet,
         Conversion::DateText},
        {"ItemNumber", "item_number", PropType::Integer, kGet | kLet},
        row::kCurrentPageNumber,
        row::kMaxPageNumber,
        row::kCurrentPageAmount,
        row::kMaxPageAmount,
        row::kAmendCode,
        {"LoanID", "loan_id", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"ReceiptID", "receipt_id", PropType::Text, kGet | kLet, Conversion::NumberText},
        {"OrigReceiptDate", "orig_receipt_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"OrigLoanDate", "orig_loan_date", PropType::Text, kGet | kLet, Conversion::DateText},
        {"OldPayeeToLVID", "old_payee_tolvid", PropType::Text, kGet | kLet},
        {"CheckNum", "Payment_number", PropType::Text, kGet | kLet},
        {"ExpenditureTypeDesc", "expenditure_type_desc", PropType::Text, kGet},
        row::kOrigDate,
        row::kOrigUserID,
        row::kUserID,
        row::kUpdateDate,
        {"Comments", "Comments", PropType::Text, kGet | kLet},
        {"PurposeType", "Purpose_type_code", PropType::Text, kGet | kLet},
        {"IsAggregated", "is_aggregated", PropType::Integer, kGet | kLet},
        row::kIsOrg,
        row::kOrgName,
        row::kFirstName,
        row::kLastName,
        {"FullName", "", PropType::Text, kGet, Conversion::Computed},
    };

  protected:
    Variant ComputedGet(const PropertyDef& p) const override;
};

}  // namespace mz
