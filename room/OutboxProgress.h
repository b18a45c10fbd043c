#pragma once

#include <string>

// How far the outbox of a results database has been sent: the number of the
// last change the server committed, in a file of its own beside the database
// ("ksjl.db.sent"), so that the exam's writes never wait for the sender.
class OutboxProgress {
public:
    // resultsPath: the results database, GBK like every path of the program.
    static std::string fileOf(const std::string& resultsPath);
    // 0 when nothing has been noted yet.
    static long long read(const std::string& resultsPath);
    // Replaces the note as a whole: a crash leaves the old number or the new
    // one, and at worst a batch is sent again, which the upserts absorb.
    static bool write(const std::string& resultsPath, long long sent);
};
