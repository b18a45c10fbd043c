#include "papers/OptionOrder.h"

#include "questions/QuestionRecord.h"

#include <algorithm>
#include <vector>

namespace {

// A generator of our own rather than the standard library's distributions,
// whose results may differ between library versions: an order once shown
// must come back the same after an update of the program.
std::uint64_t splitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t hashOf(std::string_view text)
{
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    return hash;
}

std::string crossed(std::string_view letters, const std::array<int, OptionOrder::maxOptions>& map, int count)
{
    std::string out;
    for (char c : letters)
        out.push_back(c >= 'A' && c < 'A' + count ? static_cast<char>('A' + map[c - 'A']) : c);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

OptionOrder::OptionOrder(std::uint64_t seed, std::string_view questionKey, int optionCount)
    : count_(std::clamp(optionCount, 1, maxOptions))
{
    if (count_ <= 2)
        return;
    std::uint64_t state = seed ^ hashOf(questionKey);
    for (int i = count_ - 1; i > 0; --i)
        std::swap(bankOf_[i], bankOf_[splitMix(state) % static_cast<std::uint64_t>(i + 1)]);
    for (int shown = 0; shown < count_; ++shown)
        shownOf_[bankOf_[shown]] = shown;
}

char OptionOrder::bankLetter(char shown) const
{
    return shown >= 'A' && shown < 'A' + count_ ? static_cast<char>('A' + bankOf_[shown - 'A']) : shown;
}

char OptionOrder::shownLetter(char bank) const
{
    return bank >= 'A' && bank < 'A' + count_ ? static_cast<char>('A' + shownOf_[bank - 'A']) : bank;
}

std::string OptionOrder::toBank(std::string_view shownLetters) const
{
    return crossed(shownLetters, bankOf_, count_);
}

std::string OptionOrder::toShown(std::string_view bankLetters) const
{
    return crossed(bankLetters, shownOf_, count_);
}

std::string OptionOrder::shownOptions(std::string_view packedOptions) const
{
    return reordered(packedOptions, false);
}

std::string OptionOrder::bankOptions(std::string_view shownPackedOptions) const
{
    return reordered(shownPackedOptions, true);
}

std::string OptionOrder::reordered(std::string_view packedOptions, bool toBank) const
{
    std::vector<std::string> slots = QuestionRecord::splitOptions(packedOptions);
    if (slots.size() < static_cast<std::size_t>(count_))
        slots.resize(static_cast<std::size_t>(count_));
    std::vector<std::string> out = slots;
    for (int place = 0; place < count_; ++place) {
        const auto shown = static_cast<std::size_t>(place);
        const auto bank = static_cast<std::size_t>(bankOf_[place]);
        if (toBank)
            out[bank] = slots[shown];
        else
            out[shown] = slots[bank];
    }
    return QuestionRecord::packOptions(out);
}
