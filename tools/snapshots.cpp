// Renders each of the windows as it opens and writes its client area as a
// PNG into the folder given on the command line.

#include "attempts/HistoryWindowLayout.h"
#include "bank/BankWindowLayout.h"
#include "bank/CorrectionWindowLayout.h"
#include "bank/ExamWindowLayout.h"
#include "bank/StartWindowLayout.h"
#include "platform/gui/Gui.h"
#include "platform/gui/GuiDriver.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

namespace {

QWidget* topLevelWindow(const std::string& id)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QString::fromUtf8(id) && widget->isVisible())
            return widget;
    return nullptr;
}

bool snapshot(const platform::WindowDescription& description, const QDir& folder)
{
    using platform::Gui;
    // Bound handlers do nothing here: the window shows its design-time contents.
    platform::HandlerTable handlers;
    for (const platform::EventBinding& binding : description.events)
        handlers[binding.handler] = [](const platform::GuiEvent&) {};
    for (const platform::ControlDescription& control : description.controls)
        for (const platform::EventBinding& binding : control.events)
            handlers[binding.handler] = [](const platform::GuiEvent&) {};
    if (!Gui::openWindow(description, handlers)) {
        std::fprintf(stderr, "snapshots: window %s does not open\n", description.id.c_str());
        return false;
    }
    Gui::processEvents();
    bool written = false;
    if (QWidget* window = topLevelWindow(description.id)) {
        const QPixmap picture = window->grab();
        const QString file = folder.filePath(QStringLiteral("snapshot-%1.png").arg(QString::fromUtf8(description.id)));
        written = picture.save(file, "PNG");
        if (written)
            std::printf("%s %dx%d\n", file.toLocal8Bit().constData(), picture.width(), picture.height());
        else
            std::fprintf(stderr, "snapshots: cannot write %s\n", file.toLocal8Bit().constData());
    } else {
        std::fprintf(stderr, "snapshots: window %s is not on screen\n", description.id.c_str());
    }
    Gui::closeWindow(description.id);
    Gui::processEvents();
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Message boxes and modal windows must never wait for a user here.
    platform::GuiDriver driver;

    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "snapshots: cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    for (const platform::WindowDescription& description :
         {startWindowLayout(), examWindowLayout(), bankWindowLayout(), correctionWindowLayout(), historyWindowLayout()})
        ok = snapshot(description, folder) && ok;
    return ok ? 0 : 1;
}
