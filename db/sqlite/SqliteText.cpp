#include "db/sqlite/SqliteText.h"

#include "platform/CodePage.h"

ByteArray toUtf8(std::string_view gbk)
{
    gbk = gbk.substr(0, gbk.find('\0'));
    ByteArray out(3 * gbk.size() + 1);
    char* const begin = reinterpret_cast<char*>(out.data());
    char* end = platform::gbkToUtf8(gbk, begin);
    *end++ = '\0';
    out.resize(static_cast<std::size_t>(end - begin));
    return out;
}

std::string fromUtf8(const char* bytes, std::size_t length)
{
    if (bytes == nullptr || length == 0)
        return {};
    return platform::utf8ToGbk(std::string_view(bytes, length));
}

bool isValidGbk(std::string_view gbk)
{
    return platform::firstInvalidGbk(gbk, platform::GbkCheck::CodePage) == std::string_view::npos;
}
