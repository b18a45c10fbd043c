#include "room/RoomServer.h"

#include "db/BackendRegistry.h"
#include "db/Dialect.h"
#include "platform/CodePage.h"

#include <memory>
#include <mutex>
#include <mysql.h>

bool RoomServer::connect(MysqlConnection& connection, const RoomConfig& config, std::string& error, bool sessionSetup)
{
    connection.close();
    // mysql_init would set the library up on first use, but not safely from
    // several threads at once.
    static std::once_flag library;
    std::call_once(library, [] { mysql_library_init(0, nullptr, nullptr); });
    MYSQL* handle = mysql_init(nullptr);
    if (handle == nullptr) {
        error = "out of memory";
        return false;
    }
    const unsigned connectLimit = connectSeconds, transferLimit = transferSeconds;
    mysql_options(handle, MYSQL_OPT_CONNECT_TIMEOUT, &connectLimit);
    mysql_options(handle, MYSQL_OPT_READ_TIMEOUT, &transferLimit);
    mysql_options(handle, MYSQL_OPT_WRITE_TIMEOUT, &transferLimit);
    if (mysql_real_connect(handle, config.host.c_str(), config.user.c_str(), config.password.c_str(),
                           config.database.c_str(), static_cast<unsigned>(config.port), nullptr, 0) != handle ||
        mysql_set_character_set(handle, config.charset.c_str()) != 0) {
        error = mysql_error(handle);
        mysql_close(handle);
        return false;
    }
    connection.setSession(std::make_shared<MysqlConnection::Session>(handle, true));
    for (const std::string& statement : Dialect::sessionSetup(sessionSetup ? DbKind::Mysql : DbKind::Sqlite)) {
        if (!connection.execute(statement)) {
            error = connection.lastErrorText();
            connection.close();
            return false;
        }
    }
    return true;
}

bool RoomServer::openBank(const RoomConfig& config, std::string& error)
{
    BackendRegistry* registry = BackendRegistry::instance();
    if (registry == nullptr) {
        error = "no database layer";
        return false;
    }
    registry->setKind(DbKind::Mysql);
    // The registry's recordset must not keep a result of, or a handle to, the
    // connection that is replaced.
    MysqlRecordset& recordset = registry->mysqlRecordset();
    recordset.close();
    recordset.attachHandle(nullptr);
    if (!connect(registry->mysqlConnection(), config, error))
        return false;
    // A query, not a plain statement: its result must be read and freed, or the
    // connection refuses the next one.
    MysqlRecordset probe;
    probe.attach(registry->mysqlConnection());
    if (!probe.open("SELECT * FROM KS_SJTK LIMIT 0")) {
        error = registry->mysqlConnection().lastErrorText();
        return false;
    }
    probe.close();
    return true;
}

std::string RoomServer::unreachableMessage(const RoomConfig& config)
{
    return GBK("数据库服务器连接失败！请检查服务器 ") + config.serverName() + GBK(" 是否开启！");
}
