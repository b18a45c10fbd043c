#pragma once

#include "platform/gui/WindowDescription.h"

// The bank management window: the question grid on the left, the search box and
// the question editor on a panel on the right.
platform::WindowDescription bankWindowLayout();
