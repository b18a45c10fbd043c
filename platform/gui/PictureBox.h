#pragma once

#include <QPixmap>
#include <QWidget>

namespace platform {

// Shows a stored picture fitted into the box, keeping its proportions, centred.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // A file path or a Qt resource path; false when it cannot be read.
    bool load(const QString& path);
    bool hasPicture() const { return !picture_.isNull(); }
    QSize pictureSize() const { return picture_.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

} // namespace platform
