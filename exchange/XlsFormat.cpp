#include "exchange/XlsFormat.h"

#include "db/XlsSheetWriter.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <freexl.h>

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
    void operator()(const void* handle) const { freexl_close(handle); }
};

using Cells = std::map<unsigned, std::map<unsigned, std::string>>;
using Unread = std::map<unsigned, std::vector<std::pair<int, std::string>>>;

std::vector<SheetRow> toRows(Cells& cells, Unread& unread)
{
    for (const auto& [row, reasons] : unread)
        cells[row];
    std::vector<SheetRow> rows;
    for (auto& [row, columns] : cells) {
        SheetRow sheetRow{static_cast<int>(row) + 1, {}, {}};
        for (auto& [column, text] : columns) {
            sheetRow.cells.resize(column + 1);
            sheetRow.cells[column] = std::move(text);
        }
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

std::vector<SheetRow> readCompound(const std::string& path, std::string& error, std::vector<std::string>* notes)
{
    const void* raw = nullptr;
    const std::optional<std::string> name = platform::FileSystem::toSystemPath(path);
    const int opened = name ? freexl_open(name->c_str(), &raw) : FREEXL_FILE_NOT_FOUND;
    std::unique_ptr<const void, FreexlCloser> handle(raw);
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
    if (freexl_select_active_worksheet(raw, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(raw, &rowCount, &columnCount) != FREEXL_OK) {
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
    if (notes != nullptr && freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &sheetCount) == FREEXL_OK && sheetCount > 1 &&
        freexl_get_worksheet_name(raw, 0, &sheetName) == FREEXL_OK && sheetName != nullptr)
        notes->push_back(GBK("工作簿有") + std::to_string(sheetCount) + GBK("个工作表，只读入了第一个“") +
                         platform::utf8ToGbk(sheetName) + GBK("”"));
    std::vector<SheetRow> rows;
    std::size_t textBytes = 0;
    for (unsigned r = 0; r < rowCount; ++r) {
        SheetRow row{static_cast<int>(r) + 1, {}, {}};
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            std::string text;
            if (freexl_get_cell_value(raw, r, c, &value) == FREEXL_OK) {
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
    std::vector<SheetRow> rows =
        bytes.starts_with(compoundSignature) ? readCompound(path, bank.error, &notes) : readRecords(bytes, bank.error);
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
