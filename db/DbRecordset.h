#pragma once

#include "db/types/DateTimeValue.h"
#include "platform/ByteArray.h"

#include <cstdint>
#include <optional>
#include <string>

class DbConnection;

// The application's handle on query results and row statements. It holds no
// data: every DbRecordset forwards to the one backend recordset of the current
// kind in BackendRegistry, so opening a query through any of them replaces the
// result that all of them see. writeBlob and exists run a query of their own
// and so end any result that was open. With no backend selected every
// operation does nothing and answers false, 0 or an empty text, leaving out
// values unchanged. While an export walks the shared result, calls from window
// events pumped meanwhile that would open, move or end it are refused (see
// SharedResultGuard).
class DbRecordset {
public:
    // Attaches the backend recordset to the registry's connection of the
    // current kind (the connection passed in is not looked at).
    bool attach();
    bool attach(const DbConnection& connection);

    // With mode left out, 0 or 1 the text is a statement; with 2 or more it is
    // a table name, run as "Select * From " + text. True when it ran, with or
    // without rows; after a query with rows the current row is the first.
    bool open(const std::string& query, std::optional<int> mode = {});
    void close();

    bool moveFirst();
    bool moveLast();
    bool moveNext();
    int recordCount();
    int fieldCount();
    // -1 when there is no such field.
    int fieldIndex(const std::string& name);
    // Empty when the index is out of range.
    std::string fieldName(int index);

    // Reads of the current row by field name: true when the field exists and
    // a result is open.
    bool readText(const std::string& name, std::string& out);
    bool readFloat(const std::string& name, float& out);
    bool readDouble(const std::string& name, double& out);
    bool readInt64(const std::string& name, std::int64_t& out);
    bool readBool(const std::string& name, bool& out);
    bool readDateTime(const std::string& name, DateTimeValue& out);
    bool readBlob(const std::string& name, ByteArray& out);
    // readText by position, for results whose fields share a name.
    bool readTextAt(int index, std::string& out);
    // Changes whenever the shared result of the current kind is replaced or
    // released.
    unsigned long long resultSerial();

    // Row statements run through the current backend's connection. insertRow
    // takes a list such as a='1',b='x y' and is false, with nothing run, when
    // the list does not split into as many values as names.
    bool insertRow(const std::string& table, const std::string& assignments);
    bool deleteRows(const std::string& table, const std::string& condition);
    bool updateRows(const std::string& table, const std::string& assignments, const std::string& condition);

    // Stores the bytes in column: an update of every row matching condition,
    // or a new row holding only the blob when the condition is empty. A blob
    // left out is stored as NULL.
    bool writeBlob(const std::string& table, const std::string& column,
                   const std::optional<std::string>& condition = {}, const std::optional<ByteArray>& data = {});
    // writeBlob on the MySQL backend while any backend is selected. The bytes
    // go into the statement as an escaped literal; a blob left out is stored
    // as NULL, as on SQLite.
    bool writeBlobMysql(const std::string& table, const std::string& column,
                        const std::optional<std::string>& condition = {}, const std::optional<ByteArray>& data = {});
    // writeBlob on the SQLite backend while any backend is selected.
    bool writeBlobSqlite(const std::string& table, const std::string& column,
                         const std::optional<std::string>& condition = {}, const std::optional<ByteArray>& data = {});

    // Whether at least one row of table matches condition.
    bool exists(const std::string& table, const std::string& condition);
};
