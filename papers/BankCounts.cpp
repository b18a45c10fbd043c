#include "papers/BankCounts.h"

#include <numeric>

void BankCounts::add(std::string_view category, QuestionKind::Kind kind)
{
    auto it = byCategory_.find(category);
    if (it == byCategory_.end())
        it = byCategory_.emplace(std::string(category), std::array<int, QuestionKind::count>{}).first;
    ++it->second[kind];
}

int BankCounts::count(std::string_view category, std::optional<QuestionKind::Kind> kind) const
{
    const auto countOf = [&](const std::array<int, QuestionKind::count>& kinds) {
        return kind ? kinds[*kind] : std::accumulate(kinds.begin(), kinds.end(), 0);
    };
    if (!category.empty()) {
        const auto it = byCategory_.find(category);
        return it == byCategory_.end() ? 0 : countOf(it->second);
    }
    int total = 0;
    for (const auto& [name, kinds] : byCategory_)
        total += countOf(kinds);
    return total;
}

std::vector<std::string> BankCounts::categories() const
{
    std::vector<std::string> names;
    for (const auto& [name, kinds] : byCategory_)
        names.push_back(name);
    return names;
}
