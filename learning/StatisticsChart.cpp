#include "learning/StatisticsChart.h"

#include "attempts/ChartPage.h"
#include "platform/CodePage.h"
#include "platform/gui/QtText.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

using platform::qtText;

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
                                  const std::string& pagePath, int width, int height, const std::string& axisTitle)
{
    auto* set = new QBarSet(qtText(GBK("人次")));
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
    chart->setTitle(qtText(GBK("得分分布（共 ") + std::to_string(scores.size()) + GBK(" 次考试）")));
    chart->addSeries(series);
    auto* axisX = new QBarCategoryAxis;
    axisX->append(bins);
    axisX->setTitleText(qtText(axisTitle));
    auto* axisY = new QValueAxis;
    // Counts are whole numbers: ticks every 1, 2 or 5 times a power of ten, at
    // most ten of them, so a small count is never labelled 0, 0, 1, 1, 2.
    const int top = std::max(1, most);
    int step = 1;
    for (int scale = 1; (top + step - 1) / step > 10; scale *= 10)
        step = top <= 20 * scale ? 2 * scale : top <= 50 * scale ? 5 * scale : 10 * scale;
    axisY->setRange(0, ((top + step - 1) / step) * step);
    axisY->setTickType(QValueAxis::TicksDynamic);
    axisY->setTickAnchor(0);
    axisY->setTickInterval(step);
    axisY->setLabelFormat("%d");
    axisY->setTitleText(qtText(GBK("人次")));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisX);
    series->attachAxis(axisY);
    return ChartPage::write(chart, picturePath, pagePath, width, height);
}

bool StatisticsChart::writeFacility(const std::vector<QuestionStatistics>& questions, const std::string& picturePath,
                                    const std::string& pagePath, int width, int height)
{
    auto* plain = new QScatterSeries;
    auto* suspect = new QScatterSeries;
    plain->setName(qtText(GBK("题目")));
    suspect->setName(qtText(GBK("答案可疑")));
    plain->setMarkerSize(questions.size() > 500 ? 4 : 7);
    suspect->setMarkerSize(9);
    suspect->setColor(QColor(0xD0, 0x20, 0x20));
    for (std::size_t i = 0; i < questions.size(); ++i)
        (questions[i].suspect ? suspect : plain)->append(static_cast<qreal>(i + 1), questions[i].facility());
    auto* chart = new QChart;
    chart->setTitle(qtText(GBK("各题答对率（按表中顺序）")));
    chart->addSeries(plain);
    chart->addSeries(suspect);
    // The axes reach half a marker past the first and last question and past
    // 0 and 100 %, so no point is cut at the frame; the ticks stay on whole
    // numbers of questions and on tenths.
    const int count = static_cast<int>(std::max<std::size_t>(questions.size(), 1));
    int step = 1;
    for (int scale = 1; count / step > 10; scale *= 10)
        step = count <= 20 * scale ? 2 * scale : count <= 50 * scale ? 5 * scale : 10 * scale;
    auto* axisX = new QValueAxis;
    axisX->setRange(0.5, count + 0.5);
    axisX->setTickType(QValueAxis::TicksDynamic);
    axisX->setTickAnchor(0);
    axisX->setTickInterval(step);
    axisX->setLabelFormat("%d");
    axisX->setTitleText(qtText(GBK("题目")));
    auto* axisY = new QValueAxis;
    axisY->setRange(-0.04, 1.04);
    axisY->setTickType(QValueAxis::TicksDynamic);
    axisY->setTickAnchor(0);
    axisY->setTickInterval(0.2);
    axisY->setLabelFormat("%.1f");
    axisY->setTitleText(qtText(GBK("答对率")));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QScatterSeries* series : {plain, suspect}) {
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    return ChartPage::write(chart, picturePath, pagePath, width, height);
}
