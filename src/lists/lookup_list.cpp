#include "lists/lookup_list.h"

#include <optional>

#include "core/error_mgmt.h"
#include "core/record_object.h"
#include "platform/error.h"

namespace mz {

namespace {

constexpr int32_t kInvalidUseOfNull = 94;

// How each list composes its statement. Templates hold {d} (the date as the platform writes it),
// {1} and {2} (Filter1 and Filter2) and {id} (ID), replaced by the caller's texts as they stand.
struct ListDef {
    const char* table = nullptr;  // the remembered table text it sets; null: keeps the last one
    std::string_view head = "select * from ";
    std::string_view filter;
    std::string_view window;
    std::string_view order;
    std::string_view whole;         // a statement of its own instead of the composition
    std::string_view whole_for_id;  // the one used instead when ID is not -1
};

constexpr std::string_view kDateWindow =
    "((effective_date <= '{d}' and expire_date > '{d}') "
    "or (effective_date <= '{d}' and expire_date is null)) ";
constexpr std::string_view kSequence = "order by sequence ";

constexpr ListDef Windowed(const char* table, std::string_view filter = {},
                           std::string_view order = {}) {
    return ListDef{table, "select * from ", filter, kDateWindow, order, {}, {}};
}

constexpr ListDef Headed(std::string_view head, std::string_view window, std::string_view order,
                         std::string_view filter = {}) {
    return ListDef{"", head, filter, window, order, {}, {}};
}

constexpr ListDef Whole(const char* table, std::string_view whole,
                        std::string_view whole_for_id = {}) {
    return ListDef{table, {}, {}, {}, {}, whole, whole_for_id};
}

// One row per mzList value, in value order.
constexpr ListDef kLists[] = {
    /* mzL_None */ Windowed(nullptr),
    /* mzL_County */ Windowed("lks_county"),
    /* mzL_Gender */ Windowed("lks_gender"),
    /* mzL_PhoneLocation */ Windowed("lku_phone_location"),
    /* mzL_NameType */
    Windowed("lks_name_type", "is_officer_table = 1 and is_unofficial_officer = 0", kSequence),
    /* mzL_ReportGroup */ Windowed("lku_report_group"),
    /* mzL_ReportType */ Windowed("lku_report_type"),
    /* mzL_ReportSubType */
    Headed("select distinct rst.* from lku_report_sub_type rst "
           "left outer join lku_report_group_type rgt on rst.code = rgt.report_sub_type_code ",
           "((rst.effective_date <= '{d}' and rst.expire_date > '{d}') "
           "or (rst.effective_date <= '{d}' and rst.expire_date is null)) ",
           {},
           "rst.type_code like '{1}%' and "
           "rgt.report_group_code like '{2}%' "),
    /* mzL_State */ Windowed("lks_state"),
    /* mzL_Suffix */ Windowed("lku_suffix"),
    /* mzL_ReceiptTypeInSection */
    Windowed("lks_receipt_type", "in_receipt_section = 1", kSequence),
    /* mzL_ReceiptPayemnt */ Windowed("lks_payment_type"),
    /* mzL_CommitteeType */ Windowed("lks_committee_type", "code <> 'NRR'"),
    /* mzL_AccountCode */
    Whole(nullptr,
          "select OA.account_abbr as code "
          "from xrf_org_report XCR left outer join ref_org ro on xcr.org_id = ro.group_id "
          "left outer join org_accounts OA on ro.group_id = oa.org_id "
          "Where XCR.report_id is null ",
          "select distinct OA.account_abbr as code "
          "from xrf_org_report XCR left outer join ref_org ro on xcr.org_id = ro.group_id "
          "left outer join org_accounts OA on ro.group_id = oa.org_group_id "
          "Where XCR.report_id = (select group_id from ref_report where unique_id = {id}) "
          "and isnull(OA.account_abbr, '') <> '' "),
    /* mzL_CommitteeLevel */ Windowed("lks_committee_level"),
    /* mzL_SpecificField */ Windowed("lku_specific_field"),
    /* mzL_ExpenditureType */ Windowed("lks_expenditure_type"),
    /* mzL_DeclarationType */ Windowed("lks_declaration_type"),
    /* mzL_DebtType */ Windowed("lks_debt_type"),
    /* mzL_AdminSupportType */ Windowed("lks_support_item_type", {}, kSequence),
    /* mzL_CommitteeLevelNoFed */ Windowed("lks_committee_level", "code != 'f'"),
    /* mzL_NoteType */ Windowed("lks_note_type", "code <> 'con'"),
    /* mzL_Users */
    Whole("ref_user",
          "select u.unique_id as code, u.user_name as description from ref_user u "
          "where unique_id = ( "
          "   select unique_id "
          "   from ref_user "
          "   where group_id = u.group_id "
          "   and isnull(end_date, getdate()) = ( "
          "      select max(isnull(end_date, getdate())) "
          "      from ref_user "
          "      where group_id = u.group_id)) "
          "and u.is_system_user = 0 "
          "and u.end_date is null "
          "order by user_name "),
    /* mzL_TransactionType */ Windowed("lks_trans_type", "group_code = 'rpt'"),
    /* mzL_ReportVersion */ Windowed("lks_report_version", {}, "order by sequence desc "),
    /* mzL_ReceiptTypeNotInSection */
    Windowed("lks_receipt_type", "in_receipt_section = 0", kSequence),
    /* mzL_GiftType */ Windowed("lks_expenditure_type", "is_gift_type = 1"),
    /* mzL_FundType */ Windowed("lks_fund_type"),
    /* mzL_EnterProcess */ Windowed("lks_enter_process", "allow_report_entry = 1"),
    /* mzL_EnteredMethod */ Windowed("lks_entered_method"),
    /* mzL_IndExpTypes */ Windowed("lks_name_type", "is_ind_exp = 1"),
    /* mzL_ElecOfficeList */ Windowed("lku_office_sought", {}, kSequence),
    /* mzL_ElecCouncilTypes */ Windowed("lku_office", "is_council_of_state = 1"),
    /* mzL_ElecElectionType */
    Windowed("lks_election_type where code <> 'pr2' "
             "union all "
             "select code, description, 30, 0, null, '1/1/80',null, getdate() "
             "from lku_office ",
             "code = 'oth' "),
    /* mZL_AuditType */ Windowed("lks_audit_type"),
    /* mzL_Party */ Windowed("lku_party"),
    /* mzL_Office */ Windowed("lku_office", {}, "order by description "),
    /* mzL_TransType */
    Windowed("lks_report_section ", "code in ('rec','exp','dbt','trn') ", kSequence),
    /* mzL_TransSubType */
    Headed("select * from "
           "(select 'REC' as section, code, description, abbrev, 1 as num, sequence "
           "from lks_receipt_type "
           "where in_receipt_section = 1 "
           "union all "
           "select 'EXP' as section, code, description, abbrev, 2 as num, sequence "
           "from lks_expenditure_type "
           "union all "
           "select 'DBT' as section, code, description, description as abbrev, 3 as num, "
           "sequence "
           "from lks_debt_type) as a ",
           "a.section in ({1}) ", "order by num, sequence "),
    /* mzL_OrgStatus */ Windowed("lks_org_status"),
    /* mzL_ReportYear */
    Headed("select distinct report_year as code, report_year as description from ref_report ",
           "1=1 ", "order by report_year desc "),
    /* mzL_FamilyMember */ Windowed("lku_family_member", {}, kSequence),
    /* mzL_VoterMatchStatus */ Windowed("lks_voter_match_status", {}, kSequence),
    /* mzL_PurposeType */ Windowed("lks_purpose_type", {}, kSequence),
    /* mzL_SourceExplanationType */ Windowed("lku_source_explanation_type", {}, kSequence),
    /* mzL_Municipality */ Whole(nullptr, "exec sp_MZ_ss_municipality_list"),
    /* mzL_Elections */
    Headed("select "
           "    code = convert(varchar(10), election_date, 101), "
           "    description = convert(varchar(10), election_date, 101) "
           "from ref_election ",
           "1 = 1",
           "order by year(election_date) desc, month(election_date) desc, "
           "day(election_date) desc "),
    /* mzL_TimeLength */
    Headed("select * "
           "from lks_time_length ",
           "1 = 1", kSequence),
};
static_assert(std::size(kLists) == mzL_TimeLength + 1, "one row per mzList value");

struct Fill {
    std::string d, filter1, filter2, id;
};

std::string Expand(std::string_view text, const Fill& fill) {
    std::string out;
    out.reserve(text.size() + 64);
    for (size_t i = 0; i < text.size(); ++i) {
        const std::string* value = nullptr;
        size_t skip = 0;
        if (text[i] == '{') {
            const std::string_view rest = text.substr(i);
            if (rest.starts_with("{d}")) value = &fill.d, skip = 3;
            if (rest.starts_with("{1}")) value = &fill.filter1, skip = 3;
            if (rest.starts_with("{2}")) value = &fill.filter2, skip = 3;
            if (rest.starts_with("{id}")) value = &fill.id, skip = 4;
        }
        if (!value) {
            out += text[i];
            continue;
        }
        out += *value;
        i += skip - 1;
    }
    return out;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

bool clsLookup_List::ConnectionVariables(const std::string& DatabaseName, const std::string& Source,
                                         const std::string& UsrName, const std::string& Pass,
                                         bool UseTrusted) {
    return db_.ConnectionVariables(DatabaseName, Source, UsrName, Pass, UseTrusted, 0, "", "");
}

bool clsLookup_List::Load(const char* source, const std::string& sql) {
    try {
        rs_.reset();
        columns_.fill(-2);
        auto rs = std::make_unique<ResultSet>();
        if (!db_.OpenRecordset(sql, *rs, 0, true).empty()) return false;
        if (rs->State() == ResultSet::kStateClosed) return false;
        rs_ = std::move(rs);
        return !(rs_->BOF() && rs_->EOF());
    } catch (...) {
        int32_t number = 0;
        modErrorMgmt::ReportError(source, "", false, number);
        return false;
    }
}

bool clsLookup_List::GetData(mzList List, const Date& EffTransDate, int32_t ID,
                             const std::string& Filter1, const std::string& Filter2) {
    const ListDef& def = kLists[List >= mzL_County && List <= mzL_TimeLength ? List : mzL_None];
    if (def.table) table_ = def.table;
    const Fill fill{EffTransDate.ToString(), Filter1, Filter2, std::to_string(ID)};
    std::string sql;
    if (!def.whole.empty()) {
        sql = Expand(ID != -1 && !def.whole_for_id.empty() ? def.whole_for_id : def.whole, fill);
    } else {
        sql.append(def.head).append(table_).append(" where ");
        if (!def.filter.empty()) sql += Expand(def.filter, fill) + " " + "and ";
        sql += Expand(def.window, fill) + " ";
        sql.append(def.order);
    }
    return Load("clsLookupList.GetData", sql);
}

bool clsLookup_List::FilterVersionList(const std::string& BeginDate) {
    std::string sql = "select * from lks_report_version ";
    if (!BeginDate.empty()) {
        sql += "where (effective_date <= '" + BeginDate + "' and expire_date > '" + BeginDate +
               "') " + "or (effective_date <= '" + BeginDate + "' and expire_date is null) ";
    }
    return Load("clsLookupList.FilterVersionList", sql + "order by sequence desc ");
}

// --- state and navigation ------------------------------------------------------------------

bool clsLookup_List::DataReady() const {
    return rs_ && rs_->State() != ResultSet::kStateClosed && !(rs_->BOF() && rs_->EOF());
}

ResultSet& clsLookup_List::RequireRows() const {
    if (!rs_) RaiseObjectNotSet();
    return *rs_;
}

int32_t clsLookup_List::Index() const {
    return DataReady() ? rs_->AbsolutePosition() : 0;
}

void clsLookup_List::Index(int32_t n) {
    if (!DataReady() || n < 1) return;
    rs_->MoveFirst();
    for (int32_t i = 1; i < n; ++i) rs_->MoveNext();  // past the end: 3021, as any move
}

bool clsLookup_List::BOF() const {
    return DataReady() && rs_->BOF();
}

bool clsLookup_List::EOF() const {
    return DataReady() && rs_->EOF();
}

int32_t clsLookup_List::RecordCount() const {
    return DataReady() ? rs_->RecordCount() : 0;
}

std::string clsLookup_List::ListFilter() const {
    return RequireRows().Filter();
}

void clsLookup_List::ListFilter(const std::string& Filter) {
    if (rs_) rs_->Filter(Filter);
}

bool clsLookup_List::MoveFirst() {
    return MoveRows(rs_.get(), RowMove::First);
}
bool clsLookup_List::MovePrevious() {
    return MoveRows(rs_.get(), RowMove::Previous);
}
bool clsLookup_List::MoveNext() {
    return MoveRows(rs_.get(), RowMove::Next);
}
bool clsLookup_List::MoveLast() {
    return MoveRows(rs_.get(), RowMove::Last);
}

// --- columns, find, translate ----------------------------------------------------------------

const Variant* clsLookup_List::Value(const ColumnDef& def) const {
    // The common case, a current row, in one step; the checks below give the edge cases.
    const Variant* row = rs_ ? rs_->CurrentRow() : nullptr;
    if (!row && !DataReady()) return nullptr;
    int& index = columns_[static_cast<size_t>(&def - kColumns)];
    if (index == -2) index = rs_->FieldIndex(def.column);
    if (row && index >= 0) return &row[index];
    // An unknown column raises 3265 naming it; no current row raises 3021.
    return index >= 0 ? &rs_->Value(index) : &rs_->Value(def.column);
}

std::string clsLookup_List::Text(const ColumnDef& def) const {
    const Variant* v = Value(def);
    if (!v) return "";
    if (def.reading == Reading::Date) {
        if (v->IsNull()) return "";
        if (v->Type() == VarType::Date) return v->GetDate().ToMdy();
        std::string text = v->ToText();
        std::optional<Date> d = Date::Parse(text);
        return d ? d->ToMdy() : text;
    }
    std::string text = v->ToText();
    if (def.reading == Reading::Trimmed) {
        const std::string_view kept = TrimBlanks(text);
        if (kept.size() != text.size()) text = std::string(kept);
    }
    return text;
}

bool clsLookup_List::Flag(const ColumnDef& def) const {
    const Variant* v = Value(def);
    return v && Variant(v->ToText()).ToBool();
}

Variant clsLookup_List::Column(const ColumnDef& def) const {
    return def.reading == Reading::Boolean ? Variant(Flag(def)) : Variant(Text(def));
}

int32_t clsLookup_List::FindIndex(const std::string& Code, const std::string& Desc) {
    ResultSet& rs = RequireRows();
    if (rs.BOF() && rs.EOF()) return -1;
    const int32_t saved = Index();
    int32_t result = -1;
    const std::string criteria = !Code.empty()   ? "code = '" + Code + "'"
                                 : !Desc.empty() ? "description = '" + Desc + "'"
                                                 : "";
    if (!criteria.empty()) {
        rs.MoveFirst();
        rs.Find(criteria);
        if (!rs.EOF()) result = rs.AbsolutePosition();
    }
    if (saved > 0) Index(saved);
    return result;
}

std::string clsLookup_List::GetDescription(const std::string& msCode) {
    ResultSet& rs = RequireRows();
    std::string result;
    const std::string_view wanted = TrimBlanks(msCode);
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        const Variant& code = rs.Value("Code");
        if (code.IsNull() || TrimBlanks(code.ToText()) != wanted) continue;
        const Variant& description = rs.Value("Description");
        if (description.IsNull())
            throw Error(kInvalidUseOfNull, "MZ_report_bus", "Invalid use of Null");
        result = description.ToText();
    }
    return result;
}

}  // namespace mz
