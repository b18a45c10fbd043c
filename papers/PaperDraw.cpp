#include "papers/PaperDraw.h"

#include "platform/CodePage.h"
#include "questions/QuestionBank.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <unordered_map>

namespace {

struct Candidate {
    std::string key;
    std::string category;
    QuestionKind::Kind kind;
};

bool fits(const Candidate& question, const PaperDefinition::Rule& rule)
{
    return (rule.category.empty() || question.category == rule.category) && (!rule.kind || question.kind == *rule.kind);
}

int narrowness(const PaperDefinition::Rule& rule)
{
    return (rule.category.empty() ? 0 : 2) + (rule.kind ? 1 : 0);
}

} // namespace

bool PaperDraw::draw(const PaperDefinition& paper, std::uint32_t seed, std::vector<QuestionRecord>& drawn)
{
    drawn.clear();
    error_ = paper.validate();
    if (!error_.empty())
        return false;

    QuestionBank bank(bank_);
    std::vector<Candidate> pool;
    const bool listed = bank.forEachSorting([&](const QuestionBank::Sorting& question) {
        pool.push_back({question.id, question.category,
                        QuestionKind::of(QuestionRecord::cleanDrawnAnswer(question.answer), question.did)});
    });
    if (!listed) {
        error_ = GBK("抽题失败！") + bank.lastErrorText();
        return false;
    }

    std::vector<std::size_t> order(paper.rules.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return narrowness(paper.rules[a]) > narrowness(paper.rules[b]);
    });
    std::mt19937 random(seed);
    std::vector<bool> taken(pool.size(), false);
    std::vector<std::vector<std::string>> keysByRule(paper.rules.size());
    for (std::size_t ruleIndex : order) {
        const PaperDefinition::Rule& rule = paper.rules[ruleIndex];
        std::vector<std::size_t> free;
        int fitting = 0;
        for (std::size_t i = 0; i < pool.size(); ++i) {
            if (!fits(pool[i], rule))
                continue;
            ++fitting;
            if (!taken[i])
                free.push_back(i);
        }
        if (free.size() < static_cast<std::size_t>(rule.count)) {
            error_ = GBK("试卷“") + paper.name + GBK("”要求") + PaperDefinition::describe(rule) +
                     std::to_string(rule.count) + GBK("道，题库只有") + std::to_string(free.size()) + GBK("道");
            if (static_cast<std::size_t>(fitting) > free.size())
                error_ += GBK("（另有") + std::to_string(fitting - free.size()) + GBK("道已用于其他抽题要求）");
            error_ += GBK("。");
            return false;
        }
        // The first `count` places of a shuffle, without shuffling the rest.
        for (int i = 0; i < rule.count; ++i) {
            std::uniform_int_distribution<std::size_t> pick(static_cast<std::size_t>(i), free.size() - 1);
            std::swap(free[static_cast<std::size_t>(i)], free[pick(random)]);
            taken[free[static_cast<std::size_t>(i)]] = true;
            keysByRule[ruleIndex].push_back(pool[free[static_cast<std::size_t>(i)]].key);
        }
    }

    std::vector<std::string> keys;
    for (const std::vector<std::string>& ruleKeys : keysByRule)
        keys.insert(keys.end(), ruleKeys.begin(), ruleKeys.end());
    std::vector<QuestionRecord> records;
    if (!bank.findByKeys(keys, records)) {
        error_ = GBK("抽题失败！") + bank.lastErrorText();
        return false;
    }
    std::unordered_map<std::string, QuestionRecord*> byKey;
    for (QuestionRecord& record : records)
        byKey.emplace(record.id, &record);
    for (const std::string& key : keys) {
        const auto it = byKey.find(key);
        if (it == byKey.end()) {
            drawn.clear();
            error_ = GBK("抽题时题库中的题目有了变动，请再试一次。");
            return false;
        }
        QuestionRecord question = *it->second;
        question.title = QuestionRecord::cleanDrawnText(question.title);
        question.options = QuestionRecord::cleanDrawnText(question.options);
        question.answer = QuestionRecord::cleanDrawnAnswer(question.answer);
        drawn.push_back(std::move(question));
    }
    return true;
}
