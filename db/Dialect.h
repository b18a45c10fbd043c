#pragma once

#include "db/DbKind.h"

#include <string>
#include <string_view>
#include <vector>

// Every statement whose text depends on the backend, chosen here and nowhere
// else. Values are pasted as literals with their quotes doubled: a server
// session set up by sessionSetup() takes a backslash as an ordinary byte, as
// SQLite does, so the same literal means the same bytes on both.
class Dialect {
public:
    // The function that orders rows at random.
    static std::string randomOrder(DbKind kind);

    // Statements a new server session runs before anything else; none on SQLite.
    static std::vector<std::string> sessionSetup(DbKind kind);

    // What follows a CREATE TABLE's column list so that texts keep their
    // bytes: GBK on the server, nothing on SQLite.
    static std::string gbkTableOptions(DbKind kind);

    // The column definition of an integer key the database assigns on insert.
    static std::string autoKey(DbKind kind, std::string_view column);

    // The key the last insert of this connection received, as one row, one column.
    static std::string lastInsertKey(DbKind kind);

    // Inserts a row, or sets its other columns when a row with the same
    // `keyCount` leading columns exists (the table holds a unique key on them).
    // `values` are ready literals, one per column.
    static std::string upsert(DbKind kind, std::string_view table, const std::vector<std::string>& columns,
                              const std::vector<std::string>& values, std::size_t keyCount);

    // Whether a table of that name exists: one row when it does. The name is
    // the statement's one parameter.
    static std::string tableExistsQuery(DbKind kind);

    // The one way a value enters a statement's text. `text` as a literal:
    // quotes doubled, between single quotes; the same bytes on both backends
    // (on the server in a session set up by sessionSetup()). A GBK character
    // never ends in a quote's byte, so no character is split.
    static std::string literal(std::string_view text);
    // Bytes as a blob literal, X'..' in hexadecimal digits: any byte, on both.
    static std::string blobLiteral(std::string_view bytes);
};
