#include "questions/QuestionRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Pieces = std::vector<std::string>;

namespace {

const std::string fullBlank = "\xA1\xA1";

} // namespace

TEST(QuestionRecord, PacksEverySlotWithItsBar)
{
    EXPECT_EQ(QuestionRecord::packOptions({"a", "b", "c", "d"}), "a|b|c|d|");
    EXPECT_EQ(QuestionRecord::packOptions({"a", "b", "", ""}), "a|b|||");
    EXPECT_EQ(QuestionRecord::splitOptions(QuestionRecord::packOptions({"a", "b", "", ""})),
              (Pieces{"a", "b", "", ""}));
}

TEST(QuestionRecord, SplitsOptionsLikeEveryReader)
{
    EXPECT_EQ(QuestionRecord::splitOptions("a|b|c|d|"), QuestionRecord::splitOptions("a|b|c|d"));
    EXPECT_TRUE(QuestionRecord::splitOptions("").empty());
    // A bar typed inside an option makes two options when read back.
    EXPECT_EQ(QuestionRecord::splitOptions("x|y|b|c|d|").size(), 5u);
}

TEST(QuestionRecord, DrawRemovesLineBreaksThenEverySpace)
{
    EXPECT_EQ(QuestionRecord::cleanDrawnText("a b" + fullBlank + "c\r\nd"), "abcd");
    // Line breaks mixed with blanks of both kinds.
    EXPECT_EQ(QuestionRecord::cleanDrawnText(" \r\n" + fullBlank + "x\r\n"), "x");
    // A lone CR or LF is kept.
    EXPECT_EQ(QuestionRecord::cleanDrawnText("a\rb\nc"), "a\rb\nc");
    EXPECT_EQ(QuestionRecord::cleanDrawnAnswer(" B "), "B");
    EXPECT_EQ(QuestionRecord::cleanDrawnAnswer(fullBlank + "C"), "C");
}

TEST(QuestionRecord, WritersCleanTitlesAndOptionLines)
{
    EXPECT_EQ(QuestionRecord::cleanAddedTitle("  ab\r\ncd "), "abcd");
    EXPECT_EQ(QuestionRecord::cleanAddedTitle(fullBlank + "a b" + fullBlank), "a b");
    EXPECT_EQ(QuestionRecord::cleanOptionLine("one two" + fullBlank + "three"), "onetwothree");
}

TEST(QuestionRecord, ConvertsOptionsForTheWindows)
{
    EXPECT_EQ(QuestionRecord::optionsToLines("a\r\nx|b|c|d|"), "ax\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(QuestionRecord::optionsToContent("a|b|"), "a\r\nb\r\n");
    EXPECT_EQ(QuestionRecord::contentToOptions("a\r\nb\r\n"), "a|b|");
}

TEST(QuestionRecord, InterpretsDid)
{
    EXPECT_EQ(QuestionRecord::visibleOptionCount("2"), 2);
    EXPECT_EQ(QuestionRecord::visibleOptionCount("3"), 3);
    for (const char* other : {"4", "", "1", "5", "9", " 2", "2 ", "x", "02"})
        EXPECT_EQ(QuestionRecord::visibleOptionCount(other), 4) << other;

    EXPECT_EQ(QuestionRecord::didComboIndex("2"), 0);
    EXPECT_EQ(QuestionRecord::didComboIndex("3"), 1);
    EXPECT_EQ(QuestionRecord::didComboIndex("4"), 2);
    EXPECT_EQ(QuestionRecord::didComboIndex(" 4x"), 2);
    EXPECT_EQ(QuestionRecord::didComboIndex(""), std::nullopt);
    EXPECT_EQ(QuestionRecord::didComboIndex("5"), std::nullopt);
    EXPECT_EQ(QuestionRecord::didComboIndex("99999999999"), std::nullopt);
    EXPECT_EQ(QuestionRecord::didToInteger("-3"), -3);
    EXPECT_EQ(QuestionRecord::didFromItemValue(3), "3");
}
