#include "platform/variant.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace mz {
namespace {

// "E<number>" for a raised error, so conversion cases read as one table.
template <typename F>
std::string Outcome(F f) {
    try {
        return f();
    } catch (const Error& e) {
        return "E" + std::to_string(e.Number());
    }
}

TEST(VariantTest, TextOfEveryType) {
    EXPECT_EQ(Variant().ToText(), "");
    EXPECT_EQ(Variant::Null().ToText(), "");
    EXPECT_EQ(Variant(true).ToText(), "True");
    EXPECT_EQ(Variant(false).ToText(), "False");
    EXPECT_EQ(Variant(int16_t{-7}).ToText(), "-7");
    EXPECT_EQ(Variant(12.5).ToText(), "12.5");
    EXPECT_EQ(Variant(0.1).ToText(), "0.1");
    EXPECT_EQ(Variant(-0.0).ToText(), "0");
    EXPECT_EQ(Variant(100000.0).ToText(), "100000");
    EXPECT_EQ(Variant(1e20).ToText(), "1E+20");
    EXPECT_EQ(Variant(1.5e-7).ToText(), "1.5E-07");
    EXPECT_EQ(Variant(Currency::FromRaw(12345)).ToText(), "1.2345");
    EXPECT_EQ(Variant(Date(2019, 4, 15)).ToText(), "4/15/2019");
    EXPECT_EQ(Variant(Date(2019, 4, 15, 14, 30)).ToText(), "4/15/2019 2:30:00 PM");
    EXPECT_EQ(Variant("x").Repr(), "\"x\"");
    EXPECT_EQ(Variant(Date(2019, 4, 15)).Repr(), "#4/15/2019#");
    EXPECT_EQ(Variant::Null().Repr(), "Null");
}

TEST(VariantTest, NumericConversions) {
    auto dbl = [](Variant v) { return Outcome([&] { return Variant(v.ToDouble()).ToText(); }); };
    EXPECT_EQ(dbl(Variant()), "0");
    EXPECT_EQ(dbl(Variant::Null()), "E13");
    EXPECT_EQ(dbl(Variant(true)), "-1");
    EXPECT_EQ(dbl(Variant(" -1,234.5 ")), "-1234.5");
    EXPECT_EQ(dbl(Variant("$12")), "12");
    EXPECT_EQ(dbl(Variant("12abc")), "E13");
    EXPECT_EQ(dbl(Variant("")), "E13");
    EXPECT_EQ(dbl(Variant(Date(1900, 1, 1, 12))), "2.5");

    auto lng = [](Variant v) { return Outcome([&] { return std::to_string(v.ToInt32()); }); };
    EXPECT_EQ(lng(Variant(2.5)), "2");  // half to even
    EXPECT_EQ(lng(Variant(3.5)), "4");
    EXPECT_EQ(lng(Variant(-2.5)), "-2");
    EXPECT_EQ(lng(Variant(2.6)), "3");
    EXPECT_EQ(lng(Variant(Currency::FromRaw(25000))), "2");
    EXPECT_EQ(lng(Variant(Currency::FromRaw(-35000))), "-4");
    EXPECT_EQ(lng(Variant("42")), "42");
    EXPECT_EQ(lng(Variant(3e9)), "E6");
    EXPECT_EQ(lng(Variant::Null()), "E13");

    auto integer = [](Variant v) { return Outcome([&] { return std::to_string(v.ToInt16()); }); };
    EXPECT_EQ(integer(Variant(int32_t{32767})), "32767");
    EXPECT_EQ(integer(Variant(int32_t{32768})), "E6");
    EXPECT_EQ(integer(Variant(-32768.4)), "-32768");

    auto money = [](Variant v) { return Outcome([&] { return v.ToCurrency().ToString(); }); };
    EXPECT_EQ(money(Variant(int32_t{5})), "5");
    EXPECT_EQ(money(Variant("1,234.56")), "1234.56");
    EXPECT_EQ(money(Variant(0.12345)), "0.1235");
    EXPECT_EQ(money(Variant("x")), "E13");
    EXPECT_EQ(money(Variant(1e300)), "E6");
}

TEST(VariantTest, BooleanDateAndTests) {
    auto boolean = [](Variant v) { return Outcome([&] { return Variant(v.ToBool()).ToText(); }); };
    EXPECT_EQ(boolean(Variant("true")), "True");
    EXPECT_EQ(boolean(Variant(" FALSE ")), "False");
    EXPECT_EQ(boolean(Variant("0")), "False");
    EXPECT_EQ(boolean(Variant(0.5)), "True");
    EXPECT_EQ(boolean(Variant("yes")), "E13");
    EXPECT_EQ(boolean(Variant::Null()), "E13");
    EXPECT_EQ(boolean(Variant()), "False");

    auto date = [](Variant v) { return Outcome([&] { return v.ToDate().ToIso(); }); };
    EXPECT_EQ(date(Variant("04/15/2019")), "2019-04-15");
    EXPECT_EQ(date(Variant(43570.5)), "2019-04-15 12:00:00");
    EXPECT_EQ(date(Variant("2/30/2005")), "E13");
    EXPECT_EQ(date(Variant::Null()), "E13");

    EXPECT_TRUE(Variant(" 1.5e3 ").IsNumeric());
    EXPECT_TRUE(Variant(false).IsNumeric());
    EXPECT_FALSE(Variant("1.5.3").IsNumeric());
    EXPECT_FALSE(Variant::Null().IsNumeric());
    EXPECT_TRUE(Variant("2019-04-15").IsDate());
    EXPECT_FALSE(Variant("2019").IsDate());
    EXPECT_FALSE(Variant(43570.0).IsDate());
    EXPECT_NE(Variant(int16_t{1}), Variant(int32_t{1}));  // same value, other type
    EXPECT_EQ(Variant("a"), Variant(std::string("a")));
    EXPECT_STREQ(VarTypeName(Variant(int16_t{1}).Type()), "Integer");
}

TEST(VariantTest, ValReadsTheLeadingNumber) {
    EXPECT_EQ(Variant::Val("12abc"), 12);
    EXPECT_EQ(Variant::Val("abc"), 0);
    EXPECT_EQ(Variant::Val(" -1.5e2x"), -150);
    EXPECT_EQ(Variant::Val("2e"), 2);
    EXPECT_EQ(Variant::Val(".5"), 0.5);
    EXPECT_EQ(Variant::Val("1,234"), 1);
    EXPECT_EQ(Variant::Val("-"), 0);
    EXPECT_EQ(Variant::Val(""), 0);
    EXPECT_EQ(Variant::Null().Val(), 0);
    EXPECT_EQ(Variant(int32_t{7}).Val(), 7);
    EXPECT_EQ(Variant(" 42 apples").Val(), 42);
}

TEST(ErrorTest, PendingErrorReadsTheErrorBeingHandled) {
    EXPECT_EQ(PendingError().Number(), 0);
    try {
        throw Error(3021, "MZ.ResultSet", "no row", "help.chm", 7);
    } catch (...) {
        const Error e = PendingError();
        EXPECT_EQ(e.Number(), 3021);
        EXPECT_EQ(e.Source(), "MZ.ResultSet");
        EXPECT_EQ(e.HelpFile(), "help.chm");
        EXPECT_EQ(e.HelpContext(), 7);
        // An inner handled error does not outlive its catch block.
        try {
            throw std::runtime_error("disk full");
        } catch (...) {
            const Error inner = PendingError();
            EXPECT_EQ(inner.Number(), err::kInvalidCall);
            EXPECT_EQ(inner.Description(), "disk full");
            EXPECT_EQ(inner.Source(), "MZ_report_bus");
        }
        EXPECT_EQ(PendingError().Number(), 3021);
    }
    EXPECT_EQ(PendingError().Number(), 0);
}

}  // namespace
}  // namespace mz
