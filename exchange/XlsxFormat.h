#pragma once

#include "exchange/ParsedBank.h"
#include "exchange/SheetColumns.h"

#include <string>
#include <string_view>
#include <vector>

// Office Open XML workbooks. Reading takes the first sheet of the workbook
// (shared strings, inline strings, formula strings, numbers and truth
// values); writing puts one sheet through libxlsxwriter.
class XlsxFormat {
public:
    static ParsedBank read(std::string_view bytes);
    // The first sheet's rows; an error text (GBK) when the file is no workbook.
    static std::vector<SheetRow> readSheet(std::string_view bytes, std::string& error);
    // False with the reason (GBK) in error.
    static bool write(const std::string& path, const std::vector<BankQuestion>& questions, std::string& error);
};
