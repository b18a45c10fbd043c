#include "platform/CodePage.h"

#include <unicode/ucnv.h>

#include <mutex>
#include <stdexcept>

namespace platform {
namespace {

// windows-936-2000 matches MultiByteToWideChar/WideCharToMultiByte for code
// page 936, including 0x80 (euro) and the user-defined area.
UConverter* gbkConverter()
{
    static UConverter* converter = [] {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* c = ucnv_open("windows-936-2000", &status);
        if (U_FAILURE(status) || c == nullptr)
            throw std::runtime_error("code page 936 converter is missing");
        return c;
    }();
    return converter;
}

std::mutex& converterMutex()
{
    static std::mutex m;
    return m;
}

} // namespace

std::u16string gbkToUtf16(std::string_view gbk)
{
    if (gbk.empty())
        return {};
    std::lock_guard lock(converterMutex());
    UConverter* c = gbkConverter();
    ucnv_reset(c);
    std::u16string out(gbk.size() + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = ucnv_toUChars(c, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), gbk.data(),
                              static_cast<int32_t>(gbk.size()), &status);
    if (U_FAILURE(status))
        return {};
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string utf16ToGbk(std::u16string_view utf16)
{
    if (utf16.empty())
        return {};
    std::lock_guard lock(converterMutex());
    UConverter* c = gbkConverter();
    ucnv_reset(c);
    std::string out(utf16.size() * 2 + 1, '\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t n =
        ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()), reinterpret_cast<const UChar*>(utf16.data()),
                        static_cast<int32_t>(utf16.size()), &status);
    if (U_FAILURE(status))
        return {};
    out.resize(static_cast<std::size_t>(n));
    return out;
}

namespace {

std::u16string utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t i = 0, n = utf8.size();
    auto cont = [&](std::size_t k) { return k < n && (s[k] & 0xC0) == 0x80; };
    while (i < n) {
        unsigned char b = s[i];
        char32_t cp;
        std::size_t len;
        if (b < 0x80) {
            cp = b;
            len = 1;
        } else if (b >= 0xC2 && b < 0xE0 && cont(i + 1)) {
            cp = ((b & 0x1F) << 6) | (s[i + 1] & 0x3F);
            len = 2;
        } else if (b >= 0xE0 && b < 0xF0 && cont(i + 1) && cont(i + 2)) {
            cp = ((b & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            len = 3;
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))
                cp = 0xFFFD;
        } else if (b >= 0xF0 && b < 0xF5 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
            cp = ((b & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6) | (s[i + 3] & 0x3F);
            len = 4;
            if (cp < 0x10000 || cp > 0x10FFFF)
                cp = 0xFFFD;
        } else {
            cp = 0xFFFD;
            len = 1;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size() * 3);
    std::size_t i = 0, n = utf16.size();
    while (i < n) {
        char32_t cp = utf16[i++];
        if (cp >= 0xD800 && cp < 0xDC00 && i < n && utf16[i] >= 0xDC00 && utf16[i] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i++] - 0xDC00);
        else if (cp >= 0xD800 && cp < 0xE000)
            cp = 0xFFFD;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace

std::string gbkToUtf8(std::string_view gbk)
{
    return utf16ToUtf8(gbkToUtf16(gbk));
}

std::string utf8ToGbk(std::string_view utf8)
{
    return utf16ToGbk(utf8ToUtf16(utf8));
}

std::size_t gbkCharLength(std::string_view text, std::size_t pos)
{
    auto b = static_cast<unsigned char>(text[pos]);
    if (b >= 0x81 && b <= 0xFE && pos + 1 < text.size())
        return 2;
    return 1;
}

} // namespace platform
