#pragma once

#include <QString>
#include <QWidget>

#include <vector>

namespace platform {

// A bar of text panels of fixed widths; the last panel takes the rest.
class StatusBarWidget : public QWidget {
    Q_OBJECT
public:
    explicit StatusBarWidget(QWidget* parent = nullptr);

    void addPanel(int width, const QString& text);
    int panelCount() const { return static_cast<int>(panels_.size()); }
    bool setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;
    QRect panelRect(int panel) const;
    void setTextColour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Panel {
        int width = 0;
        QString text;
    };
    std::vector<Panel> panels_;
    QColor textColour_ = Qt::black;
};

} // namespace platform
