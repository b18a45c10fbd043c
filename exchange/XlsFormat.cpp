#include "exchange/XlsFormat.h"

#include "db/XlsSheetWriter.h"
#include "exchange/CompoundFile.h"
#include "exchange/NumberFormat.h"
#include "exchange/SheetLibraries.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

namespace {

constexpr std::string_view compoundSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr unsigned maxColumns = 256;

std::uint16_t word(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

std::string numberText(double d)
{
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
        return std::to_string(static_cast<long long>(d));
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", d);
    return text;
}

double rkValue(std::uint32_t rk)
{
    double d = 0;
    if (rk & 2) {
        d = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&d, &bits, sizeof d);
    }
    return (rk & 1) ? d / 100 : d;
}

struct FreexlCloser {
    const SheetFunctions* api;
    void operator()(const void* handle) const { api->freexl_close(handle); }
};

using Cells = std::map<unsigned, std::map<unsigned, std::string>>;
using Unread = std::map<unsigned, std::vector<std::pair<int, std::string>>>;

std::vector<SheetRow> toRows(Cells& cells, Unread& unread)
{
    for (const auto& [row, reasons] : unread)
        cells[row];
    std::vector<SheetRow> rows;
    rows.reserve(cells.size());
    // Each row's cells leave the map as they are moved, so the sheet is never held twice.
    for (auto it = cells.begin(); it != cells.end(); it = cells.erase(it)) {
        const unsigned row = it->first;
        SheetRow sheetRow{static_cast<int>(row) + 1, {}, {}};
        if (!it->second.empty())
            sheetRow.cells.resize(it->second.rbegin()->first + 1);
        for (auto& [column, text] : it->second)
            sheetRow.cells[column] = std::move(text);
        if (const auto found = unread.find(row); found != unread.end())
            sheetRow.unread = std::move(found->second);
        rows.push_back(std::move(sheetRow));
    }
    return rows;
}

std::string damaged(const std::string& what)
{
    return GBK("Excel 97-2003工作簿（.xls）已损坏，文件没有读入：") + what;
}

std::string cellName(unsigned column)
{
    return SheetColumns::columnName(static_cast<int>(column)) + GBK("列");
}

// What libfreexl leaves out of a sheet: the results formulas stored (it
// reads them as empty) and numbers shown as percentages. By row and column
// from 0: the text the user sees, or the reason it cannot be read.
struct Overlay {
    std::string text;
    std::string unread;
};
using Overlays = std::map<std::pair<unsigned, unsigned>, Overlay>;

// A string of a record: length, a flags byte, then Latin-1 or UTF-16 characters.
std::string biffString(std::string_view data, std::size_t at)
{
    if (at + 3 > data.size())
        return {};
    const std::size_t count = word(data, at);
    const bool wide = (data[at + 2] & 1) != 0;
    const std::string_view chars = data.substr(at + 3);
    if (wide) {
        const std::size_t n = std::min(count, chars.size() / 2);
        std::u16string text(n, u'\0');
        for (std::size_t i = 0; i < n; ++i)
            text[i] = static_cast<char16_t>(word(chars, i * 2));
        return QString::fromUtf16(text.data(), static_cast<qsizetype>(n)).toStdString();
    }
    const std::size_t n = std::min(count, chars.size());
    return QString::fromLatin1(chars.data(), static_cast<qsizetype>(n)).toStdString();
}

std::string errorName(unsigned code)
{
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    default:
        return "#N/A";
    }
}

std::string errorReason(unsigned code)
{
    return GBK("是错误值") + errorName(code) + GBK("，请先在表格程序中改正");
}

// False when the stream does not hold together or holds more such cells than a sheet may.
bool scanFirstSheet(std::string_view stream, Overlays& overlays)
{
    using Shown = NumberFormat::Shown;
    std::map<unsigned, Shown> formats;
    std::vector<Shown> styles;
    std::optional<std::size_t> sheetAt;
    const auto walk = [&stream](std::size_t at, const auto& onRecord) {
        while (at + 4 <= stream.size()) {
            const std::uint16_t type = word(stream, at);
            const std::uint16_t length = word(stream, at + 2);
            if (at + 4 + length > stream.size())
                return false;
            if (type == 0x000A)
                return true;
            if (!onRecord(type, stream.substr(at + 4, length)))
                return false;
            at += 4 + length;
        }
        return false;
    };
    const bool globals = walk(0, [&](std::uint16_t type, std::string_view data) {
        if (type == 0x041E && data.size() >= 2) {
            formats[word(data, 0)] = NumberFormat::ofCode(biffString(data, 2));
        } else if (type == 0x00E0 && data.size() >= 4) {
            const unsigned id = word(data, 2);
            const auto custom = formats.find(id);
            styles.push_back(custom != formats.end() ? custom->second : NumberFormat::builtIn(static_cast<int>(id)));
        } else if (type == 0x0085 && data.size() >= 6 && !sheetAt && data[5] == 0) {
            sheetAt = word(data, 0) | static_cast<std::size_t>(word(data, 2)) << 16;
        }
        return true;
    });
    if (!globals || !sheetAt)
        return false;
    const auto shownBy = [&styles](unsigned style) { return style < styles.size() ? styles[style] : Shown::Number; };
    const auto number = [&](unsigned row, unsigned column, unsigned style, double d, bool formula) {
        if (shownBy(style) == Shown::Percent)
            overlays[{row, column}].unread =
                GBK("是百分数（文件里存的是") + numberText(d) + GBK("），请在表格程序中把它设成文本");
        else if (formula && shownBy(style) == Shown::Date)
            overlays[{row, column}].unread =
                GBK("是日期或时间（文件里存的是数字") + numberText(d) + GBK("），请在表格程序中把它设成文本");
        else if (formula)
            overlays[{row, column}].text = numberText(d);
    };
    std::optional<std::pair<unsigned, unsigned>> pendingString;
    return walk(*sheetAt, [&](std::uint16_t type, std::string_view data) {
        if (overlays.size() > SheetColumns::maxCells / 4)
            return false;
        if (type == 0x0207 && pendingString) {
            overlays[*pendingString].text = biffString(data, 0);
            pendingString.reset();
            return true;
        }
        if (data.size() < 6)
            return true;
        const unsigned row = word(data, 0);
        const unsigned column = word(data, 2);
        const unsigned style = word(data, 4);
        if (type == 0x0203 && data.size() >= 14) {
            double d = 0;
            std::memcpy(&d, data.data() + 6, sizeof d);
            number(row, column, style, d, false);
        } else if (type == 0x027E && data.size() >= 10) {
            number(row, column, style, rkValue(word(data, 6) | static_cast<std::uint32_t>(word(data, 8)) << 16), false);
        } else if (type == 0x00BD) {
            for (std::size_t at = 4, c = column; at + 6 <= data.size() - 2; at += 6, ++c)
                number(row, static_cast<unsigned>(c), word(data, at),
                       rkValue(word(data, at + 2) | static_cast<std::uint32_t>(word(data, at + 4)) << 16), false);
        } else if (type == 0x0006 && data.size() >= 14) {
            if (word(data, 12) != 0xFFFF) {
                double d = 0;
                std::memcpy(&d, data.data() + 6, sizeof d);
                number(row, column, style, d, true);
            } else if (data[6] == 0) {
                pendingString = std::make_pair(row, column);
            } else if (data[6] == 1) {
                overlays[{row, column}].text = data[8] != 0 ? "TRUE" : "FALSE";
            } else if (data[6] == 2) {
                overlays[{row, column}].unread = errorReason(static_cast<unsigned char>(data[8]));
            } else {
                overlays[{row, column}].text.clear();
            }
        } else if (type == 0x0205 && data.size() >= 8) {
            if (data[7] != 0)
                overlays[{row, column}].unread = errorReason(static_cast<unsigned char>(data[6]));
            else
                overlays[{row, column}].text = data[6] != 0 ? "TRUE" : "FALSE";
        }
        return true;
    });
}

std::vector<SheetRow> readCompound(const std::string& path, std::string_view bytes, std::string& error,
                                   std::vector<std::string>* notes)
{
    // Read from the bytes before libfreexl opens the file, so that the
    // fuzzing of the bytes reaches it too.
    Overlays overlays;
    if (std::string stream;
        CompoundFile(bytes).stream({"Workbook", "Book"}, stream) && !scanFirstSheet(stream, overlays)) {
        if (overlays.size() > SheetColumns::maxCells / 4) {
            error = SheetColumns::tooManyCells();
            return {};
        }
        // A stream this scan cannot follow: what libfreexl reads stands alone.
        overlays.clear();
    }
    const SheetFunctions* found = SheetLibraries::standard().functions();
    if (found == nullptr) {
        error = SheetLibraries::standard().lastErrorText();
        return {};
    }
    const SheetFunctions& api = *found;
    const void* raw = nullptr;
    const std::optional<std::string> name = platform::FileSystem::toSystemPath(path);
    const int opened = name ? api.freexl_open(name->c_str(), &raw) : FREEXL_FILE_NOT_FOUND;
    std::unique_ptr<const void, FreexlCloser> handle(raw, FreexlCloser{&api});
    unsigned rowCount = 0;
    unsigned short columnCount = 0;
    if (opened == FREEXL_INSUFFICIENT_MEMORY) {
        error = GBK("Excel 97-2003工作簿（.xls）太大，超出了导入的上限，文件没有读入");
        return {};
    }
    if (opened != FREEXL_OK) {
        // The container or its records do not hold together: cut short or damaged.
        error = damaged(GBK("文件不完整或内容错乱"));
        return {};
    }
    if (api.freexl_select_active_worksheet(raw, 0) != FREEXL_OK ||
        api.freexl_worksheet_dimensions(raw, &rowCount, &columnCount) != FREEXL_OK) {
        error = damaged(GBK("找不到工作表"));
        return {};
    }
    const unsigned columns = std::min<unsigned>(columnCount, maxColumns);
    if (rowCount > SheetColumns::maxRows) {
        error = SheetColumns::tooManyRows();
        return {};
    }
    if (static_cast<std::size_t>(rowCount) * columns > SheetColumns::maxCells) {
        error = SheetColumns::tooManyCells();
        return {};
    }
    unsigned sheetCount = 0;
    const char* sheetName = nullptr;
    if (notes != nullptr && api.freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &sheetCount) == FREEXL_OK &&
        sheetCount > 1 && api.freexl_get_worksheet_name(raw, 0, &sheetName) == FREEXL_OK && sheetName != nullptr)
        notes->push_back(GBK("工作簿有") + std::to_string(sheetCount) + GBK("个工作表，只读入了第一个“") +
                         platform::utf8ToGbk(sheetName) + GBK("”"));
    std::vector<SheetRow> rows;
    std::size_t textBytes = 0;
    for (unsigned r = 0; r < rowCount; ++r) {
        SheetRow row{static_cast<int>(r) + 1, {}, {}};
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            std::string text;
            if (api.freexl_get_cell_value(raw, r, c, &value) == FREEXL_OK) {
                switch (value.type) {
                case FREEXL_CELL_INT:
                    text = std::to_string(value.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    text = numberText(value.value.double_value);
                    break;
                case FREEXL_CELL_NULL:
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    row.unread.emplace_back(c, cellName(c) + GBK("是日期或时间（") +
                                                   std::string(value.value.text_value ? value.value.text_value : "") +
                                                   GBK("），请在表格程序中把它设成文本"));
                    break;
                default:
                    if (value.value.text_value != nullptr)
                        text = value.value.text_value;
                }
            }
            if (const auto overlay = overlays.find({r, c}); overlay != overlays.end()) {
                if (overlay->second.unread.empty()) {
                    text = overlay->second.text;
                } else {
                    text.clear();
                    row.unread.emplace_back(c, cellName(c) + overlay->second.unread);
                }
            }
            if (text.size() > 4u * SheetColumns::maxCellCharacters) {
                error = SheetColumns::cellTooLong(row.number, c);
                return {};
            }
            textBytes += text.size();
            if (textBytes > SheetColumns::maxTextBytes) {
                error = SheetColumns::tooMuchText();
                return {};
            }
            row.cells.push_back(std::move(text));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

std::vector<SheetRow> XlsFormat::readRecords(std::string_view bytes, std::string& error)
{
    error.clear();
    Cells cells;
    Unread unread;
    std::size_t cellCount = 0;
    std::size_t textBytes = 0;
    std::size_t at = 0;
    bool begun = false;
    bool ended = false;
    while (at + 4 <= bytes.size()) {
        const std::uint16_t type = word(bytes, at);
        const std::uint16_t length = word(bytes, at + 2);
        if (at + 4 + length > bytes.size())
            break;
        at += 4;
        const std::string_view data = bytes.substr(at, length);
        at += length;
        if (!begun) {
            // Every stream starts with a begin-of-file record of some version.
            if ((type & 0xFF) != 0x09) {
                error = GBK("不是Excel工作簿（.xls）文件");
                return {};
            }
            begun = true;
            continue;
        }
        if (type == 0x000A) {
            ended = true;
            break;
        }
        if (data.size() < 4)
            continue;
        const unsigned row = word(data, 0);
        const unsigned column = word(data, 2);
        if (column >= maxColumns)
            continue;
        std::string* cell = nullptr;
        if (type == 0x0204 || type == 0x0004 || type == 0x0201 || type == 0x0001 || type == 0x0203 || type == 0x027E) {
            std::map<unsigned, std::string>& columns = cells[row];
            if (!columns.contains(column) && ++cellCount > SheetColumns::maxCells) {
                error = SheetColumns::tooManyCells();
                return {};
            }
            cell = &columns[column];
        }
        if ((type == 0x0204 || type == 0x0004) && data.size() >= 8) {
            const std::size_t n = std::min<std::size_t>(
                type == 0x0204 ? word(data, 6) : static_cast<unsigned char>(data[7]), data.size() - 8);
            std::size_t invalidAt = 0;
            if (!platform::gbkToUtf8Checked(data.substr(8, n), *cell, invalidAt)) {
                error = GBK("第") + std::to_string(row + 1) + GBK("行第") + std::to_string(column + 1) +
                        GBK("列有不属于GBK编码的字节，文件没有读入");
                return {};
            }
            textBytes += cell->size();
        } else if (type == 0x0203 && data.size() >= 14) {
            double d = 0;
            std::memcpy(&d, data.data() + 6, sizeof d);
            *cell = numberText(d);
        } else if (type == 0x027E && data.size() >= 10) {
            const std::uint32_t rk = word(data, 6) | (static_cast<std::uint32_t>(word(data, 8)) << 16);
            *cell = numberText(rkValue(rk));
        } else if ((type == 0x0006 || type == 0x0205) && data.size() >= 8) {
            if (++cellCount > SheetColumns::maxCells) {
                error = SheetColumns::tooManyCells();
                return {};
            }
            if (type == 0x0205 && data[7] == 0)
                cells[row][column] = data[6] != 0 ? "TRUE" : "FALSE";
            else
                unread[row].emplace_back(column,
                                         cellName(column) + (type == 0x0006 ? GBK("是公式，请在表格程序中把它改成文本")
                                                                            : GBK("是错误值，请先在表格程序中改正")));
        }
        if (textBytes > SheetColumns::maxTextBytes) {
            error = SheetColumns::tooMuchText();
            return {};
        }
    }
    if (!begun) {
        error = GBK("不是Excel工作簿（.xls）文件");
        return {};
    }
    if (!ended) {
        error = damaged(GBK("文件在第") + std::to_string(at) + GBK("字节处中断，没有结束记录"));
        return {};
    }
    if (cells.size() + unread.size() > SheetColumns::maxRows) {
        error = SheetColumns::tooManyRows();
        return {};
    }
    return toRows(cells, unread);
}

ParsedBank XlsFormat::read(const std::string& path, std::string_view bytes)
{
    ParsedBank bank;
    std::vector<std::string> notes;
    std::vector<SheetRow> rows = bytes.starts_with(compoundSignature) ? readCompound(path, bytes, bank.error, &notes)
                                                                      : readRecords(bytes, bank.error);
    if (!bank.error.empty())
        return bank;
    bank = SheetColumns::toQuestions(std::move(rows));
    if (bank.error.empty())
        bank.notes = std::move(notes);
    return bank;
}

bool XlsFormat::write(const std::string& path, const std::vector<BankQuestion>& questions, std::string& error)
{
    XlsSheetWriter writer;
    if (!writer.beginSheet(path)) {
        error = GBK("无法创建Excel文件");
        return false;
    }
    std::size_t number = 0;
    for (const std::vector<std::string>& row : SheetColumns::toCells(questions)) {
        ++number;
        std::vector<std::string> gbk;
        gbk.reserve(row.size());
        for (const std::string& cell : row)
            gbk.push_back(platform::utf8ToGbk(cell));
        if (!writer.appendRow(gbk)) {
            writer.abandonSheet();
            error = GBK("第") + std::to_string(number) + GBK("行无法写入Excel 97-2003文件（单元格太长或超过65536行）");
            return false;
        }
    }
    if (!writer.finishSheet()) {
        error = GBK("Excel文件写入失败");
        return false;
    }
    return true;
}
