#pragma once

#include "platform/gui/WindowDescription.h"

#include <string>

// The product title (GBK): caption of the start, exam and bank management
// windows and the start window's design-time title.
const std::string& productTitle();

// The start window: identity-card number, seat number and the enter button.
platform::WindowDescription startWindowLayout();
