#pragma once

#include "db/ConnectOptions.h"
#include "db/Database.h"
#include "db/Dialect.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

// A backend the cases of DatabaseTest.cpp run on; each test program
// instantiates them with its own (see DatabaseSqliteTest.cpp).
class DatabaseBackend {
public:
    virtual ~DatabaseBackend() = default;
    // An empty database of this object's own, removed by the destructor.
    virtual ConnectOptions options() = 0;
};

struct DatabaseBackendParam {
    std::string name;
    std::unique_ptr<DatabaseBackend> (*make)();
};

inline void PrintTo(const DatabaseBackendParam& param, std::ostream* out)
{
    *out << param.name;
}

inline std::string databaseBackendName(const ::testing::TestParamInfo<DatabaseBackendParam>& info)
{
    return info.param.name;
}

// The database open, with the table T (id, name, n, pic) and no rows.
class DatabaseTest : public ::testing::TestWithParam<DatabaseBackendParam> {
protected:
    void SetUp() override
    {
        backend = GetParam().make();
        ASSERT_TRUE(db.open(backend->options())) << db.lastErrorText();
        ASSERT_TRUE(db.execute("CREATE TABLE T (" + Dialect::autoKey(db.kind(), "id") +
                               ", name VARCHAR(100), n BIGINT, pic BLOB)"))
            << db.lastErrorText();
    }

    void TearDown() override
    {
        db.close();
        backend.reset();
    }

    std::unique_ptr<DatabaseBackend> backend;
    Database db;
};
