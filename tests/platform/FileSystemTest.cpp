#include "platform/FileSystem.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using platform::FileSystem;

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fs-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string gbkPath(const std::string& utf8Name) const
    {
        return FileSystem::joinPath(folder, platform::utf8ToGbk(utf8Name));
    }

    std::string folder; // ASCII, so it is the same in GBK and UTF-8
};

} // namespace

TEST_F(FileSystemTest, GbkNamesReachTheDiskAsUtf8)
{
    const std::string path = gbkPath("报告.htm");
    ASSERT_TRUE(FileSystem::writeFile(path, "a\r\nb\0c"));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder) / "报告.htm"));
    EXPECT_TRUE(FileSystem::exists(path));
    std::string content;
    ASSERT_TRUE(FileSystem::readFile(path, content));
    EXPECT_EQ(content, "a\r\nb");
}

TEST_F(FileSystemTest, WriteTruncatesAndKeepsBytesUnchanged)
{
    const std::string path = gbkPath("temp.htm");
    const std::string bytes("x\r\n\n\xD6\xD0\0y", 8);
    ASSERT_TRUE(FileSystem::writeFile(path, std::string(5000, 'z')));
    ASSERT_TRUE(FileSystem::writeFile(path, bytes));
    std::string content;
    ASSERT_TRUE(FileSystem::readFile(path, content));
    EXPECT_EQ(content, bytes);
}

TEST_F(FileSystemTest, ExistsForFilesAndDirectoriesOnly)
{
    EXPECT_FALSE(FileSystem::exists(gbkPath("tk.db")));
    std::filesystem::create_directory(std::filesystem::path(folder) / "tk.db");
    EXPECT_TRUE(FileSystem::exists(gbkPath("tk.db")));
    EXPECT_FALSE(FileSystem::exists(""));
}

TEST_F(FileSystemTest, RemoveIgnoresMissingFilesAndKeepsDirectories)
{
    const std::string path = gbkPath("temp.htm");
    ASSERT_TRUE(FileSystem::writeFile(path, "x"));
    EXPECT_TRUE(FileSystem::removeFile(path));
    EXPECT_FALSE(FileSystem::exists(path));
    EXPECT_TRUE(FileSystem::removeFile(path));
    std::filesystem::create_directory(std::filesystem::path(folder) / "dir");
    EXPECT_FALSE(FileSystem::removeFile(gbkPath("dir")));
    EXPECT_TRUE(FileSystem::exists(gbkPath("dir")));
}

TEST_F(FileSystemTest, FailuresReportFalse)
{
    std::filesystem::create_directory(std::filesystem::path(folder) / "dir");
    std::string content = "kept";
    EXPECT_FALSE(FileSystem::writeFile(gbkPath("dir"), "x"));
    EXPECT_FALSE(FileSystem::readFile(gbkPath("dir"), content));
    EXPECT_FALSE(FileSystem::readFile(gbkPath("missing"), content));
    EXPECT_EQ(content, "kept");
    EXPECT_FALSE(FileSystem::writeFile(gbkPath("no/such/file"), "x"));
    if (::geteuid() != 0) {
        ::chmod(folder.c_str(), 0555);
        EXPECT_FALSE(FileSystem::writeFile(gbkPath("ro.htm"), "x"));
        ::chmod(folder.c_str(), 0755);
    }
}

TEST(FileSystem, ProgramDirectoryHoldsTheRunningProgram)
{
    std::optional<std::string> directory = FileSystem::programDirectory();
    ASSERT_TRUE(directory);
    EXPECT_FALSE(directory->ends_with("/"));
    EXPECT_TRUE(FileSystem::exists(FileSystem::joinPath(*directory, "test_platform")));
}

TEST(FileSystem, NamesThatDoNotConvertExactlyAreRefused)
{
    // Thai has no GBK form; a lone lead byte has no UTF-8 form.
    EXPECT_EQ(FileSystem::fromSystemPath("/tmp/\xE0\xB8\x81"), std::nullopt);
    EXPECT_EQ(FileSystem::fromSystemPath("/tmp/\xFF"), std::nullopt);
    EXPECT_EQ(FileSystem::toSystemPath("/tmp/\x81"), std::nullopt);
    EXPECT_EQ(FileSystem::fromSystemPath("/tmp/中文"), platform::utf8ToGbk("/tmp/中文"));
    EXPECT_FALSE(FileSystem::writeFile("/tmp/\x81", "x"));
}

// The program's folder may have a Chinese name: every operation must reach
// the folder the system knows by the UTF-8 form of that name.
TEST_F(FileSystemTest, WorksInAFolderWithAChineseName)
{
    const std::string room = gbkPath("考试机房");
    ASSERT_FALSE(FileSystem::isDirectory(room));
    std::filesystem::create_directory(std::filesystem::path(folder) / "考试机房");
    ASSERT_TRUE(FileSystem::isDirectory(room));
    const std::string results = FileSystem::joinPath(room, platform::utf8ToGbk("成绩.txt"));
    const std::string onDisk = (std::filesystem::path(folder) / "考试机房" / "成绩.txt").string();

    ASSERT_TRUE(FileSystem::writeFile(results, "old"));
    EXPECT_EQ(FileSystem::fileSize(results), 3u);
    EXPECT_EQ(FileSystem::fileSize(room), std::nullopt);
    ASSERT_TRUE(FileSystem::replaceFile(results, "new content"));
    std::string content;
    ASSERT_TRUE(FileSystem::readFile(results, content));
    EXPECT_EQ(content, "new content");
    ASSERT_TRUE(FileSystem::readFile(results, content, 3));
    EXPECT_EQ(content, "new");
    std::ifstream direct(onDisk, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(direct), {}), "new content");

    const std::string copy = results + ".bak";
    ASSERT_TRUE(FileSystem::copyFile(results, copy));
    EXPECT_FALSE(FileSystem::copyFile(results, copy)) << "an existing copy is never overwritten";
    const std::string moved = FileSystem::joinPath(room, platform::utf8ToGbk("移走.txt"));
    ASSERT_TRUE(FileSystem::rename(copy, moved));
    std::vector<std::string> names;
    ASSERT_TRUE(FileSystem::listDirectory(room, names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{platform::utf8ToGbk("成绩.txt"), platform::utf8ToGbk("移走.txt")}));

    // A replacement that cannot take the target's place leaves no part behind.
    const std::string taken = FileSystem::joinPath(room, "dir");
    std::filesystem::create_directory(std::filesystem::path(folder) / "考试机房" / "dir");
    EXPECT_FALSE(FileSystem::replaceFile(taken, "x"));
    ASSERT_TRUE(FileSystem::listDirectory(room, names));
    EXPECT_EQ(names.size(), 3u);
}
