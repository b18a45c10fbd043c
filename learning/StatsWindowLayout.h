#pragma once

#include "platform/gui/WindowDescription.h"

platform::WindowDescription statsWindowLayout();
