#include "attempts/AttemptStore.h"

#include "db/Dialect.h"
#include "platform/CodePage.h"

#include <cstdlib>
#include <ctime>
#include <random>

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
                                 "score INTEGER, "
                                 "paper_name VARCHAR(100), "
                                 "paper_text TEXT, "
                                 "points INTEGER, "
                                 "passed INTEGER)";

// Columns a results file made before defined papers lacks, added when it is
// opened; NULL in every attempt of the program's own paper.
struct AddedColumn {
    const char* name;
    const char* type;
};
constexpr AddedColumn paperColumns[] = {
    {"paper_name", "VARCHAR(100)"}, {"paper_text", "TEXT"}, {"points", "INTEGER"}, {"passed", "INTEGER"}};
// The attempt's columns before those.
constexpr std::size_t firstAttemptColumns = 11;

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

// Every change of an attempt or an entry adds a row in the same transaction,
// so nothing committed can be missed by the sender.
const char* const outboxStatements[] = {
    "CREATE TABLE IF NOT EXISTS room_outbox (seq INTEGER PRIMARY KEY AUTOINCREMENT, "
    "attempt_id INTEGER NOT NULL, entry_no INTEGER NOT NULL)",
    "CREATE TRIGGER IF NOT EXISTS room_attempt_added AFTER INSERT ON exam_attempt BEGIN "
    "INSERT INTO room_outbox (attempt_id, entry_no) VALUES (NEW.attempt_id, 0); END",
    "CREATE TRIGGER IF NOT EXISTS room_attempt_changed AFTER UPDATE ON exam_attempt BEGIN "
    "INSERT INTO room_outbox (attempt_id, entry_no) VALUES (NEW.attempt_id, 0); END",
    "CREATE TRIGGER IF NOT EXISTS room_entry_added AFTER INSERT ON exam_attempt_entry BEGIN "
    "INSERT INTO room_outbox (attempt_id, entry_no) VALUES (NEW.attempt_id, NEW.entry_no); END",
    "CREATE TRIGGER IF NOT EXISTS room_entry_changed AFTER UPDATE ON exam_attempt_entry BEGIN "
    "INSERT INTO room_outbox (attempt_id, entry_no) VALUES (NEW.attempt_id, NEW.entry_no); END",
};

std::string replaced(std::string text, std::string_view from, std::string_view to)
{
    const std::size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

const std::string& cell(const Database::Row& row, std::size_t column)
{
    static const std::string none;
    return column < row.size() && row[column] ? *row[column] : none;
}

int toInt(const std::string& text, int fallback = 0)
{
    if (text.empty())
        return fallback;
    return std::atoi(text.c_str());
}

long long toNumber(const std::string& text)
{
    return std::strtoll(text.c_str(), nullptr, 10);
}

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ",") + name;
    return text;
}

} // namespace

ConnectOptions AttemptStore::fileOptions(const std::string& path)
{
    ConnectOptions options = ConnectOptions::sqlite(path, true);
    options.busyTimeoutMs = 2000;
    options.sessionStatements = {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"};
    return options;
}

const std::vector<std::string>& AttemptStore::attemptColumns()
{
    static const std::vector<std::string> columns = {
        "attempt_id", "kind",       "candidate_id", "seat_number",    "started_at",
        "ended_at",   "state",      "seconds_left", "paper_duration", "current_question",
        "score",      "paper_name", "paper_text",   "points",         "passed"};
    return columns;
}

const std::vector<std::string>& AttemptStore::entryColumns()
{
    static const std::vector<std::string> columns = {"attempt_id", "entry_no", "question_key", "title",
                                                     "options",    "answer",   "option_count", "chosen",
                                                     "chosen_at",  "flagged"};
    return columns;
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

Statement AttemptStore::statement(std::string_view sql, const std::vector<Value>& values)
{
    Statement prepared = database_.prepare(sql);
    for (std::size_t i = 0; prepared.isValid() && i < values.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        if (values[i].isText)
            prepared.bind(index, values[i].text);
        else
            prepared.bind(index, values[i].number);
    }
    return prepared;
}

bool AttemptStore::select(std::string_view sql, const std::vector<Value>& values, Database::Rows& rows)
{
    rows.clear();
    Statement query = statement(sql, values);
    while (query.step()) {
        Database::Row row;
        for (int c = 0; c < query.columnCount(); ++c)
            row.push_back(query.isNull(c) ? std::nullopt : std::optional<std::string>(query.text(c)));
        rows.push_back(std::move(row));
    }
    if (query.failed()) {
        rows.clear();
        return false;
    }
    return true;
}

bool AttemptStore::fail()
{
    // The reason of the failure, not that of the rollback.
    error_ = database_.lastErrorText();
    database_.rollback();
    return false;
}

bool AttemptStore::failRead()
{
    error_ = database_.lastErrorText();
    return false;
}

bool AttemptStore::change(std::string_view sql, const std::vector<Value>& values)
{
    error_.clear();
    if (!database_.beginTransaction())
        return fail();
    Statement update = statement(sql, values);
    if (!update.run() || !database_.commit())
        return fail();
    return true;
}

bool AttemptStore::prepare()
{
    const std::string key =
        database_.kind() == DbKind::Mysql ? "BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY" : "INTEGER PRIMARY KEY";
    Database::Rows rows;
    error_.clear();
    if (!database_.execute(replaced(attemptTable, "%KEY%", key)) || !database_.execute(entryTable) ||
        !database_.execute(metaTable))
        return failRead();
    addPaperColumns();
    if (!database_.query("SELECT value FROM results_meta WHERE name='schema'", rows))
        return failRead();
    if (!rows.empty())
        return true;
    if (!database_.beginTransaction() ||
        !database_.execute("CREATE INDEX exam_attempt_candidate ON exam_attempt (candidate_id, state)") ||
        !statement("INSERT INTO results_meta (name, value) VALUES ('schema', ?)", {std::to_string(schemaVersion)})
             .run() ||
        !database_.commit())
        return fail();
    return true;
}

void AttemptStore::addPaperColumns()
{
    // An account that may not alter tables (a room's server set up before
    // papers) leaves them out: attempts of the program's own paper are kept
    // and listed all the same.
    Database::Rows rows;
    for (const AddedColumn& column : paperColumns)
        if (!database_.query(std::string("SELECT ") + column.name + " FROM exam_attempt WHERE 1=0", rows))
            database_.execute(std::string("ALTER TABLE exam_attempt ADD COLUMN ") + column.name + " " + column.type);
    hasPaperColumns_.reset();
}

bool AttemptStore::hasPaperColumns()
{
    if (!hasPaperColumns_) {
        Database::Rows rows;
        hasPaperColumns_ =
            database_.query("SELECT paper_name, paper_text, points, passed FROM exam_attempt WHERE 1=0", rows);
    }
    return *hasPaperColumns_;
}

std::int64_t AttemptStore::begin(const AttemptStart& start)
{
    error_.clear();
    if (!database_.beginTransaction()) {
        fail();
        return 0;
    }
    const bool defined = !start.paperName.empty();
    if (!(defined
              ? statement("INSERT INTO exam_attempt (kind, candidate_id, seat_number, started_at, state, "
                          "seconds_left, paper_duration, current_question, paper_name, paper_text) VALUES "
                          "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                          {start.kind, start.candidateId, start.seatNumber, now(), stateCode(AttemptState::InProgress),
                           start.secondsLeft, start.paperDuration, start.currentQuestion, start.paperName,
                           start.paperText})
              : statement("INSERT INTO exam_attempt (kind, candidate_id, seat_number, started_at, state, "
                          "seconds_left, paper_duration, current_question) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                          {start.kind, start.candidateId, start.seatNumber, now(), stateCode(AttemptState::InProgress),
                           start.secondsLeft, start.paperDuration, start.currentQuestion}))
             .run()) {
        fail();
        return 0;
    }
    const std::int64_t id = database_.lastInsertKey();
    Statement entry = database_.prepare("INSERT INTO exam_attempt_entry (attempt_id, entry_no, question_key, title, "
                                        "options, answer, option_count, chosen, chosen_at, flagged) VALUES "
                                        "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const AttemptEntry& e : start.entries) {
        entry.bind(1, static_cast<long long>(id));
        entry.bind(2, static_cast<long long>(e.number));
        int index = 3;
        for (const std::string* text :
             {&e.questionKey, &e.title, &e.options, &e.answer, &e.optionCount, &e.chosen, &e.chosenAt})
            entry.bind(index++, *text);
        entry.bind(10, e.flagged ? 1LL : 0LL);
        if (!entry.run()) {
            fail();
            return 0;
        }
    }
    if (id <= 0 || !database_.commit()) {
        fail();
        return 0;
    }
    return id;
}

bool AttemptStore::recordAnswer(std::int64_t attempt, int number, const std::string& letter, const std::string& at)
{
    return change("UPDATE exam_attempt_entry SET chosen=?, chosen_at=? WHERE attempt_id=? AND entry_no=?",
                  {letter, at, attempt, number});
}

bool AttemptStore::recordEntry(std::int64_t attempt, const AttemptEntry& entry)
{
    return change("UPDATE exam_attempt_entry SET question_key=?, title=?, options=?, answer=?, option_count=?, "
                  "flagged=? WHERE attempt_id=? AND entry_no=?",
                  {entry.questionKey, entry.title, entry.options, entry.answer, entry.optionCount,
                   entry.flagged ? 1 : 0, attempt, entry.number});
}

bool AttemptStore::recordCurrentQuestion(std::int64_t attempt, int number)
{
    return change("UPDATE exam_attempt SET current_question=? WHERE attempt_id=?", {number, attempt});
}

bool AttemptStore::recordSeatNumber(std::int64_t attempt, const std::string& seatNumber)
{
    return change("UPDATE exam_attempt SET seat_number=? WHERE attempt_id=?", {seatNumber, attempt});
}

bool AttemptStore::recordSecondsLeft(std::int64_t attempt, int secondsLeft)
{
    return change("UPDATE exam_attempt SET seconds_left=? WHERE attempt_id=?", {secondsLeft, attempt});
}

bool AttemptStore::recordHandIn(std::int64_t attempt, int score, int secondsLeft, const std::string& at)
{
    return change("UPDATE exam_attempt SET state=?, score=?, seconds_left=?, ended_at=? WHERE attempt_id=?",
                  {stateCode(AttemptState::HandedIn), score, secondsLeft, at, attempt});
}

bool AttemptStore::recordHandIn(std::int64_t attempt, int score, int secondsLeft, const std::string& at,
                                int pointsTenths, bool passed)
{
    return change("UPDATE exam_attempt SET state=?, score=?, seconds_left=?, ended_at=?, points=?, passed=? "
                  "WHERE attempt_id=?",
                  {stateCode(AttemptState::HandedIn), score, secondsLeft, at, pointsTenths, passed ? 1 : 0, attempt});
}

bool AttemptStore::recordAbandoned(std::int64_t attempt, const std::string& at)
{
    return change("UPDATE exam_attempt SET state=?, ended_at=? WHERE attempt_id=? AND state=?",
                  {stateCode(AttemptState::Abandoned), at, attempt, stateCode(AttemptState::InProgress)});
}

bool AttemptStore::writable()
{
    return change("UPDATE results_meta SET value=value WHERE name='schema'", {});
}

std::string AttemptStore::summaryColumns()
{
    const char* paper =
        hasPaperColumns() ? ", a.paper_name, a.paper_text, a.points, a.passed" : ", NULL, NULL, NULL, NULL";
    return std::string(
               "a.attempt_id, a.kind, a.candidate_id, a.seat_number, a.started_at, a.ended_at, a.state, "
               "a.seconds_left, a.paper_duration, a.current_question, a.score, "
               "(SELECT COUNT(*) FROM exam_attempt_entry e WHERE e.attempt_id=a.attempt_id AND e.question_key<>'') "
               "AS paper_size, "
               "(SELECT COUNT(*) FROM exam_attempt_entry e WHERE e.attempt_id=a.attempt_id AND e.chosen<>'') "
               "AS answered, "
               "(SELECT COUNT(*) FROM exam_attempt_entry e WHERE e.attempt_id=a.attempt_id AND e.flagged<>0) "
               "AS flagged") +
           paper;
}

AttemptSummary AttemptStore::summaryFrom(const Database::Row& row)
{
    AttemptSummary s;
    if (row.size() < 14)
        return s;
    s.id = toNumber(cell(row, 0));
    s.kind = cell(row, 1);
    s.candidateId = cell(row, 2);
    s.seatNumber = cell(row, 3);
    s.startedAt = cell(row, 4);
    s.endedAt = cell(row, 5);
    s.state = stateFromCode(cell(row, 6));
    s.secondsLeft = toInt(cell(row, 7));
    s.paperDuration = toInt(cell(row, 8));
    s.currentQuestion = toInt(cell(row, 9), 1);
    s.score = toInt(cell(row, 10), -1);
    s.paperSize = toInt(cell(row, 11));
    s.answered = toInt(cell(row, 12));
    s.flagged = toInt(cell(row, 13));
    s.paperName = cell(row, 14);
    s.paperText = cell(row, 15);
    s.pointsTenths = toInt(cell(row, 16), -1);
    s.passed = toInt(cell(row, 17), -1);
    return s;
}

std::optional<AttemptSummary> AttemptStore::findInProgress(const std::string& candidateId)
{
    Database::Rows rows;
    error_.clear();
    if (!select("SELECT " + summaryColumns() +
                    " FROM exam_attempt a WHERE a.candidate_id=? AND a.state=? ORDER BY a.attempt_id DESC",
                {candidateId, stateCode(AttemptState::InProgress)}, rows)) {
        failRead();
        return std::nullopt;
    }
    if (rows.empty())
        return std::nullopt;
    return summaryFrom(rows[0]);
}

std::optional<StoredAttempt> AttemptStore::load(std::int64_t attempt)
{
    Database::Rows rows;
    error_.clear();
    StoredAttempt stored;
    if (!select("SELECT " + summaryColumns() + " FROM exam_attempt a WHERE a.attempt_id=?", {attempt}, rows) ||
        rows.empty()) {
        failRead();
        return std::nullopt;
    }
    stored.summary = summaryFrom(rows[0]);
    if (!select("SELECT entry_no, question_key, title, options, answer, option_count, chosen, chosen_at, flagged "
                "FROM exam_attempt_entry WHERE attempt_id=? ORDER BY entry_no",
                {attempt}, rows)) {
        failRead();
        return std::nullopt;
    }
    for (const Database::Row& row : rows) {
        if (row.size() < 9)
            continue;
        stored.entries.push_back({.number = toInt(cell(row, 0)),
                                  .questionKey = cell(row, 1),
                                  .title = cell(row, 2),
                                  .options = cell(row, 3),
                                  .answer = cell(row, 4),
                                  .optionCount = cell(row, 5),
                                  .chosen = cell(row, 6),
                                  .chosenAt = cell(row, 7),
                                  .flagged = toInt(cell(row, 8)) != 0});
    }
    return stored;
}

bool AttemptStore::list(const std::string& candidateId, std::vector<AttemptSummary>& out)
{
    out.clear();
    Database::Rows rows;
    error_.clear();
    std::string sql = "SELECT " + summaryColumns() + " FROM exam_attempt a";
    std::vector<Value> values;
    if (!candidateId.empty()) {
        sql += " WHERE a.candidate_id=?";
        values.emplace_back(candidateId);
    }
    if (!select(sql + " ORDER BY a.started_at, a.attempt_id", values, rows))
        return failRead();
    for (const Database::Row& row : rows)
        out.push_back(summaryFrom(row));
    return true;
}

std::vector<std::string> AttemptStore::exportColumns()
{
    return {GBK("开始时间"), GBK("身份证号"), GBK("座位号"), GBK("类型"),   GBK("题量"),
            GBK("已答"),     GBK("标记"),     GBK("得分"),   GBK("用时秒"), GBK("状态")};
}

std::vector<std::string> AttemptStore::exportRow(const AttemptSummary& a)
{
    const char* state = a.state == AttemptState::HandedIn    ? "已交卷"
                        : a.state == AttemptState::Abandoned ? "已放弃"
                                                             : "进行中";
    return {a.startedAt,
            a.candidateId,
            a.seatNumber,
            a.kind == "drill" ? GBK("错题练习") : GBK("考试"),
            std::to_string(a.paperSize),
            std::to_string(a.answered),
            std::to_string(a.flagged),
            a.score < 0 ? std::string() : std::to_string(a.score),
            std::to_string(a.paperDuration > a.secondsLeft ? a.paperDuration - a.secondsLeft : 0),
            platform::utf8ToGbk(state)};
}

std::vector<AnsweredEntry> AttemptStore::answeredFrom(const Database::Rows& rows)
{
    std::vector<AnsweredEntry> entries;
    entries.reserve(rows.size());
    for (const Database::Row& row : rows)
        entries.push_back({toNumber(cell(row, 0)), cell(row, 1), cell(row, 2), cell(row, 3)});
    return entries;
}

bool AttemptStore::handedInEntries(const std::string& candidateId, std::vector<AnsweredEntry>& out)
{
    Database::Rows rows;
    error_.clear();
    out.clear();
    if (!select("SELECT a.attempt_id, e.question_key, e.answer, e.chosen FROM exam_attempt a, exam_attempt_entry e "
                "WHERE e.attempt_id=a.attempt_id AND a.candidate_id=? AND a.state=? AND e.question_key<>'' "
                "ORDER BY a.ended_at DESC, a.attempt_id DESC, e.entry_no",
                {candidateId, stateCode(AttemptState::HandedIn)}, rows))
        return failRead();
    out = answeredFrom(rows);
    return true;
}

bool AttemptStore::handedInExams(std::vector<std::pair<std::int64_t, int>>& out)
{
    Database::Rows rows;
    error_.clear();
    out.clear();
    if (!select("SELECT attempt_id, score FROM exam_attempt WHERE state=? AND kind='exam' ORDER BY attempt_id",
                {stateCode(AttemptState::HandedIn)}, rows))
        return failRead();
    out.reserve(rows.size());
    for (const Database::Row& row : rows)
        out.emplace_back(toNumber(cell(row, 0)), toInt(cell(row, 1), -1));
    return true;
}

bool AttemptStore::entriesBetween(std::int64_t first, std::int64_t last, std::vector<AnsweredEntry>& out)
{
    Database::Rows rows;
    error_.clear();
    out.clear();
    if (!select("SELECT attempt_id, question_key, answer, chosen FROM exam_attempt_entry WHERE attempt_id>=? AND "
                "attempt_id<=? ORDER BY attempt_id, entry_no",
                {first, last}, rows))
        return failRead();
    out = answeredFrom(rows);
    return true;
}

bool AttemptStore::handedInExamsOf(const std::string& paperName, std::vector<PaperExam>& out)
{
    Database::Rows rows;
    error_.clear();
    out.clear();
    // A database without the paper's columns holds the program's own paper only.
    const bool paperColumns = hasPaperColumns();
    if (!paperColumns && !paperName.empty())
        return true;
    const std::string sql = std::string("SELECT attempt_id, score") + (paperColumns ? ", points, paper_text" : "") +
                            " FROM exam_attempt WHERE state=? AND kind='exam'" +
                            (!paperColumns       ? ""
                             : paperName.empty() ? " AND (paper_name IS NULL OR paper_name='')"
                                                 : " AND paper_name=?") +
                            " ORDER BY attempt_id";
    std::vector<Value> values{stateCode(AttemptState::HandedIn)};
    if (!paperName.empty())
        values.emplace_back(paperName);
    if (!select(sql, values, rows))
        return failRead();
    out.reserve(rows.size());
    for (const Database::Row& row : rows)
        out.push_back({toNumber(cell(row, 0)), toInt(cell(row, 1), -1), toInt(cell(row, 2), -1), cell(row, 3)});
    return true;
}

bool AttemptStore::handedInPaperNames(std::vector<std::string>& out)
{
    Database::Rows rows;
    error_.clear();
    out.clear();
    if (!hasPaperColumns())
        return true;
    if (!select("SELECT DISTINCT paper_name FROM exam_attempt WHERE state=? AND kind='exam' AND paper_name IS NOT "
                "NULL AND paper_name<>'' ORDER BY paper_name",
                {stateCode(AttemptState::HandedIn)}, rows))
        return failRead();
    for (const Database::Row& row : rows)
        out.push_back(cell(row, 0));
    return true;
}

bool AttemptStore::prepareOutbox()
{
    error_.clear();
    if (!prepare())
        return false;
    for (const char* sql : outboxStatements) {
        if (!database_.execute(sql))
            return failRead();
    }
    Database::Rows rows;
    if (!database_.query("SELECT value FROM results_meta WHERE name='room_origin'", rows))
        return failRead();
    if (!rows.empty())
        return true;
    std::random_device device;
    const unsigned number = std::uniform_int_distribution<unsigned>(1, (1u << 31) - 1)(device);
    return change("INSERT INTO results_meta (name, value) VALUES ('room_origin', ?)", {std::to_string(number)});
}

long long AttemptStore::origin()
{
    Database::Rows rows;
    error_.clear();
    if (!database_.query("SELECT value FROM results_meta WHERE name='room_origin'", rows) || rows.empty()) {
        failRead();
        return 0;
    }
    return toNumber(cell(rows[0], 0));
}

bool AttemptStore::outboxChanges(long long afterSeq, int limit, std::vector<OutboxChange>& out)
{
    Database::Rows rows;
    error_.clear();
    out.clear();
    if (!select("SELECT seq, attempt_id, entry_no FROM room_outbox WHERE seq > ? ORDER BY seq LIMIT ?",
                {afterSeq, limit}, rows))
        return failRead();
    for (const Database::Row& row : rows)
        out.push_back({toNumber(cell(row, 0)), toNumber(cell(row, 1)), toInt(cell(row, 2))});
    return true;
}

bool AttemptStore::changedAttempts(long long afterSeq, std::set<std::int64_t>& out)
{
    Database::Rows rows;
    error_.clear();
    out.clear();
    if (!select("SELECT DISTINCT attempt_id FROM room_outbox WHERE seq > ?", {afterSeq}, rows))
        return failRead();
    for (const Database::Row& row : rows)
        out.insert(toNumber(cell(row, 0)));
    return true;
}

bool AttemptStore::copiedRow(const OutboxChange& change, CopiedRow& out)
{
    error_.clear();
    out.attempt = change.entry == 0;
    out.cells.clear();
    Database::Rows rows;
    const bool ran =
        out.attempt
            ? select("SELECT " + joined(attemptColumns()) + " FROM exam_attempt WHERE attempt_id=?",
                     {static_cast<long long>(change.attempt)}, rows)
            : select("SELECT " + joined(entryColumns()) + " FROM exam_attempt_entry WHERE attempt_id=? AND entry_no=?",
                     {static_cast<long long>(change.attempt), change.entry}, rows);
    if (!ran)
        return failRead();
    if (rows.empty())
        return false;
    out.cells = std::move(rows[0]);
    return true;
}

bool AttemptStore::putCopiedRows(const std::vector<CopiedRow>& rows)
{
    error_.clear();
    const bool paperColumns = hasPaperColumns();
    if (!database_.beginTransaction())
        return fail();
    for (const CopiedRow& row : rows) {
        std::vector<std::string> values;
        for (const std::optional<std::string>& value : row.cells)
            values.push_back(value ? Dialect::literal(*value) : std::string("NULL"));
        std::vector<std::string> columns = row.attempt ? attemptColumns() : entryColumns();
        // A server whose table lacks the paper's columns still takes the
        // attempt, without them, so that nothing sent after it is held up.
        if (row.attempt && !paperColumns) {
            values.resize(std::min(values.size(), firstAttemptColumns));
            columns.resize(values.size());
        }
        const std::string sql = Dialect::upsert(database_.kind(), row.attempt ? "exam_attempt" : "exam_attempt_entry",
                                                columns, values, row.attempt ? 1 : 2);
        if (!database_.execute(sql))
            return fail();
    }
    if (!database_.commit())
        return fail();
    return true;
}
