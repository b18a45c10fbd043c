#include "db/RegexMatcher.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

std::string g(const char* utf8)
{
    return platform::utf8ToGbk(utf8);
}

} // namespace

TEST(RegexMatcher, DefaultsIgnoreCaseAndFindAllMatches)
{
    RegexMatcher m;
    ASSERT_TRUE(m.compile("ab", "AB ab Ab"));
    EXPECT_EQ(m.matchCount(), 3);
    EXPECT_EQ(m.matchText(3), "Ab");

    ASSERT_TRUE(m.compile("ab", "AB ab Ab", true));
    EXPECT_EQ(m.matchCount(), 1);
    ASSERT_TRUE(m.compile("ab", "AB ab Ab", false, true, false));
    EXPECT_EQ(m.matchCount(), 1);
    EXPECT_EQ(m.matchText(1), "AB");
    ASSERT_TRUE(m.compile("^x", "x\nx"));
    EXPECT_EQ(m.matchCount(), 2);
}

TEST(RegexMatcher, GbkTextsAndByteOffsets)
{
    RegexMatcher m;
    ASSERT_TRUE(m.compile(g("(\\d+)元"), g("中中3元 5元")));
    ASSERT_EQ(m.matchCount(), 2);
    int position = 99;
    EXPECT_EQ(m.matchText(1, position), g("3元"));
    EXPECT_EQ(position, 4);
    EXPECT_EQ(m.matchText(2, position), g("5元"));
    EXPECT_EQ(position, 8);
    EXPECT_EQ(m.subMatchText(2, 1, position), "5");
    EXPECT_EQ(position, 8);
    EXPECT_EQ(m.subMatchCount(), 1);
}

TEST(RegexMatcher, PositionOfARepeatedTextIsItsOwn)
{
    // The second "x" stands at UTF-16 index 4 but at byte 6; a search for "x"
    // from byte 4 would find the first one instead.
    RegexMatcher m;
    ASSERT_TRUE(m.compile("x", g("中中x x")));
    int position = 0;
    m.matchText(2, position);
    EXPECT_EQ(position, 6);
}

TEST(RegexMatcher, OutOfRangeNumbersGiveEmptyTextAndNoPosition)
{
    RegexMatcher m;
    ASSERT_TRUE(m.compile("(a)|(b)", "b"));
    int position = 5;
    EXPECT_EQ(m.matchText(0, position), "");
    EXPECT_EQ(position, -1);
    EXPECT_EQ(m.matchText(2), "");
    EXPECT_EQ(m.subMatchText(1, 3), "");
    EXPECT_EQ(m.subMatchText(1, 0), "");
    position = 5;
    EXPECT_EQ(m.subMatchText(1, 1, position), "");
    EXPECT_EQ(position, -1);
    EXPECT_EQ(m.subMatchText(1, 2, position), "b");
    EXPECT_EQ(position, 0);
    EXPECT_EQ(m.subMatchCount(), 2);

    ASSERT_TRUE(m.compile("z", "b"));
    EXPECT_EQ(m.subMatchCount(), 0);
}

TEST(RegexMatcher, QuotePlaceholderStandsForADoubleQuote)
{
    RegexMatcher m;
    ASSERT_TRUE(m.compile(g("#引号(\\w+)#引号"), "say \"hi\"", false, true, true, true));
    EXPECT_EQ(m.pattern(), "\"(\\w+)\"");
    ASSERT_EQ(m.matchCount(), 1);
    EXPECT_EQ(m.subMatchText(1, 1), "hi");

    ASSERT_TRUE(m.compile(g("#引号"), "\""));
    EXPECT_EQ(m.matchCount(), 0);
    EXPECT_EQ(m.pattern(), g("#引号"));
}

TEST(RegexMatcher, BadPatternDropsTheEarlierMatches)
{
    RegexMatcher m;
    ASSERT_TRUE(m.compile("a", "aaa"));
    EXPECT_EQ(m.matchCount(), 3);
    EXPECT_FALSE(m.compile("(a", "aaa"));
    EXPECT_EQ(m.matchCount(), 0);
    EXPECT_EQ(m.matchText(1), "");
    EXPECT_EQ(m.replace("b"), "");
}

TEST(RegexMatcher, ReplaceUsesTheStoredSubject)
{
    RegexMatcher m;
    EXPECT_EQ(m.pattern(), "");
    EXPECT_EQ(m.replace("x"), "");
    ASSERT_TRUE(m.compile(g("(\\d+)元"), g("3元和5元")));
    EXPECT_EQ(m.replace("[$1]"), g("[3]和[5]"));
    ASSERT_TRUE(m.compile(g("(\\d+)元"), g("3元和5元"), false, true, false));
    EXPECT_EQ(m.replace("[$1]"), g("[3]和5元"));
}

TEST(RegexMatcher, CopiesAreIndependent)
{
    RegexMatcher m;
    ASSERT_TRUE(m.compile("a", "aa"));
    RegexMatcher copy = m;
    ASSERT_TRUE(m.compile("b", "aa"));
    EXPECT_EQ(copy.matchCount(), 2);
    EXPECT_EQ(copy.pattern(), "a");
    EXPECT_EQ(m.matchCount(), 0);
}

// Found by fuzzing: a global match of a pattern that can match the empty text
// over stray lead bytes did not return.
TEST(RegexMatcher, PathologicalPatternFailsWithAReasonInsteadOfHanging)
{
    const std::string strayLeads = "\x81\x7f\x81\x0a\xfe\x20\x81";
    RegexMatcher m;
    ASSERT_TRUE(m.compile("a", "a"));
    EXPECT_EQ(m.lastErrorText(), "");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m.compile("()*?[^a]*[^b]*\\b$", strayLeads + strayLeads + strayLeads));
    EXPECT_EQ(m.matchCount(), 0);
    EXPECT_EQ(m.replace("x"), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_NE(m.lastErrorText().find(g("超时")), std::string::npos);
}

TEST(RegexMatcher, EmptyMatchesAdvanceByWholeGbkCharacters)
{
    RegexMatcher m;
    ASSERT_TRUE(m.compile("x*", g("中文x")));
    ASSERT_EQ(m.matchCount(), 4);
    int position = -1;
    EXPECT_EQ(m.matchText(2, position), "");
    EXPECT_EQ(position, 2);
    EXPECT_EQ(m.matchText(3, position), "x");
    EXPECT_EQ(position, 4);
    EXPECT_EQ(m.replace("-"), g("-中-文--"));
}
