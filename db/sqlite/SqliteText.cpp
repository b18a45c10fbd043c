#include "db/sqlite/SqliteText.h"

#include "platform/CodePage.h"

#include <cstring>

namespace {

bool isAscii(const char* bytes, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

ByteArray toUtf8(std::string_view gbk)
{
    gbk = gbk.substr(0, gbk.find('\0'));
    ByteArray out;
    if (isAscii(gbk.data(), gbk.size())) {
        out.reserve(gbk.size() + 1);
        out.assign(gbk.begin(), gbk.end());
    } else {
        std::string utf8 = platform::gbkToUtf8(gbk);
        if (utf8.empty())
            return {};
        out.reserve(utf8.size() + 1);
        out.assign(utf8.begin(), utf8.end());
    }
    out.push_back(0);
    return out;
}

std::string fromUtf8(const char* bytes, std::size_t length)
{
    if (bytes == nullptr || length == 0)
        return {};
    if (isAscii(bytes, length))
        return std::string(bytes, length);
    return platform::utf8ToGbk(std::string_view(bytes, length));
}

bool isValidGbk(std::string_view gbk)
{
    if (isAscii(gbk.data(), gbk.size()))
        return true;
    return platform::utf16ToGbk(platform::gbkToUtf16(gbk)) == gbk;
}
