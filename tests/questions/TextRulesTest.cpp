#include "questions/TextRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Pieces = std::vector<std::string>;

namespace {

const std::string fullBlank = "\xA1\xA1";
// GBK characters whose trail byte is A1, 7C ("|") and 20-lookalikes.
const std::string trailA1 = "\xB0\xA1"; // 啊
const std::string trailBar = "\x81\x7C";

} // namespace

TEST(TextRules, RemovesBothKindsOfBlankEverywhere)
{
    EXPECT_EQ(TextRules::removeSpaces(" a" + fullBlank + "b c " + fullBlank), "abc");
    EXPECT_EQ(TextRules::removeSpaces(""), "");
    EXPECT_EQ(TextRules::removeSpaces("  " + fullBlank), "");
    // A tab and a half full-width blank are not spaces.
    EXPECT_EQ(TextRules::removeSpaces("a\tb\xA1"), "a\tb\xA1");
}

TEST(TextRules, TrailByteA1IsNeverHalfABlank)
{
    // B0 A1 | A1 B0: neither pair is a blank although A1 A1 stands in the middle.
    const std::string text = "\xB0\xA1\xA1\xB0";
    EXPECT_EQ(TextRules::removeSpaces(text), text);
    EXPECT_EQ(TextRules::trimSpaces(text), text);
    // A real blank right after such a character is removed.
    EXPECT_EQ(TextRules::removeSpaces(trailA1 + fullBlank + "x"), trailA1 + "x");
    EXPECT_EQ(TextRules::trimSpaces(fullBlank + trailA1 + fullBlank), trailA1);
    EXPECT_EQ(TextRules::trimSpaces(trailA1 + "\xA1"), trailA1 + "\xA1");
}

TEST(TextRules, TrimsOnlyTheEnds)
{
    EXPECT_EQ(TextRules::trimSpaces("  a b" + fullBlank + "c " + fullBlank), "a b" + fullBlank + "c");
    EXPECT_EQ(TextRules::trimSpaces(" " + fullBlank + " "), "");
    EXPECT_EQ(TextRules::trimSpaces("abc"), "abc");
}

TEST(TextRules, ReplacesAllOccurrencesLeftToRightCaseSensitively)
{
    EXPECT_EQ(TextRules::replaceAll("a|b||c|", "|", "</p>"), "a</p>b</p></p>c</p>");
    EXPECT_EQ(TextRules::replaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(TextRules::replaceAll("AbAB", "ab", "x"), "AbAB");
    EXPECT_EQ(TextRules::replaceAll("abc", "", "x"), "abc");
    // The replacement is not searched again.
    EXPECT_EQ(TextRules::replaceAll("xx", "x", "xx"), "xxxx");
    EXPECT_EQ(TextRules::removeAll("a\r\nb\r\r\n\nc", "\r\n"), "ab\r\nc");
}

TEST(TextRules, NeverMatchesOnATrailByte)
{
    // 0x7C is "|" only when it is not the second byte of a character.
    EXPECT_EQ(TextRules::replaceAll(trailBar + "|", "|", "#"), trailBar + "#");
    EXPECT_EQ(TextRules::find(trailBar + "|", "|"), 2u);
    EXPECT_EQ(TextRules::find("\xB0\xA1", "\xA1"), std::string::npos);
    EXPECT_EQ(TextRules::split(trailBar + "|x", "|"), (Pieces{trailBar, "x"}));
}

TEST(TextRules, SplitKeepsInnerEmptyPiecesAndDropsOneFinalEmptyPiece)
{
    EXPECT_EQ(TextRules::split("", "|"), Pieces{});
    EXPECT_EQ(TextRules::split("a", "|"), Pieces{"a"});
    EXPECT_EQ(TextRules::split("a|b|c|d|", "|"), (Pieces{"a", "b", "c", "d"}));
    EXPECT_EQ(TextRules::split("a|b|c|d", "|"), (Pieces{"a", "b", "c", "d"}));
    EXPECT_EQ(TextRules::split("a|b|||", "|"), (Pieces{"a", "b", "", ""}));
    EXPECT_EQ(TextRules::split("|", "|"), Pieces{""});
    EXPECT_EQ(TextRules::split("||", "|"), (Pieces{"", ""}));
    EXPECT_EQ(TextRules::split("a\r\nb", "\r\n"), (Pieces{"a", "b"}));
}
