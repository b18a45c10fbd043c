#pragma once

#include "learning/BankStatistics.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class Database;

// The statistics of the questions gathered by the bank's categories, to show
// which chapter is weak: a question the bank gives no category (or a bank
// that never had one) counts as uncategorised.
struct CategoryFigures {
    std::string category{}; // GBK
    int questions = 0;      // questions drawn at least once
    int drawn = 0;
    int right = 0;
    // Mean of the discrimination of its questions that have one.
    std::optional<double> discrimination{};
    int suspect = 0;

    double facility() const { return drawn > 0 ? static_cast<double>(right) / drawn : 0.0; }
};

class CategoryStatistics {
public:
    // Bank key to category (GBK), as the bank stores them.
    using Categories = std::unordered_map<std::string, std::string>;

    // Reads the bank's categories; a bank without the category table has
    // none. False with the reason in `error` when the table cannot be read.
    static bool readCategories(Database& bank, Categories& out, std::string& error);

    // One row per category that has a question drawn, by category name with
    // the uncategorised last.
    static std::vector<CategoryFigures> gather(const std::vector<QuestionStatistics>& questions,
                                               const Categories& categories);
};
