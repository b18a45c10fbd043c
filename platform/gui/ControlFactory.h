#pragma once

#include "platform/gui/GuiControl.h"

class QWidget;

namespace platform {

// Makes the widget of a control description and keeps its look in step with the
// control's run-time settings.
class ControlFactory {
public:
    // Creates control.widget as a child of `parent` from control.description and
    // sets control's run-time state to the design-time one.
    static void create(GuiControl& control, QWidget* parent);

    // Shows control.caption (labels, buttons, radio buttons, check box, page control).
    static bool showCaption(GuiControl& control);
    static void applyColours(GuiControl& control);
    static bool applyBorder(GuiControl& control);
    // Names the widget for assistive technology: the program's name, else the
    // description's, else the caption of a control that shows one.
    static void applyAccessibleText(GuiControl& control);

    static bool takesFocusByDefault(ControlKind kind);
    // Controls that hold other controls.
    static bool isContainer(ControlKind kind);
};

} // namespace platform
