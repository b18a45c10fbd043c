#include "db/XlsSheetWriter.h"

#include "db/EventPump.h"
#include "platform/FileSystem.h"

#include <iterator>

namespace {
constexpr std::uint16_t beginOfFileRecord[6] = {0x0809, 8, 0x0000, 0x0010, 0x0000, 0x0000};
constexpr std::uint16_t endOfFileRecord[2] = {0x000A, 0};
constexpr std::uint16_t textCellType = 0x0204;
constexpr std::uint16_t blankCellType = 0x0201;
constexpr std::uint16_t blankCellLength = 6;
constexpr std::uint16_t blankCellFormat = 0x0017;

std::size_t nonNegative(int count)
{
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}
} // namespace

XlsSheetWriter::XlsSheetWriter() = default;

XlsSheetWriter::XlsSheetWriter(const XlsSheetWriter& other)
    : table_(other.table_), textCellHeader_(other.textCellHeader_), blankCellRecord_(other.blankCellRecord_),
      rowCount_(other.rowCount_), columnCount_(other.columnCount_)
{
}

XlsSheetWriter& XlsSheetWriter::operator=(const XlsSheetWriter& other)
{
    if (this != &other) {
        table_ = other.table_;
        textCellHeader_ = other.textCellHeader_;
        blankCellRecord_ = other.blankCellRecord_;
        rowCount_ = other.rowCount_;
        columnCount_ = other.columnCount_;
    }
    return *this;
}

XlsSheetWriter::~XlsSheetWriter() = default;

bool XlsSheetWriter::writeWords(const std::uint16_t* words, std::size_t count)
{
    if (!file_ || !file_->isOpen())
        return false;
    char bytes[16];
    for (std::size_t i = 0; i < count; ++i) {
        bytes[2 * i] = static_cast<char>(words[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(words[i] >> 8);
    }
    file_->write(bytes, 2 * count);
    return file_->good();
}

bool XlsSheetWriter::writeBlankCell()
{
    blankCellRecord_[2] = currentRow_;
    blankCellRecord_[3] = currentColumn_;
    return writeWords(blankCellRecord_.data(), blankCellRecord_.size());
}

bool XlsSheetWriter::writeTextCell(std::string_view text)
{
    if (text.size() > maxTextBytes)
        return false;
    auto n = static_cast<std::uint16_t>(text.size());
    textCellHeader_[1] = static_cast<std::uint16_t>(8 + n);
    textCellHeader_[2] = currentRow_;
    textCellHeader_[3] = currentColumn_;
    textCellHeader_[4] = 0;
    textCellHeader_[5] = n;
    if (!writeWords(textCellHeader_.data(), textCellHeader_.size()))
        return false;
    file_->write(text.data(), text.size());
    return file_->good();
}

bool XlsSheetWriter::writeBeginRecord()
{
    return writeWords(beginOfFileRecord, std::size(beginOfFileRecord));
}

bool XlsSheetWriter::writeEndRecord()
{
    return writeWords(endOfFileRecord, std::size(endOfFileRecord));
}

bool XlsSheetWriter::fitsRecords(const TextTable& table)
{
    if (table.rowCount() > maxRows)
        return false;
    for (const TextTable::Row& row : table.rows()) {
        if (row.size() > maxColumns)
            return false;
        for (const std::string& cell : row)
            if (cell.size() > maxTextBytes)
                return false;
    }
    return true;
}

bool XlsSheetWriter::writeSheet()
{
    textCellHeader_ = {textCellType, 0, 0, 0, 0, 0};
    blankCellRecord_ = {blankCellType, blankCellLength, 0, 0, blankCellFormat};
    if (!fitsRecords(table_))
        return false;
    if (!writeBeginRecord())
        return false;
    EventPump pump;
    currentRow_ = 0;
    currentColumn_ = 0;
    for (const TextTable::Row& row : table_.rows()) {
        for (const std::string& cell : row) {
            if (cell.empty())
                writeBlankCell();
            else
                writeTextCell(cell);
            ++currentColumn_;
            pump.tick();
        }
        ++currentRow_;
        currentColumn_ = 0;
        pump.tick();
    }
    return writeEndRecord();
}

bool XlsSheetWriter::writeOwnTable(const std::string& path)
{
    // Refused before the file is touched, so an existing file survives a table that cannot be written.
    if (!fitsRecords(table_))
        return false;
    if (platform::FileSystem::exists(path))
        platform::FileSystem::removeFile(path);
    file_ = std::make_unique<ExportFile>();
    if (!file_->create(path)) {
        file_.reset();
        return false;
    }
    bool ok = writeSheet();
    ok = file_->close() && ok;
    file_.reset();
    if (!ok)
        platform::FileSystem::removeFile(path);
    return ok;
}

bool XlsSheetWriter::saveTable(const TextTable& table, const std::string& path)
{
    table_ = table;
    return writeOwnTable(path);
}

bool XlsSheetWriter::saveTableForExport(const TextTable& table, const std::string& path)
{
    return saveTable(table, path);
}

bool XlsSheetWriter::saveTableForExport(TextTable&& table, const std::string& path)
{
    table_ = std::move(table);
    return writeOwnTable(path);
}

bool XlsSheetWriter::saveToFile(const std::string& path)
{
    return writeOwnTable(path);
}

void XlsSheetWriter::setRowCount(int count, std::optional<bool> keepRows)
{
    rowCount_ = count;
    if (!keepRows.value_or(false))
        table_.clear();
    table_.resizeRows(nonNegative(count), nonNegative(columnCount_));
}

void XlsSheetWriter::setColumnCount(int count, std::optional<bool> keepCells)
{
    columnCount_ = count;
    if (!keepCells.value_or(false))
        table_.clearCells();
    table_.resizeColumns(nonNegative(count));
}

void XlsSheetWriter::addRow()
{
    table_.addRow(nonNegative(columnCount_));
    ++rowCount_;
}

bool XlsSheetWriter::setCell(int row, int column, const std::string& text)
{
    if (row < 1 || column < 1 || column > columnCount_)
        return false;
    std::string* cell = table_.cell(static_cast<std::size_t>(row - 1), static_cast<std::size_t>(column - 1));
    if (!cell)
        return false;
    *cell = text;
    return true;
}

std::string XlsSheetWriter::getCell(int row, int column) const
{
    if (row < 1 || column < 1)
        return {};
    const std::string* cell = table_.cell(static_cast<std::size_t>(row - 1), static_cast<std::size_t>(column - 1));
    return cell ? *cell : std::string();
}
