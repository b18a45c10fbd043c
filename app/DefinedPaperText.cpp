#include "app/DefinedPaperText.h"

#include <charconv>

namespace {

constexpr std::string_view seedKey = "seed=";

} // namespace

// The seed goes first, as a line the paper's own reader passes over, so that
// whatever reads a recorded paper (the statistics, the history) reads it
// with PaperDefinition::fromText.
std::string DefinedPaperText::write(const PaperDefinition& paper, std::uint64_t optionSeed)
{
    return std::string(seedKey) + std::to_string(optionSeed) + "\n" + paper.toText();
}

std::optional<DefinedPaperText::Kept> DefinedPaperText::read(std::string_view text)
{
    std::optional<PaperDefinition> paper = PaperDefinition::fromText(text);
    if (!paper)
        return std::nullopt;
    Kept kept{.paper = std::move(*paper)};
    if (text.starts_with(seedKey)) {
        const std::string_view value = text.substr(seedKey.size(), text.find('\n') - seedKey.size());
        std::from_chars(value.data(), value.data() + value.size(), kept.optionSeed);
    }
    return kept;
}
