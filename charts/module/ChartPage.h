#pragma once

#include <QChart>

#include <string>

// A chart drawn into a PNG beside a page that shows it, for the HTML views.
class ChartPage {
public:
    // Takes the chart. Paths are GBK; false when the picture or the page
    // cannot be written.
    static bool write(QChart* chart, const std::string& picturePath, const std::string& pagePath, int width,
                      int height);
};
