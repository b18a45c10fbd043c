#include "exchange/BankBackup.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "questions/QuestionBank.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

using platform::FileSystem;

constexpr std::string_view fileSuffix = ".bak";
constexpr std::string_view serverPrefix = "tk-server-";
constexpr std::string_view serverSuffix = ".bak.db";

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

// The files of the folder named prefix...suffix, oldest (by name) first.
std::vector<std::string> listCopies(const std::string& folder, std::string_view prefix, std::string_view suffix)
{
    std::vector<std::string> names, found;
    FileSystem::listDirectory(folder.empty() ? std::string(1, FileSystem::separator) : folder, names);
    for (const std::string& name : names) {
        if (name.size() > prefix.size() + suffix.size() && name.starts_with(prefix) && name.ends_with(suffix))
            found.push_back(folder == "." ? "./" + name : FileSystem::joinPath(folder, name));
    }
    std::sort(found.begin(), found.end());
    return found;
}

void keepNewest(std::vector<std::string> all, std::size_t keep)
{
    for (std::size_t i = 0; i + std::max<std::size_t>(keep, 1) < all.size(); ++i)
        FileSystem::removeFile(all[i]);
}

// A name not taken yet: before + stamp + after.
std::string freshName(const std::string& before, std::string_view after)
{
    std::string name = before + stamp() + std::string(after);
    for (int n = 1; FileSystem::exists(name); ++n)
        name = before + stamp() + "-" + std::to_string(n) + std::string(after);
    return name;
}

// Why the copy could not be made, from the error the failing call left;
// taken at once, since any later call may change it.
std::string copyFailure(int cause)
{
    switch (cause) {
    case EACCES:
    case EPERM:
        return GBK("没有在题库所在文件夹中建立文件的权限");
    case EROFS:
        return GBK("题库所在的磁盘是只读的");
    case ENOSPC:
    case EDQUOT:
        return GBK("磁盘空间不足");
    case ENAMETOOLONG:
        return GBK("备份文件的名字太长");
    case ENOENT:
    case ENOTDIR:
        return GBK("找不到题库文件或它所在的文件夹");
    case EISDIR:
        return GBK("题库是一个文件夹，不是文件");
    case EIO:
        return GBK("磁盘读写出错");
    case 0:
        return GBK("原因不明");
    default:
        return GBK("系统错误：") + platform::utf8ToGbk(std::strerror(cause));
    }
}

// Rows per INSERT on the server, where each statement costs a round trip.
constexpr std::size_t rowsPerStatement = 200;

// Every row of `from` into the empty table of `to`, the key included; the
// rows copied, or -1 with the failing side's reason in error.
long long copyRows(Database& from, Database& to, std::string& error)
{
    QuestionBank source(from), target(to);
    Statement select = source.prepareRows();
    Statement insert = target.prepareInsertWithKey();
    if (!insert.isValid()) {
        error = to.lastErrorText();
        return -1;
    }
    const bool onServer = to.kind() == DbKind::Mysql;
    Database::Rows batch;
    const auto flush = [&] {
        const bool ok = batch.empty() || to.execute(QuestionBank::insertRowsStatement(batch, true));
        batch.clear();
        return ok;
    };
    long long rows = 0;
    while (select.step()) {
        bool written = true;
        if (onServer) {
            Database::Row& row = batch.emplace_back();
            for (int c = 0; c < 5; ++c)
                row.push_back(select.isNull(c) ? std::nullopt : std::optional<std::string>(select.text(c)));
            if (batch.size() == rowsPerStatement)
                written = flush();
        } else {
            written = select.isNull(0) ? insert.bindNull(1) : insert.bind(1, select.integer(0));
            for (int c = 1; written && c < 5; ++c)
                written = select.isNull(c) ? insert.bindNull(c + 1) : insert.bindUtf8(c + 1, select.utf8(c));
            written = written && insert.run();
        }
        if (!written) {
            error = to.lastErrorText();
            return -1;
        }
        ++rows;
    }
    if (select.failed()) {
        error = from.lastErrorText();
        return -1;
    }
    if (!flush()) {
        error = to.lastErrorText();
        return -1;
    }
    return rows;
}

} // namespace

std::vector<std::string> BankBackup::copies(const std::string& bankPath)
{
    const std::size_t slash = bankPath.rfind(FileSystem::separator);
    const std::string folder = slash == std::string::npos ? std::string(".") : bankPath.substr(0, slash);
    return listCopies(folder, bankPath.substr(slash == std::string::npos ? 0 : slash + 1) + ".", fileSuffix);
}

std::vector<std::string> BankBackup::serverCopies(const std::string& folder)
{
    return listCopies(folder.empty() ? std::string(".") : folder, serverPrefix, serverSuffix);
}

std::string BankBackup::make(const std::string& bankPath, std::size_t keep, std::string& error)
{
    const std::string copy = freshName(bankPath + ".", fileSuffix);
    errno = 0;
    if (!FileSystem::copyFile(bankPath, copy)) {
        const int cause = errno;
        error = GBK("无法备份题库文件，什么也没有改动：") + bankPath + GBK("（") + copyFailure(cause) + GBK("）");
        return {};
    }
    keepNewest(copies(bankPath), keep);
    return copy;
}

std::string BankBackup::copyTable(Database& bank, const std::string& folder, std::size_t keep, std::string& error)
{
    const std::string where = folder.empty() ? std::string(".") : folder;
    const std::string copy = freshName(FileSystem::joinPath(where, serverPrefix), serverSuffix);
    bool ok;
    std::string reason;
    {
        Database file;
        ok = file.open(ConnectOptions::sqlite(copy, true)) &&
             file.execute(QuestionBank::createTableStatement(DbKind::Sqlite));
        if (ok) {
            Transaction transaction(file);
            ok = transaction.isActive() && copyRows(bank, file, reason) >= 0 && transaction.commit();
        }
        if (!ok && reason.empty())
            reason = file.lastErrorText();
    }
    if (!ok) {
        FileSystem::removeFile(copy);
        error = GBK("无法备份题库，什么也没有改动：") + copy + GBK("（") + reason + GBK("）");
        return {};
    }
    keepNewest(serverCopies(where), keep);
    return copy;
}

std::string BankBackup::make(Database& bank, const std::string& serverFolder, std::size_t keep, std::string& error)
{
    if (bank.kind() == DbKind::Sqlite)
        return make(bank.options().file, keep, error);
    return copyTable(bank, serverFolder, keep, error);
}

long long BankBackup::restore(std::string copyPath, Database& bank, const std::string& serverFolder,
                              std::string& savedAs, std::string& error)
{
    savedAs.clear();
    if (bank.kind() == DbKind::Sqlite && copyPath == bank.options().file) {
        error = GBK("备份文件就是题库本身：") + copyPath;
        return -1;
    }
    ConnectOptions options = ConnectOptions::sqlite(copyPath, false);
    Database copy;
    if (!FileSystem::exists(copyPath) || !copy.open(options) || !copy.tableExists(QuestionBank::table)) {
        error = GBK("备份文件里没有题库：") + copyPath;
        return -1;
    }
    Transaction transaction(bank, Transaction::Lock::Write);
    QuestionBank target(bank);
    // On the server the rows are locked first, so that the copy taken next
    // holds every row the restore removes.
    if (!transaction.isActive() || !target.forEachTitle([](std::string_view) {}, true)) {
        error = GBK("无法恢复题库，题库保持原样：") + bank.lastErrorText();
        return -1;
    }
    // The copy being restored may be the oldest of many; it stays.
    savedAs = make(bank, serverFolder, SIZE_MAX, error);
    if (savedAs.empty())
        return -1;
    // The rows come back with their keys, so their categories still fit them.
    if (!target.removeAll(QuestionBank::Categories::Keep)) {
        error = GBK("无法恢复题库，题库保持原样：") + bank.lastErrorText();
        FileSystem::removeFile(savedAs);
        savedAs.clear();
        return -1;
    }
    std::string reason;
    long long rows = copyRows(copy, bank, reason);
    if (rows >= 0 && !target.pruneCategories()) {
        reason = target.lastErrorText();
        rows = -1;
    }
    if (rows < 0 || !transaction.commit()) {
        error = GBK("无法恢复题库，题库保持原样：") + (rows < 0 ? reason : bank.lastErrorText());
        FileSystem::removeFile(savedAs);
        savedAs.clear();
        return -1;
    }
    return rows;
}
