#include "platform/gui/GuiKey.h"

#include <QKeyEvent>

namespace platform {

GuiKey GuiKey::fromQt(const QKeyEvent& event)
{
    GuiKey key;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    key.control = modifiers.testFlag(Qt::ControlModifier);
    key.shift = modifiers.testFlag(Qt::ShiftModifier);
    key.alt = modifiers.testFlag(Qt::AltModifier) || modifiers.testFlag(Qt::MetaModifier);
    key.autoRepeat = event.isAutoRepeat();

    const int code = event.key();
    if (code >= Qt::Key_A && code <= Qt::Key_Z) {
        key.name = Name::Character;
        key.character = static_cast<char>('A' + (code - Qt::Key_A));
        return key;
    }
    if (code >= Qt::Key_0 && code <= Qt::Key_9) {
        key.name = Name::Character;
        key.character = static_cast<char>('0' + (code - Qt::Key_0));
        return key;
    }
    switch (code) {
    case Qt::Key_Left:
        key.name = Name::Left;
        break;
    case Qt::Key_Right:
        key.name = Name::Right;
        break;
    case Qt::Key_Up:
        key.name = Name::Up;
        break;
    case Qt::Key_Down:
        key.name = Name::Down;
        break;
    case Qt::Key_PageUp:
        key.name = Name::PageUp;
        break;
    case Qt::Key_PageDown:
        key.name = Name::PageDown;
        break;
    case Qt::Key_Home:
        key.name = Name::Home;
        break;
    case Qt::Key_End:
        key.name = Name::End;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key.name = Name::Enter;
        break;
    case Qt::Key_Escape:
        key.name = Name::Escape;
        break;
    case Qt::Key_Backspace:
        key.name = Name::Backspace;
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        key.name = Name::Plus;
        break;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        key.name = Name::Minus;
        break;
    default:
        break;
    }
    return key;
}

} // namespace platform
