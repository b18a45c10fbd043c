#include "platform/gui/HtmlView.h"

#include "platform/FileSystem.h"
#include "platform/gui/QtText.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace platform {

namespace {

// Pages, pictures and style sheets are read like every file of the program,
// by their GBK path.
bool readLocalFile(const QString& path, QByteArray& bytes)
{
    std::string content;
    if (!FileSystem::readFile(gbkText(path), content))
        return false;
    bytes = QByteArray(content.data(), static_cast<qsizetype>(content.size()));
    return true;
}

} // namespace

HtmlView::HtmlView(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HtmlView::followLink);
}

QString HtmlView::decodePage(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    const QByteArray head = bytes.left(2048).toLower();
    if (head.contains("charset=utf-8") || head.contains("charset=\"utf-8\""))
        return QString::fromUtf8(bytes);
    return qtText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QString HtmlView::unguardStyles(const QString& html)
{
    static const QRegularExpression guarded(QStringLiteral("(<style[^>]*>)\\s*<!--(.*?)-->\\s*(</style>)"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    QString result = html;
    result.replace(guarded, QStringLiteral("\\1\\2\\3"));
    return result;
}

QString HtmlView::breakStrayParagraphEnds(const QString& html)
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

bool HtmlView::showFile(const QString& path)
{
    shownFile_ = path;
    QFileInfo info(path);
    baseUrl_ = QUrl::fromLocalFile(info.absolutePath() + QLatin1Char('/'));
    document()->setBaseUrl(baseUrl_);
    setSearchPaths({info.absolutePath()});
    QByteArray bytes;
    if (!FileSystem::fileSize(gbkText(path)) || !readLocalFile(path, bytes)) {
        setHtml(QStringLiteral("<html><body><h3>无法显示此网页</h3><p>%1</p></body></html>").arg(path.toHtmlEscaped()));
        return false;
    }
    // Laid out once, at the end: with a null page size the document is not laid
    // out while it is replaced and its tables widened, so neither the empty
    // document in between hides the scroll bar (a second pass at a new width)
    // nor the widened tables need a pass of their own.
    const QSizeF pageSize = document()->pageSize();
    document()->setPageSize(QSizeF(0, 0));
    setHtml(breakStrayParagraphEnds(unguardStyles(decodePage(bytes))));
    spreadPercentageColumns();
    document()->setPageSize(pageSize);
    // Finished now, so that the scroll range comes from the real height, not
    // from the estimate a partial layout reports.
    document()->documentLayout()->documentSize();
    return true;
}

void HtmlView::spreadPercentageColumns()
{
    std::vector<QTextFrame*> frames = {document()->rootFrame()};
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

QVariant HtmlView::loadResource(int type, const QUrl& name)
{
    const QUrl url = name.isRelative() ? baseUrl_.resolved(name) : name;
    if (url.isLocalFile()) {
        QByteArray bytes;
        if (readLocalFile(url.toLocalFile(), bytes)) {
            if (type == QTextDocument::ImageResource)
                return bytes;
            return decodePage(bytes);
        }
    }
    return QTextBrowser::loadResource(type, name);
}

void HtmlView::followLink(const QUrl& link)
{
    if (link.hasFragment() && link.path().isEmpty()) {
        scrollToAnchor(link.fragment());
        return;
    }
    const QUrl url = link.isRelative() ? baseUrl_.resolved(link) : link;
    if (url.isLocalFile())
        showFile(url.toLocalFile());
}

} // namespace platform
