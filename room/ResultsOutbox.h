#pragma once

#include "db/ConnectOptions.h"
#include "db/Database.h"
#include "room/RoomConfig.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <thread>

// Sends the attempts of the local results database to the room's server.
//
// Triggers in the results database add a row to its outbox table in the same
// transaction as every change of an attempt or an entry, so nothing committed
// can be missed, whatever happens to the process or the server. A thread of
// its own sends the outbox in order: each batch carries the rows as they stand
// now, written to the server as upserts in one transaction, so a batch sent
// twice (the server committed, the process died before noting it) leaves the
// same rows. How far the outbox has gone is noted in a file of its own beside
// the results database: the exam's writes never wait for the sender.
//
// On the server an attempt's key is the origin number of the results database
// (random, kept in it) times 2^20 plus its local key, so the PCs of a room
// never collide.
class ResultsOutbox {
public:
    static constexpr int retryMilliseconds = 1000;
    static constexpr int closingMilliseconds = 2000;

    ResultsOutbox(std::string resultsPath, RoomConfig server);
    ~ResultsOutbox();
    ResultsOutbox(const ResultsOutbox&) = delete;
    ResultsOutbox& operator=(const ResultsOutbox&) = delete;

    // Creates the results tables, the outbox and its triggers when missing;
    // false (reason in lastErrorText) when the results database cannot be written.
    bool prepare();
    // Starts the sender; it stops with the object.
    void start();
    // Wakes the sender at once.
    void poke();
    // Waits until everything committed so far is on the server; false on timeout.
    bool flush(int timeoutMilliseconds);

    // Creates the results tables on the server (an account allowed to CREATE).
    static bool prepareServer(const RoomConfig& server, std::string& error);
    // How the results on the room's server are reached: the time limits of
    // RoomServer, the session setup of Dialect.
    static ConnectOptions serverOptions(const RoomConfig& server);
    // Opens `database` on the room's server; false with the reason in its lastErrorText.
    static bool openServer(Database& database, const RoomConfig& server);
    // Local keys of the attempts with changes not yet on the server.
    static std::set<std::int64_t> unsentAttempts(const std::string& resultsPath);

    std::string lastErrorText() const;

private:
    void run();
    // One batch; false when the server could not take it.
    bool sendBatch(Database& remote, bool& more);

    const std::string resultsPath_;
    const RoomConfig server_;
    // Opened by prepare(), before the exam writes: opening sets the journal
    // mode, which would make a write running at that moment fail as locked.
    Database local_{DbKind::Sqlite};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    bool poked_ = false;
    long long requested_ = 0; // flushes asked for
    long long completed_ = 0; // the last of them a pass found nothing left for
    std::string error_;
};
