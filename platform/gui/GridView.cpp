#include "platform/gui/GridView.h"

#include "platform/gui/QtText.h"

#include <QHeaderView>
#include <QLabel>

namespace platform {

GridView::GridView(const GridSettings& design, QWidget* parent)
    : QTableView(parent), design_(design), model_(new GridModel(this)), corner_(new QLabel(this))
{
    model_->reset(design_.rows, design_.columns, design_.fixedRows, design_.fixedColumns);
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    QHeaderView* rowsHeader = verticalHeader();
    rowsHeader->setMinimumSectionSize(1);
    rowsHeader->setDefaultSectionSize(design_.rowHeight);
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    rowsHeader->setHighlightSections(false);

    QHeaderView* columnsHeader = horizontalHeader();
    columnsHeader->setMinimumSectionSize(1);
    columnsHeader->setDefaultSectionSize(design_.columnWidth);
    columnsHeader->setSectionResizeMode(QHeaderView::Interactive);
    columnsHeader->setFixedHeight(design_.rowHeight);
    columnsHeader->setHighlightSections(false);
    columnsHeader->setSectionsClickable(false);
    connect(columnsHeader, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        const std::size_t column = static_cast<std::size_t>(section + model_->fixedColumns());
        if (quiet_ == 0 && column < widths_.size())
            widths_[column] = size;
    });

    corner_->setAlignment(Qt::AlignCenter);
    corner_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    corner_->setAutoFillBackground(true);
    corner_->setBackgroundRole(QPalette::Button);

    connect(model_, &GridModel::shapeChanged, this, &GridView::applyShape);
    connect(model_, &GridModel::fixedTextChanged, this, [this] { corner_->setText(qtText(model_->text(0, 0))); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (quiet_ == 0)
            emit currentCellMoved();
    });
    applyShape();
}

void GridView::resetToDesign()
{
    ++quiet_;
    widths_.clear();
    model_->reset(design_.rows, design_.columns, design_.fixedRows, design_.fixedColumns);
    clearCurrentQuietly();
    --quiet_;
    applyShape();
}

void GridView::focusInEvent(QFocusEvent* event)
{
    // Qt makes the first cell current when a grid without one takes the focus;
    // taking the focus chooses no row here, so that cell is dropped again unseen.
    const bool hadCurrent = currentIndex().isValid();
    ++quiet_;
    QTableView::focusInEvent(event);
    if (!hadCurrent)
        clearCurrentQuietly();
    --quiet_;
}

void GridView::clearCurrentQuietly()
{
    ++quiet_;
    selectionModel()->clearCurrentIndex();
    selectionModel()->clearSelection();
    --quiet_;
}

void GridView::setRows(int rows)
{
    ++quiet_;
    const int before = currentRow();
    model_->setRows(rows);
    if (before >= 0 && before >= model_->rows())
        clearCurrentQuietly();
    --quiet_;
}

void GridView::setColumns(int columns)
{
    ++quiet_;
    const int before = currentColumn();
    model_->setColumns(columns);
    if (before >= 0 && before >= model_->columns())
        clearCurrentQuietly();
    --quiet_;
}

void GridView::applyShape()
{
    ++quiet_;
    widths_.resize(static_cast<std::size_t>(model_->columns()), -1);
    horizontalHeader()->setVisible(model_->fixedRows() > 0 && model_->rows() > 0);
    verticalHeader()->setVisible(model_->fixedColumns() > 0 && model_->columns() > 0);
    for (int column = 0; column < model_->columns(); ++column) {
        const int width = gridColumnWidth(column);
        if (column < model_->fixedColumns())
            verticalHeader()->setFixedWidth(width);
        else
            horizontalHeader()->resizeSection(column - model_->fixedColumns(), width);
    }
    --quiet_;
    placeCorner();
}

int GridView::gridColumnWidth(int column) const
{
    if (column < 0 || column >= model_->columns())
        return -1;
    const int width = column < static_cast<int>(widths_.size()) ? widths_[static_cast<std::size_t>(column)] : -1;
    return width >= 0 ? width : design_.columnWidth;
}

bool GridView::setGridColumnWidth(int column, int width)
{
    if (column < 0 || column >= model_->columns() || width < 0)
        return false;
    widths_[static_cast<std::size_t>(column)] = width;
    applyShape();
    return true;
}

int GridView::currentRow() const
{
    return model_->gridRow(selectionModel()->currentIndex());
}

int GridView::currentColumn() const
{
    return model_->gridColumn(selectionModel()->currentIndex());
}

bool GridView::setCurrentCell(int row, int column)
{
    if (row < model_->fixedRows() || row >= model_->rows() || column < model_->fixedColumns() ||
        column >= model_->columns())
        return false;
    const QModelIndex item = model_->itemIndex(row, column);
    selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(item);
    return true;
}

void GridView::updateGeometries()
{
    QTableView::updateGeometries();
    placeCorner();
}

void GridView::placeCorner()
{
    const bool shown = horizontalHeader()->isVisibleTo(this) && verticalHeader()->isVisibleTo(this);
    corner_->setVisible(shown);
    if (shown) {
        corner_->setGeometry(frameWidth(), frameWidth(), verticalHeader()->width(), horizontalHeader()->height());
        corner_->raise();
    }
}

} // namespace platform
