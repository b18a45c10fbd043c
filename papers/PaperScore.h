#pragma once

#include "papers/PaperDefinition.h"
#include "questions/QuestionKind.h"

#include <array>
#include <string_view>

// The marking of a defined paper, in tenths of a point. Each question is
// worth the points of its kind; a choice that matches the key earns them
// all. With partial credit a multiple-answer choice of some keyed letters
// and no other earns that share of the points, rounded down to a tenth, so
// the points the report lists add up exactly to the total.
class PaperScore {
public:
    struct Tally {
        int questions = 0;
        int right = 0; // answered exactly as keyed
        int earnedTenths = 0;
        int worthTenths = 0;
    };

    explicit PaperScore(const PaperDefinition& paper) : paper_(paper) {}

    int worth(std::string_view key, std::string_view did) const;
    int earned(std::string_view chosen, std::string_view key, std::string_view did) const;

    // Counts a question of the paper; an entry without a key (none drawn) is passed over.
    void add(std::string_view chosen, std::string_view key, std::string_view did);
    const Tally& tally(QuestionKind::Kind kind) const { return tallies_[kind]; }
    int totalTenths() const;
    int maximumTenths() const;
    bool passed() const { return totalTenths() >= paper_.passMarkTenths; }

private:
    PaperDefinition paper_;
    std::array<Tally, QuestionKind::count> tallies_{};
};
