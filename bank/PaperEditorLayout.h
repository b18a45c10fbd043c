#pragma once

#include "platform/gui/WindowDescription.h"

#include <string>
#include <vector>

// The administrator's paper editor: the papers on the upper left with the
// fields of the one in hand below them, its rules on the right above the
// questions the bank holds per category and kind. The category list of the
// rules is the bank's, so the window is described anew each time it opens.
platform::WindowDescription paperEditorLayout(const std::vector<std::string>& categories);
