// A report database for end-to-end tests of the record classes: report versions, people and
// organisations to name on rows, record objects working in a version, and a snapshot of the rows
// of some tables (the whole state a cascade may touch).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "core/record_object.h"
#include "db/db_connect.h"
#include "lists/notes.h"
#include "names/name_address.h"
#include "support/temp_db.h"

namespace mz::test {

// A property value by public name, for AddRow.
struct Value {
    const char* property;
    Variant value;
};

// Saves a new row of o with the properties given (ReportID among them; an Empty value is left
// alone); its unique_id. Fails the test when a property is unknown or the save fails.
int32_t AddRow(RecordObject& o, std::initializer_list<Value> values);

class ReportDb {
  public:
    ReportDb();

    int32_t NewReport() { return NewReportVersion(c_, "new"); }
    int32_t Amend(int32_t report) { return NewReportVersion(c_, "amend", report); }
    int32_t Audit(int32_t report) { return NewReportVersion(c_, "audit", report); }

    int32_t Person(const std::string& last, const std::string& first);
    int32_t Org(const std::string& name);

    // A record object connected to the database, working in report `report`.
    template <class T>
    std::unique_ptr<T> Object(int32_t report) const {
        auto o = std::make_unique<T>();
        Connect(*o, report);
        return o;
    }

    // A note on the row of group link, written in report `report`; its unique_id.
    static int32_t AddNote(clsNotes& notes, int32_t report, int32_t link,
                           const std::string& text = "note");

    // "<table>=<unique_ids in order>; " for each table.
    std::string Snapshot(std::initializer_list<const char*> tables) const;
    // Makes every delete from table fail inside the engine with "injected failure".
    void FailDeletesOf(const std::string& table) const;

    TempReportDb db;

  private:
    template <class T>
    void Connect(T& o, int32_t report) const {
        const bool ok = o.ConnectionVariables(db.Path(), "", "", "", false, std::to_string(report));
        Check(ok);
    }
    static void Check(bool connected);
    int32_t Save(NameAddressEntry& e);

    DbConnect c_;
    NameAddress names_;
};

}  // namespace mz::test
