#include "platform/CodePage.h"

#include "platform/Utf8.h"

#include <unicode/ucnv.h>

#include <array>
#include <bit>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

// ICU's windows-936-2000 gives the bytes of MultiByteToWideChar and
// WideCharToMultiByte for code page 936, including 0x80 (euro) and the
// user-defined area. Calling it for every text costs far more than the
// database reads around it, so its mapping is read once into tables and
// the conversions run on those. It is asked directly only for characters
// beyond the basic plane, which GBK lacks: whether one becomes "?" or is
// dropped (as invisible formatting characters are) is its decision.
namespace platform {
namespace {

constexpr unsigned firstLead = 0x81;
constexpr unsigned lastLead = 0xFE;
constexpr unsigned firstTrail = 0x40;
constexpr unsigned lastTrail = 0xFE;
constexpr std::size_t trailCount = lastTrail - firstTrail + 1;
constexpr std::size_t pairCount = (lastLead - firstLead + 1) * trailCount;
constexpr char16_t replacement = 0xFFFD;
// Codes of BMP characters the converter drops; no GBK code ends in 0xFF.
constexpr std::uint16_t dropped = 0xFFFF;

struct Tables {
    // The character of each lead and trail byte pair; 0 where the second
    // byte cannot trail (0x7F).
    std::array<char16_t, pairCount> pairs{};
    // The same as UTF-8, ready to store as one word: the bytes from the
    // lowest up, their count in the highest byte.
    std::array<std::uint32_t, pairCount> pairsUtf8{};
    // The two single bytes above ASCII that are characters.
    char16_t byte80 = replacement;
    char16_t byteFF = replacement;
    // For each BMP code point its GBK code: below 0x100 one byte, else lead
    // and trail; "?" for those GBK lacks, `dropped` for those left out.
    std::array<std::uint16_t, 0x10000> codes{};
    // The BMP code points whose code gives them back, bit by bit: small
    // enough to stay in the cache while a file is checked.
    std::bitset<0x10000> roundTrips;
};

std::size_t pairSlot(unsigned lead, unsigned trail)
{
    return (lead - firstLead) * trailCount + (trail - firstTrail);
}

UConverter* converter()
{
    static UConverter* const c = [] {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* opened = ucnv_open("windows-936-2000", &status);
        if (U_FAILURE(status) || opened == nullptr)
            throw std::runtime_error("code page 936 converter is missing");
        return opened;
    }();
    return c;
}

std::mutex& converterMutex()
{
    static std::mutex m;
    return m;
}

// Every code through the converter, a lead byte's pairs or a few thousand
// characters at a time; the offsets tell which input each output came from.
// Small pieces keep the work in buffers on the stack: buffers for all codes
// at once would be fresh memory, which costs the program's start more than
// the conversions themselves.
std::unique_ptr<Tables> readTables()
{
    auto t = std::make_unique<Tables>();
    std::lock_guard lock(converterMutex());
    UConverter* c = converter();

    // Each code followed by a blank, so that a pair the converter does not
    // take as one character cannot run into the next code.
    constexpr std::size_t pieceBytes = 3 * trailCount;
    char gbk[pieceBytes];
    UChar units[pieceBytes];
    int32_t unitSources[pieceBytes];
    const auto toUnicode = [c, &units, &unitSources](const char* text, std::size_t size) {
        UErrorCode status = U_ZERO_ERROR;
        ucnv_reset(c);
        UChar* target = units;
        ucnv_toUnicode(c, &target, target + pieceBytes, &text, text + size, unitSources, true, &status);
        if (U_FAILURE(status))
            throw std::runtime_error("code page 936 converter failed");
        return static_cast<std::size_t>(target - units);
    };
    for (unsigned lead = firstLead; lead <= lastLead; ++lead) {
        for (unsigned trail = firstTrail; trail <= lastTrail; ++trail) {
            char* code = gbk + 3 * (trail - firstTrail);
            code[0] = static_cast<char>(lead);
            code[1] = static_cast<char>(trail);
            code[2] = ' ';
        }
        const std::size_t first = pairSlot(lead, firstTrail);
        const std::size_t produced = toUnicode(gbk, pieceBytes);
        for (std::size_t i = 0; i < produced; ++i) {
            const auto from = static_cast<std::size_t>(unitSources[i]);
            if (from % 3 == 0)
                t->pairs[first + from / 3] = units[i];
            else if (from % 3 == 1) // the lead byte stood alone: no pair
                t->pairs[first + from / 3] = 0;
        }
    }
    const std::size_t produced = toUnicode("\x80 \xFF ", 4);
    for (std::size_t i = 0; i < produced; ++i) {
        if (unitSources[i] == 0)
            t->byte80 = units[i];
        else if (unitSources[i] == 2)
            t->byteFF = units[i];
    }

    for (std::size_t slot = 0; slot < pairCount; ++slot) {
        if (t->pairs[slot] == 0)
            continue;
        char bytes[4] = {};
        const auto length = static_cast<std::uint32_t>(Utf8::put(bytes, t->pairs[slot]) - bytes);
        t->pairsUtf8[slot] = static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[1]) << 8 |
                             static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2])) << 16 | length << 24;
    }

    t->codes.fill(dropped);
    constexpr std::size_t pieceUnits = 4096;
    UChar bmp[pieceUnits];
    char bytes[2 * pieceUnits];
    int32_t byteSources[2 * pieceUnits];
    for (char32_t next = 0; next < 0x10000;) {
        std::size_t count = 0;
        for (; next < 0x10000 && count < pieceUnits; ++next) {
            if (next < 0xD800 || next >= 0xE000)
                bmp[count++] = static_cast<UChar>(next);
        }
        UErrorCode status = U_ZERO_ERROR;
        ucnv_reset(c);
        const UChar* unicode = bmp;
        char* out = bytes;
        ucnv_fromUnicode(c, &out, out + sizeof bytes, &unicode, unicode + count, byteSources, true, &status);
        if (U_FAILURE(status))
            throw std::runtime_error("code page 936 converter failed");
        int32_t previous = -1;
        for (std::size_t i = 0; i < static_cast<std::size_t>(out - bytes); ++i) {
            std::uint16_t& code = t->codes[bmp[static_cast<std::size_t>(byteSources[i])]];
            const auto byte = static_cast<unsigned char>(bytes[i]);
            code = byteSources[i] == previous ? static_cast<std::uint16_t>(code << 8 | byte) : byte;
            previous = byteSources[i];
        }
    }
    for (std::uint32_t c = 0; c < 0x10000; ++c) {
        const std::uint16_t code = t->codes[c];
        char16_t back = 0;
        if (code < 0x80)
            back = code;
        else if (code == 0x80)
            back = t->byte80;
        else if (code == 0xFF)
            back = t->byteFF;
        else if (code >= firstLead << 8 && code != dropped && (code & 0xFF) >= firstTrail && (code & 0xFF) <= lastTrail)
            back = t->pairs[pairSlot(code >> 8, code & 0xFF)];
        t->roundTrips[c] = back == c && c != 0 && !(c >= 0xD800 && c < 0xE000);
    }
    return t;
}

const Tables& tables()
{
    static const std::unique_ptr<Tables> t = readTables();
    return *t;
}

// The converter's answer for a character beyond the basic plane: "?" or nothing.
char* putOutsideBmp(char32_t c, char* out)
{
    const UChar units[2] = {static_cast<UChar>(0xD7C0 + (c >> 10)), static_cast<UChar>(0xDC00 | (c & 0x3FF))};
    char bytes[8];
    std::lock_guard lock(converterMutex());
    UConverter* converted = converter();
    ucnv_reset(converted);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(converted, bytes, sizeof bytes, units, 2, &status);
    if (U_FAILURE(status) || n <= 0)
        return out;
    std::memcpy(out, bytes, static_cast<std::size_t>(n));
    return out + n;
}

char* putCode(const Tables& t, char16_t c, char* out)
{
    const std::uint16_t code = t.codes[c];
    if (code < 0x100) {
        *out++ = static_cast<char>(code);
    } else if (code != dropped) {
        *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code & 0xFF);
    }
    return out;
}

// The character at gbk[pos] and its length; a lead byte without a trail
// byte is U+FFFD of length 1, so that the next byte is read on its own.
char16_t characterAt(const Tables& t, std::string_view gbk, std::size_t pos, std::size_t& length)
{
    const auto b = static_cast<unsigned char>(gbk[pos]);
    length = 1;
    if (b < 0x80)
        return b;
    if (b == 0x80)
        return t.byte80;
    if (b == 0xFF)
        return t.byteFF;
    if (pos + 1 < gbk.size()) {
        const auto trail = static_cast<unsigned char>(gbk[pos + 1]);
        if (trail >= firstTrail && trail <= lastTrail) {
            const char16_t c = t.pairs[pairSlot(b, trail)];
            if (c != 0) {
                length = 2;
                return c;
            }
        }
    }
    return replacement;
}

bool isPrivateUse(char16_t c)
{
    return c >= 0xE000 && c <= 0xF8FF;
}

// Length of the ASCII run at the start of text, eight bytes at a time.
std::size_t asciiPrefix(std::string_view text)
{
    std::size_t pos = 0;
    for (; pos + sizeof(std::uint64_t) <= text.size(); pos += sizeof(std::uint64_t)) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + pos, sizeof word);
        if ((word & 0x8080808080808080u) != 0)
            break;
    }
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80)
        ++pos;
    return pos;
}

// The one loop from GBK to UTF-8. Checked, it stops at the first byte that is
// not a character and returns null, with its offset in invalidAt.
template <bool checked> char* convertToUtf8(std::string_view gbk, char* out, std::size_t& invalidAt)
{
    const auto* s = reinterpret_cast<const unsigned char*>(gbk.data());
    const std::size_t n = gbk.size();
    std::size_t pos = asciiPrefix(gbk);
    std::memcpy(out, s, pos);
    out += pos;
    if (pos == n)
        return out;
    const Tables& t = tables();
    while (pos < n) {
        const unsigned char b = s[pos];
        if (b < 0x80) {
            *out++ = static_cast<char>(b);
            ++pos;
            continue;
        }
        if constexpr (std::endian::native == std::endian::little) {
            // A pair is at most three bytes of UTF-8 for two of input, so
            // the fourth byte stored lands inside the room of 3 * n.
            const unsigned trail = pos + 1 < n ? s[pos + 1] : 0;
            if (b != 0x80 && b != 0xFF && trail >= firstTrail && trail <= lastTrail) {
                const std::size_t slot = pairSlot(b, trail);
                const std::uint32_t utf8 = t.pairsUtf8[slot];
                if (utf8 != 0 && !(checked && isPrivateUse(t.pairs[slot]))) {
                    std::memcpy(out, &utf8, sizeof utf8);
                    out += utf8 >> 24;
                    pos += 2;
                    continue;
                }
            }
        }
        std::size_t length;
        const char16_t c = characterAt(t, gbk, pos, length);
        if (checked && (c == replacement || isPrivateUse(c))) {
            invalidAt = pos;
            return nullptr;
        }
        out = Utf8::put(out, c);
        pos += length;
    }
    return out;
}

} // namespace

char* gbkToUtf8(std::string_view gbk, char* out)
{
    std::size_t unused;
    return convertToUtf8<false>(gbk, out, unused);
}

std::string gbkToUtf8(std::string_view gbk)
{
    std::string out(3 * gbk.size(), '\0');
    out.resize(static_cast<std::size_t>(gbkToUtf8(gbk, out.data()) - out.data()));
    return out;
}

bool gbkToUtf8Checked(std::string_view gbk, std::string& utf8, std::size_t& invalidAt)
{
    utf8.assign(3 * gbk.size(), '\0');
    const char* end = convertToUtf8<true>(gbk, utf8.data(), invalidAt);
    utf8.resize(end == nullptr ? 0 : static_cast<std::size_t>(end - utf8.data()));
    return end != nullptr;
}

std::size_t firstInvalidGbk(std::string_view gbk, GbkCheck check)
{
    std::size_t pos = asciiPrefix(gbk);
    if (pos == gbk.size())
        return std::string_view::npos;
    const Tables& t = tables();
    while (pos < gbk.size()) {
        std::size_t length;
        const char16_t c = characterAt(t, gbk, pos, length);
        if (c == replacement || (check == GbkCheck::Characters && isPrivateUse(c)))
            return pos;
        pos += length;
    }
    return std::string_view::npos;
}

char* utf8ToGbk(std::string_view utf8, char* out)
{
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    std::size_t pos = asciiPrefix(utf8);
    std::memcpy(out, s, pos);
    out += pos;
    if (pos == utf8.size())
        return out;
    const Tables& t = tables();
    while (pos < utf8.size()) {
        if (s[pos] < 0x80) {
            *out++ = static_cast<char>(s[pos++]);
            continue;
        }
        const char32_t c = Utf8::next(utf8, pos);
        if (c < 0x10000) {
            const std::uint16_t code = t.codes[c];
            if (code >= 0x100) {
                if (code == dropped)
                    continue;
                *out++ = static_cast<char>(code >> 8);
            }
            *out++ = static_cast<char>(code & 0xFF);
        } else if (c == Utf8::invalid) {
            out = putCode(t, replacement, out);
        } else {
            out = putOutsideBmp(c, out);
        }
    }
    return out;
}

std::string utf8ToGbk(std::string_view utf8)
{
    const std::size_t ascii = asciiPrefix(utf8);
    if (ascii == utf8.size())
        return std::string(utf8);
    std::string out(utf8.size(), '\0');
    out.resize(static_cast<std::size_t>(utf8ToGbk(utf8, out.data()) - out.data()));
    return out;
}

std::u16string gbkToUtf16(std::string_view gbk)
{
    std::u16string out;
    out.reserve(gbk.size());
    const Tables* t = nullptr;
    for (std::size_t pos = 0; pos < gbk.size();) {
        const auto b = static_cast<unsigned char>(gbk[pos]);
        if (b < 0x80) {
            out.push_back(b);
            ++pos;
            continue;
        }
        if (t == nullptr)
            t = &tables();
        std::size_t length;
        out.push_back(characterAt(*t, gbk, pos, length));
        pos += length;
    }
    return out;
}

std::string utf16ToGbk(std::u16string_view utf16)
{
    std::string out(2 * utf16.size(), '\0');
    char* o = out.data();
    const Tables* t = nullptr;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t u = utf16[i];
        if (u < 0x80) {
            *o++ = static_cast<char>(u);
            continue;
        }
        if (t == nullptr)
            t = &tables();
        if (u < 0xD800 || u >= 0xE000) {
            o = putCode(*t, u, o);
        } else if (u < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000) {
            o = putOutsideBmp(0x10000 + ((u - 0xD800) << 10) + (utf16[i + 1] - 0xDC00), o);
            ++i;
        } else {
            o = putCode(*t, replacement, o); // a lone surrogate
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

bool utf8FitsGbk(std::string_view utf8)
{
    const std::bitset<0x10000>& roundTrips = tables().roundTrips;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = Utf8::next(utf8, pos);
        // GBK lacks everything beyond the basic plane, and `invalid` lies beyond it too.
        if (c >= 0x10000 || !roundTrips[c])
            return false;
    }
    return true;
}

std::size_t gbkCharLength(std::string_view text, std::size_t pos)
{
    auto b = static_cast<unsigned char>(text[pos]);
    if (b >= 0x81 && b <= 0xFE && pos + 1 < text.size())
        return 2;
    return 1;
}

} // namespace platform
