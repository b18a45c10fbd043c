#include "questions/AnswerKey.h"

#include "platform/CodePage.h"

#include <bit>

unsigned AnswerKey::letterSet(std::string_view letters)
{
    unsigned set = 0;
    for (char c : letters) {
        if (c < 'A' || c >= 'A' + maxOptions)
            return 0;
        set |= 1u << (c - 'A');
    }
    return set;
}

std::string AnswerKey::lettersOf(unsigned set)
{
    std::string letters;
    for (int i = 0; i < maxOptions; ++i)
        if ((set & (1u << i)) != 0)
            letters.push_back(static_cast<char>('A' + i));
    return letters;
}

bool AnswerKey::isMultiple(std::string_view key)
{
    // Repeated letters ("AA") would make a one-letter set look like two.
    const unsigned set = letterSet(key);
    return set != 0 && std::popcount(set) >= 2 && static_cast<std::size_t>(std::popcount(set)) == key.size();
}

bool AnswerKey::matches(std::string_view chosen, std::string_view key)
{
    if (chosen.empty())
        return false;
    if (!isMultiple(key))
        return chosen == key;
    return letterSet(chosen) == letterSet(key);
}

int AnswerKey::keyedLettersChosen(std::string_view chosen, std::string_view key)
{
    if (!isMultiple(key))
        return 0;
    const unsigned keyed = letterSet(key);
    const unsigned picked = letterSet(chosen);
    return (picked & ~keyed) == 0 ? std::popcount(picked) : 0;
}

bool AnswerKey::holds(std::string_view chosen, char letter)
{
    return letter >= 'A' && letter < 'A' + maxOptions && chosen.find(letter) != std::string_view::npos;
}

std::string AnswerKey::toggled(std::string_view chosen, char letter)
{
    if (letter < 'A' || letter >= 'A' + maxOptions)
        return std::string(chosen);
    return lettersOf(letterSet(chosen) ^ (1u << (letter - 'A')));
}

AnswerKey::Checked AnswerKey::check(std::string_view typed, int optionCount)
{
    const int count = optionCount < 1 || optionCount > maxOptions ? maxOptions : optionCount;
    const std::string allowed = lettersOf((1u << count) - 1);
    if (typed.empty())
        return {{}, GBK("请填写正确答案。")};
    unsigned set = 0;
    for (char c : typed) {
        if (allowed.find(c) == std::string::npos)
            return {{}, GBK("正确答案只能是 ") + allowed + GBK(" 中的字母（大写）。")};
        const unsigned bit = 1u << (c - 'A');
        if ((set & bit) != 0)
            return {{}, GBK("正确答案中的字母不能重复。")};
        set |= bit;
    }
    return {lettersOf(set), {}};
}
