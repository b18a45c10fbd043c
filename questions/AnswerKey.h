#pragma once

#include <string>
#include <string_view>

// What an answer key says and how a choice is held against it. A key of one
// letter is a single-answer question and is compared byte for byte, as it
// always was; a key of two or more distinct letters A to D is a
// multiple-answer question, answered by the set of letters ticked, which is
// kept as those letters in order without separators.
class AnswerKey {
public:
    static constexpr int maxOptions = 4;

    static bool isMultiple(std::string_view key);
    // True when the choice earns the question: the same letters as the key
    // (as a set for a multiple-answer key), never when nothing was chosen.
    static bool matches(std::string_view chosen, std::string_view key);
    // The choice with the letter ticked or unticked, letters in order.
    static std::string toggled(std::string_view chosen, char letter);
    static bool holds(std::string_view chosen, char letter);
    // For a multiple-answer key: how many of its letters the choice holds,
    // when it holds no letter outside the key; 0 otherwise.
    static int keyedLettersChosen(std::string_view chosen, std::string_view key);

    // A key typed in the bank's editors, for a question of optionCount
    // options: valid letters within the count, none twice. On success the
    // letters in order and an empty reason; otherwise empty and the reason.
    struct Checked {
        std::string key;
        std::string reason; // GBK
    };
    static Checked check(std::string_view typed, int optionCount);

private:
    // Bit n set for letter 'A' + n; 0 when anything else is in the text.
    static unsigned letterSet(std::string_view letters);
    static std::string lettersOf(unsigned set);
};
