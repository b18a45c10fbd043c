#include "exchange/ExchangeWindow.h"

#include "app/ExamWindow.h"
#include "app/RoomServices.h"
#include "bank/BankTestSupport.h"
#include "exam/AppState.h"
#include "exchange/CsvFormat.h"
#include "exchange/ExchangeTestSupport.h"
#include "platform/CodePage.h"
#include "platform/gui/GuiDriver.h"
#include "questions/QuestionBank.h"

#include <gtest/gtest.h>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxButtons;
using platform::MessageBoxRequest;
using platform::MessageBoxResult;

namespace {

// The bank window reached as the administrator reaches it, with the import
// and export buttons put behind it as the program does.
class ExchangeWindowTest : public ::testing::Test {
protected:
    ExchangeWindowTest()
    {
        db.insert(GBK("已有的题"), GBK("甲|乙|||"), "A", "2");
        state.runDirectory = std::filesystem::path(db.path()).parent_path().string();
        state.candidateId = ExamWindow::accessCode;
        driver.setResponder([this](const MessageBoxRequest& box) {
            asked.push_back(box);
            return box.buttons == MessageBoxButtons::YesNo ? MessageBoxResult::Yes : MessageBoxResult::Ok;
        });
    }
    ~ExchangeWindowTest() override { Gui::closeAllWindows(); }

    // Runs the bank window; onBank and onExchange operate the windows as they come up.
    void runBank(const std::function<void()>& onBank, const std::function<void()>& onExchange)
    {
        driver.setModalHook([&](const std::string& window) {
            if (window == "exchange")
                onExchange();
            else
                onBank();
        });
        ExamWindow exam(
            state, room,
            {.exchange = ExchangeWindow::bankActions([] { return &BackendRegistry::instance()->sqliteDatabase(); },
                                                     [this] { return state.runDirectory; })});
        ASSERT_TRUE(exam.open());
        ASSERT_TRUE(GuiDriver::click(ExamWindow::windowId, "题库管理按钮"));
    }

    std::string file(const std::string& name) const
    {
        return (std::filesystem::path(state.runDirectory) / name).string();
    }

    TestBank db;
    AppState state;
    RoomServices room;
    GuiDriver driver;
    std::vector<MessageBoxRequest> asked;
};

TEST_F(ExchangeWindowTest, ImportChecksListsTheProblemsAndWritesAfterConfirming)
{
    writeText(file("new.csv"), "题目,选项A,选项B,答案\n新题一,a,b,A\n新题二,c,d,B\n已有的题,a,b,A\n");
    int listedAfter = 0;
    runBank(
        [&] {
            EXPECT_TRUE(Gui::isVisible("bank", "导出"));
            ASSERT_TRUE(GuiDriver::click("bank", "导入"));
            listedAfter = Gui::gridRowCount("bank", "题库表");
            GuiDriver::clickCloseBox("bank");
        },
        [&] {
            EXPECT_FALSE(Gui::isVisible("exchange", "导出"));
            Gui::setText("exchange", "文件编辑框", file("new.csv"));
            ASSERT_TRUE(GuiDriver::click("exchange", "检查"));
            ASSERT_EQ(Gui::gridRowCount("exchange", "问题表"), 2);
            EXPECT_EQ(Gui::gridText("exchange", "问题表", 1, 0), "4");
            EXPECT_EQ(Gui::gridText("exchange", "问题表", 1, 1), GBK("与题库中已有的题目重复"));
            EXPECT_EQ(db.rows().size(), 1u);
            ASSERT_TRUE(GuiDriver::click("exchange", "导入"));
            GuiDriver::clickCloseBox("exchange");
        });
    ASSERT_GE(asked.size(), 2u);
    EXPECT_EQ(asked[0].caption, GBK("提示"));
    EXPECT_EQ(asked[0].buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(asked[1].text, GBK("已导入2道题。"));
    const std::vector<StoredQuestion> rows = db.rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], (StoredQuestion{rows[1].id, GBK("新题一"), "a|b|||", "A", "2"}));
    EXPECT_EQ(listedAfter, 4);
    EXPECT_EQ(BankBackup::copies(db.path()).size(), 1u);
}

TEST_F(ExchangeWindowTest, ExportWritesTheRowsOfTheCurrentSearch)
{
    db.insert(GBK("另一道题"), GBK("丙|丁|||"), "B", "2");
    runBank(
        [&] {
            Gui::setText("bank", "查询编辑框", GBK("另一"));
            ASSERT_TRUE(GuiDriver::click("bank", "查询"));
            ASSERT_TRUE(GuiDriver::click("bank", "导出"));
            GuiDriver::clickCloseBox("bank");
        },
        [&] {
            Gui::setText("exchange", "文件编辑框", file("found.csv"));
            ASSERT_TRUE(GuiDriver::click("exchange", "只导出查询结果"));
            ASSERT_TRUE(GuiDriver::click("exchange", "导出"));
            GuiDriver::clickCloseBox("exchange");
        });
    const ParsedBank found = CsvFormat::read(readText(file("found.csv")));
    ASSERT_EQ(found.questions.size(), 1u);
    EXPECT_EQ(found.questions[0].title, "另一道题");
    EXPECT_EQ(found.questions[0].options, (std::vector<std::string>{"丙", "丁", "", ""}));
}

TEST_F(ExchangeWindowTest, TheCategoryBoxFilesTheQuestionsOfAFileWithoutCategories)
{
    writeText(file("new.txt"), "一加一？\nA. 1\nB. 2\nANSWER: B\n");
    runBank(
        [&] {
            ASSERT_TRUE(GuiDriver::click("bank", "导入"));
            GuiDriver::clickCloseBox("bank");
        },
        [&] {
            Gui::setText("exchange", "文件编辑框", file("new.txt"));
            Gui::setText("exchange", "分类编辑框", GBK("安全生产"));
            ASSERT_TRUE(GuiDriver::click("exchange", "导入"));
            GuiDriver::clickCloseBox("exchange");
        });
    Database::Rows categories;
    ASSERT_TRUE(BackendRegistry::instance()->sqliteDatabase().query(QuestionBank::categoryCopyQuery(), categories));
    EXPECT_EQ(categories, (Database::Rows{{std::string("2"), GBK("安全生产")}}));
}

} // namespace
