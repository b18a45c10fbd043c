#pragma once

#include <string>

// One question of the paper, as drawn and as answered. All texts GBK; empty
// means absent (an entry the draw left empty, or an unanswered question).
struct PaperEntry {
    std::string title{};
    std::string options{}; // packed as in the question table
    std::string answer{};
    std::string chosen{}; // "A" to "D" (several in order for a multiple-answer key), empty while unanswered
    std::string id{};     // key in the bank
    std::string did{};    // option count as text
    bool flagged = false; // marked by the candidate to come back to
};
