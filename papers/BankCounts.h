#pragma once

#include "papers/PaperDefinition.h"
#include "questions/QuestionKind.h"

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// How many questions the bank holds of each category and kind, for the paper
// editor to show beside each rule and to hold a rule against.
class BankCounts {
public:
    void add(std::string_view category, QuestionKind::Kind kind);
    // "" counts the whole bank, no kind every kind.
    int count(std::string_view category, std::optional<QuestionKind::Kind> kind = {}) const;
    int count(const PaperDefinition::Rule& rule) const { return count(rule.category, rule.kind); }
    // In GBK byte order, 未分类 among them when some question has no category.
    std::vector<std::string> categories() const;

private:
    std::map<std::string, std::array<int, QuestionKind::count>, std::less<>> byCategory_;
};
