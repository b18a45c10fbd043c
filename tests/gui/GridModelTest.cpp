#include "platform/gui/GridModel.h"

#include "platform/CodePage.h"

#include <QBrush>
#include <QCoreApplication>
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

TEST(GridModelTest, CellsHoldTheirTextsWhateverOrderTheyAreSetIn)
{
    GridModel grid;
    grid.reset(3, 5, 1, 1);
    EXPECT_TRUE(grid.setText(1, 3, "A"));
    EXPECT_TRUE(grid.setText(1, 0, "17"));
    EXPECT_TRUE(grid.setText(1, 1, GBK("标题很长") + std::string(200, 'x')));
    EXPECT_TRUE(grid.setText(1, 1, GBK("短")));
    EXPECT_TRUE(grid.setText(1, 4, ""));
    EXPECT_TRUE(grid.setText(1, 2, std::string("a\0b", 3)));
    EXPECT_EQ(grid.text(1, 0), "17");
    EXPECT_EQ(grid.text(1, 1), GBK("短"));
    EXPECT_EQ(grid.text(1, 2), std::string("a\0b", 3));
    EXPECT_EQ(grid.text(1, 3), "A");
    EXPECT_EQ(grid.text(1, 4), "");
    EXPECT_EQ(grid.text(2, 2), "");
    EXPECT_FALSE(grid.setText(3, 0, "x"));
    EXPECT_FALSE(grid.setText(0, 5, "x"));
    EXPECT_FALSE(grid.setText(-1, 0, "x"));
    EXPECT_EQ(grid.text(7, 7), "");
}

TEST(GridModelTest, WholeRowsReplaceOnlyTheGivenCells)
{
    GridModel grid;
    grid.reset(2, 4, 1, 1);
    grid.setText(1, 3, "keep");
    EXPECT_TRUE(grid.setRow(1, {"1", "t", "o"}));
    EXPECT_EQ(grid.text(1, 2), "o");
    EXPECT_EQ(grid.text(1, 3), "keep");
    EXPECT_TRUE(grid.setRow(1, {"a", "b", "c", "d", "beyond the columns"}));
    EXPECT_EQ(grid.text(1, 3), "d");
    EXPECT_FALSE(grid.setRow(2, {"x"}));
}

TEST(GridModelTest, ShrinkingDropsTextsAndColoursOutside)
{
    GridModel grid;
    grid.reset(4, 4, 1, 1);
    grid.setText(3, 3, "gone");
    grid.setText(1, 1, "kept");
    grid.setCellBackground(3, 1, 0xFF0000);
    grid.setColumns(2);
    grid.setRows(3);
    grid.setColumns(4);
    grid.setRows(4);
    EXPECT_EQ(grid.text(3, 3), "");
    EXPECT_EQ(grid.text(1, 1), "kept");
    EXPECT_EQ(grid.cellBackground(3, 1), std::nullopt);
}

TEST(GridModelTest, FixedRowAndColumnAreHeadersTheRestAreItems)
{
    GridModel grid;
    grid.reset(0, 0, 1, 1);
    EXPECT_EQ(grid.rowCount(), 0);
    grid.setRows(3);
    grid.setColumns(5);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.columnCount(), 4);
    grid.setRow(0, {"id", "Title", "Tmnr", "Answer", "did"});
    grid.setRow(1, {"5", GBK("题"), "a|b|", "B", "2"});
    EXPECT_EQ(grid.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Title"));
    EXPECT_EQ(grid.headerData(0, Qt::Vertical).toString(), QStringLiteral("5"));
    EXPECT_EQ(grid.data(grid.index(0, 0)).toString(), QStringLiteral("题"));
    EXPECT_EQ(grid.gridRow(grid.index(0, 2)), 1);
    EXPECT_EQ(grid.gridColumn(grid.index(0, 2)), 3);
    EXPECT_FALSE(grid.flags(grid.index(0, 0)) & Qt::ItemIsEditable);
}

TEST(GridModelTest, AlternateRowsColourEvenDataRowsUnlessACellHasItsOwn)
{
    GridModel grid;
    grid.reset(5, 3, 1, 1);
    grid.setAlternateRowColour(0xECECEC);
    grid.setCellBackground(4, 2, 0x00FF00);
    auto colourAt = [&](int row, int column) {
        QVariant brush = grid.data(grid.itemIndex(row, column), Qt::BackgroundRole);
        return brush.isValid() ? brush.value<QBrush>().color().name() : QString();
    };
    EXPECT_EQ(colourAt(1, 1), QString());
    EXPECT_EQ(colourAt(2, 1), QStringLiteral("#ececec"));
    EXPECT_EQ(colourAt(3, 2), QString());
    EXPECT_EQ(colourAt(4, 1), QStringLiteral("#ececec"));
    EXPECT_EQ(colourAt(4, 2), QStringLiteral("#00ff00"));
    grid.reset(5, 3, 1, 1);
    EXPECT_EQ(colourAt(2, 1), QString()) << "a reset clears the colouring";
}

TEST(GridModelTest, ChangesReachViewsOncePerReturnToTheEventLoop)
{
    GridModel grid;
    grid.reset(1001, 5, 1, 1);
    int announcements = 0;
    QObject::connect(&grid, &QAbstractItemModel::dataChanged, [&] { ++announcements; });
    for (int row = 1; row <= 1000; ++row)
        for (int column = 0; column < 5; ++column)
            grid.setText(row, column, "x");
    EXPECT_EQ(announcements, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(announcements, 1);
}

std::string repeated(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(GridModelTest, HundredThousandRowsStayUnderThreeTimesTheirTexts)
{
    // A bank listing: id, title, packed options, answer, option count.
    const int rows = 100000;
    std::size_t textBytes = 0;
    const std::string title = repeated(GBK("下列说法正确的是"), 2);
    const std::string options = repeated(GBK("选项内容") + "|", 4);

    const std::size_t before = heapInUse();
    {
        GridModel grid;
        grid.reset(0, 0, 1, 1);
        grid.reserve(rows + 1);
        grid.setRows(rows + 1);
        grid.setColumns(5);
        grid.setRow(0, {"id", "Title", "Tmnr", "Answer", "did"});
        for (int row = 1; row <= rows; ++row) {
            std::vector<std::string> cells = {std::to_string(row), title + std::to_string(row), options, "A", "4"};
            for (const std::string& cell : cells)
                textBytes += cell.size();
            if (row % 2 == 0) {
                grid.setRow(row, cells);
            } else {
                for (int column = 0; column < 5; ++column)
                    grid.setText(row, column, cells[static_cast<std::size_t>(column)]);
            }
        }
        const std::size_t held = heapInUse() - before;
        EXPECT_LT(held, 3 * textBytes) << "held " << held << " bytes for " << textBytes << " bytes of text";
        EXPECT_LT(grid.storageBytes(), 3 * textBytes);
        EXPECT_EQ(grid.text(77777, 1), title + "77777");
        EXPECT_EQ(grid.text(rows, 0), std::to_string(rows));
        grid.reset(0, 0, 1, 1);
        EXPECT_LT(heapInUse() - before, 100000u) << "a reset gives the memory back";
    }
}

} // namespace

namespace {

// Answers "r,c" and counts the cells it was asked for.
class CountingSource : public GridRowSource {
public:
    std::string text(int row, int column) const override
    {
        ++reads;
        return std::to_string(row) + "," + std::to_string(column);
    }
    mutable int reads = 0;
};

} // namespace

TEST(GridModelTest, SourceRowsAreReadWhenFirstAskedForAndThenBehaveAsSetOnes)
{
    GridModel grid;
    grid.reset(100001, 5, 1, 1);
    grid.setRow(0, {"id", "Title"});
    auto source = std::make_shared<CountingSource>();
    ASSERT_TRUE(grid.setRowSource(1, 100000, 4, source));
    EXPECT_EQ(source->reads, 0);
    EXPECT_EQ(grid.text(0, 1), "Title");
    EXPECT_EQ(grid.text(100000, 3), "99999,3");
    EXPECT_EQ(grid.text(100000, 4), "");
    EXPECT_EQ(source->reads, 4);
    EXPECT_EQ(grid.data(grid.itemIndex(2, 1)).toString(), "1,1");
    EXPECT_EQ(source->reads, 8);

    EXPECT_TRUE(grid.setText(3, 2, "x"));
    EXPECT_EQ(grid.text(3, 1), "2,1");
    EXPECT_EQ(grid.text(3, 2), "x");
    EXPECT_TRUE(grid.setRow(4, {"y"}));
    EXPECT_EQ(grid.text(4, 3), "3,3");
    grid.setColumns(2);
    grid.setColumns(5);
    EXPECT_EQ(grid.text(5, 1), "4,1");
    EXPECT_EQ(grid.text(5, 2), "");
    EXPECT_FALSE(grid.setRowSource(1, 100001, 4, source));

    grid.reset(3, 3, 1, 1);
    EXPECT_EQ(grid.text(1, 1), "");
}
