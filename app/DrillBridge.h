#pragma once

#include "learning/DrillPlanner.h"

#include <functional>
#include <string>
#include <vector>

class AppState;
class RoomServices;

// Between the start window and the drill planner: the drill of the
// candidate's own mistakes becomes the paper of the exam window.
class DrillBridge {
public:
    // Fills the paper with the candidate's drill and marks the state as a
    // drill of that many questions; the number, 0 when nothing is due or the
    // attempts could not be read (reason then says why). In an exam room the
    // server holds the candidate's attempts from every PC. A category other
    // than "" keeps the drill to that one.
    static int drawDrill(AppState& state, RoomServices& room, const std::string& candidateId, std::string& reason,
                         const std::string& category = {});
    // The categories of the candidate's due questions; empty when nothing is
    // due or the attempts could not be read, which the drill itself then says.
    static std::vector<DueCategory> dueCategories(AppState& state, RoomServices& room, const std::string& candidateId);

    static std::string nothingDueText();
    static std::string failedText(const std::string& reason);

private:
    // Runs the work on the room server's attempts, else on this PC's; false
    // (reason set) when neither could be read.
    static bool withPlanner(AppState& state, RoomServices& room, const std::function<bool(DrillPlanner&)>& work,
                            std::string& reason);
};
