#include "db/XlsSheetWriter.h"

#include "db/EventPump.h"

#include <iterator>

namespace {
constexpr std::uint16_t beginOfFileRecord[6] = {0x0809, 8, 0x0000, 0x0010, 0x0000, 0x0000};
// Names the code page of the texts (936, GBK) so that a reader outside a
// Chinese-locale system does not take the bytes for Latin-1.
constexpr std::uint16_t codePageRecord[3] = {0x0042, 2, 936};
constexpr std::uint16_t endOfFileRecord[2] = {0x000A, 0};
constexpr std::uint16_t textCellType = 0x0204;
constexpr std::uint16_t blankCellType = 0x0201;
constexpr std::uint16_t blankCellLength = 6;
constexpr std::uint16_t blankCellFormat = 0x0017;

inline void putWord(char* at, std::uint16_t word)
{
    at[0] = static_cast<char>(word & 0xFF);
    at[1] = static_cast<char>(word >> 8);
}

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

XlsSheetWriter::~XlsSheetWriter()
{
    abandonSheet();
}

bool XlsSheetWriter::writeWords(const std::uint16_t* words, std::size_t count)
{
    if (!file_ || !file_->isOpen())
        return false;
    char bytes[2 * 6];
    // The fixed records are at most six words long.
    if (count > std::size(bytes) / 2)
        return false;
    for (std::size_t i = 0; i < count; ++i)
        putWord(bytes + 2 * i, words[i]);
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
    if (text.size() > maxTextBytes || !file_ || !file_->isOpen())
        return false;
    auto n = static_cast<std::uint16_t>(text.size());
    textCellHeader_[1] = static_cast<std::uint16_t>(8 + n);
    textCellHeader_[2] = currentRow_;
    textCellHeader_[3] = currentColumn_;
    textCellHeader_[4] = 0;
    textCellHeader_[5] = n;
    // Encoded from the values rather than read back from the header just
    // stored: this runs once per cell of a large export.
    char header[12];
    putWord(header, textCellHeader_[0]);
    putWord(header + 2, static_cast<std::uint16_t>(8 + n));
    putWord(header + 4, currentRow_);
    putWord(header + 6, currentColumn_);
    putWord(header + 8, 0);
    putWord(header + 10, n);
    file_->write(header, sizeof header);
    file_->write(text.data(), text.size());
    return file_->good();
}

bool XlsSheetWriter::writeBeginRecord()
{
    return writeWords(beginOfFileRecord, std::size(beginOfFileRecord)) &&
           writeWords(codePageRecord, std::size(codePageRecord));
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

void XlsSheetWriter::resetRecords()
{
    textCellHeader_ = {textCellType, 0, 0, 0, 0, 0};
    blankCellRecord_ = {blankCellType, blankCellLength, 0, 0, blankCellFormat};
}

void XlsSheetWriter::writeRowCells(const TextTable::Row& row)
{
    for (const std::string& cell : row) {
        if (cell.empty())
            writeBlankCell();
        else
            writeTextCell(cell);
        ++currentColumn_;
        pump_.tick();
    }
    ++currentRow_;
    currentColumn_ = 0;
    pump_.tick();
}

bool XlsSheetWriter::writeSheet()
{
    resetRecords();
    if (!fitsRecords(table_))
        return false;
    if (!writeBeginRecord())
        return false;
    currentRow_ = 0;
    currentColumn_ = 0;
    for (const TextTable::Row& row : table_.rows())
        writeRowCells(row);
    return writeEndRecord();
}

bool XlsSheetWriter::openFile(const std::string& path)
{
    abandonSheet();
    file_ = std::make_unique<platform::ReplacingFile>();
    if (!file_->create(path)) {
        file_.reset();
        return false;
    }
    return true;
}

bool XlsSheetWriter::closeFile(bool ok)
{
    if (ok)
        ok = file_->close();
    else
        file_->discard();
    file_.reset();
    return ok;
}

bool XlsSheetWriter::writeOwnTable(const std::string& path)
{
    // Refused before the file is touched, so an existing file survives a table that cannot be written.
    if (!fitsRecords(table_))
        return false;
    if (!openFile(path))
        return false;
    return closeFile(writeSheet());
}

bool XlsSheetWriter::beginSheet(const std::string& path)
{
    if (!openFile(path))
        return false;
    resetRecords();
    currentRow_ = 0;
    currentColumn_ = 0;
    sheetRows_ = 0;
    if (!writeBeginRecord()) {
        abandonSheet();
        return false;
    }
    return true;
}

bool XlsSheetWriter::appendRow(const TextTable::Row& cells)
{
    if (!file_ || sheetRows_ >= maxRows || cells.size() > maxColumns)
        return false;
    for (const std::string& cell : cells)
        if (cell.size() > maxTextBytes)
            return false;
    writeRowCells(cells);
    ++sheetRows_;
    return file_->good();
}

bool XlsSheetWriter::finishSheet()
{
    if (!file_)
        return false;
    return closeFile(writeEndRecord());
}

void XlsSheetWriter::abandonSheet()
{
    if (file_)
        closeFile(false);
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
