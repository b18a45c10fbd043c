#pragma once

#include "platform/gui/WindowDescription.h"

// The correction window: title, options and correct answer of the question on screen.
platform::WindowDescription correctionWindowLayout();
