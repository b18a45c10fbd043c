#include "papers/PaperBook.h"

#include "db/Dialect.h"
#include "db/Transaction.h"
#include "platform/CodePage.h"
#include "questions/QuestionBank.h"
#include "questions/QuestionRecord.h"

#include <algorithm>
#include <charconv>

namespace {

const std::string tableName = PaperBook::table;
const std::vector<std::string> columns = {
    "Name",         "Rules",          "Minutes",         "Mode",          "HandIn",  "Shuffle",
    "SinglePoints", "MultiplePoints", "JudgementPoints", "PartialCredit", "PassMark"};

int intOf(const std::optional<std::string>& cell)
{
    int value = 0;
    if (cell)
        std::from_chars(cell->data(), cell->data() + cell->size(), value);
    return value;
}

} // namespace

std::string PaperBook::createTableStatement(DbKind kind)
{
    return "CREATE TABLE IF NOT EXISTS " + tableName +
           " (Name VARCHAR(100) NOT NULL PRIMARY KEY, Rules TEXT, Minutes INTEGER, Mode INTEGER, HandIn INTEGER,"
           " Shuffle INTEGER, SinglePoints INTEGER, MultiplePoints INTEGER, JudgementPoints INTEGER,"
           " PartialCredit INTEGER, PassMark INTEGER)" +
           Dialect::gbkTableOptions(kind);
}

bool PaperBook::fail()
{
    error_ = database_.lastErrorText();
    return false;
}

bool PaperBook::read(std::string_view condition, std::vector<PaperDefinition>& papers)
{
    error_.clear();
    papers.clear();
    if (!database_.tableExists(tableName))
        return database_.lastErrorText().empty() || fail();
    std::string select = "SELECT ";
    for (std::size_t i = 0; i < columns.size(); ++i)
        select += (i ? ", " : "") + columns[i];
    Database::Rows rows;
    if (!database_.query(select + " FROM " + tableName + std::string(condition), rows))
        return fail();
    for (const Database::Row& row : rows) {
        PaperDefinition paper;
        paper.name = row[0].value_or("");
        paper.rules = PaperDefinition::rulesFromText(row[1].value_or(""));
        paper.minutes = intOf(row[2]);
        paper.mode = intOf(row[3]) == 1 ? PaperDefinition::Mode::Exam : PaperDefinition::Mode::Practice;
        paper.handInWhenTimeUp = intOf(row[4]) != 0;
        paper.shuffleOptions = intOf(row[5]) != 0;
        for (int kind = 0; kind < QuestionKind::count; ++kind)
            paper.pointsTenths[kind] = intOf(row[6 + kind]);
        paper.partialCredit = intOf(row[9]) != 0;
        paper.passMarkTenths = intOf(row[10]);
        papers.push_back(std::move(paper));
    }
    std::sort(papers.begin(), papers.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return true;
}

bool PaperBook::list(std::vector<PaperDefinition>& papers)
{
    return read("", papers);
}

std::optional<PaperDefinition> PaperBook::find(std::string_view name)
{
    std::vector<PaperDefinition> papers;
    if (!read(" WHERE Name=" + Dialect::literal(name), papers))
        return std::nullopt;
    // The server compares names without regard to trailing blanks or letter case.
    for (PaperDefinition& paper : papers)
        if (paper.name == name)
            return std::move(paper);
    return std::nullopt;
}

bool PaperBook::save(const PaperDefinition& paper, std::string_view replacing)
{
    error_ = paper.validate();
    if (!error_.empty())
        return false;
    // On the server a CREATE ends any transaction: the table comes first.
    if (!createTable())
        return false;
    Transaction transaction(database_);
    if (!transaction.isActive())
        return fail();
    if (!replacing.empty() && replacing != paper.name &&
        !database_.execute("DELETE FROM " + tableName + " WHERE Name=" + Dialect::literal(replacing)))
        return fail();
    // The server holds names that differ only in letter case or trailing
    // blanks as one: such a name would overwrite another paper.
    Database::Rows same;
    if (!database_.query("SELECT Name FROM " + tableName + " WHERE Name=" + Dialect::literal(paper.name), same))
        return fail();
    for (const Database::Row& row : same)
        if (row[0] && *row[0] != paper.name && *row[0] != replacing) {
            error_ = GBK("已有名为“") + *row[0] + GBK("”的试卷，请换一个名称。");
            return false;
        }
    if (!store(paper) || !transaction.commit())
        return fail();
    return true;
}

bool PaperBook::store(const PaperDefinition& paper)
{
    const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    const std::vector<std::string> values = {Dialect::literal(paper.name),
                                             Dialect::literal(PaperDefinition::rulesText(paper.rules)),
                                             std::to_string(paper.minutes),
                                             flag(paper.mode == PaperDefinition::Mode::Exam),
                                             flag(paper.handInWhenTimeUp),
                                             flag(paper.shuffleOptions),
                                             std::to_string(paper.pointsTenths[QuestionKind::Single]),
                                             std::to_string(paper.pointsTenths[QuestionKind::Multiple]),
                                             std::to_string(paper.pointsTenths[QuestionKind::Judgement]),
                                             flag(paper.partialCredit),
                                             std::to_string(paper.passMarkTenths)};
    return database_.execute(Dialect::upsert(database_.kind(), tableName, columns, values, 1));
}

bool PaperBook::replaceAll(const std::vector<PaperDefinition>& papers)
{
    error_.clear();
    // A bank file that never had papers keeps without their table.
    if (papers.empty() && database_.kind() == DbKind::Sqlite && !database_.tableExists(tableName))
        return database_.lastErrorText().empty() || fail();
    if (!createTable())
        return false;
    Transaction transaction(database_);
    if (!transaction.isActive() || !database_.execute("DELETE FROM " + tableName))
        return fail();
    // Copied as they are: the bank they were saved against checked them.
    for (const PaperDefinition& paper : papers)
        if (!store(paper))
            return fail();
    return transaction.commit() || fail();
}

bool PaperBook::createTable()
{
    error_.clear();
    if (database_.tableExists(tableName))
        return true;
    if (!database_.lastErrorText().empty())
        return fail();
    if (database_.execute(createTableStatement(database_.kind())))
        return true;
    // The room's accounts may read and write rows only.
    error_ = GBK("题库中还没有试卷表 ") + tableName + GBK("，也无法建立它！\n") + database_.lastErrorText();
    return false;
}

bool PaperBook::remove(std::string_view name)
{
    error_.clear();
    if (!database_.tableExists(tableName))
        return database_.lastErrorText().empty() || fail();
    return database_.execute("DELETE FROM " + tableName + " WHERE Name=" + Dialect::literal(name)) || fail();
}

bool PaperBook::countQuestions(BankCounts& counts)
{
    counts = {};
    QuestionBank bank(database_);
    const bool read = bank.forEachSorting([&](const QuestionBank::Sorting& question) {
        counts.add(question.category,
                   QuestionKind::of(QuestionRecord::cleanDrawnAnswer(question.answer), question.did));
    });
    if (!read)
        error_ = bank.lastErrorText();
    else
        error_.clear();
    return read;
}
