#include "exchange/BankExporter.h"

#include "db/Database.h"
#include "exchange/SheetColumns.h"
#include "platform/CodePage.h"
#include "questions/QuestionBank.h"
#include "questions/QuestionRecord.h"

bool BankExporter::read(const std::string& query, std::vector<BankQuestion>& questions)
{
    error_.clear();
    // Once the bank has categories, the whole bank goes out with them.
    const bool whole = query.empty() || query == QuestionBank::listAllQuery();
    Statement select = bank_.prepare(!whole                                ? query
                                     : QuestionBank(bank_).hasCategories() ? QuestionBank::categorizedListQuery()
                                                                           : QuestionBank::listAllQuery());
    const std::string uncategorised = platform::gbkToUtf8(QuestionBank::uncategorisedText());
    // The server names the columns once the query ran, so they are looked up
    // on the first row.
    int title = -1, tmnr = -1, answer = -1, category = -1;
    bool named = select.isValid();
    while (named && select.step()) {
        if (title < 0) {
            title = select.columnIndex("Title");
            tmnr = select.columnIndex("Tmnr");
            answer = select.columnIndex("Answer");
            category = select.columnIndex("Category");
            if (title < 0 || tmnr < 0 || answer < 0) {
                named = false;
                break;
            }
        }
        BankQuestion q;
        q.title = select.utf8(title);
        q.options = SheetColumns::splitPacked(select.utf8(tmnr));
        if (q.options.size() > QuestionRecord::slotCount)
            q.options.resize(QuestionRecord::slotCount);
        while (!q.options.empty() && q.options.back().empty())
            q.options.pop_back();
        q.answer = select.utf8(answer);
        if (category >= 0)
            q.category = select.utf8(category);
        if (q.category == uncategorised)
            q.category.clear();
        questions.push_back(std::move(q));
    }
    // A query without rows still tells its columns where they are known.
    if (named && title < 0 && select.columnCount() > 0)
        named =
            select.columnIndex("Title") >= 0 && select.columnIndex("Tmnr") >= 0 && select.columnIndex("Answer") >= 0;
    if (!named || select.failed()) {
        error_ = GBK("无法读取题库：") + bank_.lastErrorText();
        return false;
    }
    return true;
}

int BankExporter::exportTo(const std::string& path, BankFormat::Kind kind, const std::string& query,
                           TextEncoding encoding)
{
    std::vector<BankQuestion> questions;
    leftOut_.clear();
    if (!read(query, questions))
        return -1;
    if (!BankFormat::writeFile(path, kind, questions, error_, encoding))
        return -1;
    leftOut_ = BankFormat::leftOut(kind, questions);
    return static_cast<int>(questions.size() - leftOut_.size());
}
