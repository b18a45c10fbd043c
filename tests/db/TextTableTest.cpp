#include "db/TextTable.h"

#include <gtest/gtest.h>

TEST(TextTable, ResizingKeepsTextsThatRemainAndShapesNewRows)
{
    TextTable t(2, 2);
    *t.cell(0, 0) = "a";
    *t.cell(1, 1) = "d";
    t.resizeRows(3, 1);
    ASSERT_EQ(t.rowCount(), 3u);
    EXPECT_EQ(t.row(2).size(), 1u);
    EXPECT_EQ(*t.cell(0, 0), "a");

    t.resizeColumns(1);
    EXPECT_EQ(t.row(1).size(), 1u);
    EXPECT_EQ(t.cell(1, 1), nullptr);
    t.resizeColumns(3);
    EXPECT_EQ(*t.cell(0, 0), "a");
    EXPECT_EQ(*t.cell(1, 1), "");

    t.clearCells();
    EXPECT_EQ(*t.cell(0, 0), "");
    EXPECT_EQ(t.row(0).size(), 3u);
}

TEST(TextTable, CellOutsideTheTableOrARaggedRowIsNull)
{
    TextTable t;
    t.addRow(3);
    t.addRow(1);
    EXPECT_NE(t.cell(0, 2), nullptr);
    EXPECT_EQ(t.cell(1, 2), nullptr);
    EXPECT_EQ(t.cell(2, 0), nullptr);
    const TextTable& ct = t;
    EXPECT_EQ(ct.cell(5, 5), nullptr);
}
