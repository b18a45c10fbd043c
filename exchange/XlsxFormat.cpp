#include "exchange/XlsxFormat.h"

#include "exchange/NumberFormat.h"
#include "exchange/SheetLibraries.h"
#include "exchange/ZipEntryDevice.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <QXmlStreamReader>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <optional>

namespace {

// Workbook, relationships and styles are small in any real file; the shared
// strings and the sheet carry the questions.
constexpr qint64 maxSmallPartBytes = 16 << 20;
constexpr qint64 maxPartBytes = 64 << 20;
constexpr std::size_t maxSharedStrings = 2000000;
constexpr int maxColumns = 256;

struct ZipCloser {
    const SheetFunctions* api;
    void operator()(zip_t* z) const { api->zip_discard(z); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;

struct WorkbookCloser {
    const SheetFunctions* api;
    void operator()(lxw_workbook* w) const
    {
        if (w != nullptr)
            api->workbook_close(w);
    }
};

std::string damaged(const std::string& what)
{
    return GBK("Excel工作簿（.xlsx）已损坏，文件没有读入：") + what;
}

// The reason a part could not be read, or empty when it was.
std::string partFailure(const ZipEntryDevice& device, const std::string& name, qint64 limit)
{
    switch (device.failure()) {
    case ZipEntryDevice::Failure::None:
        return {};
    case ZipEntryDevice::Failure::Missing:
        return damaged(GBK("缺少") + name);
    case ZipEntryDevice::Failure::TooLarge:
        return GBK("Excel工作簿中的") + name + GBK("解压后超过") + std::to_string(limit >> 20) +
               GBK(" MB，超出了导入的上限，文件没有读入");
    case ZipEntryDevice::Failure::Damaged:
        break;
    }
    return damaged(name + GBK("解压出错（数据或校验和不对）"));
}

std::string xmlFailure(const QXmlStreamReader& xml, const std::string& name)
{
    return damaged(name + GBK("在第") + std::to_string(xml.lineNumber()) + GBK("行") +
                   (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError ? GBK("中断，内容不完整")
                                                                                 : GBK("不是正确的XML")));
}

// A small part whole; nullopt with error set when it is damaged or too
// large, and with error empty when it is missing.
std::optional<std::string> readSmallPart(const SheetFunctions& api, zip_t* zip, const std::string& name,
                                         std::string& error)
{
    ZipEntryDevice device(api, zip, name, maxSmallPartBytes);
    std::string bytes;
    if (device.readAllInto(bytes))
        return bytes;
    if (device.failure() != ZipEntryDevice::Failure::Missing)
        error = partFailure(device, name, maxSmallPartBytes);
    return std::nullopt;
}

// Characters that XML cannot carry, above all CR, are written as "_xHHHH_";
// "_x005F_" stands for the underscore that would start such a sequence.
QString unescaped(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('_') && i + 6 < text.size() && text[i + 1] == QLatin1Char('x') &&
            text[i + 6] == QLatin1Char('_')) {
            bool ok = false;
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

QString attribute(const QXmlStreamReader& xml, const char* name)
{
    return xml.attributes().value(QLatin1String(name)).toString();
}

// Target of the relationship with this id, as a path inside the archive.
std::optional<std::string> relationshipTarget(const std::string& rels, const QString& id, const QString& typeSuffix)
{
    QXmlStreamReader xml(QByteArray::fromRawData(rels.data(), static_cast<qsizetype>(rels.size())));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Relationship")) {
            const bool wanted = id.isEmpty() ? attribute(xml, "Type").endsWith(typeSuffix) : attribute(xml, "Id") == id;
            if (wanted) {
                std::string target = attribute(xml, "Target").toStdString();
                if (target.starts_with('/'))
                    return target.substr(1);
                return "xl/" + target;
            }
        }
    }
    return std::nullopt;
}

// Text of the current <si> or <is> element: its <t> parts, without phonetic
// runs. Longer than a cell can hold sets tooLong and stops collecting.
QString stringItem(QXmlStreamReader& xml, bool& tooLong)
{
    QString text;
    const QString end = xml.name().toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0 && !tooLong)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            // Escapes take at most seven characters for one.
            if (text.size() > 7 * SheetColumns::maxCellCharacters) {
                tooLong = true;
                text.clear();
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    text = unescaped(text);
    if (text.size() > SheetColumns::maxCellCharacters)
        tooLong = true;
    return tooLong ? QString() : text;
}

using Shown = NumberFormat::Shown;

// How each cell style (the "s" of a cell) shows a number.
std::vector<Shown> cellStyles(const std::string& bytes)
{
    std::map<int, Shown> formats;
    std::vector<Shown> styles;
    QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("numFmt")) {
            formats[attribute(xml, "numFmtId").toInt()] =
                NumberFormat::ofCode(attribute(xml, "formatCode").toStdString());
        } else if (xml.isStartElement() && xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = true;
        } else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        } else if (inCellXfs && xml.isStartElement() && xml.name() == QLatin1String("xf")) {
            const int id = attribute(xml, "numFmtId").toInt();
            const auto custom = formats.find(id);
            styles.push_back(custom != formats.end() ? custom->second : NumberFormat::builtIn(id));
            xml.skipCurrentElement();
        }
    }
    return styles;
}

bool sharedStrings(const SheetFunctions& api, zip_t* zip, const std::string& name, std::vector<std::string>& strings,
                   std::string& error)
{
    ZipEntryDevice device(api, zip, name, maxPartBytes);
    if (device.failure() == ZipEntryDevice::Failure::Missing)
        return true;
    QXmlStreamReader xml(&device);
    std::size_t textBytes = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("si"))
            continue;
        if (strings.size() == maxSharedStrings) {
            error = GBK("Excel工作簿的共享文字超过") + std::to_string(maxSharedStrings) +
                    GBK("条，超出了导入的上限，文件没有读入");
            return false;
        }
        bool tooLong = false;
        strings.push_back(stringItem(xml, tooLong).toStdString());
        textBytes += strings.back().size();
        if (tooLong) {
            error = GBK("Excel工作簿的共享文字中有一条超过") + std::to_string(SheetColumns::maxCellCharacters) +
                    GBK("个字符（表格单元格的上限），文件没有读入");
            return false;
        }
        if (textBytes > SheetColumns::maxTextBytes) {
            error = SheetColumns::tooMuchText();
            return false;
        }
    }
    error = partFailure(device, name, maxPartBytes);
    if (error.empty() && xml.hasError())
        error = xmlFailure(xml, name);
    return error.empty();
}

// Column of a cell reference such as "AB12", from 0; -1 when there is none.
int columnOf(const QString& reference)
{
    int column = 0;
    int letters = 0;
    for (QChar c : reference) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z'))
            break;
        column = column * 26 + (c.unicode() - 'A' + 1);
        if (++letters > 3)
            return -1;
    }
    return letters == 0 ? -1 : column - 1;
}

// Numbers as a spreadsheet shows them by default: whole numbers without a point.
std::string numberText(const QString& value)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (ok && std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
        return std::to_string(static_cast<long long>(d));
    return value.toStdString();
}

// The cell the reader stands on: its text, or the reason it cannot be read.
struct Cell {
    QString type;
    QString value;
    QString inlineText;
    bool hasInline = false;
    bool hasFormula = false;
    bool tooLong = false;
    int style = 0;
};

Cell readCell(QXmlStreamReader& xml)
{
    Cell cell;
    cell.type = attribute(xml, "t");
    cell.style = attribute(xml, "s").toInt();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("v")) {
            cell.value = xml.readElementText();
            if (cell.value.size() > 7 * SheetColumns::maxCellCharacters)
                cell.tooLong = true;
        } else if (xml.isStartElement() && xml.name() == QLatin1String("f")) {
            cell.hasFormula = true;
            xml.skipCurrentElement();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("is")) {
            cell.inlineText = stringItem(xml, cell.tooLong);
            cell.hasInline = true;
        } else if (xml.isEndElement() && xml.name() == QLatin1String("c")) {
            break;
        }
    }
    return cell;
}

class SheetReader {
public:
    SheetReader(const std::vector<std::string>& strings, const std::vector<Shown>& styles)
        : strings_(strings), styles_(styles)
    {
    }

    bool read(const SheetFunctions& api, zip_t* zip, const std::string& name, std::vector<SheetRow>& rows,
              std::string& error);

private:
    // The text of a cell, or false with the reason in unread or error.
    bool text(const Cell& cell, SheetRow& row, int column, std::string& text, std::string& error);

    const std::vector<std::string>& strings_;
    const std::vector<Shown>& styles_;
};

bool SheetReader::text(const Cell& cell, SheetRow& row, int column, std::string& text, std::string& error)
{
    const std::string where = SheetColumns::columnName(column) + GBK("列");
    const auto unread = [&](const std::string& reason) {
        row.unread.emplace_back(column, where + reason);
        return false;
    };
    if (cell.tooLong) {
        error = SheetColumns::cellTooLong(row.number, column);
        return false;
    }
    if (cell.type == QLatin1String("s")) {
        bool ok = false;
        const qlonglong index = cell.value.toLongLong(&ok);
        if (!ok || index < 0 || static_cast<std::size_t>(index) >= strings_.size()) {
            error = damaged(GBK("第") + std::to_string(row.number) + GBK("行") + where + GBK("指向的共享文字不存在"));
            return false;
        }
        text = strings_[static_cast<std::size_t>(index)];
        return true;
    }
    if (cell.type == QLatin1String("inlineStr") || cell.hasInline) {
        text = cell.inlineText.toStdString();
        return true;
    }
    if (cell.type == QLatin1String("e"))
        return unread(GBK("是错误值") + unescaped(cell.value).toStdString() + GBK("，请先在表格程序中改正"));
    if (cell.hasFormula && cell.value.isEmpty())
        return unread(GBK("是公式，文件中没有保存它的结果，请在表格程序中打开并保存一次，或改成文本"));
    if (cell.type == QLatin1String("b")) {
        text = cell.value == QLatin1String("1") ? "TRUE" : "FALSE";
        return true;
    }
    if (cell.type == QLatin1String("str")) {
        text = unescaped(cell.value).toStdString();
        return true;
    }
    if (cell.type == QLatin1String("d"))
        return unread(GBK("是日期或时间，请在表格程序中把它设成文本"));
    const Shown shown = cell.style >= 0 && static_cast<std::size_t>(cell.style) < styles_.size()
                            ? styles_[static_cast<std::size_t>(cell.style)]
                            : Shown::Number;
    if (shown == Shown::Date && !cell.value.isEmpty())
        return unread(GBK("是日期或时间（文件里存的是数字") + cell.value.toStdString() +
                      GBK("），请在表格程序中把它设成文本"));
    if (shown == Shown::Percent && !cell.value.isEmpty())
        return unread(GBK("是百分数（文件里存的是") + cell.value.toStdString() + GBK("），请在表格程序中把它设成文本"));
    text = numberText(cell.value);
    return true;
}

bool SheetReader::read(const SheetFunctions& api, zip_t* zip, const std::string& name, std::vector<SheetRow>& rows,
                       std::string& error)
{
    ZipEntryDevice device(api, zip, name, maxPartBytes);
    if (device.failure() == ZipEntryDevice::Failure::Missing) {
        error = damaged(GBK("找不到工作表") + name);
        return false;
    }
    QXmlStreamReader xml(&device);
    std::size_t cells = 0;
    std::size_t textBytes = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            if (rows.size() == SheetColumns::maxRows) {
                error = SheetColumns::tooManyRows();
                return false;
            }
            bool ok = false;
            const int number = attribute(xml, "r").toInt(&ok);
            rows.push_back({ok ? number : (rows.empty() ? 1 : rows.back().number + 1), {}, {}});
            continue;
        }
        if (xml.name() != QLatin1String("c") || rows.empty())
            continue;
        SheetRow& row = rows.back();
        const QString reference = attribute(xml, "r");
        const int column = reference.isEmpty() ? static_cast<int>(row.cells.size()) : columnOf(reference);
        const Cell cell = readCell(xml);
        if (column < 0 || column >= maxColumns)
            continue;
        std::string text;
        if (!this->text(cell, row, column, text, error)) {
            if (!error.empty())
                return false;
            continue;
        }
        if (row.cells.size() <= static_cast<std::size_t>(column)) {
            cells += static_cast<std::size_t>(column) + 1 - row.cells.size();
            if (cells > SheetColumns::maxCells) {
                error = SheetColumns::tooManyCells();
                return false;
            }
            row.cells.resize(static_cast<std::size_t>(column) + 1);
        }
        textBytes += text.size();
        if (textBytes > SheetColumns::maxTextBytes) {
            error = SheetColumns::tooMuchText();
            return false;
        }
        row.cells[static_cast<std::size_t>(column)] = std::move(text);
    }
    error = partFailure(device, name, maxPartBytes);
    if (error.empty() && xml.hasError())
        error = xmlFailure(xml, name);
    return error.empty();
}

// The sheets the workbook names, in its order: name and relationship id.
std::vector<std::pair<std::string, QString>> sheetsOf(const std::string& workbook)
{
    std::vector<std::pair<std::string, QString>> sheets;
    QXmlStreamReader xml(QByteArray::fromRawData(workbook.data(), static_cast<qsizetype>(workbook.size())));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("sheet")) {
            QString id;
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                if (a.name() == QLatin1String("id"))
                    id = a.value().toString();
            }
            sheets.emplace_back(attribute(xml, "name").toStdString(), id);
        }
    }
    return sheets;
}

std::vector<SheetRow> readWorkbook(std::string_view bytes, std::string& error, std::vector<std::string>* notes)
{
    error.clear();
    const SheetFunctions* found = SheetLibraries::standard().functions();
    if (found == nullptr) {
        error = SheetLibraries::standard().lastErrorText();
        return {};
    }
    const SheetFunctions& api = *found;
    zip_error_t zipError;
    api.zip_error_init(&zipError);
    zip_source_t* source = api.zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zipError);
    ZipArchive zip(source == nullptr ? nullptr : api.zip_open_from_source(source, ZIP_RDONLY, &zipError),
                   ZipCloser{&api});
    api.zip_error_fini(&zipError);
    if (!zip) {
        if (source != nullptr)
            api.zip_source_free(source);
        // A zip's first entry header without a readable directory: the end of the file is missing.
        error = bytes.starts_with("PK\x03\x04") ? damaged(GBK("文件不完整，可能只复制了一部分"))
                                                : GBK("不是Excel工作簿（.xlsx）文件");
        return {};
    }
    // The first sheet named in the workbook, through the workbook's relationships.
    std::optional<std::string> sheetPath;
    const std::optional<std::string> workbook = readSmallPart(api, zip.get(), "xl/workbook.xml", error);
    const std::optional<std::string> rels =
        error.empty() ? readSmallPart(api, zip.get(), "xl/_rels/workbook.xml.rels", error) : std::nullopt;
    if (!error.empty())
        return {};
    if (workbook && rels) {
        const auto sheets = sheetsOf(*workbook);
        if (!sheets.empty() && !sheets.front().second.isEmpty()) {
            sheetPath = relationshipTarget(*rels, sheets.front().second, {});
            if (!sheetPath) {
                error = damaged(GBK("工作表“") + platform::utf8ToGbk(sheets.front().first) + GBK("”没有对应的内容"));
                return {};
            }
        }
        if (sheets.size() > 1 && notes != nullptr)
            notes->push_back(GBK("工作簿有") + std::to_string(sheets.size()) + GBK("个工作表，只读入了第一个“") +
                             platform::utf8ToGbk(sheets.front().first) + GBK("”"));
    }
    std::vector<std::string> strings;
    std::vector<Shown> styles;
    if (rels) {
        const std::optional<std::string> stringsPath = relationshipTarget(*rels, {}, QStringLiteral("/sharedStrings"));
        if (!sharedStrings(api, zip.get(), stringsPath.value_or("xl/sharedStrings.xml"), strings, error))
            return {};
        if (const std::optional<std::string> stylesPath = relationshipTarget(*rels, {}, QStringLiteral("/styles"))) {
            const std::optional<std::string> stylesXml = readSmallPart(api, zip.get(), *stylesPath, error);
            if (!error.empty())
                return {};
            if (stylesXml)
                styles = cellStyles(*stylesXml);
        }
    } else if (!sharedStrings(api, zip.get(), "xl/sharedStrings.xml", strings, error)) {
        return {};
    }
    std::vector<SheetRow> rows;
    const std::string sheetName = sheetPath.value_or("xl/worksheets/sheet1.xml");
    if (!sheetPath && api.zip_name_locate(zip.get(), sheetName.c_str(), ZIP_FL_NOCASE) < 0) {
        error = GBK("Excel工作簿中找不到工作表");
        return {};
    }
    if (!SheetReader(strings, styles).read(api, zip.get(), sheetName, rows, error))
        return {};
    return rows;
}

} // namespace

std::vector<SheetRow> XlsxFormat::readSheet(std::string_view bytes, std::string& error)
{
    return readWorkbook(bytes, error, nullptr);
}

ParsedBank XlsxFormat::read(std::string_view bytes)
{
    std::vector<std::string> notes;
    std::string error;
    std::vector<SheetRow> rows = readWorkbook(bytes, error, &notes);
    if (!error.empty()) {
        ParsedBank bank;
        bank.error = std::move(error);
        return bank;
    }
    ParsedBank bank = SheetColumns::toQuestions(std::move(rows));
    if (bank.error.empty())
        bank.notes = std::move(notes);
    return bank;
}

namespace {

// A name in the target's folder that no other file has, so that the finished
// workbook can be renamed over the target.
std::optional<std::string> partNameBeside(const std::string& target)
{
    static std::atomic<unsigned> made{0};
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string part =
            folder + ".saving-" + std::to_string(::getpid()) + "-" + std::to_string(made++) + ".xlsx.part";
        if (!platform::FileSystem::exists(part))
            return part;
    }
    return std::nullopt;
}

} // namespace

bool XlsxFormat::write(const std::string& path, const std::vector<BankQuestion>& questions, std::string& error)
{
    // The library writes straight to the name it is given, even after a
    // refused cell, so it gets a name of its own beside the target: an
    // earlier file there stays whole until the new one is complete.
    const std::optional<std::string> part = partNameBeside(path);
    const std::optional<std::string> name = part ? platform::FileSystem::toSystemPath(*part) : std::nullopt;
    const SheetFunctions* found = SheetLibraries::standard().functions();
    if (found == nullptr) {
        error = SheetLibraries::standard().lastErrorText();
        return false;
    }
    const SheetFunctions& api = *found;
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(name ? api.workbook_new(name->c_str()) : nullptr,
                                                           WorkbookCloser{&api});
    lxw_worksheet* sheet = workbook ? api.workbook_add_worksheet(workbook.get(), nullptr) : nullptr;
    if (sheet == nullptr) {
        error = GBK("无法创建Excel文件");
        return false;
    }
    api.worksheet_set_column(sheet, 0, 0, 40, nullptr);
    api.worksheet_set_column(sheet, 1, 4, 16, nullptr);
    const std::vector<std::vector<std::string>> cells = SheetColumns::toCells(questions);
    for (std::size_t r = 0; r < cells.size(); ++r) {
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            if (cells[r][c].empty())
                continue;
            if (api.worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                           cells[r][c].c_str(), nullptr) != LXW_NO_ERROR) {
                // Freed without closing: closing would write the part file.
                api.lxw_workbook_free(workbook.release());
                error = GBK("第") + std::to_string(r + 1) + GBK("行无法写入Excel文件（单元格太长或行数太多）");
                return false;
            }
        }
    }
    const lxw_error closed = api.workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR) {
        platform::FileSystem::removeFile(*part);
        error = GBK("Excel文件写入失败：") + platform::utf8ToGbk(api.lxw_strerror(closed));
        return false;
    }
    if (!platform::FileSystem::rename(*part, path)) {
        platform::FileSystem::removeFile(*part);
        error = platform::FileSystem::isDirectory(path) ? GBK("同名的文件夹已存在，无法写入：") + path
                                                        : GBK("文件写入失败：") + path;
        return false;
    }
    return true;
}
