// The conversions of conversions.test: each operation applied to its input, its result compared.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/error.h"
#include "platform/variant.h"
#include "support/data_file.h"

namespace mz {
namespace {

// A typed input of the corpus (see the head of conversions.test).
Variant Input(const std::string& text) {
    if (text == "Empty") return Variant();
    if (text == "Null") return Variant::Null();
    if (text == "True" || text == "False") return Variant(text == "True");
    if (text.size() >= 2 && text.front() == '\'') return Variant(text.substr(1, text.size() - 2));
    const size_t open = text.find('(');
    const std::string type = text.substr(0, open), value = text.substr(open + 1);
    if (type == "Integer") return Variant(static_cast<int16_t>(std::stoi(value)));
    if (type == "Long") return Variant(static_cast<int32_t>(std::stol(value)));
    if (type == "Double") return Variant(std::stod(value));
    if (type == "Currency") return Variant(*Currency::Parse(value.substr(0, value.size() - 1)));
    if (type == "Date") return Variant(*Date::Parse(value.substr(0, value.size() - 1)));
    ADD_FAILURE() << "unknown input " << text;
    return Variant();
}

template <class T>
std::string Optional(const std::optional<T>& v, std::string (T::*text)() const) {
    return v ? ((*v).*text)() : "nullopt";
}

const std::map<std::string, std::function<std::string(const Variant&)>> kOperations = {
    {"text", [](const Variant& v) { return v.ToText(); }},
    {"repr", [](const Variant& v) { return v.Repr(); }},
    {"mdy", [](const Variant& v) { return v.GetDate().ToMdy(); }},
    {"double", [](const Variant& v) { return Variant(v.ToDouble()).ToText(); }},
    {"long", [](const Variant& v) { return std::to_string(v.ToInt32()); }},
    {"integer", [](const Variant& v) { return std::to_string(v.ToInt16()); }},
    {"currency", [](const Variant& v) { return v.ToCurrency().ToString(); }},
    {"bool", [](const Variant& v) { return Variant(v.ToBool()).ToText(); }},
    {"date", [](const Variant& v) { return v.ToDate().ToIso(); }},
    {"numeric", [](const Variant& v) { return Variant(v.IsNumeric()).ToText(); }},
    {"isdate", [](const Variant& v) { return Variant(v.IsDate()).ToText(); }},
    {"val", [](const Variant& v) { return Variant(v.Val()).ToText(); }},
    {"parse date",
     [](const Variant& v) { return Optional(Date::Parse(v.GetString()), &Date::ToIso); }},
    {"serial", [](const Variant& v) { return Variant(v.GetDate().Serial()).ToText(); }},
    {"from serial", [](const Variant& v) { return Date::FromSerial(v.GetDouble()).ToIso(); }},
    {"round trip", [](const Variant& v) { return Date::FromSerial(v.GetDate().Serial()).ToIso(); }},
    {"parse money",
     [](const Variant& v) {
         return Optional(Currency::Parse(v.GetString()), &Currency::ToString);
     }},
};

TEST(PlatformCorpus, EveryConversionGivesItsResult) {
    int cases = 0;
    for (const std::string& line : test::DataLines("conversions.test")) {
        if (line.empty() || line.starts_with("#")) continue;
        SCOPED_TRACE(line);
        const size_t a = line.find(" | "), b = line.rfind(" | ");
        ASSERT_TRUE(a != std::string::npos && b > a);
        const auto op = kOperations.find(line.substr(0, a));
        ASSERT_NE(op, kOperations.end());
        std::string result;
        try {
            result = op->second(Input(line.substr(a + 3, b - a - 3)));
        } catch (const Error& e) {
            result = "E" + std::to_string(e.Number());
        }
        const std::string expected = line.substr(b + 3);
        EXPECT_EQ(result, expected == "''" ? "" : expected);
        ++cases;
    }
    EXPECT_GT(cases, 100);
}

}  // namespace
}  // namespace mz
