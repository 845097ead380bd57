// Typed accessors of record properties, one line per property in the class body:
//
//   class clsNotes : public RecordObject {
//     public:
//       static constexpr PropertyDef kProperties[] = {{"ReportID", "report_id", ...}, ...};
//       MZ_LONG_PROPERTY(ReportID);  // int32_t ReportID() const; void ReportID(int32_t)
//       MZ_TEXT_GETTER(OldTable);    // std::string OldTable() const
//
// The macros read the class's own kProperties (the table its RecordClassInfo points at) and find
// the property by its public name at compile time, so an accessor costs what a hand-written one
// with a constant PropertyDef would. A name missing from the table, a type other than the
// macro's, or a setter for a read-only property stops the compile. Getters and setters go through
// RecordObject's GetText/GetLong/.../Let, so conversions and computed values follow the table.
// An accessor that behaves otherwise is written by hand.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/record_class.h"
#include "platform/variant.h"

namespace mz::accessors {

// The entry named name in table; only callable at compile time, where a throw is a compile error.
consteval const PropertyDef& Resolve(std::span<const PropertyDef> table, std::string_view name,
                                     PropType type, bool setter) {
    for (const PropertyDef& p : table) {
        if (p.name != name) continue;
        if (p.type != type) throw "the accessor's type differs from the property table";
        if (setter && (p.access & (kLet | kLetAlways)) == 0)
            throw "setter for a read-only property";
        return p;
    }
    throw "no property of this name in kProperties";
}

}  // namespace mz::accessors

#define MZ_PROPERTY_DEF_(Name, Kind, setter) \
    ::mz::accessors::Resolve(kProperties, #Name, ::mz::PropType::Kind, setter)

#define MZ_GETTER_(Type, Kind, Name)                           \
    Type Name() const {                                        \
        return Get##Kind(MZ_PROPERTY_DEF_(Name, Kind, false)); \
    }

#define MZ_SETTER_(Param, Kind, Name)                                  \
    void Name(Param value) {                                           \
        Let(MZ_PROPERTY_DEF_(Name, Kind, true), ::mz::Variant(value)); \
    }

#define MZ_TEXT_GETTER(Name) MZ_GETTER_(std::string, Text, Name)
#define MZ_LONG_GETTER(Name) MZ_GETTER_(int32_t, Long, Name)
#define MZ_INTEGER_GETTER(Name) MZ_GETTER_(int16_t, Integer, Name)
#define MZ_CURRENCY_GETTER(Name) MZ_GETTER_(::mz::Currency, Currency, Name)
#define MZ_DOUBLE_GETTER(Name) MZ_GETTER_(double, Double, Name)
#define MZ_BOOLEAN_GETTER(Name) MZ_GETTER_(bool, Boolean, Name)

// A write-only property (a Let without a Get).
#define MZ_TEXT_SETTER(Name) MZ_SETTER_(const std::string&, Text, Name)

#define MZ_TEXT_PROPERTY(Name) MZ_TEXT_GETTER(Name) MZ_SETTER_(const std::string&, Text, Name)
#define MZ_LONG_PROPERTY(Name) MZ_LONG_GETTER(Name) MZ_SETTER_(int32_t, Long, Name)
#define MZ_INTEGER_PROPERTY(Name) MZ_INTEGER_GETTER(Name) MZ_SETTER_(int16_t, Integer, Name)
#define MZ_CURRENCY_PROPERTY(Name) \
    MZ_CURRENCY_GETTER(Name) MZ_SETTER_(::mz::Currency, Currency, Name)
#define MZ_DOUBLE_PROPERTY(Name) MZ_DOUBLE_GETTER(Name) MZ_SETTER_(double, Double, Name)
#define MZ_BOOLEAN_PROPERTY(Name) MZ_BOOLEAN_GETTER(Name) MZ_SETTER_(bool, Boolean, Name)
