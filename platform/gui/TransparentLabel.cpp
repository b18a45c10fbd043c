#include "platform/gui/TransparentLabel.h"

#include <QPainter>

namespace platform {

TransparentLabel::TransparentLabel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void TransparentLabel::setText(const QString& text)
{
    text_ = text;
    update();
}

void TransparentLabel::setColour(const QColor& colour)
{
    colour_ = colour;
    update();
}

void TransparentLabel::setAlignment(Qt::Alignment horizontal)
{
    alignment_ = horizontal & Qt::AlignHorizontal_Mask;
    update();
}

void TransparentLabel::setWordWrap(bool wrap)
{
    wordWrap_ = wrap;
    update();
}

void TransparentLabel::setEmbossed(bool embossed)
{
    embossed_ = embossed;
    update();
}

void TransparentLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    const int flags = static_cast<int>(alignment_ | Qt::AlignTop) | (wordWrap_ ? Qt::TextWordWrap : 0);
    QRect area = rect();
    if (embossed_) {
        painter.setPen(Qt::white);
        painter.drawText(area, flags, text_);
        area.translate(1, 1);
    }
    painter.setPen(isEnabled() ? colour_ : palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(area, flags, text_);
}

} // namespace platform
