#pragma once

#include "attempts/AttemptRecords.h"

#include <string>
#include <vector>

// The scores of handed-in attempts over time, drawn with Qt Charts into a PNG
// and wrapped in a page for the HTML view.
class ScoreChart {
public:
    // Only handed-in exams are drawn; false when the picture or the page
    // cannot be written. Paths are GBK.
    static bool write(const std::vector<AttemptSummary>& attempts, const std::string& picturePath,
                      const std::string& pagePath, int width, int height);
    // The points drawn: (start time, score) of each handed-in exam, oldest first.
    static std::vector<std::pair<std::string, int>> points(const std::vector<AttemptSummary>& attempts);
};
