#pragma once

#include "exchange/ParsedBank.h"
#include "exchange/SheetColumns.h"
#include "exchange/TextEncoding.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Comma-separated files after RFC 4180: fields in double quotes may hold
// commas, line breaks and doubled quotes; records end with CR LF or LF.
class CsvFormat {
public:
    static ParsedBank read(std::string_view bytes, TextEncoding encoding = TextEncoding::Auto);
    // Records of UTF-8 fields, numbered from 1.
    static std::vector<SheetRow> parse(std::string_view utf8);
    static void parse(std::string_view utf8, const std::function<void(SheetRow&&)>& onRecord);
    // The questions one at a time, so that a long file is never held whole.
    // False with the reason (GBK) in error when the file has no header.
    static bool forEachQuestion(std::string_view bytes, TextEncoding encoding,
                                const std::function<void(BankQuestion&&)>& onQuestion, std::string& error);
    // UTF-8 with a byte order mark (so spreadsheet programs take it as UTF-8),
    // or GBK; CR LF record ends; fields quoted where they need it.
    static std::string write(const std::vector<BankQuestion>& questions, TextEncoding encoding = TextEncoding::Utf8);
};
