#pragma once

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/gui/Gui.h"
#include "platform/gui/GuiControl.h"

class QEventLoop;
class QTimer;

namespace platform {

// An open window: its client area with the controls, the handler table, the
// event dispatch and the window's timers. Gui owns the registry of open windows
// and the closing; this class is what one window needs by itself.
class GuiWindow : public QWidget {
    Q_OBJECT
public:
    GuiWindow(const WindowDescription& description, const HandlerTable& handlers);
    ~GuiWindow() override;

    const std::string& id() const { return id_; }
    const WindowDescription& description() const { return description_; }
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);

    // Creates every control of the description; containers first.
    void build();
    GuiControl* control(const std::string& name);
    bool addCopy(const std::string& templateName, const std::string& newName);
    bool addControl(const ControlDescription& description);

    void setKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }

    void raiseControlEvent(GuiEventKind kind, const std::string& controlName);
    void raiseWindowEvent(GuiEventKind kind);

    // Edit boxes.
    std::string editText(GuiControl& control) const;
    void setEditText(GuiControl& control, const std::string& text);

    // Radio buttons and check box; unchecking works in a group too.
    static void setButtonChecked(GuiControl& control, bool checked);

    // Timers.
    void startGuiTimer(int id, int intervalMs, std::function<void()> onTick, bool real);
    void killGuiTimer(int id);
    bool guiTimerRunning(int id) const;
    int guiTimerInterval(int id) const;
    bool fireGuiTimer(int id);
    void stopAllTimers();

    // Raising BeingDestroyed; a second close does nothing.
    bool destroying = false;
    // Destroyed: gone from the registry, waiting for deletion.
    bool closing = false;
    // Set while the window runs modal without a driver; closing ends it.
    QEventLoop* modalLoop = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    GuiControl* createControl(const ControlDescription& description, QWidget* parent);
    QWidget* containerWidget(const std::string& name);
    void connectEvents(GuiControl& control);
    void dispatch(const std::vector<EventBinding>& bindings, GuiEventKind kind, const std::string& controlName);
    // True when the key handler took the key pressed in `receiver`.
    bool offerKey(QObject* receiver, const QKeyEvent& event);

    struct Timer {
        QTimer* timer = nullptr;
        int interval = 0;
        std::function<void()> onTick;
        bool running = false;
    };

    WindowDescription description_;
    std::string id_;
    std::string caption_;
    HandlerTable handlers_;
    std::unordered_map<std::string, std::unique_ptr<GuiControl>> controls_;
    std::unordered_map<const QObject*, GuiControl*> byWidget_;
    std::map<std::pair<std::string, std::string>, class QButtonGroup*> groups_;
    std::map<int, Timer> timers_;
    KeyHandler keyHandler_;
};

} // namespace platform
