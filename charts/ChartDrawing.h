#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// What the charts module draws, as the program calls it. Each function draws
// one chart into a PNG (picturePath) and writes a page showing it (pagePath);
// paths and texts are GBK; false when the picture or the page cannot be
// written. The module is built with the program, so the table is plain C++.
struct ChartDrawing {
    // sizeof(ChartDrawing) as the module was built: a module of another build is refused.
    std::size_t size;
    // (start time "yyyy-MM-dd HH:mm:ss", score 0..100), oldest first.
    bool (*scoreCurve)(const std::vector<std::pair<std::string, int>>& points, const std::string& picturePath,
                       const std::string& pagePath, int width, int height);
    // (category, percent answered right), in the order drawn.
    bool (*categoryBars)(const std::vector<std::pair<std::string, int>>& percents, const std::string& picturePath,
                         const std::string& pagePath, int width, int height);
    // How many scores fall in each tenth of 0..100, out of `total`.
    bool (*scoreHistogram)(const std::vector<int>& counts, std::size_t total, const std::string& axisTitle,
                           const std::string& picturePath, const std::string& pagePath, int width, int height);
    // (facility 0..1, suspect) of each question in the order drawn.
    bool (*facilityScatter)(const std::vector<std::pair<double, bool>>& questions, const std::string& picturePath,
                            const std::string& pagePath, int width, int height);
};

// The module's one export, giving the table above.
inline constexpr const char* chartDrawingSymbol = "mockexam_chart_drawing";
