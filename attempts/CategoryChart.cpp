#include "attempts/CategoryChart.h"

#include "attempts/ChartPage.h"
#include "platform/CodePage.h"
#include "platform/gui/QtText.h"
#include "questions/AnswerKey.h"
#include "questions/QuestionBank.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>

#include <algorithm>
#include <map>

using platform::qtText;

std::vector<CategoryChart::Share> CategoryChart::shares(const std::vector<StoredAttempt>& attempts,
                                                        const Categories& categories)
{
    const std::string& none = QuestionBank::uncategorisedText();
    std::map<std::string, Share> named;
    for (const StoredAttempt& attempt : attempts) {
        if (attempt.summary.state != AttemptState::HandedIn)
            continue;
        for (const AttemptEntry& entry : attempt.entries) {
            // A paper shorter than the bank asked for keeps empty places.
            if (entry.questionKey.empty() || entry.answer.empty())
                continue;
            const auto found = categories.find(entry.questionKey);
            Share& share = named[found == categories.end() ? none : found->second];
            ++share.questions;
            share.right += AnswerKey::matches(entry.chosen, entry.answer) ? 1 : 0;
        }
    }
    std::vector<Share> out;
    out.reserve(named.size());
    for (auto& [category, share] : named) {
        share.category = category;
        out.push_back(share);
    }
    std::stable_partition(out.begin(), out.end(), [&](const Share& s) { return s.category != none; });
    return out;
}

bool CategoryChart::write(const std::vector<Share>& shares, const std::string& picturePath, const std::string& pagePath,
                          int width, int height)
{
    auto* set = new QBarSet(qtText(GBK("答对率")));
    QStringList names;
    for (const Share& share : shares) {
        *set << share.percent();
        names << qtText(share.category);
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
