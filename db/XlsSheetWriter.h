#pragma once

#include "db/EventPump.h"
#include "db/TextTable.h"
#include "platform/ReplacingFile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Writes a TextTable as a one-sheet spreadsheet in the old binary record format
// (BIFF): a begin-of-file record, the code-page record naming GBK, one text or
// empty-cell record per cell, and an end-of-file record, every field a
// little-endian 16-bit word and texts as GBK bytes. Rows and columns are
// numbered from 1 at this interface.
//
// The records hold 16-bit lengths, rows and columns, so a table that does not
// fit them (a text over `maxTextBytes`, more than `maxRows` rows or more than
// `maxColumns` cells in a row) is refused as a whole instead of being written
// as a corrupt file.
class XlsSheetWriter {
public:
    static constexpr std::size_t maxTextBytes = 0xFFFF - 8;
    static constexpr std::size_t maxRows = 0x10000;
    static constexpr std::size_t maxColumns = 0x10000;

    XlsSheetWriter();
    // Copies the table and the sizes; the copy has no file open.
    XlsSheetWriter(const XlsSheetWriter& other);
    XlsSheetWriter& operator=(const XlsSheetWriter& other);
    ~XlsSheetWriter();

    // Record writers: they write at the current row and column into the open
    // file and report false when no file is open or the cell does not fit.
    bool writeBlankCell();
    bool writeTextCell(std::string_view text);
    bool writeBeginRecord();
    bool writeEndRecord();
    // Writes the whole own table into the open file.
    bool writeSheet();

    // Replaces the own table by the given one and writes it to a new file at path.
    bool saveTable(const TextTable& table, const std::string& path);
    bool saveTableForExport(const TextTable& table, const std::string& path);
    bool saveToFile(const std::string& path);

    // Writes a sheet row by row without holding it, for results too large to
    // keep twice. beginSheet starts the file; appendRow refuses (false,
    // nothing written) a row that does not fit the records; finishSheet ends
    // the file and puts it in place of an earlier one at the path, unless
    // anything failed. abandonSheet drops the file that was begun; an earlier
    // file at the path stays as it was. The own table plays no part.
    bool beginSheet(const std::string& path);
    bool appendRow(const TextTable::Row& cells);
    bool finishSheet();
    void abandonSheet();

    void setRowCount(int count, std::optional<bool> keepRows = std::nullopt);
    void setColumnCount(int count, std::optional<bool> keepCells = std::nullopt);
    void addRow();
    bool setCell(int row, int column, const std::string& text);
    std::string getCell(int row, int column) const;

    const TextTable& table() const { return table_; }
    int rowCount() const { return rowCount_; }
    int columnCount() const { return columnCount_; }

    static bool fitsRecords(const TextTable& table);

private:
    bool writeWords(const std::uint16_t* words, std::size_t count);
    void resetRecords();
    void writeRowCells(const TextTable::Row& row);
    bool openFile(const std::string& path);
    // Closes the file, putting it in place only when it was written whole.
    bool closeFile(bool ok);
    bool writeOwnTable(const std::string& path);

    std::unique_ptr<platform::ReplacingFile> file_; // open only while a file is written
    std::uint16_t currentRow_ = 0;
    std::uint16_t currentColumn_ = 0;
    TextTable table_;
    std::array<std::uint16_t, 6> textCellHeader_{};
    std::array<std::uint16_t, 5> blankCellRecord_{};
    int rowCount_ = 0;
    int columnCount_ = 0;
    std::size_t sheetRows_ = 0; // rows appended since beginSheet
    EventPump pump_;
};
