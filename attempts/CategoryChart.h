#pragma once

#include "attempts/AttemptRecords.h"

#include <string>
#include <unordered_map>
#include <vector>

// How a candidate fares in each of the bank's categories over the attempts
// listed: the share of the questions answered right, drawn as bars (by the
// charts module) into a PNG and wrapped in a page for the HTML view.
class CategoryChart {
public:
    // Bank key to category (GBK); a key without one counts as uncategorised.
    using Categories = std::unordered_map<std::string, std::string>;

    struct Share {
        std::string category{}; // GBK
        int questions = 0;      // entries holding a question
        int right = 0;

        int percent() const { return questions > 0 ? (right * 200 + questions) / (questions * 2) : 0; }
    };

    // Only handed-in attempts count. One share per category met, by name,
    // the uncategorised last.
    static std::vector<Share> shares(const std::vector<StoredAttempt>& attempts, const Categories& categories);
    // False when the picture or the page cannot be written or the charts
    // module is missing (ChartModule says why). Paths are GBK.
    static bool write(const std::vector<Share>& shares, const std::string& picturePath, const std::string& pagePath,
                      int width, int height);
};
