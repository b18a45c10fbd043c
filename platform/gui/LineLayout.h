#pragma once

#include <QRectF>
#include <QString>

class QPainter;
class QFont;

namespace platform {

// Draws wrapped text with the line pitch of the Windows face it stands for: the
// Song faces of the window descriptions put one line every character height,
// while the installed replacement face would space them wider and push the last
// lines of a multi-line caption out of its box.
class LineLayout {
public:
    // lineFactor: line pitch in character heights; 0 = the face's natural spacing.
    static void paint(QPainter& painter, const QRectF& area, Qt::Alignment alignment, bool wrap, const QString& text,
                      qreal lineFactor);
    static qreal linePitch(const QFont& font, qreal lineFactor);
};

} // namespace platform
