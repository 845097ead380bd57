#include "app/demo_narrator.h"

#include "app/command_support.h"
#include "app/table_printer.h"
#include "platform/error.h"
#include "platform/text.h"

#include <cctype>
#include <sstream>

namespace mz::app {
namespace {

std::string ArgText(const AutoValue& v) {
    if (v.IsObject()) return v.Obj() ? "<object>" : "Nothing";
    const Variant& s = v.Scalar();
    if (s.IsText()) return "\"" + s.GetString() + "\"";
    if (s.IsNull()) return "Null";
    return DisplayText(s);
}

}  // namespace

void Narrator::Chapter(const std::string& title) {
    out_ << "\n== " << title << " ==\n";
}

void Narrator::Line(const std::string& text) {
    out_ << text << "\n";
}

ObjectRef Narrator::Create(const std::string& var, const std::string& class_name) {
    out_ << "  Set " << var << " = CreateObject(\"" << class_name << "\")\n";
    return ObjectModel::Instance().CreateObject(class_name);
}

AutoValue Narrator::Call(const ObjectRef& obj, const std::string& var, const std::string& member,
                         std::vector<AutoValue> args) {
    std::string call = "  " + var + "." + member;
    if (!args.empty()) {
        call += "(";
        for (size_t i = 0; i < args.size(); ++i) call += (i ? ", " : "") + ArgText(args[i]);
        call += ")";
    }
    try {
        AutoValue result = ObjectModel::Invoke(obj, member, args);
        out_ << call;
        if (!result.IsObject() && !result.Scalar().IsEmpty()) out_ << "  -> " << ArgText(result);
        out_ << "\n";
        return result;
    } catch (const Error& e) {
        out_ << call << "\n  " << ErrorLine(e) << "\n";
        return AutoValue();
    }
}

void Narrator::Let(const ObjectRef& obj, const std::string& var, const std::string& member,
                   const AutoValue& value) {
    out_ << "  " << var << "." << member << " = " << ArgText(value) << "\n";
    ObjectModel::Assign(obj, member, value);
}

void Narrator::Show(const ObjectRef& obj, const std::string& caption,
                    const std::vector<std::string>& columns) {
    out_ << "  -- " << caption << "\n";
    ResultSet* rs = obj ? obj->Rows() : nullptr;
    if (!rs) {
        out_ << "  (no rows loaded)\n";
        return;
    }
    Table all = TableOf(*rs, false);
    Table shown = all;
    if (!columns.empty()) {
        shown.columns.clear();
        shown.rows.assign(all.rows.size(), {});
        for (const std::string& name : columns) {
            for (size_t c = 0; c < all.columns.size(); ++c) {
                if (!EqualsNoCase(all.columns[c], name)) continue;
                shown.columns.push_back(all.columns[c]);
                for (size_t r = 0; r < all.rows.size(); ++r)
                    shown.rows[r].push_back(all.rows[r][c]);
            }
        }
    }
    std::ostringstream table;
    PrintTable(table, shown, false);
    std::istringstream lines(table.str());
    for (std::string line; std::getline(lines, line);) out_ << "    " << line << "\n";
}

}  // namespace mz::app
