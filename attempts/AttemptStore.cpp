#include "attempts/AttemptStore.h"

#include "platform/CodePage.h"

#include <cstdlib>
#include <ctime>

namespace {

const char* const attemptTable = "CREATE TABLE IF NOT EXISTS exam_attempt ("
                                 "attempt_id %KEY%, "
                                 "kind VARCHAR(16) NOT NULL, "
                                 "candidate_id VARCHAR(255) NOT NULL, "
                                 "seat_number VARCHAR(255) NOT NULL, "
                                 "started_at VARCHAR(19) NOT NULL, "
                                 "ended_at VARCHAR(19), "
                                 "state VARCHAR(16) NOT NULL, "
                                 "seconds_left INTEGER NOT NULL, "
                                 "paper_duration INTEGER NOT NULL, "
                                 "current_question INTEGER NOT NULL, "
                                 "score INTEGER)";

const char* const entryTable = "CREATE TABLE IF NOT EXISTS exam_attempt_entry ("
                               "attempt_id BIGINT NOT NULL, "
                               "entry_no INTEGER NOT NULL, "
                               "question_key VARCHAR(64) NOT NULL, "
                               "title TEXT NOT NULL, "
                               "options TEXT NOT NULL, "
                               "answer TEXT NOT NULL, "
                               "option_count VARCHAR(64) NOT NULL, "
                               "chosen VARCHAR(16) NOT NULL, "
                               "chosen_at VARCHAR(19) NOT NULL, "
                               "flagged INTEGER NOT NULL, "
                               "PRIMARY KEY (attempt_id, entry_no))";

const char* const metaTable = "CREATE TABLE IF NOT EXISTS results_meta ("
                              "name VARCHAR(64) NOT NULL PRIMARY KEY, "
                              "value VARCHAR(255) NOT NULL)";

std::string replaced(std::string text, std::string_view from, std::string_view to)
{
    const std::size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

int toInt(const std::string& text, int fallback = 0)
{
    if (text.empty())
        return fallback;
    return std::atoi(text.c_str());
}

} // namespace

std::string AttemptStore::literal(std::string_view text) const
{
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\'')
            out += '\'';
        // MySQL reads a backslash in a literal as an escape; SQLite takes it as it is.
        else if (c == '\\' && connection_.kind() == DbKind::Mysql)
            out += '\\';
        out += c;
    }
    return out;
}

const char* AttemptStore::stateCode(AttemptState state)
{
    switch (state) {
    case AttemptState::HandedIn:
        return "handed_in";
    case AttemptState::Abandoned:
        return "abandoned";
    default:
        return "in_progress";
    }
}

AttemptState AttemptStore::stateFromCode(std::string_view code)
{
    if (code == "handed_in")
        return AttemptState::HandedIn;
    if (code == "abandoned")
        return AttemptState::Abandoned;
    return AttemptState::InProgress;
}

std::string AttemptStore::now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

bool AttemptStore::transaction(const std::vector<std::string>& statements)
{
    error_.clear();
    if (!connection_.execute("BEGIN"))
        return fail();
    for (const std::string& statement : statements) {
        if (!connection_.execute(statement))
            return fail();
    }
    if (!connection_.execute("COMMIT"))
        return fail();
    return true;
}

bool AttemptStore::fail()
{
    // The reason of the failure, not that of the rollback.
    error_ = connection_.lastErrorText();
    connection_.execute("ROLLBACK");
    return false;
}

bool AttemptStore::prepare()
{
    const std::string key =
        connection_.kind() == DbKind::Mysql ? "BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY" : "INTEGER PRIMARY KEY";
    ResultsConnection::Rows rows;
    error_.clear();
    if (!connection_.execute(replaced(attemptTable, "%KEY%", key)) || !connection_.execute(entryTable) ||
        !connection_.execute(metaTable) ||
        !connection_.query("SELECT value FROM results_meta WHERE name='schema'", rows)) {
        error_ = connection_.lastErrorText();
        return false;
    }
    if (rows.empty()) {
        return transaction(
            {"CREATE INDEX exam_attempt_candidate ON exam_attempt (candidate_id, state)",
             "INSERT INTO results_meta (name, value) VALUES ('schema', '" + std::to_string(schemaVersion) + "')"});
    }
    return true;
}

std::string AttemptStore::entryValues(std::int64_t attempt, const AttemptEntry& entry) const
{
    return "(" + std::to_string(attempt) + "," + std::to_string(entry.number) + "," + quoted(entry.questionKey) + "," +
           quoted(entry.title) + "," + quoted(entry.options) + "," + quoted(entry.answer) + "," +
           quoted(entry.optionCount) + "," + quoted(entry.chosen) + "," + quoted(entry.chosenAt) + "," +
           (entry.flagged ? "1" : "0") + ")";
}

std::int64_t AttemptStore::begin(const AttemptStart& start)
{
    error_.clear();
    if (!connection_.execute("BEGIN")) {
        fail();
        return 0;
    }
    const std::string insert =
        "INSERT INTO exam_attempt (kind, candidate_id, seat_number, started_at, state, seconds_left, "
        "paper_duration, current_question) VALUES (" +
        quoted(start.kind) + "," + quoted(start.candidateId) + "," + quoted(start.seatNumber) + "," + quoted(now()) +
        ",'" + stateCode(AttemptState::InProgress) + "'," + std::to_string(start.secondsLeft) + "," +
        std::to_string(start.paperDuration) + "," + std::to_string(start.currentQuestion) + ")";
    ResultsConnection::Rows rows;
    const char* lastId = connection_.kind() == DbKind::Mysql ? "SELECT LAST_INSERT_ID()" : "SELECT last_insert_rowid()";
    if (!connection_.execute(insert) || !connection_.query(lastId, rows) || rows.empty() || rows[0].empty()) {
        fail();
        return 0;
    }
    const std::int64_t id = std::strtoll(rows[0][0].c_str(), nullptr, 10);
    if (!start.entries.empty()) {
        std::string entries = "INSERT INTO exam_attempt_entry (attempt_id, entry_no, question_key, title, options, "
                              "answer, option_count, chosen, chosen_at, flagged) VALUES ";
        for (std::size_t i = 0; i < start.entries.size(); ++i) {
            if (i > 0)
                entries += ",";
            entries += entryValues(id, start.entries[i]);
        }
        if (!connection_.execute(entries)) {
            fail();
            return 0;
        }
    }
    if (id <= 0 || !connection_.execute("COMMIT")) {
        fail();
        return 0;
    }
    return id;
}

bool AttemptStore::recordAnswer(std::int64_t attempt, int number, const std::string& letter, const std::string& at)
{
    return transaction({"UPDATE exam_attempt_entry SET chosen=" + quoted(letter) + ", chosen_at=" + quoted(at) +
                        " WHERE attempt_id=" + std::to_string(attempt) + " AND entry_no=" + std::to_string(number)});
}

bool AttemptStore::recordEntry(std::int64_t attempt, const AttemptEntry& entry)
{
    return transaction({"UPDATE exam_attempt_entry SET question_key=" + quoted(entry.questionKey) +
                        ", title=" + quoted(entry.title) + ", options=" + quoted(entry.options) +
                        ", answer=" + quoted(entry.answer) + ", option_count=" + quoted(entry.optionCount) +
                        ", flagged=" + (entry.flagged ? "1" : "0") + " WHERE attempt_id=" + std::to_string(attempt) +
                        " AND entry_no=" + std::to_string(entry.number)});
}

bool AttemptStore::recordCurrentQuestion(std::int64_t attempt, int number)
{
    return transaction({"UPDATE exam_attempt SET current_question=" + std::to_string(number) +
                        " WHERE attempt_id=" + std::to_string(attempt)});
}

bool AttemptStore::recordSeatNumber(std::int64_t attempt, const std::string& seatNumber)
{
    return transaction(
        {"UPDATE exam_attempt SET seat_number=" + quoted(seatNumber) + " WHERE attempt_id=" + std::to_string(attempt)});
}

bool AttemptStore::recordSecondsLeft(std::int64_t attempt, int secondsLeft)
{
    return transaction({"UPDATE exam_attempt SET seconds_left=" + std::to_string(secondsLeft) +
                        " WHERE attempt_id=" + std::to_string(attempt)});
}

bool AttemptStore::recordHandIn(std::int64_t attempt, int score, int secondsLeft, const std::string& at)
{
    return transaction({"UPDATE exam_attempt SET state='" + std::string(stateCode(AttemptState::HandedIn)) +
                        "', score=" + std::to_string(score) + ", seconds_left=" + std::to_string(secondsLeft) +
                        ", ended_at=" + quoted(at) + " WHERE attempt_id=" + std::to_string(attempt)});
}

bool AttemptStore::recordAbandoned(std::int64_t attempt, const std::string& at)
{
    return transaction({"UPDATE exam_attempt SET state='" + std::string(stateCode(AttemptState::Abandoned)) +
                        "', ended_at=" + quoted(at) + " WHERE attempt_id=" + std::to_string(attempt) + " AND state='" +
                        stateCode(AttemptState::InProgress) + "'"});
}

bool AttemptStore::writable()
{
    return transaction({"UPDATE results_meta SET value=value WHERE name='schema'"});
}

std::string AttemptStore::summaryColumns()
{
    return "a.attempt_id, a.kind, a.candidate_id, a.seat_number, a.started_at, a.ended_at, a.state, a.seconds_left, "
           "a.paper_duration, a.current_question, a.score, "
           "(SELECT COUNT(*) FROM exam_attempt_entry e WHERE e.attempt_id=a.attempt_id AND e.question_key<>'') "
           "AS paper_size, "
           "(SELECT COUNT(*) FROM exam_attempt_entry e WHERE e.attempt_id=a.attempt_id AND e.chosen<>'') "
           "AS answered, "
           "(SELECT COUNT(*) FROM exam_attempt_entry e WHERE e.attempt_id=a.attempt_id AND e.flagged<>0) "
           "AS flagged";
}

AttemptSummary AttemptStore::summaryFrom(const std::vector<std::string>& row)
{
    AttemptSummary s;
    if (row.size() < 14)
        return s;
    s.id = std::strtoll(row[0].c_str(), nullptr, 10);
    s.kind = row[1];
    s.candidateId = row[2];
    s.seatNumber = row[3];
    s.startedAt = row[4];
    s.endedAt = row[5];
    s.state = stateFromCode(row[6]);
    s.secondsLeft = toInt(row[7]);
    s.paperDuration = toInt(row[8]);
    s.currentQuestion = toInt(row[9], 1);
    s.score = toInt(row[10], -1);
    s.paperSize = toInt(row[11]);
    s.answered = toInt(row[12]);
    s.flagged = toInt(row[13]);
    return s;
}

std::optional<AttemptSummary> AttemptStore::findInProgress(const std::string& candidateId)
{
    ResultsConnection::Rows rows;
    error_.clear();
    if (!connection_.query("SELECT " + summaryColumns() +
                               " FROM exam_attempt a WHERE a.candidate_id=" + quoted(candidateId) + " AND a.state='" +
                               stateCode(AttemptState::InProgress) + "' ORDER BY a.attempt_id DESC",
                           rows)) {
        error_ = connection_.lastErrorText();
        return std::nullopt;
    }
    if (rows.empty())
        return std::nullopt;
    return summaryFrom(rows[0]);
}

std::optional<StoredAttempt> AttemptStore::load(std::int64_t attempt)
{
    ResultsConnection::Rows rows;
    error_.clear();
    const std::string id = std::to_string(attempt);
    StoredAttempt stored;
    if (!connection_.query("SELECT " + summaryColumns() + " FROM exam_attempt a WHERE a.attempt_id=" + id, rows) ||
        rows.empty()) {
        error_ = connection_.lastErrorText();
        return std::nullopt;
    }
    stored.summary = summaryFrom(rows[0]);
    if (!connection_.query("SELECT entry_no, question_key, title, options, answer, option_count, chosen, chosen_at, "
                           "flagged FROM exam_attempt_entry WHERE attempt_id=" +
                               id + " ORDER BY entry_no",
                           rows)) {
        error_ = connection_.lastErrorText();
        return std::nullopt;
    }
    for (const std::vector<std::string>& row : rows) {
        if (row.size() < 9)
            continue;
        stored.entries.push_back({.number = toInt(row[0]),
                                  .questionKey = row[1],
                                  .title = row[2],
                                  .options = row[3],
                                  .answer = row[4],
                                  .optionCount = row[5],
                                  .chosen = row[6],
                                  .chosenAt = row[7],
                                  .flagged = toInt(row[8]) != 0});
    }
    return stored;
}

std::string AttemptStore::listQuery(const std::string& candidateId) const
{
    std::string sql = "SELECT " + summaryColumns() + " FROM exam_attempt a";
    if (!candidateId.empty())
        sql += " WHERE a.candidate_id=" + quoted(candidateId);
    return sql + " ORDER BY a.started_at, a.attempt_id";
}

bool AttemptStore::list(const std::string& candidateId, std::vector<AttemptSummary>& out)
{
    out.clear();
    ResultsConnection::Rows rows;
    error_.clear();
    if (!connection_.query(listQuery(candidateId), rows)) {
        error_ = connection_.lastErrorText();
        return false;
    }
    for (const std::vector<std::string>& row : rows)
        out.push_back(summaryFrom(row));
    return true;
}

std::string AttemptStore::exportQuery(const std::string& candidateId, const std::string& schema) const
{
    const std::string prefix = schema.empty() ? std::string() : schema + ".";
    const std::string entries = prefix + "exam_attempt_entry e WHERE e.attempt_id=a.attempt_id AND ";
    std::string sql =
        GBK("SELECT a.started_at AS 开始时间, a.candidate_id AS 身份证号, a.seat_number AS 座位号, "
            "CASE a.kind WHEN 'drill' THEN '错题练习' ELSE '考试' END AS 类型, ") +
        "(SELECT COUNT(*) FROM " + entries + "e.question_key<>'') AS " + GBK("题量") + ", (SELECT COUNT(*) FROM " +
        entries + "e.chosen<>'') AS " + GBK("已答") + ", (SELECT COUNT(*) FROM " + entries + "e.flagged<>0) AS " +
        GBK("标记, a.score AS 得分, CASE WHEN a.paper_duration > a.seconds_left THEN a.paper_duration - "
            "a.seconds_left ELSE 0 END AS 用时秒, CASE a.state WHEN 'handed_in' THEN '已交卷' WHEN 'abandoned' "
            "THEN '已放弃' ELSE '进行中' END AS 状态 FROM ") +
        prefix + "exam_attempt a";
    if (!candidateId.empty())
        sql += " WHERE a.candidate_id=" + quoted(candidateId);
    return sql + " ORDER BY a.started_at, a.attempt_id";
}
