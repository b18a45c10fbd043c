#pragma once

#include "db/Database.h"
#include "papers/BankCounts.h"
#include "papers/PaperDefinition.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The papers the administrator defined, kept in the bank beside its questions
// (in an exam room on the server, so every PC offers the same), and every
// statement on their table. The table is made by the first save: a bank
// without defined papers is left exactly as it was.
//
// A paper is one row; its rules are one text of lines "count TAB kind TAB
// category", the kind's name or nothing for any kind, the category last.
class PaperBook {
public:
    static constexpr char table[] = "KS_SJDY";

    explicit PaperBook(Database& database) : database_(database) {}

    static std::string createTableStatement(DbKind kind);

    // Every paper, by name (GBK byte order, the same on either backend);
    // none while no paper was ever saved.
    bool list(std::vector<PaperDefinition>& papers);
    // nullopt when there is no paper of that name, or when the papers cannot
    // be read (then with the reason in lastErrorText).
    std::optional<PaperDefinition> find(std::string_view name);
    // Stores the paper, over one of the same name; `replacing` names the
    // paper it was before a rename, removed in the same transaction. A paper
    // that does not validate is refused with validate()'s message.
    bool save(const PaperDefinition& paper, std::string_view replacing = {});
    // True also when there was no such paper.
    bool remove(std::string_view name);
    // Makes the table when it is missing, as the first save does: for the
    // account that loads a bank onto a server, since the room's accounts may
    // not create tables.
    bool createTable();
    // The papers become exactly `papers`, as a bank copy replaces the
    // questions. A server always gets the table, so that the room's PCs may
    // save papers; a bank file gets it only for papers to hold.
    bool replaceAll(const std::vector<PaperDefinition>& papers);

    // The questions the bank holds per category and kind.
    bool countQuestions(BankCounts& counts);

    // GBK; "" after a success.
    const std::string& lastErrorText() const { return error_; }

private:
    bool fail();
    // One upsert, inside the caller's transaction.
    bool store(const PaperDefinition& paper);
    bool read(std::string_view condition, std::vector<PaperDefinition>& papers);

    Database& database_;
    std::string error_;
};
