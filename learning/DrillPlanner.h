#pragma once

#include "attempts/AttemptRecords.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Database;
class DbConnection;
class DbRecordset;
class QuestionBank;

// A category with questions due, and how many.
struct DueCategory {
    std::string name; // GBK; QuestionBank::uncategorisedText() for those without one
    int count = 0;
    bool operator==(const DueCategory&) const = default;
};

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
    // nothing is due. A category other than "" keeps to the questions of that
    // one, in the same order.
    bool plan(const std::string& candidateId, std::uint32_t seed, std::vector<AttemptEntry>& out,
              const std::string& category = {});
    // The categories of the due questions the bank still holds, by name with
    // the uncategorised last; empty when nothing is due.
    bool dueCategories(const std::string& candidateId, std::vector<DueCategory>& out);

    std::string lastErrorText() const { return error_; }

private:
    // The bank the connection works on now; null (error_ set) when there is none.
    std::unique_ptr<QuestionBank> currentBank();
    // Each key with its category, for the keys the bank still holds, in the
    // order of keys.
    bool categoriesOf(const std::vector<std::string>& keys, std::vector<std::pair<std::string, std::string>>& out);
    // Adds to found the questions of keys that the bank still holds.
    bool lookUp(const std::vector<std::string>& keys, std::vector<AttemptEntry>& found);

    Database& results_;
    DbConnection& bank_;
    DbRecordset& rows_;
    std::string error_;
};
