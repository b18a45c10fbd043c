#pragma once

#include "db/types/ColumnSpec.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

typedef struct st_mysql MYSQL;
typedef struct st_mysql_res MYSQL_RES;
struct MariadbFunctions;
class MariadbLibrary;

// The MySQL side of the database access layer: one client-library connection
// handle and the statements run on it. All texts are GBK; the connection sets
// that character set unless told otherwise, so nothing is converted here.
//
// The handle that connect() makes is owned jointly by this object, its copies
// and the recordsets and results made on it: close() ends this object's use,
// and the connection ends when the last of them has let go. A handle passed in
// as a bare pointer is only borrowed and never closed here.
//
// The client library is loaded with the first connection; when it cannot be,
// connecting fails with the reason in lastErrorText.
class MysqlConnection {
public:
    // The client handle and what the layer itself reported on it, shared by
    // every object working on the connection.
    struct Session {
        Session(const MariadbFunctions& functions, MYSQL* handle, bool owned)
            : api(functions), mysql(handle), ownsHandle(owned)
        {
        }
        ~Session();
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;

        // The client library's functions, for every call on the handle.
        const MariadbFunctions& api;
        MYSQL* const mysql;
        const bool ownsHandle;
        // A failure found before anything reached the server; the next
        // statement run on the connection clears it.
        std::string reportedError;
    };

    // Type codes of ColumnSpec for this backend.
    static constexpr int TypeInt = 3;
    static constexpr int TypeBigInt = 8;
    static constexpr int TypeFloat = 4;
    static constexpr int TypeDouble = 5;
    static constexpr int TypeDateTime = 12;
    static constexpr int TypeLongText = 25206;
    static constexpr int TypeBool = 102;
    static constexpr int TypeLongBlob = 25205;
    static constexpr int TypeVarChar = 253;

    // Flag bits of ColumnSpec: the field flags of the client interface.
    static constexpr int FlagNotNull = 1;
    static constexpr int FlagPrimaryKey = 2;
    static constexpr int FlagUnsigned = 32;
    static constexpr int FlagZeroFill = 64;
    static constexpr int FlagBinary = 128;
    static constexpr int FlagAutoIncrement = 512;

    static constexpr int DefaultPort = 3306;

    MysqlConnection();
    // Works through that library in place of the program's own (kept by the
    // caller while the connection lives).
    explicit MysqlConnection(const MariadbLibrary& library);

    // Passes the option code and value to mysql_options unchanged. Options only
    // reach a connection that exists: connect() starts a fresh handle.
    bool setOption(int option, const void* value);
    bool setOption(int option, const std::string& value);

    // Defaults: user "Root", empty password, port 3306, charset "GBK". After a
    // failed connect the handle stays, so lastErrorText tells why and close()
    // releases it. This object's earlier connection is let go first.
    bool connect(const std::string& host, const std::string& database,
                 const std::optional<std::string>& user = std::nullopt,
                 const std::optional<std::string>& password = std::nullopt, std::optional<int> port = std::nullopt,
                 const std::optional<std::string>& charset = std::nullopt);
    // Connecting, the server's greeting included, gives up after
    // connectSeconds; each later read or write after transferSeconds (0: as
    // long as the system waits). As with connect(), the handle of a failed
    // attempt stays for its reason.
    bool connectWithin(const std::string& host, int port, const std::string& database, const std::string& user,
                       const std::string& password, const std::string& charset, unsigned connectSeconds,
                       unsigned transferSeconds);
    // Safe when nothing is open.
    void close();
    bool isConnected() const { return handle_ != nullptr; }
    MYSQL* handle() const { return handle_; }
    // Borrows the handle; false without the client library.
    bool setHandle(MYSQL* handle);
    // Joins the ownership of a session, or borrows nothing with null.
    void setSession(std::shared_ptr<Session> session);
    const std::shared_ptr<Session>& session() const { return session_; }
    // Puts a message in the connection's error state, for failures found
    // before anything reached the server.
    void reportError(const std::string& message);
    const std::string& host() const { return host_; }

    bool execute(const std::string& sql);
    // Runs a statement and keeps all its rows on the client: null for a
    // statement without rows. The result keeps the connection's handle alive.
    bool storeQuery(const std::string& sql, std::shared_ptr<MYSQL_RES>& result);
    // As the server's last reply left the session.
    bool inTransaction() const;
    bool keepsBackslashEscapes() const;
    // The text as a quoted literal under the server's backslash escapes, for
    // sessions that keep them; escaped for the connection's character set.
    std::string escapedLiteral(std::string_view text) const;
    // 0: the server's version, 1: the client library's; "" otherwise.
    std::string versionText(int which) const;
    std::string lastErrorText() const;
    int lastErrorCode() const;

    bool useDatabase(const std::string& name);
    bool createDatabase(const std::string& name);
    bool dropDatabase(const std::string& name);
    // Every name followed by ",", the last one too; "" when there is none or the
    // statement failed.
    std::string listDatabases();

    // Without columns the statement is "create table " + name alone.
    bool createTable(const std::string& name, const std::vector<ColumnSpec>& columns);
    static std::string columnOptionsText(const ColumnSpec& column);
    static std::string columnTypeText(const ColumnSpec& column);
    bool dropTable(const std::string& name);
    bool clearTable(const std::string& name);
    std::string listTables(const std::string& database);
    // True when "Select * From " + name runs.
    bool tableExists(const std::string& name);
    bool createIndex(const std::string& table, const std::string& columns, const std::string& indexName);
    bool dropIndex(const std::string& table, const std::string& indexName);
    bool renameTable(const std::string& oldName, const std::string& newName);
    bool addColumn(const std::string& table, const ColumnSpec& column);

    bool beginTransaction();
    bool commit();
    bool rollback();
    // Rows that the last INSERT, UPDATE or DELETE touched, an UPDATE counting
    // every row it matched; -1 when the client library cannot tell (after a
    // statement that returned rows or failed) or nothing is connected.
    long long changedRows() const;
    // The key the last INSERT gave an AUTO_INCREMENT column; 0 without one.
    long long lastInsertKey() const;

private:
    std::string listFirstColumn(const std::string& sql);

    const MariadbLibrary* library_;
    MYSQL* handle_ = nullptr; // session_->mysql, or null without a session
    std::shared_ptr<Session> session_;
    std::string host_;
};
