#include "exchange/BankBackup.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view suffix = ".bak";

std::string stamp()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    std::snprintf(text + n, sizeof text - n, "-%03d", static_cast<int>(millis));
    return text;
}

} // namespace

std::vector<std::string> BankBackup::copies(const std::string& bankPath)
{
    const fs::path bank(bankPath);
    const std::string prefix = bank.filename().string() + ".";
    std::vector<std::string> found;
    std::error_code ec;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(bank.parent_path().empty() ? "." : bank.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > prefix.size() + suffix.size() && name.starts_with(prefix) && name.ends_with(suffix))
            found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string BankBackup::make(const std::string& bankPath, std::size_t keep, std::string& error)
{
    std::string copy = bankPath + "." + stamp() + std::string(suffix);
    for (int n = 1; fs::exists(copy); ++n)
        copy = bankPath + "." + stamp() + "-" + std::to_string(n) + std::string(suffix);
    std::error_code ec;
    if (!fs::copy_file(bankPath, copy, fs::copy_options::none, ec)) {
        fs::remove(copy, ec);
        error = GBK("无法备份题库文件，什么也没有改动：") + platform::utf8ToGbk(ec.message());
        return {};
    }
    std::vector<std::string> all = copies(bankPath);
    for (std::size_t i = 0; i + std::max<std::size_t>(keep, 1) < all.size(); ++i)
        fs::remove(all[i], ec);
    return copy;
}
