#include "attempts/CategoryChart.h"

#include "charts/ChartModule.h"
#include "questions/AnswerKey.h"
#include "questions/QuestionBank.h"

#include <algorithm>
#include <map>

std::vector<CategoryChart::Share> CategoryChart::shares(const std::vector<StoredAttempt>& attempts,
                                                        const Categories& categories)
{
    const std::string& none = QuestionBank::uncategorisedText();
    std::map<std::string, Share> named;
    for (const StoredAttempt& attempt : attempts) {
        if (attempt.summary.state != AttemptState::HandedIn)
            continue;
        for (const AttemptEntry& entry : attempt.entries) {
            // A paper shorter than the bank asked for keeps empty places.
            if (entry.questionKey.empty() || entry.answer.empty())
                continue;
            const auto found = categories.find(entry.questionKey);
            Share& share = named[found == categories.end() ? none : found->second];
            ++share.questions;
            share.right += AnswerKey::matches(entry.chosen, entry.answer) ? 1 : 0;
        }
    }
    std::vector<Share> out;
    out.reserve(named.size());
    for (auto& [category, share] : named) {
        share.category = category;
        out.push_back(share);
    }
    std::stable_partition(out.begin(), out.end(), [&](const Share& s) { return s.category != none; });
    return out;
}

bool CategoryChart::write(const std::vector<Share>& shares, const std::string& picturePath, const std::string& pagePath,
                          int width, int height)
{
    const ChartDrawing* drawing = ChartModule::drawing();
    if (drawing == nullptr)
        return false;
    std::vector<std::pair<std::string, int>> percents;
    percents.reserve(shares.size());
    for (const Share& share : shares)
        percents.emplace_back(share.category, share.percent());
    return drawing->categoryBars(percents, picturePath, pagePath, width, height);
}
