#include "platform/gui/PictureBox.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(PictureBoxTest, PortraitJpegIsFittedKeepingItsProportionsAndCentred)
{
    QTemporaryDir dir;
    QImage photo(500, 750, QImage::Format_RGB32);
    photo.fill(QColor(0, 200, 0));
    const QString path = dir.filePath("photo.jpg");
    ASSERT_TRUE(photo.save(path, "JPG"));

    QWidget parent;
    parent.resize(178, 244);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(255, 0, 0));
    parent.setPalette(palette);
    auto* box = new PictureBox(&parent);
    box->setGeometry(0, 0, 178, 244);
    ASSERT_TRUE(box->load(path));
    EXPECT_EQ(box->pictureSize(), QSize(500, 750));

    const QImage shown = parent.grab().toImage();
    // 500 x 750 into 178 x 244 gives about 162 x 244: a margin of 8 on each side.
    EXPECT_EQ(shown.pixelColor(3, 122), QColor(255, 0, 0));
    EXPECT_EQ(shown.pixelColor(174, 122), QColor(255, 0, 0));
    const QColor middle = shown.pixelColor(89, 122);
    EXPECT_LT(middle.red(), 30);
    EXPECT_GT(middle.green(), 170);
    EXPECT_GT(shown.pixelColor(89, 1).green(), 170) << "the full height is used";
}

TEST(PictureBoxTest, UnreadablePictureLeavesTheBoxEmpty)
{
    PictureBox box;
    EXPECT_FALSE(box.load(QStringLiteral("/nonexistent/photo.jpg")));
    EXPECT_FALSE(box.hasPicture());
}

} // namespace
