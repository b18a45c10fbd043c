#include "attempts/ScoreChart.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QPixmap>
#include <QScatterSeries>
#include <QValueAxis>

namespace {

QString qt(const std::string& gbk)
{
    const std::u16string text = platform::gbkToUtf16(gbk);
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

} // namespace

std::vector<std::pair<std::string, int>> ScoreChart::points(const std::vector<AttemptSummary>& attempts)
{
    std::vector<std::pair<std::string, int>> drawn;
    for (const AttemptSummary& attempt : attempts) {
        // A drill's score counts its own, fewer questions: no point on the exams' curve.
        if (attempt.state == AttemptState::HandedIn && attempt.score >= 0 && attempt.kind != "drill")
            drawn.emplace_back(attempt.startedAt, attempt.score);
    }
    return drawn;
}

bool ScoreChart::write(const std::vector<AttemptSummary>& attempts, const std::string& picturePath,
                       const std::string& pagePath, int width, int height)
{
    auto* line = new QLineSeries;
    auto* dots = new QScatterSeries;
    dots->setMarkerSize(8);
    QDateTime first, last;
    for (const auto& [startedAt, score] : points(attempts)) {
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
    chart->setTitle(qt(GBK("历次考试得分")));
    chart->addSeries(line);
    chart->addSeries(dots);
    auto* time = new QDateTimeAxis;
    time->setFormat("MM-dd HH:mm");
    time->setTitleText(qt(GBK("考试时间")));
    if (first.isValid()) {
        // A single attempt still gets an axis an hour wide.
        time->setRange(first.addSecs(-1800), last.addSecs(1800));
    }
    auto* score = new QValueAxis;
    score->setRange(0, 100);
    score->setLabelFormat("%d");
    score->setTitleText(qt(GBK("得分")));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(score, Qt::AlignLeft);
    for (QAbstractSeries* series : {static_cast<QAbstractSeries*>(line), static_cast<QAbstractSeries*>(dots)}) {
        series->attachAxis(time);
        series->attachAxis(score);
    }

    QChartView view(chart);
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(width, height);
    const QPixmap picture = view.grab();
    const std::optional<std::string> systemPath = platform::FileSystem::toSystemPath(picturePath);
    if (!systemPath || !picture.save(QString::fromUtf8(systemPath->c_str()), "PNG"))
        return false;

    std::string name = picturePath;
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const std::string page = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
                             "</head><body><img src=\"" +
                             name + "\"></body></html>";
    return platform::FileSystem::writeFile(pagePath, page);
}
