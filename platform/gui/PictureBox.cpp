#include "platform/gui/PictureBox.h"

#include <QPainter>

namespace platform {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
}

bool PictureBox::load(const QString& path)
{
    picture_ = QPixmap(path);
    update();
    return !picture_.isNull();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QSize fitted = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    painter.drawPixmap(target, picture_);
}

} // namespace platform
