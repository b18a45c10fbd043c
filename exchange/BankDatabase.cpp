#include "exchange/BankDatabase.h"

#include "exchange/SqliteStatement.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <sqlite3.h>

BankDatabase::~BankDatabase()
{
    sqlite3_close(db_);
}

bool BankDatabase::open(const std::string& path)
{
    sqlite3_close(db_);
    db_ = nullptr;
    const std::optional<std::string> name = platform::FileSystem::toSystemPath(path);
    if (!name || sqlite3_open_v2(name->c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        error_ = GBK("无法打开题库文件：") + path;
        sqlite3_close(db_);
        db_ = nullptr;
        return false;
    }
    SqliteStatement probe(db_, "SELECT * FROM KS_SJTK LIMIT 0");
    if (!probe.ok()) {
        error_ = GBK("文件中没有题库表KS_SJTK：") + path;
        return false;
    }
    sqlite3_busy_timeout(db_, 5000);
    return true;
}
