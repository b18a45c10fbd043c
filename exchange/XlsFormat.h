#pragma once

#include "exchange/ParsedBank.h"
#include "exchange/SheetColumns.h"

#include <string>
#include <string_view>
#include <vector>

// Binary spreadsheets (.xls). Workbooks in a compound-document container are
// read through libfreexl, with the stored results of formulas, error values
// and percentages taken from the workbook stream itself; a bare record
// stream, as the program's own export writes it, is read here, its texts
// taken as GBK, and refused without its end-of-file record. Writing goes
// through the program's spreadsheet writer.
class XlsFormat {
public:
    // path is the file on disk, needed by libfreexl; bytes its content.
    static ParsedBank read(const std::string& path, std::string_view bytes);
    // The cells of a bare record stream: label, blank, number and RK records.
    static std::vector<SheetRow> readRecords(std::string_view bytes, std::string& error);
    static bool write(const std::string& path, const std::vector<BankQuestion>& questions, std::string& error);
};
