#pragma once

#include "exchange/ParsedBank.h"
#include "exchange/SheetColumns.h"

#include <string>
#include <string_view>
#include <vector>

// Office Open XML workbooks. Reading takes the first sheet of the workbook
// (shared strings, inline strings, formula results, numbers and truth
// values), unpacking its parts as it goes within fixed limits; cells that do
// not hold the text the user sees are reported, a damaged workbook refused.
// Writing puts one sheet through libxlsxwriter.
class XlsxFormat {
public:
    static ParsedBank read(std::string_view bytes);
    // The first sheet's rows; an error text (GBK) when the file is no workbook.
    static std::vector<SheetRow> readSheet(std::string_view bytes, std::string& error);
    // False with the reason (GBK) in error.
    static bool write(const std::string& path, const std::vector<BankQuestion>& questions, std::string& error);
};
