#include "exchange/TextEncoding.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <cctype>

std::string TextDecoder::toUtf8(std::string_view bytes, TextEncoding encoding)
{
    std::string converted;
    const std::string_view text = toUtf8(bytes, encoding, converted);
    return text.data() == converted.data() ? std::move(converted) : std::string(text);
}

std::string_view TextDecoder::toUtf8(std::string_view bytes, TextEncoding encoding, std::string& converted)
{
    const bool marked = bytes.starts_with(byteOrderMark);
    if (encoding == TextEncoding::Auto)
        encoding = marked || isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Gbk;
    if (encoding == TextEncoding::Gbk) {
        converted = platform::gbkToUtf8(bytes);
        return converted;
    }
    if (marked)
        bytes.remove_prefix(byteOrderMark.size());
    return bytes;
}

bool TextDecoder::isValidUtf8(std::string_view bytes)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t cp = 0;
        if ((b & 0xE0) == 0xC0) {
            length = 2;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + length > n)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
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
