#include "questions/QuestionRecord.h"

#include "questions/TextRules.h"

#include <climits>

namespace {

constexpr char crlf[] = "\r\n";

} // namespace

std::string QuestionRecord::packOptions(const std::vector<std::string>& slots)
{
    std::string packed;
    for (const std::string& slot : slots) {
        packed += slot;
        packed += optionSeparator;
    }
    return packed;
}

std::vector<std::string> QuestionRecord::splitOptions(std::string_view options)
{
    return TextRules::split(options, optionSeparator);
}

std::string QuestionRecord::cleanDrawnText(std::string_view text)
{
    return TextRules::removeSpaces(TextRules::removeAll(text, crlf));
}

std::string QuestionRecord::cleanDrawnAnswer(std::string_view answer)
{
    return TextRules::removeSpaces(answer);
}

std::string QuestionRecord::cleanAddedTitle(std::string_view title)
{
    return TextRules::trimSpaces(TextRules::removeAll(title, crlf));
}

std::string QuestionRecord::cleanOptionLine(std::string_view line)
{
    return TextRules::removeSpaces(line);
}

std::string QuestionRecord::optionsToLines(std::string_view options)
{
    return TextRules::replaceAll(TextRules::removeAll(options, crlf), optionSeparator, crlf);
}

std::string QuestionRecord::optionsToContent(std::string_view options)
{
    return TextRules::replaceAll(options, optionSeparator, crlf);
}

std::string QuestionRecord::contentToOptions(std::string_view content)
{
    return TextRules::replaceAll(content, crlf, optionSeparator);
}

int QuestionRecord::visibleOptionCount(std::string_view did)
{
    if (did == "2")
        return 2;
    if (did == "3")
        return 3;
    return 4;
}

int QuestionRecord::didToInteger(std::string_view did)
{
    // Leading white space, an optional sign and the digits that follow;
    // anything else ends the number, no digits give 0.
    std::size_t pos = 0;
    while (pos < did.size() && (did[pos] == ' ' || (did[pos] >= '\t' && did[pos] <= '\r')))
        ++pos;
    bool negative = false;
    if (pos < did.size() && (did[pos] == '+' || did[pos] == '-'))
        negative = did[pos++] == '-';
    long long value = 0;
    for (; pos < did.size() && did[pos] >= '0' && did[pos] <= '9'; ++pos) {
        value = value * 10 + (did[pos] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<int>(value);
}

std::optional<int> QuestionRecord::didComboIndex(std::string_view did)
{
    int count = didToInteger(did);
    if (count >= 2 && count <= 4)
        return count - 2;
    return std::nullopt;
}

std::string QuestionRecord::didFromItemValue(int itemValue)
{
    return std::to_string(itemValue);
}
