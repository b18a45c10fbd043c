#include "platform/gui/HtmlView.h"

#include "GuiTestSupport.h"
#include "platform/CodePage.h"
#include "platform/gui/QtText.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace platform;

namespace {

class ExposedHtmlView : public HtmlView {
public:
    using HtmlView::loadResource;
};

void writeFile(const QString& path, const std::string& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string gbkPage(const std::string& body)
{
    return "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />\r\n"
           "</head>\r\n<body>" +
           body + "</body>\r\n</html>";
}

TEST(HtmlViewTest, GbkPageShowsCharactersOutsideGb2312)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // 0xE946 and 0x86B4 exist only in GBK, not in GB2312.
    const std::string body = GBK("朱镕基") + "<table><tr><td>" + GBK("张喆") + "</td></tr></table>";
    ASSERT_EQ(body.substr(2, 2), "\xE9\x46");
    writeFile(dir.filePath("temp.htm"), gbkPage(body));

    HtmlView view;
    ASSERT_TRUE(view.showFile(dir.filePath("temp.htm")));
    const QString shown = view.toPlainText();
    EXPECT_TRUE(shown.contains(QStringLiteral("朱镕基"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("张喆"))) << shown.toStdString();
}

TEST(HtmlViewTest, Utf8PagesAreTakenAsTheyDeclare)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("u.htm"), "<html><head><meta charset=\"utf-8\"></head><body>镕</body></html>");
    HtmlView view;
    ASSERT_TRUE(view.showFile(dir.filePath("u.htm")));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("镕")));
}

TEST(HtmlViewTest, RelativeResourcesResolveAgainstThePagesFolder)
{
    QTemporaryDir dir;
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(dir.filePath("p.png")));
    writeFile(dir.filePath("style.css"), "td { color: red; }");
    writeFile(dir.filePath("page.htm"), gbkPage("<img src=\"p.png\">"));

    ExposedHtmlView view;
    ASSERT_TRUE(view.showFile(dir.filePath("page.htm")));
    QVariant image = view.loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("p.png")));
    QImage loaded;
    ASSERT_TRUE(loaded.loadFromData(image.toByteArray()));
    EXPECT_EQ(loaded.size(), QSize(4, 3));
    QVariant sheet = view.loadResource(QTextDocument::StyleSheetResource, QUrl(QStringLiteral("style.css")));
    EXPECT_EQ(sheet.toString(), QStringLiteral("td { color: red; }"));
}

QColor colourOf(const QTextDocument& document, const QString& text)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().text().contains(text))
                return it.fragment().charFormat().foreground().color();
    return {};
}

TEST(HtmlViewTest, StylesInsideTheOldCommentGuardStillApply)
{
    QTemporaryDir dir;
    const std::string page = "<html><head><style>\r\n<!--\r\n.datalist td{\r\n\tcolor:#FF0000;\t/* " + GBK("单元格") +
                             " */\r\n}\r\n-->\r\n</style></head><body><table class=\"datalist\"><tr><td>" + GBK("镕") +
                             "</td></tr></table></body></html>";
    writeFile(dir.filePath("guarded.htm"), page);
    HtmlView view;
    ASSERT_TRUE(view.showFile(dir.filePath("guarded.htm")));
    EXPECT_EQ(colourOf(*view.document(), QStringLiteral("镕")), QColor(255, 0, 0));
}

TEST(HtmlViewTest, ParagraphEndsWithoutAParagraphBreakTheLine)
{
    EXPECT_EQ(HtmlView::breakStrayParagraphEnds(QStringLiteral("<td>a</p>b</P></td>")),
              QStringLiteral("<td>a<br />b<br /></td>"));
    EXPECT_EQ(HtmlView::breakStrayParagraphEnds(QStringLiteral("<p class=x>a</p>b</p><pre>c</pre>")),
              QStringLiteral("<p class=x>a</p>b<br /><pre>c</pre>"));

    QTemporaryDir dir;
    writeFile(dir.filePath("options.htm"),
              gbkPage("<table><tr><td>" + GBK("甲") + "</p>" + GBK("乙") + "</p></td></tr></table>"));
    HtmlView view;
    ASSERT_TRUE(view.showFile(dir.filePath("options.htm")));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("甲\n乙"))) << view.toPlainText().toStdString();
}

TEST(HtmlViewTest, PercentageColumnsFillTheTableAsInABrowser)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("report.htm"),
              gbkPage("<table width=\"100%\"><tr><th width=\"5%\">a</th><th width=\"30%\">b</th><th "
                      "width=\"30%\">c</th><th width=\"6%\">d</th><th width=\"6%\">e</th></tr></table>"));
    HtmlView view;
    ASSERT_TRUE(view.showFile(dir.filePath("report.htm")));
    QTextTable* table = nullptr;
    for (QTextFrame* frame : view.document()->rootFrame()->childFrames())
        if (auto* found = qobject_cast<QTextTable*>(frame))
            table = found;
    ASSERT_NE(table, nullptr);
    qreal sum = 0;
    for (const QTextLength& width : table->format().columnWidthConstraints())
        sum += width.rawValue();
    EXPECT_NEAR(sum, 100.0, 0.01);
    EXPECT_NEAR(table->format().columnWidthConstraints().at(1).rawValue(), 30 * 100.0 / 77, 0.01);
}

// A report replacing another is laid out once, at the width it is shown at,
// and shown from its top with the scroll range of its real height.
TEST(HtmlViewTest, ReplacedLongPageIsLaidOutOnceAndShownFromTheTop)
{
    QTemporaryDir dir;
    std::string rows;
    for (int row = 1; row <= 150; ++row)
        rows += "<tr><td>" + std::to_string(row) + "</td><td>" + GBK("题目") + "</td></tr>";
    const std::string page =
        gbkPage("<table width=\"100%\"><tr><th width=\"5%\">a</th><th width=\"30%\">b</th></tr>" + rows + "</table>");
    writeFile(dir.filePath("first.htm"), page);
    writeFile(dir.filePath("second.htm"), page);
    HtmlView view;
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(view.showFile(dir.filePath("first.htm")));
    QCoreApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    bar->setValue(bar->maximum() / 2);

    int sizeReports = 0;
    QObject::connect(view.document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
                     [&sizeReports] { ++sizeReports; });
    ASSERT_TRUE(view.showFile(dir.filePath("second.htm")));
    EXPECT_LE(sizeReports, 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->maximum(),
              view.document()->documentLayout()->documentSize().toSize().height() - view.viewport()->height());
}

TEST(HtmlViewTest, MissingFileShowsAnErrorPage)
{
    HtmlView view;
    EXPECT_FALSE(view.showFile(QStringLiteral("/nonexistent/folder/temp.htm")));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("temp.htm")));
}

TEST(HtmlViewTest, WindowViewTakesAProgramPathWithBackslashes)
{
    GuiFixtureGuard cleanup;
    QTemporaryDir dir;
    writeFile(dir.filePath("temp.htm"), gbkPage(GBK("得分镕")));

    WindowDescription window;
    window.id = "exam";
    window.width = 1017;
    window.height = 660;
    ControlDescription view = control("超文本浏览框1", ControlKind::HtmlView, 216, 8, 56, 24);
    view.visible = false;
    window.controls.push_back(view);
    window.controls.push_back(control("高级选择夹1", ControlKind::PageControl, 216, 8, 792, 600));
    ASSERT_TRUE(Gui::openWindow(window, {}));

    std::string path = gbkText(QDir::toNativeSeparators(dir.path()));
    for (char& c : path)
        if (c == '/')
            c = '\\';
    path += "\\temp.htm";
    Gui::resize("exam", "超文本浏览框1", 792, 600);
    Gui::setVisible("exam", "超文本浏览框1", true);
    EXPECT_TRUE(Gui::showHtmlFile("exam", "超文本浏览框1", path));
    EXPECT_EQ(Gui::htmlFile("exam", "超文本浏览框1"), path);
    EXPECT_NE(Gui::htmlPlainText("exam", "超文本浏览框1").find(GBK("得分镕")), std::string::npos);
    EXPECT_EQ(Gui::geometry("exam", "超文本浏览框1"), (GuiRect{216, 8, 792, 600}));
}

} // namespace
