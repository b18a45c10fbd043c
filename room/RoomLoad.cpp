#include "room/RoomLoad.h"

#include "attempts/AttemptStore.h"
#include "db/Database.h"
#include "questions/QuestionBank.h"
#include "room/ResultsOutbox.h"

#include <chrono>
#include <mutex>
#include <random>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int correctionsEach = 3;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One candidate's exam; the reason it stopped, empty when it handed in.
std::string candidate(const RoomConfig& server, int number, const std::string& folder, int paceMs, int timeoutSeconds,
                      std::vector<double>& latencies)
{
    Database bank;
    if (!bank.open(server.connectOptions()))
        return bank.lastErrorText();
    std::vector<AttemptEntry> entries;
    Statement draw = bank.prepare(QuestionBank::drawQuery(DbKind::Mysql));
    while (draw.step()) {
        AttemptEntry entry{.number = static_cast<int>(entries.size()) + 1};
        entry.questionKey = draw.text(draw.columnIndex("id"));
        entry.title = draw.text(draw.columnIndex("Title"));
        entry.options = draw.text(draw.columnIndex("Tmnr"));
        entry.answer = draw.text(draw.columnIndex("Answer"));
        entry.optionCount = draw.text(draw.columnIndex("did"));
        entries.push_back(std::move(entry));
    }
    if (draw.failed())
        return bank.lastErrorText();

    const std::string path = folder + "/candidate" + std::to_string(number) + ".db";
    ResultsOutbox outbox(path, server);
    if (!outbox.prepare())
        return outbox.lastErrorText();
    outbox.start();
    Database local(DbKind::Sqlite);
    AttemptStore store(local);
    if (!local.open(AttemptStore::fileOptions(path)))
        return local.lastErrorText();
    const std::int64_t attempt = store.begin(
        {.candidateId = "load" + std::to_string(number), .seatNumber = std::to_string(number), .entries = entries});
    if (attempt == 0)
        return store.lastErrorText();
    const int waitMs = timeoutSeconds * 1000;
    std::mt19937 random(static_cast<unsigned>(number));
    int score = 0;
    Clock::time_point due = Clock::now() + std::chrono::milliseconds(paceMs > 0 ? random() % paceMs : 0);
    for (AttemptEntry& entry : entries) {
        std::this_thread::sleep_until(due);
        due += std::chrono::milliseconds(paceMs);
        entry.chosen = std::string(1, static_cast<char>('A' + random() % 4));
        const Clock::time_point start = Clock::now();
        if (!store.recordAnswer(attempt, entry.number, entry.chosen, AttemptStore::now()))
            return store.lastErrorText();
        if (!outbox.flush(waitMs))
            return "answer not on the server in time: " + outbox.lastErrorText();
        latencies.push_back(msSince(start));
    }
    for (int c = 0; c < correctionsEach && c < static_cast<int>(entries.size()); ++c) {
        AttemptEntry& entry = entries[static_cast<std::size_t>(c * 7 % entries.size())];
        entry.answer = entry.chosen;
        if (!bank.execute(QuestionBank::correctionStatement(
                {.id = entry.questionKey, .title = entry.title, .options = entry.options, .answer = entry.answer})) ||
            !store.recordEntry(attempt, entry))
            return bank.lastErrorText() + store.lastErrorText();
    }
    for (const AttemptEntry& entry : entries)
        score += entry.chosen == entry.answer ? 1 : 0;
    if (!store.recordHandIn(attempt, score, 0, AttemptStore::now()))
        return store.lastErrorText();
    if (!outbox.flush(waitMs))
        return "hand-in not on the server in time: " + outbox.lastErrorText();
    return {};
}

} // namespace

RoomLoad::Result RoomLoad::run(const RoomConfig& server, int candidates, const std::string& folder, int paceMs,
                               int timeoutSeconds)
{
    Result result;
    std::mutex mutex;
    std::vector<std::thread> threads;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < candidates; ++i) {
        threads.emplace_back([&, i] {
            std::vector<double> latencies;
            const std::string error = candidate(server, i + 1, folder, paceMs, timeoutSeconds, latencies);
            std::lock_guard lock(mutex);
            result.answerWriteMs.insert(result.answerWriteMs.end(), latencies.begin(), latencies.end());
            if (!error.empty() && result.error.empty())
                result.error = "candidate " + std::to_string(i + 1) + ": " + error;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    result.seconds = msSince(start) / 1000;
    result.ok = result.error.empty();
    return result;
}
