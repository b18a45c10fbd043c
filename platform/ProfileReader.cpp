#include "platform/ProfileReader.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <optional>

namespace platform {

namespace {

bool isProfileSpace(char c)
{
    // Ctrl-Z is the old end-of-file mark that editors leave behind.
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isProfileSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isProfileSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Compares two GBK names, folding ASCII letters only where they are whole
// characters (a trail byte may look like a letter).
bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t pos = 0; pos < a.size();) {
        std::size_t length = gbkCharLength(a, pos);
        if (length != gbkCharLength(b, pos))
            return false;
        for (std::size_t i = 0; i < length; ++i) {
            char x = a[pos + i], y = b[pos + i];
            if (length == 1) {
                if (x >= 'A' && x <= 'Z')
                    x = static_cast<char>(x - 'A' + 'a');
                if (y >= 'A' && y <= 'Z')
                    y = static_cast<char>(y - 'A' + 'a');
            }
            if (x != y)
                return false;
        }
        pos += length;
    }
    return true;
}

// Position of the last `c` that stands as a whole character, or npos.
std::size_t findLastChar(std::string_view text, char c)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t pos = 0; pos < text.size(); pos += gbkCharLength(text, pos)) {
        if (text[pos] == c)
            found = pos;
    }
    return found;
}

std::size_t findFirstChar(std::string_view text, char c)
{
    for (std::size_t pos = 0; pos < text.size(); pos += gbkCharLength(text, pos)) {
        if (text[pos] == c)
            return pos;
    }
    return std::string_view::npos;
}

std::string toGbk(std::string_view content)
{
    if (content.starts_with("\xEF\xBB\xBF"))
        return utf8ToGbk(content.substr(3));
    if (content.starts_with("\xFF\xFE") || content.starts_with("\xFE\xFF")) {
        bool bigEndian = content[0] == '\xFE';
        std::u16string utf16;
        for (std::size_t pos = 2; pos + 1 < content.size(); pos += 2) {
            auto first = static_cast<unsigned char>(content[pos]);
            auto second = static_cast<unsigned char>(content[pos + 1]);
            utf16.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
        }
        return utf16ToGbk(utf16);
    }
    return std::string(content);
}

std::optional<std::string_view> findValue(std::string_view content, std::string_view section, std::string_view key)
{
    section = trim(section);
    key = trim(key);
    bool inSection = false;
    bool sectionSeen = false;
    std::size_t lineStart = 0;
    while (lineStart <= content.size()) {
        std::size_t lineEnd = content.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = content.size();
        std::string_view line = trim(content.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (line.empty())
            continue;
        if (line.front() == '[') {
            std::size_t close = findLastChar(line, ']');
            if (close != std::string_view::npos) {
                if (sectionSeen && inSection)
                    return std::nullopt;
                inSection = sameName(line.substr(1, close - 1), section);
                sectionSeen = sectionSeen || inSection;
                continue;
            }
        }
        if (!inSection)
            continue;
        std::size_t equals = findFirstChar(line, '=');
        std::string_view name = equals == std::string_view::npos ? line : trim(line.substr(0, equals));
        if (!sameName(name, key))
            continue;
        if (equals == std::string_view::npos)
            return std::nullopt;
        return trim(line.substr(equals + 1));
    }
    return std::nullopt;
}

// A value wrapped in one pair of the same quote loses both quotes.
std::string_view stripQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Only trailing blanks of a default are dropped.
std::string_view trimDefault(std::string_view value)
{
    while (!value.empty() && value.back() == ' ')
        value.remove_suffix(1);
    return value;
}

std::string limit(std::string_view value, std::size_t bufferSize)
{
    if (bufferSize == 0)
        return {};
    std::size_t end = 0;
    while (end < value.size()) {
        std::size_t next = end + gbkCharLength(value, end);
        if (next > bufferSize - 1)
            break;
        end = next;
    }
    return std::string(value.substr(0, end));
}

} // namespace

std::string ProfileReader::readStringFromText(std::string_view content, std::string_view section, std::string_view key,
                                              std::string_view defaultValue, std::size_t bufferSize)
{
    std::string text = toGbk(content);
    std::optional<std::string_view> value = findValue(text, section, key);
    if (!value)
        return limit(trimDefault(defaultValue), bufferSize);
    return limit(stripQuotes(*value), bufferSize);
}

std::string ProfileReader::readString(std::string_view filePath, std::string_view section, std::string_view key,
                                      std::string_view defaultValue, std::size_t bufferSize)
{
    std::string content;
    if (!FileSystem::readFile(filePath, content))
        return limit(trimDefault(defaultValue), bufferSize);
    return readStringFromText(content, section, key, defaultValue, bufferSize);
}

} // namespace platform
