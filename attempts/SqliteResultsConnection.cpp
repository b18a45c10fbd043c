#include "attempts/SqliteResultsConnection.h"

#include "platform/CodePage.h"

SqliteResultsConnection::~SqliteResultsConnection()
{
    close();
}

bool SqliteResultsConnection::open(const std::string& path)
{
    close();
    openError_.clear();
    if (!connection_.open(path, true, std::nullopt, 1)) {
        openError_ = connection_.lastErrorText();
        if (openError_.empty())
            openError_ = GBK("无法打开数据库文件：") + path;
        connection_.close();
        return false;
    }
    recordset_.attach(connection_);
    // A second program on the same folder waits for a write instead of failing it.
    connection_.setBusyTimeout(2000);
    if (!connection_.execute("PRAGMA journal_mode=WAL") || !connection_.execute("PRAGMA synchronous=NORMAL")) {
        openError_ = connection_.lastErrorText();
        close();
        return false;
    }
    return true;
}

void SqliteResultsConnection::close()
{
    recordset_.close();
    recordset_.attachHandle(nullptr);
    connection_.close();
}

bool SqliteResultsConnection::execute(const std::string& sql)
{
    return connection_.execute(sql);
}

bool SqliteResultsConnection::query(const std::string& sql, Rows& rows)
{
    int rowCount = 0;
    int columnCount = 0;
    if (!recordset_.queryTable(sql, rowCount, columnCount, rows)) {
        rows.clear();
        return false;
    }
    if (!rows.empty())
        rows.erase(rows.begin());
    return true;
}

std::string SqliteResultsConnection::lastErrorText() const
{
    if (!connection_.isOpen())
        return openError_;
    return connection_.lastErrorText();
}
