#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The order in which one candidate sees the options of one question, when a
// paper shuffles them: made from the candidate's seed and the question's key,
// so it is the same whenever that attempt shows the question again (a resumed
// attempt included). Letters cross here between the screen (shown) and the
// bank (the key, the record and the report keep the bank's letters). A
// question of two options, true or false, keeps its order.
class OptionOrder {
public:
    static constexpr int maxOptions = 4;

    // optionCount as the exam window shows it (2 to 4).
    OptionOrder(std::uint64_t seed, std::string_view questionKey, int optionCount);

    int optionCount() const { return count_; }
    // Letters outside the question's options come back as they are.
    char bankLetter(char shown) const;
    char shownLetter(char bank) const;
    // Several letters at once, in the order of the side they cross to.
    std::string toBank(std::string_view shownLetters) const;
    std::string toShown(std::string_view bankLetters) const;
    // The packed options (as the question table holds them) in the order shown.
    std::string shownOptions(std::string_view packedOptions) const;
    // Options edited in the order shown, back in the bank's order.
    std::string bankOptions(std::string_view shownPackedOptions) const;

private:
    std::string reordered(std::string_view packedOptions, bool toBank) const;

    int count_;
    std::array<int, maxOptions> bankOf_{0, 1, 2, 3};  // by shown place
    std::array<int, maxOptions> shownOf_{0, 1, 2, 3}; // by bank place
};
