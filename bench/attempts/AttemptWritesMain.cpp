// The cost of the attempt record: the time of one answer write (1,000 of
// them, median and worst) and the size of the results database after 1,000
// handed-in attempts of 100 questions each. Usage: bench_attempt_writes DIR

#include "attempts/AttemptStore.h"
#include "db/Database.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

AttemptStart paper(int attempt)
{
    AttemptStart start{.candidateId = "3301061990" + std::to_string(attempt % 50),
                       .seatNumber = "15",
                       .secondsLeft = 3600,
                       .paperDuration = 3600};
    for (int k = 1; k <= 100; ++k) {
        const std::string n = std::to_string(k);
        start.entries.push_back(
            {.number = k,
             .questionKey = std::to_string(attempt * 7 + k),
             .title = platform::utf8ToGbk("在纺织工段中，第" + n + "题描述的操作流程哪一项是正确的？"),
             .options = platform::utf8ToGbk("检查疵点起因|按规程操作|先停机再处理|记录并上报|"),
             .answer = "B",
             .optionCount = "4"});
    }
    return start;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    fs::create_directories(argv[1]);
    const std::string path = (fs::path(argv[1]) / AttemptStore::fileName).string();
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(path + suffix);

    Database connection(DbKind::Sqlite);
    if (!connection.open(AttemptStore::fileOptions(path))) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    AttemptStore store(connection);
    if (!store.prepare())
        return 1;

    using Clock = std::chrono::steady_clock;
    const std::int64_t first = store.begin(paper(0));
    std::vector<double> micros;
    for (int i = 0; i < 1000; ++i) {
        const auto start = Clock::now();
        if (!store.recordAnswer(first, i % 100 + 1, std::string(1, static_cast<char>('A' + i % 4)),
                                AttemptStore::now()))
            return 1;
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("answer write: median %.1f us, worst %.1f us (1000 writes)\n", micros[micros.size() / 2],
                micros.back());

    store.recordHandIn(first, 25, 1800, AttemptStore::now());
    for (int a = 1; a < 1000; ++a) {
        const std::int64_t id = store.begin(paper(a));
        for (int k = 1; k <= 100; ++k)
            store.recordAnswer(id, k, std::string(1, static_cast<char>('A' + (k + a) % 4)), AttemptStore::now());
        store.recordHandIn(id, a % 101, 600, AttemptStore::now());
    }
    connection.execute("PRAGMA wal_checkpoint(TRUNCATE)");
    connection.close();
    std::printf("results database after 1000 handed-in attempts of 100 questions: %.1f MB (%ju bytes)\n",
                static_cast<double>(fs::file_size(path)) / 1e6, static_cast<std::uintmax_t>(fs::file_size(path)));
    return 0;
}
