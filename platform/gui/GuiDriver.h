#pragma once

#include "platform/gui/Gui.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct MessageBoxRequest {
    std::string text;    // GBK
    std::string caption; // GBK, "信息：" when none was given
    MessageBoxIcon icon = MessageBoxIcon::None;
    MessageBoxButtons buttons = MessageBoxButtons::Ok;
};

struct FileDialogRequest {
    std::string window;    // the window it is modal over
    std::string caption;   // GBK
    std::string suggested; // GBK path
    std::string filter;    // GBK
};

// The seam for tests and tools. While a driver exists it is installed: message
// boxes are answered from its script and recorded instead of shown, modal
// windows are handed to its modal hook instead of blocking, and timers tick
// only when fired by hand (unless real timers are asked for). Drivers nest:
// destroying one reinstalls the one before it.
//
// The user actions below behave as a user's would: they do nothing and return
// false on a hidden or disabled control, or on a window that takes no input
// because a modal window is open over it, and they raise the events that the
// same input raises.
class GuiDriver {
public:
    GuiDriver();
    ~GuiDriver();
    GuiDriver(const GuiDriver&) = delete;
    GuiDriver& operator=(const GuiDriver&) = delete;

    static GuiDriver* installed();

    // Message boxes ----------------------------------------------------------

    // Queues the answer to the next box. Without a queued answer the responder
    // decides; without a responder an OK box gives Ok and a Yes/No box gives No.
    void answerNext(MessageBoxResult answer);
    void setResponder(std::function<MessageBoxResult(const MessageBoxRequest&)> responder);
    const std::vector<MessageBoxRequest>& messageBoxes() const { return messageBoxes_; }
    void clearMessageBoxes() { messageBoxes_.clear(); }

    // File dialogs ---------------------------------------------------------------

    // Queues the path (GBK) the next file dialog gives; nullopt cancels it.
    // Without a queued answer a dialog is cancelled.
    void answerNextFileDialog(std::optional<std::string> path);
    const std::vector<FileDialogRequest>& fileDialogs() const { return fileDialogs_; }

    // Modal windows --------------------------------------------------------------

    // Called with the window id once the modal window is up (Created has run).
    // The hook may operate the window and close it; whatever is still open when
    // it returns is closed. Without a hook the window is closed at once.
    void setModalHook(std::function<void(const std::string& window)> hook);
    const std::vector<std::string>& modalWindows() const { return modalWindows_; }

    // Timers ---------------------------------------------------------------

    // Real timers tick on their own in the event loop; set before starting them.
    void setRealTimers(bool real) { realTimers_ = real; }
    bool realTimers() const { return realTimers_; }
    // Runs one tick of a running timer; false when it is not running.
    static bool fireTimer(const std::string& window, int id);
    static int timerInterval(const std::string& window, int id); // -1 when not running

    // User actions ----------------------------------------------------------------

    // Buttons, styled buttons, radio buttons (checks then raises Clicked) and the
    // check box (toggles then raises Clicked).
    static bool click(const std::string& window, const std::string& control);
    // Types the text at the end of an edit box, one character at a time; each
    // character raises ContentChanged. CR LF in the text is an Enter key press.
    static bool type(const std::string& window, const std::string& control, const std::string& text);
    // Selects all and deletes it: one ContentChanged (none if it was empty).
    static bool erase(const std::string& window, const std::string& control);
    // Left mouse button down on any control; raises MousePressed.
    static bool pressMouse(const std::string& window, const std::string& control);
    // Moves a grid's current cell as a click on the cell would.
    static bool clickGridCell(const std::string& window, const std::string& control, int row, int column);
    static bool selectComboItem(const std::string& window, const std::string& control, int index);
    // The window's close box.
    static bool clickCloseBox(const std::string& window);

    // Used by Gui.
    MessageBoxResult answer(const MessageBoxRequest& request);
    std::optional<std::string> answer(const FileDialogRequest& request);
    void runModal(const std::string& window);

private:
    // The control as a user could reach it: shown, enabled, in a window that takes input.
    static struct GuiControl* reachable(const std::string& window, const std::string& control);

    GuiDriver* previous_ = nullptr;
    std::deque<MessageBoxResult> answers_;
    std::function<MessageBoxResult(const MessageBoxRequest&)> responder_;
    std::vector<MessageBoxRequest> messageBoxes_;
    std::deque<std::optional<std::string>> fileAnswers_;
    std::vector<FileDialogRequest> fileDialogs_;
    std::function<void(const std::string&)> modalHook_;
    std::vector<std::string> modalWindows_;
    bool realTimers_ = false;
};

} // namespace platform
