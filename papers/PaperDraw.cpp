#include "papers/PaperDraw.h"

#include "platform/CodePage.h"
#include "questions/QuestionBank.h"

#include <algorithm>
#include <map>
#include <random>
#include <unordered_map>

namespace {

bool fits(const QuestionBank::Sorting& question, QuestionKind::Kind kind, const PaperDefinition::Rule& rule)
{
    return (rule.category.empty() || question.category == rule.category) && (!rule.kind || kind == *rule.kind);
}

// Questions that the same rules may take, told apart no further: how many a
// rule takes from each such group decides whether every rule can be served.
struct Group {
    std::vector<std::size_t> rules;
    std::vector<std::string> keys;
    int left = 0;
};

// Whether the groups hold enough for what every rule still needs, each
// question serving one rule: a maximum flow from the rules through the groups
// that may serve them. Small: a group per named category and kind, and a
// paper holds at most 100 questions, so at most 100 paths are found.
bool servable(const std::vector<int>& needed, const std::vector<Group>& groups)
{
    const std::size_t rules = needed.size();
    const std::size_t source = rules + groups.size(), sink = source + 1;
    struct Edge {
        std::size_t to;
        int room;
    };
    std::vector<Edge> edges;
    std::vector<std::vector<std::size_t>> out(sink + 1);
    const auto connect = [&](std::size_t from, std::size_t to, int room) {
        out[from].push_back(edges.size());
        edges.push_back({to, room});
        out[to].push_back(edges.size());
        edges.push_back({from, 0});
    };
    int wanted = 0;
    for (std::size_t r = 0; r < rules; ++r) {
        connect(source, r, needed[r]);
        wanted += needed[r];
    }
    for (std::size_t g = 0; g < groups.size(); ++g) {
        connect(rules + g, sink, groups[g].left);
        for (std::size_t r : groups[g].rules)
            connect(r, rules + g, PaperDefinition::maxQuestions);
    }
    for (int found = 0; found < wanted; ++found) {
        std::vector<std::size_t> via(sink + 1, edges.size());
        std::vector<std::size_t> queue{source};
        for (std::size_t i = 0; i < queue.size() && via[sink] == edges.size(); ++i)
            for (std::size_t e : out[queue[i]])
                if (edges[e].room > 0 && edges[e].to != source && via[edges[e].to] == edges.size()) {
                    via[edges[e].to] = e;
                    queue.push_back(edges[e].to);
                }
        if (via[sink] == edges.size())
            return false;
        for (std::size_t node = sink; node != source; node = edges[via[node] ^ 1].to) {
            --edges[via[node]].room;
            ++edges[via[node] ^ 1].room;
        }
    }
    return true;
}

// Why the bank cannot serve the paper, naming the first rule that does not
// fit, alone or beside those before it; empty when it can.
std::string refusal(const PaperDefinition& paper, const std::vector<Group>& groups, const std::vector<int>& fitting)
{
    std::vector<int> needed(paper.rules.size(), 0);
    for (std::size_t r = 0; r < paper.rules.size(); ++r) {
        const PaperDefinition::Rule& rule = paper.rules[r];
        needed[r] = rule.count;
        const std::string asked = GBK("试卷“") + paper.name + GBK("”要求") + PaperDefinition::describe(rule) +
                                  std::to_string(rule.count) + GBK("道，");
        if (fitting[r] < rule.count)
            return asked + GBK("题库只有") + std::to_string(fitting[r]) + GBK("道。");
        if (!servable(needed, groups))
            return asked + GBK("题库中这样的题目有") + std::to_string(fitting[r]) +
                   GBK("道，但其中一些已要用于前面的抽题要求，不够了。");
    }
    return {};
}

// Question by question, a rule takes from a group at random, as many as it
// holds weigh, passing over a group whose questions the other rules need.
// The keys per rule, each rule's in random order; the bank must serve the paper.
std::vector<std::vector<std::string>> pick(const PaperDefinition& paper, std::vector<Group>& groups, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<int> needed;
    for (const PaperDefinition::Rule& rule : paper.rules)
        needed.push_back(rule.count);
    std::vector<std::vector<std::string>> keys(paper.rules.size());
    for (std::size_t r = 0; r < paper.rules.size(); ++r) {
        while (needed[r] > 0) {
            std::vector<std::size_t> open;
            for (std::size_t g = 0; g < groups.size(); ++g)
                if (groups[g].left > 0 &&
                    std::find(groups[g].rules.begin(), groups[g].rules.end(), r) != groups[g].rules.end())
                    open.push_back(g);
            // A flow that found room for this rule found it in one of these groups.
            while (!open.empty()) {
                std::vector<int> weights;
                for (std::size_t g : open)
                    weights.push_back(groups[g].left);
                const std::size_t choice =
                    std::discrete_distribution<std::size_t>(weights.begin(), weights.end())(random);
                Group& group = groups[open[choice]];
                --group.left;
                --needed[r];
                if (servable(needed, groups)) {
                    const auto last = static_cast<std::size_t>(group.left);
                    std::swap(group.keys[std::uniform_int_distribution<std::size_t>(0, last)(random)],
                              group.keys[last]);
                    keys[r].push_back(group.keys[last]);
                    break;
                }
                ++group.left;
                ++needed[r];
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(choice));
            }
            if (open.empty())
                return {};
        }
        std::shuffle(keys[r].begin(), keys[r].end(), random);
    }
    return keys;
}

} // namespace

bool PaperDraw::draw(const PaperDefinition& paper, std::uint32_t seed, std::vector<QuestionRecord>& drawn)
{
    drawn.clear();
    error_ = paper.validate();
    if (!error_.empty())
        return false;

    // Each question goes to the group of the rules it fits, if any.
    QuestionBank bank(bank_);
    std::vector<Group> groups;
    std::map<std::vector<std::size_t>, std::size_t> groupOf;
    std::vector<int> fitting(paper.rules.size(), 0);
    std::vector<std::size_t> rules;
    const bool listed = bank.forEachSorting([&](const QuestionBank::Sorting& question) {
        const QuestionKind::Kind kind =
            QuestionKind::of(QuestionRecord::cleanDrawnAnswer(question.answer), question.did);
        rules.clear();
        for (std::size_t r = 0; r < paper.rules.size(); ++r)
            if (fits(question, kind, paper.rules[r])) {
                rules.push_back(r);
                ++fitting[r];
            }
        if (rules.empty())
            return;
        const auto [it, added] = groupOf.try_emplace(rules, groups.size());
        if (added)
            groups.push_back({rules, {}, 0});
        groups[it->second].keys.push_back(question.id);
        ++groups[it->second].left;
    });
    if (!listed) {
        error_ = GBK("抽题失败！") + bank.lastErrorText();
        return false;
    }
    error_ = refusal(paper, groups, fitting);
    if (!error_.empty())
        return false;
    const std::vector<std::vector<std::string>> keysByRule = pick(paper, groups, seed);
    if (keysByRule.empty()) {
        error_ = GBK("抽题失败！");
        return false;
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
