#include "exchange/BankImporter.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "questions/QuestionBank.h"

#include <optional>

namespace {

constexpr std::size_t progressStep = 1000;
constexpr std::size_t batchSize = 256;

// The bank's own refusal, when that is why a step failed, names the cause
// better than the statement's text (and is no fault of any row).
std::string failureText(const Database& bank, const std::string& otherwise)
{
    switch (bank.lastRefusal()) {
    case Database::Refusal::Busy:
        return GBK("题库正被别的程序使用，等候后仍未空出，题库保持原样，请稍后再试");
    case Database::Refusal::ReadOnly:
        return GBK("题库是只读的，不能写入，题库保持原样：") + bank.lastErrorText();
    default:
        return otherwise;
    }
}

} // namespace

BankImporter::BankImporter(Database& bank, std::string serverBackupFolder)
    : bank_(bank), serverBackupFolder_(std::move(serverBackupFolder))
{
}

bool BankImporter::storedTitles(TitleIndex& titles, std::string& error, bool lockRows)
{
    QuestionBank questions(bank_);
    if (questions.forEachTitle([&titles](std::string_view title) { titles.addStored(title); }, lockRows))
        return true;
    error = failureText(bank_, GBK("无法读取题库：") + questions.lastErrorText());
    return false;
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
    // Before the bank is locked or copied: a file that cannot be read leaves
    // no backup behind.
    if (ImportReport report; !BankFormat::checkReadable(filePath, report.error))
        return report;
    // About a hundred bytes a question: enough for the progress to move
    // steadily and for the duplicate check to make room once.
    const std::uint64_t bytes = platform::FileSystem::fileSize(filePath).value_or(0);
    const std::size_t expected = static_cast<std::size_t>(std::min<std::uint64_t>(bytes / 100, 1u << 22));
    std::vector<std::string> notes;
    ImportReport report = run(
        [&](const std::function<void(BankQuestion &&)>& each, std::vector<BankProblem>& problems, std::string& error) {
            return BankFormat::forEachQuestion(filePath, *kind, options.encoding, each, problems, error, &notes,
                                               options.wholeCategoryPath);
        },
        expected, options, progress);
    report.notes.insert(report.notes.begin(), notes.begin(), notes.end());
    return report;
}

ImportReport BankImporter::run(const ParsedBank& parsed, const ImportOptions& options, const ImportProgress& progress)
{
    ImportReport report = run(
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
    report.notes.insert(report.notes.begin(), parsed.notes.begin(), parsed.notes.end());
    return report;
}

ImportReport BankImporter::run(const Source& source, std::size_t expected, const ImportOptions& options,
                               const ImportProgress& progress)
{
    ImportReport report;
    const bool writing = !options.dryRun;
    std::optional<Transaction> transaction;
    if (writing) {
        transaction.emplace(bank_, Transaction::Lock::Write);
        if (!transaction->isActive()) {
            report.error = failureText(bank_, GBK("无法开始写入题库：") + bank_.lastErrorText());
            return report;
        }
    }
    TitleIndex titles;
    if (!storedTitles(titles, report.error, writing))
        return report;
    BankChecker checker(std::move(titles));
    checker.expect(expected);
    CheckedBank& checked = report.checked;

    Statement insert;
    if (writing) {
        // Taken under the transaction's lock: the copy is the bank exactly as
        // the import found it.
        report.backupPath = BankBackup::make(bank_, serverBackupFolder_, options.keepBackups, report.error);
        if (report.backupPath.empty())
            return report;
        insert = QuestionBank(bank_).prepareInsert();
        if (!insert.isValid())
            report.error = failureText(bank_, GBK("无法写入题库：") + bank_.lastErrorText());
    }

    // Rows go in by the batch, so that the database's code and pages stay
    // warm through a run of inserts instead of taking turns with the checks.
    std::vector<CheckedQuestion> batch(writing ? batchSize : 1);
    std::size_t pending = 0;
    // A server takes the batch in one statement, not a round trip a row; row
    // by row only when that fails, to name the row at fault (the failed
    // statement left nothing behind).
    const bool onServer = bank_.kind() == DbKind::Mysql;
    Database::Rows serverRows;
    // Categories go in once the rows they belong to have their keys; the
    // table is made only when the first one comes, so that an import without
    // categories leaves the bank as it was in that respect too. A server
    // commits whatever came before a CREATE TABLE, so there the categories
    // wait for the rows to be committed when the table is still to be made.
    enum class CategoryTable { Unknown, Present, Later } categoryTable = CategoryTable::Unknown;
    Database::Rows lateCategories;
    const auto writeCategories = [&](std::size_t rows) {
        for (std::size_t i = 0; i < rows && report.error.empty(); ++i) {
            const CheckedQuestion& row = batch[i];
            if (row.category.empty())
                continue;
            if (categoryTable == CategoryTable::Unknown) {
                if (QuestionBank(bank_).hasCategories())
                    categoryTable = CategoryTable::Present;
                else if (onServer)
                    categoryTable = CategoryTable::Later;
                else if (bank_.execute(QuestionBank::createCategoryTableStatement(bank_.kind())))
                    categoryTable = CategoryTable::Present;
            }
            const std::string title = platform::utf8ToGbk(row.title);
            const std::string category = platform::utf8ToGbk(row.category);
            if (categoryTable == CategoryTable::Later)
                lateCategories.push_back({title, category});
            else if (categoryTable != CategoryTable::Present ||
                     !bank_.execute(QuestionBank::setCategoryByTitleStatement(title, category)))
                report.error = failureText(bank_, BankChecker::describe({row.line, GBK("写入分类失败，题库保持原样：") +
                                                                                       bank_.lastErrorText()}));
        }
    };
    const auto writeRows = [&] {
        if (onServer && pending > 1 && report.error.empty()) {
            serverRows.resize(pending);
            for (std::size_t i = 0; i < pending; ++i) {
                const CheckedQuestion& row = batch[i];
                serverRows[i] = {platform::utf8ToGbk(row.title), platform::utf8ToGbk(row.tmnr),
                                 platform::utf8ToGbk(row.answer), platform::utf8ToGbk(row.did)};
            }
            if (bank_.execute(QuestionBank::insertRowsStatement(serverRows, false))) {
                pending = 0;
                return;
            }
        }
        for (std::size_t i = 0; i < pending && report.error.empty(); ++i) {
            const CheckedQuestion& row = batch[i];
            if (!insert.bindUtf8(1, row.title) || !insert.bindUtf8(2, row.tmnr) || !insert.bindUtf8(3, row.answer) ||
                !insert.bindUtf8(4, row.did) || !insert.run())
                report.error = failureText(bank_, BankChecker::describe({row.line, GBK("写入题库失败，题库保持原样：") +
                                                                                       bank_.lastErrorText()}));
        }
        pending = 0;
    };
    const auto writePending = [&] {
        const std::size_t rows = pending;
        writeRows();
        if (report.error.empty())
            writeCategories(rows);
    };
    std::vector<BankProblem> readerProblems;
    std::string readError;
    const bool read = source(
        [&](BankQuestion&& q) {
            ++checked.questionsRead;
            if (q.category.empty())
                q.category = options.category;
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
    insert = Statement();
    const bool keep = report.error.empty() && checked.accepted > 0 && !(options.strict && !checked.problems.empty());
    if (keep && transaction->commit()) {
        report.imported = checked.accepted;
        report.ok = true;
        if (!lateCategories.empty() && !storeCategories(lateCategories))
            report.notes.push_back(GBK("题目已导入，但分类没有写入：") + bank_.lastErrorText());
        if (progress)
            progress(checked.questionsRead, checked.questionsRead);
        return report;
    }
    if (keep)
        report.error = failureText(bank_, GBK("写入题库失败，题库保持原样：") + bank_.lastErrorText());
    transaction.reset();
    // Nothing changed, so the copy taken for this import is not needed.
    discardBackup(report);
    report.ok = report.error.empty();
    return report;
}

bool BankImporter::storeCategories(const Database::Rows& categories)
{
    if (!bank_.execute(QuestionBank::createCategoryTableStatement(bank_.kind())))
        return false;
    Transaction transaction(bank_, Transaction::Lock::Write);
    if (!transaction.isActive())
        return false;
    for (const Database::Row& row : categories) {
        if (!bank_.execute(QuestionBank::setCategoryByTitleStatement(row[0].value_or(""), row[1].value_or(""))))
            return false;
    }
    return transaction.commit();
}

void BankImporter::discardBackup(ImportReport& report)
{
    if (!report.backupPath.empty())
        platform::FileSystem::removeFile(report.backupPath);
    report.backupPath.clear();
}
