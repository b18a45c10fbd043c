#include "platform/ProfileReader.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using platform::ProfileReader;

namespace {

std::string read(std::string_view content, std::string_view section = "nev", std::string_view key = "tite",
                 std::string_view defaultValue = {})
{
    return ProfileReader::readStringFromText(content, section, key, defaultValue);
}

} // namespace

TEST(ProfileReader, FindsKeyInSectionWhateverTheCase)
{
    EXPECT_EQ(read("[nev]\r\ntite=Mock exam\r\n"), "Mock exam");
    EXPECT_EQ(read("[NEV]\nTITE=x"), "x");
    EXPECT_EQ(read("[other]\ntite=no\n[Nev]\nfoo=1\ntite=yes\n"), "yes");
    EXPECT_EQ(read("tite=outside\n[nev]\n"), "");
}

TEST(ProfileReader, TrimsNamesAndValues)
{
    EXPECT_EQ(read("  [nev]  \r\n\t tite \t=  a  b \t\r\n"), "a  b");
    EXPECT_EQ(read("[nev]\ntite=\n"), "");
    EXPECT_EQ(read("[nev]\ntite=a=b\n"), "a=b");
    EXPECT_EQ(ProfileReader::readStringFromText("[nev]\ntite=v\n", " nev ", " tite "), "v");
}

TEST(ProfileReader, StripsOnePairOfMatchingQuotes)
{
    EXPECT_EQ(read("[nev]\ntite=\"quoted\"\n"), "quoted");
    EXPECT_EQ(read("[nev]\ntite='single'\n"), "single");
    EXPECT_EQ(read("[nev]\ntite=\"  inner  \"\n"), "  inner  ");
    EXPECT_EQ(read("[nev]\ntite=\"open\n"), "\"open");
    EXPECT_EQ(read("[nev]\ntite=\"mixed'\n"), "\"mixed'");
    EXPECT_EQ(read("[nev]\ntite=\"\n"), "\"");
    EXPECT_EQ(read("[nev]\ntite=\"\"x\"\"\n"), "\"x\"");
}

TEST(ProfileReader, MissingEntriesGiveTheDefault)
{
    EXPECT_EQ(read(""), "");
    EXPECT_EQ(read("[nev]\ntitle=x\n"), "");
    EXPECT_EQ(read("[nev]\ntite\n", "nev", "tite", "def  "), "def");
    EXPECT_EQ(read("[nevx]\ntite=x\n"), "");
    // Only the first section of the name is searched, and its first key.
    EXPECT_EQ(read("[nev]\na=1\n[nev]\ntite=second\n"), "");
    EXPECT_EQ(read("[nev]\ntite=first\ntite=second\n"), "first");
    // A bracket line without its closing bracket is no section.
    EXPECT_EQ(read("[nev]\n[broken\ntite=x\n"), "x");
}

TEST(ProfileReader, HandlesGbkNamesAndValues)
{
    const std::string title = platform::utf8ToGbk("岚溪模拟考试");
    EXPECT_EQ(read("[nev]\r\ntite=" + title + "\r\n"), title);
    // "昝" ends in 0x5D, the byte of "]": the section is still found.
    const std::string section = platform::utf8ToGbk("考]") + "\xEA\x5D";
    EXPECT_EQ(ProfileReader::readStringFromText("[" + section + "]\nk=v\n", section, "k"), "v");
    // A trail byte that looks like "A" is not folded to "a".
    EXPECT_EQ(ProfileReader::readStringFromText("[s]\n\x81"
                                                "A=1\n",
                                                "s",
                                                "\x81"
                                                "a"),
              "");
    EXPECT_EQ(ProfileReader::readStringFromText("[s]\n\x81"
                                                "A=1\n",
                                                "s",
                                                "\x81"
                                                "A"),
              "1");
}

TEST(ProfileReader, ConvertsUnicodeFilesToGbk)
{
    const std::string title = platform::utf8ToGbk("标题");
    EXPECT_EQ(read("\xEF\xBB\xBF[nev]\ntite=标题\n"), title);
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : std::u16string(u"[nev]\ntite=标题\n")) {
        utf16.push_back(static_cast<char>(c & 0xFF));
        utf16.push_back(static_cast<char>(c >> 8));
    }
    EXPECT_EQ(read(utf16), title);
}

TEST(ProfileReader, DeliversAtMostOneByteLessThanTheBuffer)
{
    const std::string longValue(20000, 'x');
    EXPECT_EQ(read("[nev]\ntite=" + longValue).size(), 10239u);
    // The cut never splits a double-byte character.
    std::string chinese;
    for (int i = 0; i < 6000; ++i)
        chinese += "\xD6\xD0";
    EXPECT_EQ(read("[nev]\ntite=x" + chinese).size(), 10239u);
    EXPECT_EQ(read("[nev]\ntite=" + chinese).size(), 10238u);
    EXPECT_EQ(ProfileReader::readStringFromText("[nev]\ntite=abcdef", "nev", "tite", {}, 4), "abc");
}

TEST(ProfileReader, ReadsFilesByGbkPath)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "ini-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const std::string path = platform::FileSystem::joinPath(pattern, platform::utf8ToGbk("配置.ini"));
    ASSERT_TRUE(platform::FileSystem::writeFile(path, "[nev]\r\ntite=ok\r\n"));
    EXPECT_EQ(ProfileReader::readString(path, "nev", "tite"), "ok");
    EXPECT_EQ(ProfileReader::readString(path + "x", "nev", "tite", "default"), "default");
    std::filesystem::remove_all(pattern);
}
