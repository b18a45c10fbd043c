#pragma once

#include "charts/ChartDrawing.h"

#include <string>

// The charts module (mockexam-charts.so), loaded when the first chart is
// drawn: Qt Charts and the OpenGL libraries behind it stay out of the
// program's start.
class ChartModule {
public:
    // The drawing functions; nullptr when the module cannot be loaded.
    static const ChartDrawing* drawing();
    // Why drawing() gives nullptr (GBK, for the user); empty otherwise.
    static std::string lastErrorText();
    // What a window says when a chart could not be drawn: why the module is
    // missing, or else its own text.
    static std::string failureText(const std::string& otherwise);
};
