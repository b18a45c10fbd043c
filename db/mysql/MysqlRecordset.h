#pragma once

#include "db/mysql/MysqlConnection.h"
#include "db/types/DateTimeValue.h"
#include "db/types/FieldValue.h"
#include "db/types/NavigationFlags.h"
#include "platform/ByteArray.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct st_mysql MYSQL;
typedef struct st_mysql_res MYSQL_RES;

// One query at a time on the handle of a MysqlConnection. The whole result is
// stored on the client when the query is opened, so the row count is known at
// once and any row can be reached by number. Fields are read by name; texts
// come back as the server sends them (GBK on a connection set to GBK).
//
// Copies share the connection handle, the result and the current row. The
// result is owned jointly by the copies: close() ends one object's use, and
// the result is freed when the last of them has closed or gone. Attached to a
// connection, the recordset shares its ownership of the handle too.
class MysqlRecordset {
public:
    // An owned copy of one column description of the current result.
    struct FieldInfo {
        std::string name;
        std::string orgName;
        std::string table;
        std::string orgTable;
        std::string db;
        std::string catalog;
        std::string def;
        unsigned long length = 0;    // the column width of its definition
        unsigned long maxLength = 0; // the widest value in the stored result
        unsigned int flags = 0;
        unsigned int decimals = 0;
        unsigned int charsetnr = 0;
        int type = 0;
    };

    bool attach(const MysqlConnection& connection);
    bool attachHandle(MYSQL* handle);
    // A connection object on this recordset's handle, sharing its ownership:
    // its close() ends only its own use of the connection.
    MysqlConnection connection() const;
    MYSQL* handle() const { return handle_; }

    // Runs a statement: with mode 0, 1 or none the text is the SQL, with any
    // other mode a table name for "Select * From " + text. With n textFlags
    // entries (at most 3) the first n "?" of the statement text are replaced
    // by blobs 1..n as escaped, quoted literals; a blob left out becomes NULL
    // and the flag values are not looked at. After a query the first row
    // is current. True when the server ran the statement. A result left by an
    // earlier open is freed first.
    bool open(const std::string& text, std::optional<int> mode = std::nullopt,
              const std::optional<ByteArray>& blob1 = std::nullopt,
              const std::optional<ByteArray>& blob2 = std::nullopt,
              const std::optional<ByteArray>& blob3 = std::nullopt,
              const std::optional<std::vector<int>>& textFlags = std::nullopt);
    // Safe when no result is held.
    void close();
    bool isOpen() const { return result_ != nullptr; }
    // Changes whenever the result is replaced or released, so a reader can
    // tell that the rows it walks are no longer there.
    unsigned long long resultSerial() const { return resultSerial_; }

    // 0 whenever no result is held (so also after INSERT, UPDATE or DELETE).
    std::int64_t affectedRows() const;
    std::int64_t recordCount() const;
    int fieldCount() const;

    // Each move leaves no current row when it does not land on one.
    bool moveNext();
    bool moveTo(std::int64_t row);
    bool moveFirst();
    bool moveLast();

    // "" for an index out of range.
    std::string fieldName(int index) const;
    // Exact, case-sensitive; the first field of that name; -1 when none or empty.
    int fieldIndex(const std::string& name) const;
    // -1 when there is no such field.
    long fieldLength(const std::string& name) const;
    long fieldMaxLength(const std::string& name) const;
    // Every field name followed by ","; "" when no result is held.
    std::string fieldNameList() const;
    const std::vector<FieldInfo>& fields() const { return fields_; }

    // Reads of the current row by field name: false, with the out value set to
    // its empty or zero value, when there is no result, no current row or no
    // such field. Numbers are read from the text as leading blanks, a sign and
    // digits; a text without a number gives 0.
    bool readText(const std::string& name, std::string& out) const;
    // The same read by position, for results whose fields share a name.
    bool readTextAt(int index, std::string& out) const;
    bool readDouble(const std::string& name, double& out) const;
    bool readFloat(const std::string& name, float& out) const;
    bool readInt(const std::string& name, int& out) const;
    bool readInt64(const std::string& name, std::int64_t& out) const;
    // True when the text reads as a non-zero number: "1" and "2" are true, "yes" is not.
    bool readBool(const std::string& name, bool& out) const;
    // part 1 keeps only the date, part 2 only the time of day (on 2000-01-01).
    bool readDateTime(const std::string& name, DateTimeValue& out, std::optional<int> part = std::nullopt) const;
    // The cell's bytes, zero bytes included.
    bool readBlob(const std::string& name, ByteArray& out) const;

    // Always a text: the field's text, or "" when it cannot be read. Without a
    // name the field is taken by index.
    FieldValue value(const std::optional<std::string>& name = std::nullopt,
                     std::optional<int> index = std::nullopt) const;
    // Leaves out unchanged when the field cannot be read.
    bool readValue(FieldValue& out, const std::optional<std::string>& name = std::nullopt,
                   std::optional<int> index = std::nullopt) const;

    static void navigationFlags(int position, int total, NavigationFlags& flags);

    // The bytes as a quoted SQL literal, escaped for the connection's character set.
    std::string escapeBlob(const ByteArray& bytes) const;

private:
    const char* cell(const std::string& name, int& index) const;

    MYSQL* handle_ = nullptr;
    std::shared_ptr<MysqlConnection::Session> session_;
    std::shared_ptr<MYSQL_RES> result_;
    const MariadbFunctions* api_ = nullptr; // the library result_ came from
    char** row_ = nullptr;
    std::vector<FieldInfo> fields_;
    unsigned long long resultSerial_ = 0;
};
