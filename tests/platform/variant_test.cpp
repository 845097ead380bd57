#include "platform/variant.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/error.h"

namespace mz {
namespace {

// What conversions.test cannot say: types, construction and arithmetic.
TEST(VariantTest, EqualityKeepsTheType) {
    EXPECT_NE(Variant(int16_t{1}), Variant(int32_t{1}));  // same value, other type
    EXPECT_EQ(Variant("a"), Variant(std::string("a")));
    EXPECT_STREQ(VarTypeName(Variant(int16_t{1}).Type()), "Integer");
}

TEST(DateTest, ConstructionSerialsAndOrder) {
    const Date t(2019, 4, 5, 0, 7, 3);
    EXPECT_EQ(t.DateOnly(), Date(2019, 4, 5));
    try {
        Date(2005, 2, 30);
        FAIL() << "accepted 2/30/2005";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), err::kInvalidCall);
    }
    EXPECT_EQ(Date::FromSerial(Date(100, 1, 1).Serial()), Date(100, 1, 1));
    EXPECT_LT(Date(2019, 4, 15), Date(2019, 4, 15, 0, 0, 1));
    EXPECT_LT(Date(2018, 12, 31), Date(2019, 1, 1));
    EXPECT_FALSE(Date::Today().HasTime());
}

TEST(CurrencyTest, FromDoubleRoundsAsWrittenAndSumsStayExact) {
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
    EXPECT_EQ(Currency::FromRaw(1).ToString(), "0.0001");
    EXPECT_EQ(Currency::FromRaw(std::numeric_limits<int64_t>::min()).ToString(),
              "-922337203685477.5808");
    Currency sum;  // sums of cents stay exact where doubles drift
    for (int i = 0; i < 10; ++i) sum += Currency::FromDouble(0.1);
    EXPECT_EQ(sum, Currency::FromRaw(10000));
    EXPECT_EQ((Currency::FromRaw(5) - Currency::FromRaw(7)).Raw(), -2);
    const Currency max = Currency::FromRaw(std::numeric_limits<int64_t>::max());
    EXPECT_THROW(max + Currency::FromRaw(1), Error);
    EXPECT_THROW(-max - Currency::FromRaw(2), Error);
    EXPECT_LT(Currency::FromRaw(-1), Currency());
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
