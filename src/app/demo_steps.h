// What the demo chapters that drive the C++ classes directly share: their own connection and
// name component, one "ok"/"FAILED" line per checked step, the report versions they file and
// the objects they connect to one report.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

#include "app/command_support.h"
#include "db/db_connect.h"
#include "names/name_address.h"
#include "platform/error.h"

namespace mz::app {

class DemoSteps {
  protected:
    explicit DemoSteps(std::string path) : path_(std::move(path)) {}

    // Connects the chapter's own connection and name component; False (and a FAILED line) when
    // the database cannot be opened.
    bool Connect();
    // Prints the step with "ok" or "FAILED"; a failure fails the chapter. Returns ok.
    bool Check(bool ok, const std::string& what);
    // A new report version ("new", "amend" or "audit" of based_on); 0 when it was refused.
    int32_t Report(const char* action, int32_t based_on);
    // A new entry of the name component: an organisation, or a person by last and first name.
    int32_t Name(const std::string& name, const std::string& first, bool org = false);
    // A new object of class T working for report `report`.
    template <class T>
    std::unique_ptr<T> Object(int32_t report) const {
        auto o = std::make_unique<T>();
        o->ConnectionVariables(path_, "", "", "", false, std::to_string(report));
        return o;
    }
    // "rpt_x=3 rpt_y=1 ...": how many rows each table holds, stored versions included.
    std::string Counts(std::initializer_list<const char*> tables);

    std::string path_;
    DbConnect db_;
    NameAddress names_;
    bool ok_ = true;
};

// Runs a chapter's Run(), printing a raised error instead of letting it end the demo.
template <class Chapter>
bool RunChapter(const std::string& db_path) {
    try {
        return Chapter(db_path).Run();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", ErrorLine(e).c_str());
        return false;
    }
}

}  // namespace mz::app
