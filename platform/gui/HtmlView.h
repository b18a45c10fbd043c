#pragma once

#include <QTextBrowser>
#include <QUrl>

namespace platform {

// Shows local HTML files. Pages are decoded with the program's own code-page 936
// converter (Qt's gb2312 codec garbles the characters that only GBK has) unless
// they declare UTF-8; relative images, style sheets and links resolve against
// the page's folder.
class HtmlView : public QTextBrowser {
    Q_OBJECT
public:
    explicit HtmlView(QWidget* parent = nullptr);

    // False when the file cannot be read; an error page is shown then.
    bool showFile(const QString& path);
    QString shownFile() const { return shownFile_; }

    static QString decodePage(const QByteArray& bytes);
    // Qt's style-sheet reader drops a whole style block wrapped in the old
    // "<!-- ... -->" guard; the guard is taken off before the page is shown.
    static QString unguardStyles(const QString& html);
    // A "</p>" without an open paragraph ends a line in a browser but nothing
    // in Qt's reader; it becomes a line break.
    static QString breakStrayParagraphEnds(const QString& html);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void followLink(const QUrl& link);
    // Tables whose columns all have percentage widths fill their own width, as
    // in a browser; Qt would leave the rest of the table empty.
    void spreadPercentageColumns();

    QString shownFile_;
    QUrl baseUrl_;
};

} // namespace platform
