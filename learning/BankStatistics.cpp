#include "learning/BankStatistics.h"

#include "attempts/AttemptStore.h"
#include "papers/PaperDefinition.h"
#include "questions/AnswerKey.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <unordered_map>

namespace {

std::int8_t letterBits(const std::string& chosen)
{
    if (chosen.size() == 1)
        return chosen[0] >= 'A' && chosen[0] <= 'D' ? static_cast<std::int8_t>(1 << (chosen[0] - 'A')) : -1;
    int bits = 0;
    for (char c : chosen) {
        if (c < 'A' || c > 'D' || (bits & (1 << (c - 'A'))) != 0)
            return -1;
        bits |= 1 << (c - 'A');
    }
    return static_cast<std::int8_t>(bits);
}

} // namespace

bool BankStatistics::fail(const std::string& reason)
{
    error_ = reason;
    questions_.clear();
    scores_.clear();
    distribution_.clear();
    sums_.clear();
    return false;
}

void BankStatistics::addAttempt(const std::vector<Entry>& entries, bool top)
{
    int total = 0;
    for (const Entry& e : entries)
        total += e.right ? 1 : 0;
    for (const Entry& e : entries) {
        QuestionStatistics& q = questions_[e.question];
        std::array<std::int64_t, 3>& s = sums_[e.question];
        const int x = e.right ? 1 : 0;
        const std::int64_t y = total - x;
        ++q.drawn;
        q.right += x;
        if (e.letters > 0) {
            for (std::size_t option = 0; option < q.chosen.size(); ++option)
                q.chosen[option] += (e.letters >> option) & 1;
        } else if (e.letters == 0) {
            ++q.unanswered;
        }
        s[0] += y;
        s[1] += y * y;
        s[2] += x * y;
        if (top) {
            if (e.right)
                ++q.topKeyed;
            else if (e.letters > 0)
                ++q.topWrong[static_cast<std::size_t>(e.letters)];
        }
    }
}

bool BankStatistics::compute(const std::optional<std::string>& paper)
{
    questions_.clear();
    scores_.clear();
    distribution_.clear();
    sums_.clear();
    error_.clear();

    AttemptStore store(results_);
    std::vector<std::int64_t> ids;
    if (!paper) {
        std::vector<std::pair<std::int64_t, int>> exams;
        if (!store.handedInExams(exams))
            return fail(store.lastErrorText());
        ids.reserve(exams.size());
        scores_.reserve(exams.size());
        for (const auto& [id, score] : exams) {
            ids.push_back(id);
            scores_.push_back(score);
        }
    } else {
        std::vector<AttemptStore::PaperExam> exams;
        if (!store.handedInExamsOf(*paper, exams))
            return fail(store.lastErrorText());
        ids.reserve(exams.size());
        scores_.reserve(exams.size());
        if (!paper->empty())
            distribution_.reserve(exams.size());
        // The same paper text comes back attempt after attempt: read it once.
        std::string lastText;
        int worth = 0;
        for (const AttemptStore::PaperExam& exam : exams) {
            ids.push_back(exam.attempt);
            scores_.push_back(exam.score);
            if (paper->empty())
                continue;
            if (exam.paperText != lastText || worth == 0) {
                lastText = exam.paperText;
                const std::optional<PaperDefinition> definition = PaperDefinition::fromText(lastText);
                worth = definition ? definition->highestTotalTenths() : 0;
            }
            distribution_.push_back(worth > 0 && exam.pointsTenths >= 0
                                        ? std::clamp(exam.pointsTenths * 100 / worth, 0, 100)
                                        : std::clamp(exam.score, 0, 100));
        }
    }

    // The top third by score; equal scores go to the earlier attempt.
    std::vector<std::size_t> order(ids.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return scores_[a] > scores_[b]; });
    std::vector<bool> top(ids.size(), false);
    for (std::size_t i = 0; i < (ids.size() + 2) / 3; ++i)
        top[order[i]] = true;

    std::unordered_map<std::string, std::uint32_t> index;
    std::vector<Entry> attempt;
    std::vector<AnsweredEntry> entries;
    attempt.reserve(128);
    for (std::size_t first = 0; first < ids.size(); first += attemptsPerBlock) {
        const std::size_t last = std::min(ids.size(), first + attemptsPerBlock) - 1;
        if (!store.entriesBetween(ids[first], ids[last], entries))
            return fail(store.lastErrorText());
        // The entries of attempts not counted (in progress, drills) fall
        // between those of counted ones and are passed over.
        std::size_t current = first;
        std::int64_t currentId = ids[first];
        attempt.clear();
        for (const AnsweredEntry& entry : entries) {
            const std::int64_t id = entry.attempt;
            if (id != currentId) {
                if (!attempt.empty()) {
                    addAttempt(attempt, top[current]);
                    attempt.clear();
                }
                while (current <= last && ids[current] < id)
                    ++current;
                currentId = id;
            }
            if (current > last || ids[current] != id || entry.questionKey.empty())
                continue;
            auto [at, added] = index.try_emplace(entry.questionKey, static_cast<std::uint32_t>(questions_.size()));
            if (added) {
                questions_.push_back({.key = entry.questionKey});
                sums_.push_back({});
            }
            QuestionStatistics& question = questions_[at->second];
            question.answer = entry.answer;
            const std::int8_t letters = letterBits(entry.chosen);
            if (!question.multiple)
                question.multiple = (letters > 0 && (letters & (letters - 1)) != 0) ||
                                    (entry.answer.size() > 1 && AnswerKey::isMultiple(entry.answer));
            attempt.push_back({at->second, letters, AnswerKey::matches(entry.chosen, entry.answer)});
        }
        if (!attempt.empty() && current <= last && ids[current] == currentId)
            addAttempt(attempt, top[current]);
    }

    for (std::size_t i = 0; i < questions_.size(); ++i) {
        QuestionStatistics& q = questions_[i];
        const double n = q.drawn;
        const double sx = q.right;
        const double sy = static_cast<double>(sums_[i][0]);
        const double varX = n * sx - sx * sx;
        const double varY = n * static_cast<double>(sums_[i][1]) - sy * sy;
        if (varX > 0 && varY > 0)
            q.discrimination = (n * static_cast<double>(sums_[i][2]) - sx * sy) / std::sqrt(varX * varY);
        const int mostWrong = *std::max_element(q.topWrong.begin(), q.topWrong.end());
        q.suspect = mostWrong > q.topKeyed || (!q.multiple && q.discrimination && *q.discrimination < 0);
    }
    sums_ = {};
    return true;
}
