#pragma once

#include <string>

// The one Qt application object of a benchmark process, headless unless the
// environment asks for a display.
void ensureBenchApplication();

// Waits, pumping events, until a top-level window is shown and exposed, then
// writes "ready" to standard output. False when none appears in 10 s.
bool reportWhenWindowReady();

// Copies the sample bank and profile that lie beside this program into dir.
bool copySampleRun(const std::string& dir);
