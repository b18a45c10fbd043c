#include "db/DatabaseCore.h"

#include "db/Dialect.h"
#include "db/sqlite/SqliteText.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <errmsg.h>
#include <mysqld_error.h>
#include <sqlite3.h>

#include <cerrno>
#include <chrono>

namespace {

// Failures after which the session is gone, whatever the statement was.
bool lostConnection(int code)
{
    switch (code) {
    case CR_SERVER_GONE_ERROR:
    case CR_SERVER_LOST:
    case CR_SERVER_LOST_EXTENDED:
    case ER_CONNECTION_KILLED:
    case ER_SERVER_SHUTDOWN:
    case ER_NET_READ_ERROR:
    case ER_NET_READ_INTERRUPTED:
    case ER_NET_ERROR_ON_WRITE:
    case ER_NET_WRITE_INTERRUPTED:
        return true;
    default:
        return false;
    }
}

} // namespace

const std::string& DatabaseCore::notOpenText()
{
    return GBK("数据库未打开");
}

bool DatabaseCore::fail(std::string reason)
{
    error_ = std::move(reason);
    return false;
}

bool DatabaseCore::failFromBackend()
{
    switch (kind_) {
    case DbKind::Sqlite:
        error_ = sqlite_.lastErrorText();
        break;
    case DbKind::Mysql:
        error_ = mysql_.lastErrorText();
        break;
    default:
        error_ = notOpenText();
        break;
    }
    return false;
}

DatabaseCore::Refusal DatabaseCore::lastRefusal() const
{
    switch (kind_) {
    case DbKind::Sqlite:
        switch (sqlite_.lastErrorCode() & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Refusal::Busy;
        case SQLITE_READONLY:
            return Refusal::ReadOnly;
        default:
            return Refusal::None;
        }
    case DbKind::Mysql:
        switch (mysql_.lastErrorCode()) {
        case ER_LOCK_WAIT_TIMEOUT:
        case ER_LOCK_DEADLOCK:
            return Refusal::Busy;
        case ER_OPTION_PREVENTS_STATEMENT:
        case ER_CANT_EXECUTE_IN_READ_ONLY_TRANSACTION:
        case ER_OPEN_AS_READONLY:
            return Refusal::ReadOnly;
        default:
            return Refusal::None;
        }
    default:
        return Refusal::None;
    }
}

bool DatabaseCore::open(const ConnectOptions& options)
{
    close();
    options_ = options;
    kind_ = options.kind;
    openFailure_ = OpenFailure::None;
    bool opened = false;
    switch (kind_) {
    case DbKind::Sqlite:
        opened = openSqlite();
        break;
    case DbKind::Mysql:
        opened = openMysql();
        break;
    default:
        fail(GBK("没有指明数据库的种类"));
        break;
    }
    if (!opened && openFailure_ == OpenFailure::None)
        openFailure_ = OpenFailure::BadOptions;
    return opened;
}

void DatabaseCore::close()
{
    sqlite_.close();
    mysql_.close();
    ownSession_ = nullptr;
    transactionLost_ = false;
    transactionLostText_.clear();
    error_.clear();
}

bool DatabaseCore::isOpen() const
{
    switch (kind_) {
    case DbKind::Sqlite:
        return sqlite_.handle() != nullptr;
    case DbKind::Mysql:
        // The handle of a failed connect stays for its reason, but it never
        // met a server.
        return mysql_.isConnected() && !mysql_.versionText(0).empty();
    default:
        return false;
    }
}

bool DatabaseCore::openSqlite()
{
    if (!sqlite_.open(options_.file, true, options_.password, options_.createIfMissing ? 1 : 0,
                      options_.busyTimeoutMs)) {
        openFailure_ = sqliteOpenFailure();
        failFromBackend();
        if (error_.empty())
            error_ = GBK("无法打开数据库文件：") + options_.file;
        return false;
    }
    if (options_.busyTimeoutMs > 0 && !sqlite_.setBusyTimeout(options_.busyTimeoutMs)) {
        openFailure_ = OpenFailure::BadOptions;
        failFromBackend();
        sqlite_.close();
        return false;
    }
    if (!runSessionStatements()) {
        openFailure_ = sqlite_.lastErrorCode() == SQLITE_NOTADB ? OpenFailure::NotADatabase : OpenFailure::Other;
        const std::string reason = error_;
        sqlite_.close();
        error_ = reason;
        return false;
    }
    return true;
}

DatabaseCore::OpenFailure DatabaseCore::sqliteOpenFailure() const
{
    const std::string& file = options_.file;
    if (!options_.password.empty() || holdsNulByte(file) || !isValidGbk(file))
        return OpenFailure::BadOptions;
    switch (sqlite_.lastErrorCode() & 0xFF) {
    case SQLITE_NOTADB:
        return OpenFailure::NotADatabase;
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_READONLY:
        return OpenFailure::AccessDenied;
    case SQLITE_CANTOPEN:
        if (sqlite_.handle() != nullptr) {
            const int system = sqlite3_system_errno(sqlite_.handle());
            if (system == EACCES || system == EPERM)
                return OpenFailure::AccessDenied;
        }
        return platform::FileSystem::exists(file) ? OpenFailure::Other : OpenFailure::NoDatabase;
    default:
        return OpenFailure::Other;
    }
}

bool DatabaseCore::openMysql()
{
    if (options_.port < 1 || options_.port > 65535) {
        openFailure_ = OpenFailure::BadOptions;
        return fail(GBK("数据库服务器的端口号无效：") + std::to_string(options_.port));
    }
    if (!connectMysql()) {
        openFailure_ = mysqlOpenFailure();
        return false;
    }
    ownSession_ = mysql_.session().get();
    return true;
}

DatabaseCore::OpenFailure DatabaseCore::mysqlOpenFailure() const
{
    switch (mysql_.lastErrorCode()) {
    case CR_CONNECTION_ERROR:
    case CR_CONN_HOST_ERROR:
    case CR_UNKNOWN_HOST:
    case CR_IPSOCK_ERROR:
    case CR_SOCKET_CREATE_ERROR:
    case CR_SERVER_GONE_ERROR:
    case CR_SERVER_LOST:
    case CR_SERVER_LOST_EXTENDED:
    case CR_SERVER_HANDSHAKE_ERR:
        return OpenFailure::Unreachable;
    case ER_ACCESS_DENIED_ERROR:
    case ER_DBACCESS_DENIED_ERROR:
    case ER_ACCESS_DENIED_NO_PASSWORD_ERROR:
        return OpenFailure::AccessDenied;
    case ER_BAD_DB_ERROR:
        return OpenFailure::NoDatabase;
    case CR_CANT_READ_CHARSET:
        return OpenFailure::BadOptions;
    default:
        return OpenFailure::Other;
    }
}

// A failed connect keeps its handle, for the reason; a session whose settings
// failed is closed, since it would run statements under other rules.
bool DatabaseCore::connectMysql()
{
    if (!mysql_.connectWithin(options_.host, options_.port, options_.database, options_.user, options_.password,
                              options_.charset, options_.connectTimeoutSeconds, options_.transferTimeoutSeconds))
        return failFromBackend();
    if (!runSessionStatements()) {
        const std::string reason = error_;
        mysql_.close();
        error_ = reason;
        return false;
    }
    return true;
}

bool DatabaseCore::runSessionStatements()
{
    std::vector<std::string> statements =
        options_.dialectSession ? Dialect::sessionSetup(kind_) : std::vector<std::string>();
    statements.insert(statements.end(), options_.sessionStatements.begin(), options_.sessionStatements.end());
    for (const std::string& statement : statements) {
        const bool ran = kind_ == DbKind::Mysql ? mysql_.execute(statement) : sqlite_.execute(statement);
        if (!ran)
            return failFromBackend();
    }
    return true;
}

bool DatabaseCore::reconnectable() const
{
    return kind_ == DbKind::Mysql && ownSession_ != nullptr && mysql_.session().get() == ownSession_;
}

bool DatabaseCore::reconnect()
{
    const bool connected = connectMysql();
    // Even a failed attempt leaves a session of this object's own, so the next
    // statement tries again.
    ownSession_ = mysql_.session().get();
    if (reconnectListener_)
        reconnectListener_();
    return connected;
}

bool DatabaseCore::withReconnect(const std::function<bool()>& attempt)
{
    error_.clear();
    if (transactionLost_)
        return fail(transactionLostText_);
    if (kind_ != DbKind::Mysql)
        return attempt() || failFromBackend();

    const bool transactionOpen = mysql_.inTransaction();
    const auto started = std::chrono::steady_clock::now();
    if (attempt())
        return true;
    // A session whose reconnect failed never met a server: the next statement
    // tries again.
    const bool lost = lostConnection(mysql_.lastErrorCode()) || !isOpen();
    if (!lost || !reconnectable())
        return failFromBackend();
    // A reply that did not come in time may still be on its way: the server
    // could be running the statement yet, and running it again could do its
    // work twice.
    const unsigned limit = options_.transferTimeoutSeconds;
    if (limit > 0 &&
        std::chrono::steady_clock::now() - started >= std::chrono::seconds(limit) - std::chrono::milliseconds(200))
        return failFromBackend();
    if (transactionOpen) {
        transactionLostText_ =
            GBK("与数据库服务器的连接断开了，服务器已撤销这个事务中尚未提交的全部改动：") + mysql_.lastErrorText();
        transactionLost_ = true;
        reconnect();
        // The facades read the reason from the backend connection.
        mysql_.reportError(transactionLostText_);
        return fail(transactionLostText_);
    }
    if (!reconnect())
        return false;
    return attempt() || failFromBackend();
}

bool DatabaseCore::inTransaction() const
{
    switch (kind_) {
    case DbKind::Sqlite:
        return sqlite_.handle() != nullptr && sqlite3_get_autocommit(sqlite_.handle()) == 0;
    case DbKind::Mysql:
        return transactionLost_ || mysql_.inTransaction();
    default:
        return false;
    }
}

bool DatabaseCore::beginTransaction()
{
    switch (kind_) {
    case DbKind::Sqlite:
        error_.clear();
        return sqlite_.beginTransaction() || failFromBackend();
    case DbKind::Mysql:
        return withReconnect([this] { return mysql_.beginTransaction(); });
    default:
        return fail(notOpenText());
    }
}

bool DatabaseCore::commit()
{
    switch (kind_) {
    case DbKind::Sqlite:
        error_.clear();
        return sqlite_.commit() || failFromBackend();
    case DbKind::Mysql:
        if (transactionLost_) {
            transactionLost_ = false;
            return fail(transactionLostText_);
        }
        if (withReconnect([this] { return mysql_.commit(); }))
            return true;
        // The commit ended the transaction, lost or not.
        transactionLost_ = false;
        return false;
    default:
        return fail(notOpenText());
    }
}

// On the server a lost transaction's changes are gone, which is all a
// rollback asks for.
bool DatabaseCore::rollback()
{
    switch (kind_) {
    case DbKind::Sqlite:
        error_.clear();
        return sqlite_.rollback() || failFromBackend();
    case DbKind::Mysql:
        if (!transactionLost_ && withReconnect([this] { return mysql_.rollback(); }))
            return true;
        if (!transactionLost_)
            return false;
        transactionLost_ = false;
        error_.clear();
        return true;
    default:
        return fail(notOpenText());
    }
}
