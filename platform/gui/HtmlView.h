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
    // As HtmlPage's, which every shown page goes through.
    static QString unguardStyles(const QString& html);
    static QString breakStrayParagraphEnds(const QString& html);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void followLink(const QUrl& link);

    QString shownFile_;
    QUrl baseUrl_;
};

} // namespace platform
