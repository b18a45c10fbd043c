#pragma once

#include <optional>
#include <string>
#include <string_view>

class XlsSheetWriter;

// Runs a query and writes its rows to a file whose extension chooses the
// format: ".txt" (fields joined by the caller's separator, a blank line after
// every record), ".csv" (fields joined by " , ") or ".xls" (a spreadsheet with a
// header row of field names). Texts are written as the raw GBK bytes, without
// quoting. The rows are read through a recordset facade, so the export replaces
// the result that every recordset facade sees.
class QueryExporter {
public:
    enum class Format { Unsupported, Text, Csv, Sheet };

    // The extension the way the Windows shell finds it: from the last "." of
    // the file name on, where a backslash, a slash or a space after a "." ends
    // that candidate; empty when there is none. GBK double-byte characters are
    // stepped over whole, so a trail byte never counts as a backslash.
    static std::string_view fileExtension(std::string_view path);
    // Exactly ".txt", ".csv" or ".xls", case-sensitive.
    static Format formatOf(std::string_view path);

    // False when the extension is not supported (nothing is written), when the
    // query yields no rows (a text or comma-separated file is left empty, no
    // spreadsheet is written), when the rows do not fit a spreadsheet, when a
    // write fails, when another export is running, or when the result was
    // ended or replaced while it was written. A file is replaced only by a
    // complete export or by the empty file of a query without rows; otherwise
    // an existing file keeps its content. Fields are read by position, so
    // fields of the same name each keep their own values.
    static bool exportQuery(const std::string& query, const std::string& path,
                            const std::optional<std::string>& separator, XlsSheetWriter& sheetWriter);
};
