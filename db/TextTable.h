#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Rows of GBK cell texts, numbered from 0 here; the spreadsheet writer numbers
// them from 1 at its own interface. Rows may hold different numbers of cells.
class TextTable {
public:
    using Row = std::vector<std::string>;

    TextTable() = default;
    TextTable(std::size_t rowCount, std::size_t cellsPerRow);

    std::size_t rowCount() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }

    Row& row(std::size_t index) { return rows_[index]; }
    const Row& row(std::size_t index) const { return rows_[index]; }
    const std::vector<Row>& rows() const { return rows_; }

    // Null when the cell does not exist.
    std::string* cell(std::size_t row, std::size_t column);
    const std::string* cell(std::size_t row, std::size_t column) const;

    // Grows or shrinks to `count` rows; rows added get `cellsPerNewRow` empty cells.
    void resizeRows(std::size_t count, std::size_t cellsPerNewRow);
    // Gives every row exactly `count` cells, keeping the texts of the cells that remain.
    void resizeColumns(std::size_t count);
    // Empties every text and keeps the shape.
    void clearCells();
    Row& addRow(std::size_t cells);
    void clear() { rows_.clear(); }
    void reserve(std::size_t rowCount) { rows_.reserve(rowCount); }

    friend bool operator==(const TextTable&, const TextTable&) = default;

private:
    std::vector<Row> rows_;
};
