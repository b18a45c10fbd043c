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

} // namespace
