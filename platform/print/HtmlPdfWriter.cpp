#include "platform/print/HtmlPdfWriter.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/print/HtmlPage.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace platform {

namespace {

std::string folderOf(std::string_view path)
{
    // '/' never occurs inside a GBK character, so a byte search is safe.
    const std::size_t slash = path.rfind(FileSystem::separator);
    if (slash == std::string_view::npos)
        return ".";
    return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

constexpr double marginMm = 10;
constexpr double pageWidthPx = 900;

} // namespace

std::string HtmlPdfWriter::render(std::string_view html, std::string_view heading)
{
    QTextDocument document;
    document.setHtml(HtmlPage::mended(QString::fromUtf8(gbkToUtf8(html))));
    HtmlPage::spreadPercentageColumns(document);
    if (!heading.empty()) {
        // Into a block of its own ahead of everything, so the page's first
        // paragraph or table keeps its own format.
        QTextCursor cursor(&document);
        cursor.insertBlock();
        cursor.movePosition(QTextCursor::Start);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bold.setFontPointSize(12);
        QString text = QString::fromUtf8(gbkToUtf8(heading));
        text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
        cursor.insertText(text, bold);
    }

    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
        // The page sizes its fonts, borders and paddings in screen pixels. It
        // is laid out on pages as wide as a window of 900 pixels, where
        // the report's narrow columns ("编号", "未答") keep their words on one
        // line, and each page is scaled onto the paper (14 pixels print at
        // about 8 points).
        const QSizeF paper = pdf.pageLayout().paintRectPixels(pdf.resolution()).size();
        document.setPageSize(QSizeF(pageWidthPx, pageWidthPx * paper.height() / paper.width()));
        pdf.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        pdf.setCreator(QString::fromUtf8("模拟考试"));
        document.print(&pdf);
    } // the writer finishes the file as it goes
    buffer.close();
    // A writer that could not start leaves nothing or a stub without pages.
    if (!bytes.startsWith("%PDF") || !bytes.contains("/Page"))
        return {};
    return bytes.toStdString();
}

bool HtmlPdfWriter::write(std::string_view html, std::string_view heading, std::string_view path)
{
    lastError_.clear();
    if (path.empty())
        return fail(GBK("没有给出PDF文件的名称。"));
    if (FileSystem::isDirectory(path))
        return fail(GBK("“") + std::string(path) + GBK("”是一个文件夹，请另给一个文件名。"));
    const std::string folder = folderOf(path);
    if (!FileSystem::isDirectory(folder))
        return fail(GBK("文件夹“") + folder + GBK("”不存在，请另选一个文件夹。"));

    const std::string pdf = render(html, heading);
    if (pdf.empty())
        return fail(GBK("这个页面无法转换为PDF。"));
    if (!FileSystem::replaceFile(path, pdf))
        return fail(GBK("无法写入文件“") + std::string(path) + GBK("”，请检查文件夹“") + folder +
                    GBK("”是否可写、磁盘是否已满。"));
    return true;
}

bool HtmlPdfWriter::fail(std::string reason)
{
    lastError_ = std::move(reason);
    return false;
}

} // namespace platform
