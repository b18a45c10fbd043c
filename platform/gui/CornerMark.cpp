#include "platform/gui/CornerMark.h"

#include <QEvent>
#include <QPainter>
#include <QPolygon>

namespace platform {

CornerMark::CornerMark(QWidget* control) : QWidget(control)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(size, size);
    control->installEventFilter(this);
    place();
}

bool CornerMark::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        place();
    return QWidget::eventFilter(watched, event);
}

void CornerMark::place()
{
    move(parentWidget()->width() - size, 0);
    raise();
}

void CornerMark::paintEvent(QPaintEvent*)
{
    // Black with a white edge stands out on the green, the red and the plain face alike.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygon triangle({QPoint(0, 0), QPoint(size, 0), QPoint(size, size)});
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(Qt::black);
    painter.drawPolygon(triangle);
}

} // namespace platform
