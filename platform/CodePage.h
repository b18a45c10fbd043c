#pragma once

#include <string>
#include <string_view>

// All text inside the program is GBK (code page 936). These conversions are the
// only way between GBK, UTF-16 and UTF-8; they use the converter that gives the
// same bytes as the Windows code-page calls. Invalid or truncated input converts
// with replacement characters.
namespace platform {

std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view utf16);
std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);

// Length in bytes of the GBK character that starts at text[pos]: 2 for a lead
// byte (0x81..0xFE) followed by another byte, else 1.
std::size_t gbkCharLength(std::string_view text, std::size_t pos);

} // namespace platform

// A GBK text from a UTF-8 source literal, converted once per call site.
#define GBK(utf8Literal)                                                                                               \
    ([]() -> const std::string& {                                                                                      \
        static const std::string converted = ::platform::utf8ToGbk(utf8Literal);                                       \
        return converted;                                                                                              \
    }())
