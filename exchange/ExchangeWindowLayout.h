#pragma once

#include "platform/gui/WindowDescription.h"

// The import and export window: a file name, the import options, the list of
// problems the check found, and a progress bar.
platform::WindowDescription exchangeWindowLayout();
