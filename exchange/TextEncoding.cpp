#include "exchange/TextEncoding.h"

#include "platform/CodePage.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cctype>

namespace {

// Where the byte at offset stands: its line (CR LF, LF and CR count as one
// break each) and its byte within the line, or, for comma-separated text, its
// record and field. The marks are ASCII, which no GBK trail byte and no byte
// of a UTF-8 sequence can be, so the count holds in both encodings.
std::string placeOf(std::string_view text, std::size_t offset, TextDecoder::Layout layout)
{
    std::size_t row = 1, column = 1, lineStart = 0;
    bool quoted = false, fieldStart = true;
    for (std::size_t i = 0; i < offset; ++i) {
        const char c = text[i];
        if (layout == TextDecoder::Layout::Records && quoted) {
            if (c == '"' && i + 1 < offset && text[i + 1] == '"')
                ++i;
            else if (c == '"')
                quoted = false;
            continue;
        }
        const bool lineEnd = c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'));
        if (lineEnd) {
            ++row;
            column = 1;
            lineStart = i + 1;
            fieldStart = true;
        } else if (layout == TextDecoder::Layout::Records && c == ',') {
            ++column;
            fieldStart = true;
        } else if (c != '\r') {
            quoted = layout == TextDecoder::Layout::Records && fieldStart && c == '"';
            fieldStart = false;
        }
    }
    if (layout == TextDecoder::Layout::Records)
        return GBK("第") + std::to_string(row) + GBK("行第") + std::to_string(column) + GBK("列");
    return GBK("第") + std::to_string(row) + GBK("行第") + std::to_string(offset - lineStart + 1) + GBK("个字节处");
}

// UTF-8 with a stray byte or two is still UTF-8: text in GBK forms a valid
// UTF-8 sequence only now and then by chance, and breaks it far more often.
bool mostlyUtf8(std::string_view bytes)
{
    std::size_t sequences = 0, strays = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t bad = platform::Utf8::firstInvalid(bytes.substr(pos));
        const std::string_view good = bytes.substr(pos, bad == std::string_view::npos ? bytes.size() - pos : bad);
        sequences += static_cast<std::size_t>(std::count_if(
            good.begin(), good.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0xC0; }));
        if (bad == std::string_view::npos)
            break;
        // Text in GBK breaks every few bytes; a long file need not be walked to the end to tell.
        if (++strays >= 64 && sequences < 4 * strays)
            return false;
        pos += bad + 1;
    }
    return sequences >= 4 * strays;
}

} // namespace

std::optional<std::string_view> TextDecoder::toUtf8(std::string_view bytes, TextEncoding encoding,
                                                    std::string& converted, std::string& error, Layout layout)
{
    if (encoding != TextEncoding::Gbk) {
        const std::size_t invalidAt = platform::Utf8::firstInvalid(bytes);
        if (invalidAt == std::string_view::npos)
            return withoutByteOrderMark(bytes);
        if (encoding == TextEncoding::Auto)
            encoding = bytes.starts_with(byteOrderMark) || mostlyUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Gbk;
    }
    if (encoding == TextEncoding::Utf8) {
        const std::size_t invalidAt = platform::Utf8::firstInvalid(bytes);
        error = GBK("文件") + placeOf(bytes, invalidAt, layout) + GBK("有不属于UTF-8编码的字节（全文第") +
                std::to_string(invalidAt + 1) + GBK("个字节），文件没有读入；请改正这个字节或确认文件的编码");
        return std::nullopt;
    }
    std::size_t invalidAt = 0;
    if (!platform::gbkToUtf8Checked(bytes, converted, invalidAt)) {
        error = GBK("文件") + placeOf(bytes, invalidAt, layout) + GBK("有不属于GBK编码的字节（全文第") +
                std::to_string(invalidAt + 1) + GBK("个字节），文件没有读入；请确认文件的编码");
        return std::nullopt;
    }
    return std::string_view(converted);
}

std::string_view TextDecoder::withoutByteOrderMark(std::string_view bytes)
{
    if (bytes.starts_with(byteOrderMark))
        bytes.remove_prefix(byteOrderMark.size());
    return bytes;
}

TextEncoding TextDecoder::parse(std::string_view name, bool& ok)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    ok = true;
    if (lower == "utf8" || lower == "utf-8")
        return TextEncoding::Utf8;
    if (lower == "gbk")
        return TextEncoding::Gbk;
    ok = lower == "auto";
    return TextEncoding::Auto;
}

std::vector<std::string_view> TextDecoder::lines(std::string_view text)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        out.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        out.push_back(text.substr(start));
    return out;
}
