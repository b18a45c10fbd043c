#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

namespace platform {

// A filled, framed rectangle that holds other controls.
class ShapeBox : public QWidget {
    Q_OBJECT
public:
    explicit ShapeBox(QWidget* parent = nullptr);

    // Unset = the default face colour.
    void setFill(std::optional<QColor> fill);
    std::optional<QColor> fill() const { return fill_; }
    // Unset = the toolkit's dark frame colour.
    void setOutline(std::optional<QColor> outline);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QColor> fill_;
    std::optional<QColor> outline_;
};

} // namespace platform
