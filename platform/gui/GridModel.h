#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gui/GridRowSource.h"
#include "platform/gui/WindowDescription.h"

namespace platform {

// The texts of a grid, compact enough for listings of 100,000 rows: each row is
// one byte string holding its cells as length-prefixed GBK texts; nothing is
// held per cell beyond its bytes. Qt strings are made only for the cells shown.
//
// Grid coordinates count from 0 and include the fixed header row and first
// column. Qt sees only the non-fixed part as items; the fixed row and column are
// its header data.
//
// Rows can also come from a GridRowSource: their texts are then read and
// stored when a cell of the row is first asked for, by a view drawing it or by
// a caller, and behave like set texts from then on.
//
// Cell changes are announced to views once per return to the event loop, so a
// handler filling many cells pays nothing per cell for the view.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    int fixedRows() const { return fixedRows_; }
    int fixedColumns() const { return fixedColumns_; }

    // Restores the given size and fixed counts and drops every text and colour.
    void reset(int rows, int columns, int fixedRows, int fixedColumns);
    void setRows(int rows);
    void setColumns(int columns);
    void reserve(int rows);

    std::string_view text(int row, int column) const;
    bool setText(int row, int column, std::string_view text);
    bool setRow(int row, const std::vector<std::string>& texts);
    // Rows firstRow .. firstRow + rowCount - 1 (within the grid's rows) read
    // their first `columns` cells from source row 0, 1, ... when first needed,
    // replacing what they held.
    bool setRowSource(int firstRow, int rowCount, int columns, std::shared_ptr<const GridRowSource> source);

    std::optional<Rgb> cellBackground(int row, int column) const;
    bool setCellBackground(int row, int column, std::optional<Rgb> colour);
    void setAlternateRowColour(std::optional<Rgb> colour);
    std::optional<Rgb> alternateRowColour() const { return alternateRowColour_; }

    // Bytes of text held, and bytes this model holds for them (for checks).
    std::size_t textBytes() const;
    std::size_t storageBytes() const;

    // Mapping between grid cells and the items Qt sees.
    QModelIndex itemIndex(int row, int column) const;
    int gridRow(const QModelIndex& item) const { return item.isValid() ? item.row() + fixedRows_ : -1; }
    int gridColumn(const QModelIndex& item) const { return item.isValid() ? item.column() + fixedColumns_ : -1; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Announces pending cell changes now.
    void flushChanges();

signals:
    // Row or column counts or fixed counts changed.
    void shapeChanged();
    // A text of the fixed row or column changed.
    void fixedTextChanged();

private:
    bool inRange(int row, int column) const;
    // Reads the row from the source if it still waits for it.
    void fetchRow(int row) const;
    void markChanged(int row, int column);
    static std::uint64_t colourKey(int row, int column);
    void dropColoursOutside();

    int rows_ = 0;
    int columns_ = 0;
    int fixedRows_ = 1;
    int fixedColumns_ = 1;
    mutable std::vector<std::string> rowTexts_;
    std::shared_ptr<const GridRowSource> source_;
    int sourceFirstRow_ = 0;
    int sourceColumns_ = 0;
    mutable std::vector<bool> waiting_; // per row: still to be read from the source
    std::unordered_map<std::uint64_t, Rgb> cellColours_;
    std::optional<Rgb> alternateRowColour_;

    bool flushPending_ = false;
    int dirtyTop_ = 0, dirtyBottom_ = -1, dirtyLeft_ = 0, dirtyRight_ = -1;
};

} // namespace platform
