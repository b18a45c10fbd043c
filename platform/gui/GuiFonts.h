#pragma once

#include <QFont>

#include "platform/gui/WindowDescription.h"

namespace platform {

// The Windows faces of the window descriptions mapped onto an installed CJK face,
// so every text renders on Linux.
class GuiFonts {
public:
    static constexpr int defaultPixelHeight = 12;

    // Registers the substitutions and sets the application font; idempotent.
    static void install();
    static QFont font(const FontSpec& spec);
    static QString cjkFamily();
};

} // namespace platform
