#pragma once

#include <QRadioButton>

namespace platform {

// A classic radio button whose caption wraps over the whole height of the
// control, as long option texts need; a click anywhere on it counts.
class WrappingRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit WrappingRadioButton(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const { return caption_; }
    // Line pitch in character heights; 0 = the face's natural spacing.
    void setLineFactor(qreal factor);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QString caption_;
    qreal lineFactor_ = 0;
};

} // namespace platform
