#include "exchange/XlsFormat.h"

#include "db/XlsSheetWriter.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <freexl.h>

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

std::vector<SheetRow> toRows(std::map<unsigned, std::map<unsigned, std::string>>& cells)
{
    std::vector<SheetRow> rows;
    for (auto& [row, columns] : cells) {
        SheetRow sheetRow{static_cast<int>(row) + 1, {}};
        for (auto& [column, text] : columns) {
            sheetRow.cells.resize(column + 1);
            sheetRow.cells[column] = std::move(text);
        }
        rows.push_back(std::move(sheetRow));
    }
    return rows;
}

std::vector<SheetRow> readCompound(const std::string& path, std::string& error)
{
    const void* raw = nullptr;
    const std::optional<std::string> name = platform::FileSystem::toSystemPath(path);
    const int opened = name ? freexl_open(name->c_str(), &raw) : FREEXL_FILE_NOT_FOUND;
    std::unique_ptr<const void, FreexlCloser> handle(raw);
    unsigned rowCount = 0;
    unsigned short columnCount = 0;
    if (opened != FREEXL_OK || freexl_select_active_worksheet(raw, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(raw, &rowCount, &columnCount) != FREEXL_OK) {
        error = GBK("无法读取这个Excel 97-2003工作簿（.xls）");
        return {};
    }
    std::vector<SheetRow> rows;
    for (unsigned r = 0; r < rowCount; ++r) {
        SheetRow row{static_cast<int>(r) + 1, {}};
        for (unsigned short c = 0; c < columnCount && c < maxColumns; ++c) {
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
                default:
                    if (value.value.text_value != nullptr)
                        text = value.value.text_value;
                }
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
    std::map<unsigned, std::map<unsigned, std::string>> cells;
    std::size_t at = 0;
    bool begun = false;
    while (at + 4 <= bytes.size()) {
        const std::uint16_t type = word(bytes, at);
        const std::uint16_t length = word(bytes, at + 2);
        at += 4;
        if (at + length > bytes.size())
            break;
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
        if (type == 0x000A)
            break;
        if (data.size() < 4)
            continue;
        const unsigned row = word(data, 0);
        const unsigned column = word(data, 2);
        if (column >= maxColumns)
            continue;
        if ((type == 0x0204 || type == 0x0004) && data.size() >= 8) {
            const std::size_t n = std::min<std::size_t>(
                type == 0x0204 ? word(data, 6) : static_cast<unsigned char>(data[7]), data.size() - 8);
            std::size_t invalidAt = 0;
            if (!platform::gbkToUtf8Checked(data.substr(8, n), cells[row][column], invalidAt)) {
                error = GBK("第") + std::to_string(row + 1) + GBK("行第") + std::to_string(column + 1) +
                        GBK("列有不属于GBK编码的字节，文件没有读入");
                return {};
            }
        } else if (type == 0x0201 || type == 0x0001) {
            cells[row][column];
        } else if (type == 0x0203 && data.size() >= 14) {
            double d = 0;
            std::memcpy(&d, data.data() + 6, sizeof d);
            cells[row][column] = numberText(d);
        } else if (type == 0x027E && data.size() >= 10) {
            const std::uint32_t rk = word(data, 6) | (static_cast<std::uint32_t>(word(data, 8)) << 16);
            cells[row][column] = numberText(rkValue(rk));
        }
    }
    if (!begun) {
        error = GBK("不是Excel工作簿（.xls）文件");
        return {};
    }
    return toRows(cells);
}

ParsedBank XlsFormat::read(const std::string& path, std::string_view bytes)
{
    ParsedBank bank;
    std::vector<SheetRow> rows =
        bytes.starts_with(compoundSignature) ? readCompound(path, bank.error) : readRecords(bytes, bank.error);
    if (!bank.error.empty())
        return bank;
    return SheetColumns::toQuestions(std::move(rows));
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
