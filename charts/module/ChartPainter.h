#pragma once

#include <string>
#include <utility>
#include <vector>

// The program's charts drawn with Qt Charts, each into a PNG beside a page
// that shows it; the arguments are those of ChartDrawing's table.
class ChartPainter {
public:
    static bool scoreCurve(const std::vector<std::pair<std::string, int>>& points, const std::string& picturePath,
                           const std::string& pagePath, int width, int height);
    static bool categoryBars(const std::vector<std::pair<std::string, int>>& percents, const std::string& picturePath,
                             const std::string& pagePath, int width, int height);
    static bool scoreHistogram(const std::vector<int>& counts, std::size_t total, const std::string& axisTitle,
                               const std::string& picturePath, const std::string& pagePath, int width, int height);
    static bool facilityScatter(const std::vector<std::pair<double, bool>>& questions, const std::string& picturePath,
                                const std::string& pagePath, int width, int height);
};
