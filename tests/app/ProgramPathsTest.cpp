#include "app/ProgramPaths.h"

#include "AppTestSupport.h"

#include <cstdio>
#include <sys/wait.h>

namespace {

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A tree as a package installs it: <root>/usr/bin for the program, the sample
// bank and i.ini in <root>/usr/share/mockexam, and a home of its own.
class ProgramPathsTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        root = folder;
        bin = (root / "usr/bin").string();
        std::filesystem::create_directories(bin);
        inputs.programDirectory = bin;
        inputs.home = (root / "home").string();
    }

    void installShare()
    {
        writeAll(root / "usr/share/mockexam/tk.db", "sample bank");
        writeAll(root / "usr/share/mockexam/i.ini", "[nev]\r\ntite=sample\r\n");
    }

    std::filesystem::path root;
    std::string bin;
    ProgramPaths::Inputs inputs;
};

} // namespace

TEST_F(ProgramPathsTest, RulesApplyInTheirOrder)
{
    inputs.machineProfile = "[paths]\r\ndata=/srv/mockexam/\r\n";
    inputs.xdgDataHome = (root / "xdg").string();

    // A bank beside the program wins over everything: a build or a portable copy.
    writeAll(std::filesystem::path(bin) / "tk.db", "");
    ProgramPaths paths = ProgramPaths::decide(inputs);
    EXPECT_EQ(paths.rule(), ProgramPaths::Rule::Portable);
    EXPECT_EQ(paths.runDirectory(), bin);
    EXPECT_TRUE(paths.prepare());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(bin), std::filesystem::directory_iterator()), 1);
    std::filesystem::remove(std::filesystem::path(bin) / "tk.db");

    paths = ProgramPaths::decide(inputs);
    EXPECT_EQ(paths.rule(), ProgramPaths::Rule::Machine);
    EXPECT_EQ(paths.runDirectory(), "/srv/mockexam");
    EXPECT_EQ(paths.shareDirectory(), (root / "usr/share/mockexam").string());

    // A machine profile without an absolute folder leaves the user's own.
    for (const char* profile : {"[nev]\r\ntite=x\r\n", "[paths]\r\ndata=srv\r\n", "[paths]\r\ndata=\r\n"}) {
        inputs.machineProfile = profile;
        paths = ProgramPaths::decide(inputs);
        EXPECT_EQ(paths.rule(), ProgramPaths::Rule::User) << profile;
        EXPECT_EQ(paths.runDirectory(), (root / "xdg/mockexam").string()) << profile;
    }
}

TEST_F(ProgramPathsTest, UserFolderFollowsXdgDataHomeOrHome)
{
    auto runDirectory = [&](std::optional<std::string> xdg, std::optional<std::string> home) {
        inputs.xdgDataHome = std::move(xdg);
        inputs.home = std::move(home);
        return ProgramPaths::decide(inputs).runDirectory();
    };
    EXPECT_EQ(runDirectory("/data/", "/home/u"), "/data/mockexam");
    EXPECT_EQ(runDirectory(std::nullopt, "/home/u/"), "/home/u/.local/share/mockexam");
    EXPECT_EQ(runDirectory("", "/home/u"), "/home/u/.local/share/mockexam");
    EXPECT_EQ(runDirectory("data", "/home/u"), "/home/u/.local/share/mockexam");
    EXPECT_EQ(runDirectory(gbk("/数据"), "/home/u"), "") << "a name GBK cannot hold back converted";
    EXPECT_EQ(runDirectory("/数据", "/home/u"), gbk("/数据/mockexam"));

    inputs.xdgDataHome.reset();
    inputs.home.reset();
    const ProgramPaths nowhere = ProgramPaths::decide(inputs);
    EXPECT_EQ(nowhere.runDirectory(), "");
    EXPECT_NE(nowhere.problem(), "");
}

TEST_F(ProgramPathsTest, FirstStartCopiesOnlyWhatIsMissing)
{
    installShare();
    ProgramPaths paths = ProgramPaths::decide(inputs);
    const std::filesystem::path data = root / "home/.local/share/mockexam";
    ASSERT_EQ(paths.runDirectory(), data.string());
    EXPECT_FALSE(std::filesystem::exists(data)) << "deciding writes nothing";
    ASSERT_TRUE(paths.prepare());
    EXPECT_EQ(readAll(data / "tk.db"), "sample bank");
    EXPECT_EQ(readAll(data / "i.ini"), "[nev]\r\ntite=sample\r\n");
    EXPECT_EQ(paths.problem(), "");

    // The user's bank is kept as it is; a lost i.ini comes back.
    writeAll(data / "tk.db", "the user's own bank");
    std::filesystem::remove(data / "i.ini");
    ASSERT_TRUE(ProgramPaths::decide(inputs).prepare());
    EXPECT_EQ(readAll(data / "tk.db"), "the user's own bank");
    EXPECT_EQ(readAll(data / "i.ini"), "[nev]\r\ntite=sample\r\n");
    EXPECT_TRUE(std::filesystem::is_empty(bin));
}

TEST_F(ProgramPathsTest, FolderWithoutBankIsExplainedAtStart)
{
    // No installed sample: the bank-missing message names what to look at.
    ProgramPaths paths = ProgramPaths::decide(inputs);
    EXPECT_FALSE(paths.prepare());
    EXPECT_NE(paths.problem().find(paths.runDirectory()), std::string::npos);
    EXPECT_NE(paths.problem().find(paths.shareDirectory()), std::string::npos);

    app = std::make_unique<Application>(
        Application::Options{.runDirectory = paths.runDirectory(), .filesProblem = paths.problem()});
    EXPECT_FALSE(app->start());
    EXPECT_EQ(app->exitCode(), 0);
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("数据库加载失败！请检查数据库是否存在！") + "\r\n" + paths.problem());
    app.reset();

    // A folder that cannot be made (a file stands in its way) is named too.
    installShare();
    writeAll(root / "blocked", "a file");
    inputs.xdgDataHome = (root / "blocked").string();
    paths = ProgramPaths::decide(inputs);
    EXPECT_FALSE(paths.prepare());
    EXPECT_NE(paths.problem().find(paths.runDirectory()), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(bin));
}

TEST(ProgramPathsCommand, PathsOptionPrintsTheDecisionWithoutAWindow)
{
    // The built program sits beside the sample bank: the portable rule, as always.
    std::string home = (std::filesystem::temp_directory_path() / "paths-home-XXXXXX").string();
    ASSERT_NE(::mkdtemp(home.data()), nullptr);
    const std::string program = std::string(SAMPLE_BANK_DIR) + "/mockexam";
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none HOME='" + home + "' '" + program + "' --paths";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    const std::string bankDir = std::filesystem::canonical(SAMPLE_BANK_DIR).string();
    EXPECT_NE(output.find("程序所在的文件夹"), std::string::npos) << output;
    for (const char* name : {"tk.db", "i.ini", "ksjl.db", "temp.htm"})
        EXPECT_NE(output.find("：" + bankDir + "/" + name + "\n"), std::string::npos) << name << "\n" << output;
    EXPECT_NE(output.find("导出、备份和PDF：" + bankDir + "\n"), std::string::npos) << output;
    EXPECT_TRUE(std::filesystem::is_empty(home));
    std::filesystem::remove_all(home);
}
