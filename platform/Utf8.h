#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The program's one reading of UTF-8: files, SQLite's texts and the system's
// file names all go through it, so that every layer agrees on which bytes are
// text and what a broken sequence turns into.
class Utf8 {
public:
    // What next() gives for bytes that are not well-formed UTF-8.
    static constexpr char32_t invalid = 0xFFFFFFFF;

    // The code point that starts at text[pos], with pos moved past it. A
    // sequence that is not well-formed (a stray continuation byte, an overlong
    // form, a surrogate, beyond U+10FFFF, cut short) gives `invalid` and moves
    // pos past its longest start that could still have become a character, at
    // least one byte: the piece that a converter replaces by one U+FFFD.
    static char32_t next(std::string_view text, std::size_t& pos)
    {
        const auto* s = reinterpret_cast<const unsigned char*>(text.data());
        const std::size_t n = text.size();
        const unsigned char lead = s[pos];
        if (lead < 0x80) {
            ++pos;
            return lead;
        }
        // Well-formed two- and three-byte forms here (every Chinese character
        // takes three), everything else in nextRare().
        if ((lead & 0xF0) == 0xE0 && pos + 2 < n && (s[pos + 1] & 0xC0) == 0x80 && (s[pos + 2] & 0xC0) == 0x80) {
            const char32_t c = (lead & 0x0Fu) << 12 | (s[pos + 1] & 0x3Fu) << 6 | (s[pos + 2] & 0x3Fu);
            if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
                pos += 3;
                return c;
            }
        } else if (lead >= 0xC2 && lead <= 0xDF && pos + 1 < n && (s[pos + 1] & 0xC0) == 0x80) {
            const char32_t c = (lead & 0x1Fu) << 6 | (s[pos + 1] & 0x3Fu);
            pos += 2;
            return c;
        }
        return nextRare(text, pos);
    }

    // Offset of the first byte that is not part of well-formed UTF-8;
    // std::string_view::npos when every byte is.
    static std::size_t firstInvalid(std::string_view text);
    static bool isValid(std::string_view text) { return firstInvalid(text) == std::string_view::npos; }

    // The UTF-8 form of c (at most U+10FFFF, no surrogate) written at out;
    // returns the end of what was written, 1 to 4 bytes.
    static char* put(char* out, char32_t c)
    {
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | c >> 6);
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *out++ = static_cast<char>(0xE0 | c >> 12);
            *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | c >> 18);
            *out++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
            *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        }
        return out;
    }

    static void append(std::string& out, char32_t c)
    {
        char bytes[4];
        out.append(bytes, static_cast<std::size_t>(put(bytes, c) - bytes));
    }

private:
    // next() for four-byte forms (beyond the basic plane) and for bytes that
    // are not well-formed.
    static char32_t nextRare(std::string_view text, std::size_t& pos);
};

} // namespace platform
