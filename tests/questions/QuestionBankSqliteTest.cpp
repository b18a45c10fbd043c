#include "tests/db/DatabaseFixture.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

// A bank file of its own, in a folder removed with the object.
class SqliteBankBackend : public DatabaseBackend {
public:
    SqliteBankBackend()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "questions-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        folder_ = pattern;
    }
    ~SqliteBankBackend() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ConnectOptions options() override
    {
        return ConnectOptions::sqlite(platform::utf8ToGbk((folder_ / "tk.db").string()));
    }

private:
    std::filesystem::path folder_;
};

} // namespace

std::vector<DatabaseBackendParam> questionBankBackends()
{
    return {{"Sqlite", [] { return std::unique_ptr<DatabaseBackend>(new SqliteBankBackend); }}};
}
