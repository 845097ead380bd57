#include "app/demo_lookups.h"

#include "lists/lookup_list.h"

namespace mz::app {

namespace {

const std::vector<std::string> kWindowColumns = {"code", "description", "effective_date",
                                                 "expire_date"};

AutoValue Number(int32_t n) {
    return AutoValue(Variant(n));
}
AutoValue Day(int year, int month, int day) {
    return AutoValue(Variant(Date(year, month, day)));
}

}  // namespace

bool RunLookupsDemo(Narrator& say, const std::string& db_path) {
    say.Chapter("Lookup lists: the codes valid on a report's date, found and translated");
    ObjectRef l = say.Create("l", "clsLookup_List");
    say.Call(l, "l", "ConnectionVariables",
             {Variant(db_path), Variant(""), Variant(""), Variant(""), Variant(false)});
    bool ok = true;
    auto load = [&](std::vector<AutoValue> args) {
        ok = say.Call(l, "l", "GetData", std::move(args)).Scalar().ToBool() && ok;
    };

    say.Line("forms of payment (mzL_ReceiptPayemnt = 11) on a report of 12/31/2014, and of 2027:");
    load({Number(mzL_ReceiptPayemnt), Day(2014, 12, 31)});
    say.Show(l, "the traveler's check is still offered, the digital wallet not yet",
             kWindowColumns);
    load({Number(mzL_ReceiptPayemnt), Day(2027, 3, 31)});
    say.Show(l, "the traveler's check has expired, the digital wallet is new", kWindowColumns);

    say.Line("a county code found and translated (mzL_County = 1):");
    load({Number(mzL_County), Day(2024, 11, 5)});
    const AutoValue found = say.Call(l, "l", "FindIndex", {AutoValue(Variant("007"))});
    say.Let(l, "l", "Index", found);
    say.Call(l, "l", "Description", {});
    say.Call(l, "l", "GetDescription", {AutoValue(Variant("027"))});

    say.Line("the municipalities of today (mzL_Municipality = 45), filtered on one county:");
    load({Number(mzL_Municipality)});
    say.Call(l, "l", "RecordCount", {});
    say.Let(l, "l", "ListFilter", AutoValue(Variant("County_ID = '007'")));
    say.Show(l, "Chittenden county", {"code", "description", "County_ID", "municipality_type"});
    say.Let(l, "l", "ListFilter", AutoValue(Variant("")));
    say.Call(l, "l", "ListFilter", {});
    say.Call(l, "l", "RecordCount", {});

    say.Line(
        "the quarterly report sub-types a political action committee files (mzL_ReportSubType"
        " = 7):");
    load({Number(mzL_ReportSubType), Day(2024, 11, 5), Number(-1), AutoValue(Variant("QTR")),
          AutoValue(Variant("PAC"))});
    say.Show(l, "sub-types of type QTR in group PAC", {"code", "type_code", "description"});
    return ok;
}

}  // namespace mz::app
