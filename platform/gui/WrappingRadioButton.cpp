#include "platform/gui/WrappingRadioButton.h"

#include "platform/gui/LineLayout.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace platform {

WrappingRadioButton::WrappingRadioButton(QWidget* parent) : QRadioButton(parent)
{
}

void WrappingRadioButton::setCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

void WrappingRadioButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    const int indicatorWidth = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, this);
    const int indicatorHeight = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, this);
    option.rect = QRect(0, (height() - indicatorHeight) / 2, indicatorWidth, indicatorHeight);
    painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, option);

    const int spacing = style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
    QRect textArea = rect().adjusted(indicatorWidth + spacing, 0, 0, 0);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const bool wrap = height() >= 2 * LineLayout::linePitch(font(), lineFactor_);
    LineLayout::paint(painter, textArea, Qt::AlignLeft | Qt::AlignVCenter, wrap, caption_, lineFactor_);
}

void WrappingRadioButton::setLineFactor(qreal factor)
{
    lineFactor_ = factor;
    update();
}

bool WrappingRadioButton::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

} // namespace platform
