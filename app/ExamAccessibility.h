#pragma once

#include "exam/PaperEntry.h"

#include <string>

// What assistive technology announces in the exam window: the options with
// their texts, each grid cell with its state, the buttons with their keys and
// the time left. Kept in step by the exam window as the state changes.
class ExamAccessibility {
public:
    // The controls whose names never change; with the key help on the hand-in button.
    static void describeControls();
    // After the option captions changed.
    static void describeOptions();
    // Cell k with the answer and the flag of its entry and the colour it shows.
    static void describeCell(int k, const PaperEntry& entry);
    // The clock, from the caption it shows ("0:42:10").
    static void describeClock(const std::string& caption);

    // "第12题，已答B，已标记" and the like (GBK).
    static std::string cellName(int k, const PaperEntry& entry);
};
