#include "platform/gui/ShapeBox.h"

#include <QPainter>

namespace platform {

ShapeBox::ShapeBox(QWidget* parent) : QWidget(parent)
{
}

void ShapeBox::setFill(std::optional<QColor> fill)
{
    fill_ = fill;
    update();
}

void ShapeBox::setOutline(std::optional<QColor> outline)
{
    outline_ = outline;
    update();
}

void ShapeBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), fill_.value_or(palette().color(QPalette::Button)));
    painter.setPen(outline_.value_or(palette().color(QPalette::Dark)));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace platform
