#include "charts/module/ChartPainter.h"

#include "charts/module/ChartPage.h"
#include "platform/CodePage.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

// The program's window layer is not linked into the module: its own state
// would be a second copy here.
QString qtText(std::string_view gbk)
{
    const std::u16string utf16 = platform::gbkToUtf16(gbk);
    return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size()));
}

} // namespace

bool ChartPainter::scoreCurve(const std::vector<std::pair<std::string, int>>& points, const std::string& picturePath,
                              const std::string& pagePath, int width, int height)
{
    auto* line = new QLineSeries;
    auto* dots = new QScatterSeries;
    dots->setMarkerSize(8);
    QDateTime first, last;
    for (const auto& [startedAt, score] : points) {
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

bool ChartPainter::categoryBars(const std::vector<std::pair<std::string, int>>& percents,
                                const std::string& picturePath, const std::string& pagePath, int width, int height)
{
    auto* set = new QBarSet(qtText(GBK("答对率")));
    QStringList names;
    for (const auto& [category, percent] : percents) {
        *set << percent;
        names << qtText(category);
    }
    auto* bars = new QBarSeries;
    bars->append(set);
    bars->setLabelsVisible(true);
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setTitle(qtText(GBK("各分类答对率（%）")));
    chart->addSeries(bars);
    auto* category = new QBarCategoryAxis;
    category->append(names);
    auto* percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setLabelFormat("%d");
    percent->setTitleText(qtText(GBK("答对率（%）")));
    chart->addAxis(category, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);
    bars->attachAxis(category);
    bars->attachAxis(percent);
    return ChartPage::write(chart, picturePath, pagePath, width, height);
}

bool ChartPainter::scoreHistogram(const std::vector<int>& counts, std::size_t total, const std::string& axisTitle,
                                  const std::string& picturePath, const std::string& pagePath, int width, int height)
{
    auto* set = new QBarSet(qtText(GBK("人次")));
    QStringList bins;
    int most = 0;
    const int binCount = static_cast<int>(counts.size());
    for (int i = 0; i < binCount; ++i) {
        *set << counts[static_cast<std::size_t>(i)];
        most = std::max(most, counts[static_cast<std::size_t>(i)]);
        bins << QString("%1-%2").arg(i * 10).arg(i == binCount - 1 ? 100 : i * 10 + 9);
    }
    auto* series = new QBarSeries;
    series->append(set);
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setTitle(qtText(GBK("得分分布（共 ") + std::to_string(total) + GBK(" 次考试）")));
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

bool ChartPainter::facilityScatter(const std::vector<std::pair<double, bool>>& questions,
                                   const std::string& picturePath, const std::string& pagePath, int width, int height)
{
    auto* plain = new QScatterSeries;
    auto* suspect = new QScatterSeries;
    plain->setName(qtText(GBK("题目")));
    suspect->setName(qtText(GBK("答案可疑")));
    plain->setMarkerSize(questions.size() > 500 ? 4 : 7);
    suspect->setMarkerSize(9);
    suspect->setColor(QColor(0xD0, 0x20, 0x20));
    for (std::size_t i = 0; i < questions.size(); ++i)
        (questions[i].second ? suspect : plain)->append(static_cast<qreal>(i + 1), questions[i].first);
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
