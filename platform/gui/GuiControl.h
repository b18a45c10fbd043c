#pragma once

#include <QString>

#include <optional>
#include <string>

#include "platform/gui/WindowDescription.h"

class QWidget;
class QButtonGroup;

namespace platform {

// One live control of an open window: its description (settings and event
// bindings, which copies take over), its widget and the state the program reads
// back exactly as it wrote it.
struct GuiControl {
    ControlDescription description;
    QWidget* widget = nullptr; // owned by its Qt parent
    std::string caption;       // GBK, as last set; edit boxes read their widget instead
    std::string tag;
    std::optional<Rgb> textColour;
    std::optional<Rgb> backgroundColour;
    Border border = Border::None;
    QButtonGroup* group = nullptr;
    // Set by the program for assistive technology (GBK); an empty name means
    // the one derived from the caption or the description.
    std::string accessibleName;
    std::string accessibleDescription;

    // Edit boxes: the program is setting the text (its own change event follows).
    int programSetting = 0;
    // Edit boxes: the content last seen, so that non-changes raise nothing.
    QString contentSeen;
    // Edit boxes: the bytes last set by the program and how they showed, so an
    // untouched box gives back exactly those bytes.
    std::string contentSet;
    QString contentSetShown;
};

} // namespace platform
