#include "learning/StatisticsChart.h"

#include "charts/ChartModule.h"

#include <algorithm>

std::vector<int> StatisticsChart::scoreCounts(const std::vector<int>& scores)
{
    std::vector<int> counts(scoreBins, 0);
    for (int score : scores) {
        if (score >= 0)
            ++counts[static_cast<std::size_t>(std::min(score / 10, scoreBins - 1))];
    }
    return counts;
}

bool StatisticsChart::writeScores(const std::vector<int>& scores, const std::string& picturePath,
                                  const std::string& pagePath, int width, int height, const std::string& axisTitle)
{
    const ChartDrawing* drawing = ChartModule::drawing();
    return drawing != nullptr &&
           drawing->scoreHistogram(scoreCounts(scores), scores.size(), axisTitle, picturePath, pagePath, width, height);
}

bool StatisticsChart::writeFacility(const std::vector<QuestionStatistics>& questions, const std::string& picturePath,
                                    const std::string& pagePath, int width, int height)
{
    const ChartDrawing* drawing = ChartModule::drawing();
    if (drawing == nullptr)
        return false;
    std::vector<std::pair<double, bool>> facilities;
    facilities.reserve(questions.size());
    for (const QuestionStatistics& question : questions)
        facilities.emplace_back(question.facility(), question.suspect);
    return drawing->facilityScatter(facilities, picturePath, pagePath, width, height);
}
