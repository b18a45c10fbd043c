#pragma once

#include "db/BackendRegistry.h"
#include "db/DbConnection.h"
#include "db/DbRecordset.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

// The backend that a run of the facade tests works on. The tests of
// DbConnectionTest.cpp and DbRecordsetTest.cpp hold for every backend; a test
// program instantiates them with its backends (see DbFacadeSqliteTest.cpp).
class FacadeBackend {
public:
    virtual ~FacadeBackend() = default;
    virtual DbKind kind() const = 0;
    // Opens the connection facade on an empty database of this backend's own,
    // which the destructor removes again (the fixture closes first).
    virtual bool open(DbConnection& connection) = 0;
    // The definition of an integer key column "id" that numbers new rows.
    virtual std::string autoIdColumn() const = 0;
};

struct FacadeBackendParam {
    std::string name;
    std::unique_ptr<FacadeBackend> (*make)();
};

inline void PrintTo(const FacadeBackendParam& param, std::ostream* out)
{
    *out << param.name;
}

inline std::string facadeBackendName(const ::testing::TestParamInfo<FacadeBackendParam>& info)
{
    return info.param.name;
}

// A live registry, the backend opened through `connection` with the
// recordsets attached to it, and the table
// T (id, name VARCHAR(50), score DOUBLE, pic BLOB) with no rows.
class DbFacadeTest : public ::testing::TestWithParam<FacadeBackendParam> {
protected:
    void SetUp() override
    {
        backend = GetParam().make();
        ASSERT_TRUE(backend->open(connection)) << connection.lastErrorText();
        ASSERT_TRUE(recordset.attach(connection));
        ASSERT_TRUE(connection.execute("CREATE TABLE T (" + backend->autoIdColumn() +
                                       ", name VARCHAR(50), score DOUBLE, pic BLOB)"))
            << connection.lastErrorText();
    }

    void TearDown() override
    {
        recordset.close();
        connection.close();
        backend.reset();
    }

    // Adds a row through the connection; the id is given so rows have a known order.
    void addRow(int id, const std::string& name, double score)
    {
        ASSERT_TRUE(connection.execute("INSERT INTO T (id, name, score) VALUES (" + std::to_string(id) + ", '" + name +
                                       "', " + std::to_string(score) + ")"))
            << connection.lastErrorText();
    }

    int rowCount(const std::string& condition = "1=1")
    {
        DbRecordset counter;
        if (!counter.open("SELECT COUNT(*) AS n FROM T WHERE " + condition))
            return -1;
        std::int64_t n = -1;
        counter.readInt64("n", n);
        counter.close();
        return static_cast<int>(n);
    }

    BackendRegistry registry;
    std::unique_ptr<FacadeBackend> backend;
    DbConnection connection;
    DbRecordset recordset;
};

class DbConnectionTest : public DbFacadeTest {};
class DbRecordsetTest : public DbFacadeTest {};
