#include "attempts/ScoreChart.h"

#include "attempts/ChartPage.h"
#include "platform/CodePage.h"
#include "platform/gui/QtText.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

using platform::qtText;

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
    auto* line = new QLineSeries;
    auto* dots = new QScatterSeries;
    dots->setMarkerSize(8);
    QDateTime first, last;
    for (const auto& [startedAt, score] : points(attempts, maxima)) {
        const QDateTime at = QDateTime::fromString(QString::fromLatin1(startedAt.c_str()), "yyyy-MM-dd HH:mm:ss");
        if (!at.isValid())
            continue;
        line->append(static_cast<qreal>(at.toMSecsSinceEpoch()), score);
        dots->append(static_cast<qreal>(at.toMSecsSinceEpoch()), score);
        if (!first.isValid())
            first = at;
        last = at;
    }
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setTitle(qtText(GBK("历次考试得分")));
    chart->addSeries(line);
    chart->addSeries(dots);
    auto* time = new QDateTimeAxis;
    time->setFormat("MM-dd HH:mm");
    time->setTitleText(qtText(GBK("考试时间")));
    if (first.isValid()) {
        // A single attempt still gets an axis an hour wide.
        time->setRange(first.addSecs(-1800), last.addSecs(1800));
    }
    auto* score = new QValueAxis;
    score->setRange(0, 100);
    score->setLabelFormat("%d");
    score->setTitleText(qtText(GBK("得分")));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(score, Qt::AlignLeft);
    for (QAbstractSeries* series : {static_cast<QAbstractSeries*>(line), static_cast<QAbstractSeries*>(dots)}) {
        series->attachAxis(time);
        series->attachAxis(score);
    }

    return ChartPage::write(chart, picturePath, pagePath, width, height);
}
