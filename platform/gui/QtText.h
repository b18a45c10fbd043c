#pragma once

#include <QColor>
#include <QString>

#include <string>
#include <string_view>

#include "platform/gui/WindowDescription.h"

// Crossings between the program's GBK texts and Qt strings.
namespace platform {

QString qtText(std::string_view gbk);
std::string gbkText(const QString& text);
// For showing: CR LF becomes the line break Qt widgets expect.
QString qtDisplayText(std::string_view gbk);
// Edit box contents: Qt line breaks become CR LF.
std::string gbkTextCrLf(const QString& text);
QColor qtColour(Rgb rgb);
Rgb rgbOf(const QColor& colour);

} // namespace platform
