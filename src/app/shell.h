// The immediate window of mzreport: one statement per line, driving the object model by name.
//
//   Set n = CreateObject("clsNotes")          object assignment (also Set n.mobNotes = x)
//   n.ConnectionVariables DB, "", "", "", False, "3"   a call as a statement, result dropped
//   Call n.GetData(5)   n.GetData(5)          the same with parentheses
//   ? n.GetDataList(3, 7)   Print n.Description       print values (";" joins, "," tabs)
//   n.Description = "Paid in cash"            property Let
//   x = n.CurrentCount                        variable assignment (Dim x declares one)
//   Show n [--json]                           the object's rows, the current one marked; a single
//                                             row as name/value lines
//   Help   Help n   Help clsNotes               the statements, or a class's members
//   ' comment   Rem comment
//   On Error Resume Next   On Error GoTo 0    Err.Number, Err.Description, Err.Source, Err.Clear
//   Trace On   Trace Off                      print each database call as a trace line
//                                             (db/db_observer.h) while it is on
//
// Expressions: literals ("text" with "" inside, numbers, True, False, Null, Empty, Nothing),
// variables, member calls and reads, CreateObject, TypeName, IsNothing, unary -, Not,
// * / + - &, = <> < > <= >=, And, Or, parentheses. A variable passed as an argument receives what
// an out parameter hands back. The variable DB holds the database path of the command line.
//
// A raised error prints "Error <number>: <description> [<source>]" on the error stream, after
// "line <n>: " in a script.
#pragma once

#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "automation/object_model.h"

namespace mz::app {

class Shell {
  public:
    Shell(const std::string& db_path, std::ostream& out, std::ostream& err);
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Runs one line. False when an error was raised and not resumed (it has been printed).
    bool Execute(const std::string& line);
    // Runs every line of in; stops at the first unresumed error, printed with its line number.
    // Returns the exit status: 0, or 1 after an error.
    int RunScript(std::istream& in);

    // The words that may stand in line[start, end) (the word being typed, as readline splits
    // it): after "obj." the members of the object a path of variables and properties names,
    // after a quote the class names, else statements, functions and variables; each beginning
    // with what is typed, any case. Nothing is called but property reads.
    std::vector<std::string> Complete(const std::string& line, size_t start, size_t end) const;

    // The width Show wraps values to (80 unless set).
    void ScreenWidth(size_t width);

    // The value of a variable (Empty when it was never assigned).
    AutoValue Variable(const std::string& name) const;

    struct ErrState;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A value as "?" prints it: objects as "<object CLASS>", Nothing as "Nothing".
std::string PrintText(const AutoValue& v);

}  // namespace mz::app
