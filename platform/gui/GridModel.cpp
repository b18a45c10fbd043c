#include "platform/gui/GridModel.h"

#include "platform/gui/QtText.h"

#include <QBrush>

#include <algorithm>

namespace platform {
namespace {

void putLength(std::string& out, std::size_t length)
{
    while (length >= 0x80) {
        out.push_back(static_cast<char>((length & 0x7F) | 0x80));
        length >>= 7;
    }
    out.push_back(static_cast<char>(length));
}

std::size_t lengthSize(std::size_t length)
{
    std::size_t size = 1;
    while (length >= 0x80) {
        length >>= 7;
        ++size;
    }
    return size;
}

std::size_t getLength(const std::string& in, std::size_t& pos)
{
    std::size_t length = 0;
    int shift = 0;
    while (pos < in.size()) {
        const auto byte = static_cast<unsigned char>(in[pos++]);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            break;
        shift += 7;
    }
    return std::min(length, in.size() - pos);
}

// Start of cell `column` in an encoded row, and how many cells were passed to get
// there (fewer than `column` when the row ends first).
std::size_t seekCell(const std::string& row, int column, int& passed)
{
    std::size_t pos = 0;
    passed = 0;
    while (passed < column && pos < row.size()) {
        pos += getLength(row, pos);
        ++passed;
    }
    return pos;
}

// The first `columns` cells of an encoded row.
void truncateRow(std::string& row, int columns)
{
    int passed = 0;
    std::size_t end = seekCell(row, columns, passed);
    if (end < row.size()) {
        std::string kept(row, 0, end);
        row.swap(kept);
    }
}

} // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent)
{
}

void GridModel::reset(int rows, int columns, int fixedRows, int fixedColumns)
{
    beginResetModel();
    rows_ = std::max(0, rows);
    columns_ = std::max(0, columns);
    fixedRows_ = std::clamp(fixedRows, 0, 1);
    fixedColumns_ = std::clamp(fixedColumns, 0, 1);
    std::vector<std::string>().swap(rowTexts_);
    rowTexts_.resize(static_cast<std::size_t>(rows_));
    source_.reset();
    std::vector<bool>().swap(waiting_);
    cellColours_.clear();
    alternateRowColour_.reset();
    dirtyBottom_ = dirtyRight_ = -1;
    endResetModel();
    emit shapeChanged();
    emit fixedTextChanged();
}

void GridModel::setRows(int rows)
{
    rows = std::max(0, rows);
    if (rows == rows_)
        return;
    const int oldItems = rowCount();
    const int newItems = std::max(0, rows - fixedRows_);
    auto apply = [&] {
        rows_ = rows;
        if (rows == 0)
            std::vector<std::string>().swap(rowTexts_);
        else
            rowTexts_.resize(static_cast<std::size_t>(rows));
        if (waiting_.size() > static_cast<std::size_t>(rows))
            waiting_.resize(static_cast<std::size_t>(rows));
        dropColoursOutside();
    };
    if (newItems > oldItems) {
        beginInsertRows(QModelIndex(), oldItems, newItems - 1);
        apply();
        endInsertRows();
    } else if (newItems < oldItems) {
        beginRemoveRows(QModelIndex(), newItems, oldItems - 1);
        apply();
        endRemoveRows();
    } else {
        apply();
    }
    emit shapeChanged();
    emit fixedTextChanged();
}

void GridModel::setColumns(int columns)
{
    columns = std::max(0, columns);
    if (columns == columns_)
        return;
    const int oldItems = columnCount();
    const int newItems = std::max(0, columns - fixedColumns_);
    auto apply = [&] {
        const bool shrinking = columns < columns_;
        columns_ = columns;
        if (shrinking) {
            for (std::string& row : rowTexts_)
                truncateRow(row, columns);
            sourceColumns_ = std::min(sourceColumns_, columns);
            dropColoursOutside();
        }
    };
    if (newItems > oldItems) {
        beginInsertColumns(QModelIndex(), oldItems, newItems - 1);
        apply();
        endInsertColumns();
    } else if (newItems < oldItems) {
        beginRemoveColumns(QModelIndex(), newItems, oldItems - 1);
        apply();
        endRemoveColumns();
    } else {
        apply();
    }
    emit shapeChanged();
    emit fixedTextChanged();
}

void GridModel::reserve(int rows)
{
    if (rows > 0)
        rowTexts_.reserve(static_cast<std::size_t>(rows));
}

bool GridModel::inRange(int row, int column) const
{
    return row >= 0 && row < rows_ && column >= 0 && column < columns_;
}

void GridModel::fetchRow(int row) const
{
    const auto at = static_cast<std::size_t>(row);
    if (at >= waiting_.size() || !waiting_[at])
        return;
    waiting_[at] = false;
    std::string encoded;
    const int count = std::min(sourceColumns_, columns_);
    for (int column = 0; column < count; ++column) {
        const std::string text = source_->text(row - sourceFirstRow_, column);
        putLength(encoded, text.size());
        encoded.append(text);
    }
    rowTexts_[at].swap(encoded);
}

bool GridModel::setRowSource(int firstRow, int rowCount, int columns, std::shared_ptr<const GridRowSource> source)
{
    if (source == nullptr || firstRow < 0 || rowCount < 0 || columns < 0 || firstRow > rows_ - rowCount)
        return false;
    // Rows still waiting for an earlier source take their texts now.
    for (std::size_t row = 0; row < waiting_.size(); ++row)
        fetchRow(static_cast<int>(row));
    source_ = std::move(source);
    sourceFirstRow_ = firstRow;
    sourceColumns_ = columns;
    waiting_.assign(static_cast<std::size_t>(firstRow + rowCount), false);
    for (int row = firstRow; row < firstRow + rowCount; ++row) {
        std::string().swap(rowTexts_[static_cast<std::size_t>(row)]);
        waiting_[static_cast<std::size_t>(row)] = true;
    }
    if (rowCount > 0 && columns_ > 0) {
        markChanged(firstRow, 0);
        markChanged(firstRow + rowCount - 1, columns_ - 1);
    }
    return true;
}

std::string_view GridModel::text(int row, int column) const
{
    if (!inRange(row, column))
        return {};
    fetchRow(row);
    const std::string& encoded = rowTexts_[static_cast<std::size_t>(row)];
    int passed = 0;
    std::size_t pos = seekCell(encoded, column, passed);
    if (passed < column || pos >= encoded.size())
        return {};
    std::size_t length = getLength(encoded, pos);
    return std::string_view(encoded).substr(pos, length);
}

bool GridModel::setText(int row, int column, std::string_view text)
{
    if (!inRange(row, column))
        return false;
    fetchRow(row);
    std::string& encoded = rowTexts_[static_cast<std::size_t>(row)];
    int passed = 0;
    const std::size_t cellStart = seekCell(encoded, column, passed);
    std::string updated;
    if (passed < column || cellStart >= encoded.size()) {
        if (text.empty())
            return true;
        updated.reserve(encoded.size() + static_cast<std::size_t>(column - passed) + lengthSize(text.size()) +
                        text.size());
        updated = encoded;
        updated.append(static_cast<std::size_t>(column - passed), '\0');
    } else {
        std::size_t cellEnd = cellStart;
        cellEnd += getLength(encoded, cellEnd);
        updated.reserve(encoded.size() - (cellEnd - cellStart) + lengthSize(text.size()) + text.size());
        updated.append(encoded, 0, cellStart);
        putLength(updated, text.size());
        updated.append(text);
        updated.append(encoded, cellEnd, std::string::npos);
        encoded.swap(updated);
        markChanged(row, column);
        return true;
    }
    putLength(updated, text.size());
    updated.append(text);
    encoded.swap(updated);
    markChanged(row, column);
    return true;
}

bool GridModel::setRow(int row, const std::vector<std::string>& texts)
{
    if (row < 0 || row >= rows_)
        return false;
    fetchRow(row);
    const std::size_t count = std::min(texts.size(), static_cast<std::size_t>(columns_));
    std::size_t size = 0;
    for (std::size_t i = 0; i < count; ++i)
        size += lengthSize(texts[i].size()) + texts[i].size();
    std::string& encoded = rowTexts_[static_cast<std::size_t>(row)];
    // Cells beyond the given ones keep their texts.
    int passed = 0;
    const std::size_t restStart = seekCell(encoded, static_cast<int>(count), passed);
    std::string updated;
    updated.reserve(size + (encoded.size() - std::min(restStart, encoded.size())));
    for (std::size_t i = 0; i < count; ++i) {
        putLength(updated, texts[i].size());
        updated.append(texts[i]);
    }
    if (restStart < encoded.size())
        updated.append(encoded, restStart, std::string::npos);
    encoded.swap(updated);
    if (count > 0) {
        markChanged(row, 0);
        markChanged(row, static_cast<int>(count) - 1);
    }
    return true;
}

std::uint64_t GridModel::colourKey(int row, int column)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32) | static_cast<std::uint32_t>(column);
}

std::optional<Rgb> GridModel::cellBackground(int row, int column) const
{
    auto found = cellColours_.find(colourKey(row, column));
    if (found == cellColours_.end())
        return std::nullopt;
    return found->second;
}

bool GridModel::setCellBackground(int row, int column, std::optional<Rgb> colour)
{
    if (!inRange(row, column))
        return false;
    if (colour)
        cellColours_[colourKey(row, column)] = *colour;
    else
        cellColours_.erase(colourKey(row, column));
    markChanged(row, column);
    return true;
}

void GridModel::setAlternateRowColour(std::optional<Rgb> colour)
{
    alternateRowColour_ = colour;
    if (rows_ > 0 && columns_ > 0) {
        markChanged(0, 0);
        markChanged(rows_ - 1, columns_ - 1);
    }
}

void GridModel::dropColoursOutside()
{
    for (auto it = cellColours_.begin(); it != cellColours_.end();) {
        const int row = static_cast<int>(it->first >> 32);
        const int column = static_cast<int>(it->first & 0xFFFFFFFFu);
        if (inRange(row, column))
            ++it;
        else
            it = cellColours_.erase(it);
    }
}

std::size_t GridModel::textBytes() const
{
    std::size_t total = 0;
    for (int row = 0; row < rows_; ++row)
        for (int column = 0; column < columns_; ++column)
            total += text(row, column).size();
    return total;
}

std::size_t GridModel::storageBytes() const
{
    std::size_t total = rowTexts_.capacity() * sizeof(std::string);
    for (const std::string& row : rowTexts_)
        if (row.capacity() > 15)
            total += row.capacity() + 1;
    return total + cellColours_.size() * (sizeof(std::uint64_t) + sizeof(Rgb) + 2 * sizeof(void*));
}

QModelIndex GridModel::itemIndex(int row, int column) const
{
    return index(row - fixedRows_, column - fixedColumns_);
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(0, rows_ - fixedRows_);
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(0, columns_ - fixedColumns_);
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = gridRow(index);
    const int column = gridColumn(index);
    switch (role) {
    case Qt::DisplayRole:
        return qtText(text(row, column));
    case Qt::ToolTipRole: {
        std::string_view shown = text(row, column);
        if (shown.size() > 16)
            return qtText(shown);
        return {};
    }
    case Qt::BackgroundRole:
        if (auto own = cellBackground(row, column))
            return QBrush(qtColour(*own));
        if (alternateRowColour_ && row % 2 == 0)
            return QBrush(qtColour(*alternateRowColour_));
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const int row = orientation == Qt::Horizontal ? 0 : section + fixedRows_;
    const int column = orientation == Qt::Horizontal ? section + fixedColumns_ : 0;
    const bool fixed = orientation == Qt::Horizontal ? fixedRows_ > 0 : fixedColumns_ > 0;
    if (!fixed)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return qtText(text(row, column));
    case Qt::BackgroundRole:
        if (auto own = cellBackground(row, column))
            return QBrush(qtColour(*own));
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void GridModel::markChanged(int row, int column)
{
    if (dirtyBottom_ < 0) {
        dirtyTop_ = dirtyBottom_ = row;
        dirtyLeft_ = dirtyRight_ = column;
    } else {
        dirtyTop_ = std::min(dirtyTop_, row);
        dirtyBottom_ = std::max(dirtyBottom_, row);
        dirtyLeft_ = std::min(dirtyLeft_, column);
        dirtyRight_ = std::max(dirtyRight_, column);
    }
    if (!flushPending_) {
        flushPending_ = true;
        QMetaObject::invokeMethod(this, &GridModel::flushChanges, Qt::QueuedConnection);
    }
}

void GridModel::flushChanges()
{
    flushPending_ = false;
    if (dirtyBottom_ < 0)
        return;
    const int top = dirtyTop_, bottom = std::min(dirtyBottom_, rows_ - 1);
    const int left = dirtyLeft_, right = std::min(dirtyRight_, columns_ - 1);
    dirtyBottom_ = dirtyRight_ = -1;
    if (bottom < top || right < left)
        return;
    const int firstItemRow = std::max(top - fixedRows_, 0), lastItemRow = bottom - fixedRows_;
    const int firstItemColumn = std::max(left - fixedColumns_, 0), lastItemColumn = right - fixedColumns_;
    if (lastItemRow >= firstItemRow && lastItemColumn >= firstItemColumn)
        emit dataChanged(index(firstItemRow, firstItemColumn), index(lastItemRow, lastItemColumn));
    bool fixedTouched = false;
    if (top < fixedRows_ && lastItemColumn >= firstItemColumn) {
        emit headerDataChanged(Qt::Horizontal, firstItemColumn, lastItemColumn);
        fixedTouched = true;
    }
    if (left < fixedColumns_ && lastItemRow >= firstItemRow) {
        emit headerDataChanged(Qt::Vertical, firstItemRow, lastItemRow);
        fixedTouched = true;
    }
    if (top < fixedRows_ && left < fixedColumns_)
        fixedTouched = true;
    if (fixedTouched)
        emit fixedTextChanged();
}

} // namespace platform
