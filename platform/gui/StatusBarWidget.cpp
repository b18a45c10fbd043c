#include "platform/gui/StatusBarWidget.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace platform {

StatusBarWidget::StatusBarWidget(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
}

void StatusBarWidget::addPanel(int width, const QString& text)
{
    panels_.push_back({width, text});
    update();
}

bool StatusBarWidget::setPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel >= panelCount())
        return false;
    panels_[static_cast<std::size_t>(panel)].text = text;
    update();
    return true;
}

QString StatusBarWidget::panelText(int panel) const
{
    if (panel < 0 || panel >= panelCount())
        return {};
    return panels_[static_cast<std::size_t>(panel)].text;
}

QRect StatusBarWidget::panelRect(int panel) const
{
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += panels_[static_cast<std::size_t>(i)].width;
    const bool last = panel == panelCount() - 1;
    const int width = last ? std::max(0, this->width() - left) : panels_[static_cast<std::size_t>(panel)].width;
    return QRect(left, 0, width, height());
}

void StatusBarWidget::setTextColour(const QColor& colour)
{
    textColour_ = colour;
    update();
}

void StatusBarWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    for (int i = 0; i < panelCount(); ++i) {
        QRect area = panelRect(i);
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = area.adjusted(0, 0, -2, 0);
        frame.lineWidth = 1;
        frame.midLineWidth = 0;
        frame.state |= QStyle::State_Sunken;
        frame.frameShape = QFrame::Panel;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
        painter.setPen(textColour_);
        painter.drawText(area.adjusted(3, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         panels_[static_cast<std::size_t>(i)].text);
    }
}

} // namespace platform
