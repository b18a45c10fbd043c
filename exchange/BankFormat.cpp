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
        error = GBK("文件写入失败：") + path;
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

ParsedBank BankFormat::readFile(const std::string& path, Kind kind, TextEncoding encoding)
{
    platform::FileBytes bytes;
    if (!bytes.read(path)) {
        ParsedBank bank;
        bank.error = GBK("无法读取文件：") + path;
        return bank;
    }
    return readBytes(bytes.view(), kind, encoding, path);
}

bool BankFormat::forEachQuestion(const std::string& path, Kind kind, TextEncoding encoding,
                                 const std::function<void(BankQuestion&&)>& onQuestion,
                                 std::vector<BankProblem>& problems, std::string& error,
                                 std::vector<std::string>* notes)
{
    if (kind == Kind::Csv) {
        platform::FileBytes bytes;
        if (!bytes.read(path)) {
            error = GBK("无法读取文件：") + path;
            return false;
        }
        return CsvFormat::forEachQuestion(bytes.view(), encoding, onQuestion, error);
    }
    ParsedBank bank = readFile(path, kind, encoding);
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

ParsedBank BankFormat::readBytes(std::string_view bytes, Kind kind, TextEncoding encoding, const std::string& path)
{
    switch (kind) {
    case Kind::Csv:
        return CsvFormat::read(bytes, encoding);
    case Kind::Xlsx:
        return XlsxFormat::read(bytes);
    case Kind::Xls:
        return XlsFormat::read(path, bytes);
    case Kind::Aiken:
        return AikenFormat::read(bytes);
    case Kind::Gift:
        return GiftFormat::read(bytes);
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
