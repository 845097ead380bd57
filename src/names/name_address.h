// NameAddress: the people and organisations named on report rows (contributors, payees,
// lenders, officers), kept in the table rpt_name_address of the report database.
//
// May-delete rule: an entity may go with the row being deleted when no more than one row of the
// schedule tables names it (that row being the one the caller is deleting). An entity named by
// two or more rows, in any report or version, stays. Inside a delete cascade the rows are counted
// as the cascade's transaction sees them (see ReadingThrough), so rows the cascade has already
// deleted no longer count.
//
// DeleteData works on the caller's DbConnect, inside the caller's open transaction, and never
// begins, commits or rolls back. Errors: False/0/"" for soft failures; engine errors raise.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "db/db_connect.h"

namespace mz {

struct NameAddressEntry {
    int32_t unique_id = -1;  // -1: not yet stored
    bool is_org = false;
    std::string org_name, last_name, first_name, middle_name, prefix, suffix;
    std::string address1, address2, city, state, zip, country;
    std::string occupation, employer;
};

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

    // Stores an entry (insert when unique_id is -1, else update) on the own connection and returns
    // its identifier, or -1 with error set.
    int32_t Save(NameAddressEntry& entry, std::string& error);
    // Loads one entry; false when there is none.
    bool Load(int32_t EntityID, NameAddressEntry& entry);

  private:
    DbConnect connection_;
    DbConnect* reader_ = nullptr;  // set by ReadingThrough
};

}  // namespace mz
