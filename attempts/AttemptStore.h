#pragma once

#include "attempts/AttemptRecords.h"
#include "db/ConnectOptions.h"
#include "db/Database.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// The attempts in the results database: the schema and every statement on it,
// on the local results file and on the room's server alike. Each write is one
// transaction, committed before the call returns. Success is reported as bool /
// id / empty optional, the reason in lastErrorText.
//
// Tables (plain types, statements both SQLite and MySQL/MariaDB run):
//   exam_attempt        one row per attempt
//   exam_attempt_entry  one row per entry of its paper, keyed (attempt_id, entry_no)
//   results_meta        name/value pairs, the schema version among them
//   room_outbox         local file in an exam room only: the changes not yet
//                       known to be on the server, filled by triggers
class AttemptStore {
public:
    static constexpr int schemaVersion = 1;
    // The results database beside the program.
    static constexpr char fileName[] = "ksjl.db";

    // A row of exam_attempt (attemptColumns) or exam_attempt_entry
    // (entryColumns) as stored, NULL kept, for the copy on the room's server.
    struct CopiedRow {
        bool attempt = true;
        Database::Row cells;
    };
    // One change in the outbox: entry 0 is the attempt's own row.
    struct OutboxChange {
        long long seq = 0;
        std::int64_t attempt = 0;
        int entry = 0;
    };

    explicit AttemptStore(Database& database) : database_(database) {}

    // The local results file: created when missing. Write-ahead journal with
    // normal syncing: a commit is in the journal file before it returns, so a
    // killed process loses nothing committed, and no commit waits for the
    // disk. A second program on the same folder waits for a write instead of
    // failing it.
    static ConnectOptions fileOptions(const std::string& path);

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
    // The hand-in of a defined paper, with its points (tenths) and whether it passed.
    bool recordHandIn(std::int64_t attempt, int score, int secondsLeft, const std::string& at, int pointsTenths,
                      bool passed);
    bool recordAbandoned(std::int64_t attempt, const std::string& at);
    // Whether the database takes a write now: an update that changes nothing
    // and touches no attempt. Reading may work where writing does not.
    bool writable();

    // The newest attempt of the candidate still in progress.
    std::optional<AttemptSummary> findInProgress(const std::string& candidateId);
    std::optional<StoredAttempt> load(std::int64_t attempt);
    // Oldest first; an empty candidate id lists everyone's.
    bool list(const std::string& candidateId, std::vector<AttemptSummary>& out);

    // The history as the exports write it: Chinese column names, and one row
    // of texts per listed attempt.
    static std::vector<std::string> exportColumns();
    static std::vector<std::string> exportRow(const AttemptSummary& attempt);

    // Every entry holding a question of the candidate's handed-in attempts
    // (exams and drills), the most recently ended attempt first, entries in
    // paper order.
    bool handedInEntries(const std::string& candidateId, std::vector<AnsweredEntry>& out);
    // Every handed-in exam (drills left out) in key order, with its score (-1
    // for none).
    bool handedInExams(std::vector<std::pair<std::int64_t, int>>& out);
    // Every entry of the attempts keyed first to last, by attempt then paper order.
    bool entriesBetween(std::int64_t first, std::int64_t last, std::vector<AnsweredEntry>& out);
    // A handed-in exam of one paper: its score, its points (tenths, -1 for
    // none) and the paper as drawn (empty for the program's own).
    struct PaperExam {
        std::int64_t attempt = 0;
        int score = -1;
        int pointsTenths = -1;
        std::string paperText{};
    };
    // The handed-in exams of one paper in key order: an empty name is the
    // program's own paper.
    bool handedInExamsOf(const std::string& paperName, std::vector<PaperExam>& out);
    // The names of the defined papers with a handed-in exam, in name order.
    bool handedInPaperNames(std::vector<std::string>& out);

    // The local file's outbox: its table, the triggers that fill it and the
    // file's random origin number, each made when missing.
    bool prepareOutbox();
    // The origin number; 0 when it cannot be read.
    long long origin();
    // Changes after seq, in order, at most limit.
    bool outboxChanges(long long afterSeq, int limit, std::vector<OutboxChange>& out);
    // Keys of the attempts with changes after seq.
    bool changedAttempts(long long afterSeq, std::set<std::int64_t>& out);
    // The row a change names as it stands now; false with an empty reason
    // when it is gone.
    bool copiedRow(const OutboxChange& change, CopiedRow& out);
    // Writes the rows on the server in one transaction, each inserted or
    // replacing the row of the same key.
    bool putCopiedRows(const std::vector<CopiedRow>& rows);

    std::string lastErrorText() const { return error_; }

    static const char* stateCode(AttemptState state);
    static AttemptState stateFromCode(std::string_view code);
    // Local time now, as stored.
    static std::string now();

    static const std::vector<std::string>& attemptColumns();
    static const std::vector<std::string>& entryColumns();

private:
    // A parameter of a statement: a number or a GBK text.
    struct Value {
        Value(long long n) : isText(false), number(n) {}
        Value(long n) : isText(false), number(n) {}
        Value(int n) : isText(false), number(n) {}
        Value(const std::string& t) : isText(true), text(t) {}
        Value(const char* t) : isText(true), text(t) {}
        bool isText;
        long long number = 0;
        std::string text;
    };

    Statement statement(std::string_view sql, const std::vector<Value>& values);
    bool select(std::string_view sql, const std::vector<Value>& values, Database::Rows& rows);
    // One statement as a transaction of its own.
    bool change(std::string_view sql, const std::vector<Value>& values);
    // Keeps the reason of the failed statement and rolls back; always false.
    bool fail();
    bool failRead();
    // The columns of a defined paper, on a database made before them.
    void addPaperColumns();
    // Whether exam_attempt holds the paper's columns; asked once.
    bool hasPaperColumns();
    std::string summaryColumns();
    static AttemptSummary summaryFrom(const Database::Row& row);
    static std::vector<AnsweredEntry> answeredFrom(const Database::Rows& rows);

    Database& database_;
    std::string error_;
    std::optional<bool> hasPaperColumns_;
};
