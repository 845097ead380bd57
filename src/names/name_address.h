// NameAddress: the people and organisations named on report rows (contributors, payees,
// lenders, officers), kept in the table rpt_name_address of the report database.
//
// Entering names: GetData loads one entry (-1 starts a new, blank one), FindByName loads the
// entries whose name begins with a text, any case (the clerk's pick list of existing
// contributors); the fields of NameFields() are the current entry's properties, read and let by
// name (Field), and SaveData writes the current entry: a new one through
// sp_insert_rpt_name_address, a changed one through one sp_update_table call per changed column,
// all in one transaction, as every record class changes its rows in place (so the change journal
// records them alike). Nothing reaches the database before SaveData.
//
// May-delete rule: an entity may go with the row being deleted when no more than one row of the
// schedule tables names it (that row being the one the caller is deleting). An entity named by
// two or more rows, in any report or version, stays. Inside a delete cascade the rows are counted
// as the cascade's transaction sees them (see ReadingThrough), so rows the cascade has already
// deleted no longer count.
//
// DeleteData works on the caller's DbConnect, inside the caller's open transaction, and never
// begins, commits or rolls back. Errors: False/0/"" for soft failures (an error text of
// DbConnect, nothing loaded); engine errors raise, after SaveData has rolled back its own
// transaction.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "db/db_connect.h"
#include "platform/result_set.h"
#include "platform/variant.h"

namespace mz {

struct NameAddressEntry {
    int32_t unique_id = -1;  // -1: not yet stored
    bool is_org = false;
    std::string org_name, last_name, first_name, middle_name, prefix, suffix;
    std::string address1, address2, city, state, zip, country;
    std::string occupation, employer;
};

// One property of an entry: its public name, its column, and the parameter of the insert
// procedure that fills it ("" for the read-only ones).
struct NameField {
    enum Kind : uint8_t { kText, kBoolean, kLong };
    std::string_view property;   // "LastName"
    std::string_view column;     // "last_name"
    std::string_view parameter;  // "@Last_name"
    Kind kind = kText;
    std::string NameAddressEntry::*member = nullptr;  // the entry's text field, for texts

    bool Writable() const { return !parameter.empty(); }
};

// Every property in interface order: UniqueID, IsOrg, the name, address, occupation and employer
// texts, and FullName (an organisation's name, or a person's "first last").
std::span<const NameField> NameFields();

class NameAddress {
  public:
    NameAddress();
    ~NameAddress();
    NameAddress(const NameAddress&) = delete;
    NameAddress& operator=(const NameAddress&) = delete;

    bool ConnectionVariables(const std::string& DatabaseName, const std::string& Source,
                             const std::string& UsrName, const std::string& Pass, bool UseTrusted);
    // True when the entity may be deleted with the one row that names it (rule above).
    bool CanDelete(int32_t EntityID);

    // For its lifetime, CanDelete reads through conn (the connection of a running cascade, whose
    // uncommitted deletions it must see) instead of the own connection. Not copyable.
    class ReadingThrough {
      public:
        ReadingThrough(NameAddress& names, DbConnect& conn) : names_(names) {
            names_.reader_ = &conn;
        }
        ~ReadingThrough() { names_.reader_ = nullptr; }
        ReadingThrough(const ReadingThrough&) = delete;
        ReadingThrough& operator=(const ReadingThrough&) = delete;

      private:
        NameAddress& names_;
    };
    // Deletes the entity on the caller's connection. ReportID is informational (callers may pass
    // 0). True when the entity is gone (also when it did not exist); False on an error text.
    bool DeleteData(int32_t EntityID, int32_t ReportID, DbConnect& ObConnect);

    // --- entering names ---------------------------------------------------------------------
    // Loads entry EntityID; -1 starts a new, blank entry (IsNew). True when an entry is current.
    bool GetData(int32_t EntityID = -1);
    // Loads every entry whose organisation name, last name, "last, first" or "first last"
    // begins with Name, ignoring ASCII case, in name order. True when one was found; Count
    // tells how many.
    bool FindByName(const std::string& Name);
    // Writes the current entry (rule above) and reloads it. True when there was nothing to
    // write or all went in; False on an error text (nothing is kept) or with nothing loaded.
    bool SaveData();

    bool IsNew() const { return is_new_; }
    // An entry is current.
    bool DataReady() const;
    bool BOF() const;
    bool EOF() const;
    // Entries of the last FindByName.
    int32_t Count() const { return count_; }
    // Each False; nothing happens without entries loaded.
    bool MoveFirst();
    bool MovePrevious();
    bool MoveNext();
    bool MoveLast();
    // The loaded entries, or null.
    ResultSet* mRecSet() { return rs_.get(); }

    // The current entry's field: a text ("" for Null), IsOrg as a Boolean, UniqueID as a Long;
    // the empty value of its kind without a current entry. Field(f, value) changes the current
    // entry only ("" stores Null); it does nothing without one.
    Variant Field(const NameField& f) const;
    void Field(const NameField& f, const Variant& value);

    // Stores an entry (insert when unique_id is -1, else the changed fields) on the own
    // connection, through GetData, the fields and SaveData; its identifier, or -1 with error set.
    int32_t Save(NameAddressEntry& entry, std::string& error);
    // Loads one entry; false when there is none.
    bool Load(int32_t EntityID, NameAddressEntry& entry);

  private:
    // Keeps a DbConnect error text; true when it is "".
    bool Ok(std::string error);
    const Variant* Current(const NameField& f) const;
    bool Changed(const NameField& f) const;
    bool Open(const std::string& sql);
    bool Insert();
    bool UpdateChanged();

    DbConnect connection_;
    DbConnect* reader_ = nullptr;  // set by ReadingThrough
    std::unique_ptr<ResultSet> rs_;
    bool is_new_ = false;
    int32_t count_ = 0;
    std::string error_;  // of the last call that reached the database
};

}  // namespace mz
