#include "exchange/BankFormat.h"

#include "exchange/AikenFormat.h"
#include "exchange/CsvFormat.h"
#include "exchange/GiftFormat.h"
#include "exchange/SheetColumns.h"
#include "exchange/XlsFormat.h"
#include "exchange/XlsxFormat.h"
#include "platform/CodePage.h"
#include "platform/FileBytes.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace {

std::string lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

bool writeBytes(const std::string& path, const std::string& bytes, std::string& error)
{
    if (!platform::FileSystem::replaceFile(path, bytes)) {
        error = platform::FileSystem::isDirectory(path) ? GBK("同名的文件夹已存在，无法写入：") + path
                                                        : GBK("文件写入失败：") + path;
        return false;
    }
    return true;
}

} // namespace

std::optional<BankFormat::Kind> BankFormat::fromPath(std::string_view path)
{
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos)
        return std::nullopt;
    const std::string extension = lower(path.substr(dot + 1));
    if (extension == "txt")
        return Kind::Aiken;
    return fromName(extension);
}

std::optional<BankFormat::Kind> BankFormat::fromName(std::string_view name)
{
    const std::string n = lower(name);
    if (n == "csv")
        return Kind::Csv;
    if (n == "xlsx")
        return Kind::Xlsx;
    if (n == "xls")
        return Kind::Xls;
    if (n == "aiken")
        return Kind::Aiken;
    if (n == "gift")
        return Kind::Gift;
    return std::nullopt;
}

bool BankFormat::checkReadable(const std::string& path, std::string& error, std::uint64_t limit)
{
    using platform::FileSystem;
    const auto refuse = [&](const char* why) {
        error = GBK("无法读取文件：") + path + platform::utf8ToGbk(why);
        return false;
    };
    if (!FileSystem::exists(path))
        return refuse("（文件不存在）");
    if (FileSystem::isDirectory(path))
        return refuse("（这是一个文件夹，不是文件）");
    const std::optional<std::uint64_t> size = FileSystem::fileSize(path);
    if (!size)
        return refuse("（这不是普通文件，可能是管道或设备）");
    if (*size > limit)
        return refuse("（文件大于50MB，超过了导入文件的上限）");
    std::string first;
    errno = 0;
    if (!FileSystem::readFile(path, first, 1))
        return refuse(errno == EACCES || errno == EPERM ? "（没有读取这个文件的权限）" : "（读取出错）");
    return true;
}

ParsedBank BankFormat::readFile(const std::string& path, Kind kind, TextEncoding encoding, bool wholeCategoryPath)
{
    platform::FileBytes bytes;
    if (std::string error; !checkReadable(path, error)) {
        ParsedBank bank;
        bank.error = std::move(error);
        return bank;
    }
    if (!bytes.read(path)) {
        ParsedBank bank;
        bank.error = GBK("无法读取文件：") + path;
        return bank;
    }
    return readBytes(bytes.view(), kind, encoding, path, wholeCategoryPath);
}

bool BankFormat::forEachQuestion(const std::string& path, Kind kind, TextEncoding encoding,
                                 const std::function<void(BankQuestion&&)>& onQuestion,
                                 std::vector<BankProblem>& problems, std::string& error,
                                 std::vector<std::string>* notes, bool wholeCategoryPath)
{
    if (kind == Kind::Csv) {
        platform::FileBytes bytes;
        if (!checkReadable(path, error))
            return false;
        if (!bytes.read(path)) {
            error = GBK("无法读取文件：") + path;
            return false;
        }
        return CsvFormat::forEachQuestion(bytes.view(), encoding, onQuestion, error);
    }
    ParsedBank bank = readFile(path, kind, encoding, wholeCategoryPath);
    if (!bank.error.empty()) {
        error = bank.error;
        return false;
    }
    problems.insert(problems.end(), bank.problems.begin(), bank.problems.end());
    if (notes != nullptr)
        notes->insert(notes->end(), bank.notes.begin(), bank.notes.end());
    for (BankQuestion& q : bank.questions)
        onQuestion(std::move(q));
    return true;
}

ParsedBank BankFormat::readBytes(std::string_view bytes, Kind kind, TextEncoding encoding, const std::string& path,
                                 bool wholeCategoryPath)
{
    switch (kind) {
    case Kind::Csv:
        return CsvFormat::read(bytes, encoding);
    case Kind::Xlsx:
        return XlsxFormat::read(bytes);
    case Kind::Xls:
        return XlsFormat::read(path, bytes);
    case Kind::Aiken:
        return AikenFormat::read(bytes, encoding);
    case Kind::Gift:
        return GiftFormat::read(bytes, encoding, wholeCategoryPath);
    }
    return {};
}

bool BankFormat::writeFile(const std::string& path, Kind kind, const std::vector<BankQuestion>& questions,
                           std::string& error, TextEncoding encoding)
{
    switch (kind) {
    case Kind::Csv:
        return writeBytes(path, CsvFormat::write(questions, encoding), error);
    case Kind::Xlsx:
        return XlsxFormat::write(path, questions, error);
    case Kind::Xls:
        return XlsFormat::write(path, questions, error);
    case Kind::Aiken:
        return writeBytes(path, AikenFormat::write(questions), error);
    case Kind::Gift:
        return writeBytes(path, GiftFormat::write(questions), error);
    }
    return false;
}

bool BankFormat::writeTemplate(const std::string& path, Kind kind, std::string& error, TextEncoding encoding)
{
    if (!isSpreadsheet(kind)) {
        error = GBK("只有CSV和Excel文件有模板");
        return false;
    }
    return writeFile(path, kind, SheetColumns::templateQuestions(), error, encoding);
}

std::vector<BankProblem> BankFormat::leftOut(Kind kind, const std::vector<BankQuestion>& questions)
{
    std::vector<BankProblem> out;
    if (kind != Kind::Aiken && kind != Kind::Gift)
        return out;
    for (std::size_t i = 0; i < questions.size(); ++i) {
        const BankQuestion& q = questions[i];
        const std::optional<std::string> why =
            kind == Kind::Aiken ? AikenFormat::cannotCarry(q) : GiftFormat::cannotCarry(q);
        if (!why)
            continue;
        const std::vector<std::string_view> lines = TextDecoder::lines(q.title);
        const std::string firstLine(lines.empty() ? std::string_view() : lines.front());
        out.push_back({static_cast<int>(i) + 1, GBK("“") + platform::utf8ToGbk(firstLine) +
                                                    (lines.size() > 1 ? GBK("…") : std::string()) + GBK("”没有导出：") +
                                                    *why});
    }
    return out;
}
