#include "platform/gui/GuiFonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace platform {
namespace {

const char* const windowsFaces[] = {"微软雅黑", "新宋体", "SimSun", "宋体", "default"};

} // namespace

QString GuiFonts::cjkFamily()
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* candidate : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC", "AR PL UMing CN"}) {
            if (installed.contains(QString::fromUtf8(candidate)))
                return QString::fromUtf8(candidate);
        }
        return QString::fromUtf8("WenQuanYi Micro Hei");
    }();
    return family;
}

void GuiFonts::install()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (const char* face : windowsFaces)
        QFont::insertSubstitution(QString::fromUtf8(face), cjkFamily());
    QFont applicationFont(cjkFamily());
    applicationFont.setPixelSize(defaultPixelHeight);
    QApplication::setFont(applicationFont);
}

qreal GuiFonts::lineFactor(const FontSpec& spec)
{
    const bool song = spec.face.empty() || spec.face == "default" || spec.face == "新宋体" || spec.face == "SimSun" ||
                      spec.face == "宋体";
    return song ? 1.0 : 0.0;
}

QFont GuiFonts::font(const FontSpec& spec)
{
    install();
    QFont result(spec.face.empty() || spec.face == "default" ? cjkFamily() : QString::fromUtf8(spec.face));
    result.setPixelSize(spec.pixelHeight > 0 ? spec.pixelHeight : defaultPixelHeight);
    result.setBold(spec.bold);
    return result;
}

} // namespace platform
