#pragma once

#include "db/QueryExporter.h"
#include "db/TextTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class ReplacingFile;
}

// Rows of GBK texts written to a file exactly as the export of a query writes
// its result: the extension chooses ".txt", ".csv" or ".xls"; a spreadsheet
// gets the column names as its header row, the text formats the records alone.
// For tables a program computes or reads through a Database, so that an export
// needs nothing of the database beyond reading.
class TableExport {
public:
    // False when the extension is not supported (nothing is written), when
    // there are no rows (a text or comma-separated file is left empty, no
    // spreadsheet is written), when the rows do not fit a spreadsheet or when
    // a write fails; an existing file is then kept as it was.
    static bool write(const std::string& path, const std::vector<std::string>& names,
                      const std::vector<TextTable::Row>& rows,
                      const std::optional<std::string>& separator = std::nullopt);

    // The pieces the export of a query shares.
    static std::string separatorFor(QueryExporter::Format format, const std::optional<std::string>& separator);
    static std::string_view lineEnd(QueryExporter::Format format);
    static void writeLine(platform::ReplacingFile& file, const TextTable::Row& cells, const std::string& separator,
                          std::string_view lineEnd);
    // Whether records with a header row on top fit the spreadsheet's records.
    static bool fitsSheet(std::size_t recordCount, std::size_t columnCount);
};
