#include "db/RegexText.h"

#include "db/RegexMatcher.h"
#include "platform/CodePage.h"

#include <algorithm>

namespace {

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether find occurs in text at the character boundary pos, comparing
// character by character so that the trail byte of a double-byte character is
// never taken for a letter.
bool matchesAt(std::string_view text, std::size_t pos, std::string_view find, bool caseSensitive)
{
    if (pos + find.size() > text.size())
        return false;
    std::size_t k = 0;
    while (k < find.size()) {
        std::size_t len = platform::gbkCharLength(find, k);
        if (platform::gbkCharLength(text, pos + k) != len)
            return false;
        if (len == 1) {
            char a = text[pos + k], b = find[k];
            if (caseSensitive ? a != b : foldAscii(a) != foldAscii(b))
                return false;
        } else if (text.substr(pos + k, len) != find.substr(k, len)) {
            return false;
        }
        k += len;
    }
    return true;
}

std::string replaceText(std::string_view text, std::string_view find, std::string_view replacement, std::size_t start,
                        std::optional<int> count, bool caseSensitive)
{
    if (find.empty())
        return std::string(text);
    if (count && *count <= 0)
        return std::string(text);
    int remaining = count.value_or(-1);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (pos >= start && remaining != 0 && matchesAt(text, pos, find, caseSensitive)) {
            out += replacement;
            pos += find.size();
            if (remaining > 0)
                --remaining;
            continue;
        }
        std::size_t len = platform::gbkCharLength(text, pos);
        out += text.substr(pos, len);
        pos += len;
    }
    return out;
}

std::string resolveQuotePlaceholder(std::string_view marker)
{
    return replaceText(marker, GBK("#引号"), "\"", 0, std::nullopt, true);
}

} // namespace

std::string escapeRegexText(std::string_view text)
{
    const std::string& quotePlaceholder = GBK("#引号");
    std::string out;
    out.reserve(text.size() + 8);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t len = platform::gbkCharLength(text, pos);
        char c = text[pos];
        if (len == 1 && std::string_view("?*+[](){}").find(c) != std::string_view::npos) {
            out += '\\';
            out += c;
        } else if (matchesAt(text, pos, quotePlaceholder, true)) {
            out += '"';
            len = quotePlaceholder.size();
        } else if (text.substr(pos, 2) == "\r\n") {
            // Both characters are written as escapes: "\n" alone would need the
            // text to hold a bare line feed where the marker holds CR LF.
            out += "\\r\\n";
            len = 2;
        } else {
            out += text.substr(pos, len);
        }
        pos += len;
    }
    return out;
}

std::string replaceMany(std::string_view text, std::optional<int> replaceCount, std::optional<int> startPosition,
                        std::optional<bool> caseSensitive, std::string_view find1, std::string_view replacement1,
                        std::string_view find2, std::string_view replacement2, std::string_view find3,
                        std::string_view replacement3, std::string_view find4, std::string_view replacement4,
                        std::string_view find5, std::string_view replacement5)
{
    const std::size_t start = static_cast<std::size_t>(std::max(startPosition.value_or(1), 1) - 1);
    const bool exact = caseSensitive.value_or(true);
    const std::string_view pairs[5][2] = {{find1, replacement1},
                                          {find2, replacement2},
                                          {find3, replacement3},
                                          {find4, replacement4},
                                          {find5, replacement5}};
    std::string result(text);
    for (const auto& pair : pairs)
        result = replaceText(result, pair[0], pair[1], start, replaceCount, exact);
    return result;
}

void extractAllBetween(std::string_view text, std::string_view leftMarker, std::string_view rightMarker,
                       std::vector<std::string>& pieces, std::optional<int> maxLength,
                       const std::optional<std::string>& prefix, const std::optional<std::string>& suffix,
                       std::optional<bool> keepLeftMarker, std::optional<bool> keepRightMarker)
{
    pieces.clear();
    RegexMatcher matcher;
    const std::string pattern = escapeRegexText(leftMarker) + "([\\s\\S]*?)" + escapeRegexText(rightMarker);
    if (!matcher.compile(pattern, text))
        return;
    const int limit = maxLength.value_or(0);
    const std::string left = keepLeftMarker.value_or(false) ? resolveQuotePlaceholder(leftMarker) : std::string();
    const std::string right = keepRightMarker.value_or(false) ? resolveQuotePlaceholder(rightMarker) : std::string();
    for (int i = 1; i <= matcher.matchCount(); ++i) {
        std::string piece = matcher.subMatchText(i, 1);
        if (limit > 0 && piece.size() > static_cast<std::size_t>(limit))
            continue;
        pieces.push_back(left + prefix.value_or("") + piece + suffix.value_or("") + right);
    }
}
