#include "platform/gui/GuiDriver.h"

#include "platform/gui/GridView.h"
#include "platform/gui/GuiWindow.h"
#include "platform/gui/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>

namespace platform {
namespace {

GuiDriver* current = nullptr;

} // namespace

GuiControl* GuiDriver::reachable(const std::string& window, const std::string& control)
{
    if (!Gui::isOpen(window)) {
        qWarning("window %s is not open", window.c_str());
        return nullptr;
    }
    if (!Gui::takesInput(window))
        return nullptr;
    GuiControl* found = Gui::findWindow(window)->control(control);
    if (found == nullptr) {
        qWarning("window %s has no control %s", window.c_str(), control.c_str());
        return nullptr;
    }
    QWidget* top = found->widget->window();
    if (!found->widget->isVisibleTo(top) || !found->widget->isEnabled())
        return nullptr;
    return found;
}

GuiDriver::GuiDriver() : previous_(current)
{
    current = this;
}

GuiDriver::~GuiDriver()
{
    current = previous_;
}

GuiDriver* GuiDriver::installed()
{
    return current;
}

void GuiDriver::answerNext(MessageBoxResult answer)
{
    answers_.push_back(answer);
}

void GuiDriver::setResponder(std::function<MessageBoxResult(const MessageBoxRequest&)> responder)
{
    responder_ = std::move(responder);
}

MessageBoxResult GuiDriver::answer(const MessageBoxRequest& request)
{
    messageBoxes_.push_back(request);
    if (!answers_.empty()) {
        MessageBoxResult next = answers_.front();
        answers_.pop_front();
        return next;
    }
    if (responder_)
        return responder_(request);
    return request.buttons == MessageBoxButtons::Ok ? MessageBoxResult::Ok : MessageBoxResult::No;
}

void GuiDriver::answerNextFileDialog(std::optional<std::string> path)
{
    fileAnswers_.push_back(std::move(path));
}

std::optional<std::string> GuiDriver::answer(const FileDialogRequest& request)
{
    fileDialogs_.push_back(request);
    if (fileAnswers_.empty())
        return std::nullopt;
    std::optional<std::string> next = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return next;
}

void GuiDriver::setModalHook(std::function<void(const std::string& window)> hook)
{
    modalHook_ = std::move(hook);
}

void GuiDriver::runModal(const std::string& window)
{
    modalWindows_.push_back(window);
    if (modalHook_) {
        auto hook = modalHook_;
        hook(window);
    }
}

bool GuiDriver::fireTimer(const std::string& window, int id)
{
    GuiWindow* open = Gui::findWindow(window, false);
    return open != nullptr && open->fireGuiTimer(id);
}

int GuiDriver::timerInterval(const std::string& window, int id)
{
    GuiWindow* open = Gui::findWindow(window, false);
    return open ? open->guiTimerInterval(id) : -1;
}

bool GuiDriver::click(const std::string& window, const std::string& control)
{
    GuiControl* found = reachable(window, control);
    if (found == nullptr)
        return false;
    auto* button = qobject_cast<QAbstractButton*>(found->widget);
    if (button == nullptr)
        return false;
    button->click();
    return true;
}

bool GuiDriver::type(const std::string& window, const std::string& control, const std::string& text)
{
    GuiControl* found = reachable(window, control);
    if (found == nullptr)
        return false;
    QString typed = qtText(text);
    typed.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QPointer<QWidget> widget(found->widget);
    if (auto* line = qobject_cast<QLineEdit*>(found->widget)) {
        for (QChar character : typed) {
            if (!widget || character == QLatin1Char('\n'))
                continue;
            line->end(false);
            line->insert(QString(character));
        }
        return true;
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(found->widget)) {
        for (QChar character : typed) {
            if (!widget)
                break;
            edit->moveCursor(QTextCursor::End);
            edit->insertPlainText(QString(character));
        }
        return true;
    }
    return false;
}

bool GuiDriver::erase(const std::string& window, const std::string& control)
{
    GuiControl* found = reachable(window, control);
    if (found == nullptr)
        return false;
    if (auto* line = qobject_cast<QLineEdit*>(found->widget)) {
        if (!line->text().isEmpty()) {
            line->selectAll();
            line->del();
        }
        return true;
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(found->widget)) {
        if (!edit->toPlainText().isEmpty()) {
            edit->selectAll();
            edit->textCursor().removeSelectedText();
        }
        return true;
    }
    return false;
}

bool GuiDriver::pressMouse(const std::string& window, const std::string& control)
{
    GuiControl* found = reachable(window, control);
    if (found == nullptr)
        return false;
    QWidget* widget = found->widget;
    const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QPointer<QWidget> guard(widget);
    if (guard) {
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &release);
    }
    return true;
}

bool GuiDriver::clickGridCell(const std::string& window, const std::string& control, int row, int column)
{
    GuiControl* found = reachable(window, control);
    auto* grid = found ? qobject_cast<GridView*>(found->widget) : nullptr;
    return grid != nullptr && grid->setCurrentCell(row, column);
}

bool GuiDriver::selectComboItem(const std::string& window, const std::string& control, int index)
{
    GuiControl* found = reachable(window, control);
    auto* combo = found ? qobject_cast<QComboBox*>(found->widget) : nullptr;
    if (combo == nullptr || index < 0 || index >= combo->count())
        return false;
    combo->setCurrentIndex(index);
    return true;
}

bool GuiDriver::clickCloseBox(const std::string& window)
{
    GuiWindow* open = Gui::findWindow(window, false);
    if (open == nullptr || !Gui::takesInput(window))
        return false;
    open->close();
    return true;
}

} // namespace platform
