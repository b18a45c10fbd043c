#include "tests/db/mysql/MysqlTestServer.h"

#include "db/mysql/MysqlRecordset.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mysql.h>
#include <unistd.h>

namespace {

std::string shellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::optional<MysqlTestServer> readState(const std::string& stateFile)
{
    std::ifstream in(stateFile);
    if (!in)
        return std::nullopt;
    MysqlTestServer server;
    server.stateFile = stateFile;
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "HOST")
            server.host = value;
        else if (key == "PORT")
            server.port = std::atoi(value.c_str());
        else if (key == "SOCKET")
            server.socket = value;
        else if (key == "USER")
            server.user = value;
    }
    if (server.host.empty() || server.port <= 0)
        return std::nullopt;
    return server;
}

std::string newStateFile()
{
    static std::atomic<int> counter{0};
    return (std::filesystem::temp_directory_path() /
            ("mockexam-mysql-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".state"))
        .string();
}

// Stops the server this process started for itself, after the last test.
class OwnServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        const MysqlTestServer& server = MysqlTestServer::shared();
        if (!server.socket.empty())
            setenv("MYSQL_UNIX_PORT", server.socket.c_str(), 1);
    }
    void TearDown() override
    {
        if (own)
            own->stop();
        own.reset();
    }
    std::optional<MysqlTestServer> own;
};

OwnServerEnvironment* const ownServer =
    static_cast<OwnServerEnvironment*>(::testing::AddGlobalTestEnvironment(new OwnServerEnvironment));

} // namespace

const MysqlTestServer& MysqlTestServer::shared()
{
    static std::optional<MysqlTestServer> server;
    static std::string error;
    if (!server && error.empty()) {
        if (const char* stateFile = std::getenv("MOCKEXAM_MYSQL_SERVER")) {
            server = readState(stateFile);
            if (!server)
                error = std::string("no private server recorded in ") + stateFile;
        } else {
            server = start(error);
            ownServer->own = server;
        }
    }
    if (!server) {
        ADD_FAILURE() << "MariaDB test server unavailable: " << error;
        static const MysqlTestServer none;
        return none;
    }
    return *server;
}

std::optional<MysqlTestServer> MysqlTestServer::start(std::string& error)
{
    const std::string stateFile = newStateFile();
    const std::string command = shellQuote(MYSQL_SERVER_SCRIPT) + " start " + shellQuote(stateFile) + " " +
                                std::to_string(getpid()) + " >/dev/null";
    if (std::system(command.c_str()) != 0) {
        error = "the server script failed: " + command;
        return std::nullopt;
    }
    auto server = readState(stateFile);
    if (!server)
        error = "the server script wrote no state to " + stateFile;
    return server;
}

void MysqlTestServer::stop() const
{
    const std::string command = shellQuote(MYSQL_SERVER_SCRIPT) + " stop " + shellQuote(stateFile) + " >/dev/null 2>&1";
    [[maybe_unused]] int rc = std::system(command.c_str());
}

bool MysqlTestServer::connect(MysqlConnection& connection, const std::string& database) const
{
    return connection.connect(host, database, user, std::string(), port, std::string("GBK"));
}

void MysqlDatabaseTest::SetUp()
{
    static int counter = 0;
    const MysqlTestServer& server = MysqlTestServer::shared();
    ASSERT_TRUE(server.connect(connection)) << connection.lastErrorText();
    database = "t" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    ASSERT_TRUE(connection.createDatabase(database + " character set gbk")) << connection.lastErrorText();
    ASSERT_TRUE(connection.useDatabase(database)) << connection.lastErrorText();
}

void MysqlDatabaseTest::TearDown()
{
    connection.close();
    // A fresh connection, since the test may have closed or broken its own.
    MysqlConnection cleaner;
    if (!database.empty() && MysqlTestServer::shared().connect(cleaner))
        cleaner.dropDatabase(database);
    cleaner.close();
}

StatementLog::StatementLog(const MysqlConnection& watched) : threadId_(mysql_thread_id(watched.handle()))
{
    MysqlConnection admin;
    EXPECT_TRUE(MysqlTestServer::shared().connect(admin)) << admin.lastErrorText();
    EXPECT_TRUE(admin.execute("SET GLOBAL log_output = 'TABLE'")) << admin.lastErrorText();
    EXPECT_TRUE(admin.execute("SET GLOBAL general_log = 1")) << admin.lastErrorText();
    admin.close();
}

std::vector<std::string> StatementLog::statements() const
{
    std::vector<std::string> found;
    MysqlConnection admin;
    EXPECT_TRUE(MysqlTestServer::shared().connect(admin)) << admin.lastErrorText();
    MysqlRecordset log;
    log.attach(admin);
    if (log.open("SELECT argument FROM mysql.general_log WHERE command_type = 'Query' AND thread_id = " +
                 std::to_string(threadId_))) {
        for (std::int64_t i = 0; i < log.recordCount(); ++i, log.moveNext())
            found.push_back(log.value("argument").text());
        log.close();
    }
    admin.close();
    return found;
}
