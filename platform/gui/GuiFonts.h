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
    // Line pitch of the Windows face in character heights: 1 for the Song faces
    // ("default" included), 0 = natural spacing for the others.
    static qreal lineFactor(const FontSpec& spec);
    static QString cjkFamily();
};

} // namespace platform
