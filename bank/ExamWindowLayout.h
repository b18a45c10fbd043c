#pragma once

#include "platform/gui/WindowDescription.h"

// The exam window: the question pages, the candidate's details, the clock, the
// colour legend of the question grid and the template of its cells.
platform::WindowDescription examWindowLayout();
