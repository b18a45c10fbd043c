#include "exchange/CsvFormat.h"

#include "platform/CodePage.h"

ParsedBank CsvFormat::read(std::string_view bytes, TextEncoding encoding)
{
    return SheetColumns::toQuestions(parse(TextDecoder::toUtf8(bytes, encoding)));
}

std::vector<SheetRow> CsvFormat::parse(std::string_view text)
{
    std::vector<SheetRow> rows;
    SheetRow row{1, {}};
    std::string field;
    bool quoted = false;
    bool fieldStarted = false;
    auto endField = [&] {
        row.cells.push_back(std::move(field));
        field.clear();
        fieldStarted = false;
    };
    auto endRecord = [&] {
        endField();
        const int next = row.number + 1;
        rows.push_back(std::move(row));
        row = SheetRow{next, {}};
    };
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < n && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        switch (c) {
        case '"':
            // A quote opens a quoted stretch only at the start of a field;
            // elsewhere it is taken as it stands, as lenient readers do.
            if (!fieldStarted && field.empty())
                quoted = true;
            else
                field += c;
            fieldStarted = true;
            break;
        case ',':
            endField();
            break;
        case '\r':
            if (i + 1 < n && text[i + 1] == '\n')
                ++i;
            endRecord();
            break;
        case '\n':
            endRecord();
            break;
        default:
            field += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.empty() || !row.cells.empty())
        endRecord();
    return rows;
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
