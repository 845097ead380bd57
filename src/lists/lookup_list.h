// clsLookup_List: the read-only source of every coded list the entry screens offer (counties,
// states, name types, receipt and expenditure types, report types, users, elections...). One
// object holds one list at a time: GetData loads the list a mzList value names, restricted to the
// codes valid on a date; the caller walks it, reads the columns, finds a row by code or
// description and translates a code into its description.
//
// Not a record object: no report, no save or delete. It owns its DbConnect and the result set of
// its last load, and remembers the table of the last list that named one (mzL_None reloads it).
//
// Error channels: GetData and FilterVersionList return False on an error text and re-raise a
// raised error with " (clsLookupList.GetData)" or " (clsLookupList.FilterVersionList)" appended
// to its source. Everything else has no handler: an error of the result set (no result set, no
// current row, a bad filter or criteria, a Null that cannot become Boolean, a Null description
// GetDescription matches) reaches the caller unchanged. Caller texts (filters, codes, dates) go
// into the SQL and the criteria as they stand, unquoted.
// Not copyable: it owns a connection.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "db/db_connect.h"
#include "platform/date.h"
#include "platform/result_set.h"
#include "platform/variant.h"

namespace mz {

enum mzList : int32_t {
    mzL_None = 0,
    mzL_County = 1,
    mzL_Gender = 2,
    mzL_PhoneLocation = 3,
    mzL_NameType = 4,
    mzL_ReportGroup = 5,
    mzL_ReportType = 6,
    mzL_ReportSubType = 7,
    mzL_State = 8,
    mzL_Suffix = 9,
    mzL_ReceiptTypeInSection = 10,
    mzL_ReceiptPayemnt = 11,
    mzL_CommitteeType = 12,
    mzL_AccountCode = 13,
    mzL_CommitteeLevel = 14,
    mzL_SpecificField = 15,
    mzL_ExpenditureType = 16,
    mzL_DeclarationType = 17,
    mzL_DebtType = 18,
    mzL_AdminSupportType = 19,
    mzL_CommitteeLevelNoFed = 20,
    mzL_NoteType = 21,
    mzL_Users = 22,
    mzL_TransactionType = 23,
    mzL_ReportVersion = 24,
    mzL_ReceiptTypeNotInSection = 25,
    mzL_GiftType = 26,
    mzL_FundType = 27,
    mzL_EnterProcess = 28,
    mzL_EnteredMethod = 29,
    mzL_IndExpTypes = 30,
    mzL_ElecOfficeList = 31,
    mzL_ElecCouncilTypes = 32,
    mzL_ElecElectionType = 33,
    mZL_AuditType = 34,
    mzL_Party = 35,
    mzL_Office = 36,
    mzL_TransType = 37,
    mzL_TransSubType = 38,
    mzL_OrgStatus = 39,
    mzL_ReportYear = 40,
    mzL_FamilyMember = 41,
    mzL_VoterMatchStatus = 42,
    mzL_PurposeType = 43,
    mzL_SourceExplanationType = 44,
    mzL_Municipality = 45,
    mzL_Elections = 46,
    mzL_TimeLength = 47,
};

class clsLookup_List {
  public:
    // How a column property reads its column.
    enum class Reading : uint8_t {
        Text,     // the value as text; Null gives ""
        Trimmed,  // as Text, leading and trailing blanks removed
        Boolean,  // the value as text, then as Boolean: Null (the empty text) raises Error 13
        Date,     // the value as text, formatted "mm/dd/yyyy"; Null gives ""
    };
    struct ColumnDef {
        std::string_view name;    // the property, "Code"
        std::string_view column;  // the column of the current row, "Code" (any case)
        Reading reading;
    };
    // The column properties, in interface order; the object model registers them from here.
    static constexpr ColumnDef kColumns[] = {
        {"Code", "Code", Reading::Text},
        {"Description", "Description", Reading::Trimmed},
        {"Abbrev", "Abbrev", Reading::Text},
        {"Section", "Section", Reading::Text},
        {"Sequence", "Sequence", Reading::Text},
        {"HasBusinessStatement", "has_business_statement", Reading::Text},
        {"HasPaymentNumber", "has_payment_number", Reading::Text},
        {"CountyID", "County_ID", Reading::Text},
        {"Label", "Label", Reading::Text},
        {"NeedsDesc", "needs_desc", Reading::Boolean},
        {"NeedsCountyDistrict", "needs_county_district", Reading::Boolean},
        {"EffectiveDate", "effective_date", Reading::Date},
        {"ExpireDate", "expire_date", Reading::Date},
        {"UpdateDate", "update_date", Reading::Date},
    };

    clsLookup_List() = default;
    clsLookup_List(const clsLookup_List&) = delete;
    clsLookup_List& operator=(const clsLookup_List&) = delete;

    // Open, and not empty (before-first and after-last not both true); a cursor past either end
    // of a non-empty list still counts.
    bool DataReady() const;
    // Absolute position of the current row (1 for the first; the result set's negative markers
    // before the first or after the last row); 0 without DataReady.
    int32_t Index() const;
    // With DataReady and n >= 1: the first row, then n - 1 rows forward; a move from past the
    // last row raises 3021 as any move does. Otherwise nothing.
    void Index(int32_t n);

    // A column property of the current row: "" (False) without DataReady. REQUIRES: a current
    // row and the column in the list (else the result set raises).
    Variant Column(const ColumnDef& def) const;
    // The same for the Text, Trimmed and Date readings, and for the Boolean one.
    std::string Text(const ColumnDef& def) const;
    bool Flag(const ColumnDef& def) const;
    std::string Code() const { return Text(kColumns[0]); }
    std::string Description() const { return Text(kColumns[1]); }
    std::string Abbrev() const { return Text(kColumns[2]); }
    std::string Section() const { return Text(kColumns[3]); }
    std::string Sequence() const { return Text(kColumns[4]); }
    std::string HasBusinessStatement() const { return Text(kColumns[5]); }
    std::string HasPaymentNumber() const { return Text(kColumns[6]); }
    std::string CountyID() const { return Text(kColumns[7]); }
    std::string Label() const { return Text(kColumns[8]); }
    bool NeedsDesc() const { return Flag(kColumns[9]); }
    bool NeedsCountyDistrict() const { return Flag(kColumns[10]); }
    std::string EffectiveDate() const { return Text(kColumns[11]); }
    std::string ExpireDate() const { return Text(kColumns[12]); }
    std::string UpdateDate() const { return Text(kColumns[13]); }

    // The result set's flags with DataReady; otherwise False.
    bool BOF() const;
    bool EOF() const;
    // The result set's filter, "0" when none is set. REQUIRES: a result set (else Error 91).
    std::string ListFilter() const;
    // "" and "0" remove the filter; any other text becomes the result set's filter criteria
    // (Error 3001 for bad criteria). Without a result set nothing happens.
    void ListFilter(const std::string& Filter);
    // Rows of the list (through the filter) with DataReady; otherwise 0.
    int32_t RecordCount() const;

    // Hands the settings to the own DbConnect; its result.
    bool ConnectionVariables(const std::string& DatabaseName, const std::string& Source,
                             const std::string& UsrName, const std::string& Pass, bool UseTrusted);

    // Position of the first row whose code (or, with Code empty, description) equals the
    // argument, or -1. The cursor goes back to a row it stood on, and stays where the search
    // ended when it stood before the first or after the last row.
    // REQUIRES: a result set (else Error 91).
    int32_t FindIndex(const std::string& Code = "", const std::string& Desc = "");
    // Loads the list; True when it holds a row. Values outside 1 to 47 act as mzL_None.
    bool GetData(mzList List = mzL_None, const Date& EffTransDate = Date(1900, 1, 1),
                 int32_t ID = -1, const std::string& Filter1 = "", const std::string& Filter2 = "");
    // Description of the last row whose trimmed code equals the trimmed msCode, or "". Leaves
    // the cursor after the last row. REQUIRES: a result set (else Error 91).
    std::string GetDescription(const std::string& msCode);
    // The report-form versions valid on BeginDate (all of them for ""), newest first; True when
    // there is one. The remembered table stays.
    bool FilterVersionList(const std::string& BeginDate = "");

    // All four return False. REQUIRES: a result set (else Error 91).
    bool MoveFirst();
    bool MovePrevious();  // before the first row: to the first row
    bool MoveNext();      // after the last row: to the last row
    bool MoveLast();

    // The result set of the last load, or null (Show in the shell).
    ResultSet* Rows() const { return rs_.get(); }

  private:
    bool Load(const char* source, const std::string& sql);
    ResultSet& RequireRows() const;
    // The current row's value of a column property; null without DataReady.
    const Variant* Value(const ColumnDef& def) const;

    DbConnect db_;
    std::unique_ptr<ResultSet> rs_;  // declared after db_: released first
    std::string table_;              // the remembered table text
    // Per column property: its field index in rs_, -1 when the list has none, -2 not yet known.
    mutable std::array<int, std::size(kColumns)> columns_{};
};

}  // namespace mz
