#include "db/sqlite/SqliteText.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

ByteArray bytes(std::initializer_list<int> values)
{
    ByteArray out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

} // namespace

TEST(SqliteTextTest, ToUtf8CountsTheTerminatingNul)
{
    EXPECT_EQ(toUtf8(""), bytes({0x00}));
    EXPECT_EQ(toUtf8("ab"), bytes({'a', 'b', 0x00}));
    // GBK D6 D0 is 中 (U+4E2D).
    EXPECT_EQ(toUtf8("\xD6\xD0"), bytes({0xE4, 0xB8, 0xAD, 0x00}));
}

TEST(SqliteTextTest, ToUtf8MatchesTheWindowsCodePage)
{
    EXPECT_EQ(toUtf8("\x80"), bytes({0xE2, 0x82, 0xAC, 0x00}));     // euro sign
    EXPECT_EQ(toUtf8("\xA1\xA1"), bytes({0xE3, 0x80, 0x80, 0x00})); // ideographic space
    EXPECT_EQ(toUtf8("\xAA\xA1"), bytes({0xEE, 0x80, 0x80, 0x00})); // user-defined area
}

TEST(SqliteTextTest, ToUtf8ReplacesInvalidBytesWithoutSwallowingTheirNeighbours)
{
    // A lone lead byte at the end.
    EXPECT_EQ(toUtf8("a\x81"), bytes({'a', 0xEF, 0xBF, 0xBD, 0x00}));
    // A lead byte followed by a byte that cannot trail: the blank and z survive.
    EXPECT_EQ(toUtf8("\x81 z"), bytes({0xEF, 0xBF, 0xBD, ' ', 'z', 0x00}));
}

TEST(SqliteTextTest, ToUtf8StopsAtAnEmbeddedNul)
{
    EXPECT_EQ(toUtf8(std::string("ab\0cd", 5)), bytes({'a', 'b', 0x00}));
}

TEST(SqliteTextTest, FromUtf8TakesExactlyTheGivenLength)
{
    EXPECT_EQ(fromUtf8(nullptr, 5), "");
    EXPECT_EQ(fromUtf8("abc", 0), "");
    EXPECT_EQ(fromUtf8("abcdef", 3), "abc");
    EXPECT_EQ(fromUtf8("a\0b", 3), std::string("a\0b", 3));
    EXPECT_EQ(fromUtf8("\xE4\xB8\xAD\xE6\x96\x87", 6), "\xD6\xD0\xCE\xC4"); // 中文
    EXPECT_EQ(fromUtf8("\xE2\x82\xAC", 3), "\x80");
}

TEST(SqliteTextTest, FromUtf8MarksWhatGbkCannotHold)
{
    EXPECT_EQ(fromUtf8("\xF0\x9F\x98\x80x", 5), "?x"); // an emoji
    EXPECT_EQ(fromUtf8("\xFF\xFE", 2), "??");          // not UTF-8 at all
}

TEST(SqliteTextTest, RoundTripsEveryDoubleByteCharacterThatIsValid)
{
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
            if (!isValidGbk(gbk))
                continue;
            const ByteArray utf8 = toUtf8(gbk);
            ASSERT_EQ(fromUtf8(reinterpret_cast<const char*>(utf8.data()), utf8.size() - 1), gbk)
                << std::hex << lead << ' ' << trail;
            ++checked;
        }
    }
    EXPECT_GT(checked, 21000);
}

TEST(SqliteTextTest, IsValidGbkRejectsBrokenSequences)
{
    EXPECT_TRUE(isValidGbk(""));
    EXPECT_TRUE(isValidGbk("plain ascii"));
    EXPECT_TRUE(isValidGbk(GBK("中文题目　全角空格")));
    EXPECT_TRUE(isValidGbk("\x80"));
    EXPECT_FALSE(isValidGbk("abc\x81"));
    EXPECT_FALSE(isValidGbk("\x81\x20z"));
    EXPECT_FALSE(isValidGbk("\xD6"));
}
