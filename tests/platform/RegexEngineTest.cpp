#include "platform/RegexEngine.h"

#include <gtest/gtest.h>

#include <chrono>

using platform::RegexEngine;
using platform::RegexMatch;

namespace {

RegexEngine engine(std::u16string_view pattern, bool ignoreCase = false, bool multiline = true, bool global = true)
{
    RegexEngine e;
    e.setPattern(pattern);
    e.setIgnoreCase(ignoreCase);
    e.setMultiline(multiline);
    e.setGlobal(global);
    return e;
}

std::vector<std::u16string> values(const std::vector<RegexMatch>& matches)
{
    std::vector<std::u16string> out;
    for (const auto& m : matches)
        out.push_back(m.value);
    return out;
}

} // namespace

TEST(RegexEngine, ReportsMatchesWithPositionsAndGroups)
{
    std::vector<RegexMatch> matches;
    ASSERT_TRUE(engine(u",([\\s\\S]*?)='").execute(u",a='1',bb='2',", matches));
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].value, u",a='");
    EXPECT_EQ(matches[0].firstIndex, 0);
    ASSERT_EQ(matches[0].subMatches.size(), 1u);
    EXPECT_EQ(matches[0].subMatches[0], u"a");
    EXPECT_EQ(matches[0].subMatchIndexes[0], 1);
    EXPECT_EQ(matches[1].subMatches[0], u"bb");
    EXPECT_EQ(matches[1].firstIndex, 6);
}

TEST(RegexEngine, PositionsCountUtf16Units)
{
    std::vector<RegexMatch> matches;
    ASSERT_TRUE(engine(u"b").execute(u"中文b", matches));
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].firstIndex, 2);
}

TEST(RegexEngine, SwitchesChangeMatching)
{
    std::vector<RegexMatch> matches;
    ASSERT_TRUE(engine(u"ab", false).execute(u"AB ab", matches));
    EXPECT_EQ(values(matches), std::vector<std::u16string>{u"ab"});
    ASSERT_TRUE(engine(u"ab", true).execute(u"AB ab", matches));
    EXPECT_EQ(matches.size(), 2u);

    ASSERT_TRUE(engine(u"ab", false, true, false).execute(u"ab ab", matches));
    EXPECT_EQ(matches.size(), 1u);

    ASSERT_TRUE(engine(u"^x$", false, true).execute(u"x\nx", matches));
    EXPECT_EQ(matches.size(), 2u);
    ASSERT_TRUE(engine(u"^x$", false, false).execute(u"x\nx", matches));
    EXPECT_EQ(matches.size(), 0u);
    // Without Multiline "$" is the very end, not the place before a final line break.
    ASSERT_TRUE(engine(u"x$", false, false).execute(u"x\n", matches));
    EXPECT_EQ(matches.size(), 0u);
}

TEST(RegexEngine, ClassesAndBracesFollowScriptSyntax)
{
    std::vector<RegexMatch> matches;
    ASSERT_TRUE(engine(u"[[]").execute(u"a[b", matches));
    EXPECT_EQ(values(matches), std::vector<std::u16string>{u"["});
    ASSERT_TRUE(engine(u"[a&&b]+").execute(u"x&ab&", matches));
    EXPECT_EQ(values(matches), std::vector<std::u16string>{u"&ab&"});
    ASSERT_TRUE(engine(u"[-x]+").execute(u"a-x-", matches));
    EXPECT_EQ(values(matches), std::vector<std::u16string>{u"-x-"});
    ASSERT_TRUE(engine(u"a{b}").execute(u"a{b}", matches));
    EXPECT_EQ(values(matches), std::vector<std::u16string>{u"a{b}"});
    ASSERT_TRUE(engine(u"}").execute(u"}}", matches));
    EXPECT_EQ(matches.size(), 2u);
    ASSERT_TRUE(engine(u"a{2}").execute(u"aaa", matches));
    EXPECT_EQ(values(matches), std::vector<std::u16string>{u"aa"});
    ASSERT_TRUE(engine(u"\\y\\x41\\u4e2d").execute(u"yA中", matches));
    EXPECT_EQ(matches.size(), 1u);
    ASSERT_TRUE(engine(u"[]").execute(u"abc", matches));
    EXPECT_TRUE(matches.empty());
    ASSERT_TRUE(engine(u"a[^]b").execute(u"a\nb", matches));
    EXPECT_EQ(matches.size(), 1u);
}

TEST(RegexEngine, GroupThatDidNotTakePartIsEmpty)
{
    std::vector<RegexMatch> matches;
    ASSERT_TRUE(engine(u"(a)|(b)").execute(u"b", matches));
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].subMatches, (std::vector<std::u16string>{u"", u"b"}));
    EXPECT_EQ(matches[0].subMatchIndexes[0], -1);
}

TEST(RegexEngine, BadPatternFailsAndLeavesNoMatches)
{
    std::vector<RegexMatch> matches{RegexMatch{}};
    EXPECT_FALSE(engine(u"(abc").execute(u"abc", matches));
    EXPECT_TRUE(matches.empty());
    std::u16string result = u"unchanged";
    EXPECT_FALSE(engine(u"(abc").replace(u"abc", u"x", result));
    EXPECT_EQ(result, u"unchanged");
}

TEST(RegexEngine, EmptyMatchesAdvance)
{
    std::vector<RegexMatch> matches;
    ASSERT_TRUE(engine(u"").execute(u"abc", matches));
    EXPECT_EQ(matches.size(), 4u);
}

TEST(RegexEngine, ReplaceExpandsDollarReferences)
{
    std::u16string out;
    ASSERT_TRUE(engine(u"(\\w)=(\\w)").replace(u"a=1 b=2", u"$2=$1", out));
    EXPECT_EQ(out, u"1=a 2=b");
    ASSERT_TRUE(engine(u"b").replace(u"abc", u"[$`|$&|$']", out));
    EXPECT_EQ(out, u"a[a|b|c]c");
    ASSERT_TRUE(engine(u"(b)").replace(u"abc", u"$$1 $0 $3 $", out));
    EXPECT_EQ(out, u"a$1 $0 $3 $c");
    ASSERT_TRUE(engine(u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)").replace(u"abcdefghijk", u"$11$10$12", out));
    EXPECT_EQ(out, u"kja2");
    ASSERT_TRUE(engine(u"o", false, true, false).replace(u"foo", u"0", out));
    EXPECT_EQ(out, u"f0o");
    ASSERT_TRUE(engine(u"x").replace(u"foo", u"0", out));
    EXPECT_EQ(out, u"foo");
}

// An empty group repeated lazily before backtracking classes sends ICU round
// without end; the execution has to give up instead of hanging its caller.
TEST(RegexEngine, PathologicalPatternStopsAtTheTimeLimit)
{
    RegexEngine e = engine(u"()*?[^a]*[^b]*\\b$", true);
    e.setTimeLimit(std::chrono::milliseconds(200));
    std::vector<RegexMatch> matches{RegexMatch{}};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(e.execute(std::u16string(40, u'\uFFFD'), matches));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(matches.empty());
    EXPECT_NE(e.lastErrorText().find("超时"), std::string::npos);

    std::u16string result = u"unchanged";
    EXPECT_FALSE(e.replace(u"\uFFFD\uFFFD", u"x", result));
    EXPECT_EQ(result, u"unchanged");

    e.setPattern(u"x*");
    ASSERT_TRUE(e.execute(u"ab", matches));
    EXPECT_TRUE(e.lastErrorText().empty());
    e.setPattern(u"(");
    EXPECT_FALSE(e.execute(u"ab", matches));
    EXPECT_FALSE(e.lastErrorText().empty());
}

TEST(RegexEngine, EmptyMatchesStepOverWholeCharacters)
{
    std::vector<RegexMatch> matches;
    ASSERT_TRUE(engine(u"x*").execute(u"a\U0001F600x", matches));
    ASSERT_EQ(matches.size(), 4u);
    EXPECT_EQ(matches[1].firstIndex, 1);
    EXPECT_EQ(matches[2].firstIndex, 3);
    EXPECT_EQ(matches[2].value, u"x");
    EXPECT_EQ(matches[3].firstIndex, 4);
}
