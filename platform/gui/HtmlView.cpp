#include "platform/gui/HtmlView.h"

#include "platform/FileSystem.h"
#include "platform/gui/QtText.h"
#include "platform/print/HtmlPage.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QTextDocument>

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
    return HtmlPage::unguardStyles(html);
}

QString HtmlView::breakStrayParagraphEnds(const QString& html)
{
    return HtmlPage::breakStrayParagraphEnds(html);
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
    setHtml(HtmlPage::mended(decodePage(bytes)));
    HtmlPage::spreadPercentageColumns(*document());
    document()->setPageSize(pageSize);
    // Finished now, so that the scroll range comes from the real height, not
    // from the estimate a partial layout reports.
    document()->documentLayout()->documentSize();
    return true;
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
