#include "exchange/TextEncoding.h"

#include "platform/CodePage.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cctype>

namespace {

// Line of the byte at offset, counting CR LF, LF and CR as one break each.
// Neither byte can trail a GBK lead byte, so the count holds in GBK too.
std::size_t lineOf(std::string_view text, std::size_t offset)
{
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++line;
    }
    return line;
}

} // namespace

std::optional<std::string_view> TextDecoder::toUtf8(std::string_view bytes, TextEncoding encoding,
                                                    std::string& converted, std::string& error)
{
    const bool marked = bytes.starts_with(byteOrderMark);
    if (encoding == TextEncoding::Auto)
        encoding = marked || platform::Utf8::isValid(bytes) ? TextEncoding::Utf8 : TextEncoding::Gbk;
    if (encoding == TextEncoding::Utf8)
        return withoutByteOrderMark(bytes);
    std::size_t invalidAt = 0;
    if (!platform::gbkToUtf8Checked(bytes, converted, invalidAt)) {
        error = GBK("文件第") + std::to_string(lineOf(bytes, invalidAt)) + GBK("行有不属于GBK编码的字节（第") +
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
