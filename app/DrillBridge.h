#pragma once

#include <string>

class AppState;
class RoomServices;

// Between the start window and the drill planner: the drill of the
// candidate's own mistakes becomes the paper of the exam window.
class DrillBridge {
public:
    // Fills the paper with the candidate's drill and marks the state as a
    // drill of that many questions; the number, 0 when nothing is due or the
    // attempts could not be read (reason then says why). In an exam room the
    // server holds the candidate's attempts from every PC.
    static int drawDrill(AppState& state, RoomServices& room, const std::string& candidateId, std::string& reason);

    static std::string nothingDueText();
    static std::string failedText(const std::string& reason);
};
