#include "exchange/BankExporter.h"

#include "exchange/SheetColumns.h"
#include "exchange/SqliteStatement.h"
#include "platform/CodePage.h"
#include "questions/QuestionRecord.h"

#include <sqlite3.h>

bool BankExporter::read(const std::string& query, std::vector<BankQuestion>& questions)
{
    error_.clear();
    SqliteStatement select(db_, platform::gbkToUtf8(query));
    const int title = select.columnIndex("Title");
    const int tmnr = select.columnIndex("Tmnr");
    const int answer = select.columnIndex("Answer");
    if (!select.ok() || title < 0 || tmnr < 0 || answer < 0) {
        error_ = GBK("无法读取题库：") + SqliteStatement::errorText(db_);
        return false;
    }
    int rc;
    while ((rc = select.step()) == SQLITE_ROW) {
        BankQuestion q;
        q.title = select.text(title);
        q.options = SheetColumns::splitPacked(select.text(tmnr));
        if (q.options.size() > QuestionRecord::slotCount)
            q.options.resize(QuestionRecord::slotCount);
        while (!q.options.empty() && q.options.back().empty())
            q.options.pop_back();
        q.answer = select.text(answer);
        questions.push_back(std::move(q));
    }
    if (rc != SQLITE_DONE) {
        error_ = GBK("无法读取题库：") + SqliteStatement::errorText(db_);
        return false;
    }
    return true;
}

int BankExporter::exportTo(const std::string& path, BankFormat::Kind kind, const std::string& query,
                           TextEncoding encoding)
{
    std::vector<BankQuestion> questions;
    if (!read(query, questions))
        return -1;
    if (!BankFormat::writeFile(path, kind, questions, error_, encoding))
        return -1;
    return static_cast<int>(questions.size());
}
