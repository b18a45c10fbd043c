#include "learning/DrillPlanner.h"

#include "attempts/AttemptStore.h"
#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"
#include "questions/AnswerKey.h"
#include "questions/QuestionBank.h"

#include <algorithm>
#include <map>
#include <random>
#include <unordered_map>

namespace {

// Keys per lookup statement: short enough for any statement limit, few
// enough round trips for a full drill.
constexpr std::size_t lookupBatch = 100;

struct KeyRecord {
    int lastRank = -1; // the latest attempt already counted for this key
    int attempts = 0;  // attempts holding the key, newest first
    bool lastTwoRight = true;
    int missRank = -1; // the newest attempt in which it was missed
};

} // namespace

bool DrillPlanner::dueKeys(const std::string& candidateId, std::uint32_t seed, std::vector<std::string>& out)
{
    out.clear();
    error_.clear();
    AttemptStore store(results_);
    std::vector<AnsweredEntry> entries;
    if (!store.handedInEntries(candidateId, entries)) {
        error_ = store.lastErrorText();
        return false;
    }

    std::unordered_map<std::string, KeyRecord> records;
    std::vector<std::string> keys; // in the order first met
    int rank = -1;
    std::int64_t attempt = 0;
    for (const AnsweredEntry& entry : entries) {
        if (rank < 0 || attempt != entry.attempt) {
            ++rank;
            attempt = entry.attempt;
        }
        const bool right = AnswerKey::matches(entry.chosen, entry.answer);
        auto [it, added] = records.try_emplace(entry.questionKey);
        if (added)
            keys.push_back(entry.questionKey);
        KeyRecord& record = it->second;
        if (record.lastRank != rank) {
            record.lastRank = rank;
            ++record.attempts;
        }
        if (!right && record.attempts <= 2)
            record.lastTwoRight = false;
        if (!right && record.missRank < 0)
            record.missRank = rank;
    }

    std::map<int, std::vector<std::string>> byMiss;
    for (const std::string& key : keys) {
        const KeyRecord& record = records[key];
        const bool mastered = record.attempts >= 2 && record.lastTwoRight;
        if (record.missRank >= 0 && !mastered)
            byMiss[record.missRank].push_back(key);
    }
    std::mt19937 random(seed);
    for (auto& [missRank, group] : byMiss) {
        std::shuffle(group.begin(), group.end(), random);
        out.insert(out.end(), group.begin(), group.end());
    }
    return true;
}

std::unique_ptr<QuestionBank> DrillPlanner::currentBank()
{
    // The bank is the database the connection works on now.
    BackendRegistry* registry = BackendRegistry::instance();
    const DbKind kind = BackendRegistry::currentKind();
    if (registry == nullptr || (kind != DbKind::Sqlite && kind != DbKind::Mysql)) {
        error_ = bank_.lastErrorText();
        return nullptr;
    }
    return std::make_unique<QuestionBank>(kind == DbKind::Mysql ? registry->mysqlDatabase()
                                                                : registry->sqliteDatabase());
}

bool DrillPlanner::categoriesOf(const std::vector<std::string>& keys,
                                std::vector<std::pair<std::string, std::string>>& out)
{
    out.clear();
    std::unique_ptr<QuestionBank> bank = currentBank();
    if (!bank)
        return false;
    std::vector<std::pair<std::string, std::string>> found;
    for (std::size_t from = 0; from < keys.size(); from += lookupBatch) {
        const auto begin = keys.begin() + static_cast<std::ptrdiff_t>(from);
        const auto end = keys.begin() + static_cast<std::ptrdiff_t>(std::min(keys.size(), from + lookupBatch));
        if (!bank->findCategoriesByKeys({begin, end}, found)) {
            error_ = bank->lastErrorText();
            return false;
        }
    }
    std::unordered_map<std::string, std::string> byKey(found.begin(), found.end());
    for (const std::string& key : keys) {
        auto it = byKey.find(key);
        if (it != byKey.end())
            out.emplace_back(key, it->second);
    }
    return true;
}

bool DrillPlanner::dueCategories(const std::string& candidateId, std::vector<DueCategory>& out)
{
    out.clear();
    std::vector<std::string> keys;
    std::vector<std::pair<std::string, std::string>> categorised;
    if (!dueKeys(candidateId, 0, keys) || !categoriesOf(keys, categorised))
        return false;
    std::map<std::string, int> counts;
    for (const auto& [key, category] : categorised)
        ++counts[category];
    const std::string& uncategorised = QuestionBank::uncategorisedText();
    for (const auto& [name, count] : counts)
        if (name != uncategorised)
            out.push_back({name, count});
    if (auto it = counts.find(uncategorised); it != counts.end())
        out.push_back({it->first, it->second});
    return true;
}

bool DrillPlanner::lookUp(const std::vector<std::string>& keys, std::vector<AttemptEntry>& found)
{
    std::unique_ptr<QuestionBank> current = currentBank();
    if (!current)
        return false;
    QuestionBank& bank = *current;
    std::vector<QuestionRecord> records;
    if (!bank.findByKeys(keys, records)) {
        error_ = bank.lastErrorText();
        return false;
    }
    std::unordered_map<std::string, AttemptEntry> byKey;
    for (const QuestionRecord& record : records) {
        AttemptEntry entry;
        entry.questionKey = record.id;
        entry.title = QuestionRecord::cleanDrawnText(record.title);
        entry.options = QuestionRecord::cleanDrawnText(record.options);
        entry.answer = QuestionRecord::cleanDrawnAnswer(record.answer);
        entry.optionCount = record.did;
        byKey.emplace(entry.questionKey, std::move(entry));
    }
    for (const std::string& key : keys) {
        auto it = byKey.find(key);
        if (it != byKey.end())
            found.push_back(it->second);
    }
    return true;
}

bool DrillPlanner::plan(const std::string& candidateId, std::uint32_t seed, std::vector<AttemptEntry>& out,
                        const std::string& category)
{
    out.clear();
    std::vector<std::string> keys;
    if (!dueKeys(candidateId, seed, keys))
        return false;
    if (!category.empty()) {
        std::vector<std::pair<std::string, std::string>> categorised;
        if (!categoriesOf(keys, categorised))
            return false;
        keys.clear();
        for (const auto& [key, name] : categorised)
            if (name == category)
                keys.push_back(key);
    }
    for (std::size_t from = 0; from < keys.size() && out.size() < maxQuestions; from += lookupBatch) {
        const auto end = keys.begin() + static_cast<std::ptrdiff_t>(std::min(keys.size(), from + lookupBatch));
        if (!lookUp({keys.begin() + static_cast<std::ptrdiff_t>(from), end}, out)) {
            out.clear();
            return false;
        }
    }
    if (out.size() > maxQuestions)
        out.resize(maxQuestions);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i].number = static_cast<int>(i + 1);
    return true;
}
