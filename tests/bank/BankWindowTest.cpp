#include "bank/BankWindow.h"

#include "app/ExamWindow.h"
#include "app/RoomServices.h"
#include "exam/AppState.h"

#include "bank/BankTestSupport.h"
#include "bank/BankWindowLayout.h"
#include "platform/CodePage.h"
#include "platform/gui/GridModel.h"
#include "platform/gui/GuiDriver.h"

#include <QApplication>
#include <QBrush>
#include <QTableView>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <malloc.h>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxButtons;
using platform::MessageBoxIcon;
using platform::MessageBoxRequest;
using platform::MessageBoxResult;

namespace {

constexpr char bank[] = "bank";
constexpr char grid[] = "题库表";
constexpr char searchBox[] = "查询编辑框";
constexpr char searchButton[] = "查询";
constexpr char titleBox[] = "标题编辑框";
constexpr char contentBox[] = "内容编辑框";
constexpr char countCombo[] = "组合框1";
constexpr const char* previewLabels[] = {"A标签", "B标签", "C标签", "D标签"};
constexpr const char* answerButtons[] = {"A", "B", "C", "D"};

constexpr int twoOptions = 0;
constexpr int threeOptions = 1;
constexpr int fourOptions = 2;

const std::string& crafted()
{
    static const std::string text = "x', Answer='' WHERE 1=1; --";
    return text;
}

QTableView* gridView()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QString::fromUtf8(bank) && top->isVisible())
            return top->findChild<QTableView*>(QString::fromUtf8(grid));
    }
    return nullptr;
}

class BankWindowTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        Gui::closeAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void open() { ASSERT_TRUE(Gui::openWindow(bankWindowLayout(), BankWindow::handlers(db.connection, db.recordset))); }

    // Three questions with ids 1 to 3.
    void storeSample()
    {
        db.insert(GBK("中国的首都是( )"), GBK("北京|上海|广州|深圳|"), "A", "4");
        db.insert(GBK("一加一等于( )"), GBK("一|二|"), "B", "2");
        db.insert(GBK("天空是什么颜色( )"), GBK("红|蓝|绿|"), "B", "3");
    }

    static std::string cell(int row, int column) { return Gui::gridText(bank, grid, row, column); }
    static std::vector<std::string> gridRow(int row)
    {
        std::vector<std::string> texts;
        for (int c = 0; c < Gui::gridColumnCount(bank, grid); ++c)
            texts.push_back(cell(row, c));
        return texts;
    }
    static std::vector<std::string> listedIds()
    {
        std::vector<std::string> ids;
        for (int r = 1; r < Gui::gridRowCount(bank, grid); ++r)
            ids.push_back(cell(r, 0));
        return ids;
    }
    static std::vector<std::string> previews()
    {
        std::vector<std::string> texts;
        for (const char* label : previewLabels)
            texts.push_back(Gui::text(bank, label));
        return texts;
    }
    static std::string checkedAnswer()
    {
        std::string letters;
        for (const char* button : answerButtons) {
            if (Gui::checked(bank, button))
                letters += button;
        }
        return letters;
    }
    static void setContent(const std::string& text) { Gui::setText(bank, contentBox, text); }

    // Fills the editor for a new question.
    static void edit(const std::string& title, const std::string& content, int countItem, const char* answer)
    {
        Gui::setText(bank, titleBox, title);
        setContent(content);
        if (countItem >= 0)
            GuiDriver::selectComboItem(bank, countCombo, countItem);
        if (answer != nullptr)
            GuiDriver::click(bank, answer);
    }

    void expectOnlyBox(const std::string& text, const std::string& caption, MessageBoxIcon icon,
                       MessageBoxButtons buttons = MessageBoxButtons::Ok)
    {
        ASSERT_EQ(driver.messageBoxes().size(), 1u) << platform::gbkToUtf8(driver.messageBoxes().at(0).text);
        const MessageBoxRequest& box = driver.messageBoxes().front();
        EXPECT_EQ(platform::gbkToUtf8(box.text), platform::gbkToUtf8(text));
        EXPECT_EQ(platform::gbkToUtf8(box.caption), platform::gbkToUtf8(caption));
        EXPECT_EQ(box.icon, icon);
        EXPECT_EQ(box.buttons, buttons);
        driver.clearMessageBoxes();
    }
    void expectNotice(const std::string& text) { expectOnlyBox(text, GBK("信息："), MessageBoxIcon::None); }
    void expectFailure(const std::string& text) { expectOnlyBox(text, GBK("信息"), MessageBoxIcon::Error); }

    TestBank db;
    GuiDriver driver;
};

TEST_F(BankWindowTest, OpeningListsEveryRowUnderAHeaderWithTheGridsWidthsAndColours)
{
    storeSample();
    open();
    ASSERT_EQ(Gui::gridRowCount(bank, grid), 4);
    ASSERT_EQ(Gui::gridColumnCount(bank, grid), 5);
    EXPECT_EQ(gridRow(0), (std::vector<std::string>{"id", "Title", "Tmnr", "Answer", "did"}));
    EXPECT_EQ(gridRow(1),
              (std::vector<std::string>{"1", GBK("中国的首都是( )"), GBK("北京|上海|广州|深圳|"), "A", "4"}));
    EXPECT_EQ(gridRow(3), (std::vector<std::string>{"3", GBK("天空是什么颜色( )"), GBK("红|蓝|绿|"), "B", "3"}));
    const int widths[] = {30, 250, 250, 30, 60};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(Gui::gridColumnWidth(bank, grid, c), widths[c]) << c;

    QTableView* view = gridView();
    ASSERT_NE(view, nullptr);
    // Items are the non-fixed cells: item row 0 is grid row 1.
    auto background = [view](int gridRowIndex) {
        return view->model()->data(view->model()->index(gridRowIndex - 1, 1), Qt::BackgroundRole).value<QBrush>();
    };
    EXPECT_EQ(background(1).style(), Qt::NoBrush);
    EXPECT_EQ(background(2).color(), QColor(0xEC, 0xEC, 0xEC));
    EXPECT_EQ(background(3).style(), Qt::NoBrush);
    // The user cannot edit what the statements take their keys from.
    EXPECT_FALSE(view->model()->flags(view->model()->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);

    EXPECT_EQ(Gui::gridCurrentRow(bank, grid), -1);
    EXPECT_EQ(Gui::comboIndex(bank, countCombo), -1);
    EXPECT_EQ(checkedAnswer(), "");
    EXPECT_TRUE(driver.messageBoxes().empty());
}

TEST_F(BankWindowTest, AnEmptyTableOrAFailingQueryLeavesNoRowsAtAll)
{
    open();
    EXPECT_EQ(Gui::gridRowCount(bank, grid), 0);
    EXPECT_TRUE(driver.messageBoxes().empty());

    storeSample();
    BankWindow window(db.connection, db.recordset);
    window.listAll();
    EXPECT_EQ(Gui::gridRowCount(bank, grid), 4);
    window.fillGrid("SELECT * FROM no_such_table");
    EXPECT_EQ(Gui::gridRowCount(bank, grid), 0);
    EXPECT_TRUE(driver.messageBoxes().empty());
}

TEST_F(BankWindowTest, SearchListsMatchingTitlesWithWildcardsAndTypingCopiesIntoTheTitle)
{
    storeSample();
    open();
    GuiDriver::type(bank, searchBox, GBK("一加"));
    EXPECT_EQ(Gui::text(bank, titleBox), GBK("一加"));
    GuiDriver::click(bank, searchButton);
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"2"}));

    GuiDriver::erase(bank, searchBox);
    EXPECT_EQ(Gui::text(bank, titleBox), "");
    GuiDriver::type(bank, searchBox, GBK("是_ )"));
    GuiDriver::click(bank, searchButton);
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"1"}));

    GuiDriver::erase(bank, searchBox);
    GuiDriver::type(bank, searchBox, GBK("什么%( )"));
    GuiDriver::click(bank, searchButton);
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"3"}));

    GuiDriver::type(bank, searchBox, "zzz");
    EXPECT_EQ(Gui::text(bank, titleBox), GBK("什么%( )zzz"));
    GuiDriver::click(bank, searchButton);
    EXPECT_EQ(Gui::gridRowCount(bank, grid), 0);

    GuiDriver::erase(bank, searchBox);
    GuiDriver::click(bank, searchButton);
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(driver.messageBoxes().empty());
}

TEST_F(BankWindowTest, SearchTextsWithQuotesFindExactlyWhatTheySay)
{
    storeSample();
    db.insert("It's 'quoted'", "a|b|", "A", "2");
    db.insert("Who said ' OR 1=1 OR Title LIKE ' here", "a|b|", "A", "2");
    open();

    GuiDriver::type(bank, searchBox, "'s 'quo");
    GuiDriver::click(bank, searchButton);
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"4"}));

    GuiDriver::erase(bank, searchBox);
    GuiDriver::type(bank, searchBox, "' OR 1=1 OR Title LIKE '");
    GuiDriver::click(bank, searchButton);
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"5"}));

    db.run("DELETE FROM KS_SJTK WHERE id = 5");
    GuiDriver::click(bank, searchButton);
    EXPECT_EQ(Gui::gridRowCount(bank, grid), 0);
}

TEST_F(BankWindowTest, PreviewsFollowTheContentLinesWithoutSpaces)
{
    open();
    const std::string fullWidthBlank = "\xA1\xA1";
    setContent(GBK("甲 乙") + fullWidthBlank + GBK("丙"));
    EXPECT_EQ(previews(), (std::vector<std::string>{"", "", "", ""}));

    setContent(GBK(" 甲\r\n乙") + fullWidthBlank);
    EXPECT_EQ(previews(), (std::vector<std::string>{GBK("甲"), GBK("乙"), "", ""}));

    setContent(GBK("一\r\n二\r\n三 三"));
    EXPECT_EQ(previews(), (std::vector<std::string>{GBK("一"), GBK("二"), GBK("三三"), ""}));

    setContent("a\r\n\r\nc\r\nd d\r\n");
    EXPECT_EQ(previews(), (std::vector<std::string>{"a", "", "c", "dd"}));

    setContent("1\r\n2\r\n3\r\n4\r\n5");
    EXPECT_EQ(previews(), (std::vector<std::string>{"1", "2", "3", "4"}));

    // Fewer lines leave the labels beyond them as they were.
    setContent("x\r\ny");
    EXPECT_EQ(previews(), (std::vector<std::string>{"x", "y", "3", "4"}));
    setContent("only one");
    setContent("");
    EXPECT_EQ(previews(), (std::vector<std::string>{"x", "y", "3", "4"}));

    // Typing previews on every change, as the program's own setting does.
    GuiDriver::erase(bank, contentBox);
    GuiDriver::type(bank, contentBox, "p\r\nq\r\nr");
    EXPECT_EQ(previews(), (std::vector<std::string>{"p", "q", "r", "4"}));
}

TEST_F(BankWindowTest, ChoosingARowLoadsItIntoTheEditor)
{
    storeSample();
    db.insert(GBK("旧数据"), "p\r\n1|q|", "c", "9");
    open();

    GuiDriver::clickGridCell(bank, grid, 1, 2);
    EXPECT_EQ(Gui::text(bank, titleBox), GBK("中国的首都是( )"));
    EXPECT_EQ(Gui::text(bank, contentBox), GBK("北京\r\n上海\r\n广州\r\n深圳\r\n"));
    EXPECT_EQ(previews(), (std::vector<std::string>{GBK("北京"), GBK("上海"), GBK("广州"), GBK("深圳")}));
    EXPECT_EQ(Gui::comboIndex(bank, countCombo), fourOptions);
    EXPECT_EQ(checkedAnswer(), "A");

    GuiDriver::clickGridCell(bank, grid, 2, 1);
    EXPECT_EQ(Gui::text(bank, contentBox), GBK("一\r\n二\r\n"));
    // Two lines overwrite A and B only; the editor was cleared first.
    EXPECT_EQ(previews(), (std::vector<std::string>{GBK("一"), GBK("二"), "", ""}));
    EXPECT_EQ(Gui::comboIndex(bank, countCombo), twoOptions);
    EXPECT_EQ(checkedAnswer(), "B");

    // A count other than 2 to 4 keeps the combo; a lower-case answer checks nothing;
    // line breaks stored inside an option are dropped.
    GuiDriver::clickGridCell(bank, grid, 4, 3);
    EXPECT_EQ(Gui::text(bank, contentBox), "p1\r\nq\r\n");
    EXPECT_EQ(Gui::comboIndex(bank, countCombo), twoOptions);
    EXPECT_EQ(checkedAnswer(), "");
    EXPECT_TRUE(driver.messageBoxes().empty());

    BankWindow window(db.connection, db.recordset);
    window.listAll();
    window.loadRow();
    expectFailure(GBK("请选择要删除的行再试！"));
    EXPECT_EQ(Gui::text(bank, titleBox), "");
    EXPECT_EQ(previews(), (std::vector<std::string>{"", "", "", ""}));
}

TEST_F(BankWindowTest, AddChecksItsInputInOrder)
{
    storeSample();
    open();
    const auto before = db.rows();
    BankWindow window(db.connection, db.recordset);

    window.add();
    expectNotice(GBK("请输入标题"));

    Gui::setText(bank, titleBox, GBK("中国的首都是( )"));
    window.add();
    expectNotice(GBK("请输入内容"));

    setContent("a");
    window.add();
    expectNotice(GBK("请输选择题目选项"));

    // A stored title is refused before the options are looked at.
    GuiDriver::selectComboItem(bank, countCombo, fourOptions);
    window.add();
    expectNotice(GBK("题目已经存在"));

    // One content line previews nothing.
    Gui::setText(bank, titleBox, GBK("新题"));
    window.add();
    expectNotice(GBK("格式错误"));

    // Two options chosen, only A previewed.
    setContent("a\r\n\r\n");
    GuiDriver::selectComboItem(bank, countCombo, twoOptions);
    window.add();
    expectNotice(GBK("格式错误"));

    setContent("a\r\nb");
    GuiDriver::selectComboItem(bank, countCombo, threeOptions);
    window.add();
    expectNotice(GBK("格式错误"));

    EXPECT_EQ(db.rows(), before);
    EXPECT_EQ(Gui::text(bank, titleBox), GBK("新题"));
    EXPECT_EQ(Gui::text(bank, contentBox), "a\r\nb");
}

TEST_F(BankWindowTest, AddStoresTheTrimmedTitleAndThePreviewsThenClearsTheEditor)
{
    storeSample();
    open();
    const std::string fullWidthBlank = "\xA1\xA1";
    // Four options chosen with C empty: only D is looked at.
    edit("  " + GBK("新的\r\n题目 ") + fullWidthBlank, GBK("甲 一\r\n乙\r\n\r\n丁") + fullWidthBlank, fourOptions, "D");
    GuiDriver::click(bank, "添加");
    EXPECT_TRUE(driver.messageBoxes().empty());

    ASSERT_EQ(db.rows().size(), 4u);
    EXPECT_EQ(db.rows().back(), (StoredQuestion{"4", GBK("新的题目"), GBK("甲一|乙||丁|"), "D", "4"}));
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(Gui::text(bank, titleBox), "");
    EXPECT_EQ(Gui::text(bank, contentBox), "");
    EXPECT_EQ(previews(), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(checkedAnswer(), "");
    EXPECT_EQ(Gui::comboIndex(bank, countCombo), fourOptions);

    // Three options chosen with B empty: only C is looked at; no answer stores none.
    edit(GBK("第二题"), "a\r\n\r\nc", threeOptions, nullptr);
    GuiDriver::click(bank, "添加");
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_EQ(db.rows().back(), (StoredQuestion{"5", GBK("第二题"), "a||c||", "", "3"}));
}

TEST_F(BankWindowTest, TheDuplicateCheckUsesTheTitleAsTypedSoTrailingBlanksPassIt)
{
    storeSample();
    open();
    edit(GBK("一加一等于( )  "), "1\r\n2", twoOptions, "B");
    GuiDriver::click(bank, "添加");
    EXPECT_TRUE(driver.messageBoxes().empty());
    ASSERT_EQ(db.rows().size(), 4u);
    EXPECT_EQ(db.rows()[3].title, db.rows()[1].title);
}

TEST_F(BankWindowTest, AddedTextsWithQuotesAreStoredAsTyped)
{
    storeSample();
    db.insert("It's", "a|b|", "A", "2");
    open();
    // The duplicate check sees the stored title with its quote.
    edit("It's", "a\r\nb", twoOptions, "A");
    GuiDriver::click(bank, "添加");
    expectNotice(GBK("题目已经存在"));

    edit(crafted(), "it's\r\n'\r\n''", threeOptions, "C");
    GuiDriver::click(bank, "添加");
    EXPECT_TRUE(driver.messageBoxes().empty());
    const auto rows = db.rows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[4], (StoredQuestion{"5", crafted(), "it's|'|''||", "C", "3"}));
    EXPECT_EQ(rows[0].answer, "A");
    EXPECT_EQ(rows[3].title, "It's");
}

TEST_F(BankWindowTest, AFailedAddKeepsTheEditorAndTheGrid)
{
    storeSample();
    db.run("CREATE TRIGGER refuse BEFORE INSERT ON KS_SJTK BEGIN SELECT RAISE(ABORT, 'refused'); END");
    open();
    edit(GBK("新题"), "a\r\nb", twoOptions, "B");
    GuiDriver::click(bank, "添加");
    expectFailure(GBK("抱歉，添加失败失败\r\n导致错误原因可能是字符错误"));
    EXPECT_EQ(db.rows().size(), 3u);
    EXPECT_EQ(Gui::text(bank, titleBox), GBK("新题"));
    EXPECT_EQ(previews(), (std::vector<std::string>{"a", "b", "", ""}));
    EXPECT_EQ(checkedAnswer(), "B");
    EXPECT_EQ(Gui::gridRowCount(bank, grid), 4);
}

TEST_F(BankWindowTest, ModifyStoresTheEditorAsTypedIntoTheChosenRow)
{
    storeSample();
    open();
    GuiDriver::clickGridCell(bank, grid, 2, 1);
    Gui::setText(bank, titleBox, GBK("  一加\r\n一 "));
    setContent(GBK("一 个\r\n两个\r\n三个"));
    GuiDriver::selectComboItem(bank, countCombo, threeOptions);
    GuiDriver::click(bank, "C");
    GuiDriver::click(bank, "修改");
    EXPECT_TRUE(driver.messageBoxes().empty());

    const auto rows = db.rows();
    EXPECT_EQ(rows[1], (StoredQuestion{"2", GBK("  一加\r\n一 "), GBK("一个|两个|三个||"), "C", "3"}));
    EXPECT_EQ(rows[0], (StoredQuestion{"1", GBK("中国的首都是( )"), GBK("北京|上海|广州|深圳|"), "A", "4"}));
    EXPECT_EQ(cell(2, 1), GBK("  一加\r\n一 "));
    EXPECT_EQ(Gui::gridCurrentRow(bank, grid), -1);
    EXPECT_EQ(Gui::text(bank, titleBox), "");
    EXPECT_EQ(previews(), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(checkedAnswer(), "");
}

TEST_F(BankWindowTest, ModifyWithoutAnOptionCountStoresMinusOne)
{
    db.insert(GBK("题"), "a|b|", "A", "x");
    open();
    GuiDriver::clickGridCell(bank, grid, 1, 1);
    ASSERT_EQ(Gui::comboIndex(bank, countCombo), -1);
    GuiDriver::click(bank, "修改");
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_EQ(db.rows().front(), (StoredQuestion{"1", GBK("题"), "a|b|||", "A", "-1"}));
}

TEST_F(BankWindowTest, ModifiedTextsWithQuotesChangeOnlyTheirOwnRow)
{
    storeSample();
    open();
    const auto before = db.rows();
    GuiDriver::clickGridCell(bank, grid, 3, 1);
    Gui::setText(bank, titleBox, crafted());
    setContent("it's\r\n''");
    GuiDriver::click(bank, "修改");
    EXPECT_TRUE(driver.messageBoxes().empty());

    const auto rows = db.rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], before[0]);
    EXPECT_EQ(rows[1], before[1]);
    // Two lines leave option C as loaded.
    EXPECT_EQ(rows[2], (StoredQuestion{"3", crafted(), "it's|''|" + GBK("绿") + "||", "B", "3"}));
}

TEST_F(BankWindowTest, ModifyNeedsARowAKeyAndAStatementThatRuns)
{
    storeSample();
    open();
    const auto before = db.rows();
    GuiDriver::click(bank, "修改");
    expectFailure(GBK("请选择要删除的行再试！"));

    GuiDriver::clickGridCell(bank, grid, 1, 1);
    Gui::setText(bank, titleBox, GBK("改"));
    // A key that is not a number never reaches a statement.
    Gui::setGridText(bank, grid, 1, 0, "1) OR (1=1");
    GuiDriver::click(bank, "修改");
    expectFailure(GBK("抱歉，修改失败失败\r\n导致错误原因可能是字符错误"));
    EXPECT_EQ(db.rows(), before);

    Gui::setGridText(bank, grid, 1, 0, "1");
    db.run("CREATE TRIGGER refuse BEFORE UPDATE ON KS_SJTK BEGIN SELECT RAISE(ABORT, 'refused'); END");
    GuiDriver::click(bank, "修改");
    expectFailure(GBK("抱歉，修改失败失败\r\n导致错误原因可能是字符错误"));
    EXPECT_EQ(db.rows(), before);
    EXPECT_EQ(Gui::text(bank, titleBox), GBK("改"));
    EXPECT_EQ(Gui::gridCurrentRow(bank, grid), 1);
}

TEST_F(BankWindowTest, DeleteAsksFirstAndRemovesOnlyOnYes)
{
    storeSample();
    open();
    GuiDriver::click(bank, "删除");
    expectFailure(GBK("请选择要删除的行再试！"));

    GuiDriver::clickGridCell(bank, grid, 2, 1);
    driver.answerNext(MessageBoxResult::No);
    GuiDriver::click(bank, "删除");
    expectOnlyBox(GBK("是否要删除数据？删除后不可恢复！"), GBK("信息："), MessageBoxIcon::Information,
                  MessageBoxButtons::YesNo);
    EXPECT_EQ(db.rows().size(), 3u);
    EXPECT_EQ(Gui::text(bank, titleBox), GBK("一加一等于( )"));

    driver.answerNext(MessageBoxResult::Yes);
    GuiDriver::click(bank, "删除");
    driver.clearMessageBoxes();
    const auto rows = db.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, "1");
    EXPECT_EQ(rows[1].id, "3");
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(Gui::text(bank, titleBox), "");
    EXPECT_EQ(Gui::text(bank, contentBox), "");
    EXPECT_EQ(checkedAnswer(), "");
    // Delete leaves the previews to the emptied content, which keeps them.
    EXPECT_EQ(previews(), (std::vector<std::string>{GBK("一"), GBK("二"), "", ""}));
}

TEST_F(BankWindowTest, AFailedDeleteOrABadKeyDeletesNothing)
{
    storeSample();
    open();
    GuiDriver::clickGridCell(bank, grid, 1, 1);
    Gui::setGridText(bank, grid, 1, 0, "1' OR '1'='1");
    driver.answerNext(MessageBoxResult::Yes);
    GuiDriver::click(bank, "删除");
    ASSERT_EQ(driver.messageBoxes().size(), 2u);
    EXPECT_EQ(driver.messageBoxes()[1].text, GBK("抱歉，删除失败"));
    EXPECT_EQ(driver.messageBoxes()[1].caption, GBK("信息"));
    EXPECT_EQ(driver.messageBoxes()[1].icon, MessageBoxIcon::Error);
    driver.clearMessageBoxes();
    EXPECT_EQ(db.rows().size(), 3u);

    Gui::setGridText(bank, grid, 1, 0, "1");
    db.run("CREATE TRIGGER refuse BEFORE DELETE ON KS_SJTK BEGIN SELECT RAISE(ABORT, 'refused'); END");
    driver.answerNext(MessageBoxResult::Yes);
    GuiDriver::click(bank, "删除");
    ASSERT_EQ(driver.messageBoxes().size(), 2u);
    EXPECT_EQ(driver.messageBoxes()[1].text, GBK("抱歉，删除失败"));
    EXPECT_EQ(db.rows().size(), 3u);
    EXPECT_EQ(Gui::text(bank, titleBox), GBK("中国的首都是( )"));
}

TEST_F(BankWindowTest, TheSearchButtonDoesNotStayPressed)
{
    storeSample();
    open();
    GuiDriver::click(bank, "B");
    for (const std::string& text : {GBK("一加"), GBK("天空")}) {
        GuiDriver::erase(bank, searchBox);
        GuiDriver::type(bank, searchBox, text);
        ASSERT_TRUE(GuiDriver::click(bank, searchButton));
        EXPECT_FALSE(Gui::checked(bank, searchButton));
        EXPECT_EQ(listedIds().size(), 1u);
    }
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"3"}));
    EXPECT_EQ(checkedAnswer(), "B");
}

TEST_F(BankWindowTest, AddRefusesATitleOfBlanksAndLineBreaks)
{
    storeSample();
    open();
    edit(" \r\n\xA1\xA1\r\n ", "a\r\nb", twoOptions, "A");
    GuiDriver::click(bank, "添加");
    expectNotice(GBK("请输入标题"));
    EXPECT_EQ(db.rows().size(), 3u);
}

TEST_F(BankWindowTest, ModifyOrDeleteOfARowDeletedMeanwhileFailsAndChangesNothing)
{
    storeSample();
    open();
    GuiDriver::clickGridCell(bank, grid, 2, 1);
    db.run("DELETE FROM KS_SJTK WHERE id = 2");
    const auto before = db.rows();
    Gui::setText(bank, titleBox, GBK("改"));
    GuiDriver::click(bank, "修改");
    expectFailure(GBK("抱歉，修改失败失败\r\n导致错误原因可能是字符错误"));
    EXPECT_EQ(db.rows(), before);
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(Gui::text(bank, titleBox), GBK("改"));

    driver.answerNext(MessageBoxResult::Yes);
    GuiDriver::click(bank, "删除");
    ASSERT_EQ(driver.messageBoxes().size(), 2u);
    EXPECT_EQ(driver.messageBoxes()[1].text, GBK("抱歉，删除失败"));
    EXPECT_EQ(driver.messageBoxes()[1].icon, MessageBoxIcon::Error);
    EXPECT_EQ(db.rows(), before);
    EXPECT_EQ(listedIds(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(Gui::text(bank, titleBox), GBK("改"));
}

TEST_F(BankWindowTest, TheExamWindowOpensItModallyAndKeepsTicking)
{
    storeSample();
    AppState state;
    state.runDirectory = std::filesystem::path(db.path()).parent_path().string();
    state.candidateId = ExamWindow::accessCode;
    RoomServices room;
    ExamWindow exam(state, room);
    ASSERT_TRUE(exam.open());
    const std::string clockBefore = Gui::text(ExamWindow::windowId, "时间");

    bool ran = false;
    driver.setModalHook([&](const std::string& window) {
        ran = true;
        EXPECT_EQ(window, bank);
        EXPECT_EQ(Gui::gridRowCount(bank, grid), 4);
        EXPECT_FALSE(Gui::takesInput(ExamWindow::windowId));
        EXPECT_TRUE(Gui::takesInput(bank));
        EXPECT_FALSE(GuiDriver::click(ExamWindow::windowId, "下一题"));
        EXPECT_TRUE(GuiDriver::fireTimer(ExamWindow::windowId, ExamWindow::clockTimerId));
        EXPECT_TRUE(GuiDriver::fireTimer(ExamWindow::windowId, ExamWindow::clockTimerId));
        EXPECT_NE(Gui::text(ExamWindow::windowId, "时间"), clockBefore);
        GuiDriver::clickCloseBox(bank);
    });
    ASSERT_TRUE(GuiDriver::click(ExamWindow::windowId, "题库管理按钮"));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(Gui::isOpen(bank));
    EXPECT_TRUE(Gui::takesInput(ExamWindow::windowId));
    EXPECT_EQ(state.currentQuestion, 1);
    EXPECT_TRUE(GuiDriver::click(ExamWindow::windowId, "下一题"));
    EXPECT_EQ(state.currentQuestion, 2);
}

TEST_F(BankWindowTest, ALargeListingHoldsLittleMoreThanItsTexts)
{
    const int rows = 100000;
    db.run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(rows) +
           ") INSERT INTO KS_SJTK SELECT i, '第' || i || '题：下列说法中正确的是( )', "
           "'选项甲' || i || '|选项乙|选项丙|选项丁|', 'A', '4' FROM n");
    open();
    BankWindow window(db.connection, db.recordset);
    window.fillGrid("SELECT * FROM KS_SJTK WHERE 0");

    malloc_trim(0);
    const std::size_t before = mallinfo2().uordblks;
    window.listAll();
    malloc_trim(0);
    const std::size_t after = mallinfo2().uordblks;

    ASSERT_EQ(Gui::gridRowCount(bank, grid), rows + 1);
    std::size_t textBytes = 0;
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c < 5; ++c)
            textBytes += cell(r, c).size();
    }
    const double ratio = static_cast<double>(after - before) / static_cast<double>(textBytes);
    RecordProperty("HeldPerTextByte", std::to_string(ratio));
    std::printf("listing of %d rows: %zu bytes held for %zu bytes of text (%.2f)\n", rows, after - before, textBytes,
                ratio);
    EXPECT_LT(ratio, 3.0) << (after - before) << " bytes held for " << textBytes << " bytes of text";

    auto* model = qobject_cast<platform::GridModel*>(gridView()->model());
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->textBytes(), textBytes);
}

} // namespace

TEST_F(BankWindowTest, ModifyKeepsAMultipleAnswerKeyUnlessAnOptionButtonIsChecked)
{
    db.insert(GBK("多"), "a|b|c|", "AC", "3");
    db.insert(GBK("再"), "a|b|c|", "BC", "3");
    open();
    GuiDriver::clickGridCell(bank, grid, 1, 1);
    EXPECT_EQ(checkedAnswer(), "");
    GuiDriver::click(bank, "修改");
    EXPECT_EQ(db.rows()[0].answer, "AC");

    GuiDriver::clickGridCell(bank, grid, 2, 1);
    GuiDriver::click(bank, "A");
    GuiDriver::click(bank, "修改");
    EXPECT_EQ(db.rows()[1].answer, "A");
    EXPECT_TRUE(driver.messageBoxes().empty());
}

TEST_F(BankWindowTest, ATypedMultipleAnswerKeyWinsOverTheButtonsAndIsCheckedAgainstTheOptionCount)
{
    db.insert(GBK("多"), "a|b|c|", "AC", "3");
    ASSERT_TRUE(Gui::openWindow(BankWindow::layout(), BankWindow::handlers(db.connection, db.recordset)));
    constexpr char keyBox[] = "多选答案编辑框";
    edit(GBK("双"), "a\r\nb", twoOptions, "A");
    Gui::setText(bank, keyBox, "ac");
    GuiDriver::click(bank, "添加");
    expectFailure(GBK("正确答案只能是 AB 中的字母（大写）。"));
    Gui::setText(bank, keyBox, " B A ");
    GuiDriver::click(bank, "添加");
    EXPECT_TRUE(driver.messageBoxes().empty());
    ASSERT_EQ(db.rows().size(), 2u);
    EXPECT_EQ(db.rows()[1].answer, "AB");
    EXPECT_EQ(Gui::text(bank, keyBox), "");

    GuiDriver::clickGridCell(bank, grid, 1, 1);
    EXPECT_EQ(Gui::text(bank, keyBox), "AC");
    EXPECT_EQ(checkedAnswer(), "");
    Gui::setText(bank, keyBox, "CAC");
    GuiDriver::click(bank, "修改");
    expectFailure(GBK("正确答案中的字母不能重复。"));
    EXPECT_EQ(db.rows()[0].answer, "AC");
    Gui::setText(bank, keyBox, "B");
    GuiDriver::click(bank, "修改");
    EXPECT_EQ(db.rows()[0].answer, "B");
    GuiDriver::clickGridCell(bank, grid, 1, 1);
    EXPECT_EQ(Gui::text(bank, keyBox), "");
    EXPECT_EQ(checkedAnswer(), "B");
}
