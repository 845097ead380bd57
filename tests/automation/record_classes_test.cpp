// Every record class driven through the object model only, by name, as a front end drives them,
// on a real report database; scripts of single classes by name are in shell_corpus.test.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "automation/object_model.h"
#include "platform/text.h"
#include "support/temp_db.h"

namespace mz {
namespace {

class ByName {
  public:
    explicit ByName(ObjectRef object) : o_(std::move(object)) {}
    // Calls with scalar arguments and returns the result as text (objects as "<Class>").
    template <class... A>
    std::string operator()(const std::string& member, A... args) {
        std::vector<AutoValue> v{AutoValue(Variant(args))...};
        return Text(ObjectModel::Invoke(o_, member, v));
    }
    void Let(const std::string& member, Variant value) {
        ObjectModel::Assign(o_, member, AutoValue(std::move(value)));
    }
    AutoValue Call(const std::string& member, std::vector<AutoValue>& args) {
        return ObjectModel::Invoke(o_, member, args);
    }
    const ObjectRef& Ref() const { return o_; }

    static std::string Text(const AutoValue& v) {
        if (v.IsObject()) return v.Obj() ? "<" + v.Obj()->Class().Name() + ">" : "Nothing";
        if (v.Scalar().IsNull()) return "Null";
        return v.Scalar().ToText();
    }

  private:
    ObjectRef o_;
};

std::string Text(const AutoValue& v) {
    return ByName::Text(v);
}

ByName Create(const std::string& name) {
    return ByName(ObjectModel::Instance().CreateObject(name));
}

template <class F>
std::string Raised(F&& f) {
    try {
        f();
    } catch (const Error& e) {
        return std::to_string(e.Number()) + ": " + e.Description() + " [" + e.Source() + "]";
    }
    return "no error";
}

// A new report through DbConnect by name; its identifier as text.
std::string NewReport(const std::string& path) {
    ByName db = Create("MZ_DB_Connect.DbConnect");
    EXPECT_EQ(db("ConnectionVariables", path, "", "", "", false), "True");
    EXPECT_EQ(db("CreateCommand", "sp_misc_report_new"), "");
    EXPECT_EQ(db("ExecuteCommand"), "");
    std::vector<AutoValue> args{AutoValue(Variant("@Report_id")), AutoValue()};
    EXPECT_EQ(ByName::Text(db.Call("GetParameter", args)), "");
    return ByName::Text(args[1]);
}

// Every registered record class, on the blank row of GetData(): each column property reads its
// empty value, joined columns (names, type descriptions) included. Booleans convert the column
// and so raise on its Null, as they do on any row. ListFilter reads the result set's "0" (no
// filter) until a filter is set, and "" or "0" clears it again.
TEST(RecordClassesTest, EveryBlankRowReadsEmpty) {
    test::TempReportDb file;
    const std::string report = NewReport(file.Path());
    int classes = 0;
    for (const AutoClass* cls : ObjectModel::Instance().Classes()) {
        if (!cls->Record() || !cls->Creatable()) continue;
        ++classes;
        ByName object = Create(cls->Name());
        EXPECT_EQ(object("ConnectionVariables", file.Path(), "", "", "", false, report), "True");
        ASSERT_EQ(object("GetData"), "True") << cls->Name();
        EXPECT_EQ(object("IsNew"), "True") << cls->Name();
        for (const PropertyDef& p : cls->Record()->properties) {
            if ((p.access & kGet) == 0) continue;  // write-only
            const std::string name(p.name);
            std::string value;
            const std::string raised = Raised([&] { value = object(name); });
            if (p.type == PropType::Boolean) {
                EXPECT_EQ(raised.substr(0, 3), "13:") << cls->Name() << "." << name;
            } else {
                EXPECT_EQ(raised, "no error") << cls->Name() << "." << name;
                EXPECT_TRUE(value == "" || value == "0" || value == "2")
                    << cls->Name() << "." << name << " = " << value;
            }
        }
        if (cls->FindMember("ListFilter")) {
            std::string filters = object("ListFilter");
            for (const char* set : {"unique_id = Null", "0", "unique_id = Null", ""}) {
                object.Let("ListFilter", set);
                filters += " " + object("ListFilter");
            }
            EXPECT_EQ(filters, "0 unique_id = Null 0 unique_id = Null 0") << cls->Name();
        }
    }
    EXPECT_GE(classes, 4);
}

// Every list of every registered class that has page properties, over one row on a page numbered
// 7 with amount 99 while the row's own stored copies say 5 and 55: where a list selects a page
// column from its page join, the property reads the page's value, and no list carries two
// columns of a page property's name (the first of them would be read).
TEST(RecordClassesTest, EveryListReadsPageColumnsFromItsPageJoin) {
    test::TempReportDb file;
    const std::string report = NewReport(file.Path());
    ByName page = Create("clsPage_Amount");
    EXPECT_EQ(page("ConnectionVariables", file.Path(), "", "", "", false, report), "True");
    EXPECT_EQ(page("GetData"), "True");
    page.Let("ReportID", report);
    page.Let("ReportSectionCode", "trn");
    for (const char* p : {"ActualPageNumber", "CurrentPageNumber", "MaxPageNumber"})
        page.Let(p, "7");
    for (const char* p : {"CurrentPageAmount", "MaxPageAmount"}) page.Let(p, "99");
    ASSERT_EQ(page("SaveData"), "True");
    const std::string group = page("GroupID");

    const std::pair<const char*, const char*> kPageColumns[] = {{"CurrentPageNumber", "7"},
                                                                {"MaxPageNumber", "7"},
                                                                {"CurrentPageAmount", "99"},
                                                                {"MaxPageAmount", "99"}};
    int joined = 0;
    const Variant report_id(report), version(int16_t{2});
    for (const AutoClass* cls : ObjectModel::Instance().Classes()) {
        const RecordClassInfo* info = cls->Record();
        if (!info || !cls->Creatable() || !info->FindProperty("CurrentPageNumber") ||
            !info->FindProperty("PageAmountID"))
            continue;
        ByName o = Create(cls->Name());
        EXPECT_EQ(o("ConnectionVariables", file.Path(), "", "", "", false, report), "True");
        EXPECT_EQ(o("GetData"), "True");
        o.Let("ReportID", report);
        o.Let("PageAmountID", group);
        ASSERT_EQ(o("SaveData"), "True") << cls->Name();
        std::string own;
        for (const auto& [property, on_page] : kPageColumns) {
            if (const PropertyDef* p = info->FindProperty(property))
                own += (own.empty() ? "" : ", ") + std::string(p->column) + " = " +
                       (std::string(on_page) == "7" ? "5" : "55");
        }
        file.Exec("update " + std::string(info->table) + " set " + own);
        for (const AutoMember& m : cls->Members()) {
            if (m.kind != AutoMember::kMethod || !m.name.starts_with("GetData") ||
                m.name.find("List") == std::string::npos)
                continue;
            std::vector<AutoValue> args;
            for (const Param& a : m.params) {
                if (a.name == "ReportID")
                    args.emplace_back(report_id);
                else if (a.name == "ReportVersion")
                    args.emplace_back(version);
                else if (a.fixed_default)
                    args.emplace_back(*a.fixed_default);
            }
            if (args.size() != m.params.size() || Text(o.Call(m.name, args)) != "True") continue;
            const std::string list = cls->Name() + "." + m.name;
            const ResultSet& rs = *o.Ref()->Rows();
            for (const auto& [property, on_page] : kPageColumns) {
                if (!info->FindProperty(property)) continue;
                const std::string column(info->FindProperty(property)->column);
                std::vector<std::string> values;
                for (int i = 0; i < rs.FieldCount(); ++i) {
                    if (EqualsNoCase(rs.FieldAt(i).name, column))
                        values.push_back(rs.Value(i).ToText());
                }
                EXPECT_LE(values.size(), 1u) << list << " has two columns " << column;
                if (std::find(values.begin(), values.end(), on_page) == values.end()) continue;
                ++joined;
                EXPECT_EQ(o(property), on_page) << list << "." << property;
            }
        }
    }
    EXPECT_GE(joined, 2);  // the transfers' list joins the current number and amount
}

// What each registered class sends its insert procedure is what the procedure declares.
TEST(RecordClassesTest, EveryInsertParameterIsDeclaredByItsProcedure) {
    test::TempReportDb file;
    DbConnect db;
    ASSERT_TRUE(db.ConnectionVariables(file.Path(), "", "", "", false));
    for (const AutoClass* cls : ObjectModel::Instance().Classes()) {
        const RecordClassInfo* info = cls->Record();
        if (!info || !info->versioned) continue;
        ASSERT_EQ(db.CreateCommand("sp_insert_" + std::string(info->table)), "") << cls->Name();
        for (const char* fixed : {"@Function", "@Report_id", "@Ref_id"})
            EXPECT_EQ(db.AddParameter(fixed, Variant()), "") << cls->Name();
        for (const InsertParamDef& p : info->insert_params)
            EXPECT_EQ(db.AddParameter(p.param, Variant()), "") << cls->Name();
    }
}

}  // namespace
}  // namespace mz
