// The object model's own rules, on a small class registered by the test: look-up by name,
// argument conversion and defaults, out arguments, object variables, and every misuse.
#include "automation/object_model.h"

#include <gtest/gtest.h>

#include "db/db_connect.h"
#include "lists/notes.h"

namespace mz {
namespace {

struct Gadget {
    int32_t last_id = 0;
    std::string label = "none";
    std::shared_ptr<Gadget> mobChild;
    DbConnect own;

    std::string Describe(int32_t Id, const std::string& Text, bool Flag, double Ratio) {
        last_id = Id;
        return std::to_string(Id) + "|" + Text + "|" + (Flag ? "T" : "F") + "|" +
               Variant(Ratio).ToText();
    }
    int16_t Small(int16_t Value) { return Value; }
    std::string Label() const { return label; }
    void Label(const std::string& value) { label = value; }
    int32_t LastID() const { return last_id; }
    // Hands back its own connection when given none.
    bool Lend(DbConnect*& ObConnect) {
        if (!ObConnect) ObConnect = &own;
        return ObConnect == &own;
    }
    void Twice(Variant& Value) { Value = Variant(Value.ToInt32() * 2); }
};

void RegisterGadget() {
    static const bool done = [] {
        ObjectModel::Instance()
            .Register<Gadget>("clsGadget", "MZ_test.clsGadget")
            .Method("Describe", &Gadget::Describe,
                    {"Id", {"Text", ""}, {"Flag", false}, {"Ratio", 0.5}})
            .Method("Small", &Gadget::Small, {"Value"})
            .Property("Label", static_cast<std::string (Gadget::*)() const>(&Gadget::Label),
                      static_cast<void (Gadget::*)(const std::string&)>(&Gadget::Label))
            .Property("LastID", &Gadget::LastID)
            .Method("Lend", &Gadget::Lend, {{"ObConnect", Variant()}})
            .Method("Twice", &Gadget::Twice, {"Value"})
            .Object("mobChild", &Gadget::mobChild);
        return true;
    }();
    (void)done;
}

// "Error <n>: <description> [<source>]" of what f raises, or "no error".
template <class F>
std::string Raised(F&& f) {
    try {
        f();
    } catch (const Error& e) {
        return "Error " + std::to_string(e.Number()) + ": " + e.Description() + " [" + e.Source() +
               "]";
    }
    return "no error";
}

class ObjectModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterGadget();
        g = model.CreateObject("clsGadget");
    }
    AutoValue Call(const std::string& member, std::vector<AutoValue> args) {
        return ObjectModel::Invoke(g, member, args);
    }
    ObjectModel& model = ObjectModel::Instance();
    ObjectRef g;
};

TEST_F(ObjectModelTest, ClassesByNameOrProgIdInAnyCase) {
    EXPECT_EQ(model.FindClass("MZ_TEST.CLSGADGET"), &g->Class());
    EXPECT_EQ(model.FindClass("clsgadget"), &g->Class());
    EXPECT_EQ(model.FindClass("MZ_report_bus.clsNotes")->Name(), "clsNotes");
    EXPECT_EQ(model.FindClass("clsSETSEQUENCE")->ProgId(), "MZ_report_bus.clsSetSequence");
    EXPECT_EQ(model.FindClass("clsNothingLikeThis"), nullptr);  // not found is a value
    EXPECT_EQ(g->Class().FindMember("nosuch"), nullptr);
    EXPECT_EQ(g->Class().FindMember("DESCRIBE")->name, "Describe");

    EXPECT_EQ(Raised([&] { model.CreateObject("clsNothingLikeThis"); }),
              "Error 429: Can't create object: there is no class named \"clsNothingLikeThis\" "
              "[MZ_report_bus]");
    EXPECT_EQ(Raised([&] { model.CreateObject("ResultSet"); }),
              "Error 429: Can't create object: ResultSet is reached through other objects "
              "[MZ_report_bus]");
}

TEST_F(ObjectModelTest, ArgumentsConvertAndTakeTheirDefaults) {
    EXPECT_EQ(Call("describe", {Variant("12")}).Scalar(), Variant("12||F|0.5"));
    EXPECT_EQ(Call("Describe", {Variant(3.5), Variant(int32_t{7}), Variant("True"), Variant("2")})
                  .Scalar(),
              Variant("4|7|T|2"));  // 3.5 rounds half to even
    EXPECT_EQ(ObjectModel::Get(g, "lastid").Scalar(), Variant(int32_t{4}));
    EXPECT_EQ(Call("Small", {Variant("-3")}).Scalar(), Variant(int16_t{-3}));

    ObjectModel::Assign(g, "label", AutoValue(Variant(int32_t{42})));
    EXPECT_EQ(ObjectModel::Get(g, "Label").Scalar(), Variant("42"));
}

TEST_F(ObjectModelTest, MisuseRaisesNamingClassMemberAndArgument) {
    EXPECT_EQ(Raised([&] { Call("Describe", {Variant("abc")}); }),
              "Error 13: Type mismatch in argument Id of clsGadget.Describe: cannot convert String "
              "\"abc\" to Double [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] {
                  Call("Describe", {Variant(1), Variant(""), Variant("maybe")});
              }),
              "Error 13: Type mismatch in argument Flag of clsGadget.Describe: cannot convert "
              "String \"maybe\" to Boolean [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { Call("Small", {Variant(int32_t{40000})}); }),
              "Error 6: Overflow in argument Value of clsGadget.Small: 40000 does not fit in "
              "Integer [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { Call("Describe", {Variant::Null()}); }),
              "Error 94: Invalid use of Null in argument Id of clsGadget.Describe "
              "[MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { Call("Describe", {AutoValue::Object(g)}); }),
              "Error 13: Type mismatch in argument Id of clsGadget.Describe: a value is "
              "expected, not an object [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { Call("Describe", {}); }),
              "Error 450: Wrong number of arguments or invalid property assignment: argument Id "
              "of clsGadget.Describe is not optional [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] {
                  Call("Small", {Variant(1), Variant(2)});
              }),
              "Error 450: Wrong number of arguments or invalid property assignment: "
              "clsGadget.Small takes 1 argument, 2 given [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { Call("LastID", {Variant(1)}); }),
              "Error 450: Wrong number of arguments or invalid property assignment: "
              "clsGadget.LastID takes 0 arguments, 1 given [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { Call("Explode", {}); }),
              "Error 438: Object doesn't support this property or method: clsGadget.Explode "
              "[MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { ObjectModel::Assign(g, "Explode", AutoValue(Variant(1))); }),
              "Error 438: Object doesn't support this property or method: clsGadget.Explode "
              "[MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { ObjectModel::Assign(g, "lastid", AutoValue(Variant(1))); }),
              "Error 450: Wrong number of arguments or invalid property assignment: "
              "clsGadget.LastID is read-only [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { ObjectModel::Assign(g, "Small", AutoValue(Variant(1))); }),
              "Error 450: Wrong number of arguments or invalid property assignment: "
              "clsGadget.Small is a method [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { ObjectModel::Assign(g, "Label", AutoValue::Nothing()); }),
              "Error 13: Type mismatch in the value assigned to clsGadget.Label: a value is "
              "expected, not an object [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { ObjectModel::Get(nullptr, "Label"); }),
              "Error 91: Object variable not set (using .Label on Nothing) [MZ_report_bus]");
    // A failed conversion leaves the object untouched.
    EXPECT_EQ(ObjectModel::Get(g, "LastID").Scalar(), Variant(int32_t{0}));
}

TEST_F(ObjectModelTest, OutArgumentsAreWrittenBack) {
    std::vector<AutoValue> args{AutoValue(Variant(int32_t{21}))};
    ObjectModel::Invoke(g, "Twice", args);
    EXPECT_EQ(args[0].Scalar(), Variant(int32_t{42}));

    // Given nothing, Lend hands back its own connection, which keeps the gadget alive.
    std::vector<AutoValue> conn{AutoValue()};
    EXPECT_EQ(ObjectModel::Invoke(g, "Lend", conn).Scalar(), Variant(true));
    ASSERT_TRUE(conn[0].IsObject());
    ASSERT_NE(conn[0].Obj(), nullptr);
    EXPECT_EQ(conn[0].Obj()->Class().Name(), "DbConnect");
    DbConnect* lent = conn[0].Obj()->As<DbConnect>();
    EXPECT_EQ(lent, &g->As<Gadget>()->own);
    g.reset();
    EXPECT_FALSE(ObjectModel::Get(conn[0].Obj(), "InTransaction").Scalar().GetBool());

    // Given a connection, it is passed in and stays.
    g = model.CreateObject("clsGadget");
    ObjectRef other = model.CreateObject("MZ_DB_Connect.DbConnect");
    std::vector<AutoValue> given{AutoValue::Object(other)};
    EXPECT_EQ(ObjectModel::Invoke(g, "Lend", given).Scalar(), Variant(false));
    EXPECT_EQ(given[0].Obj(), other);
    // Optional out argument left out: nothing to write back, no error.
    std::vector<AutoValue> none;
    EXPECT_EQ(ObjectModel::Invoke(g, "Lend", none).Scalar(), Variant(true));
    EXPECT_TRUE(none.empty());
    std::vector<AutoValue> wrong{AutoValue::Object(g)};
    EXPECT_EQ(Raised([&] { ObjectModel::Invoke(g, "Lend", wrong); }),
              "Error 13: Type mismatch in argument ObConnect of clsGadget.Lend: a DbConnect "
              "object is expected [MZ_test.clsGadget]");
}

TEST_F(ObjectModelTest, ObjectVariablesAreReadAndReplaced) {
    EXPECT_EQ(ObjectModel::Get(g, "mobChild").Obj(), nullptr);
    ObjectRef child = model.CreateObject("clsGadget");
    ObjectModel::Assign(child, "Label", AutoValue(Variant("child")));
    ObjectModel::Assign(g, "MOBCHILD", AutoValue::Object(child));
    AutoValue read = ObjectModel::Get(g, "mobChild");
    ASSERT_TRUE(read.IsObject());
    EXPECT_EQ(ObjectModel::Get(read.Obj(), "Label").Scalar(), Variant("child"));
    EXPECT_EQ(read.Obj()->Raw(), child->Raw());

    EXPECT_EQ(Raised([&] {
                  ObjectModel::Assign(g, "mobChild",
                                      AutoValue::Object(model.CreateObject("DbConnect")));
              }),
              "Error 13: Type mismatch in the value assigned to clsGadget.mobChild: a clsGadget "
              "object is expected [MZ_test.clsGadget]");
    EXPECT_EQ(Raised([&] { ObjectModel::Assign(g, "mobChild", AutoValue(Variant(1))); }),
              "Error 13: Type mismatch in the value assigned to clsGadget.mobChild: a clsGadget "
              "object is expected [MZ_test.clsGadget]");
    std::vector<AutoValue> args{AutoValue(Variant(1))};
    EXPECT_EQ(Raised([&] { ObjectModel::Invoke(g, "mobChild", args); }),
              "Error 450: Wrong number of arguments or invalid property assignment: "
              "clsGadget.mobChild takes 0 arguments, 1 given [MZ_test.clsGadget]");

    ObjectModel::Assign(g, "mobChild", AutoValue::Nothing());
    EXPECT_EQ(ObjectModel::Get(g, "mobChild").Obj(), nullptr);
}

TEST_F(ObjectModelTest, RecordClassesTakeTheirMembersFromTheirTables) {
    const AutoClass& notes = *model.FindClass("clsNotes");
    // Every column property, writable exactly where the table says.
    for (const PropertyDef& p : model.CreateObject("clsNotes")->As<clsNotes>()->Info().properties) {
        const AutoMember* m = notes.FindMember(p.name);
        ASSERT_NE(m, nullptr) << p.name;
        EXPECT_EQ(static_cast<bool>(m->assign), p.Writable()) << p.name;
    }
    // The class's own GetDataList replaces the common one.
    const AutoMember* list = notes.FindMember("GetDataList");
    ASSERT_EQ(list->params.size(), 3u);
    EXPECT_EQ(list->params[1].name, "Link");
    // Members its info does not name are absent.
    EXPECT_EQ(notes.FindMember("ListFilter"), nullptr);
    EXPECT_EQ(notes.FindMember("mRecSet"), nullptr);
    EXPECT_NE(notes.FindMember("IsNew")->assign, nullptr);  // kMemberIsNewLet
    const AutoMember* del = notes.FindMember("DeleteData");
    ASSERT_EQ(del->params.size(), 2u);
    EXPECT_TRUE(del->param_out[1]);
}

}  // namespace
}  // namespace mz
