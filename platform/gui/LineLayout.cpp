#include "platform/gui/LineLayout.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>

#include <memory>
#include <vector>

namespace platform {

qreal LineLayout::linePitch(const QFont& font, qreal lineFactor)
{
    const QFontMetricsF metrics(font);
    if (lineFactor <= 0)
        return metrics.lineSpacing();
    qreal characterHeight = font.pixelSize();
    if (characterHeight <= 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
        characterHeight = font.pointSizeF() * dpi / 72.0;
    }
    return characterHeight * lineFactor;
}

void LineLayout::paint(QPainter& painter, const QRectF& area, Qt::Alignment alignment, bool wrap, const QString& text,
                       qreal lineFactor)
{
    const QFont font = painter.font();
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    option.setAlignment(alignment & Qt::AlignHorizontal_Mask);

    std::vector<std::unique_ptr<QTextLayout>> layouts;
    std::vector<QTextLine> lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        auto layout = std::make_unique<QTextLayout>(paragraph, font, painter.device());
        layout->setTextOption(option);
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(area.width());
            line.setPosition(QPointF(0, 0));
            lines.push_back(line);
        }
        layout->endLayout();
        layouts.push_back(std::move(layout));
    }
    if (lines.empty())
        return;

    const qreal pitch = linePitch(font, lineFactor);
    const qreal total = pitch * static_cast<qreal>(lines.size());
    qreal top = area.top();
    if (alignment & Qt::AlignVCenter)
        top += (area.height() - total) / 2;
    else if (alignment & Qt::AlignBottom)
        top += area.height() - total;
    for (const QTextLine& line : lines) {
        // Glyphs sit in the middle of their pitch, as they do in the narrower Windows line.
        const qreal offset = (pitch - line.height()) / 2;
        line.draw(&painter, QPointF(area.left(), top + offset));
        top += pitch;
    }
}

} // namespace platform
