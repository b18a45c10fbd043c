#include "learning/CategoryStatistics.h"

#include "db/Database.h"
#include "questions/QuestionBank.h"

#include <algorithm>
#include <map>

bool CategoryStatistics::readCategories(Database& bank, Categories& out, std::string& error)
{
    out.clear();
    error.clear();
    QuestionBank questions(bank);
    if (!questions.hasCategories())
        return true;
    Database::Rows rows;
    if (!bank.query(QuestionBank::categoryCopyQuery(), rows)) {
        error = bank.lastErrorText();
        return false;
    }
    for (const Database::Row& row : rows) {
        if (row.size() >= 2 && row[0] && row[1] && !row[1]->empty())
            out.emplace(*row[0], *row[1]);
    }
    return true;
}

std::vector<CategoryFigures> CategoryStatistics::gather(const std::vector<QuestionStatistics>& questions,
                                                        const Categories& categories)
{
    const std::string& none = QuestionBank::uncategorisedText();
    std::map<std::string, CategoryFigures> named;
    std::map<std::string, std::pair<double, int>> discriminations;
    for (const QuestionStatistics& q : questions) {
        const auto found = categories.find(q.key);
        const std::string& category = found == categories.end() ? none : found->second;
        CategoryFigures& figures = named[category];
        ++figures.questions;
        figures.drawn += q.drawn;
        figures.right += q.right;
        figures.suspect += q.suspect ? 1 : 0;
        if (q.discrimination) {
            auto& [sum, count] = discriminations[category];
            sum += *q.discrimination;
            ++count;
        }
    }
    std::vector<CategoryFigures> out;
    out.reserve(named.size());
    for (auto& [category, figures] : named) {
        figures.category = category;
        if (const auto found = discriminations.find(category); found != discriminations.end())
            figures.discrimination = found->second.first / found->second.second;
        out.push_back(std::move(figures));
    }
    std::stable_partition(out.begin(), out.end(), [&](const CategoryFigures& c) { return c.category != none; });
    return out;
}
