#include "exchange/XlsxFormat.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <QXmlStreamReader>
#include <xlsxwriter.h>
#include <zip.h>

#include <unistd.h>

#include <atomic>
#include <charconv>
#include <cmath>
#include <memory>
#include <optional>

namespace {

// A zip entry larger than this is refused rather than unpacked: a small
// crafted file must not fill the memory.
constexpr zip_uint64_t maxEntryBytes = 512u << 20;
constexpr int maxColumns = 256;

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;
using ZipEntry = std::unique_ptr<zip_file_t, ZipFileCloser>;

struct WorkbookCloser {
    void operator()(lxw_workbook* w) const
    {
        if (w != nullptr)
            workbook_close(w);
    }
};

std::optional<std::string> readEntry(zip_t* zip, const std::string& name)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(zip, name.c_str(), ZIP_FL_NOCASE, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 ||
        stat.size > maxEntryBytes)
        return std::nullopt;
    ZipEntry entry(zip_fopen(zip, name.c_str(), ZIP_FL_NOCASE));
    if (!entry)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(stat.size), '\0');
    zip_uint64_t done = 0;
    while (done < stat.size) {
        const zip_int64_t n = zip_fread(entry.get(), bytes.data() + done, stat.size - done);
        if (n <= 0)
            return std::nullopt;
        done += static_cast<zip_uint64_t>(n);
    }
    return bytes;
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

// Text of the current <si> or <is> element: its <t> parts, without phonetic runs.
QString stringItem(QXmlStreamReader& xml)
{
    QString text;
    const QString end = xml.name().toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return unescaped(text);
}

std::vector<std::string> sharedStrings(const std::string& bytes)
{
    std::vector<std::string> strings;
    QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("si"))
            strings.push_back(stringItem(xml).toStdString());
    }
    return strings;
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

std::vector<SheetRow> sheetRows(const std::string& bytes, const std::vector<std::string>& strings)
{
    std::vector<SheetRow> rows;
    QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            bool ok = false;
            const int number = attribute(xml, "r").toInt(&ok);
            rows.push_back({ok ? number : (rows.empty() ? 1 : rows.back().number + 1), {}});
            continue;
        }
        if (xml.name() != QLatin1String("c") || rows.empty())
            continue;
        SheetRow& row = rows.back();
        const QString type = attribute(xml, "t");
        const QString reference = attribute(xml, "r");
        int column = reference.isEmpty() ? static_cast<int>(row.cells.size()) : columnOf(reference);
        QString value;
        QString inlineText;
        bool hasInline = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("v")) {
                value = xml.readElementText();
            } else if (xml.isStartElement() && xml.name() == QLatin1String("is")) {
                inlineText = stringItem(xml);
                hasInline = true;
            } else if (xml.isEndElement() && xml.name() == QLatin1String("c")) {
                break;
            }
        }
        if (column < 0 || column >= maxColumns)
            continue;
        std::string text;
        if (type == QLatin1String("s")) {
            bool ok = false;
            const qlonglong index = value.toLongLong(&ok);
            if (ok && index >= 0 && static_cast<std::size_t>(index) < strings.size())
                text = strings[static_cast<std::size_t>(index)];
        } else if (type == QLatin1String("inlineStr") || hasInline) {
            text = inlineText.toStdString();
        } else if (type == QLatin1String("b")) {
            text = value == QLatin1String("1") ? "TRUE" : "FALSE";
        } else if (type == QLatin1String("str") || type == QLatin1String("e")) {
            text = unescaped(value).toStdString();
        } else {
            text = numberText(value);
        }
        if (row.cells.size() <= static_cast<std::size_t>(column))
            row.cells.resize(static_cast<std::size_t>(column) + 1);
        row.cells[static_cast<std::size_t>(column)] = std::move(text);
    }
    return rows;
}

} // namespace

std::vector<SheetRow> XlsxFormat::readSheet(std::string_view bytes, std::string& error)
{
    error.clear();
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zipError);
    ZipArchive zip(source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &zipError));
    zip_error_fini(&zipError);
    if (!zip) {
        if (source != nullptr)
            zip_source_free(source);
        error = GBK("不是Excel工作簿（.xlsx）文件");
        return {};
    }
    // The first sheet named in the workbook, through the workbook's relationships.
    std::optional<std::string> sheetPath;
    const std::optional<std::string> workbook = readEntry(zip.get(), "xl/workbook.xml");
    const std::optional<std::string> rels = readEntry(zip.get(), "xl/_rels/workbook.xml.rels");
    if (workbook && rels) {
        QXmlStreamReader xml(QByteArray::fromRawData(workbook->data(), static_cast<qsizetype>(workbook->size())));
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("sheet")) {
                for (const QXmlStreamAttribute& a : xml.attributes()) {
                    if (a.name() == QLatin1String("id") && !a.value().isEmpty())
                        sheetPath = relationshipTarget(*rels, a.value().toString(), {});
                }
                break;
            }
        }
    }
    std::optional<std::string> sheet = readEntry(zip.get(), sheetPath.value_or("xl/worksheets/sheet1.xml"));
    if (!sheet && sheetPath)
        sheet = readEntry(zip.get(), "xl/worksheets/sheet1.xml");
    if (!sheet) {
        error = GBK("Excel工作簿中找不到工作表");
        return {};
    }
    std::optional<std::string> stringsPath;
    if (rels)
        stringsPath = relationshipTarget(*rels, {}, QStringLiteral("/sharedStrings"));
    const std::optional<std::string> strings = readEntry(zip.get(), stringsPath.value_or("xl/sharedStrings.xml"));
    return sheetRows(*sheet, strings ? sharedStrings(*strings) : std::vector<std::string>());
}

ParsedBank XlsxFormat::read(std::string_view bytes)
{
    ParsedBank bank;
    std::vector<SheetRow> rows = readSheet(bytes, bank.error);
    if (!bank.error.empty())
        return bank;
    return SheetColumns::toQuestions(std::move(rows));
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
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(name ? workbook_new(name->c_str()) : nullptr);
    lxw_worksheet* sheet = workbook ? workbook_add_worksheet(workbook.get(), nullptr) : nullptr;
    if (sheet == nullptr) {
        error = GBK("无法创建Excel文件");
        return false;
    }
    worksheet_set_column(sheet, 0, 0, 40, nullptr);
    worksheet_set_column(sheet, 1, 4, 16, nullptr);
    const std::vector<std::vector<std::string>> cells = SheetColumns::toCells(questions);
    for (std::size_t r = 0; r < cells.size(); ++r) {
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            if (cells[r][c].empty())
                continue;
            if (worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), cells[r][c].c_str(),
                                       nullptr) != LXW_NO_ERROR) {
                // Freed without closing: closing would write the part file.
                lxw_workbook_free(workbook.release());
                error = GBK("第") + std::to_string(r + 1) + GBK("行无法写入Excel文件（单元格太长或行数太多）");
                return false;
            }
        }
    }
    const lxw_error closed = workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR) {
        platform::FileSystem::removeFile(*part);
        error = GBK("Excel文件写入失败：") + platform::utf8ToGbk(lxw_strerror(closed));
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
