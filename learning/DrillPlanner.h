#pragma once

#include "attempts/AttemptRecords.h"

#include <cstdint>
#include <string>
#include <vector>

class Database;
class DbConnection;
class DbRecordset;

// The paper of a drill of one's own mistakes. A question is due when the
// candidate answered it wrong or left it unanswered in a handed-in attempt
// (an exam or an earlier drill), unless it was answered right in each of the
// last two attempts that held it. The most recently missed come first;
// questions missed in the same attempt follow in random order. Questions are
// matched by bank key and drawn as the bank holds them now; a key no longer in
// the bank is passed over. Success is reported as bool, the reason in
// lastErrorText.
class DrillPlanner {
public:
    static constexpr int maxQuestions = 100;

    // results: the candidate's attempts. bank/rows: the question table on the
    // current backend; rows replaces the result every recordset sees.
    DrillPlanner(Database& results, DbConnection& bank, DbRecordset& rows) : results_(results), bank_(bank), rows_(rows)
    {
    }

    // Every due key in order of priority, before the bank is looked at; seed
    // orders the questions missed in the same attempt.
    bool dueKeys(const std::string& candidateId, std::uint32_t seed, std::vector<std::string>& out);
    // The drill's entries, numbered from 1, at most maxQuestions; empty when
    // nothing is due.
    bool plan(const std::string& candidateId, std::uint32_t seed, std::vector<AttemptEntry>& out);

    std::string lastErrorText() const { return error_; }

private:
    // Adds to found the questions of keys that the bank still holds.
    bool lookUp(const std::vector<std::string>& keys, std::vector<AttemptEntry>& found);

    Database& results_;
    DbConnection& bank_;
    DbRecordset& rows_;
    std::string error_;
};
