#pragma once

#include "learning/BankStatistics.h"

#include <string>
#include <vector>

// The two pictures of the statistics window, drawn (by the charts module) into a PNG
// and wrapped in a page for its HTML view. Paths are GBK; false when the
// picture or the page cannot be written or the charts module is missing
// (ChartModule says why).
class StatisticsChart {
public:
    static constexpr int scoreBins = 10;

    // How many scores fall in each tenth of 0..100 (100 with the last).
    static std::vector<int> scoreCounts(const std::vector<int>& scores);
    // axisTitle names what the scores are (GBK).
    static bool writeScores(const std::vector<int>& scores, const std::string& picturePath, const std::string& pagePath,
                            int width, int height, const std::string& axisTitle);
    // Facility of each question in the order given, suspect ones set apart.
    static bool writeFacility(const std::vector<QuestionStatistics>& questions, const std::string& picturePath,
                              const std::string& pagePath, int width, int height);
};
