#pragma once

#include <QTableView>

#include <vector>

#include "platform/gui/GridModel.h"
#include "platform/gui/WindowDescription.h"

class QLabel;

namespace platform {

// A grid of text cells that the user can move through but not edit. The fixed
// header row and first column are drawn as the table's headers, so they stay in
// place while the cells scroll; the corner cell is a label over the corner.
class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(const GridSettings& design, QWidget* parent = nullptr);

    GridModel& grid() { return *model_; }
    const GridModel& grid() const { return *model_; }

    // Back to the design-time size and widths, no texts or colours, no current cell.
    void resetToDesign();
    void setRows(int rows);
    void setColumns(int columns);
    int gridColumnWidth(int column) const;
    bool setGridColumnWidth(int column, int width);

    // -1 when there is no current cell.
    int currentRow() const;
    int currentColumn() const;
    // Moves the current cell; currentCellMoved follows when it moved. Fixed
    // cells cannot become current.
    bool setCurrentCell(int row, int column);

signals:
    // The current cell moved, by the user or by setCurrentCell.
    void currentCellMoved();

protected:
    void updateGeometries() override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void applyShape();
    void placeCorner();
    void clearCurrentQuietly();

    GridSettings design_;
    GridModel* model_;
    QLabel* corner_;
    std::vector<int> widths_; // per grid column; -1 = the design-time width
    int quiet_ = 0;
};

} // namespace platform
