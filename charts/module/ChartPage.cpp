#include "charts/module/ChartPage.h"

#include "platform/FileSystem.h"

#include <QBuffer>
#include <QChartView>
#include <QPixmap>

bool ChartPage::write(QChart* chart, const std::string& picturePath, const std::string& pagePath, int width, int height)
{
    QChartView view(chart);
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(width, height);
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !view.grab().save(&buffer, "PNG") ||
        !platform::FileSystem::writeFile(picturePath,
                                         std::string_view(png.constData(), static_cast<std::size_t>(png.size()))))
        return false;

    std::string name = picturePath;
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const std::string page = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
                             "</head><body><img src=\"" +
                             name + "\"></body></html>";
    return platform::FileSystem::writeFile(pagePath, page);
}
