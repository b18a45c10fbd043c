#pragma once

#include "bank/BankWindow.h"
#include "exchange/BankImporter.h"
#include "platform/gui/Gui.h"

#include <functional>
#include <string>

class Database;

// The import and export window, opened modal over the bank window. Import
// always checks first and lists every problem; the administrator then
// confirms. Paths typed into it are program text (GBK).
class ExchangeWindow {
public:
    enum class Mode { Import, Export };
    // The program's open bank, file or server; null when none is open.
    using BankSource = std::function<Database*()>;
    // The folder for copies of a bank on the server (program text); a bank
    // file is copied beside itself.
    using BackupFolder = std::function<std::string()>;

    ExchangeWindow(Mode mode, std::string currentQuery, BankSource bank, BackupFolder backupFolder);
    ExchangeWindow(const ExchangeWindow&) = delete;
    ExchangeWindow& operator=(const ExchangeWindow&) = delete;

    // Handlers bound to a window object that lives as long as the table.
    static platform::HandlerTable handlers(Mode mode, std::string currentQuery, BankSource bank,
                                           BackupFolder backupFolder);
    platform::HandlerTable handlerTable();
    // The actions that put the window behind the bank window's buttons.
    static BankWindow::ExchangeActions bankActions(BankSource bank, BackupFolder backupFolder);

    void created();
    // The dry run: the problems into the list; false when the file could not be read.
    bool check();
    void importFile();
    void exportFile();
    void writeTemplate();

private:
    bool takePath(std::string& path, std::optional<BankFormat::Kind>& kind);
    // The open bank, or null after telling the user there is none.
    Database* openBank();
    ImportOptions options() const;
    void showReport(const ImportReport& report);
    void progress(std::size_t done, std::size_t total);

    Mode mode_;
    std::string currentQuery_;
    BankSource bank_;
    BackupFolder backupFolder_;
    std::string window_;
};
