#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// All text inside the program is GBK (code page 936). These conversions are the
// only way between GBK, UTF-16 and UTF-8; they give the same bytes as the
// Windows code-page calls. Invalid or truncated input converts with
// replacement characters: a GBK lead byte without its trail byte becomes
// U+FFFD, a character GBK lacks becomes "?", and a piece of UTF-8 that is not
// well-formed (see Utf8::next) becomes one "?".
namespace platform {

std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view utf16);
std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);

// The same conversions into memory the caller provides, for texts converted
// by the million: out holds at least 3 * gbk.size() bytes, or utf8.size()
// bytes (a UTF-8 text is never shorter than its GBK form). They return the
// end of what was written.
char* gbkToUtf8(std::string_view gbk, char* out);
char* utf8ToGbk(std::string_view utf8, char* out);

// Which bytes count as GBK text.
enum class GbkCheck {
    // Every code of code page 936, including those it maps into the
    // private-use area: such text converts to Unicode and back unchanged.
    CodePage,
    // Only characters: the single byte 0xFF and the user-defined and
    // unassigned double-byte codes, which code page 936 maps into the
    // private-use area, count as foreign bytes too. Text that holds them came
    // from another encoding or is no text at all.
    Characters,
};

// Offset of the first byte that is not GBK text: a lead byte (0x81..0xFE) at
// the end or before a byte that cannot trail it (as in the four-byte sequences
// of GB18030), or, with GbkCheck::Characters, the start of a private-use code.
// std::string_view::npos when there is none.
std::size_t firstInvalidGbk(std::string_view gbk, GbkCheck check);

// gbkToUtf8 for text from outside, which must hold characters only: false,
// with the offset of the first foreign byte in invalidAt and utf8 emptied,
// when it does not.
bool gbkToUtf8Checked(std::string_view gbk, std::string& utf8, std::size_t& invalidAt);

// True when the UTF-8 text is well-formed and GBK has every character of it:
// the text converts to GBK and back unchanged. NUL counts as none, since it
// would cut the text short wherever it goes.
bool utf8FitsGbk(std::string_view utf8);

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
