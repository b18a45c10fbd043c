// Saving a report as a PDF from the exam window after the hand-in and from the
// history's chosen attempt, with the save dialog answered by the test.

#include "attempts/ReportPdf.h"
#include "app/AppTestSupport.h"
#include "attempts/HistoryWindow.h"
#include "platform/FileSystem.h"
#include "support/PdfText.h"

#include <QDate>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxResult;

namespace {

constexpr char history[] = "history";

class ReportPdfTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeBank(plainQuestions(40));
    }

    void handIn(const std::string& candidateId)
    {
        enterExam(candidateId);
        ASSERT_TRUE(pressCell(2));
        ASSERT_TRUE(click("B"));
        EXPECT_FALSE(visible("PDF按钮"));
        driver.answerNext(MessageBoxResult::Yes);
        ASSERT_TRUE(click("交卷"));
        driver.clearMessageBoxes();
    }

    std::string lastBox() const
    {
        return driver.messageBoxes().empty() ? std::string() : driver.messageBoxes().back().text;
    }
};

TEST_F(ReportPdfTest, ExamWindowSavesTheHandedInReportWhereTheDialogSays)
{
    handIn("3201/02");
    ASSERT_TRUE(visible("PDF按钮"));

    // Cancelled: nothing written, nothing said.
    ASSERT_TRUE(click("PDF按钮"));
    ASSERT_EQ(driver.fileDialogs().size(), 1u);
    const std::string today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toStdString();
    EXPECT_EQ(driver.fileDialogs()[0].suggested, folder + "/" + gbk("答卷-3201_02-") + today + ".pdf");
    EXPECT_TRUE(driver.messageBoxes().empty());

    // A folder that does not exist: the reason, and no file.
    driver.answerNextFileDialog(folder + "/none/a.pdf");
    ASSERT_TRUE(click("PDF按钮"));
    EXPECT_NE(lastBox().find(gbk("不存在")), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file("none")));

    // The extension comes with the name when the user leaves it off.
    driver.answerNextFileDialog(folder + "/" + gbk("我的答卷"));
    ASSERT_TRUE(click("PDF按钮"));
    const std::string saved = folder + "/" + gbk("我的答卷.pdf");
    EXPECT_EQ(lastBox(), gbk("答卷已保存为PDF：\r\n") + saved);

    // The same name again: asked first, and a No keeps the file as it was.
    const auto before = std::filesystem::last_write_time(*platform::FileSystem::toSystemPath(saved));
    driver.clearMessageBoxes();
    driver.answerNextFileDialog(saved);
    ASSERT_TRUE(click("PDF按钮"));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].buttons, platform::MessageBoxButtons::YesNo);
    EXPECT_EQ(std::filesystem::last_write_time(*platform::FileSystem::toSystemPath(saved)), before);
    const std::string text = pdfText(*platform::FileSystem::toSystemPath(saved));
    for (const char* piece : {"考试答卷", "3201/02", "得分：0", "编号", "未答"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece << "\n" << text;
}

TEST(ReportPdfName, OnlyWholeCharactersThatNoFileNameHoldsAreReplaced)
{
    // 琝 ends in the byte of a backslash and 亅 in that of '|'.
    const std::string id = platform::utf8ToGbk("琝\\亅|:1");
    EXPECT_EQ(ReportPdf::fileName(id, "20260103"), platform::utf8ToGbk("答卷-琝_亅__1-20260103.pdf"));
    EXPECT_EQ(ReportPdf::dateOf("2026-01-03 09:00:00"), "20260103");
}

TEST_F(ReportPdfTest, HistorySavesTheChosenAttempt)
{
    handIn("110");
    std::string suggested;
    driver.setModalHook([&](const std::string& window) {
        ASSERT_EQ(window, history);
        driver.answerNextFileDialog(folder + "/h.pdf");
        GuiDriver::click(history, "PDF按钮"); // nothing chosen yet: no dialog
        EXPECT_EQ(lastBox(), gbk("请先在列表中选中一次考试。"));
        ASSERT_TRUE(GuiDriver::clickGridCell(history, HistoryWindow::grid, 1, 0));
        ASSERT_TRUE(GuiDriver::click(history, "PDF按钮"));
        ASSERT_EQ(driver.fileDialogs().size(), 1u);
        suggested = driver.fileDialogs()[0].suggested;
    });
    ASSERT_TRUE(click("历史按钮"));
    const std::string date = QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toStdString();
    EXPECT_EQ(suggested, folder + "/" + ReportPdf::fileName("110", date));
    EXPECT_EQ(lastBox(), gbk("答卷已保存为PDF：\r\n") + folder + "/h.pdf");
    const std::string text = pdfText(file("h.pdf").string());
    for (const char* piece : {"110", "考试答卷", "交卷时间：2", "编号"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece << "\n" << text;
}

} // namespace
