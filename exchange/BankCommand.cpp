#include "exchange/BankCommand.h"

#include "db/Database.h"
#include "exchange/BankExporter.h"
#include "exchange/BankImporter.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "questions/QuestionBank.h"
#include "room/RoomConfig.h"

#include <optional>

#include <unistd.h>

namespace {

struct Arguments {
    std::string command;
    std::string file;      // GBK, as every path of the program
    std::string shownFile; // as given, for the messages
    std::optional<std::string> bank;
    std::optional<std::string> ini;
    std::optional<std::string> search;
    std::string category;
    std::optional<BankFormat::Kind> format;
    TextEncoding encoding = TextEncoding::Auto;
    bool encodingGiven = false;
    bool dryRun = false;
    bool strict = false;
    bool categoryPath = false;
};

std::optional<Arguments> parse(const std::vector<std::string>& args, std::string& error)
{
    Arguments a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == "--dry-run") {
            a.dryRun = true;
        } else if (arg == "--strict") {
            a.strict = true;
        } else if (arg == "--category-path") {
            a.categoryPath = true;
        } else if (arg == "--bank" || arg == "--ini" || arg == "--search" || arg == "--format" || arg == "--encoding" ||
                   arg == "--category") {
            std::optional<std::string> v = value();
            if (!v)
                return std::nullopt;
            if (arg == "--bank" || arg == "--ini") {
                std::optional<std::string>& path = arg == "--bank" ? a.bank : a.ini;
                path = platform::FileSystem::fromSystemPath(*v);
                if (!path) {
                    error = "the " + arg.substr(2) + " name " + *v + " has characters GBK cannot hold";
                    return std::nullopt;
                }
            } else if (arg == "--search") {
                a.search = *v;
            } else if (arg == "--category") {
                a.category = *v;
            } else if (arg == "--format") {
                a.format = BankFormat::fromName(*v);
                if (!a.format) {
                    error = "unknown format " + *v + " (csv, xlsx, xls, aiken, gift)";
                    return std::nullopt;
                }
            } else {
                bool ok = false;
                a.encoding = TextDecoder::parse(*v, ok);
                a.encodingGiven = true;
                if (!ok) {
                    error = "unknown encoding " + *v + " (auto, utf8, gbk)";
                    return std::nullopt;
                }
            }
        } else if (arg.starts_with("--")) {
            error = "unknown option " + arg;
            return std::nullopt;
        } else if (a.command.empty()) {
            a.command = arg;
        } else if (a.shownFile.empty()) {
            a.shownFile = arg;
        } else {
            error = "unexpected argument " + arg;
            return std::nullopt;
        }
    }
    if (a.bank && a.ini) {
        error = "give --bank or --ini, not both";
        return std::nullopt;
    }
    if (a.command != "import" && a.command != "export" && a.command != "template" && a.command != "restore") {
        error = a.command.empty() ? "no command given" : "unknown command " + a.command;
        return std::nullopt;
    }
    if ((!a.category.empty() || a.categoryPath) && a.command != "import") {
        error = "--category and --category-path are for import";
        return std::nullopt;
    }
    if (a.shownFile.empty()) {
        error = a.command + " needs a FILE";
        return std::nullopt;
    }
    const std::optional<std::string> file = platform::FileSystem::fromSystemPath(a.shownFile);
    if (!file) {
        error = "the file name " + a.shownFile + " has characters GBK cannot hold";
        return std::nullopt;
    }
    a.file = *file;
    if (a.command == "restore")
        return a;
    if (!a.format)
        a.format = BankFormat::fromPath(a.file);
    if (!a.format) {
        error = "cannot tell the format of " + a.shownFile + " from its extension; give --format";
        return std::nullopt;
    }
    return a;
}

// "\r[#####.....]  45%" on a terminal only, so that logs of scripts stay clean.
class ProgressBar {
public:
    explicit ProgressBar(std::FILE* err) : err_(err), shown_(::isatty(::fileno(err)) == 1) {}
    ~ProgressBar()
    {
        if (drawn_)
            std::fputc('\n', err_);
    }
    void operator()(std::size_t done, std::size_t total)
    {
        if (!shown_ || total == 0)
            return;
        constexpr int width = 40;
        const int filled = static_cast<int>(done * width / total);
        std::fprintf(err_, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(), std::string(width - filled, '.').c_str(),
                     static_cast<int>(done * 100 / total));
        std::fflush(err_);
        drawn_ = true;
    }

private:
    std::FILE* err_;
    bool shown_;
    bool drawn_ = false;
};

void say(std::FILE* to, const std::string& gbk)
{
    std::fprintf(to, "%s\n", platform::gbkToUtf8(gbk).c_str());
}

// The bank the tool works on, and how it names it to the user.
struct Target {
    ConnectOptions options;
    std::string shownName;    // GBK
    std::string backupFolder; // where copies of a server bank go
};

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind(platform::FileSystem::separator);
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

Target localBank(const std::string& path)
{
    Target target{ConnectOptions::sqlite(path, false), GBK("题库：本机文件") + path, folderOf(path)};
    // Another program may be writing the file; a moment's wait is better than a failure.
    target.options.busyTimeoutMs = 5000;
    return target;
}

std::optional<Target> findBank(const Arguments& a, const std::string& defaultBank, std::string& error)
{
    using platform::FileSystem;
    if (a.bank)
        return localBank(*a.bank);
    const std::string ini = a.ini.value_or(FileSystem::joinPath(folderOf(defaultBank), "i.ini"));
    if (!FileSystem::exists(ini)) {
        if (a.ini) {
            error = GBK("找不到配置文件：") + ini;
            return std::nullopt;
        }
        return localBank(defaultBank);
    }
    const RoomConfig room = RoomConfig::read(ini);
    if (!room.onServer())
        return localBank(defaultBank);
    if (!room.portValid()) {
        error = GBK("配置文件中的端口不对：") + *room.badPort + GBK("（") + ini + GBK("）");
        return std::nullopt;
    }
    return Target{room.connectOptions(),
                  GBK("题库：服务器") + room.host + ":" + std::to_string(room.port) + GBK("上数据库") + room.database +
                      GBK("的") + QuestionBank::table + GBK("表"),
                  folderOf(ini)};
}

// The bank opened, or false after saying why.
bool openBank(const Target& target, Database& bank, std::FILE* err)
{
    const bool local = target.options.kind == DbKind::Sqlite;
    // A bank another program holds locked was waited for; saying so beats
    // blaming the file.
    const auto busy = [&] {
        if (bank.lastRefusal() != Database::Refusal::Busy)
            return false;
        say(err, local ? GBK("题库正被别的程序使用，等候") + std::to_string(target.options.busyTimeoutMs / 1000) +
                             GBK("秒后仍未空出，请稍后再试：") + target.options.file
                       : GBK("题库正被别的程序使用，请稍后再试：") + bank.lastErrorText());
        return true;
    };
    if (!bank.open(target.options)) {
        if (busy())
            return false;
        say(err, local ? GBK("无法打开题库文件：") + target.options.file
                       : GBK("无法连接题库服务器：") + bank.lastErrorText());
        return false;
    }
    Database::Rows none;
    if (!bank.query(QuestionBank::probeQuery(), none)) {
        if (busy())
            return false;
        say(err, local ? GBK("文件中没有题库表") + QuestionBank::table + GBK("：") + target.options.file
                       : GBK("服务器上没有题库表") + QuestionBank::table + GBK("：") + bank.lastErrorText());
        return false;
    }
    return true;
}

int runImport(const Arguments& a, const Target& target, std::FILE* out, std::FILE* err)
{
    Database bank;
    if (!openBank(target, bank, err))
        return BankCommand::Failure;
    ImportOptions options;
    options.dryRun = a.dryRun;
    options.strict = a.strict;
    options.encoding = a.encoding;
    options.format = a.format;
    options.category = a.category;
    options.wholeCategoryPath = a.categoryPath;
    ImportReport report;
    {
        ProgressBar bar(err);
        report =
            BankImporter(bank, target.backupFolder).run(a.file, options, [&bar](std::size_t done, std::size_t total) {
                bar(done, total);
            });
    }
    for (const BankProblem& p : report.checked.problems)
        std::fprintf(out, "%s:%d: %s\n", a.shownFile.c_str(), p.line, platform::gbkToUtf8(p.reason).c_str());
    if (!report.ok && report.checked.questionsRead == 0) {
        say(err, report.error);
        return BankCommand::Failure;
    }
    for (const std::string& note : report.notes)
        say(out, note);
    const CheckedBank& c = report.checked;
    say(out, GBK("读到") + std::to_string(c.questionsRead) + GBK("道题，可导入") + std::to_string(c.accepted) +
                 GBK("道，问题") + std::to_string(c.problems.size()) + GBK("处。"));
    if (!report.ok) {
        say(err, report.error);
        return BankCommand::Failure;
    }
    if (a.dryRun) {
        say(out, GBK("只做了检查，题库没有改动。"));
    } else if (report.imported == 0) {
        say(out, a.strict && !c.problems.empty() ? GBK("严格模式：有问题，一道题也没有导入。")
                                                 : GBK("没有可导入的题，题库没有改动。"));
    } else {
        say(out,
            GBK("已导入") + std::to_string(report.imported) + GBK("道题；导入前的题库已备份为") + report.backupPath);
    }
    say(out, target.shownName);
    return c.problems.empty() ? BankCommand::Success : BankCommand::ProblemsFound;
}

int runExport(const Arguments& a, const Target& target, std::FILE* out, std::FILE* err)
{
    Database bank;
    if (!openBank(target, bank, err))
        return BankCommand::Failure;
    // The bank window's search.
    const std::string query = a.search ? QuestionBank::searchQuery(platform::utf8ToGbk(*a.search)) : std::string();
    BankExporter exporter(bank);
    const int written = exporter.exportTo(a.file, *a.format, query,
                                          a.encoding == TextEncoding::Gbk ? TextEncoding::Gbk : TextEncoding::Utf8);
    if (written < 0) {
        say(err, exporter.lastErrorText());
        return BankCommand::Failure;
    }
    for (const BankProblem& p : exporter.leftOut())
        say(out, GBK("第") + std::to_string(p.line) + GBK("道题") + p.reason);
    say(out, GBK("已导出") + std::to_string(written) + GBK("道题。"));
    say(out, target.shownName);
    return exporter.leftOut().empty() ? BankCommand::Success : BankCommand::ProblemsFound;
}

int runRestore(const Arguments& a, const Target& target, std::FILE* out, std::FILE* err)
{
    Database bank;
    if (!openBank(target, bank, err))
        return BankCommand::Failure;
    std::string error, savedAs;
    // A copy of a bank may be of any size, but it must be a file that can be read.
    if (!BankFormat::checkReadable(a.file, error, UINT64_MAX)) {
        say(err, error);
        return BankCommand::Failure;
    }
    const long long rows = BankBackup::restore(a.file, bank, target.backupFolder, savedAs, error);
    if (rows < 0) {
        say(err, error);
        return BankCommand::Failure;
    }
    say(out, GBK("已从备份恢复") + std::to_string(rows) + GBK("道题：") + a.file);
    say(out, GBK("恢复前的题库已备份为") + savedAs);
    say(out, target.shownName);
    return BankCommand::Success;
}

} // namespace

std::string BankCommand::usage()
{
    return "usage: mockexam-bank [--bank FILE | --ini FILE] import FILE [--dry-run] [--strict] [--format F] "
           "[--encoding E] [--category TEXT] [--category-path]\n"
           "       mockexam-bank [--bank FILE | --ini FILE] export FILE [--search TEXT] [--format F] [--encoding E]\n"
           "       mockexam-bank [--bank FILE | --ini FILE] restore BACKUP\n"
           "       mockexam-bank template FILE [--format F] [--encoding E]\n"
           "formats: csv, xlsx, xls, aiken (.txt), gift; encodings (csv): auto, utf8, gbk\n"
           "category: for the questions the file files under none; --category-path: a GIFT category is\n"
           "      its whole path, not its last name\n"
           "bank: --bank FILE, or the server of the [db] section of --ini FILE (default: i.ini beside\n"
           "      the program), else tk.db beside the program\n"
           "exit: 0 done, 1 problems found, 2 usage, 3 file or bank failure\n";
}

int BankCommand::run(const std::vector<std::string>& arguments, const std::string& defaultBank, std::FILE* out,
                     std::FILE* err)
{
    std::string error;
    const std::optional<Arguments> a = parse(arguments, error);
    if (!a) {
        std::fprintf(err, "mockexam-bank: %s\n%s", error.c_str(), usage().c_str());
        return UsageError;
    }
    if (a->command == "template") {
        if (!BankFormat::writeTemplate(a->file, *a->format, error,
                                       a->encoding == TextEncoding::Gbk ? TextEncoding::Gbk : TextEncoding::Utf8)) {
            say(err, error);
            return Failure;
        }
        say(out, GBK("模板已写入：") + a->file);
        return Success;
    }
    const std::optional<Target> target = findBank(*a, defaultBank, error);
    if (!target) {
        say(err, error);
        return Failure;
    }
    if (a->command == "restore")
        return runRestore(*a, *target, out, err);
    return a->command == "import" ? runImport(*a, *target, out, err) : runExport(*a, *target, out, err);
}
