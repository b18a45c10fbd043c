#include "exchange/CsvFormat.h"

#include "platform/CodePage.h"

#include <algorithm>

ParsedBank CsvFormat::read(std::string_view bytes, TextEncoding encoding)
{
    return SheetColumns::toQuestions(parse(TextDecoder::toUtf8(bytes, encoding)));
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
    SheetColumns columns;
    BankQuestion question;
    parse(TextDecoder::toUtf8(bytes, encoding), [&](SheetRow&& row) {
        if (columns.take(std::move(row), question))
            onQuestion(std::move(question));
    });
    columns.finish();
    error = columns.error();
    return error.empty();
}

namespace {

// The separator or line end at or after from, or the end of the text. A
// plain loop: find_first_of searches its set once per character.
std::size_t fieldEnd(std::string_view text, std::size_t from)
{
    while (from < text.size() && text[from] != ',' && text[from] != '\r' && text[from] != '\n')
        ++from;
    return from;
}

} // namespace

void CsvFormat::parse(std::string_view text, const std::function<void(SheetRow&&)>& onRecord)
{
    SheetRow row{1, {}};
    std::size_t width = 0;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        std::string field;
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
        row.cells.push_back(std::move(field));
        if (i < n && text[i] == ',') {
            ++i;
            if (i == n)
                row.cells.emplace_back();
            continue;
        }
        if (i < n && text[i] == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        ++i;
        const int next = row.number + 1;
        width = row.cells.size();
        onRecord(std::move(row));
        row = SheetRow{next, {}};
        row.cells.reserve(width);
    }
    if (!row.cells.empty())
        onRecord(std::move(row));
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
