#pragma once

#include "room/RoomConfig.h"

#include <memory>
#include <string>

class AttemptRecorder;
class Database;
class ResultsOutbox;

// Whether this PC sits in an exam room, decided once from i.ini, and what the
// room gives the windows: the bank on its server, the sender of this PC's
// attempts, and the results of every PC, opened once and kept for the
// program's life (the connection comes back by itself after the server went
// away). Without a room the windows keep to this PC's files.
class RoomServices {
public:
    // The room of i.ini; until then none.
    RoomServices();
    // A room known beforehand, as tests and tools give it.
    explicit RoomServices(RoomConfig config);
    ~RoomServices();
    RoomServices(const RoomServices&) = delete;
    RoomServices& operator=(const RoomServices&) = delete;

    // Reads the [db] section of the profile; the start-up does this once,
    // when it knows where the program's files are.
    void readProfile(const std::string& profilePath);

    const RoomConfig& config() const { return config_; }
    bool onServer() const { return config_.onServer(); }

    // Makes the room's server the bank of the process; false with the
    // message for the room's staff.
    bool openBank(std::string& problem);
    // Sends the attempts of the results file to the server from now on; every
    // change the recorder commits wakes the sender. Without a writable results
    // file nothing is sent: the recorder tells the candidate.
    void startSending(const std::string& resultsPath, AttemptRecorder* recorder);

    // The results of every PC of the room; null outside a room or while the
    // server cannot be reached (then tried again on the next call).
    Database* serverResults();

private:
    RoomConfig config_;
    std::unique_ptr<Database> serverResults_;
    std::unique_ptr<ResultsOutbox> outbox_;
    AttemptRecorder* recorder_ = nullptr;
};
