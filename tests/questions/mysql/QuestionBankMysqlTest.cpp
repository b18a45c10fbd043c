#include "tests/db/DatabaseFixture.h"
#include "tests/db/mysql/MysqlTestServer.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <vector>

namespace {

bool adminExecute(const std::string& sql)
{
    MysqlConnection admin;
    const bool ran = MysqlTestServer::shared().connect(admin) && admin.execute(sql);
    EXPECT_TRUE(ran) << sql << ": " << admin.lastErrorText();
    return ran;
}

// A GBK database of its own on the private server, dropped with the object.
class MysqlBankBackend : public DatabaseBackend {
public:
    MysqlBankBackend()
    {
        static int counter = 0;
        database_ = "q" + std::to_string(getpid()) + "_" + std::to_string(counter++);
        created_ = adminExecute("CREATE DATABASE " + database_ + " CHARACTER SET gbk");
    }
    ~MysqlBankBackend() override
    {
        if (created_)
            adminExecute("DROP DATABASE " + database_);
    }
    ConnectOptions options() override
    {
        const MysqlTestServer& server = MysqlTestServer::shared();
        return ConnectOptions::mysql(server.host, server.port, database_, server.user, "");
    }

private:
    std::string database_;
    bool created_ = false;
};

} // namespace

std::vector<DatabaseBackendParam> questionBankBackends()
{
    return {{"Mysql", [] { return std::unique_ptr<DatabaseBackend>(new MysqlBankBackend); }}};
}
