#include "platform/gui/TransparentLabel.h"

#include "platform/gui/LineLayout.h"

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

void TransparentLabel::setLineFactor(qreal factor)
{
    lineFactor_ = factor;
    update();
}

void TransparentLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    QRectF area = rect();
    // A box one line high keeps its caption on that line, clipped at the edge,
    // rather than wrapping the end of it out of sight.
    const bool wrap = wordWrap_ && height() >= 2 * LineLayout::linePitch(font(), lineFactor_);
    if (embossed_) {
        painter.setPen(Qt::white);
        LineLayout::paint(painter, area, alignment_ | Qt::AlignTop, wrap, text_, lineFactor_);
        area.translate(1, 1);
    }
    painter.setPen(isEnabled() ? colour_ : palette().color(QPalette::Disabled, QPalette::WindowText));
    LineLayout::paint(painter, area, alignment_ | Qt::AlignTop, wrap, text_, lineFactor_);
}

} // namespace platform
