// The administrator's paper editor, reached from the bank window's 试卷…
// button and read back through the papers' own table.

#include "bank/PaperEditor.h"

#include "bank/BankTestSupport.h"
#include "papers/PaperBook.h"
#include "platform/CodePage.h"
#include "platform/gui/GuiDriver.h"
#include "questions/QuestionBank.h"

#include <QApplication>

#include <gtest/gtest.h>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxButtons;
using platform::MessageBoxRequest;
using platform::MessageBoxResult;

namespace {

constexpr const char* editor = PaperEditor::windowId;

class PaperEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 安全生产: three single-answer and two multiple-answer questions; two
        // true/false questions without a category.
        for (int i = 0; i < 5; ++i) {
            const std::string key =
                db.insert(GBK("安全题") + std::to_string(i), GBK("甲|乙|丙|丁|"), i < 3 ? "A" : "AC", "4");
            ASSERT_TRUE(db.connection.execute(QuestionBank::createCategoryTableStatement(DbKind::Sqlite)));
            ASSERT_TRUE(db.connection.execute(QuestionBank::setCategoryStatement(key, GBK("安全生产"))));
        }
        for (int i = 0; i < 2; ++i)
            db.insert(GBK("判断题") + std::to_string(i), GBK("对|错|"), "A", "2");
        driver.setResponder([this](const MessageBoxRequest& box) {
            boxes.push_back(box);
            if (box.buttons != MessageBoxButtons::YesNo)
                return MessageBoxResult::Ok;
            return confirm ? MessageBoxResult::Yes : MessageBoxResult::No;
        });
        const BankWindow::Actions actions{
            .exchange = {}, .statistics = {}, .papers = PaperEditor::bankAction([] {
                                                  return &BackendRegistry::instance()->sqliteDatabase();
                                              })};
        ASSERT_TRUE(
            Gui::openWindow(BankWindow::layout(actions), BankWindow::handlers(db.connection, db.recordset, actions)));
    }
    void TearDown() override
    {
        Gui::closeAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Opens the editor from the bank window and operates it.
    void inEditor(const std::function<void()>& operate)
    {
        bool opened = false;
        driver.setModalHook([&](const std::string& window) {
            ASSERT_EQ(window, editor);
            opened = true;
            operate();
        });
        ASSERT_TRUE(GuiDriver::click("bank", "试卷"));
        EXPECT_TRUE(opened);
    }

    static void addRule(int categoryItem, int kindItem, const std::string& count)
    {
        GuiDriver::selectComboItem(editor, "规则分类", categoryItem);
        GuiDriver::selectComboItem(editor, "规则题型", kindItem);
        Gui::setText(editor, "规则题数", count);
        ASSERT_TRUE(GuiDriver::click(editor, "添加要求"));
    }

    static std::vector<std::string> gridRow(const char* grid, int row)
    {
        std::vector<std::string> cells;
        for (int c = 0; c < Gui::gridColumnCount(editor, grid); ++c)
            cells.push_back(Gui::gridText(editor, grid, row, c));
        return cells;
    }

    std::vector<PaperDefinition> stored()
    {
        std::vector<PaperDefinition> papers;
        EXPECT_TRUE(book.list(papers)) << book.lastErrorText();
        return papers;
    }

    TestBank db;
    PaperBook book{BackendRegistry::instance()->sqliteDatabase()};
    GuiDriver driver;
    std::vector<MessageBoxRequest> boxes;
    bool confirm = true;
};

TEST_F(PaperEditorTest, APaperIsDefinedChangedAndDeletedWithConfirmation)
{
    inEditor([&] {
        // The counts beside the rules: the whole bank first, then each category.
        EXPECT_EQ(gridRow("题量表", 1), (std::vector<std::string>{GBK("整个题库"), "3", "2", "2", "7"}));
        EXPECT_EQ(gridRow("题量表", 2), (std::vector<std::string>{GBK("安全生产"), "3", "2", "0", "5"}));
        Gui::setText(editor, "名称编辑框", GBK("期末考试"));
        Gui::setText(editor, "时间编辑框", "20");
        Gui::setText(editor, "多选分值", "2.5");
        Gui::setText(editor, "及格编辑框", "4");
        GuiDriver::selectComboItem(editor, "方式框", 1);
        GuiDriver::click(editor, "部分得分");
        GuiDriver::click(editor, "到时交卷");
        GuiDriver::click(editor, "选项乱序");
        addRule(1, 1, "3");
        addRule(0, 3, "2");
        ASSERT_TRUE(GuiDriver::click(editor, "保存"));
        EXPECT_EQ(gridRow("试卷表", 1),
                  (std::vector<std::string>{GBK("期末考试"), "5", GBK("20分钟"), GBK("考试"), "4"}));
    });
    EXPECT_TRUE(boxes.empty());
    PaperDefinition expected{.name = GBK("期末考试"),
                             .rules = {{GBK("安全生产"), QuestionKind::Single, 3}, {"", QuestionKind::Judgement, 2}},
                             .minutes = 20,
                             .pointsTenths = {10, 25, 10},
                             .partialCredit = true,
                             .passMarkTenths = 40,
                             .mode = PaperDefinition::Mode::Exam,
                             .handInWhenTimeUp = true,
                             .shuffleOptions = true};
    EXPECT_EQ(stored(), std::vector<PaperDefinition>{expected});

    // Chosen again in a fresh window, renamed with one rule less: it replaces the old one.
    inEditor([&] {
        ASSERT_TRUE(GuiDriver::clickGridCell(editor, "试卷表", 1, 0));
        EXPECT_EQ(Gui::text(editor, "多选分值"), "2.5");
        EXPECT_EQ(gridRow("规则表", 2), (std::vector<std::string>{GBK("整个题库"), GBK("判断"), "2", "2"}));
        Gui::setText(editor, "名称编辑框", GBK("期中考试"));
        Gui::setText(editor, "时间编辑框", "30");
        ASSERT_TRUE(GuiDriver::clickGridCell(editor, "规则表", 2, 0));
        ASSERT_TRUE(GuiDriver::click(editor, "删除要求"));
        Gui::setText(editor, "及格编辑框", "2.5");
        ASSERT_TRUE(GuiDriver::click(editor, "保存"));
    });
    expected.name = GBK("期中考试");
    expected.minutes = 30;
    expected.rules.pop_back();
    expected.passMarkTenths = 25;
    EXPECT_EQ(stored(), std::vector<PaperDefinition>{expected});

    inEditor([&] {
        ASSERT_TRUE(GuiDriver::clickGridCell(editor, "试卷表", 1, 0));
        confirm = false;
        ASSERT_TRUE(GuiDriver::click(editor, "删除"));
        EXPECT_EQ(stored().size(), 1u);
        confirm = true;
        ASSERT_TRUE(GuiDriver::click(editor, "删除"));
        EXPECT_EQ(Gui::gridRowCount(editor, "试卷表"), 1);
        EXPECT_EQ(Gui::text(editor, "名称编辑框"), "");
    });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, GBK("是否要删除试卷“期中考试”？删除后不可恢复！"));
    EXPECT_TRUE(stored().empty());
}

// What cannot be stored is said in a box and leaves the bank as it was: the
// papers' table is not even made.
TEST_F(PaperEditorTest, APaperTheBankCannotServeOrThatDoesNotValidateIsRefused)
{
    inEditor([&] {
        addRule(1, 2, "5");
        EXPECT_EQ(Gui::gridCellBackground(editor, "规则表", 1, 3), platform::Rgb{0xFFC0C0});
        EXPECT_EQ(Gui::text(editor, "状态标签"), GBK("题库中“安全生产”的多选题只有2道，这样的试卷不能保存。"));
        ASSERT_TRUE(GuiDriver::click(editor, "保存"));
        Gui::setText(editor, "名称编辑框", GBK("大考"));
        ASSERT_TRUE(GuiDriver::click(editor, "保存"));
        Gui::setText(editor, "及格编辑框", GBK("六十"));
        ASSERT_TRUE(GuiDriver::click(editor, "保存"));
        Gui::setText(editor, "规则题数", "0");
        ASSERT_TRUE(GuiDriver::click(editor, "添加要求"));
        EXPECT_EQ(Gui::gridRowCount(editor, "规则表"), 2);
    });
    std::vector<std::string> texts;
    for (const MessageBoxRequest& box : boxes)
        texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{GBK("请填写试卷名称。"),
                                               GBK("试卷“大考”要求“安全生产”的多选题5道，题库只有2道。"),
                                               GBK("及格分数请填写数字，最多一位小数，如 60 或 59.5。"),
                                               GBK("请在题数中填写1到100之间的整数。")}));
    EXPECT_FALSE(BackendRegistry::instance()->sqliteDatabase().tableExists(PaperBook::table));
}

// Leaving the fields (another paper, 新建, 关闭) after a change asks first;
// answered No, everything stays as typed.
TEST_F(PaperEditorTest, ChangesNotSavedAreLeftOnlyAfterAsking)
{
    inEditor([&] {
        Gui::setText(editor, "名称编辑框", GBK("小测"));
        addRule(0, 0, "3");
        ASSERT_TRUE(GuiDriver::click(editor, "保存"));
        Gui::setText(editor, "时间编辑框", "45");
        confirm = false;
        ASSERT_TRUE(GuiDriver::click(editor, "新建"));
        EXPECT_EQ(Gui::text(editor, "时间编辑框"), "45");
        confirm = true;
        ASSERT_TRUE(GuiDriver::click(editor, "新建"));
        EXPECT_EQ(Gui::text(editor, "时间编辑框"), "60");

        Gui::setText(editor, "名称编辑框", GBK("另一卷"));
        confirm = false;
        ASSERT_TRUE(GuiDriver::clickGridCell(editor, "试卷表", 1, 0));
        EXPECT_EQ(Gui::text(editor, "名称编辑框"), GBK("另一卷"));
        EXPECT_EQ(Gui::gridCurrentRow(editor, "试卷表"), -1);
        ASSERT_TRUE(GuiDriver::click(editor, "关闭"));
        EXPECT_TRUE(Gui::isOpen(editor));
        confirm = true;
        ASSERT_TRUE(GuiDriver::click(editor, "关闭"));
        EXPECT_FALSE(Gui::isOpen(editor));
    });
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[0].text, GBK("试卷“小测”的修改还没有保存，要放弃这些修改吗？"));
    EXPECT_EQ(boxes[2].text, GBK("新试卷的修改还没有保存，要放弃这些修改吗？"));
    EXPECT_EQ(stored().at(0).minutes, 60);
}

} // namespace
