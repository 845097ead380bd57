#include "app/demo_committee.h"

#include <initializer_list>
#include <utility>

#include "core/report_versions.h"
#include "names/name_address.h"

namespace mz::app {

namespace {

AutoValue V(Variant v) {
    return AutoValue(std::move(v));
}

class CommitteeDemo {
  public:
    CommitteeDemo(Narrator& say, std::string path, DbConnect& db)
        : say_(say), path_(std::move(path)), db_(db) {
        names_.ConnectionVariables(path_, "", "", "", false);
    }

    bool Run() {
        say_.Chapter("Committee records: accounts, officers, a transfer, support items, amendment");
        std::string error;
        const int32_t filed = CreateReportVersion(db_, "new", -1, error);
        const int32_t bank = Name("First Bank", "", true),
                      committee = Name("Friends of Lee", "", true);
        const int32_t ann = Name("Lee", "Ann"), bo = Name("Park", "Bo"), cy = Name("Diaz", "Cy");
        say_.Line("filed report " + std::to_string(filed) +
                  "; the name component holds First Bank, Friends of Lee (the committee), "
                  "Ann Lee, Bo Park and Cy Diaz");

        const ObjectRef a = Open("a", "clsAccount_Data", filed);
        Account(a, filed, bank, "CHK", "checking", "Campaign operating", 500, 320);
        Account(a, filed, bank, "SAV", "savings", "Reserve", 1000, 1180);
        Load(a, "a", "GetDataReportCover", {V(filed)});
        say_.Show(
            a, "the accounts on the cover page, in sequence order",
            {"sequence", "org_name", "account_type", "account_abbr", "purpose", "begin_balance"});

        const ObjectRef o = Open("o", "clsOfficer_Data", filed);
        Officer(o, filed, committee, "CEN");
        Officer(o, filed, ann, "TRS");
        const AutoValue chair = Officer(o, filed, bo, "CHR");
        Load(o, "o", "GetDataReportCover", {V(filed), V(true)});
        say_.Show(o, "the committee itself", {"full_name", "name_type_desc"});
        Load(o, "o", "GetDataReportCover", {V(filed)});
        say_.Show(o, "its officers on the cover page, with their roles",
                  {"full_name", "name_type_desc"});

        const int32_t page = Page(filed, 1);
        const ObjectRef t = Open("t", "clsTransfer_Data", filed);
        Add(t, "t", filed,
            {{"AccountFrom", V("CHK")},
             {"AccountTo", V("SAV")},
             {"TransDate", V("3/15/2005")},
             {"Amount", V(180.0)},
             {"PageAmountID", V(page)},
             {"Sequence", say_.Call(t, "t", "GetNewSequence", {V(filed)})}});
        Load(t, "t", "GetDataList", {V(filed)});
        say_.Show(
            t, "the transfer between the accounts, on its page",
            {"actual_page_number", "Account_abbr_from", "Account_abbr_to", "Occur_date", "Amount"});

        const ObjectRef s = Open("s", "clsAdminSupport_Data", filed);
        Support(s, filed, "pst", "", 40);
        Support(s, filed, "oth", "Volunteer phone bank", 120);
        Support(s, filed, "off", "", 300);
        Load(s, "s", "GetDataList", {V(filed)});
        say_.Show(s, "support items in the order of their types, 'oth' with its own description",
                  {"type_sequence", "full_name", "Amount"});

        const int32_t amended = CreateReportVersion(db_, "amend", filed, error);
        say_.Line("amended report " + std::to_string(filed) + ": report " +
                  std::to_string(amended) + "; the chair is replaced");
        Connect(o, "o", amended);
        Load(o, "o", "GetData", {chair});
        Check(say_.Call(o, "o", "DeleteData", {chair}));  // a deletion marker in the amendment
        Officer(o, amended, cy, "CHR");
        Load(o, "o", "GetDataReportCover", {V(amended)});
        say_.Show(o, "report " + std::to_string(amended) + ": Cy Diaz is the chair",
                  {"full_name", "name_type_desc"});
        Load(o, "o", "GetDataReportCover", {V(filed)});
        say_.Show(o, "report " + std::to_string(filed) + " still shows the filed officers",
                  {"full_name", "name_type_desc"});
        return ok_ && error.empty();
    }

  private:
    int32_t Name(const std::string& name, const std::string& first, bool org = false) {
        NameAddressEntry e;
        e.is_org = org;
        (org ? e.org_name : e.last_name) = name;
        e.first_name = first;
        std::string error;
        const int32_t id = names_.Save(e, error);
        ok_ = ok_ && error.empty();
        return id;
    }

    void Check(const AutoValue& result) { ok_ = ok_ && result.Scalar().ToBool(); }

    void Connect(const ObjectRef& obj, const std::string& var, int32_t report) {
        say_.Call(obj, var, "ConnectionVariables",
                  {V(path_), V(""), V(""), V(""), V(false), V(std::to_string(report))});
    }
    ObjectRef Open(const std::string& var, const std::string& cls, int32_t report) {
        ObjectRef obj = say_.Create(var, cls);
        Connect(obj, var, report);
        return obj;
    }
    void Load(const ObjectRef& obj, const std::string& var, const std::string& loader,
              std::vector<AutoValue> args) {
        Check(say_.Call(obj, var, loader, std::move(args)));
    }

    // A new row of report `report` with these properties, saved; its UniqueID.
    AutoValue Add(const ObjectRef& obj, const std::string& var, int32_t report,
                  std::initializer_list<std::pair<const char*, AutoValue>> values) {
        say_.Call(obj, var, "GetData", {});
        say_.Let(obj, var, "ReportID", V(report));
        for (const auto& [member, value] : values) say_.Let(obj, var, member, value);
        Check(say_.Call(obj, var, "SaveData", {}));
        return say_.Call(obj, var, "UniqueID", {});
    }

    void Account(const ObjectRef& a, int32_t report, int32_t bank, const char* abbr,
                 const char* type, const char* purpose, double begin, double end) {
        Add(a, "a", report,
            {{"EntityID", V(bank)},
             {"AccountType", V(type)},
             {"AccountAbbr", V(abbr)},
             {"Purpose", V(purpose)},
             {"BeginBalance", V(begin)},
             {"EndBalance", V(end)},
             {"Sequence", say_.Call(a, "a", "GetNewSequence", {V(report)})}});
    }
    AutoValue Officer(const ObjectRef& o, int32_t report, int32_t entity, const char* role) {
        return Add(o, "o", report, {{"EntityID", V(entity)}, {"NameCode", V(role)}});
    }
    void Support(const ObjectRef& s, int32_t report, const char* type, const char* desc,
                 double amount) {
        Add(s, "s", report,
            {{"ItemCode", V(type)},
             {"ItemDesc", V(desc)},
             {"Amount", V(amount)},
             {"Sequence", say_.Call(s, "s", "GetNewSequence", {V(report)})}});
    }

    // A printed page of the transfers section in the report; its group identifier, which rows
    // name as their PageAmountID.
    int32_t Page(int32_t report, int number) {
        Variant group, unique;
        bool ok = db_.CreateCommand("sp_insert_rpt_page_amount").empty();
        db_.AddParameter("@Function", Variant("A"));
        db_.AddParameter("@Report_id", Variant(report));
        db_.AddParameter("@Ref_id", Variant(int16_t{-1}));
        ok = ok && db_.ExecuteCommand().empty();
        db_.GetParameter("@Group_id", group);
        db_.GetParameter("@Unique_id", unique);
        db_.ClearCommand();
        for (const char* column : {"actual_page_number", "current_page_number"}) {
            ok = ok && db_.CreateCommand("sp_update_table").empty();
            db_.AddParameter("@table", Variant("rpt_page_amount"));
            db_.AddParameter("@column", Variant(column));
            db_.AddParameter("@unique_id", unique);
            db_.AddParameter("@value", Variant(std::to_string(number)));
            ok = ok && db_.ExecuteCommand().empty();
        }
        ok_ = ok_ && ok;
        say_.Line("page " + std::to_string(number) + " of the transfers is page row group " +
                  group.ToText());
        return group.ToInt32();
    }

    Narrator& say_;
    std::string path_;
    DbConnect& db_;
    NameAddress names_;
    bool ok_ = true;
};

}  // namespace

bool RunCommitteeDemo(Narrator& say, const std::string& db_path, DbConnect& db) {
    return CommitteeDemo(say, db_path, db).Run();
}

}  // namespace mz::app
