// The statistics of 10,000 questions over 100,000 handed-in exams of 100
// questions each, through the results store, against one aggregate
// query over the same rows through the SQLite C interface.

#include "attempts/AttemptStore.h"
#include "bench/Comparison.h"
#include "db/Database.h"
#include "learning/BankStatistics.h"

#include <sqlite3.h>

#include <filesystem>
#include <random>
#include <string>
#include <unordered_map>

namespace {

constexpr int questionCount = 10000;
constexpr int attemptCount = 100000;
constexpr int paperSize = 100;

// Built on first use and reused; a half-built file is never left under the name.
std::string resultsDatabase(const std::string& workDir)
{
    const std::string path = workDir + "/stats-100k.db";
    if (std::filesystem::exists(path))
        return path;
    const std::string building = path + ".building";
    std::filesystem::remove(building);
    std::filesystem::remove(building + "-wal");
    std::filesystem::remove(building + "-shm");
    {
        Database connection(DbKind::Sqlite);
        if (!connection.open(AttemptStore::fileOptions(building)) || !AttemptStore(connection).prepare())
            return {};
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(building.c_str(), &db) != SQLITE_OK)
        return {};
    sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* attempt = nullptr;
    sqlite3_stmt* entry = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO exam_attempt (attempt_id, kind, candidate_id, seat_number, started_at, ended_at, "
                       "state, seconds_left, paper_duration, current_question, score) VALUES (?, 'exam', ?, '1', "
                       "'2026-12-01 09:00:00', '2026-12-01 10:00:00', 'handed_in', 0, 3600, 100, ?)",
                       -1, &attempt, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO exam_attempt_entry (attempt_id, entry_no, question_key, title, options, answer, "
                       "option_count, chosen, chosen_at, flagged) VALUES (?, ?, ?, ?, 'a|b|c|d|', ?, '4', ?, "
                       "'2026-12-01 09:30:00', 0)",
                       -1, &entry, nullptr);
    std::mt19937 random(100000);
    std::normal_distribution<double> ability(0.0, 1.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    static const char* const letters[] = {"A", "B", "C", "D"};
    for (int a = 1; a <= attemptCount; ++a) {
        const double theta = ability(random);
        const int first = static_cast<int>(random() % questionCount);
        int score = 0;
        for (int k = 0; k < paperSize; ++k) {
            // 97 is prime to 10,000, so a paper never holds a question twice.
            const int q = (first + 97 * k) % questionCount;
            const int keyed = q % 4;
            const double p = 0.25 + 0.75 * unit(random) * (theta + 3.0) / 6.0;
            const int chosen = unit(random) < 0.03 ? -1 : unit(random) < p ? keyed : static_cast<int>(random() % 4);
            score += chosen == keyed ? 1 : 0;
            const std::string key = std::to_string(q + 1);
            const std::string title = "T" + key;
            sqlite3_bind_int(entry, 1, a);
            sqlite3_bind_int(entry, 2, k + 1);
            sqlite3_bind_text(entry, 3, key.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(entry, 4, title.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(entry, 5, letters[keyed], -1, SQLITE_STATIC);
            sqlite3_bind_text(entry, 6, chosen < 0 ? "" : letters[chosen], -1, SQLITE_STATIC);
            sqlite3_step(entry);
            sqlite3_reset(entry);
        }
        const std::string candidate = "110" + std::to_string(a);
        sqlite3_bind_int(attempt, 1, a);
        sqlite3_bind_text(attempt, 2, candidate.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(attempt, 3, score);
        sqlite3_step(attempt);
        sqlite3_reset(attempt);
    }
    sqlite3_finalize(attempt);
    sqlite3_finalize(entry);
    const bool committed = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (!committed)
        return {};
    std::filesystem::rename(building, path);
    return path;
}

const char* const aggregateSql =
    "SELECT e.question_key, COUNT(*), SUM(e.chosen<>'' AND e.chosen=e.answer), SUM(e.chosen='A'), "
    "SUM(e.chosen='B'), SUM(e.chosen='C'), SUM(e.chosen='D'), SUM(e.chosen='') FROM exam_attempt_entry e JOIN "
    "exam_attempt a ON a.attempt_id=e.attempt_id WHERE a.state='handed_in' AND a.kind='exam' GROUP BY "
    "e.question_key";

ComparisonResult statsComparison(const std::string& workDir)
{
    ComparisonResult result;
    const std::string path = resultsDatabase(workDir);
    Database connection(DbKind::Sqlite);
    sqlite3* db = nullptr;
    if (path.empty() || !connection.open(AttemptStore::fileOptions(path)) ||
        sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        result.ok = false;
        result.note = "cannot build or open the results database";
        sqlite3_close(db);
        return result;
    }
    BankStatistics statistics(connection);
    bool computed = false;
    std::unordered_map<std::string, std::pair<int, int>> raw;
    timeInTurns([&] { computed = statistics.compute(); },
                [&] {
                    raw.clear();
                    sqlite3_stmt* statement = nullptr;
                    sqlite3_prepare_v2(db, aggregateSql, -1, &statement, nullptr);
                    while (sqlite3_step(statement) == SQLITE_ROW)
                        raw[reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))] = {
                            sqlite3_column_int(statement, 1), sqlite3_column_int(statement, 2)};
                    sqlite3_finalize(statement);
                },
                3, result);
    sqlite3_close(db);
    int suspects = 0;
    bool same = computed && raw.size() == statistics.questions().size();
    for (const QuestionStatistics& q : statistics.questions()) {
        suspects += q.suspect ? 1 : 0;
        const auto found = raw.find(q.key);
        same = same && found != raw.end() && found->second == std::pair(q.drawn, q.right);
    }
    if (!same) {
        result.ok = false;
        result.note = computed ? "the counts differ from the aggregate query" : statistics.lastErrorText();
    }
    result.detail = std::to_string(statistics.questions().size()) + " questions, " +
                    std::to_string(statistics.scores().size()) + " attempts, " + std::to_string(suspects) + " flagged";
    return result;
}

ComparisonRegistrar stats100k("stats-100k", statsComparison);

} // namespace
