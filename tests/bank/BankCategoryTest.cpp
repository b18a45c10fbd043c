// The category of each question as the bank window shows, stores and searches it.

#include "bank/BankWindow.h"

#include "bank/BankTestSupport.h"
#include "bank/BankWindowLayout.h"
#include "bank/CorrectionWindow.h"
#include "bank/CorrectionWindowLayout.h"
#include "platform/CodePage.h"
#include "platform/gui/GuiDriver.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <map>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxResult;

namespace {

constexpr char bank[] = "bank";
constexpr char grid[] = "题库表";
constexpr char categoryBox[] = "分类编辑框";
constexpr char filterBox[] = "分类查询编辑框";

class BankCategoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.insert(GBK("中国的首都是( )"), GBK("北京|上海|广州|深圳|"), "A", "4");
        db.insert(GBK("一加一等于( )"), GBK("一|二|"), "B", "2");
        db.insert(GBK("天空是什么颜色( )"), GBK("红|蓝|绿|"), "B", "3");
        ASSERT_TRUE(Gui::openWindow(BankWindow::layout(), BankWindow::handlers(db.connection, db.recordset)));
    }
    void TearDown() override
    {
        Gui::closeAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static std::vector<std::string> column(int index)
    {
        std::vector<std::string> texts;
        for (int r = 0; r < Gui::gridRowCount(bank, grid); ++r)
            texts.push_back(Gui::gridText(bank, grid, r, index));
        return texts;
    }

    // The stored categories by key, read past the classes under test;
    // nullopt when the bank has no table for them.
    std::optional<std::map<std::string, std::string>> stored() const
    {
        sqlite3* file = nullptr;
        sqlite3_open_v2(db.path().c_str(), &file, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* select = nullptr;
        std::optional<std::map<std::string, std::string>> found;
        if (sqlite3_prepare_v2(file, "SELECT id, Category FROM KS_TMFL", -1, &select, nullptr) == SQLITE_OK) {
            found.emplace();
            while (sqlite3_step(select) == SQLITE_ROW) {
                (*found)[reinterpret_cast<const char*>(sqlite3_column_text(select, 0))] =
                    platform::utf8ToGbk(reinterpret_cast<const char*>(sqlite3_column_text(select, 1)));
            }
        }
        sqlite3_finalize(select);
        sqlite3_close(file);
        return found;
    }

    void addQuestion(const std::string& title, const std::string& category)
    {
        Gui::setText(bank, "标题编辑框", title);
        Gui::setText(bank, "内容编辑框", "a\r\nb");
        GuiDriver::selectComboItem(bank, "组合框1", 0);
        GuiDriver::click(bank, "A");
        Gui::setText(bank, categoryBox, category);
        GuiDriver::click(bank, "添加");
    }

    TestBank db;
    GuiDriver driver;
};

} // namespace

TEST_F(BankCategoryTest, ABankWithoutCategoriesListsAndStoresAsBeforeUntilTheFirstOne)
{
    EXPECT_EQ(Gui::gridColumnCount(bank, grid), 5);
    addQuestion(GBK("第四题"), GBK("  未分类 "));
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_EQ(Gui::gridColumnCount(bank, grid), 5);
    EXPECT_EQ(stored(), std::nullopt);

    addQuestion(GBK("第五题"), GBK(" 安全生产\r\n"));
    EXPECT_TRUE(driver.messageBoxes().empty());
    using Map = std::map<std::string, std::string>;
    EXPECT_EQ(stored(), (Map{{"5", GBK("安全生产")}}));
    ASSERT_EQ(Gui::gridColumnCount(bank, grid), 6);
    const std::string none = GBK("未分类");
    EXPECT_EQ(column(5), (std::vector<std::string>{"Category", none, none, none, none, GBK("安全生产")}));
    EXPECT_EQ(Gui::text(bank, categoryBox), "");
}

TEST_F(BankCategoryTest, TheEditorLoadsAndChangesTheCategoryAndDeleteTakesItAway)
{
    using Map = std::map<std::string, std::string>;
    addQuestion(GBK("第四题"), GBK("质量管理"));
    GuiDriver::clickGridCell(bank, grid, 4, 1);
    EXPECT_EQ(Gui::text(bank, categoryBox), GBK("质量管理"));
    GuiDriver::clickGridCell(bank, grid, 2, 1);
    EXPECT_EQ(Gui::text(bank, categoryBox), GBK("未分类"));

    Gui::setText(bank, categoryBox, GBK("计算机'基础"));
    GuiDriver::click(bank, "修改");
    EXPECT_TRUE(driver.messageBoxes().empty());
    EXPECT_EQ(stored(), (Map{{"2", GBK("计算机'基础")}, {"4", GBK("质量管理")}}));

    // A question modified as loaded keeps being without a category.
    GuiDriver::clickGridCell(bank, grid, 1, 1);
    GuiDriver::click(bank, "修改");
    EXPECT_EQ(stored(), (Map{{"2", GBK("计算机'基础")}, {"4", GBK("质量管理")}}));

    GuiDriver::clickGridCell(bank, grid, 4, 1);
    driver.answerNext(MessageBoxResult::Yes);
    GuiDriver::click(bank, "删除");
    driver.clearMessageBoxes();
    EXPECT_EQ(stored(), (Map{{"2", GBK("计算机'基础")}}));
}

TEST_F(BankCategoryTest, TheSearchKeepsToTheCategoryGiven)
{
    auto search = [](const std::string& title, const std::string& category) {
        Gui::setText(bank, "查询编辑框", title);
        Gui::setText(bank, filterBox, category);
        GuiDriver::click(bank, "查询");
        std::vector<std::string> ids = column(0);
        return std::vector<std::string>(ids.begin() + (ids.empty() ? 0 : 1), ids.end());
    };
    using Ids = std::vector<std::string>;
    // Before any category exists only 未分类 finds anything.
    EXPECT_EQ(search("", GBK("未分类")), (Ids{"1", "2", "3"}));
    EXPECT_EQ(search("", GBK("安全生产")), Ids{});
    EXPECT_EQ(Gui::gridColumnCount(bank, grid), 5);

    addQuestion(GBK("第四题"), GBK("安全生产"));
    addQuestion(GBK("第五题"), GBK("安全生产"));
    EXPECT_EQ(search("", GBK("安全生产")), (Ids{"4", "5"}));
    EXPECT_EQ(search(GBK("五"), GBK(" 安全生产 ")), (Ids{"5"}));
    EXPECT_EQ(search("(", GBK("未分类")), (Ids{"1", "2", "3"}));
    EXPECT_EQ(search("", ""), (Ids{"1", "2", "3", "4", "5"}));
}

TEST_F(BankCategoryTest, ACategoryThatCannotBeStoredIsReportedAndTheEditorKept)
{
    db.run("CREATE TABLE KS_TMFL (id INTEGER NOT NULL PRIMARY KEY, Category TEXT CHECK (length(Category) < 3))");
    addQuestion(GBK("第四题"), GBK("安全生产"));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text.rfind(GBK("题目已保存，但分类没有保存："), 0), 0u);
    EXPECT_EQ(driver.messageBoxes()[0].caption, GBK("信息"));
    EXPECT_EQ(db.rows().size(), 4u);
    EXPECT_EQ(Gui::text(bank, categoryBox), GBK("安全生产"));
    EXPECT_EQ(column(0).back(), "4");
}

TEST(CategoryControlsTest, TheAddedControlsLieInFreeRoomOfTheirPanel)
{
    using platform::ControlDescription;
    using platform::WindowDescription;
    const BankWindow::Actions everything{
        .exchange = {.importBank = [](const std::string&) {}, .exportBank = [](const std::string&) {}},
        .statistics = [](const std::string&, const auto&) {},
        .papers = [](const std::string&) {}};
    const std::pair<WindowDescription, std::size_t> windows[] = {
        {BankWindow::layout(everything), bankWindowLayout().controls.size()},
        {CorrectionWindow::layout(), correctionWindowLayout().controls.size()}};
    for (const auto& [window, designed] : windows) {
        auto find = [&window](const std::string& name) -> const ControlDescription* {
            for (const ControlDescription& c : window.controls) {
                if (c.name == name)
                    return &c;
            }
            return nullptr;
        };
        for (std::size_t i = designed; i < window.controls.size(); ++i) {
            const ControlDescription& added = window.controls[i];
            SCOPED_TRACE(window.id + "/" + added.name);
            const ControlDescription* panel = added.container.empty() ? nullptr : find(added.container);
            // The outer size of a window counts a Windows frame.
            const int width = panel ? panel->width : window.width - 6;
            const int height = panel ? panel->height : window.height - 29;
            EXPECT_GE(added.left, 0);
            EXPECT_GE(added.top, 0);
            EXPECT_LE(added.left + added.width, width);
            EXPECT_LE(added.top + added.height, height);
            for (const ControlDescription& other : window.controls) {
                if (&other == &added || other.container != added.container)
                    continue;
                const bool apart = added.left + added.width <= other.left || other.left + other.width <= added.left ||
                                   added.top + added.height <= other.top || other.top + other.height <= added.top;
                EXPECT_TRUE(apart) << other.name;
            }
        }
    }
}
