#include "platform/gui/QtText.h"

#include "platform/CodePage.h"

namespace platform {

QString qtText(std::string_view gbk)
{
    std::u16string utf16 = gbkToUtf16(gbk);
    return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size()));
}

std::string gbkText(const QString& text)
{
    return utf16ToGbk(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

QString qtDisplayText(std::string_view gbk)
{
    QString text = qtText(gbk);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string gbkTextCrLf(const QString& text)
{
    QString withCrLf = text;
    withCrLf.replace(QChar(0x2029), QChar('\n'));
    withCrLf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    withCrLf.replace(QChar('\n'), QStringLiteral("\r\n"));
    return gbkText(withCrLf);
}

QColor qtColour(Rgb rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

Rgb rgbOf(const QColor& colour)
{
    return (static_cast<Rgb>(colour.red()) << 16) | (static_cast<Rgb>(colour.green()) << 8) |
           static_cast<Rgb>(colour.blue());
}

} // namespace platform
