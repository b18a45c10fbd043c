#include "exchange/BankBackup.h"

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

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
    using platform::FileSystem;
    const std::size_t slash = bankPath.rfind(FileSystem::separator);
    const std::string folder = slash == std::string::npos ? std::string(".") : bankPath.substr(0, slash);
    const std::string prefix = bankPath.substr(slash == std::string::npos ? 0 : slash + 1) + ".";
    std::vector<std::string> names, found;
    FileSystem::listDirectory(folder.empty() ? std::string(1, FileSystem::separator) : folder, names);
    for (const std::string& name : names) {
        if (name.size() > prefix.size() + suffix.size() && name.starts_with(prefix) && name.ends_with(suffix))
            found.push_back(slash == std::string::npos ? "./" + name : FileSystem::joinPath(folder, name));
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string BankBackup::make(const std::string& bankPath, std::size_t keep, std::string& error)
{
    using platform::FileSystem;
    std::string copy = bankPath + "." + stamp() + std::string(suffix);
    for (int n = 1; FileSystem::exists(copy); ++n)
        copy = bankPath + "." + stamp() + "-" + std::to_string(n) + std::string(suffix);
    if (!FileSystem::copyFile(bankPath, copy)) {
        error = GBK("无法备份题库文件，什么也没有改动：") + bankPath;
        return {};
    }
    std::vector<std::string> all = copies(bankPath);
    for (std::size_t i = 0; i + std::max<std::size_t>(keep, 1) < all.size(); ++i)
        FileSystem::removeFile(all[i]);
    return copy;
}
