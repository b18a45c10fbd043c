// A multiple-answer key typed in the bank window's editor.

#include "bank/BankWindow.h"

#include "bank/BankTestSupport.h"
#include "platform/CodePage.h"
#include "platform/gui/GuiDriver.h"

#include <QApplication>

#include <gtest/gtest.h>

using platform::Gui;
using platform::GuiDriver;

namespace {

constexpr char bank[] = "bank";
constexpr char grid[] = "题库表";
constexpr char keyBox[] = "多选答案编辑框";

std::string checkedAnswer()
{
    std::string letters;
    for (const char* button : {"A", "B", "C", "D"}) {
        if (Gui::checked(bank, button))
            letters += button;
    }
    return letters;
}

class MultipleKeyEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.insert(GBK("中国的首都是( )"), GBK("北京|上海|广州|深圳|"), "A", "4");
        db.insert(GBK("哪些是水果( )"), GBK("苹果|石头|香蕉|"), "AC", "3");
        ASSERT_TRUE(Gui::openWindow(BankWindow::layout(), BankWindow::handlers(db.connection, db.recordset)));
    }
    void TearDown() override
    {
        Gui::closeAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void expectOnlyError(const std::string& text)
    {
        ASSERT_EQ(driver.messageBoxes().size(), 1u);
        EXPECT_EQ(platform::gbkToUtf8(driver.messageBoxes()[0].text), platform::gbkToUtf8(text));
        driver.clearMessageBoxes();
    }

    TestBank db;
    GuiDriver driver;
};

} // namespace

TEST_F(MultipleKeyEditorTest, TheTypedKeyWinsOverTheButtonsAndLoadsBackIntoTheBox)
{
    Gui::setText(bank, "标题编辑框", GBK("哪些是偶数( )"));
    Gui::setText(bank, "内容编辑框", "1\r\n2\r\n4\r\n5");
    GuiDriver::selectComboItem(bank, "组合框1", 2);
    GuiDriver::click(bank, "A");
    Gui::setText(bank, keyBox, " C B ");
    GuiDriver::click(bank, "添加");
    EXPECT_TRUE(driver.messageBoxes().empty());
    ASSERT_EQ(db.rows().size(), 3u);
    EXPECT_EQ(db.rows()[2].answer, "BC");
    EXPECT_EQ(Gui::text(bank, keyBox), "");

    GuiDriver::clickGridCell(bank, grid, 2, 1);
    EXPECT_EQ(Gui::text(bank, keyBox), "AC");
    EXPECT_EQ(checkedAnswer(), "");
    // A single-letter row empties the box and checks its button as before.
    GuiDriver::clickGridCell(bank, grid, 1, 1);
    EXPECT_EQ(Gui::text(bank, keyBox), "");
    EXPECT_EQ(checkedAnswer(), "A");

    Gui::setText(bank, keyBox, "DB");
    GuiDriver::click(bank, "修改");
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_EQ(db.rows()[0].answer, "BD");
}

TEST_F(MultipleKeyEditorTest, AKeyThatIsNoKeyIsRefusedAndNothingStored)
{
    const std::vector<StoredQuestion> before = db.rows();
    GuiDriver::clickGridCell(bank, grid, 2, 1);
    Gui::setText(bank, keyBox, "AD");
    GuiDriver::click(bank, "修改");
    expectOnlyError(GBK("正确答案只能是 ABC 中的字母（大写）。"));
    Gui::setText(bank, keyBox, "CAC");
    GuiDriver::click(bank, "修改");
    expectOnlyError(GBK("正确答案中的字母不能重复。"));
    EXPECT_EQ(db.rows(), before);
    EXPECT_EQ(Gui::text(bank, keyBox), "CAC");

    Gui::setText(bank, "标题编辑框", GBK("新题"));
    Gui::setText(bank, "内容编辑框", "a\r\nb");
    GuiDriver::selectComboItem(bank, "组合框1", 0);
    Gui::setText(bank, keyBox, "ac");
    GuiDriver::click(bank, "添加");
    expectOnlyError(GBK("正确答案只能是 AB 中的字母（大写）。"));
    EXPECT_EQ(db.rows(), before);
}
