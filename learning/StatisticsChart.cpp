#include "learning/StatisticsChart.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QPixmap>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

QString qt(const std::string& gbk)
{
    const std::u16string text = platform::gbkToUtf16(gbk);
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

bool save(QChart* chart, const std::string& picturePath, const std::string& pagePath, int width, int height)
{
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

} // namespace

std::vector<int> StatisticsChart::scoreCounts(const std::vector<int>& scores)
{
    std::vector<int> counts(scoreBins, 0);
    for (int score : scores) {
        if (score >= 0)
            ++counts[static_cast<std::size_t>(std::min(score / 10, scoreBins - 1))];
    }
    return counts;
}

bool StatisticsChart::writeScores(const std::vector<int>& scores, const std::string& picturePath,
                                  const std::string& pagePath, int width, int height)
{
    auto* set = new QBarSet(qt(GBK("人次")));
    QStringList bins;
    int most = 0;
    const std::vector<int> counts = scoreCounts(scores);
    for (int i = 0; i < scoreBins; ++i) {
        *set << counts[static_cast<std::size_t>(i)];
        most = std::max(most, counts[static_cast<std::size_t>(i)]);
        bins << QString("%1-%2").arg(i * 10).arg(i == scoreBins - 1 ? 100 : i * 10 + 9);
    }
    auto* series = new QBarSeries;
    series->append(set);
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setTitle(qt(GBK("得分分布（共 ") + std::to_string(scores.size()) + GBK(" 次考试）")));
    chart->addSeries(series);
    auto* axisX = new QBarCategoryAxis;
    axisX->append(bins);
    axisX->setTitleText(qt(GBK("得分")));
    auto* axisY = new QValueAxis;
    axisY->setRange(0, std::max(1, most));
    axisY->applyNiceNumbers();
    axisY->setLabelFormat("%d");
    axisY->setTitleText(qt(GBK("人次")));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisX);
    series->attachAxis(axisY);
    return save(chart, picturePath, pagePath, width, height);
}

bool StatisticsChart::writeFacility(const std::vector<QuestionStatistics>& questions, const std::string& picturePath,
                                    const std::string& pagePath, int width, int height)
{
    auto* plain = new QScatterSeries;
    auto* suspect = new QScatterSeries;
    plain->setName(qt(GBK("题目")));
    suspect->setName(qt(GBK("答案可疑")));
    plain->setMarkerSize(questions.size() > 500 ? 4 : 7);
    suspect->setMarkerSize(9);
    suspect->setColor(QColor(0xD0, 0x20, 0x20));
    for (std::size_t i = 0; i < questions.size(); ++i)
        (questions[i].suspect ? suspect : plain)->append(static_cast<qreal>(i + 1), questions[i].facility());
    auto* chart = new QChart;
    chart->setTitle(qt(GBK("各题答对率（按表中顺序）")));
    chart->addSeries(plain);
    chart->addSeries(suspect);
    auto* axisX = new QValueAxis;
    axisX->setRange(0, static_cast<qreal>(std::max<std::size_t>(questions.size(), 1) + 1));
    axisX->applyNiceNumbers();
    axisX->setLabelFormat("%d");
    axisX->setTitleText(qt(GBK("题目")));
    auto* axisY = new QValueAxis;
    axisY->setRange(0, 1);
    axisY->setTitleText(qt(GBK("答对率")));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QScatterSeries* series : {plain, suspect}) {
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    return save(chart, picturePath, pagePath, width, height);
}
