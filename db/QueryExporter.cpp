#include "db/QueryExporter.h"

#include "db/BackendRegistry.h"
#include "db/DbRecordset.h"
#include "db/EventPump.h"
#include "db/SharedResultGuard.h"
#include "db/TableExport.h"
#include "db/TextTable.h"
#include "db/XlsSheetWriter.h"
#include "platform/CodePage.h"
#include "platform/ReplacingFile.h"

#include <vector>

namespace {

// The shared result as the export opened it: window events pumped during the
// export may still end or replace it through a backend directly, and the rows
// read after that would be empty cells.
class ExportedResult {
public:
    explicit ExportedResult(DbRecordset& records)
        : records_(records), kind_(BackendRegistry::currentKind()), serial_(records.resultSerial())
    {
    }
    bool intact() { return BackendRegistry::currentKind() == kind_ && records_.resultSerial() == serial_; }

private:
    DbRecordset& records_;
    DbKind kind_;
    unsigned long long serial_;
};

std::vector<std::string> fieldNames(DbRecordset& records, int fieldCount, EventPump& pump)
{
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(fieldCount));
    for (int f = 0; f < fieldCount; ++f) {
        names.push_back(records.fieldName(f));
        pump.tick();
    }
    return names;
}

// One line per record, cells joined by the separator; the result is whether
// every byte reached the file.
bool writeTextLines(DbRecordset& records, int recordCount, int fieldCount, const std::string& separator,
                    std::string_view lineEnd, platform::ReplacingFile& file, EventPump& pump, ExportedResult& exported)
{
    if (!records.moveFirst())
        return false;
    TextTable::Row cells(static_cast<std::size_t>(fieldCount));
    for (int r = 1; r <= recordCount; ++r) {
        for (int f = 0; f < fieldCount; ++f) {
            records.readTextAt(f, cells[static_cast<std::size_t>(f)]);
            pump.tick();
        }
        TableExport::writeLine(file, cells, separator, lineEnd);
        pump.tick();
        if (!exported.intact())
            return false;
        // Fewer rows than were counted: the file would silently lack records.
        if (!records.moveNext() && r < recordCount)
            return false;
    }
    return file.good();
}

// Each record goes to the sheet as soon as it is read, so a large result is
// never held a second time in memory.
bool writeSheetRows(DbRecordset& records, int recordCount, const std::vector<std::string>& names, XlsSheetWriter& sheet,
                    EventPump& pump, ExportedResult& exported)
{
    if (!sheet.appendRow(names) || !records.moveFirst())
        return false;
    TextTable::Row cells(names.size());
    for (int r = 1; r <= recordCount; ++r) {
        for (std::size_t f = 0; f < names.size(); ++f) {
            records.readTextAt(static_cast<int>(f), cells[f]);
            pump.tick();
        }
        if (!exported.intact() || !sheet.appendRow(cells))
            return false;
        pump.tick();
        if (!exported.intact())
            return false;
        if (!records.moveNext() && r < recordCount)
            return false;
    }
    return true;
}

} // namespace

std::string_view QueryExporter::fileExtension(std::string_view path)
{
    std::size_t end = path.find('\0');
    if (end == std::string_view::npos)
        end = path.size();
    std::size_t dot = std::string_view::npos;
    for (std::size_t i = 0; i < end; i += platform::gbkCharLength(path, i)) {
        char c = path[i];
        if (c == '.')
            dot = i;
        else if (c == '\\' || c == '/' || c == ' ')
            dot = std::string_view::npos;
    }
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot, end - dot);
}

QueryExporter::Format QueryExporter::formatOf(std::string_view path)
{
    std::string_view extension = fileExtension(path);
    if (extension == ".txt")
        return Format::Text;
    if (extension == ".csv")
        return Format::Csv;
    if (extension == ".xls")
        return Format::Sheet;
    return Format::Unsupported;
}

bool QueryExporter::exportQuery(const std::string& query, const std::string& path,
                                const std::optional<std::string>& separator, XlsSheetWriter& sheetWriter)
{
    Format format = formatOf(path);
    if (format == Format::Unsupported)
        return false;
    // Called from window events that an export pumps, a second export would
    // replace the first one's result under it.
    if (SharedResultGuard::refusesExport())
        return false;

    platform::ReplacingFile textFile;
    std::string textSeparator;
    if (format != Format::Sheet) {
        textSeparator = TableExport::separatorFor(format, separator);
        // Nothing could be written: leave the shared result alone.
        if (!textFile.create(path))
            return false;
    }

    EventPump pump;
    DbRecordset records;
    // A recordset that was never attached (no query has run since the
    // connection opened) would fail the export for no reason of its own.
    records.attach();
    const bool ran = records.open(query, 1);
    SharedResultGuard guard;
    ExportedResult exported(records);
    int recordCount = records.recordCount();
    int fieldCount = records.fieldCount();
    bool result = false;
    if (recordCount > 0) {
        if (format == Format::Sheet) {
            std::vector<std::string> names = fieldNames(records, fieldCount, pump);
            // The header row comes on top of the records; refuse before touching a file that could not hold them.
            bool fits = TableExport::fitsSheet(static_cast<std::size_t>(recordCount), names.size());
            if (fits && exported.intact() && sheetWriter.beginSheet(path)) {
                if (writeSheetRows(records, recordCount, names, sheetWriter, pump, exported))
                    result = sheetWriter.finishSheet();
                else
                    sheetWriter.abandonSheet();
            }
        } else {
            result = writeTextLines(records, recordCount, fieldCount, textSeparator, TableExport::lineEnd(format),
                                    textFile, pump, exported);
        }
    }
    records.close();

    if (!textFile.isOpen())
        return result;
    // A query that ran without rows still leaves its empty file; a failed one,
    // or rows that could not all be written, leave the earlier file as it was.
    if (result || (ran && recordCount <= 0))
        return textFile.close() && result;
    textFile.discard();
    return false;
}
