#include "support/report_db.h"

#include <gtest/gtest.h>

namespace mz::test {

int32_t AddRow(RecordObject& o, std::initializer_list<Value> values) {
    EXPECT_TRUE(o.GetData());
    for (const Value& v : values) {
        if (v.value.IsEmpty()) continue;
        const PropertyDef* p = o.Info().FindProperty(v.property);
        EXPECT_NE(p, nullptr) << v.property;
        if (p) o.Let(*p, v.value);
    }
    EXPECT_TRUE(o.SaveData()) << o.Info().class_name;
    return o.GetLong(*o.Info().FindProperty("UniqueID"));
}

ReportDb::ReportDb() {
    EXPECT_TRUE(c_.ConnectionVariables(db.Path(), "", "", "", false));
    names_.ConnectionVariables(db.Path(), "", "", "", false);
}

int32_t ReportDb::Person(const std::string& last, const std::string& first) {
    NameAddressEntry e;
    e.last_name = last;
    e.first_name = first;
    return Save(e);
}

int32_t ReportDb::Org(const std::string& name) {
    NameAddressEntry e;
    e.is_org = true;
    e.org_name = name;
    return Save(e);
}

int32_t ReportDb::Save(NameAddressEntry& e) {
    std::string error;
    const int32_t id = names_.Save(e, error);
    EXPECT_EQ(error, "");
    return id;
}

void ReportDb::Check(bool connected) {
    EXPECT_TRUE(connected);
}

int32_t ReportDb::AddNote(clsNotes& notes, int32_t report, int32_t link, const std::string& text) {
    EXPECT_TRUE(notes.GetData());
    notes.ReportID(report);
    notes.LinkID(std::to_string(link));
    notes.Description(text);
    EXPECT_TRUE(notes.SaveData());
    return notes.UniqueID();
}

std::string ReportDb::Snapshot(std::initializer_list<const char*> tables) const {
    std::string s;
    for (const char* t : tables) {
        const std::string list =
            OnPostgres() ? "string_agg(unique_id::text, ',')" : "group_concat(unique_id)";
        s += std::string(t) + "=" +
             db.Scalar("select coalesce(" + list + ", '') from (select unique_id from " +
                       std::string(t) + " order by unique_id) u") +
             "; ";
    }
    return s;
}

void ReportDb::FailDeletesOf(const std::string& table) const {
    FailDeletes(db, table);
}

}  // namespace mz::test
