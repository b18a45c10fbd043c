#include "platform/gui/GuiWindow.h"

#include "platform/gui/ControlFactory.h"
#include "platform/gui/GridView.h"
#include "platform/gui/HtmlView.h"
#include "platform/gui/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QTimer>

#include <exception>

namespace platform {
namespace {

constexpr int frameWidth = 6;
constexpr int frameHeight = 29;

// Keys pressed there are text, never commands.
bool takesText(const QObject* object)
{
    if (qobject_cast<const QLineEdit*>(object) || qobject_cast<const QPlainTextEdit*>(object))
        return true;
    if (auto* edit = qobject_cast<const QTextEdit*>(object))
        return !edit->isReadOnly();
    auto* combo = qobject_cast<const QComboBox*>(object);
    return combo != nullptr && combo->isEditable();
}

const Qt::WindowFlags fixedFrame = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

} // namespace

GuiWindow::GuiWindow(const WindowDescription& description, const HandlerTable& handlers)
    : QWidget(nullptr, fixedFrame), description_(description), id_(description.id), caption_(description.caption),
      handlers_(handlers)
{
    setObjectName(QString::fromUtf8(id_));
    setFixedSize(std::max(0, description.width - frameWidth), std::max(0, description.height - frameHeight));
    setWindowTitle(qtText(caption_));
}

GuiWindow::~GuiWindow()
{
    // Children go with the window; the records must not outlive their widgets' signals.
    for (auto& [name, control] : controls_)
        if (control->widget)
            control->widget->disconnect(this);
}

void GuiWindow::setCaption(const std::string& caption)
{
    caption_ = caption;
    setWindowTitle(qtText(caption));
}

void GuiWindow::build()
{
    // Containers first, so that they exist for their children and lie under the
    // controls placed on them.
    std::vector<const ControlDescription*> pending;
    for (const ControlDescription& control : description_.controls)
        if (ControlFactory::isContainer(control.kind))
            pending.push_back(&control);
    for (const ControlDescription& control : description_.controls)
        if (!ControlFactory::isContainer(control.kind))
            pending.push_back(&control);

    bool progress = true;
    while (!pending.empty() && progress) {
        progress = false;
        std::vector<const ControlDescription*> waiting;
        for (const ControlDescription* control : pending) {
            if (!control->container.empty() && controls_.count(control->container) == 0) {
                waiting.push_back(control);
                continue;
            }
            if (controls_.count(control->name) != 0) {
                qWarning("window %s: control %s is described twice", id_.c_str(), control->name.c_str());
                progress = true;
                continue;
            }
            createControl(*control, containerWidget(control->container));
            progress = true;
        }
        pending.swap(waiting);
    }
    for (const ControlDescription* control : pending) {
        qWarning("window %s: control %s sits in unknown container %s; placed in the window", id_.c_str(),
                 control->name.c_str(), control->container.c_str());
        createControl(*control, this);
    }
    for (auto& [name, control] : controls_) {
        // A status bar placed over other controls must not hide their captions.
        if (control->description.kind == ControlKind::StatusBar)
            control->widget->lower();
        if (control->description.kind == ControlKind::HtmlView && !control->widget->isHidden())
            control->widget->raise();
    }
}

QWidget* GuiWindow::containerWidget(const std::string& name)
{
    if (name.empty())
        return this;
    auto found = controls_.find(name);
    if (found == controls_.end() || !ControlFactory::isContainer(found->second->description.kind))
        return this;
    return found->second->widget;
}

GuiControl* GuiWindow::createControl(const ControlDescription& description, QWidget* parent)
{
    auto control = std::make_unique<GuiControl>();
    control->description = description;
    ControlFactory::create(*control, parent);
    if (description.kind == ControlKind::RadioButton) {
        QButtonGroup*& group = groups_[{description.container, description.radioGroup}];
        if (group == nullptr) {
            group = new QButtonGroup(this);
            group->setExclusive(true);
        }
        group->addButton(static_cast<QAbstractButton*>(control->widget));
        control->group = group;
    }
    GuiControl* raw = control.get();
    controls_.emplace(description.name, std::move(control));
    connectEvents(*raw);
    return raw;
}

GuiControl* GuiWindow::control(const std::string& name)
{
    auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second.get();
}

bool GuiWindow::addCopy(const std::string& templateName, const std::string& newName)
{
    GuiControl* original = control(templateName);
    if (original == nullptr || newName.empty() || control(newName) != nullptr ||
        ControlFactory::isContainer(original->description.kind))
        return false;
    ControlDescription copy = original->description;
    copy.name = newName;
    copy.caption = original->description.kind == ControlKind::EditBox ? editText(*original) : original->caption;
    copy.tag = original->tag;
    copy.textColour = original->textColour;
    copy.backgroundColour = original->backgroundColour;
    copy.border = original->border;
    const QRect place = original->widget->geometry();
    copy.left = place.x();
    copy.top = place.y();
    copy.width = place.width();
    copy.height = place.height();
    copy.visible = !original->widget->isHidden();
    GuiControl* created = createControl(copy, original->widget->parentWidget());
    created->widget->setFont(original->widget->font());
    return true;
}

bool GuiWindow::addControl(const ControlDescription& description)
{
    if (description.name.empty() || control(description.name) != nullptr ||
        ControlFactory::isContainer(description.kind))
        return false;
    createControl(description, containerWidget(description.container));
    return true;
}

void GuiWindow::connectEvents(GuiControl& control)
{
    QWidget* widget = control.widget;
    const std::string name = control.description.name;
    byWidget_[widget] = &control;
    widget->installEventFilter(this);

    switch (control.description.kind) {
    case ControlKind::Button:
    case ControlKind::StyledButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
        connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
                [this, name] { raiseControlEvent(GuiEventKind::Clicked, name); });
        break;
    case ControlKind::EditBox:
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            connect(line, &QLineEdit::textEdited, this, [this, name, &control](const QString& text) {
                if (control.programSetting > 0)
                    return;
                control.contentSeen = text;
                raiseControlEvent(GuiEventKind::ContentChanged, name);
            });
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
            connect(edit, &QPlainTextEdit::textChanged, this, [this, name, &control, edit] {
                if (control.programSetting > 0)
                    return;
                QString now = edit->toPlainText();
                if (now == control.contentSeen)
                    return;
                control.contentSeen = now;
                raiseControlEvent(GuiEventKind::ContentChanged, name);
            });
            byWidget_[edit->viewport()] = &control;
            edit->viewport()->installEventFilter(this);
        }
        break;
    case ControlKind::Grid: {
        auto* grid = static_cast<GridView*>(widget);
        connect(grid, &GridView::currentCellMoved, this,
                [this, name] { raiseControlEvent(GuiEventKind::CurrentCellChanged, name); });
        byWidget_[grid->viewport()] = &control;
        grid->viewport()->installEventFilter(this);
        break;
    }
    case ControlKind::HtmlView: {
        auto* view = static_cast<HtmlView*>(widget);
        byWidget_[view->viewport()] = &control;
        view->viewport()->installEventFilter(this);
        break;
    }
    default:
        break;
    }
}

void GuiWindow::raiseControlEvent(GuiEventKind kind, const std::string& controlName)
{
    GuiControl* target = control(controlName);
    if (target == nullptr || closing)
        return;
    const std::vector<EventBinding> bindings = target->description.events;
    dispatch(bindings, kind, controlName);
}

void GuiWindow::raiseWindowEvent(GuiEventKind kind)
{
    const std::vector<EventBinding> bindings = description_.events;
    dispatch(bindings, kind, std::string());
}

void GuiWindow::dispatch(const std::vector<EventBinding>& bindings, GuiEventKind kind, const std::string& controlName)
{
    QPointer<GuiWindow> self(this);
    const std::string window = id_;
    for (const EventBinding& binding : bindings) {
        if (binding.event != kind)
            continue;
        if (!self)
            return;
        auto found = handlers_.find(binding.handler);
        if (found == handlers_.end() || !found->second) {
            qWarning("window %s: no handler %s for an event of %s", window.c_str(), binding.handler.c_str(),
                     controlName.empty() ? "the window" : controlName.c_str());
            continue;
        }
        GuiHandler handler = found->second;
        try {
            handler(GuiEvent{kind, window, controlName});
        } catch (const std::exception& error) {
            qWarning("window %s: handler %s failed: %s", window.c_str(), binding.handler.c_str(), error.what());
        } catch (...) {
            qWarning("window %s: handler %s failed", window.c_str(), binding.handler.c_str());
        }
    }
}

std::string GuiWindow::editText(GuiControl& control) const
{
    QString shown;
    bool multiLine = false;
    if (auto* line = qobject_cast<QLineEdit*>(control.widget)) {
        shown = line->text();
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(control.widget)) {
        shown = edit->toPlainText();
        multiLine = true;
    } else {
        return {};
    }
    if (shown == control.contentSetShown)
        return control.contentSet;
    return multiLine ? gbkTextCrLf(shown) : gbkText(shown);
}

void GuiWindow::setEditText(GuiControl& control, const std::string& text)
{
    ++control.programSetting;
    if (auto* line = qobject_cast<QLineEdit*>(control.widget)) {
        line->setText(qtText(text));
        control.contentSetShown = line->text();
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(control.widget)) {
        edit->setPlainText(qtDisplayText(text));
        control.contentSetShown = edit->toPlainText();
    }
    control.contentSet = text;
    control.contentSeen = control.contentSetShown;
    --control.programSetting;
    raiseControlEvent(GuiEventKind::ContentChanged, control.description.name);
}

void GuiWindow::setButtonChecked(GuiControl& control, bool checked)
{
    auto* button = qobject_cast<QAbstractButton*>(control.widget);
    if (button == nullptr)
        return;
    if (!checked && control.group != nullptr && control.group->exclusive()) {
        control.group->setExclusive(false);
        button->setChecked(false);
        control.group->setExclusive(true);
        return;
    }
    button->setChecked(checked);
}

void GuiWindow::startGuiTimer(int id, int intervalMs, std::function<void()> onTick, bool real)
{
    Timer& entry = timers_[id];
    if (entry.timer == nullptr) {
        entry.timer = new QTimer(this);
        connect(entry.timer, &QTimer::timeout, this, [this, id] { fireGuiTimer(id); });
    }
    entry.interval = std::max(0, intervalMs);
    entry.onTick = std::move(onTick);
    entry.running = true;
    if (real)
        entry.timer->start(entry.interval);
    else
        entry.timer->stop();
}

void GuiWindow::killGuiTimer(int id)
{
    auto found = timers_.find(id);
    if (found == timers_.end())
        return;
    found->second.running = false;
    found->second.timer->stop();
}

bool GuiWindow::guiTimerRunning(int id) const
{
    auto found = timers_.find(id);
    return found != timers_.end() && found->second.running;
}

int GuiWindow::guiTimerInterval(int id) const
{
    auto found = timers_.find(id);
    return found != timers_.end() && found->second.running ? found->second.interval : -1;
}

bool GuiWindow::fireGuiTimer(int id)
{
    auto found = timers_.find(id);
    if (found == timers_.end() || !found->second.running || closing)
        return false;
    std::function<void()> onTick = found->second.onTick;
    if (!onTick)
        return true;
    try {
        onTick();
    } catch (const std::exception& error) {
        qWarning("window %s: timer %d failed: %s", id_.c_str(), id, error.what());
    } catch (...) {
        qWarning("window %s: timer %d failed", id_.c_str(), id);
    }
    return true;
}

void GuiWindow::stopAllTimers()
{
    for (auto& [id, entry] : timers_) {
        entry.running = false;
        entry.timer->stop();
    }
}

void GuiWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (!closing && Gui::takesInput(id_))
        Gui::closeWindow(id_);
}

bool GuiWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && offerKey(watched, *static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        auto found = byWidget_.find(watched);
        if (found != byWidget_.end()) {
            const std::string name = found->second->description.name;
            raiseControlEvent(GuiEventKind::MousePressed, name);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GuiWindow::keyPressEvent(QKeyEvent* event)
{
    if (offerKey(this, *event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

bool GuiWindow::offerKey(QObject* receiver, const QKeyEvent& event)
{
    // A key the focus control leaves alone travels on to its containers and
    // comes here again; the handler takes it the second time as little as the first.
    if (!keyHandler_ || closing || !Gui::takesInput(id_))
        return false;
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this)
        return false;
    if (takesText(receiver) || takesText(focusWidget()))
        return false;
    const GuiKey key = GuiKey::fromQt(event);
    if (key.name == GuiKey::Name::Other)
        return false;
    const KeyHandler handler = keyHandler_;
    try {
        return handler(key);
    } catch (const std::exception& error) {
        qWarning("window %s: key handler failed: %s", id_.c_str(), error.what());
    } catch (...) {
        qWarning("window %s: key handler failed", id_.c_str());
    }
    return true;
}

} // namespace platform
