#pragma once

#include "platform/gui/WindowDescription.h"

#include <vector>

// The correction window: title, options and correct answer of the question on screen.
platform::WindowDescription correctionWindowLayout();

// The category of the question, beside the options' caption; hidden until
// the window knows the bank has categories.
platform::ControlDescription correctionCategoryLabel();

// The key of a multiple-answer question, typed as its letters, under the
// option buttons.
std::vector<platform::ControlDescription> correctionMultipleKeyControls();
