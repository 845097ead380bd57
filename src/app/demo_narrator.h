// The demo's voice: runs object-model calls by name and prints each one with its result, the way
// a person would type them into `mzreport shell`, plus headings and list tables.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "automation/object_model.h"
#include "db/db_connect.h"

namespace mz::app {

class Narrator {
  public:
    explicit Narrator(std::ostream& out) : out_(out) {}

    void Chapter(const std::string& title);
    void Line(const std::string& text);
    // Set var = CreateObject(class_name)
    ObjectRef Create(const std::string& var, const std::string& class_name);
    // var.member(args) -> result; a raised error is printed as the shell prints it and returned
    // as Empty.
    AutoValue Call(const ObjectRef& obj, const std::string& var, const std::string& member,
                   std::vector<AutoValue> args);
    // var.member = value
    void Let(const ObjectRef& obj, const std::string& var, const std::string& member,
             const AutoValue& value);
    // The object's current rows as a table under a caption, with only the named columns (all
    // when none are named).
    void Show(const ObjectRef& obj, const std::string& caption,
              const std::vector<std::string>& columns = {});

  private:
    std::ostream& out_;
};

// A chapter of the demo contributed by a family of record classes (receipts, ...), run in order
// after the notes chapter. False stops the demo.
struct DemoChapter {
    const char* name;
    bool (*run)(Narrator& say, const std::string& db_path, DbConnect& db);
};
const std::vector<DemoChapter>& DemoChapters();

}  // namespace mz::app
