#include "room/BankCopier.h"

#include "db/Database.h"
#include "papers/PaperBook.h"
#include "questions/QuestionBank.h"
#include "room/ResultsOutbox.h"

bool BankCopier::copyPapers(Database& destination, const std::vector<PaperDefinition>& papers)
{
    copiedPapers_ = 0;
    PaperBook book(destination);
    if (!book.replaceAll(papers)) {
        lastErrorText_ = book.lastErrorText();
        return false;
    }
    copiedPapers_ = static_cast<int>(papers.size());
    return true;
}

bool BankCopier::toServer(const std::string& bankPath, const RoomConfig& server)
{
    copiedRows_ = 0;
    copiedPapers_ = 0;
    Database::Rows rows;
    Database::Rows categories;
    bool categorized = false;
    std::vector<PaperDefinition> papers;
    {
        Database bank;
        if (!bank.open(ConnectOptions::sqlite(bankPath, false)) || !bank.query(QuestionBank::copyQuery(), rows)) {
            lastErrorText_ = bank.lastErrorText();
            return false;
        }
        // A bank that never had categories has no table for them.
        categorized = bank.query(QuestionBank::categoryCopyQuery(), categories);
        PaperBook book(bank);
        if (!book.list(papers)) {
            lastErrorText_ = book.lastErrorText();
            return false;
        }
    }
    Database destination;
    if (!destination.open(server.connectOptions())) {
        lastErrorText_ = destination.lastErrorText();
        return false;
    }
    // The loading account may create tables, the room's accounts may not: the
    // results tables are made here, ready for the first attempt.
    QuestionBank questions(destination);
    bool ok = questions.replaceAll(rows) && questions.replaceCategories(categories, categorized);
    lastErrorText_ = questions.lastErrorText();
    ok = ok && ResultsOutbox::prepareServer(server, lastErrorText_);
    // The papers' table too, even empty: the PCs may then save papers.
    ok = ok && copyPapers(destination, papers);
    copiedRows_ = ok ? static_cast<int>(rows.size()) : 0;
    return ok;
}

bool BankCopier::fromServer(const RoomConfig& server, const std::string& bankPath)
{
    copiedRows_ = 0;
    copiedPapers_ = 0;
    Database::Rows rows;
    Database::Rows categories;
    bool categorized = false;
    std::vector<PaperDefinition> papers;
    {
        Database source;
        if (!source.open(server.connectOptions()) || !source.query(QuestionBank::copyQuery(), rows)) {
            lastErrorText_ = source.lastErrorText();
            return false;
        }
        categorized = source.query(QuestionBank::categoryCopyQuery(), categories);
        PaperBook book(source);
        if (!book.list(papers)) {
            lastErrorText_ = book.lastErrorText();
            return false;
        }
    }
    Database bank;
    if (!bank.open(ConnectOptions::sqlite(bankPath, true))) {
        lastErrorText_ = bank.lastErrorText();
        return false;
    }
    QuestionBank questions(bank);
    bool ok = questions.replaceAll(rows) && questions.replaceCategories(categories, categorized);
    lastErrorText_ = questions.lastErrorText();
    ok = ok && copyPapers(bank, papers);
    copiedRows_ = ok ? static_cast<int>(rows.size()) : 0;
    return ok;
}
