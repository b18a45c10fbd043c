// Saving a report as a PDF from the exam window after the hand-in and from the
// history's chosen attempt, with the save dialog answered by the test.

#include "attempts/ReportPdf.h"
#include "app/AppTestSupport.h"
#include "attempts/HistoryWindow.h"
#include "platform/FileSystem.h"
#include "support/PdfText.h"

#include <QDate>

using platform::GuiDriver;

namespace {

class ReportPdfTest : public AppTest {
protected:
    void handIn(const std::string& candidateId)
    {
        makeBank(plainQuestions(40));
        enterExam(candidateId);
        EXPECT_FALSE(visible("PDF按钮"));
        driver.answerNext(platform::MessageBoxResult::Yes);
        ASSERT_TRUE(click("交卷"));
        driver.clearMessageBoxes();
    }
    std::string lastBox() const { return driver.messageBoxes().back().text; }
    static std::string today() { return QDate::currentDate().toString(QStringLiteral("yyyyMMdd")).toStdString(); }
};

} // namespace

TEST_F(ReportPdfTest, ExamWindowSavesTheReportOnShowAndAsksBeforeReplacing)
{
    handIn("3201/02");
    ASSERT_TRUE(click("PDF按钮")); // cancelled: nothing written, nothing said
    ASSERT_EQ(driver.fileDialogs().size(), 1u);
    EXPECT_EQ(driver.fileDialogs()[0].suggested, folder + "/" + gbk("答卷-3201_02-") + today() + ".pdf");
    EXPECT_TRUE(driver.messageBoxes().empty());

    // The extension comes with a name typed without it.
    const std::string saved = folder + "/" + gbk("我的答卷.pdf");
    driver.answerNextFileDialog(folder + "/" + gbk("我的答卷"));
    ASSERT_TRUE(click("PDF按钮"));
    EXPECT_EQ(lastBox(), gbk("答卷已保存为PDF：\r\n") + saved);
    const std::string text = pdfText(*platform::FileSystem::toSystemPath(saved));
    for (const char* piece : {"考试答卷", "3201/02", "得分：0", "未答"})
        EXPECT_NE(text.find(piece), std::string::npos) << piece << "\n" << text;

    // The same name again: asked first, and a No keeps the file as it was.
    const auto before = std::filesystem::last_write_time(*platform::FileSystem::toSystemPath(saved));
    driver.clearMessageBoxes();
    driver.answerNextFileDialog(saved);
    ASSERT_TRUE(click("PDF按钮"));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].buttons, platform::MessageBoxButtons::YesNo);
    EXPECT_EQ(std::filesystem::last_write_time(*platform::FileSystem::toSystemPath(saved)), before);
}

TEST_F(ReportPdfTest, HistorySavesTheChosenAttempt)
{
    handIn("110");
    driver.setModalHook([&](const std::string& history) {
        driver.answerNextFileDialog(folder + "/h.pdf");
        GuiDriver::click(history, "PDF按钮"); // nothing chosen yet: no dialog
        EXPECT_EQ(lastBox(), gbk("请先在列表中选中一次考试。"));
        ASSERT_TRUE(GuiDriver::clickGridCell(history, HistoryWindow::grid, 1, 0));
        ASSERT_TRUE(GuiDriver::click(history, "PDF按钮"));
    });
    ASSERT_TRUE(click("历史按钮"));
    ASSERT_EQ(driver.fileDialogs().size(), 1u);
    EXPECT_EQ(driver.fileDialogs()[0].suggested, folder + "/" + ReportPdf::fileName("110", today()));
    const std::string text = pdfText(file("h.pdf").string());
    EXPECT_NE(text.find("身份证号：110"), std::string::npos) << text;
}

TEST(ReportPdfName, OnlyWholeCharactersThatNoFileNameHoldsAreReplaced)
{
    // 琝 ends in the byte of a backslash and 亅 in that of '|'.
    const std::string id = platform::utf8ToGbk("琝\\亅|:1");
    EXPECT_EQ(ReportPdf::fileName(id, "20260103"), platform::utf8ToGbk("答卷-琝_亅__1-20260103.pdf"));
    EXPECT_EQ(ReportPdf::dateOf("2026-01-03 09:00:00"), "20260103");
}
