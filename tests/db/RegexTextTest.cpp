#include "db/RegexText.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

std::string g(const char* utf8)
{
    return platform::utf8ToGbk(utf8);
}

using Pieces = std::vector<std::string>;

Pieces between(std::string_view text, std::string_view left, std::string_view right)
{
    Pieces pieces{"stale"};
    extractAllBetween(text, left, right, pieces);
    return pieces;
}

} // namespace

TEST(EscapeRegexText, EscapesOnlyTheListedCharacters)
{
    EXPECT_EQ(escapeRegexText("?*+[](){}"), "\\?\\*\\+\\[\\]\\(\\)\\{\\}");
    EXPECT_EQ(escapeRegexText(".^$|\\"), ".^$|\\");
    EXPECT_EQ(escapeRegexText("a\r\nb\nc"), "a\\r\\nb\nc");
    EXPECT_EQ(escapeRegexText(g("x#引号y")), "x\"y");
}

TEST(EscapeRegexText, LeavesDoubleByteCharactersWhole)
{
    // The trail bytes of these characters are "[" and "}".
    const std::string bracketTrail = "\x81\x5B";
    const std::string braceTrail = "\x81\x7D";
    EXPECT_EQ(escapeRegexText(bracketTrail + "[" + braceTrail), bracketTrail + "\\[" + braceTrail);
}

TEST(ExtractAllBetween, SplitsAnAssignmentList)
{
    EXPECT_EQ(between(",a='1',b='2',", ",", "='"), (Pieces{"a", "b"}));
    EXPECT_EQ(between(",a='1',b='2',", "='", "',"), (Pieces{"1", "2"}));
    EXPECT_EQ(between(g(",姓名='张三',备注='x\r\ny',"), "='", "',"), (Pieces{g("张三"), "x\r\ny"}));
    EXPECT_EQ(between("nothing here", "<", ">"), Pieces{});
    EXPECT_EQ(between("", ",", "='"), Pieces{});
}

TEST(ExtractAllBetween, MarkersAreLiteralExceptTheDot)
{
    EXPECT_EQ(between("[x] (y) [z]", "[", "]"), (Pieces{"x", "z"}));
    EXPECT_EQ(between("f(a) g(bc)", "(", ")"), (Pieces{"a", "bc"}));
    EXPECT_EQ(between("{1}+{2}", "{", "}"), (Pieces{"1", "2"}));
    EXPECT_EQ(between("a?b a?c", "a?", " "), Pieces{"b"});
    EXPECT_EQ(between("x1y x2y", "x.", "y"), (Pieces{"", ""}));
    EXPECT_EQ(between("<1> a1b", ".1", "."), (Pieces{"", ""}));
    EXPECT_EQ(between(g("乕[内容]乕"), "[", "]"), Pieces{g("内容")});
}

TEST(ExtractAllBetween, QuotePlaceholderAndLetterCase)
{
    EXPECT_EQ(between("say \"hi\" and \"yo\"", g("#引号"), g("#引号")), (Pieces{"hi", "yo"}));
    EXPECT_EQ(between("<B>bold</B> <b>x</b>", "<b>", "</b>"), (Pieces{"bold", "x"}));
    EXPECT_EQ(between(g("开始A结束 开始b结束"), g("开始"), g("结束")), (Pieces{"A", "b"}));
}

TEST(ExtractAllBetween, LineBreakMarkersMatchTheLineBreaksOfTheText)
{
    EXPECT_EQ(between("a\r\nb\r\nc\nd\r\n", "\r\n", "\r\n"), Pieces{"b"});
    EXPECT_EQ(between("x\r\n1;x\r\n2;", "x\r\n", ";"), (Pieces{"1", "2"}));
}

TEST(ExtractAllBetween, EmptyMarkerLeavesOneSideOpen)
{
    EXPECT_EQ(between("ab;cd;", "", ";"), (Pieces{"ab", "cd"}));
    // A lazy group with nothing on its right side matches nothing.
    EXPECT_EQ(between("=ab=cd", "=", ""), (Pieces{"", ""}));
}

TEST(ExtractAllBetween, OptionsShapeThePieces)
{
    Pieces pieces;
    extractAllBetween("<abc><abcd><x>", "<", ">", pieces, 3);
    EXPECT_EQ(pieces, (Pieces{"abc", "x"}));
    extractAllBetween(g("<中文><中文字>"), "<", ">", pieces, 4);
    EXPECT_EQ(pieces, Pieces{g("中文")});
    extractAllBetween("<a><b>", "<", ">", pieces, 0, "(", ")");
    EXPECT_EQ(pieces, (Pieces{"(a)", "(b)"}));
    extractAllBetween("<a><b>", "<", ">", pieces, std::nullopt, "(", ")", true, true);
    EXPECT_EQ(pieces, (Pieces{"<(a)>", "<(b)>"}));
    extractAllBetween("[A]", "[", "]", pieces, std::nullopt, std::nullopt, std::nullopt, false, true);
    EXPECT_EQ(pieces, Pieces{"A]"});
    // A kept marker shows the quote that the placeholder stood for.
    extractAllBetween("\"q\"", g("#引号"), g("#引号"), pieces, std::nullopt, std::nullopt, std::nullopt, true, true);
    EXPECT_EQ(pieces, Pieces{"\"q\""});
}

TEST(ExtractAllBetween, UnbalancedMarkerLeavesTheListEmpty)
{
    // A trailing backslash escapes the parenthesis of the group: the pattern
    // no longer compiles.
    EXPECT_EQ(between("a\\b)c", "\\", "c"), Pieces{});
}

TEST(ReplaceMany, AppliesThePairsInOrder)
{
    EXPECT_EQ(replaceMany("a-b-c", {}, {}, {}, "-", "+", "+", "*"), "a*b*c");
    EXPECT_EQ(replaceMany("abc", {}, {}, {}, "a", "1", "b", "2", "c", "3", "1", "x", "x", "y"), "y23");
    EXPECT_EQ(replaceMany("abc", {}, {}, {}, "", "z"), "abc");
    EXPECT_EQ(replaceMany(g("中文中文"), {}, {}, {}, g("文"), "-"), g("中-中-"));
}

TEST(ReplaceMany, CountStartAndCase)
{
    EXPECT_EQ(replaceMany("aaaa", 2, {}, {}, "a", "b"), "bbaa");
    EXPECT_EQ(replaceMany("aaaa", 0, {}, {}, "a", "b"), "aaaa");
    EXPECT_EQ(replaceMany("aaaa", {}, 3, {}, "a", "b"), "aabb");
    EXPECT_EQ(replaceMany("aaaa", 1, 2, {}, "a", "b"), "abaa");
    EXPECT_EQ(replaceMany("aaaa", {}, 9, {}, "a", "b"), "aaaa");
    EXPECT_EQ(replaceMany("aAaA", {}, {}, {}, "a", "b"), "bAbA");
    EXPECT_EQ(replaceMany("aAaA", {}, {}, false, "a", "b"), "bbbb");
}

TEST(ReplaceMany, NeverMatchesInsideADoubleByteCharacter)
{
    // The trail byte of this character is "A".
    const std::string upperATrail = "\x81\x41";
    EXPECT_EQ(replaceMany(upperATrail + "a", {}, {}, false, "a", "b"), upperATrail + "b");
    EXPECT_EQ(replaceMany(upperATrail + "A", {}, {}, true, "A", "b"), upperATrail + "b");
    // A start position inside a character begins at the next one.
    EXPECT_EQ(replaceMany(upperATrail + "A", {}, 2, true, "A", "b"), upperATrail + "b");
}
