#include "platform/currency.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/error.h"

namespace mz {
namespace {

std::string ParsedText(std::string_view text) {
    const auto c = Currency::Parse(text);
    return c ? c->ToString() : "nullopt";
}

TEST(CurrencyTest, ParsesMoneyTexts) {
    EXPECT_EQ(ParsedText("-1234.5"), "-1234.5");
    EXPECT_EQ(ParsedText("1,234.50"), "1234.5");
    EXPECT_EQ(ParsedText(" $12 "), "12");
    EXPECT_EQ(ParsedText("-$3.25"), "-3.25");
    EXPECT_EQ(ParsedText("(7)"), "-7");
    EXPECT_EQ(ParsedText("0.00005"), "0.0001");  // half away from zero
    EXPECT_EQ(ParsedText("-0.00005"), "-0.0001");
    EXPECT_EQ(ParsedText("0.00004"), "0");
    EXPECT_EQ(ParsedText("1.5E3"), "1500");
    EXPECT_EQ(ParsedText(".25"), "0.25");
    EXPECT_EQ(ParsedText(""), "nullopt");
    EXPECT_EQ(ParsedText("12abc"), "nullopt");
    EXPECT_EQ(ParsedText("1.2.3"), "nullopt");
    EXPECT_EQ(ParsedText("$"), "nullopt");
    EXPECT_EQ(ParsedText("922337203685477.5807"), "922337203685477.5807");
    EXPECT_EQ(ParsedText("-922337203685477.5808"), "-922337203685477.5808");
    EXPECT_THROW(Currency::Parse("922337203685477.5808"), Error);
}

TEST(CurrencyTest, FromDoubleRoundsAsWritten) {
    EXPECT_EQ(Currency::FromDouble(12.5).Raw(), 125000);
    EXPECT_EQ(Currency::FromDouble(0.1).Raw(), 1000);
    // 1.00005 is 1.0000499999... in binary; the decimal value rounds up.
    EXPECT_EQ(Currency::FromDouble(1.00005).Raw(), 10001);
    EXPECT_EQ(Currency::FromDouble(-2.00005).Raw(), -20001);
    EXPECT_EQ(Currency::FromDouble(1e-9).Raw(), 0);
    try {
        Currency::FromDouble(1e16);
        FAIL() << "no overflow";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), err::kOverflow);
    }
    EXPECT_THROW(Currency::FromDouble(std::numeric_limits<double>::quiet_NaN()), Error);
}

TEST(CurrencyTest, TextAndArithmetic) {
    EXPECT_EQ(Currency::FromRaw(1).ToString(), "0.0001");
    EXPECT_EQ(Currency::FromRaw(-30000).ToString(), "-3");
    EXPECT_EQ(Currency::FromRaw(123456).ToString(), "12.3456");
    EXPECT_EQ(Currency::FromRaw(std::numeric_limits<int64_t>::min()).ToString(),
              "-922337203685477.5808");
    // Sums of cents stay exact where doubles drift.
    Currency sum;
    for (int i = 0; i < 10; ++i) sum += Currency::FromDouble(0.1);
    EXPECT_EQ(sum, Currency::FromRaw(10000));
    EXPECT_EQ((Currency::FromRaw(5) - Currency::FromRaw(7)).Raw(), -2);
    const Currency max = Currency::FromRaw(std::numeric_limits<int64_t>::max());
    EXPECT_THROW(max + Currency::FromRaw(1), Error);
    EXPECT_THROW(-max - Currency::FromRaw(2), Error);
    EXPECT_LT(Currency::FromRaw(-1), Currency());
}

}  // namespace
}  // namespace mz
