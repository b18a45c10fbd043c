#pragma once

#include "attempts/AttemptRecords.h"
#include "attempts/ResultsConnection.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The attempts in the results database: the schema and every statement on it.
// Each write is one transaction, committed before the call returns. Success is
// reported as bool / id / empty optional, the reason in lastErrorText.
//
// Tables (plain types, statements both SQLite and MySQL/MariaDB run):
//   exam_attempt        one row per attempt
//   exam_attempt_entry  one row per entry of its paper, keyed (attempt_id, entry_no)
//   results_meta        name/value pairs, the schema version among them
class AttemptStore {
public:
    static constexpr int schemaVersion = 1;
    // The results database beside the program.
    static constexpr char fileName[] = "ksjl.db";

    explicit AttemptStore(ResultsConnection& connection) : connection_(connection) {}

    // Creates the tables that are missing; an existing database keeps its rows.
    bool prepare();

    // The new attempt's id, 0 on failure (nothing is stored then).
    std::int64_t begin(const AttemptStart& start);
    bool recordAnswer(std::int64_t attempt, int number, const std::string& letter, const std::string& at);
    // The question texts and the flag of one entry (a correction, a flag).
    bool recordEntry(std::int64_t attempt, const AttemptEntry& entry);
    bool recordCurrentQuestion(std::int64_t attempt, int number);
    // The seat the candidate continues the attempt at.
    bool recordSeatNumber(std::int64_t attempt, const std::string& seatNumber);
    bool recordSecondsLeft(std::int64_t attempt, int secondsLeft);
    bool recordHandIn(std::int64_t attempt, int score, int secondsLeft, const std::string& at);
    bool recordAbandoned(std::int64_t attempt, const std::string& at);
    // Whether the database takes a write now: an update that changes nothing
    // and touches no attempt. Reading may work where writing does not.
    bool writable();

    // The newest attempt of the candidate still in progress.
    std::optional<AttemptSummary> findInProgress(const std::string& candidateId);
    std::optional<StoredAttempt> load(std::int64_t attempt);
    // Oldest first; an empty candidate id lists everyone's.
    bool list(const std::string& candidateId, std::vector<AttemptSummary>& out);
    std::string listQuery(const std::string& candidateId) const;
    // The history as the exports write it, with Chinese column names; schema:
    // the name the results database is attached under, empty for none.
    std::string exportQuery(const std::string& candidateId, const std::string& schema) const;

    std::string lastErrorText() const { return error_; }

    // Text between the quotes of a literal on this backend.
    std::string literal(std::string_view text) const;
    static const char* stateCode(AttemptState state);
    static AttemptState stateFromCode(std::string_view code);
    // Local time now, as stored.
    static std::string now();

private:
    bool transaction(const std::vector<std::string>& statements);
    // Keeps the reason of the failed statement and rolls back; always false.
    bool fail();
    std::string quoted(std::string_view text) const { return "'" + literal(text) + "'"; }
    std::string entryValues(std::int64_t attempt, const AttemptEntry& entry) const;
    static std::string summaryColumns();
    static AttemptSummary summaryFrom(const std::vector<std::string>& row);

    ResultsConnection& connection_;
    std::string error_;
};
