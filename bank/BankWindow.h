#pragma once

#include "platform/gui/Gui.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class DbConnection;
class DbRecordset;

// The bank management window: lists and searches the questions of the bank in
// its grid and adds, modifies and deletes them from its editor. Apart from its
// controls it only knows whether it is refilling the grid itself, so that the
// current-cell changes of a refill do not load rows.
class BankWindow {
public:
    // Import and export of whole banks come from a capability above this
    // window. Each action gets the query of the current listing (program
    // text) and runs to its end; the grid is listed again afterwards. While
    // neither is given the window opens without their buttons.
    struct ExchangeActions {
        std::function<void(const std::string& currentQuery)> importBank;
        std::function<void(const std::string& currentQuery)> exportBank;
    };
    // The statistics of the bank also come from above: the action opens them
    // modal over the window (its id given) and may call showQuestion with the
    // bank key of a question to check. Without it there is no button.
    using StatisticsAction =
        std::function<void(const std::string& owner, const std::function<void(const std::string& key)>& showQuestion)>;
    // The papers of the bank are edited in a window from above as well,
    // opened modal over this one (its id given). Without it there is no button.
    using PapersAction = std::function<void(const std::string& owner)>;
    // What whoever opens the window puts behind its optional buttons.
    struct Actions {
        ExchangeActions exchange;
        StatisticsAction statistics;
        PapersAction papers;
    };

    BankWindow(DbConnection& connection, DbRecordset& recordset, Actions actions = {});
    BankWindow(const BankWindow&) = delete;
    BankWindow& operator=(const BankWindow&) = delete;

    // Handlers for the window's events, bound to one BankWindow that lives as
    // long as the table does.
    static platform::HandlerTable handlers(DbConnection& connection, DbRecordset& recordset, Actions actions = {});
    // Handlers bound to this object, which must outlive the window.
    platform::HandlerTable handlerTable();

    const std::string& windowId() const { return window_; }

    // The window as it opens: its design, plus the buttons of the actions given.
    static platform::WindowDescription layout(const Actions& actions = {});

    // Event operations.
    void listAll();
    void search();
    void copySearchText();
    void previewOptions();
    void loadRow();
    void add();
    void modify();
    void remove();
    void importBank();
    void exportBank();
    void openStatistics();
    void openPapers();
    // Lists only the question with this bank key and loads it into the editor.
    void showQuestion(const std::string& key);

    // Replaces the grid's rows by the result of the query: the header row of
    // field names, then one row per result row. A result without rows leaves
    // no row at all.
    void fillGrid(const std::string& query);

    // The editor as add and modify store it.
    std::string answerLetter() const;
    // The letters typed in the multiple-answer box when there are any, checked
    // against the option count, else the option button's letter; nullopt,
    // after saying why, when the typed letters are no key.
    std::optional<std::string> chosenKey(int optionCount);
    std::string optionText() const;
    std::string optionCountText() const;

private:
    void clearTexts();
    void clearPreviews();
    void uncheckAnswers();
    void clearEditor();
    std::vector<std::string> previews() const;
    void reportError(const std::string& message);
    // Whether the bank holds the category table.
    bool hasCategories();
    // Runs a statement of the category of the question just stored; false,
    // after saying so, when it failed.
    bool storeCategory(const std::string& statement);
    static std::string trimmed(const std::string& text);

    DbConnection& connection_;
    DbRecordset& recordset_;
    const Actions actions_;
    std::string window_;
    bool fillingGrid_ = false;
    std::string lastQuery_;
};
