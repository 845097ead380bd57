// A value that may be Empty, Null, a Boolean, a 16- or 32-bit integer, a Double, Currency, a Date
// or a text: what result-set fields hold and what the object model passes around.
// Conversions follow the platform's rules: text of Null or Empty is "", numbers print in their
// shortest form, Booleans print "True"/"False". Copyable on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "platform/currency.h"
#include "platform/date.h"

namespace mz {

enum class VarType : uint8_t { Empty, Null, Boolean, Int16, Int32, Double, Currency, Date, String };

// "Empty", "Null", "Boolean", "Integer", "Long", "Double", "Currency", "Date", "String".
const char* VarTypeName(VarType type);

class Variant {
  public:
    Variant() = default;  // Empty
    static Variant Null() {
        Variant v;
        v.value_ = NullTag{};
        return v;
    }
    Variant(bool b) : value_(b) {}
    Variant(int16_t i) : value_(i) {}
    Variant(int32_t i) : value_(i) {}
    Variant(double d) : value_(d) {}
    Variant(Currency c) : value_(c) {}
    Variant(Date d) : value_(d) {}
    Variant(std::string s) : value_(std::move(s)) {}
    Variant(std::string_view s) : value_(std::string(s)) {}
    Variant(const char* s) : value_(std::string(s)) {}

    VarType Type() const { return static_cast<VarType>(value_.index()); }
    bool IsEmpty() const { return Type() == VarType::Empty; }
    bool IsNull() const { return Type() == VarType::Null; }
    bool IsText() const { return Type() == VarType::String; }
    // Boolean, integer, Double or Currency.
    bool IsNumber() const;
    // A number, or a text that parses entirely as a number.
    bool IsNumeric() const;
    // A Date, or a text that parses as a date.
    bool IsDate() const;

    // Raw access. REQUIRES: the matching type.
    bool GetBool() const { return std::get<bool>(value_); }
    int16_t GetInt16() const { return std::get<int16_t>(value_); }
    int32_t GetInt32() const { return std::get<int32_t>(value_); }
    double GetDouble() const { return std::get<double>(value_); }
    Currency GetCurrency() const { return std::get<Currency>(value_); }
    const Date& GetDate() const { return std::get<Date>(value_); }
    const std::string& GetString() const { return std::get<std::string>(value_); }

    // Conversions. Each throws Error 13 "Type mismatch" when the value cannot convert (Null
    // included, except for ToText) and Error 6 "Overflow" when it does not fit.
    std::string ToText() const&;  // "" for Null and Empty
    std::string ToText() &&;      // the same, moving a String's text out
    double ToDouble() const;      // Empty is 0; texts must be numeric
    int32_t ToInt32() const;      // rounds half to even, as the platform does
    int16_t ToInt16() const;
    bool ToBool() const;  // numbers: non-zero; texts "True"/"False" or numeric
    Currency ToCurrency() const;
    Date ToDate() const;  // dates, date texts, and numbers as serial dates

    // The numeric value of a text's leading number ("12abc" -> 12, "abc" -> 0, " -1.5e2x" -> -150);
    // numbers give their value, Null and Empty give 0.
    static double Val(std::string_view text);
    double Val() const;

    // Same type and same value.
    bool operator==(const Variant& other) const = default;

    // A debugging and display form: texts quoted, "Null", "Empty", dates as #m/d/yyyy#.
    std::string Repr() const;

  private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    std::variant<std::monostate, NullTag, bool, int16_t, int32_t, double, Currency, Date,
                 std::string>
        value_;
};

}  // namespace mz
