#pragma once

#include "papers/PaperDefinition.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A defined paper as an attempt keeps it, with the seed of its option order:
// the record holds the paper as it was drawn, so a resumed attempt runs on
// that and not on whatever the administrator has changed since: a line
// "seed=N" before the paper's own text (PaperDefinition::toText).
class DefinedPaperText {
public:
    struct Kept {
        PaperDefinition paper;
        std::uint64_t optionSeed = 0;
    };

    static std::string write(const PaperDefinition& paper, std::uint64_t optionSeed);
    // nullopt for a text that holds no paper.
    static std::optional<Kept> read(std::string_view text);
};
