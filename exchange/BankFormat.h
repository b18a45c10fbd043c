#pragma once

#include "exchange/ParsedBank.h"
#include "exchange/TextEncoding.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The file formats a bank travels in, chosen by the file's extension unless
// named: .csv, .xlsx, .xls, .txt (Aiken) and .gift. Paths are GBK, like every
// path of the program.
class BankFormat {
public:
    enum class Kind { Csv, Xlsx, Xls, Aiken, Gift };

    static std::optional<Kind> fromPath(std::string_view path);
    // "csv", "xlsx", "xls", "aiken", "gift".
    static std::optional<Kind> fromName(std::string_view name);
    static bool isSpreadsheet(Kind kind) { return kind == Kind::Csv || kind == Kind::Xlsx || kind == Kind::Xls; }

    // Files larger than this are not imported.
    static constexpr std::uint64_t sizeLimit = 50u << 20;
    // True when path names a regular file that can be read and is within the
    // limit; otherwise false with the reason (GBK) in error. Nothing is
    // opened that could wait: a pipe or a device is refused by its kind.
    static bool checkReadable(const std::string& path, std::string& error, std::uint64_t limit = sizeLimit);

    // Reads a file of the kind; a file that cannot be read gives an error text.
    // wholeCategoryPath: GIFT's categories are whole paths, not last names.
    static ParsedBank readFile(const std::string& path, Kind kind, TextEncoding encoding = TextEncoding::Auto,
                               bool wholeCategoryPath = false);
    static ParsedBank readBytes(std::string_view bytes, Kind kind, TextEncoding encoding = TextEncoding::Auto,
                                const std::string& path = {}, bool wholeCategoryPath = false);
    // The questions of a file one at a time, and the problems the reader
    // found; CSV files are never held whole. False with the reason (GBK) in
    // error when the file cannot be read. notes, when given, gets what the
    // user should know of how the file was read (which sheet).
    static bool forEachQuestion(const std::string& path, Kind kind, TextEncoding encoding,
                                const std::function<void(BankQuestion&&)>& onQuestion,
                                std::vector<BankProblem>& problems, std::string& error,
                                std::vector<std::string>* notes = nullptr, bool wholeCategoryPath = false);
    // The questions of the list (numbered from 1) that the kind cannot carry
    // unchanged, each with its title and why; writeFile leaves them out.
    static std::vector<BankProblem> leftOut(Kind kind, const std::vector<BankQuestion>& questions);
    // Replaces the file. False with the reason (GBK) in error.
    static bool writeFile(const std::string& path, Kind kind, const std::vector<BankQuestion>& questions,
                          std::string& error, TextEncoding encoding = TextEncoding::Utf8);
    // The header and one example question, for the spreadsheet kinds only.
    static bool writeTemplate(const std::string& path, Kind kind, std::string& error,
                              TextEncoding encoding = TextEncoding::Utf8);
};
