#include "exchange/BankImporter.h"

#include "exchange/SqliteStatement.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <sqlite3.h>

#include <optional>

namespace {

// The statement the bank window's add runs, with its values bound.
constexpr std::string_view insertStatement = "INSERT INTO KS_SJTK (Title, Tmnr, Answer,did) VALUES (?, ?, ?, ?)";
constexpr std::size_t progressStep = 1000;
constexpr std::size_t batchSize = 256;

} // namespace

BankImporter::BankImporter(sqlite3* db, std::string bankPath) : db_(db), bankPath_(std::move(bankPath))
{
}

bool BankImporter::storedTitles(TitleIndex& titles, std::string& error)
{
    SqliteStatement select(db_, "SELECT Title FROM KS_SJTK");
    if (!select.ok()) {
        error = GBK("无法读取题库：") + SqliteStatement::errorText(db_);
        return false;
    }
    int rc;
    while ((rc = select.step()) == SQLITE_ROW)
        titles.addStored(select.text(0));
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
    // About a hundred bytes a question: enough for the progress to move
    // steadily and for the duplicate check to make room once.
    const std::uint64_t bytes = platform::FileSystem::fileSize(filePath).value_or(0);
    const std::size_t expected = static_cast<std::size_t>(std::min<std::uint64_t>(bytes / 100, 1u << 22));
    return run(
        [&](const std::function<void(BankQuestion &&)>& each, std::vector<BankProblem>& problems, std::string& error) {
            return BankFormat::forEachQuestion(filePath, *kind, options.encoding, each, problems, error);
        },
        expected, options, progress);
}

ImportReport BankImporter::run(const ParsedBank& parsed, const ImportOptions& options, const ImportProgress& progress)
{
    return run(
        [&](const std::function<void(BankQuestion &&)>& each, std::vector<BankProblem>& problems, std::string& error) {
            error = parsed.error;
            if (!error.empty())
                return false;
            problems.insert(problems.end(), parsed.problems.begin(), parsed.problems.end());
            for (BankQuestion q : parsed.questions)
                each(std::move(q));
            return true;
        },
        parsed.questions.size(), options, progress);
}

ImportReport BankImporter::run(const Source& source, std::size_t expected, const ImportOptions& options,
                               const ImportProgress& progress)
{
    ImportReport report;
    TitleIndex titles;
    if (!storedTitles(titles, report.error))
        return report;
    BankChecker checker(std::move(titles));
    checker.expect(expected);
    CheckedBank& checked = report.checked;

    const bool writing = !options.dryRun;
    std::optional<SqliteStatement> insert;
    if (writing) {
        report.backupPath = BankBackup::make(bankPath_, options.keepBackups, report.error);
        if (report.backupPath.empty())
            return report;
        if (sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
            report.error = GBK("无法开始写入题库：") + SqliteStatement::errorText(db_);
            discardBackup(report);
            return report;
        }
        insert.emplace(db_, insertStatement);
        if (!insert->ok())
            report.error = GBK("无法写入题库：") + SqliteStatement::errorText(db_);
    }

    // Rows go in by the batch, so that the database's code and pages stay
    // warm through a run of inserts instead of taking turns with the checks.
    std::vector<CheckedQuestion> batch(writing ? batchSize : 1);
    std::size_t pending = 0;
    const auto writePending = [&] {
        for (std::size_t i = 0; i < pending && report.error.empty(); ++i) {
            const CheckedQuestion& row = batch[i];
            if (!insert->runWith({row.title, row.tmnr, row.answer, row.did}))
                report.error = BankChecker::describe(
                    {row.line, GBK("写入题库失败，题库保持原样：") + SqliteStatement::errorText(db_)});
        }
        pending = 0;
    };
    std::vector<BankProblem> readerProblems;
    std::string readError;
    const bool read = source(
        [&](BankQuestion&& q) {
            ++checked.questionsRead;
            if (!checker.checkOne(q, batch[pending], checked.problems))
                return;
            ++checked.accepted;
            if (writing && ++pending == batch.size())
                writePending();
            if (progress && checked.questionsRead % progressStep == 0)
                progress(checked.questionsRead, std::max(expected, checked.questionsRead));
        },
        readerProblems, readError);
    if (read)
        writePending();
    checked.questionsRead += readerProblems.size();
    checked.problems.insert(checked.problems.end(), readerProblems.begin(), readerProblems.end());
    BankChecker::sortProblems(checked.problems);
    if (!read && report.error.empty())
        report.error = readError;
    if (!read)
        checked = CheckedBank{};

    if (!writing) {
        report.ok = report.error.empty();
        return report;
    }
    insert.reset();
    const bool keep = report.error.empty() && checked.accepted > 0 && !(options.strict && !checked.problems.empty());
    if (keep && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
        report.imported = checked.accepted;
        report.ok = true;
        if (progress)
            progress(checked.questionsRead, checked.questionsRead);
        return report;
    }
    if (keep)
        report.error = GBK("写入题库失败，题库保持原样：") + SqliteStatement::errorText(db_);
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    // Nothing changed, so the copy taken for this import is not needed.
    discardBackup(report);
    report.ok = report.error.empty();
    return report;
}

void BankImporter::discardBackup(ImportReport& report)
{
    if (!report.backupPath.empty())
        platform::FileSystem::removeFile(report.backupPath);
    report.backupPath.clear();
}
