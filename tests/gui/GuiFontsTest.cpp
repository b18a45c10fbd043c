#include "platform/gui/GuiFonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(GuiFontsTest, WindowsFacesMapToAnInstalledCjkFaceThatHasEveryGlyph)
{
    const QString sample = QStringLiteral("模拟题库练习身份证号座位号码镕喆【】：，、0123ABC");
    for (const char* face : {"微软雅黑", "新宋体", "SimSun", "default"}) {
        const QFont font = GuiFonts::font({face, 20, true});
        EXPECT_EQ(QFontInfo(font).family(), GuiFonts::cjkFamily()) << face;
        EXPECT_EQ(font.pixelSize(), 20);
        EXPECT_TRUE(font.bold());
        const QFontMetrics metrics(font);
        for (QChar character : sample)
            EXPECT_TRUE(metrics.inFont(character))
                << face << " lacks U+" << std::hex << static_cast<int>(character.unicode());
    }
}

TEST(GuiFontsTest, UnsetSizeIsTheDefaultPixelHeight)
{
    EXPECT_EQ(GuiFonts::font({}).pixelSize(), GuiFonts::defaultPixelHeight);
    EXPECT_FALSE(GuiFonts::font({}).bold());
}

} // namespace
