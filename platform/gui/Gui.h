#pragma once

#include "platform/gui/GridRowSource.h"
#include "platform/gui/GuiKey.h"
#include "platform/gui/WindowDescription.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

// What a handler learns about the event it serves.
struct GuiEvent {
    GuiEventKind kind = GuiEventKind::Created;
    std::string window;  // window id
    std::string control; // control name (a label copy gives its own name); empty for window events
};

using GuiHandler = std::function<void(const GuiEvent&)>;
// Handler name (as bound in the description) -> handler.
using HandlerTable = std::unordered_map<std::string, GuiHandler>;

enum class MessageBoxIcon { None, Information, Error };
enum class MessageBoxButtons { Ok, YesNo };
enum class MessageBoxResult { Ok, Yes, No };

struct GuiRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const GuiRect&) const = default;
};

// The program's window layer. Everything runs on the GUI thread; a handler runs
// to its end before the next event is handled, except while it waits in a
// message box or a modal window, where timers keep ticking.
//
// Windows are addressed by the id of their description, controls by (window id,
// control name). An unknown window or control makes an operation do nothing and
// return false / the empty value, with a warning on stderr. Texts are GBK in and
// out; multi-line edit boxes use CR LF line ends.
//
// Message boxes, modal windows and timers go through GuiDriver when one is
// installed (tests and tools), so nothing blocks there.
class Gui {
public:
    // Windows ------------------------------------------------------------

    // Builds the window, raises Created, then shows it centred on the screen.
    // False when a window with that id is already open.
    static bool openWindow(const WindowDescription& description, const HandlerTable& handlers);
    // Opens the window modal over `owner` and returns once it has been closed.
    // The owner takes no input meanwhile; timers keep ticking.
    static bool runModal(const WindowDescription& description, const HandlerTable& handlers, const std::string& owner);
    // Raises BeingDestroyed and destroys the window; safe inside the window's own handlers.
    static bool closeWindow(const std::string& window);
    static void closeAllWindows();
    static bool isOpen(const std::string& window);
    // False while a modal window is open over it.
    static bool takesInput(const std::string& window);
    static std::string windowCaption(const std::string& window);
    static bool setWindowCaption(const std::string& window, const std::string& caption);
    // Client-area rectangle in screen coordinates.
    static GuiRect clientRect(const std::string& window);
    // The window with its frame, in screen coordinates, as the window system drew it.
    static GuiRect frameRect(const std::string& window);

    // Runs the message loop until the last window has been destroyed or quit()
    // is called; returns the exit code.
    static int run();
    // Ends run() with the code (at once if it is not running yet).
    static void quit(int exitCode);
    // Handles pending window messages (repaints, timers) and returns.
    static void processEvents();

    // Message boxes --------------------------------------------------------

    // Modal to the program, without an owner window. An unset caption gives "信息：".
    static MessageBoxResult messageBox(const std::string& text, const std::optional<std::string>& caption = {},
                                       MessageBoxIcon icon = MessageBoxIcon::None,
                                       MessageBoxButtons buttons = MessageBoxButtons::Ok);
    // The program's plain boxes: "提示" with the information icon for a
    // notice, "信息" with the error icon for a failure.
    static void notice(const std::string& text);
    static void failure(const std::string& text);

    // File dialogs ---------------------------------------------------------------

    // Asks, modal over the window, for the name of a file to write; starts
    // at `suggested` (a full path). filter: as "PDF 文件 (*.pdf)". nullopt
    // when the user cancels; an empty text for a name GBK cannot hold, which
    // no path of the program can name. Whether an existing file may be
    // replaced is the caller's to ask.
    static std::optional<std::string> saveFileName(const std::string& window, const std::string& caption,
                                                   const std::string& suggested, const std::string& filter);

    // Timers -----------------------------------------------------------------

    // Starts (or restarts) timer `id` of the window; it dies with the window.
    static bool startTimer(const std::string& window, int id, int intervalMs, std::function<void()> onTick);
    // Killing a stopped or unknown timer does nothing.
    static void killTimer(const std::string& window, int id);
    static bool timerRunning(const std::string& window, int id);

    // Any control ----------------------------------------------------------

    static bool controlExists(const std::string& window, const std::string& control);
    // Caption of labels, buttons, radio buttons, check box; text of edit boxes;
    // current item text of a combo box.
    static std::string text(const std::string& window, const std::string& control);
    // Raises ContentChanged on an edit box, exactly as typing does.
    static bool setText(const std::string& window, const std::string& control, const std::string& text);
    static std::string tag(const std::string& window, const std::string& control);
    static bool setTag(const std::string& window, const std::string& control, const std::string& tag);
    static bool isVisible(const std::string& window, const std::string& control);
    static bool setVisible(const std::string& window, const std::string& control, bool visible);
    static bool isEnabled(const std::string& window, const std::string& control);
    static bool setEnabled(const std::string& window, const std::string& control, bool enabled);
    // In client coordinates of the control's container.
    static GuiRect geometry(const std::string& window, const std::string& control);
    static bool setGeometry(const std::string& window, const std::string& control, const GuiRect& rect);
    static bool move(const std::string& window, const std::string& control, int left, int top);
    static bool resize(const std::string& window, const std::string& control, int width, int height);
    // Unset = black text / the default background.
    static std::optional<Rgb> textColour(const std::string& window, const std::string& control);
    static bool setTextColour(const std::string& window, const std::string& control, std::optional<Rgb> colour);
    static std::optional<Rgb> backgroundColour(const std::string& window, const std::string& control);
    static bool setBackgroundColour(const std::string& window, const std::string& control, std::optional<Rgb> colour);
    static Border border(const std::string& window, const std::string& control);
    static bool setBorder(const std::string& window, const std::string& control, Border border);
    // Only the size changes; face and weight stay.
    static int fontPointSize(const std::string& window, const std::string& control);
    static bool setFontPointSize(const std::string& window, const std::string& control, int points);
    // A run-time copy of a label (or any non-container control) in the same
    // container, with the template's settings and event bindings. False when
    // the new name is taken.
    static bool copyControl(const std::string& window, const std::string& templateName, const std::string& newName);
    // A control the window's description does not hold, created at run time in
    // its container with its event bindings; false when the name is taken or
    // it would be a container.
    static bool addControl(const std::string& window, const ControlDescription& description);

    // Radio buttons and check box -----------------------------------------------

    // Checking a radio button unchecks the rest of its group; neither raises Clicked.
    static bool checked(const std::string& window, const std::string& control);
    static bool setChecked(const std::string& window, const std::string& control, bool checked);

    // Combo box ---------------------------------------------------------------

    static int comboIndex(const std::string& window, const std::string& control); // -1 = none
    static bool setComboIndex(const std::string& window, const std::string& control, int index);
    static int comboCount(const std::string& window, const std::string& control);
    // Item value of item `index`; -1 for no such item.
    static int comboItemValue(const std::string& window, const std::string& control, int index);

    // Grid: rows and columns count from 0 and include the fixed ones ---------------

    // Clears all texts and colours and restores the design-time settings; the
    // current cell becomes none. Raises no event.
    static bool resetGrid(const std::string& window, const std::string& control);
    static int gridRowCount(const std::string& window, const std::string& control);
    static bool setGridRowCount(const std::string& window, const std::string& control, int rows);
    static int gridColumnCount(const std::string& window, const std::string& control);
    static bool setGridColumnCount(const std::string& window, const std::string& control, int columns);
    // Reserves room for `rows` rows before a large fill; bytesPerRow is a size hint (0 = unknown).
    static bool reserveGrid(const std::string& window, const std::string& control, int rows, int bytesPerRow = 0);
    static std::string gridText(const std::string& window, const std::string& control, int row, int column);
    static bool setGridText(const std::string& window, const std::string& control, int row, int column,
                            const std::string& text);
    // Sets cells 0.. of one row at once.
    static bool setGridRow(const std::string& window, const std::string& control, int row,
                           const std::vector<std::string>& texts);
    // Rows firstRow.. read their first `columns` cells from the source when they are first shown or read.
    static bool setGridRowSource(const std::string& window, const std::string& control, int firstRow, int rowCount,
                                 int columns, std::shared_ptr<const GridRowSource> source);
    // Unset = the default background.
    static std::optional<Rgb> gridCellBackground(const std::string& window, const std::string& control, int row,
                                                 int column);
    static bool setGridCellBackground(const std::string& window, const std::string& control, int row, int column,
                                      std::optional<Rgb> colour);
    // Colours every data row with an even index in all non-fixed columns (row 2,
    // 4, ...); a cell's own background wins. Unset = off. Cleared by resetGrid.
    static bool setGridAlternateRowColour(const std::string& window, const std::string& control,
                                          std::optional<Rgb> colour);
    static int gridColumnWidth(const std::string& window, const std::string& control, int column);
    static bool setGridColumnWidth(const std::string& window, const std::string& control, int column, int width);
    // -1 when there is no current cell (no data rows, nothing chosen yet, after a reset).
    static int gridCurrentRow(const std::string& window, const std::string& control);
    static int gridCurrentColumn(const std::string& window, const std::string& control);
    // Raises CurrentCellChanged when the cell moves. Row/column must not be fixed ones.
    static bool setGridCurrentCell(const std::string& window, const std::string& control, int row, int column);

    // Progress bar -------------------------------------------------------------

    static bool setProgressRange(const std::string& window, const std::string& control, int minimum, int maximum);
    static int progressMaximum(const std::string& window, const std::string& control);
    static int progressPosition(const std::string& window, const std::string& control);
    static bool setProgressPosition(const std::string& window, const std::string& control, int position);

    // Status bar ---------------------------------------------------------------

    static std::string statusText(const std::string& window, const std::string& control, int panel);
    static bool setStatusText(const std::string& window, const std::string& control, int panel,
                              const std::string& text);

    // HTML view ----------------------------------------------------------------

    // Shows a local HTML file given by its full path (program text; backslashes
    // count as directory separators). Pages are decoded as GBK unless they
    // declare UTF-8. A missing file shows an error page.
    static bool showHtmlFile(const std::string& window, const std::string& control, const std::string& path);
    // The path last shown, as given.
    static std::string htmlFile(const std::string& window, const std::string& control);
    // The page's text as shown (GBK), for checks.
    static std::string htmlPlainText(const std::string& window, const std::string& control);

    // Keys, marks and assistive technology ----------------------------------------

    // Offers the keys pressed anywhere in the window to the handler before the
    // control with the focus sees them; none while a modal window or a box is
    // open over it and none typed into an edit box. An empty handler removes it.
    static bool setKeyHandler(const std::string& window, KeyHandler handler);
    // What the user's click does on a button, radio button or check box; false
    // (and nothing) on a hidden or disabled control or in a window that takes no input.
    static bool click(const std::string& window, const std::string& control);
    // A corner mark drawn over the control, leaving its colours to be seen.
    static bool marked(const std::string& window, const std::string& control);
    static bool setMarked(const std::string& window, const std::string& control, bool marked);
    // What assistive technology announces for a control. A control without a
    // name of its own (set here or in its description) is named by its caption,
    // and renamed whenever the caption changes.
    static std::string accessibleName(const std::string& window, const std::string& control);
    static std::string accessibleDescription(const std::string& window, const std::string& control);
    // Empty texts give the control back its derived name and no description.
    static bool setAccessibleText(const std::string& window, const std::string& control, const std::string& name,
                                  const std::string& description);
    static bool setToolTip(const std::string& window, const std::string& control, const std::string& text);

private:
    friend class GuiDriver;
    static class GuiWindow* findWindow(const std::string& window, bool warn = true);
    static struct GuiControl* findControl(const std::string& window, const std::string& control);
};

} // namespace platform
