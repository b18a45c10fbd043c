#pragma once

#include "attempts/AttemptRecords.h"
#include "attempts/AttemptStore.h"
#include "db/Database.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the exam workflow tells the results database: every call commits before
// it returns. The database opens on first use. When it cannot be written the
// exam goes on unrecorded and onFailure is called once: this attempt will not
// be kept; later calls then do nothing.
class AttemptRecorder {
public:
    // Set by the owner: how the candidate learns that the attempt is not kept
    // (the reason may be empty), and who is to hear of every committed change.
    std::function<void(const std::string& reason)> onFailure;
    std::function<void()> onCommitted;

    // path: the results database file (GBK); empty records nothing until set.
    explicit AttemptRecorder(std::string path = {});
    ~AttemptRecorder();
    AttemptRecorder(const AttemptRecorder&) = delete;
    AttemptRecorder& operator=(const AttemptRecorder&) = delete;

    const std::string& path() const { return path_; }
    // Another file closes the one in use.
    void setPath(const std::string& path);
    // The store on the opened database; null when it cannot be opened.
    AttemptStore* store();

    // Stored attempts, for the resume offer; nothing when the database is unusable.
    std::optional<AttemptSummary> inProgress(const std::string& candidateId);
    std::optional<StoredAttempt> load(std::int64_t attempt);
    void abandon(std::int64_t attempt);
    // Whether the database takes writes; when it does not, this is reported
    // like a failed write, before anything is recorded.
    bool checkWritable();

    // Starts recording a new attempt with its drawn paper.
    void begin(const AttemptStart& start);
    // Continues recording a stored attempt.
    void resume(const StoredAttempt& attempt);
    // Holds a stored attempt until the exam window has been set up to continue it.
    void holdForResume(StoredAttempt attempt) { pending_ = std::move(attempt); }
    std::optional<StoredAttempt> takeHeld() { return std::exchange(pending_, std::nullopt); }
    // Stops recording without a hand-in: the attempt stays in progress.
    void stop();
    bool recording() const { return attempt_ != 0; }
    std::int64_t attemptId() const { return attempt_; }

    void answer(int number, const std::string& letter);
    // Writes the texts and flag of the entry when they differ from what is stored.
    void syncEntry(const AttemptEntry& entry);
    void currentQuestion(int number);
    // The seat the candidate sits at now (a resumed attempt may move).
    void seatNumber(const std::string& seat);
    void secondsLeft(int seconds);
    // A defined paper's marking against its pass mark.
    struct PaperResult {
        int pointsTenths = 0;
        bool passed = false;
    };
    void handIn(int score, int secondsLeft, std::optional<PaperResult> result = {});

private:
    bool ensureOpen();
    // Ends recording of this attempt and reports it, once.
    void failed(const std::string& reason);
    // A change is in the database: its listener hears of it.
    void committed();
    AttemptEntry* cached(int number);

    std::string path_;
    std::unique_ptr<Database> database_;
    std::unique_ptr<AttemptStore> store_;
    bool openTried_ = false;
    std::string openError_;
    // A write has failed and been reported: nothing more is tried on this database.
    bool unwritable_ = false;
    std::int64_t attempt_ = 0;
    std::vector<AttemptEntry> entries_; // as stored
    std::optional<StoredAttempt> pending_;
    int currentQuestion_ = 0;
    int secondsLeft_ = -1;
    std::string seatNumber_;
};
