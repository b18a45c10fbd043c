#include "papers/PaperScore.h"

#include "questions/AnswerKey.h"

int PaperScore::worth(std::string_view key, std::string_view did) const
{
    return paper_.pointsOf(QuestionKind::of(key, did));
}

int PaperScore::earned(std::string_view chosen, std::string_view key, std::string_view did) const
{
    const int points = worth(key, did);
    if (AnswerKey::matches(chosen, key))
        return points;
    const int chosenKeyed = AnswerKey::keyedLettersChosen(chosen, key);
    if (!paper_.partialCredit || chosenKeyed == 0)
        return 0;
    // A multiple-answer key holds each of its letters once.
    return points * chosenKeyed / static_cast<int>(key.size());
}

void PaperScore::add(std::string_view chosen, std::string_view key, std::string_view did)
{
    if (key.empty())
        return;
    Tally& tally = tallies_[QuestionKind::of(key, did)];
    ++tally.questions;
    if (AnswerKey::matches(chosen, key))
        ++tally.right;
    tally.earnedTenths += earned(chosen, key, did);
    tally.worthTenths += worth(key, did);
}

int PaperScore::totalTenths() const
{
    int total = 0;
    for (const Tally& tally : tallies_)
        total += tally.earnedTenths;
    return total;
}

int PaperScore::maximumTenths() const
{
    int total = 0;
    for (const Tally& tally : tallies_)
        total += tally.worthTenths;
    return total;
}
