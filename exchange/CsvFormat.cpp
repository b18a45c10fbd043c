#include "exchange/CsvFormat.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

ParsedBank CsvFormat::read(std::string_view bytes, TextEncoding encoding)
{
    std::string converted, error;
    const std::optional<std::string_view> text =
        TextDecoder::toUtf8(bytes, encoding, converted, error, TextDecoder::Layout::Records);
    if (!text) {
        ParsedBank bank;
        bank.error = std::move(error);
        return bank;
    }
    return SheetColumns::toQuestions(parse(*text));
}

std::vector<SheetRow> CsvFormat::parse(std::string_view text)
{
    std::vector<SheetRow> rows;
    parse(text, [&rows](SheetRow&& row) { rows.push_back(std::move(row)); });
    return rows;
}

bool CsvFormat::forEachQuestion(std::string_view bytes, TextEncoding encoding,
                                const std::function<void(BankQuestion&&)>& onQuestion, std::string& error)
{
    std::string converted;
    const std::optional<std::string_view> text =
        TextDecoder::toUtf8(bytes, encoding, converted, error, TextDecoder::Layout::Records);
    if (!text)
        return false;
    SheetColumns columns;
    BankQuestion question;
    // Rows are copied into the one question rather than moved, so that the
    // texts of both keep their room from one row to the next.
    parse(*text, [&](SheetRow&& row) {
        if (columns.take(std::as_const(row), question))
            onQuestion(std::move(question));
    });
    columns.finish();
    error = columns.error();
    return error.empty();
}

namespace {

// The separator or line end at or after from, or the end of the text. Eight
// bytes at a time where the machine allows, since Chinese fields run long:
// in a word, x - 1 & ~x sets the high bit of the lowest byte that is zero
// (and perhaps of bytes above it), so the lowest bit set over the three
// marks is the first byte that ends the field.
std::size_t fieldEnd(std::string_view text, std::size_t from)
{
    const std::size_t n = text.size();
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t ones = 0x0101010101010101u;
        constexpr std::uint64_t highs = 0x8080808080808080u;
        const auto zeroAt = [](std::uint64_t word, char c) {
            const std::uint64_t x = word ^ (ones * static_cast<unsigned char>(c));
            return (x - ones) & ~x & highs;
        };
        for (; from + sizeof(std::uint64_t) <= n; from += sizeof(std::uint64_t)) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + from, sizeof word);
            if (const std::uint64_t ends = zeroAt(word, ',') | zeroAt(word, '\r') | zeroAt(word, '\n'))
                return from + static_cast<std::size_t>(std::countr_zero(ends)) / 8;
        }
    }
    while (from < n && text[from] != ',' && text[from] != '\r' && text[from] != '\n')
        ++from;
    return from;
}

} // namespace

void CsvFormat::parse(std::string_view text, const std::function<void(SheetRow&&)>& onRecord)
{
    // The cells of one record are refilled for the next, keeping their room
    // unless the receiver took them.
    SheetRow row{1, {}};
    std::size_t used = 0;
    const auto nextField = [&row, &used]() -> std::string& {
        if (used == row.cells.size())
            row.cells.emplace_back();
        std::string& field = row.cells[used++];
        field.clear();
        return field;
    };
    std::size_t width = 0;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        std::string& field = nextField();
        if (text[i] == '"') {
            // Quoted: runs up to each quote are taken whole; a doubled quote is one quote.
            ++i;
            while (i < n) {
                const std::size_t quote = std::min(text.find('"', i), n);
                field.append(text, i, quote - i);
                i = quote + 1;
                if (i < n && text[i] == '"') {
                    field += '"';
                    ++i;
                } else {
                    break;
                }
            }
            // Anything between the closing quote and the separator is kept, as lenient readers do.
            const std::size_t end = fieldEnd(text, i);
            if (i < end)
                field.append(text, i, end - i);
            i = std::min(end, n);
        } else {
            const std::size_t end = fieldEnd(text, i);
            field.assign(text, i, end - i);
            i = end;
        }
        if (i < n && text[i] == ',') {
            ++i;
            if (i == n)
                nextField();
            continue;
        }
        if (i < n && text[i] == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        ++i;
        width = used;
        row.cells.resize(used);
        onRecord(std::move(row));
        ++row.number;
        used = 0;
        if (row.cells.capacity() == 0)
            row.cells.reserve(width);
    }
    if (used > 0) {
        row.cells.resize(used);
        onRecord(std::move(row));
    }
}

namespace {

void appendField(std::string& out, const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos && !field.starts_with(' ') && !field.ends_with(' ')) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

std::string CsvFormat::write(const std::vector<BankQuestion>& questions, TextEncoding encoding)
{
    std::string out(encoding == TextEncoding::Gbk ? "" : TextDecoder::byteOrderMark);
    for (const std::vector<std::string>& row : SheetColumns::toCells(questions)) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                out += ',';
            appendField(out, row[i]);
        }
        out += "\r\n";
    }
    return encoding == TextEncoding::Gbk ? platform::utf8ToGbk(out) : out;
}
