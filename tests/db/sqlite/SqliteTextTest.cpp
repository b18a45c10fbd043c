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

std::string utf8Of(std::uint32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
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

// The conversions must give exactly the code-page converter's bytes, for
// every character and for broken input alike.
TEST(SqliteTextTest, AgreesWithTheConverterForEveryCharacter)
{
    for (std::uint32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const std::string utf8 = utf8Of(c);
        ASSERT_EQ(fromUtf8(utf8.data(), utf8.size()), platform::utf8ToGbk(utf8)) << std::hex << c;
    }
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0x00; trail <= 0xFF; ++trail) {
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail), 'x'};
            if (trail == 0)
                continue;
            const std::string expected = platform::gbkToUtf8(gbk) + std::string(1, '\0');
            const ByteArray utf8 = toUtf8(gbk);
            ASSERT_EQ(std::string(utf8.begin(), utf8.end()), expected) << std::hex << lead << ' ' << trail;
            ASSERT_EQ(isValidGbk(gbk), platform::utf16ToGbk(platform::gbkToUtf16(gbk)) == gbk)
                << std::hex << lead << ' ' << trail;
        }
    }
}

TEST(SqliteTextTest, AgreesWithTheConverterOnMixedAndBrokenTexts)
{
    const std::vector<std::string> utf8Texts{"题目 A|选项 B|",
                                             "\xF0\x9F\x98\x80 emoji in the middle 中",
                                             "\xE4\xB8",
                                             "\xC0\x80 overlong",
                                             "\xED\xA0\x80",
                                             "tail \xE4",
                                             "\xEF\xBB\xBF"
                                             "bom",
                                             "\xE2\x80\x8B"
                                             "zero width",
                                             "x\xF4\x90\x80\x80"};
    for (const std::string& text : utf8Texts)
        EXPECT_EQ(fromUtf8(text.data(), text.size()), platform::utf8ToGbk(text)) << text;
    const std::vector<std::string> gbkTexts{"\xD6\xD0\x81", "\xD6\xD0\x81\x7F", "a\xFF\x80\xD6", "\x81\x30\x81\x30"};
    for (const std::string& text : gbkTexts) {
        const ByteArray utf8 = toUtf8(text);
        EXPECT_EQ(std::string(utf8.begin(), utf8.end()), platform::gbkToUtf8(text) + std::string(1, '\0'));
    }
}
