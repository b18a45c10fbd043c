#include "db/types/DateTimeValue.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

TEST(DateTimeValueTest, CountsDaysFromTheOleEpoch)
{
    EXPECT_DOUBLE_EQ(DateTimeValue::fromParts(1899, 12, 30)->days(), 0.0);
    EXPECT_DOUBLE_EQ(DateTimeValue::fromParts(1900, 1, 1)->days(), 2.0);
    EXPECT_DOUBLE_EQ(DateTimeValue::fromParts(2000, 1, 1, 12)->days(), 36526.5);
    EXPECT_DOUBLE_EQ(DateTimeValue::fromParts(9999, 12, 31)->days(), 2958465.0);
    // Before the epoch the day counts backwards but the time of day forwards.
    EXPECT_DOUBLE_EQ(DateTimeValue::fromParts(1899, 12, 29, 6)->days(), -1.25);
    EXPECT_DOUBLE_EQ(DateTimeValue::earliest().days(), -657434.0);
}

TEST(DateTimeValueTest, RefusesPartsOutOfRange)
{
    EXPECT_FALSE(DateTimeValue::fromParts(99, 12, 31));
    EXPECT_FALSE(DateTimeValue::fromParts(10000, 1, 1));
    EXPECT_FALSE(DateTimeValue::fromParts(2015, 13, 1));
    EXPECT_FALSE(DateTimeValue::fromParts(2015, 2, 29));
    EXPECT_TRUE(DateTimeValue::fromParts(2016, 2, 29));
    EXPECT_FALSE(DateTimeValue::fromParts(1900, 2, 29));
    EXPECT_FALSE(DateTimeValue::fromParts(2015, 1, 1, 24));
    EXPECT_FALSE(DateTimeValue::fromParts(2015, 1, 1, 0, 60));
    EXPECT_FALSE(DateTimeValue::fromParts(2015, 1, 1, 0, 0, 60));
}

TEST(DateTimeValueTest, PartsRoundTrip)
{
    for (double days : {0.0, -1.25, 36526.5, 42347.354166666664, -657434.0, 2958465.9999884259}) {
        int y, mo, d, h, mi, s;
        DateTimeValue(days).toParts(y, mo, d, h, mi, s);
        EXPECT_NEAR(DateTimeValue::fromParts(y, mo, d, h, mi, s)->days(), days, 1e-9) << days;
    }
    EXPECT_EQ(DateTimeValue(-1.25).toText(), "1899-12-29 06:00:00");
    // Rounding to the second can carry into the next day.
    EXPECT_EQ(DateTimeValue(0.99999999).toText(), "1899-12-31 00:00:00");
}

TEST(DateTimeValueTest, ParsesSeparatedNumbers)
{
    EXPECT_EQ(DateTimeValue::parse("2015-12-09 08:30:00")->toText(), "2015-12-09 08:30:00");
    EXPECT_EQ(DateTimeValue::parse("2015/12/9")->toText(), "2015-12-09 00:00:00");
    EXPECT_EQ(DateTimeValue::parse("2015.12.09 8:5")->toText(), "2015-12-09 08:05:00");
    EXPECT_EQ(DateTimeValue::parse("  2015 12 09  23 59 59 ")->toText(), "2015-12-09 23:59:59");
}

TEST(DateTimeValueTest, ParsesChineseUnits)
{
    EXPECT_EQ(DateTimeValue::parse(GBK("2015年12月9日8时30分15秒"))->toText(), "2015-12-09 08:30:15");
    EXPECT_EQ(DateTimeValue::parse(GBK("2015年12月9日 08:30"))->toText(), "2015-12-09 08:30:00");
    // A unit in the wrong place is not a date.
    EXPECT_FALSE(DateTimeValue::parse(GBK("12月2015年9日")));
}

TEST(DateTimeValueTest, TextsWithoutADateGiveTheEarliestMoment)
{
    for (const char* text : {"", "abc", "2015-12", "2015-13-01", "2015-02-30", "2015-12-09x", "20151209",
                             "2015-12-09 08:30:00:01", "12345-1-1", "-2015-1-1"}) {
        EXPECT_FALSE(DateTimeValue::parse(text)) << text;
        EXPECT_EQ(DateTimeValue::fromText(text).toText(), "100-01-01 00:00:00") << text;
    }
}

TEST(DateTimeValueTest, SplitsDateAndTime)
{
    const DateTimeValue moment = *DateTimeValue::parse("2015-12-09 08:30:00");
    EXPECT_EQ(moment.datePart().toText(), "2015-12-09 00:00:00");
    EXPECT_EQ(moment.timePart().toText(), "2000-01-01 08:30:00");
    EXPECT_EQ(DateTimeValue(-1.25).datePart().toText(), "1899-12-29 00:00:00");
}
