// The plain side of start-to-window: the start window's controls written out
// with Qt Widgets alone, as any Qt program would show them (same texts, faces,
// pixel sizes and places), reporting when the window is on screen exactly as
// bench_empty_window does. Nothing of the program is linked here.

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <utility>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QString face = QStringLiteral("WenQuanYi Micro Hei");
    const auto font = [&face](int pixels, bool bold) {
        QFont result(face);
        result.setPixelSize(pixels);
        result.setBold(bold);
        return result;
    };
    const auto colour = [](QWidget* widget, QPalette::ColorRole role, QColor value) {
        QPalette palette = widget->palette();
        palette.setColor(role, value);
        widget->setPalette(palette);
    };
    QApplication::setFont(font(12, false));

    QWidget window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window.setWindowTitle(QStringLiteral("模拟考试系统"));
    window.setFixedSize(422 - 6, 328 - 29);

    auto* title = new QLabel(QStringLiteral("安全生产与质量管理模拟考试"), &window);
    title->setGeometry(0, 8, 416, 40);
    title->setFont(font(32, true));
    title->setAlignment(Qt::AlignCenter);
    title->setAutoFillBackground(true);
    colour(title, QPalette::WindowText, QColor(0x00, 0xFF, 0x00));

    auto* box = new QFrame(&window);
    box->setGeometry(8, 52, 400, 225);
    box->setFrameStyle(QFrame::Box | QFrame::Plain);
    box->setAutoFillBackground(true);
    colour(box, QPalette::Window, QColor(0xFF, 0xFF, 0xCE));
    colour(box, QPalette::WindowText, box->palette().color(QPalette::Dark));

    // The two captions stand four lines of 16 px apart, beside their boxes.
    for (const auto& [text, top] : {std::pair{"身 份 证 号：", 44}, std::pair{"座 位 号 码：", 108}}) {
        auto* caption = new QLabel(QString::fromUtf8(text), box);
        caption->setGeometry(8, top, 144, 24);
        caption->setFont(font(16, true));
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        colour(caption, QPalette::WindowText, QColor(0x00, 0x00, 0xFF));
    }

    auto* id = new QLineEdit(QStringLiteral("20150826"), box);
    id->setGeometry(136, 40, 224, 32);
    id->setFont(font(20, true));
    auto* seat = new QLineEdit(QStringLiteral("15"), box);
    seat->setGeometry(136, 101, 224, 32);
    seat->setFont(font(20, true));

    auto* enter = new QPushButton(QStringLiteral("进入考场"), box);
    enter->setGeometry(213, 170, 176, 48);
    enter->setFont(font(29, true));
    auto* history = new QPushButton(QStringLiteral("历史成绩"), box);
    history->setGeometry(8, 146, 104, 28);
    history->setFont(font(14, true));
    auto* drill = new QPushButton(QStringLiteral("错题练习"), box);
    drill->setGeometry(116, 146, 92, 28);
    drill->setFont(font(14, true));

    auto* percent = new QLabel(QStringLiteral("0%"), box);
    percent->setGeometry(8, 183, 32, 13);
    percent->setFont(font(12, false));
    percent->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    colour(percent, QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
    auto* progress = new QProgressBar(box);
    progress->setGeometry(8, 204, 192, 14);
    progress->setTextVisible(false);
    progress->setRange(0, 100);
    progress->setValue(0);

    auto* motto = new QLabel(QStringLiteral("树立自我信心，把握各工段流程;消灭疵点起因，管理操作是关键"), &window);
    motto->setGeometry(8, 277, 400, 22);
    motto->setAlignment(Qt::AlignCenter);
    motto->setAutoFillBackground(true);
    colour(motto, QPalette::WindowText, QColor(0x00, 0x00, 0xFF));

    window.show();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (window.windowHandle() && window.windowHandle()->isExposed()) {
            std::puts("ready");
            std::fflush(stdout);
            std::_Exit(0);
        }
    }
    return 1;
}
