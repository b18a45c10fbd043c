#pragma once

#include "room/RoomConfig.h"

#include <string>
#include <vector>

// A room of simulated candidates at once, to see what a server takes: each
// has its own server connection, draws a paper, answers every question as fast
// as it can through its own results database and outbox (an answer counts as
// written once it is on the server), corrects a few questions in the bank and
// hands in. Needs the bank and the results tables on the server.
class RoomLoad {
public:
    struct Result {
        bool ok = false;
        std::string error;
        std::vector<double> answerWriteMs; // every answer of every candidate
        double seconds = 0;                // from the first draw to the last hand-in
    };

    // folder: where the candidates' results databases go. paceMs: time from
    // one answer to the next of a candidate (a person takes seconds), each
    // candidate starting at a random point of the first interval. Every
    // candidate gives up after timeoutSeconds.
    static Result run(const RoomConfig& server, int candidates, const std::string& folder, int paceMs,
                      int timeoutSeconds = 120);
};
