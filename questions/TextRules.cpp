#include "questions/TextRules.h"

#include "platform/CodePage.h"

namespace {

constexpr char fullWidthBlank[] = "\xA1\xA1";

} // namespace

std::size_t TextRules::find(std::string_view text, std::string_view what, std::size_t from)
{
    if (what.empty())
        return std::string_view::npos;
    for (std::size_t pos = from; pos < text.size(); pos += platform::gbkCharLength(text, pos)) {
        if (text.compare(pos, what.size(), what) == 0)
            return pos;
    }
    return std::string_view::npos;
}

std::string TextRules::replaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t hit = find(text, from); hit != std::string_view::npos; hit = find(text, from, start)) {
        out.append(text.substr(start, hit - start));
        out.append(to);
        start = hit + from.size();
    }
    out.append(text.substr(start));
    return out;
}

std::string TextRules::removeAll(std::string_view text, std::string_view what)
{
    return replaceAll(text, what, {});
}

std::size_t TextRules::spaceLengthAt(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return 0;
    if (text[pos] == ' ')
        return 1;
    if (text.compare(pos, 2, fullWidthBlank) == 0)
        return 2;
    return 0;
}

std::string TextRules::removeSpaces(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (std::size_t blank = spaceLengthAt(text, pos)) {
            pos += blank;
            continue;
        }
        std::size_t length = platform::gbkCharLength(text, pos);
        out.append(text.substr(pos, length));
        pos += length;
    }
    return out;
}

std::string TextRules::trimSpaces(std::string_view text)
{
    std::size_t begin = 0;
    while (std::size_t blank = spaceLengthAt(text, begin))
        begin += blank;
    // The end of the last non-blank character is only known by walking
    // forward, since a trail byte may look like half of a blank.
    std::size_t end = begin;
    for (std::size_t pos = begin; pos < text.size();) {
        if (std::size_t blank = spaceLengthAt(text, pos)) {
            pos += blank;
            continue;
        }
        pos += platform::gbkCharLength(text, pos);
        end = pos;
    }
    return std::string(text.substr(begin, end - begin));
}

std::vector<std::string> TextRules::split(std::string_view text, std::string_view separator)
{
    std::vector<std::string> pieces;
    if (text.empty())
        return pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t start = 0;
    for (std::size_t hit = find(text, separator); hit != std::string_view::npos; hit = find(text, separator, start)) {
        pieces.emplace_back(text.substr(start, hit - start));
        start = hit + separator.size();
    }
    if (start < text.size())
        pieces.emplace_back(text.substr(start));
    return pieces;
}
