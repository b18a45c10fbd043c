#include "platform/print/HtmlPage.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <vector>

namespace platform {

QString HtmlPage::unguardStyles(const QString& html)
{
    static const QRegularExpression guarded(QStringLiteral("(<style[^>]*>)\\s*<!--(.*?)-->\\s*(</style>)"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    QString result = html;
    result.replace(guarded, QStringLiteral("\\1\\2\\3"));
    return result;
}

QString HtmlPage::breakStrayParagraphEnds(const QString& html)
{
    static const QRegularExpression paragraphTag(QStringLiteral("<(/?)p(?:\\s[^>]*)?>"),
                                                 QRegularExpression::CaseInsensitiveOption);
    QString result;
    result.reserve(html.size());
    qsizetype copied = 0;
    int open = 0;
    for (auto it = paragraphTag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch tag = it.next();
        if (tag.captured(1).isEmpty()) {
            ++open;
            continue;
        }
        if (open > 0) {
            --open;
            continue;
        }
        result += QStringView(html).mid(copied, tag.capturedStart() - copied);
        result += QStringLiteral("<br />");
        copied = tag.capturedEnd();
    }
    result += QStringView(html).mid(copied);
    return result;
}

void HtmlPage::spreadPercentageColumns(QTextDocument& document)
{
    std::vector<QTextFrame*> frames = {document.rootFrame()};
    while (!frames.empty()) {
        QTextFrame* frame = frames.back();
        frames.pop_back();
        for (QTextFrame* child : frame->childFrames())
            frames.push_back(child);
        auto* table = qobject_cast<QTextTable*>(frame);
        if (table == nullptr)
            continue;
        QTextTableFormat format = table->format();
        QList<QTextLength> widths = format.columnWidthConstraints();
        qreal sum = 0;
        bool allPercentages = !widths.isEmpty();
        for (const QTextLength& width : widths) {
            allPercentages = allPercentages && width.type() == QTextLength::PercentageLength;
            sum += width.rawValue();
        }
        if (!allPercentages || sum <= 0 || sum >= 100)
            continue;
        for (QTextLength& width : widths)
            width = QTextLength(QTextLength::PercentageLength, width.rawValue() * 100 / sum);
        format.setColumnWidthConstraints(widths);
        table->setFormat(format);
    }
}

QString HtmlPage::mended(const QString& html)
{
    return breakStrayParagraphEnds(unguardStyles(html));
}

} // namespace platform
