#include "room/ResultsOutbox.h"

#include "attempts/AttemptStore.h"
#include "attempts/SqliteResultsConnection.h"
#include "db/mysql/MysqlConnection.h"
#include "room/MysqlResultsConnection.h"
#include "room/OutboxProgress.h"
#include "room/RoomServer.h"
#include "room/SqlDialect.h"

#include <chrono>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int batchRows = 500;
constexpr int originShift = 20;

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

const std::vector<std::string> attemptColumns = {
    "attempt_id", "kind",         "candidate_id",   "seat_number",      "started_at", "ended_at",
    "state",      "seconds_left", "paper_duration", "current_question", "score"};
const std::vector<std::string> entryColumns = {"attempt_id", "entry_no",     "question_key", "title",     "options",
                                               "answer",     "option_count", "chosen",       "chosen_at", "flagged"};

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ",") + name;
    return text;
}

long long number(const std::string& text)
{
    return std::strtoll(text.c_str(), nullptr, 10);
}

} // namespace

ResultsOutbox::ResultsOutbox(std::string resultsPath, RoomConfig server)
    : resultsPath_(std::move(resultsPath)), server_(std::move(server))
{
}

ResultsOutbox::~ResultsOutbox()
{
    // The last changes (a hand-in just before the program closes) get a short
    // chance to go now; otherwise they go at the next start.
    if (thread_.joinable())
        flush(closingMilliseconds);
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

bool ResultsOutbox::prepare()
{
    SqliteResultsConnection& local = local_;
    AttemptStore store(local);
    std::string error;
    if (!local.open(resultsPath_) || !store.prepare())
        error = local.lastErrorText();
    for (const char* statement : outboxStatements) {
        if (error.empty() && !local.execute(statement))
            error = local.lastErrorText();
    }
    ResultsConnection::Rows rows;
    if (error.empty() && local.query("SELECT value FROM results_meta WHERE name='room_origin'", rows) && rows.empty()) {
        std::random_device device;
        const unsigned origin = std::uniform_int_distribution<unsigned>(1, (1u << 31) - 1)(device);
        if (!local.execute("INSERT INTO results_meta (name, value) VALUES ('room_origin', '" + std::to_string(origin) +
                           "')"))
            error = local.lastErrorText();
    }
    std::lock_guard lock(mutex_);
    error_ = error;
    return error.empty();
}

void ResultsOutbox::start()
{
    if (!thread_.joinable())
        thread_ = std::thread([this] { run(); });
}

void ResultsOutbox::poke()
{
    {
        std::lock_guard lock(mutex_);
        poked_ = true;
    }
    wake_.notify_all();
}

bool ResultsOutbox::flush(int timeoutMilliseconds)
{
    std::unique_lock lock(mutex_);
    const long long wanted = ++requested_;
    poked_ = true;
    wake_.notify_all();
    return wake_.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds), [&] { return completed_ >= wanted; });
}

void ResultsOutbox::run()
{
    MysqlConnection remote;
    for (;;) {
        long long pass = 0;
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                break;
            pass = requested_;
            poked_ = false;
        }
        bool more = false;
        const bool sent = sendBatch(remote, more);
        std::unique_lock lock(mutex_);
        if (sent && !more) {
            completed_ = pass;
            wake_.notify_all();
        }
        if (sent && more)
            continue;
        wake_.wait_for(lock, std::chrono::milliseconds(retryMilliseconds), [&] { return stopping_ || poked_; });
    }
    remote.close();
}

bool ResultsOutbox::sendBatch(MysqlConnection& remote, bool& more)
{
    SqliteResultsConnection& local = local_;
    more = false;
    std::string error;
    auto failed = [&](const std::string& reason) {
        std::lock_guard lock(mutex_);
        error_ = reason;
        return false;
    };
    if (!local.isOpen())
        return failed(local.lastErrorText());
    const long long sent = OutboxProgress::read(resultsPath_);
    ResultsConnection::Rows changes, origin;
    if (!local.query("SELECT seq, attempt_id, entry_no FROM room_outbox WHERE seq > " + std::to_string(sent) +
                         " ORDER BY seq LIMIT " + std::to_string(batchRows),
                     changes) ||
        !local.query("SELECT value FROM results_meta WHERE name='room_origin'", origin) || origin.empty())
        return failed(local.lastErrorText());
    if (changes.empty())
        return true;
    const long long base = number(origin[0][0]) << originShift;

    // The rows as they stand now; a row changed twice in the batch goes once.
    std::vector<std::string> statements;
    std::set<std::pair<long long, long long>> seen;
    for (const std::vector<std::string>& change : changes) {
        const long long attempt = number(change[1]), entry = number(change[2]);
        if (!seen.insert({attempt, entry}).second)
            continue;
        const bool whole = entry == 0;
        const std::vector<std::string>& columns = whole ? attemptColumns : entryColumns;
        ResultsConnection::Rows row;
        const std::string where = " WHERE attempt_id=" + std::to_string(attempt) +
                                  (whole ? std::string() : " AND entry_no=" + std::to_string(entry));
        if (!local.query(
                "SELECT " + joined(columns) + " FROM " + (whole ? "exam_attempt" : "exam_attempt_entry") + where, row))
            return failed(local.lastErrorText());
        if (row.empty())
            continue;
        std::vector<std::string> values;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string& value = row[0][c];
            if (c == 0)
                values.push_back(std::to_string(base + number(value)));
            else if (value.empty() && (columns[c] == "ended_at" || columns[c] == "score"))
                values.push_back("NULL");
            else
                values.push_back(SqlDialect::literal(value));
        }
        statements.push_back(SqlDialect::upsert(DbKind::Mysql, whole ? "exam_attempt" : "exam_attempt_entry", columns,
                                                values, whole ? 1 : 2));
    }

    if (!remote.isConnected() && !RoomServer::connect(remote, server_, error))
        return failed(error);
    bool ok = remote.execute("START TRANSACTION");
    for (std::size_t i = 0; ok && i < statements.size(); ++i)
        ok = remote.execute(statements[i]);
    if (!ok || !remote.execute("COMMIT")) {
        error = remote.lastErrorText();
        remote.rollback();
        // A fresh connection next time: this one may be dead.
        remote.close();
        return failed(error);
    }
    if (!OutboxProgress::write(resultsPath_, number(changes.back()[0])))
        return failed("cannot note the sent changes beside " + resultsPath_);
    more = static_cast<int>(changes.size()) == batchRows;
    return true;
}

bool ResultsOutbox::prepareServer(const RoomConfig& server, std::string& error)
{
    MysqlResultsConnection connection;
    AttemptStore store(connection);
    if (connection.open(server) && store.prepare())
        return true;
    error = store.lastErrorText().empty() ? connection.lastErrorText() : store.lastErrorText();
    return false;
}

std::set<std::int64_t> ResultsOutbox::unsentAttempts(const std::string& resultsPath)
{
    std::set<std::int64_t> attempts;
    SqliteResultsConnection local;
    ResultsConnection::Rows rows;
    if (local.open(resultsPath) && local.query("SELECT DISTINCT attempt_id FROM room_outbox WHERE seq > " +
                                                   std::to_string(OutboxProgress::read(resultsPath)),
                                               rows)) {
        for (const std::vector<std::string>& row : rows)
            attempts.insert(number(row[0]));
    }
    return attempts;
}

std::string ResultsOutbox::lastErrorText() const
{
    std::lock_guard lock(mutex_);
    return error_;
}
