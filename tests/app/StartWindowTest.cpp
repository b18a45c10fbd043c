#include "app/StartWindow.h"

#include "AppTestSupport.h"

#include <chrono>
#include <set>
#include <thread>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxIcon;

namespace {

const std::string bankMessage = platform::utf8ToGbk("数据库加载失败！请检查数据库是否存在！");
const std::string unopenedBank =
    platform::utf8ToGbk("数据库加载失败！无法打开数据库，请检查它是否被其他程序占用、是否允许读写！");
const std::string noDatabase = platform::utf8ToGbk("数据库加载失败！tk.db 不是数据库文件，请检查数据库是否完好！");
const std::string noQuestionTable =
    platform::utf8ToGbk("数据库加载失败！数据库中没有题库表 KS_SJTK，请检查数据库是否正确！");

} // namespace

TEST_F(AppTest, ConfiguredTitleReplacesTheDesignCaption)
{
    makeBank(plainQuestions(3));
    writeProfile("[nev]\r\ntite=" + gbk("岚溪模拟考试") + "\r\n");
    startApp();
    EXPECT_EQ(Gui::text("start", "标签2"), gbk("岚溪模拟考试"));
    EXPECT_TRUE(driver.messageBoxes().empty());
}

TEST_F(AppTest, MissingTitleLeavesTheLabelEmpty)
{
    makeBank(plainQuestions(3));
    writeProfile("[nev]\r\ntitle=x\r\n");
    startApp();
    EXPECT_TRUE(app->exitCode() == std::nullopt);
    EXPECT_EQ(Gui::text("start", "标签2"), "");
}

TEST_F(AppTest, UnusableBankEndsTheProgramWithItsMessage)
{
    // The first line names the cause; the database's own reason may follow.
    auto expectEnded = [&](const char* what, const std::string& message) {
        startApp();
        EXPECT_EQ(app->exitCode(), 0) << what;
        EXPECT_EQ(app->exec(), 0) << what;
        EXPECT_FALSE(Gui::isOpen("start")) << what;
        ASSERT_EQ(driver.messageBoxes().size(), 1u) << what;
        const std::string& text = driver.messageBoxes()[0].text;
        EXPECT_EQ(text.substr(0, text.find("\r\n")), message) << what;
        EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("提示"));
        EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Information);
        driver.clearMessageBoxes();
        app.reset();
    };
    expectEnded("missing", bankMessage);

    std::filesystem::create_directory(file("tk.db"));
    expectEnded("directory", unopenedBank);
    std::filesystem::remove(file("tk.db"));

    std::ofstream(file("tk.db"), std::ios::binary) << std::string(4096, 'x');
    expectEnded("not a database", noDatabase);
    std::filesystem::remove(file("tk.db"));

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file("tk.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE other (id INTEGER)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    expectEnded("no question table", noQuestionTable);
}

TEST_F(AppTest, ABankLockedForAMomentDoesNotEndStartUp)
{
    makeBank(plainQuestions(3));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file("tk.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread writer([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    });
    startApp();
    writer.join();
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_EQ(app->exitCode(), std::nullopt);
    EXPECT_TRUE(Gui::isOpen("start"));
}

TEST_F(AppTest, AnEmptyTableKeepsTheStartWindowForAnotherTry)
{
    makeBank({});
    startApp();
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("题库中没有题目，无法生成试卷！请检查题库后再试。"));
    EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("提示"));
    EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Information);
    EXPECT_TRUE(Gui::isOpen("start"));
    EXPECT_FALSE(Gui::isOpen("exam"));
    EXPECT_TRUE(Gui::isEnabled("start", "按钮1"));
    EXPECT_EQ(Gui::text("start", "按钮1"), gbk("进入考场"));
    EXPECT_EQ(Gui::text("start", "百分标签"), "0%");

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file("tk.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES ('t', 'a|b|', 'B', '2')", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    EXPECT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_TRUE(Gui::isOpen("exam"));
    EXPECT_EQ(state().paper.entry(1).title, "t");
    EXPECT_EQ(state().paper.entry(2).title, "");
}

TEST_F(AppTest, EnterAsksForBothEntries)
{
    makeBank(plainQuestions(3));
    startApp();
    GuiDriver::erase("start", "身份证编辑框");
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("请输入身份证"));
    EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("岚溪提示"));
    EXPECT_EQ(driver.messageBoxes()[0].icon, MessageBoxIcon::Information);
    EXPECT_TRUE(Gui::isOpen("start"));
    EXPECT_FALSE(Gui::isOpen("exam"));

    // A single blank is an entry; the empty seat box is the only complaint.
    driver.clearMessageBoxes();
    GuiDriver::type("start", "身份证编辑框", " ");
    GuiDriver::erase("start", "座位号编辑框");
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("请输入座位号"));
    EXPECT_EQ(driver.messageBoxes()[0].caption, gbk("岚溪提示"));
    EXPECT_TRUE(Gui::isEnabled("start", "按钮1"));
    EXPECT_EQ(Gui::text("start", "按钮1"), gbk("进入考场"));

    GuiDriver::type("start", "座位号编辑框", "07");
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    EXPECT_TRUE(Gui::isOpen("exam"));
    EXPECT_FALSE(Gui::isOpen("start"));
    EXPECT_EQ(state().candidateId, " ");
    EXPECT_EQ(state().seatNumber, "07");
    EXPECT_EQ(text("透明标签1"), " ");
    EXPECT_EQ(text("透明标签2"), "07");
}

TEST_F(AppTest, DesignTimeEntriesCount)
{
    makeBank(plainQuestions(3));
    enterExam();
    EXPECT_EQ(state().candidateId, "20150826");
    EXPECT_EQ(state().seatNumber, "15");
    EXPECT_EQ(Gui::statusText("exam", "状态条", 1), "20150826");
    EXPECT_EQ(Gui::statusText("exam", "状态条", 0), gbk(" 当前操作员："));
}

TEST_F(AppTest, DrawFromALargeBankTakesOneHundredDistinctQuestions)
{
    makeBank(plainQuestions(150));
    startApp();
    std::map<std::string, int> seen;
    GuiDriver::click("start", "按钮1");
    for (int k = 1; k <= 100; ++k) {
        const PaperEntry& entry = state().paper.entry(k);
        const int n = std::atoi(entry.id.c_str());
        ASSERT_GE(n, 1);
        ASSERT_LE(n, 150);
        EXPECT_TRUE(seen.emplace(entry.id, k).second) << "question " << n << " drawn twice";
        const std::string key = std::to_string(n);
        EXPECT_EQ(entry.title, gbk("题目" + key));
        EXPECT_EQ(entry.options, "a" + key + "|b" + key + "|c" + key + "|d" + key + "|");
        EXPECT_EQ(entry.answer, std::string(1, static_cast<char>('A' + (n - 1) % 4)));
        EXPECT_EQ(entry.did, "4");
        EXPECT_EQ(entry.chosen, "");
    }
}

TEST_F(AppTest, ProgressCountsTheRowsOfASmallBank)
{
    makeBank(plainQuestions(37));
    startApp();
    EXPECT_EQ(Gui::text("start", "百分标签"), "0%");
    app->startWindow().drawPaper();
    EXPECT_EQ(Gui::text("start", "百分标签"), "37%");
    EXPECT_EQ(Gui::progressMaximum("start", "进度条1"), 37);
    EXPECT_EQ(Gui::progressPosition("start", "进度条1"), 37);
    std::set<std::string> ids;
    for (int k = 1; k <= 37; ++k)
        ids.insert(state().paper.entry(k).id);
    EXPECT_EQ(ids.size(), 37u);
    for (int k = 38; k <= 100; ++k) {
        const PaperEntry& entry = state().paper.entry(k);
        EXPECT_TRUE(entry.id.empty() && entry.title.empty() && entry.options.empty() && entry.answer.empty() &&
                    entry.did.empty())
            << k;
    }
}

TEST_F(AppTest, DrawRemovesLineBreaksAndBlanksOfBothKinds)
{
    makeBank({{" 一 二　三\r\n四 ", "甲 　乙|\r\n丙|丁　|戊|", " B ", "4"}});
    startApp();
    app->startWindow().drawPaper();
    const PaperEntry& entry = state().paper.entry(1);
    EXPECT_EQ(entry.title, gbk("一二三四"));
    EXPECT_EQ(entry.options, gbk("甲乙|丙|丁|戊|"));
    EXPECT_EQ(entry.answer, "B");
    EXPECT_EQ(entry.id, "1");
}

TEST_F(AppTest, TheAdministratorReachesTheBankOfAnEmptyTable)
{
    makeBank({});
    startApp();
    Gui::setText("start", "身份证编辑框", "739264");
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_TRUE(Gui::isOpen("exam"));
    EXPECT_TRUE(Gui::isVisible("exam", "题库管理按钮"));
}
