#include "platform/gui/TransparentLabel.h"

#include "platform/gui/GuiFonts.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Ink {
    int whiteLeft = -1;
    int colourLeft = -1;
    bool backgroundKept = true;
};

Ink paint(bool embossed, Qt::Alignment alignment = Qt::AlignHCenter)
{
    QWidget parent;
    parent.resize(200, 80);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 255));
    parent.setPalette(palette);
    auto* label = new TransparentLabel(&parent);
    label->setGeometry(0, 0, 200, 80);
    label->setFont(GuiFonts::font({"default", 48, true}));
    label->setColour(QColor(0x80, 0x80, 0x80));
    label->setEmbossed(embossed);
    label->setAlignment(alignment);
    label->setText(QStringLiteral("国"));
    const QImage image = parent.grab().toImage();

    Ink ink;
    ink.backgroundKept = image.pixelColor(199, 79) == QColor(0, 0, 255);
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel == QColor(Qt::white) && ink.whiteLeft < 0)
                ink.whiteLeft = x;
            if (pixel == QColor(0x80, 0x80, 0x80) && ink.colourLeft < 0)
                ink.colourLeft = x;
        }
    }
    return ink;
}

TEST(TransparentLabelTest, DrawsNoBackgroundAndEmbossesWithAWhiteCopy)
{
    const Ink plain = paint(false);
    EXPECT_TRUE(plain.backgroundKept) << "what lies behind shows through";
    EXPECT_EQ(plain.whiteLeft, -1);
    ASSERT_GE(plain.colourLeft, 0);

    const Ink embossed = paint(true);
    EXPECT_TRUE(embossed.backgroundKept);
    ASSERT_GE(embossed.whiteLeft, 0);
    EXPECT_EQ(embossed.colourLeft, plain.colourLeft + 1) << "the coloured text sits one pixel to the right";
}

TEST(TransparentLabelTest, CentredUnlessLeftAligned)
{
    const Ink centred = paint(false);
    const Ink left = paint(false, Qt::AlignLeft);
    EXPECT_LT(left.colourLeft, 10);
    EXPECT_GT(centred.colourLeft, 50);
}

QImage render(const QString& text, QSize size, qreal lineFactor)
{
    QWidget parent;
    parent.resize(size);
    auto* label = new TransparentLabel(&parent);
    label->setGeometry(QRect(QPoint(0, 0), size));
    label->setFont(GuiFonts::font({"default", 16, true}));
    label->setLineFactor(lineFactor);
    label->setAlignment(Qt::AlignLeft);
    label->setText(text);
    return parent.grab().toImage();
}

bool inked(const QImage& image, QRect area)
{
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (image.pixelColor(x, y).lightness() < 100)
                return true;
    return false;
}

// First row with ink at or below `from`.
int firstInkedRow(const QImage& image, int from)
{
    for (int y = from; y < image.height(); ++y)
        if (inked(image, QRect(0, y, image.width(), 1)))
            return y;
    return -1;
}

TEST(TransparentLabelTest, SongFacesPutOneLineEveryCharacterHeight)
{
    // The start window's two captions, four line breaks apart in a box 88 high.
    const QString captions = QStringLiteral("身 份 证 号：\n\n\n\n座 位 号 码：");
    const QImage song = render(captions, QSize(144, 88), GuiFonts::lineFactor({"default", 16, true}));
    const int firstLine = firstInkedRow(song, 0);
    ASSERT_GE(firstLine, 0);
    EXPECT_NEAR(firstInkedRow(song, firstLine + 16), firstLine + 64, 2) << "the fifth line lies 4 x 16 pixels lower";
    EXPECT_EQ(GuiFonts::lineFactor({"微软雅黑", 16, true}), 0.0);
}

TEST(TransparentLabelTest, BoxOneLineHighDoesNotWrapItsCaption)
{
    const QImage image = render(QStringLiteral("正确答案："), QSize(75, 19), 1.0);
    EXPECT_TRUE(inked(image, QRect(49, 0, 14, 19))) << "the fourth character stays on the line";
}

} // namespace
