// GBK, UTF-16 and UTF-8 conversions on arbitrary bytes.
#include "FuzzFields.h"
#include "platform/CodePage.h"

#include <string>

namespace {

bool validUtf16(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000)
                return false;
            ++i;
        } else if (c >= 0xDC00 && c < 0xE000) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = platform::gbkCharLength(bytes, pos);
        FUZZ_CHECK(length == 1 || length == 2);
        FUZZ_CHECK(pos + length <= bytes.size());
        pos += length;
    }

    // Valid GBK survives the way through UTF-16 byte for byte; an invalid
    // sequence becomes one replacement character, which goes back as "?".
    const std::u16string wide = platform::gbkToUtf16(bytes);
    FUZZ_CHECK(wide.size() <= bytes.size());
    FUZZ_CHECK(bytes.empty() || !wide.empty());
    const std::string gbk = platform::utf16ToGbk(wide);
    std::u16string questioned = wide;
    for (char16_t& c : questioned)
        if (c == u'\uFFFD')
            c = u'?';
    FUZZ_CHECK(platform::gbkToUtf16(gbk) == questioned);
    if (questioned == wide)
        FUZZ_CHECK(gbk == bytes);

    const std::string utf8 = platform::gbkToUtf8(bytes);
    FUZZ_CHECK(platform::utf8ToGbk(utf8) == gbk);

    // The same bytes as UTF-8 from outside, and as UTF-16 units. Characters
    // without a GBK form become "?", except the invisible formatting ones
    // (soft hyphen, zero-width space, variation selectors...), which the
    // converter drops.
    const std::string fromUtf8 = platform::utf8ToGbk(bytes);
    FUZZ_CHECK(fromUtf8.size() <= 2 * bytes.size());
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::string fromUtf16 = platform::utf16ToGbk(units);
    if (validUtf16(units))
        FUZZ_CHECK(fromUtf16.size() <= 2 * units.size());
    FUZZ_CHECK(platform::utf16ToGbk(platform::gbkToUtf16(fromUtf16)) == fromUtf16);
    return 0;
}
