#include "db/TableExport.h"

#include "platform/ReplacingFile.h"
#include "db/XlsSheetWriter.h"

std::string TableExport::separatorFor(QueryExporter::Format format, const std::optional<std::string>& separator)
{
    if (format == QueryExporter::Format::Csv || !separator || separator->empty())
        return " , ";
    return *separator;
}

std::string_view TableExport::lineEnd(QueryExporter::Format format)
{
    return format == QueryExporter::Format::Csv ? std::string_view("\r\n") : std::string_view("\r\n\r\n");
}

void TableExport::writeLine(platform::ReplacingFile& file, const TextTable::Row& cells, const std::string& separator,
                            std::string_view lineEnd)
{
    for (std::size_t f = 0; f < cells.size(); ++f) {
        if (f > 0)
            file.write(separator);
        file.write(cells[f]);
    }
    file.write(lineEnd.data(), lineEnd.size());
}

bool TableExport::fitsSheet(std::size_t recordCount, std::size_t columnCount)
{
    return recordCount + 1 <= XlsSheetWriter::maxRows && columnCount <= XlsSheetWriter::maxColumns;
}

bool TableExport::write(const std::string& path, const std::vector<std::string>& names,
                        const std::vector<TextTable::Row>& rows, const std::optional<std::string>& separator)
{
    const QueryExporter::Format format = QueryExporter::formatOf(path);
    if (format == QueryExporter::Format::Unsupported)
        return false;
    if (format == QueryExporter::Format::Sheet) {
        if (rows.empty() || !fitsSheet(rows.size(), names.size()))
            return false;
        XlsSheetWriter sheet;
        if (!sheet.beginSheet(path))
            return false;
        bool written = sheet.appendRow(names);
        for (std::size_t r = 0; written && r < rows.size(); ++r)
            written = sheet.appendRow(rows[r]);
        if (written)
            return sheet.finishSheet();
        sheet.abandonSheet();
        return false;
    }
    platform::ReplacingFile file;
    if (!file.create(path))
        return false;
    const std::string between = separatorFor(format, separator);
    for (const TextTable::Row& row : rows)
        writeLine(file, row, between, lineEnd(format));
    // No rows still leave their empty file, as a query without rows does.
    if (!file.good()) {
        file.discard();
        return false;
    }
    return file.close() && !rows.empty();
}
