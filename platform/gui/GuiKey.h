#pragma once

#include <functional>

class QKeyEvent;

namespace platform {

// A key press as a window's key handler sees it: the few keys the program
// gives a meaning to, with the modifiers held.
struct GuiKey {
    enum class Name {
        Other,
        Character, // a letter or a digit, in `character`
        Left,
        Right,
        Up,
        Down,
        PageUp,
        PageDown,
        Home,
        End,
        Enter,
        Escape,
        Backspace,
        Plus, // also "=", the plus key without Shift
        Minus,
    };

    Name name = Name::Other;
    char character = 0; // 'A'..'Z' or '0'..'9'; the keypad digits count as digits
    bool control = false;
    bool shift = false;
    bool alt = false;
    bool autoRepeat = false;

    static GuiKey fromQt(const QKeyEvent& event);
};

// Returns true when it took the key as a command; an untaken key goes on to
// the control with the focus. Takes nothing it does not act on, so that the
// same press offered twice does the same.
using KeyHandler = std::function<bool(const GuiKey&)>;

} // namespace platform
