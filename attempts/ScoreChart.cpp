#include "attempts/ScoreChart.h"

#include "charts/ChartModule.h"

std::vector<std::pair<std::string, int>> ScoreChart::points(const std::vector<AttemptSummary>& attempts,
                                                            const std::map<std::int64_t, int>& maxima)
{
    std::vector<std::pair<std::string, int>> drawn;
    for (const AttemptSummary& attempt : attempts) {
        // A drill's score counts its own, fewer questions: no point on the exams' curve.
        if (attempt.state != AttemptState::HandedIn || attempt.score < 0 || attempt.kind == "drill")
            continue;
        // Papers of other sizes share the axis as the share of their points, rounded.
        const auto maximum = maxima.find(attempt.id);
        if (attempt.pointsTenths >= 0 && maximum != maxima.end() && maximum->second > 0)
            drawn.emplace_back(attempt.startedAt,
                               (attempt.pointsTenths * 200 + maximum->second) / (maximum->second * 2));
        else
            drawn.emplace_back(attempt.startedAt, attempt.score);
    }
    return drawn;
}

bool ScoreChart::write(const std::vector<AttemptSummary>& attempts, const std::string& picturePath,
                       const std::string& pagePath, int width, int height, const std::map<std::int64_t, int>& maxima)
{
    const ChartDrawing* drawing = ChartModule::drawing();
    return drawing != nullptr && drawing->scoreCurve(points(attempts, maxima), picturePath, pagePath, width, height);
}
