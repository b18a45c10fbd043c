// The spreadsheet writer on tables of arbitrary cell texts: the file read back
// record by record is the table, whole or streamed row by row.
#include "FuzzFields.h"
#include "db/XlsSheetWriter.h"
#include "platform/FileSystem.h"

#include <string>
#include <unistd.h>

namespace {

unsigned word(std::string_view bytes, std::size_t at)
{
    return static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// Walks the records of a written sheet and checks each against the table.
void checkRecords(std::string_view file, const TextTable& table)
{
    FUZZ_CHECK(file.size() >= 22 && word(file, 0) == 0x0809 && word(file, 2) == 8);
    // The code page (936, GBK) follows the begin-of-file record.
    FUZZ_CHECK(word(file, 12) == 0x0042 && word(file, 14) == 2 && word(file, 16) == 936);
    std::size_t at = 18;
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        for (std::size_t c = 0; c < table.row(r).size(); ++c) {
            const std::string& cell = table.row(r)[c];
            FUZZ_CHECK(at + 10 <= file.size());
            FUZZ_CHECK(word(file, at + 4) == r && word(file, at + 6) == c);
            if (cell.empty()) {
                FUZZ_CHECK(word(file, at) == 0x0201 && word(file, at + 2) == 6);
                at += 10;
                continue;
            }
            FUZZ_CHECK(at + 12 <= file.size());
            FUZZ_CHECK(word(file, at) == 0x0204 && word(file, at + 2) == 8 + cell.size());
            FUZZ_CHECK(word(file, at + 10) == cell.size());
            FUZZ_CHECK(file.substr(at + 12, cell.size()) == cell);
            at += 12 + cell.size();
        }
    }
    FUZZ_CHECK(file.substr(at) == std::string_view("\x0A\0\0\0", 4));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzFields fields(data, size);
    const std::size_t columns = 1 + fields.nextByte() % 8;
    TextTable table;
    while (!fields.atEnd()) {
        TextTable::Row& row = table.addRow(0);
        for (std::size_t c = 0; c < columns && !fields.atEnd(); ++c)
            row.push_back(std::string(fields.next()));
    }

    static const std::string path = "/tmp/XlsSheetWriterFuzzer." + std::to_string(getpid()) + ".xls";
    XlsSheetWriter writer;
    FUZZ_CHECK(writer.saveTable(table, path));
    std::string whole;
    FUZZ_CHECK(platform::FileSystem::readFile(path, whole));
    checkRecords(whole, table);

    FUZZ_CHECK(writer.beginSheet(path));
    for (const TextTable::Row& row : table.rows())
        FUZZ_CHECK(writer.appendRow(row));
    FUZZ_CHECK(writer.finishSheet());
    std::string streamed;
    FUZZ_CHECK(platform::FileSystem::readFile(path, streamed));
    FUZZ_CHECK(streamed == whole);

    // The own table through the numbered cell interface, sizes from the input.
    XlsSheetWriter sized;
    sized.setColumnCount(static_cast<int>(columns) - 2);
    sized.setRowCount(static_cast<int>(table.rowCount()) - 1, true);
    for (std::size_t r = 0; r < table.rowCount(); ++r)
        for (std::size_t c = 0; c < table.row(r).size(); ++c) {
            const int row = static_cast<int>(r) + 1, column = static_cast<int>(c) + 1;
            if (sized.setCell(row, column, table.row(r)[c]))
                FUZZ_CHECK(sized.getCell(row, column) == table.row(r)[c]);
        }
    FUZZ_CHECK(sized.saveToFile(path));
    platform::FileSystem::removeFile(path);
    return 0;
}
