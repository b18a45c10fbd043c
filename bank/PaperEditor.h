#pragma once

#include "bank/BankWindow.h"
#include "papers/BankCounts.h"
#include "papers/PaperBook.h"
#include "papers/PaperDefinition.h"
#include "platform/gui/Gui.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class Database;

// The administrator's window for the papers kept in the bank: lists them,
// shows one in its fields and rules, and stores, replaces or deletes it. A
// paper is stored only when it validates and the bank can serve it now, so
// a candidate never picks a paper that cannot be drawn.
class PaperEditor {
public:
    static constexpr char windowId[] = "paperEditor";
    // The program's open bank, file or server; null when none is open.
    using BankSource = std::function<Database*()>;

    explicit PaperEditor(Database& bank) : bank_(bank), book_(bank) {}
    PaperEditor(const PaperEditor&) = delete;
    PaperEditor& operator=(const PaperEditor&) = delete;

    // What the bank window's 试卷… button does: the editor modal over it.
    static BankWindow::PapersAction bankAction(BankSource bank);
    // Counts the bank's questions, then runs the window modal over owner.
    void run(const std::string& owner);

    // Event operations.
    void created();
    void loadPaper();
    void newPaper();
    void save();
    void remove();
    void addRule();
    void removeRule();
    void close();

private:
    platform::HandlerTable handlers();
    // Marks the row of the paper in the fields without loading it again.
    void listPapers();
    void startNew();
    // Whether the fields may be left: nothing changed since shown, or the administrator agrees.
    bool discardChanges();
    void showPaper(const PaperDefinition& paper);
    void showRules();
    void showCounts();
    PaperDefinition fieldsAsTyped() const;
    // The fields as a paper; nullopt, after saying why, when the pass mark reads as no number.
    std::optional<PaperDefinition> fieldsAsPaper() const;
    void say(const std::string& text);

    Database& bank_;
    PaperBook book_;
    BankCounts counts_;
    std::vector<std::string> categories_; // as the rule combo lists them, from its second item
    std::vector<PaperDefinition> papers_; // as the list shows them, from its second row
    std::vector<PaperDefinition::Rule> rules_;
    std::string loaded_;    // the stored paper in the fields, "" for a new one
    PaperDefinition shown_; // the fields as last filled, to tell when they were changed
    bool filling_ = false;
};
