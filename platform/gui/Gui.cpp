#include "platform/gui/Gui.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/gui/ControlFactory.h"
#include "platform/gui/CornerMark.h"
#include "platform/gui/GridView.h"
#include "platform/gui/GuiDriver.h"
#include "platform/gui/GuiFonts.h"
#include "platform/gui/GuiWindow.h"
#include "platform/gui/HtmlView.h"
#include "platform/gui/QtText.h"
#include "platform/gui/StatusBarWidget.h"
#include "platform/gui/TransparentLabel.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

#include <map>

namespace platform {
namespace {

struct GuiState {
    std::map<std::string, QPointer<GuiWindow>> windows;
    // Windows running modal, innermost last; only that one takes input.
    std::vector<std::string> modalStack;
    bool mainLoopRunning = false;
    bool quitRequested = false;
    int exitCode = 0;
};

GuiState& state()
{
    static GuiState instance;
    return instance;
}

void initialise()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    GuiFonts::install();
    // The program ends when its last window is destroyed, not when the last
    // visible window (possibly a message box) goes away.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

GuiWindow* createWindow(const WindowDescription& description, const HandlerTable& handlers)
{
    initialise();
    if (description.id.empty()) {
        qWarning("a window description without an id cannot be opened");
        return nullptr;
    }
    if (Gui::isOpen(description.id)) {
        qWarning("window %s is already open", description.id.c_str());
        return nullptr;
    }
    auto* window = new GuiWindow(description, handlers);
    state().windows[description.id] = window;
    window->build();
    return window;
}

void showCentred(GuiWindow* window)
{
    const WindowDescription& description = window->description();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        // Centred by the outer size; a window larger than the screen keeps its caption bar reachable.
        const int left = std::max(area.left(), area.left() + (area.width() - description.width) / 2);
        const int top = std::max(area.top(), area.top() + (area.height() - description.height) / 2);
        window->move(left, top);
    }
    window->show();
}

bool sameWindow(const std::string& id, GuiWindow* window)
{
    auto found = state().windows.find(id);
    return found != state().windows.end() && found->second == window;
}

} // namespace

GuiWindow* Gui::findWindow(const std::string& window, bool warn)
{
    auto found = state().windows.find(window);
    if (found == state().windows.end() || !found->second || found->second->closing) {
        if (warn)
            qWarning("window %s is not open", window.c_str());
        return nullptr;
    }
    return found->second;
}

GuiControl* Gui::findControl(const std::string& window, const std::string& control)
{
    GuiWindow* open = findWindow(window);
    if (open == nullptr)
        return nullptr;
    GuiControl* found = open->control(control);
    if (found == nullptr)
        qWarning("window %s has no control %s", window.c_str(), control.c_str());
    return found;
}

// Windows ------------------------------------------------------------------------

bool Gui::openWindow(const WindowDescription& description, const HandlerTable& handlers)
{
    GuiWindow* window = createWindow(description, handlers);
    if (window == nullptr)
        return false;
    window->raiseWindowEvent(GuiEventKind::Created);
    // A creation handler that ended the program leaves nothing to show.
    if (sameWindow(description.id, window) && !window->closing && !state().quitRequested)
        showCentred(window);
    return true;
}

bool Gui::runModal(const WindowDescription& description, const HandlerTable& handlers, const std::string& owner)
{
    if (!owner.empty() && findWindow(owner) == nullptr)
        qWarning("modal window %s: owner %s is not open", description.id.c_str(), owner.c_str());
    GuiWindow* window = createWindow(description, handlers);
    if (window == nullptr)
        return false;
    const std::string id = description.id;
    window->setWindowModality(Qt::ApplicationModal);
    state().modalStack.push_back(id);
    QPointer<GuiWindow> guard(window);
    window->raiseWindowEvent(GuiEventKind::Created);
    if (guard && sameWindow(id, window) && !window->closing) {
        showCentred(window);
        if (GuiDriver* driver = GuiDriver::installed()) {
            driver->runModal(id);
        } else {
            QEventLoop loop;
            window->modalLoop = &loop;
            loop.exec();
        }
    }
    if (guard && sameWindow(id, window))
        closeWindow(id);
    auto& stack = state().modalStack;
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (*it == id) {
            stack.erase(std::next(it).base());
            break;
        }
    }
    return true;
}

bool Gui::closeWindow(const std::string& window)
{
    GuiWindow* open = findWindow(window, false);
    if (open == nullptr)
        return false;
    if (open->destroying)
        return false;
    open->destroying = true;
    QPointer<GuiWindow> guard(open);
    open->stopAllTimers();
    open->raiseWindowEvent(GuiEventKind::BeingDestroyed);
    if (!guard || !sameWindow(window, open))
        return true;
    open->closing = true;
    open->stopAllTimers();
    state().windows.erase(window);
    if (open->modalLoop != nullptr) {
        open->modalLoop->exit(0);
        open->modalLoop = nullptr;
    }
    open->hide();
    open->deleteLater();
    if (state().windows.empty() && state().mainLoopRunning)
        QCoreApplication::exit(state().exitCode);
    return true;
}

void Gui::closeAllWindows()
{
    std::vector<std::string> ids;
    for (const auto& [id, window] : state().windows)
        ids.push_back(id);
    for (auto it = ids.rbegin(); it != ids.rend(); ++it)
        closeWindow(*it);
    state().windows.clear();
}

bool Gui::isOpen(const std::string& window)
{
    return findWindow(window, false) != nullptr;
}

bool Gui::takesInput(const std::string& window)
{
    if (!isOpen(window))
        return false;
    const auto& stack = state().modalStack;
    return stack.empty() || stack.back() == window;
}

std::string Gui::windowCaption(const std::string& window)
{
    GuiWindow* open = findWindow(window);
    return open ? open->caption() : std::string();
}

bool Gui::setWindowCaption(const std::string& window, const std::string& caption)
{
    GuiWindow* open = findWindow(window);
    if (open == nullptr)
        return false;
    open->setCaption(caption);
    return true;
}

GuiRect Gui::clientRect(const std::string& window)
{
    GuiWindow* open = findWindow(window);
    if (open == nullptr)
        return {};
    const QRect area = open->geometry();
    return {area.x(), area.y(), area.width(), area.height()};
}

GuiRect Gui::frameRect(const std::string& window)
{
    GuiWindow* open = findWindow(window);
    if (open == nullptr)
        return {};
    const QRect area = open->frameGeometry();
    return {area.x(), area.y(), area.width(), area.height()};
}

int Gui::run()
{
    initialise();
    GuiState& gui = state();
    int code = gui.exitCode;
    if (!gui.quitRequested && !gui.windows.empty()) {
        gui.mainLoopRunning = true;
        code = QApplication::exec();
        gui.mainLoopRunning = false;
        if (gui.quitRequested)
            code = gui.exitCode;
    }
    gui.quitRequested = false;
    gui.exitCode = 0;
    return code;
}

void Gui::quit(int exitCode)
{
    GuiState& gui = state();
    gui.quitRequested = true;
    gui.exitCode = exitCode;
    if (gui.mainLoopRunning)
        QCoreApplication::exit(exitCode);
}

void Gui::processEvents()
{
    QCoreApplication::processEvents();
}

// Message boxes ----------------------------------------------------------------

MessageBoxResult Gui::messageBox(const std::string& text, const std::optional<std::string>& caption,
                                 MessageBoxIcon icon, MessageBoxButtons buttons)
{
    initialise();
    MessageBoxRequest request{text, caption ? *caption : GBK("信息："), icon, buttons};
    if (GuiDriver* driver = GuiDriver::installed())
        return driver->answer(request);

    QMessageBox box(icon == MessageBoxIcon::Error         ? QMessageBox::Critical
                    : icon == MessageBoxIcon::Information ? QMessageBox::Information
                                                          : QMessageBox::NoIcon,
                    qtText(request.caption), qtDisplayText(text), QMessageBox::NoButton, nullptr);
    box.setWindowModality(Qt::ApplicationModal);
    if (buttons == MessageBoxButtons::YesNo) {
        box.addButton(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
        box.addButton(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.addButton(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.setEscapeButton(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    if (buttons == MessageBoxButtons::Ok)
        return MessageBoxResult::Ok;
    return pressed == QMessageBox::Yes ? MessageBoxResult::Yes : MessageBoxResult::No;
}

void Gui::notice(const std::string& text)
{
    messageBox(text, GBK("提示"), MessageBoxIcon::Information);
}

void Gui::failure(const std::string& text)
{
    messageBox(text, GBK("信息"), MessageBoxIcon::Error);
}

// File dialogs --------------------------------------------------------------------

std::optional<std::string> Gui::saveFileName(const std::string& window, const std::string& caption,
                                             const std::string& suggested, const std::string& filter)
{
    initialise();
    FileDialogRequest request{window, caption, suggested, filter};
    if (GuiDriver* driver = GuiDriver::installed())
        return driver->answer(request);

    const QString start = QString::fromUtf8(FileSystem::toSystemPath(suggested).value_or(std::string()));
    QFileDialog dialog(findWindow(window, false), qtText(caption), QFileInfo(start).path(), qtText(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Qt's own words are English without its translations, which the program
    // does not carry; the question about replacing a file is left to the caller.
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("保存在："));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名："));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("保存类型："));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("保存(&S)"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    // A name typed without an extension gets the suggested one before the
    // dialog asks about replacing a file, so it asks about the right file.
    dialog.setDefaultSuffix(QFileInfo(start).suffix());
    dialog.selectFile(QFileInfo(start).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileSystem::fromSystemPath(dialog.selectedFiles().constFirst().toStdString()).value_or(std::string());
}

// Timers ------------------------------------------------------------------------

bool Gui::startTimer(const std::string& window, int id, int intervalMs, std::function<void()> onTick)
{
    GuiWindow* open = findWindow(window);
    if (open == nullptr)
        return false;
    GuiDriver* driver = GuiDriver::installed();
    open->startGuiTimer(id, intervalMs, std::move(onTick), driver == nullptr || driver->realTimers());
    return true;
}

void Gui::killTimer(const std::string& window, int id)
{
    if (GuiWindow* open = findWindow(window, false))
        open->killGuiTimer(id);
}

bool Gui::timerRunning(const std::string& window, int id)
{
    GuiWindow* open = findWindow(window, false);
    return open != nullptr && open->guiTimerRunning(id);
}

// Any control -------------------------------------------------------------------

bool Gui::controlExists(const std::string& window, const std::string& control)
{
    GuiWindow* open = findWindow(window, false);
    return open != nullptr && open->control(control) != nullptr;
}

std::string Gui::text(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return {};
    switch (found->description.kind) {
    case ControlKind::EditBox:
        return findWindow(window)->editText(*found);
    case ControlKind::ComboBox: {
        const int index = static_cast<QComboBox*>(found->widget)->currentIndex();
        const auto& items = found->description.comboItems;
        return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)].text
                                                                    : std::string();
    }
    case ControlKind::Label:
    case ControlKind::TransparentLabel:
    case ControlKind::Button:
    case ControlKind::StyledButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
    case ControlKind::PageControl:
        return found->caption;
    default:
        return {};
    }
}

bool Gui::setText(const std::string& window, const std::string& control, const std::string& text)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    if (found->description.kind == ControlKind::EditBox) {
        findWindow(window)->setEditText(*found, text);
        return true;
    }
    const std::string previous = found->caption;
    found->caption = text;
    if (!ControlFactory::showCaption(*found)) {
        found->caption = previous;
        return false;
    }
    ControlFactory::applyAccessibleText(*found);
    return true;
}

std::string Gui::tag(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    return found ? found->tag : std::string();
}

bool Gui::setTag(const std::string& window, const std::string& control, const std::string& tag)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    found->tag = tag;
    return true;
}

bool Gui::isVisible(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    return found != nullptr && !found->widget->isHidden();
}

bool Gui::setVisible(const std::string& window, const std::string& control, bool visible)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    found->widget->setVisible(visible);
    // The HTML view covers the controls it is shown over.
    if (visible && found->description.kind == ControlKind::HtmlView)
        found->widget->raise();
    return true;
}

bool Gui::isEnabled(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    return found != nullptr && found->widget->isEnabled();
}

bool Gui::setEnabled(const std::string& window, const std::string& control, bool enabled)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    found->widget->setEnabled(enabled);
    return true;
}

GuiRect Gui::geometry(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return {};
    const QRect place = found->widget->geometry();
    return {place.x(), place.y(), place.width(), place.height()};
}

bool Gui::setGeometry(const std::string& window, const std::string& control, const GuiRect& rect)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    found->widget->setGeometry(rect.left, rect.top, std::max(0, rect.width), std::max(0, rect.height));
    return true;
}

bool Gui::move(const std::string& window, const std::string& control, int left, int top)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    found->widget->move(left, top);
    return true;
}

bool Gui::resize(const std::string& window, const std::string& control, int width, int height)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    found->widget->resize(std::max(0, width), std::max(0, height));
    return true;
}

std::optional<Rgb> Gui::textColour(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    return found ? found->textColour : std::nullopt;
}

bool Gui::setTextColour(const std::string& window, const std::string& control, std::optional<Rgb> colour)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    found->textColour = colour;
    ControlFactory::applyColours(*found);
    return true;
}

std::optional<Rgb> Gui::backgroundColour(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    return found ? found->backgroundColour : std::nullopt;
}

bool Gui::setBackgroundColour(const std::string& window, const std::string& control, std::optional<Rgb> colour)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    found->backgroundColour = colour;
    ControlFactory::applyColours(*found);
    return true;
}

Border Gui::border(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    return found ? found->border : Border::None;
}

bool Gui::setBorder(const std::string& window, const std::string& control, Border border)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    const Border previous = found->border;
    found->border = border;
    if (!ControlFactory::applyBorder(*found)) {
        found->border = previous;
        return false;
    }
    return true;
}

int Gui::fontPointSize(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return 0;
    const QFont font = found->widget->font();
    if (font.pointSize() > 0)
        return font.pointSize();
    const int dpi = found->widget->logicalDpiY() > 0 ? found->widget->logicalDpiY() : 96;
    return (font.pixelSize() * 72 + dpi / 2) / dpi;
}

bool Gui::setFontPointSize(const std::string& window, const std::string& control, int points)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr || points <= 0)
        return false;
    QFont font = found->widget->font();
    font.setPointSize(points);
    found->widget->setFont(font);
    return true;
}

bool Gui::copyControl(const std::string& window, const std::string& templateName, const std::string& newName)
{
    GuiWindow* open = findWindow(window);
    if (open == nullptr)
        return false;
    if (!open->addCopy(templateName, newName)) {
        qWarning("window %s: cannot copy %s as %s", window.c_str(), templateName.c_str(), newName.c_str());
        return false;
    }
    return true;
}

bool Gui::addControl(const std::string& window, const ControlDescription& description)
{
    GuiWindow* open = findWindow(window);
    if (open == nullptr)
        return false;
    if (!open->addControl(description)) {
        qWarning("window %s: cannot add %s", window.c_str(), description.name.c_str());
        return false;
    }
    return true;
}

// Radio buttons and check box -------------------------------------------------------

bool Gui::checked(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    auto* button = found ? qobject_cast<QAbstractButton*>(found->widget) : nullptr;
    return button != nullptr && button->isCheckable() && button->isChecked();
}

bool Gui::setChecked(const std::string& window, const std::string& control, bool checked)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr ||
        (found->description.kind != ControlKind::RadioButton && found->description.kind != ControlKind::CheckBox))
        return false;
    GuiWindow::setButtonChecked(*found, checked);
    return true;
}

// Combo box ------------------------------------------------------------------------

namespace {

QComboBox* comboOf(GuiControl* control)
{
    return control ? qobject_cast<QComboBox*>(control->widget) : nullptr;
}

GridView* gridOf(GuiControl* control)
{
    return control ? qobject_cast<GridView*>(control->widget) : nullptr;
}

QProgressBar* progressOf(GuiControl* control)
{
    return control ? qobject_cast<QProgressBar*>(control->widget) : nullptr;
}

} // namespace

int Gui::comboIndex(const std::string& window, const std::string& control)
{
    QComboBox* combo = comboOf(findControl(window, control));
    return combo ? combo->currentIndex() : -1;
}

bool Gui::setComboIndex(const std::string& window, const std::string& control, int index)
{
    QComboBox* combo = comboOf(findControl(window, control));
    if (combo == nullptr || index < -1 || index >= combo->count())
        return false;
    combo->setCurrentIndex(index);
    return true;
}

int Gui::comboCount(const std::string& window, const std::string& control)
{
    QComboBox* combo = comboOf(findControl(window, control));
    return combo ? combo->count() : 0;
}

int Gui::comboItemValue(const std::string& window, const std::string& control, int index)
{
    GuiControl* found = findControl(window, control);
    if (comboOf(found) == nullptr)
        return -1;
    const auto& items = found->description.comboItems;
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)].value : -1;
}

// Grid ---------------------------------------------------------------------------

bool Gui::resetGrid(const std::string& window, const std::string& control)
{
    GridView* grid = gridOf(findControl(window, control));
    if (grid == nullptr)
        return false;
    grid->resetToDesign();
    return true;
}

int Gui::gridRowCount(const std::string& window, const std::string& control)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid ? grid->grid().rows() : 0;
}

bool Gui::setGridRowCount(const std::string& window, const std::string& control, int rows)
{
    GridView* grid = gridOf(findControl(window, control));
    if (grid == nullptr || rows < 0)
        return false;
    grid->setRows(rows);
    return true;
}

int Gui::gridColumnCount(const std::string& window, const std::string& control)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid ? grid->grid().columns() : 0;
}

bool Gui::setGridColumnCount(const std::string& window, const std::string& control, int columns)
{
    GridView* grid = gridOf(findControl(window, control));
    if (grid == nullptr || columns < 0)
        return false;
    grid->setColumns(columns);
    return true;
}

bool Gui::reserveGrid(const std::string& window, const std::string& control, int rows, int)
{
    GridView* grid = gridOf(findControl(window, control));
    if (grid == nullptr)
        return false;
    grid->grid().reserve(rows);
    return true;
}

std::string Gui::gridText(const std::string& window, const std::string& control, int row, int column)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid ? std::string(grid->grid().text(row, column)) : std::string();
}

bool Gui::setGridText(const std::string& window, const std::string& control, int row, int column,
                      const std::string& text)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid != nullptr && grid->grid().setText(row, column, text);
}

bool Gui::setGridRow(const std::string& window, const std::string& control, int row,
                     const std::vector<std::string>& texts)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid != nullptr && grid->grid().setRow(row, texts);
}

bool Gui::setGridRowSource(const std::string& window, const std::string& control, int firstRow, int rowCount,
                           int columns, std::shared_ptr<const GridRowSource> source)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid != nullptr && grid->grid().setRowSource(firstRow, rowCount, columns, std::move(source));
}

std::optional<Rgb> Gui::gridCellBackground(const std::string& window, const std::string& control, int row, int column)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid ? grid->grid().cellBackground(row, column) : std::nullopt;
}

bool Gui::setGridCellBackground(const std::string& window, const std::string& control, int row, int column,
                                std::optional<Rgb> colour)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid != nullptr && grid->grid().setCellBackground(row, column, colour);
}

bool Gui::setGridAlternateRowColour(const std::string& window, const std::string& control, std::optional<Rgb> colour)
{
    GridView* grid = gridOf(findControl(window, control));
    if (grid == nullptr)
        return false;
    grid->grid().setAlternateRowColour(colour);
    return true;
}

int Gui::gridColumnWidth(const std::string& window, const std::string& control, int column)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid ? grid->gridColumnWidth(column) : -1;
}

bool Gui::setGridColumnWidth(const std::string& window, const std::string& control, int column, int width)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid != nullptr && grid->setGridColumnWidth(column, width);
}

int Gui::gridCurrentRow(const std::string& window, const std::string& control)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid ? grid->currentRow() : -1;
}

int Gui::gridCurrentColumn(const std::string& window, const std::string& control)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid ? grid->currentColumn() : -1;
}

bool Gui::setGridCurrentCell(const std::string& window, const std::string& control, int row, int column)
{
    GridView* grid = gridOf(findControl(window, control));
    return grid != nullptr && grid->setCurrentCell(row, column);
}

// Progress bar -------------------------------------------------------------------

bool Gui::setProgressRange(const std::string& window, const std::string& control, int minimum, int maximum)
{
    QProgressBar* bar = progressOf(findControl(window, control));
    if (bar == nullptr)
        return false;
    const int position = bar->value() < bar->minimum() ? minimum : bar->value();
    bar->setRange(minimum, std::max(minimum, maximum));
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    return true;
}

int Gui::progressMaximum(const std::string& window, const std::string& control)
{
    QProgressBar* bar = progressOf(findControl(window, control));
    return bar ? bar->maximum() : 0;
}

int Gui::progressPosition(const std::string& window, const std::string& control)
{
    QProgressBar* bar = progressOf(findControl(window, control));
    return bar ? std::max(bar->value(), bar->minimum()) : 0;
}

bool Gui::setProgressPosition(const std::string& window, const std::string& control, int position)
{
    QProgressBar* bar = progressOf(findControl(window, control));
    if (bar == nullptr)
        return false;
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    return true;
}

// Status bar ----------------------------------------------------------------------

std::string Gui::statusText(const std::string& window, const std::string& control, int panel)
{
    GuiControl* found = findControl(window, control);
    auto* bar = found ? qobject_cast<StatusBarWidget*>(found->widget) : nullptr;
    if (bar == nullptr || panel < 0 || panel >= bar->panelCount())
        return {};
    return gbkText(bar->panelText(panel));
}

bool Gui::setStatusText(const std::string& window, const std::string& control, int panel, const std::string& text)
{
    GuiControl* found = findControl(window, control);
    auto* bar = found ? qobject_cast<StatusBarWidget*>(found->widget) : nullptr;
    return bar != nullptr && bar->setPanelText(panel, qtText(text));
}

// HTML view ----------------------------------------------------------------------

bool Gui::showHtmlFile(const std::string& window, const std::string& control, const std::string& path)
{
    GuiControl* found = findControl(window, control);
    auto* view = found ? qobject_cast<HtmlView*>(found->widget) : nullptr;
    if (view == nullptr)
        return false;
    found->caption = path;
    QString file = qtText(path);
    file.replace(QLatin1Char('\\'), QLatin1Char('/'));
    view->showFile(file);
    return true;
}

std::string Gui::htmlFile(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    return found && found->description.kind == ControlKind::HtmlView ? found->caption : std::string();
}

std::string Gui::htmlPlainText(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    auto* view = found ? qobject_cast<HtmlView*>(found->widget) : nullptr;
    return view ? gbkText(view->toPlainText()) : std::string();
}

// Keys, marks and assistive technology ---------------------------------------------

bool Gui::setKeyHandler(const std::string& window, KeyHandler handler)
{
    GuiWindow* open = findWindow(window);
    if (open == nullptr)
        return false;
    open->setKeyHandler(std::move(handler));
    return true;
}

bool Gui::click(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr || !takesInput(window))
        return false;
    auto* button = qobject_cast<QAbstractButton*>(found->widget);
    if (button == nullptr || !button->isVisibleTo(button->window()) || !button->isEnabled())
        return false;
    button->click();
    return true;
}

bool Gui::marked(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    return found != nullptr && found->widget->findChild<CornerMark*>(QString(), Qt::FindDirectChildrenOnly);
}

bool Gui::setMarked(const std::string& window, const std::string& control, bool marked)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    auto* mark = found->widget->findChild<CornerMark*>(QString(), Qt::FindDirectChildrenOnly);
    if (marked && mark == nullptr)
        (new CornerMark(found->widget))->show();
    else if (!marked && mark != nullptr)
        delete mark;
    return true;
}

std::string Gui::accessibleName(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    QAccessibleInterface* accessible = found ? QAccessible::queryAccessibleInterface(found->widget) : nullptr;
    return accessible ? gbkText(accessible->text(QAccessible::Name)) : std::string();
}

std::string Gui::accessibleDescription(const std::string& window, const std::string& control)
{
    GuiControl* found = findControl(window, control);
    QAccessibleInterface* accessible = found ? QAccessible::queryAccessibleInterface(found->widget) : nullptr;
    return accessible ? gbkText(accessible->text(QAccessible::Description)) : std::string();
}

bool Gui::setAccessibleText(const std::string& window, const std::string& control, const std::string& name,
                            const std::string& description)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    found->accessibleName = name;
    found->accessibleDescription = description;
    ControlFactory::applyAccessibleText(*found);
    return true;
}

bool Gui::setToolTip(const std::string& window, const std::string& control, const std::string& text)
{
    GuiControl* found = findControl(window, control);
    if (found == nullptr)
        return false;
    found->widget->setToolTip(qtDisplayText(text));
    return true;
}

} // namespace platform
