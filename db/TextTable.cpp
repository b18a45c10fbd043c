#include "db/TextTable.h"

TextTable::TextTable(std::size_t rowCount, std::size_t cellsPerRow) : rows_(rowCount, Row(cellsPerRow))
{
}

std::string* TextTable::cell(std::size_t row, std::size_t column)
{
    if (row >= rows_.size() || column >= rows_[row].size())
        return nullptr;
    return &rows_[row][column];
}

const std::string* TextTable::cell(std::size_t row, std::size_t column) const
{
    return const_cast<TextTable*>(this)->cell(row, column);
}

void TextTable::resizeRows(std::size_t count, std::size_t cellsPerNewRow)
{
    rows_.resize(count, Row(cellsPerNewRow));
}

void TextTable::resizeColumns(std::size_t count)
{
    for (Row& r : rows_)
        r.resize(count);
}

void TextTable::clearCells()
{
    for (Row& r : rows_)
        for (std::string& c : r)
            c.clear();
}

TextTable::Row& TextTable::addRow(std::size_t cells)
{
    return rows_.emplace_back(cells);
}
