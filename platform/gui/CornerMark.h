#pragma once

#include <QWidget>

namespace platform {

// A small triangle in the top right corner of a control, drawn over whatever
// colours the control has, so it marks without hiding them. Lets the mouse
// through to the control below.
class CornerMark : public QWidget {
    Q_OBJECT
public:
    static constexpr int size = 12;

    explicit CornerMark(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void place();
};

} // namespace platform
