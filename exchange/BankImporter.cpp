#include "exchange/BankImporter.h"

#include "exchange/SqliteStatement.h"
#include "platform/CodePage.h"

#include <sqlite3.h>

namespace {

// The statement the bank window's add runs, with its values bound.
constexpr std::string_view insertStatement = "INSERT INTO KS_SJTK (Title, Tmnr, Answer,did) VALUES (?, ?, ?, ?)";
constexpr std::size_t progressStep = 1000;

} // namespace

BankImporter::BankImporter(sqlite3* db, std::string bankPath) : db_(db), bankPath_(std::move(bankPath))
{
}

bool BankImporter::storedTitles(std::unordered_set<std::string>& titles, std::string& error)
{
    SqliteStatement select(db_, "SELECT Title FROM KS_SJTK");
    if (!select.ok()) {
        error = GBK("无法读取题库：") + SqliteStatement::errorText(db_);
        return false;
    }
    int rc;
    while ((rc = select.step()) == SQLITE_ROW)
        titles.emplace(select.text(0));
    if (rc != SQLITE_DONE) {
        error = GBK("无法读取题库：") + SqliteStatement::errorText(db_);
        return false;
    }
    return true;
}

ImportReport BankImporter::run(const std::string& filePath, const ImportOptions& options,
                               const ImportProgress& progress)
{
    const std::optional<BankFormat::Kind> kind = options.format ? options.format : BankFormat::fromPath(filePath);
    if (!kind) {
        ImportReport report;
        report.error = GBK("不认识的文件类型（可用.csv、.xlsx、.xls、.txt（Aiken）、.gift）");
        return report;
    }
    return run(BankFormat::readFile(filePath, *kind, options.encoding), options, progress);
}

ImportReport BankImporter::run(const ParsedBank& parsed, const ImportOptions& options, const ImportProgress& progress)
{
    ImportReport report;
    if (!parsed.error.empty()) {
        report.error = parsed.error;
        return report;
    }
    std::unordered_set<std::string> titles;
    if (!storedTitles(titles, report.error))
        return report;
    report.checked = BankChecker(std::move(titles)).check(parsed);
    report.ok = true;
    const std::vector<CheckedQuestion>& questions = report.checked.questions;
    if (options.dryRun || questions.empty() || (options.strict && !report.checked.problems.empty()))
        return report;

    report.backupPath = BankBackup::make(bankPath_, options.keepBackups, report.error);
    if (report.backupPath.empty()) {
        report.ok = false;
        return report;
    }
    report.ok = write(questions, report, progress);
    return report;
}

bool BankImporter::write(const std::vector<CheckedQuestion>& questions, ImportReport& report,
                         const ImportProgress& progress)
{
    if (sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
        report.error = GBK("无法开始写入题库：") + SqliteStatement::errorText(db_);
        return false;
    }
    std::size_t done = 0;
    {
        SqliteStatement insert(db_, insertStatement);
        bool ok = insert.ok();
        for (; ok && done < questions.size(); ++done) {
            const CheckedQuestion& q = questions[done];
            ok = insert.runWith({q.title, q.tmnr, q.answer, q.did});
            if (progress && (done + 1) % progressStep == 0)
                progress(done + 1, questions.size());
        }
        if (!ok) {
            report.error = GBK("写入题库失败，题库保持原样：") + SqliteStatement::errorText(db_);
            if (done < questions.size())
                report.error = BankChecker::describe({questions[done].line, report.error});
        }
    }
    if (report.error.empty() && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
        report.imported = questions.size();
        if (progress)
            progress(questions.size(), questions.size());
        return true;
    }
    if (report.error.empty())
        report.error = GBK("写入题库失败，题库保持原样：") + SqliteStatement::errorText(db_);
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}
