// Every save and delete path of every record class, with a driver failure injected at each call
// the path makes in turn (tests/support/fault_backend.h). After each failure the error must reach
// the caller (raised with the class's source, or a False for an error text), no transaction may
// be left open, and the database must be exactly as before, or exactly as after a successful run
// where the failure came after the work was committed (a lost reply). A class joins the walk with
// one row of kClasses.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "automation/object_model.h"
#include "db/backend.h"
#include "db/postgres/pg_connection.h"
#include "names/name_address.h"
#include "support/fault_backend.h"
#include "support/temp_db.h"

namespace mz {
namespace {

using test::FaultInjector;

// A property Let. The values "<entity>" (one person per scenario, shared by the rows that name
// it) and "<own entity>" (a new person for each row seeded) become entity identifiers.
struct Field {
    const char* property;
    Variant value;
};

// A row saved under the walked row before a delete: its class, the property naming the parent
// and the parent's property it holds.
struct Child {
    const char* class_name;
    const char* link;
    const char* parent_property;
    std::vector<Field> fields;
};

struct WalkedClass {
    const char* class_name;
    std::vector<Field> fields;  // of a new row; the walk sets ReportID
    Field change;               // what the change paths edit
    std::vector<Child> children;
};

const WalkedClass kClasses[] = {
    {"clsNotes",
     {{"ReportSection", "REC"}, {"LinkID", "7"}, {"Description", "note"}},
     {"Description", "changed"},
     {}},
    {"clsReceipt_Data",
     {{"ReceiptCode", "GNS"}, {"Amount", 400}, {"EntityID", "<entity>"}, {"Sequence", 1}},
     {"Description", "changed"},
     {{"clsGnSItems_Data", "ReceiptID", "UniqueID", {{"Amount", 150}, {"Sequence", 1}}},
      {"clsGnSItems_Data", "ReceiptID", "UniqueID", {{"Amount", 250}, {"Sequence", 2}}},
      {"clsNotes", "LinkID", "GroupID", {{"ReportSection", "REC"}, {"Description", "gift"}}}}},
    // The lender also endorses: the entity goes with the last row naming it.
    {"clsReceipt_Data",
     {{"ReceiptCode", "LOAN"}, {"Amount", 5000}, {"EntityID", "<entity>"}},
     {"Amount", 6000},
     {{"clsLoanItems_Data", "ReceiptID", "UniqueID", {{"EntityID", "<entity>"}, {"Amount", 1}}},
      {"clsLoanItems_Data", "ReceiptID", "UniqueID", {{"EntityID", "<own entity>"}}}}},
    {"clsGnSItems_Data",
     {{"ReceiptID", 1}, {"Amount", 10}, {"Description", "item"}},
     {"Description", "changed"},
     {}},
    {"clsLoanItems_Data",
     {{"ReceiptID", 1}, {"EntityID", "<entity>"}, {"Amount", 10}},
     {"Amount", 20},
     {}},
    {"clsExpenditure_Data",
     {{"ExpenditureCode", "oper"}, {"Amount", 75}, {"EntityID", "<entity>"}},
     {"Description", "changed"},
     {{"clsExpenditureItems_Data",
       "ExpenditureID",
       "UniqueID",
       {{"Amount", 25}, {"EntityID", "<entity>"}}},
      {"clsExpenditureItems_Data",
       "ExpenditureID",
       "UniqueID",
       {{"Amount", 50}, {"EntityID", "<own entity>"}}},
      {"clsNotes", "LinkID", "GroupID", {{"ReportSection", "EXP"}, {"Description", "paid"}}}}},
    {"clsExpenditureItems_Data",
     {{"ExpenditureID", 1}, {"Amount", 10}, {"EntityID", "<entity>"}},
     {"Amount", 20},
     {}},
    {"clsDebt_Data",
     {{"DebtCode", "loan"}, {"BeginBalance", 100}, {"EntityID", "<entity>"}},
     {"Description", "changed"},
     {{"clsDebtItem_Data", "DebtID", "UniqueID", {{"Amount", 10}, {"Description", "part"}}},
      {"clsNotes", "LinkID", "GroupID", {{"ReportSection", "DBT"}, {"Description", "owed"}}}}},
    {"clsDebtItem_Data", {{"DebtID", 1}, {"Amount", 10}}, {"Description", "changed"}, {}},
    {"clsAccount_Data",
     {{"AccountAbbr", "CHK"}, {"BeginBalance", 500}, {"EntityID", "<entity>"}},
     {"AccountNumber", "12-34"},
     {{"clsNotes", "LinkID", "GroupID", {{"ReportSection", "ACC"}, {"Description", "bank"}}}}},
    {"clsOfficer_Data",
     {{"NameCode", "TRS"}, {"EntityID", "<entity>"}},
     {"JudicialSeat", "changed"},
     {{"clsNotes", "LinkID", "GroupID", {{"ReportSection", "OFF"}, {"Description", "new"}}}}},
    {"clsTransfer_Data",
     {{"AccountFrom", "CHK"}, {"AccountTo", "SAV"}, {"Amount", 250}},
     {"Amount", 300},
     {{"clsNotes", "LinkID", "GroupID", {{"ReportSection", "TRN"}, {"Description", "moved"}}}}},
    {"clsAdminSupport_Data",
     {{"ItemCode", "oth"}, {"ItemDesc", "phones"}, {"Amount", 40}},
     {"ItemDesc", "changed"},
     {{"clsNotes", "LinkID", "GroupID", {{"ReportSection", "ASP"}, {"Description", "given"}}}}},
};

struct WalkedPath {
    const char* name;
    bool seeded;   // the row exists before the operation
    bool earlier;  // it was written in the report the current one amends
    bool deletes;  // DeleteData, else SaveData
};

const WalkedPath kPaths[] = {
    {"save a new row", false, false, false},
    {"save a change", true, false, false},
    {"save a change to an earlier version's row", true, true, false},
    {"delete a row and what hangs under it", true, false, true},
    {"delete an earlier version's row", true, true, true},
};

AutoValue Call(const ObjectRef& o, const std::string& member, std::vector<Variant> args = {}) {
    std::vector<AutoValue> values(args.begin(), args.end());
    return ObjectModel::Invoke(o, member, values);
}

// The database of one scenario, and the row it is about.
class Scenario {
  public:
    Scenario(const WalkedClass& c, const WalkedPath& p) : class_(c), path_(p) {
        DbConnect db;
        EXPECT_TRUE(db.ConnectionVariables(file_.Path(), "", "", "", false));
        names_ = std::make_unique<NameAddress>();
        names_->ConnectionVariables(file_.Path(), "", "", "", false);
        r1_ = test::NewReportVersion(db, "new");
        entity_ = NewEntity();
        if (p.seeded) {
            ObjectRef row = NewRow(file_.Path(), "", c.class_name, c.fields, r1_);
            EXPECT_TRUE(Call(row, "SaveData").Scalar().ToBool());
            id_ = Call(row, "UniqueID").Scalar().ToInt32();
            for (const Child& child : c.children) {
                std::vector<Field> fields = child.fields;
                fields.push_back({child.link, Call(row, child.parent_property).Scalar()});
                EXPECT_TRUE(
                    Call(NewRow(file_.Path(), "", child.class_name, fields, r1_), "SaveData")
                        .Scalar()
                        .ToBool());
            }
        }
        current_ = p.earlier ? test::NewReportVersion(db, "amend", r1_) : r1_;
        names_.reset();  // the file is copied: every connection to it must be closed
    }

    // A connected object of the class holding a row of report, with fields let; "" source is
    // the plain database.
    ObjectRef NewRow(const std::string& path, const std::string& source,
                     const std::string& class_name, const std::vector<Field>& fields,
                     int32_t report) {
        ObjectRef o = ObjectModel::Instance().CreateObject(class_name);
        Connect(o, path, source);
        EXPECT_TRUE(Call(o, "GetData").Scalar().ToBool());
        Let(o, {"ReportID", report});
        for (const Field& f : fields) Let(o, f);
        return o;
    }

    // The object of the operation, on a copy of the scenario's database through the faulty
    // backend, loaded and edited as the path wants.
    ObjectRef Arrange(const std::string& copy) {
        if (!path_.seeded)
            return NewRow(copy, FaultInjector::kSource, class_.class_name, class_.fields, r1_);
        ObjectRef o = ObjectModel::Instance().CreateObject(class_.class_name);
        Connect(o, copy, FaultInjector::kSource);
        EXPECT_TRUE(Call(o, "GetData", {id_}).Scalar().ToBool());
        if (!path_.deletes) Let(o, class_.change);
        return o;
    }

    bool Act(const ObjectRef& o) {
        return (path_.deletes ? Call(o, "DeleteData", {id_}) : Call(o, "SaveData"))
            .Scalar()
            .ToBool();
    }
    std::string Operation() const { return path_.deletes ? "DeleteData" : "SaveData"; }
    const std::string& Path() const { return file_.Path(); }

  private:
    void Connect(const ObjectRef& o, const std::string& path, const std::string& source) {
        EXPECT_TRUE(Call(o, "ConnectionVariables",
                         {path, source, "", "", false, std::to_string(current_ ? current_ : r1_)})
                        .Scalar()
                        .ToBool());
    }
    void Let(const ObjectRef& o, const Field& f) {
        Variant v = f.value;
        if (v.IsText() && v.GetString() == "<entity>") v = Variant(entity_);
        if (v.IsText() && v.GetString() == "<own entity>") {
            // Only while the scenario is seeded: an object of the walk would write outside it.
            EXPECT_TRUE(names_) << f.property;
            if (names_) v = Variant(NewEntity());
        }
        ObjectModel::Assign(o, f.property, AutoValue(v));
    }
    int32_t NewEntity() {
        NameAddressEntry e;
        e.last_name = "Person " + std::to_string(++entities_);
        std::string error;
        const int32_t id = names_->Save(e, error);
        EXPECT_EQ(error, "");
        return id;
    }

    const WalkedClass& class_;
    const WalkedPath& path_;
    test::TempReportDb file_;
    std::unique_ptr<NameAddress> names_;
    int32_t r1_ = 0, current_ = 0, entity_ = 0, id_ = 0, entities_ = 0;
};

// One run of the scenario's operation on a copy of its database with the nth call failing as
// mode says (n = 0: none): the database before and after, and how the call ended.
struct Outcome {
    std::string before, after, source;
    bool ok = false, raised = false, unlocked = false, fired = false;
    int calls = 0;
};

// No connection of the database at path holds a transaction open: another connection takes the
// file's write lock at once; on the server no other session of the database is in one.
bool NoTransactionOpen(const std::string& path) {
    if (IsServerConnection(path)) {
        std::string error;
        std::unique_ptr<pg::Connection> c = pg::Connection::Open(path, "", "", "", error);
        EXPECT_TRUE(c) << error;
        return c && c->Exec(
                         "SELECT count(*) FROM pg_stat_activity WHERE datname = "
                         "current_database() AND pid <> pg_backend_pid() AND state LIKE "
                         "'idle in transaction%'")
                            .Text(0, 0) == "0";
    }
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const bool unlocked =
        sqlite3_exec(db, "BEGIN IMMEDIATE; ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return unlocked;
}

Outcome RunOnce(Scenario& scenario, int n, FaultInjector::Mode mode) {
    FaultInjector& faults = FaultInjector::Instance();
    const std::string copy = test::CopyDatabase(scenario.Path());
    Outcome r;
    {
        ObjectRef o = scenario.Arrange(copy);
        r.before = test::DatabaseDigest(copy);
        faults.Arm(n, mode);
        try {
            r.ok = scenario.Act(o);
        } catch (const Error& e) {
            r.raised = true;
            r.source = e.Source();
            EXPECT_EQ(e.Number(), FaultInjector::InjectedError().Number());
        }
        r.calls = faults.Calls();
        r.fired = faults.Fired();
        faults.Disarm();
        r.unlocked = NoTransactionOpen(copy);  // while the objects and their connections live
    }
    r.after = test::DatabaseDigest(copy);
    test::RemoveDatabase(copy);
    return r;
}

TEST(FaultWalkTest, EveryCallOfEverySaveAndDeleteFailsCleanly) {
    const struct {
        FaultInjector::Mode mode;
        const char* name;
    } modes[] = {{FaultInjector::Mode::kRaise, "raise"},
                 {FaultInjector::Mode::kRaiseAfter, "raise after the call"},
                 {FaultInjector::Mode::kErrorText, "error text"}};
    int walked = 0;
    for (const WalkedClass& c : kClasses) {
        for (const WalkedPath& p : kPaths) {
            Scenario scenario(c, p);
            const Outcome whole = RunOnce(scenario, 0, FaultInjector::Mode::kRaise);
            EXPECT_TRUE(whole.ok && whole.unlocked) << c.class_name << ": " << p.name;
            for (const auto& [mode, mode_name] : modes) {
                for (int n = 1;; ++n) {
                    SCOPED_TRACE(std::string(c.class_name) + ", " + p.name + ", " + mode_name +
                                 ", call " + std::to_string(n) + " of " +
                                 std::to_string(whole.calls));
                    const Outcome r = RunOnce(scenario, n, mode);
                    EXPECT_TRUE(r.unlocked) << "a transaction was left open";
                    if (!r.fired) {
                        EXPECT_TRUE(r.ok && !r.raised);
                        EXPECT_EQ(r.after, whole.after);
                        break;
                    }
                    ++walked;
                    if (mode == FaultInjector::Mode::kErrorText) {
                        EXPECT_TRUE(!r.ok && !r.raised) << "the error text was not reported";
                    } else {
                        // The class's source names the operation.
                        EXPECT_TRUE(r.raised && r.source.starts_with("SQLite") &&
                                    r.source.find("." + scenario.Operation()) != std::string::npos)
                            << "the driver error did not reach the caller: " << r.source;
                    }
                    EXPECT_TRUE(r.after == r.before || r.after == whole.after)
                        << "half written:\nbefore " << r.before << "\nafter  " << r.after
                        << "\nwhole  " << whole.after;
                    if (HasFailure()) return;  // one broken step is enough to read
                }
            }
        }
    }
    EXPECT_GT(walked, 100);
}

}  // namespace
}  // namespace mz
