#pragma once

#include <QColor>
#include <QWidget>

namespace platform {

// Static text drawn straight onto whatever lies behind it, wrapping at word
// boundaries. An embossed one is drawn in white first and then in its colour one
// pixel further right and down.
class TransparentLabel : public QWidget {
    Q_OBJECT
public:
    explicit TransparentLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return text_; }
    void setColour(const QColor& colour);
    QColor colour() const { return colour_; }
    void setAlignment(Qt::Alignment horizontal);
    void setWordWrap(bool wrap);
    void setEmbossed(bool embossed);
    bool embossed() const { return embossed_; }
    // Line pitch in character heights; 0 = the face's natural spacing.
    void setLineFactor(qreal factor);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor colour_ = Qt::black;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    bool wordWrap_ = true;
    bool embossed_ = false;
    qreal lineFactor_ = 0;
};

} // namespace platform
