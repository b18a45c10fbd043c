#pragma once

#include "attempts/AttemptRecords.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The scores of handed-in attempts over time, drawn (by the charts module) into a PNG
// and wrapped in a page for the HTML view.
class ScoreChart {
public:
    // Only handed-in exams are drawn; false when the picture or the page
    // cannot be written or the charts module is missing (ChartModule says
    // why). Paths are GBK.
    // A defined paper's attempt whose paper's whole points (tenths, by
    // attempt key) are in `maxima` is drawn as its share of them.
    static bool write(const std::vector<AttemptSummary>& attempts, const std::string& picturePath,
                      const std::string& pagePath, int width, int height,
                      const std::map<std::int64_t, int>& maxima = {});
    // The points drawn: (start time, score) of each handed-in exam, oldest first.
    static std::vector<std::pair<std::string, int>> points(const std::vector<AttemptSummary>& attempts,
                                                           const std::map<std::int64_t, int>& maxima = {});
};
