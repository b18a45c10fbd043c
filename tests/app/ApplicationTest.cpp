#include "app/Application.h"
#include "bank/PaperEditor.h"
#include "db/EventPump.h"
#include "learning/StatsWindow.h"
#include "tests/app/AppTestSupport.h"

#include <gtest/gtest.h>

// Exports pump window events only while the program's windows exist.
TEST(Application, PumpsWindowEventsDuringDatabaseWorkWhileAlive)
{
    EXPECT_EQ(EventPump::installed(), nullptr);
    {
        Application application;
        EXPECT_NE(EventPump::installed(), nullptr);
    }
    EXPECT_EQ(EventPump::installed(), nullptr);
}

// The program as main builds it, on a copy of the sample bank: the
// administrator finds import, export and statistics in the bank window that
// the exam window opens, without anyone wiring them in afterwards.
TEST_F(AppTest, TheProgramAsMainBuildsItOffersTheBankWindowItsActions)
{
    std::filesystem::copy_file(std::filesystem::path(SAMPLE_BANK_DIR) / "tk.db", file("tk.db"));
    enterExam(std::string(ExamWindow::accessCode));
    EXPECT_GT(state().paper.entry(1).id.size(), 0u);

    std::vector<std::string> opened;
    driver.setModalHook([&](const std::string& window) {
        opened.push_back(window);
        if (window != "bank")
            return;
        for (const char* button : {"导入", "导出", "统计"})
            EXPECT_TRUE(platform::Gui::isVisible(window, button)) << button;
        EXPECT_TRUE(platform::GuiDriver::click(window, "统计"));
    });
    ASSERT_TRUE(click("题库管理按钮"));
    driver.setModalHook(nullptr);
    EXPECT_EQ(opened, (std::vector<std::string>{"bank", StatsWindow::windowId}));

    ASSERT_TRUE(click(state().paper.entry(1).answer));
    driver.answerNext(platform::MessageBoxResult::Yes);
    ASSERT_TRUE(click("交卷"));
    EXPECT_EQ(text("透明标签12"), gbk("得分为 【   1   】 分"));
    EXPECT_EQ(app->exitCode(), std::nullopt);
}

// The papers of the bank the program opened are edited from its bank window.
TEST_F(AppTest, TheBankWindowOpensThePaperEditorOnTheOpenBank)
{
    std::filesystem::copy_file(std::filesystem::path(SAMPLE_BANK_DIR) / "tk.db", file("tk.db"));
    enterExam(std::string(ExamWindow::accessCode));
    std::vector<std::string> opened;
    int wholeBank = 0;
    driver.setModalHook([&](const std::string& window) {
        opened.push_back(window);
        if (window == "bank")
            EXPECT_TRUE(platform::GuiDriver::click(window, "试卷"));
        else
            wholeBank = std::stoi("0" + platform::Gui::gridText(window, "题量表", 1, 4));
    });
    ASSERT_TRUE(click("题库管理按钮"));
    driver.setModalHook(nullptr);
    EXPECT_EQ(opened, (std::vector<std::string>{"bank", PaperEditor::windowId}));
    EXPECT_GT(wholeBank, 0);
    EXPECT_TRUE(driver.messageBoxes().empty());
}
