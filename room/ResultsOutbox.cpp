#include "room/ResultsOutbox.h"

#include "attempts/AttemptStore.h"
#include "room/OutboxProgress.h"
#include "room/RoomServer.h"

#include <chrono>
#include <vector>

namespace {

constexpr int batchRows = 500;
constexpr int originShift = 20;

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
    AttemptStore store(local_);
    std::string error;
    if (!local_.open(AttemptStore::fileOptions(resultsPath_)))
        error = local_.lastErrorText();
    else if (!store.prepareOutbox())
        error = store.lastErrorText();
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
    Database remote(DbKind::Mysql);
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

bool ResultsOutbox::sendBatch(Database& remote, bool& more)
{
    more = false;
    auto failed = [&](const std::string& reason) {
        std::lock_guard lock(mutex_);
        error_ = reason;
        return false;
    };
    if (!local_.isOpen())
        return failed(local_.lastErrorText());
    AttemptStore local(local_);
    const long long sent = OutboxProgress::read(resultsPath_);
    std::vector<AttemptStore::OutboxChange> changes;
    if (!local.outboxChanges(sent, batchRows, changes))
        return failed(local.lastErrorText());
    if (changes.empty())
        return true;
    const long long origin = local.origin();
    if (origin == 0)
        return failed(local.lastErrorText());
    const long long base = origin << originShift;

    // The rows as they stand now; a row changed twice in the batch goes once.
    std::vector<AttemptStore::CopiedRow> rows;
    std::set<std::pair<long long, long long>> seen;
    for (const AttemptStore::OutboxChange& change : changes) {
        if (!seen.insert({change.attempt, change.entry}).second)
            continue;
        AttemptStore::CopiedRow row;
        if (!local.copiedRow(change, row)) {
            if (!local.lastErrorText().empty())
                return failed(local.lastErrorText());
            continue;
        }
        row.cells[0] = std::to_string(base + change.attempt);
        rows.push_back(std::move(row));
    }

    if (!remote.isOpen() && !openServer(remote, server_))
        return failed(remote.lastErrorText());
    AttemptStore onServer(remote);
    if (!onServer.putCopiedRows(rows)) {
        // A fresh connection next time: this one may be dead.
        remote.close();
        return failed(onServer.lastErrorText());
    }
    if (!OutboxProgress::write(resultsPath_, changes.back().seq))
        return failed("cannot note the sent changes beside " + resultsPath_);
    more = static_cast<int>(changes.size()) == batchRows;
    return true;
}

ConnectOptions ResultsOutbox::serverOptions(const RoomConfig& server)
{
    ConnectOptions options =
        ConnectOptions::mysql(server.host, server.port, server.database, server.user, server.password);
    options.charset = server.charset;
    options.connectTimeoutSeconds = RoomServer::connectSeconds;
    options.transferTimeoutSeconds = RoomServer::transferSeconds;
    return options;
}

bool ResultsOutbox::openServer(Database& database, const RoomConfig& server)
{
    return database.open(serverOptions(server));
}

bool ResultsOutbox::prepareServer(const RoomConfig& server, std::string& error)
{
    Database database(DbKind::Mysql);
    AttemptStore store(database);
    if (!openServer(database, server)) {
        error = database.lastErrorText();
        return false;
    }
    if (store.prepare())
        return true;
    error = store.lastErrorText();
    return false;
}

std::set<std::int64_t> ResultsOutbox::unsentAttempts(const std::string& resultsPath)
{
    std::set<std::int64_t> attempts;
    Database local(DbKind::Sqlite);
    AttemptStore store(local);
    if (local.open(AttemptStore::fileOptions(resultsPath)))
        store.changedAttempts(OutboxProgress::read(resultsPath), attempts);
    return attempts;
}

std::string ResultsOutbox::lastErrorText() const
{
    std::lock_guard lock(mutex_);
    return error_;
}
