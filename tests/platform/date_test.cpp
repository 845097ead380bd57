#include "platform/date.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace mz {
namespace {

std::string ParsedIso(std::string_view text) {
    const auto d = Date::Parse(text);
    return d ? d->ToIso() : "nullopt";
}

TEST(DateTest, ParsesFrontEndAndDatabaseForms) {
    EXPECT_EQ(ParsedIso("4/5/2019"), "2019-04-05");
    EXPECT_EQ(ParsedIso("04/15/2019"), "2019-04-15");
    EXPECT_EQ(ParsedIso(" 2019-04-15 "), "2019-04-15");
    EXPECT_EQ(ParsedIso("2019-04-15 13:05:09"), "2019-04-15 13:05:09");
    EXPECT_EQ(ParsedIso("2019-04-15T13:05:09"), "2019-04-15 13:05:09");
    EXPECT_EQ(ParsedIso("2019-04-15 13:05:09.250"), "2019-04-15 13:05:09");
    EXPECT_EQ(ParsedIso("4/15/2019 1:05 PM"), "2019-04-15 13:05:00");
    EXPECT_EQ(ParsedIso("4/15/2019 12:30:00 am"), "2019-04-15 00:30:00");
    EXPECT_EQ(ParsedIso("4/15/19"), "2019-04-15");
    EXPECT_EQ(ParsedIso("4/15/45"), "1945-04-15");
    EXPECT_EQ(ParsedIso("2/29/2004"), "2004-02-29");
    EXPECT_EQ(ParsedIso("02/30/2005"), "nullopt");
    EXPECT_EQ(ParsedIso("2/29/1900"), "nullopt");
    EXPECT_EQ(ParsedIso("13/1/2019"), "nullopt");
    EXPECT_EQ(ParsedIso("4/15/2019 25:00"), "nullopt");
    EXPECT_EQ(ParsedIso("4/15/2019 13:00 PM"), "nullopt");
    EXPECT_EQ(ParsedIso("4/15/2019x"), "nullopt");
    EXPECT_EQ(ParsedIso("4/15/201"), "nullopt");
    EXPECT_EQ(ParsedIso("abc"), "nullopt");
    EXPECT_EQ(ParsedIso(""), "nullopt");
}

TEST(DateTest, TextForms) {
    const Date d(2019, 4, 5);
    EXPECT_EQ(d.ToMdy(), "04/05/2019");
    EXPECT_EQ(d.ToString(), "4/5/2019");
    const Date t(2019, 4, 5, 0, 7, 3);
    EXPECT_EQ(t.ToString(), "4/5/2019 12:07:03 AM");
    EXPECT_EQ(Date(2019, 4, 5, 12, 0, 1).ToString(), "4/5/2019 12:00:01 PM");
    EXPECT_EQ(Date(2019, 4, 5, 23, 59, 59).ToString(), "4/5/2019 11:59:59 PM");
    EXPECT_EQ(t.ToMdy(), "04/05/2019");
    EXPECT_EQ(t.DateOnly(), d);
    EXPECT_EQ(Date().ToString(), "12/30/1899");
    try {
        Date(2005, 2, 30);
        FAIL() << "accepted 2/30/2005";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), err::kInvalidCall);
    }
}

TEST(DateTest, SerialNumbers) {
    EXPECT_EQ(Date().Serial(), 0);
    EXPECT_EQ(Date(1900, 1, 1).Serial(), 2);
    EXPECT_EQ(Date(2019, 4, 15).Serial(), 43570);
    EXPECT_DOUBLE_EQ(Date(2019, 4, 15, 18).Serial(), 43570.75);
    EXPECT_DOUBLE_EQ(Date(1899, 12, 29, 6).Serial(), -1.25);
    for (const Date& d : {Date(100, 1, 1), Date(1899, 12, 29, 6), Date(2019, 4, 15, 13, 5, 9),
                          Date(9999, 12, 31, 23, 59, 59)}) {
        EXPECT_EQ(Date::FromSerial(d.Serial()), d) << d.ToIso();
    }
    EXPECT_EQ(Date::FromSerial(43570.99999999).ToIso(), "2019-04-16");  // rounds to the second
    EXPECT_THROW(Date::FromSerial(3e6), Error);
    EXPECT_LT(Date(2019, 4, 15), Date(2019, 4, 15, 0, 0, 1));
    EXPECT_LT(Date(2018, 12, 31), Date(2019, 1, 1));
    EXPECT_FALSE(Date::Today().HasTime());
}

}  // namespace
}  // namespace mz
