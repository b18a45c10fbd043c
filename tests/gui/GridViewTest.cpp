#include "GuiTestSupport.h"

#include "platform/CodePage.h"

#include "platform/gui/GridHeading.h"
#include "platform/gui/GridView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <gtest/gtest.h>
#include <malloc.h>

using namespace platform;

namespace {

// Bytes allocated from the heap, large blocks taken from the system included.
std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

class GridViewTest : public ::testing::Test {
protected:
    GuiFixtureGuard cleanup;
    GuiDriver driver;
    std::vector<int> moves;

    void SetUp() override
    {
        WindowDescription window;
        window.id = "bank";
        window.width = 1032;
        window.height = 621;
        ControlDescription grid = control("题库表", ControlKind::Grid, 8, 8, 592, 584);
        grid.events = {{GuiEventKind::CurrentCellChanged, "cellChanged"}};
        window.controls.push_back(grid);
        HandlerTable handlers = {
            {"cellChanged", [this](const GuiEvent&) { moves.push_back(Gui::gridCurrentRow("bank", "题库表")); }}};
        ASSERT_TRUE(Gui::openWindow(window, handlers));
    }

    void fill(int rows)
    {
        Gui::resetGrid("bank", "题库表");
        Gui::setGridRowCount("bank", "题库表", rows + 1);
        Gui::setGridColumnCount("bank", "题库表", 5);
        Gui::setGridAlternateRowColour("bank", "题库表", 0xECECEC);
        const int widths[] = {30, 250, 250, 30};
        for (int c = 0; c < 4; ++c)
            Gui::setGridColumnWidth("bank", "题库表", c, widths[c]);
        Gui::setGridRow("bank", "题库表", 0, {"id", "Title", "Tmnr", "Answer", "did"});
        for (int r = 1; r <= rows; ++r)
            Gui::setGridRow("bank", "题库表", r, {std::to_string(r), GBK("题") + std::to_string(r), "a|b|", "A", "2"});
    }
};

TEST_F(GridViewTest, ListingSetsCountsTextsWidthsAndColours)
{
    EXPECT_EQ(Gui::gridRowCount("bank", "题库表"), 0);
    fill(3);
    EXPECT_EQ(Gui::gridRowCount("bank", "题库表"), 4);
    EXPECT_EQ(Gui::gridColumnCount("bank", "题库表"), 5);
    EXPECT_EQ(Gui::gridText("bank", "题库表", 0, 1), "Title");
    EXPECT_EQ(Gui::gridText("bank", "题库表", 2, 1), GBK("题2"));
    EXPECT_EQ(Gui::gridColumnWidth("bank", "题库表", 0), 30);
    EXPECT_EQ(Gui::gridColumnWidth("bank", "题库表", 2), 250);
    EXPECT_EQ(Gui::gridColumnWidth("bank", "题库表", 4), 60) << "unset widths stay at the default";
    EXPECT_EQ(Gui::gridColumnWidth("bank", "题库表", 5), -1);

    Gui::setGridCellBackground("bank", "题库表", 1, 2, 0xFF0000);
    EXPECT_EQ(Gui::gridCellBackground("bank", "题库表", 1, 2), std::optional<Rgb>(0xFF0000));
    Gui::setGridText("bank", "题库表", 1, 1, GBK("改"));
    EXPECT_EQ(Gui::gridText("bank", "题库表", 1, 1), GBK("改"));

    // A second listing keeps the widths only because it sets them again.
    Gui::resetGrid("bank", "题库表");
    EXPECT_EQ(Gui::gridRowCount("bank", "题库表"), 0);
    EXPECT_EQ(Gui::gridCellBackground("bank", "题库表", 1, 2), std::nullopt);
    Gui::setGridColumnCount("bank", "题库表", 5);
    EXPECT_EQ(Gui::gridColumnWidth("bank", "题库表", 1), 60);
}

TEST_F(GridViewTest, HeadingResetLaysTheHeadingRowAndWidthsOverAFreshGrid)
{
    WindowDescription window;
    window.id = "list";
    window.width = 400;
    window.height = 300;
    ControlDescription list = control("列表", ControlKind::Grid, 8, 8, 380, 280);
    list.grid = {.rows = 1, .columns = 2, .fixedRows = 1, .fixedColumns = 0, .rowHeight = 24, .columnWidth = 80};
    window.controls.push_back(list);
    ASSERT_TRUE(Gui::openWindow(window, {}));
    const char* const headings[] = {"题号", "答案"};
    const int widths[] = {90, 50};
    ASSERT_TRUE(GridHeading::reset("list", "列表", 3, headings, widths));
    Gui::setGridRow("list", "列表", 1, {"1", "A"});
    Gui::setGridCellBackground("list", "列表", 1, 1, 0xFF0000);
    ASSERT_TRUE(GridHeading::reset("list", "列表", 2, headings, widths));
    EXPECT_EQ(Gui::gridRowCount("list", "列表"), 3);
    EXPECT_EQ(Gui::gridText("list", "列表", 0, 0), GBK("题号"));
    EXPECT_EQ(Gui::gridText("list", "列表", 0, 1), GBK("答案"));
    EXPECT_EQ(Gui::gridText("list", "列表", 1, 1), "");
    EXPECT_EQ(Gui::gridCellBackground("list", "列表", 1, 1), std::nullopt);
    EXPECT_EQ(Gui::gridColumnWidth("list", "列表", 0), 90);
    EXPECT_EQ(Gui::gridColumnWidth("list", "列表", 1), 50);
    EXPECT_FALSE(GridHeading::reset("list", "无此表", 2, headings, widths));
}

TEST_F(GridViewTest, CurrentRowIsNoneUntilChosenAndFixedCellsCannotBeChosen)
{
    EXPECT_EQ(Gui::gridCurrentRow("bank", "题库表"), -1);
    fill(5);
    EXPECT_EQ(Gui::gridCurrentRow("bank", "题库表"), -1);
    EXPECT_FALSE(Gui::setGridCurrentCell("bank", "题库表", 0, 1));
    EXPECT_FALSE(Gui::setGridCurrentCell("bank", "题库表", 2, 0));
    EXPECT_FALSE(Gui::setGridCurrentCell("bank", "题库表", 6, 1));
    EXPECT_TRUE(moves.empty());

    EXPECT_TRUE(Gui::setGridCurrentCell("bank", "题库表", 3, 1));
    EXPECT_EQ(Gui::gridCurrentRow("bank", "题库表"), 3);
    EXPECT_EQ(Gui::gridCurrentColumn("bank", "题库表"), 1);
    EXPECT_TRUE(driver.clickGridCell("bank", "题库表", 5, 2));
    EXPECT_TRUE(Gui::setGridCurrentCell("bank", "题库表", 5, 2));
    EXPECT_EQ(moves, (std::vector<int>{3, 5})) << "the program and the user both raise it, only on a move";
}

TEST_F(GridViewTest, RefillingOrShrinkingClearsTheCurrentCellWithoutAnEvent)
{
    fill(5);
    Gui::setGridCurrentCell("bank", "题库表", 4, 1);
    moves.clear();
    Gui::setGridRowCount("bank", "题库表", 6);
    EXPECT_EQ(Gui::gridCurrentRow("bank", "题库表"), 4) << "growing keeps it";
    Gui::setGridRowCount("bank", "题库表", 3);
    EXPECT_EQ(Gui::gridCurrentRow("bank", "题库表"), -1);
    Gui::setGridCurrentCell("bank", "题库表", 2, 1);
    moves.clear();
    fill(0);
    EXPECT_EQ(Gui::gridCurrentRow("bank", "题库表"), -1);
    EXPECT_TRUE(moves.empty());
    Gui::resetGrid("bank", "题库表");
    EXPECT_EQ(Gui::gridRowCount("bank", "题库表"), 0) << "an empty result leaves no rows at all";
    EXPECT_EQ(Gui::gridCurrentRow("bank", "题库表"), -1);
}

TEST_F(GridViewTest, HundredThousandRowListingInTheWindowStaysCompactAndQuick)
{
    const int rows = 100000;
    const std::string title = GBK("下列关于安全生产的说法正确的是");
    const std::string options = GBK("选项甲|选项乙|选项丙|选项丁|");
    std::size_t textBytes = 0;
    QCoreApplication::processEvents();
    const std::size_t before = heapInUse();
    QElapsedTimer clock;
    clock.start();
    Gui::resetGrid("bank", "题库表");
    Gui::reserveGrid("bank", "题库表", rows + 1);
    Gui::setGridRowCount("bank", "题库表", rows + 1);
    Gui::setGridColumnCount("bank", "题库表", 5);
    Gui::setGridAlternateRowColour("bank", "题库表", 0xECECEC);
    Gui::setGridRow("bank", "题库表", 0, {"id", "Title", "Tmnr", "Answer", "did"});
    for (int r = 1; r <= rows; ++r) {
        std::vector<std::string> cells = {std::to_string(r), title + std::to_string(r), options, "A", "4"};
        for (const std::string& cell : cells)
            textBytes += cell.size();
        Gui::setGridRow("bank", "题库表", r, cells);
    }
    QCoreApplication::processEvents();
    const qint64 elapsed = clock.elapsed();
    const std::size_t held = heapInUse() - before;
    EXPECT_LT(held, 3 * textBytes) << "held " << held << " bytes for " << textBytes << " bytes of text";
    EXPECT_LT(elapsed, 5000) << "filling took " << elapsed << " ms";
    EXPECT_TRUE(Gui::setGridCurrentCell("bank", "题库表", rows, 1));
    EXPECT_EQ(Gui::gridText("bank", "题库表", rows, 0), std::to_string(rows));
    QCoreApplication::processEvents();
}

} // namespace

namespace {

// Qt makes the first cell current when a grid without one takes the keyboard
// focus; here only the user or the program chooses a row.
TEST_F(GridViewTest, TakingTheFocusChoosesNoRow)
{
    fill(3);
    GridView* view = nullptr;
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* grid = qobject_cast<GridView*>(widget))
            view = grid;
    ASSERT_NE(view, nullptr);
    QApplication::processEvents();
    // Sent directly: whether an offscreen window becomes active is up to the platform.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(view, &focusIn);
    EXPECT_EQ(Gui::gridCurrentRow("bank", "题库表"), -1);
    EXPECT_TRUE(moves.empty());

    ASSERT_TRUE(Gui::setGridCurrentCell("bank", "题库表", 2, 1));
    EXPECT_EQ(moves, std::vector<int>{2});
}

} // namespace
