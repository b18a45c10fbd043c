#include "room/RoomServer.h"

#include "db/BackendRegistry.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "db/mysql/MysqlConnection.h"
#include "platform/CodePage.h"
#include "questions/QuestionBank.h"

namespace {

std::string hostAndPort(const RoomConfig& config)
{
    return config.host + ":" + std::to_string(config.port);
}

std::string refusedDatabaseMessage(const RoomConfig& config)
{
    return GBK("数据库服务器 ") + hostAndPort(config) + GBK(" 上没有数据库 ") + config.database + GBK("，或账号 ") +
           config.user + GBK(" 无权使用它！请检查 i.ini 中的数据库名称是否正确！");
}

std::string otherMessage(const RoomConfig& config, const std::string& reason)
{
    std::string message = GBK("数据库加载失败！无法使用服务器 ") + config.serverName() + GBK(" 上的题库！");
    if (!reason.empty())
        message += "\r\n" + reason;
    return message;
}

// What a failed open means to the room's staff. The server answers a refused
// database as it answers a refused account, unless the account may see that
// the database is missing; an account that may connect without naming one was
// refused the database.
std::string openProblem(const RoomConfig& config, const Database& bank)
{
    switch (bank.openFailure()) {
    case Database::OpenFailure::Unreachable:
        return RoomServer::unreachableMessage(config);
    case Database::OpenFailure::NoDatabase:
        return refusedDatabaseMessage(config);
    case Database::OpenFailure::AccessDenied: {
        ConnectOptions withoutDatabase = config.connectOptions();
        withoutDatabase.database.clear();
        Database probe;
        if (probe.open(withoutDatabase))
            return refusedDatabaseMessage(config);
        if (probe.openFailure() == Database::OpenFailure::Unreachable)
            return RoomServer::unreachableMessage(config);
        return GBK("数据库服务器 ") + hostAndPort(config) + GBK(" 拒绝了账号 ") + config.user +
               GBK(" 的登录！请检查 i.ini 中的账号和密码是否正确！");
    }
    default:
        return otherMessage(config, bank.lastErrorText());
    }
}

} // namespace

bool RoomServer::connect(MysqlConnection& connection, const RoomConfig& config, std::string& error, bool sessionSetup)
{
    const ConnectOptions options = config.connectOptions();
    bool ok = connection.connectWithin(options.host, options.port, options.database, options.user, options.password,
                                       options.charset, options.connectTimeoutSeconds, options.transferTimeoutSeconds);
    for (const std::string& statement : Dialect::sessionSetup(sessionSetup ? DbKind::Mysql : DbKind::Sqlite))
        ok = ok && connection.execute(statement);
    if (ok)
        return true;
    error = connection.lastErrorText();
    if (error.empty())
        error = GBK("无法连接数据库服务器");
    connection.close();
    return false;
}

bool RoomServer::openBank(const RoomConfig& config, std::string& message)
{
    if (config.badPort) {
        message =
            GBK("i.ini 中数据库服务器的端口号“") + *config.badPort + GBK("”无效！请把它改为 1 到 65535 之间的数字！");
        return false;
    }
    BackendRegistry* registry = BackendRegistry::instance();
    if (registry == nullptr) {
        message = otherMessage(config, "no database layer");
        return false;
    }
    registry->setKind(DbKind::Mysql);
    // The registry's recordset must not keep a result of, or a handle to, the
    // connection that is replaced.
    MysqlRecordset& recordset = registry->mysqlRecordset();
    recordset.close();
    recordset.attachHandle(nullptr);
    Database& bank = registry->mysqlDatabase();
    if (!bank.open(config.connectOptions())) {
        message = openProblem(config, bank);
        return false;
    }
    Database::Rows rows;
    if (bank.query(QuestionBank::probeQuery(), rows))
        return true;
    const std::string reason = bank.lastErrorText();
    // The server lists only tables the account has rights on: a table refused
    // to it reads as missing.
    if (!bank.tableExists(QuestionBank::table) && bank.lastErrorText().empty())
        message = GBK("数据库加载失败！服务器 ") + config.serverName() + GBK(" 中没有题库表 ") + QuestionBank::table +
                  GBK("，请先把题库复制到服务器上！");
    else
        message = otherMessage(config, reason);
    return false;
}

std::string RoomServer::unreachableMessage(const RoomConfig& config)
{
    return GBK("数据库服务器连接失败！请检查服务器 ") + config.serverName() + GBK(" 是否开启！");
}
