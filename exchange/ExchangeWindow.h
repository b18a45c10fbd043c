#pragma once

#include "bank/BankWindow.h"
#include "exchange/BankImporter.h"
#include "platform/gui/Gui.h"

#include <functional>
#include <string>

// The import and export window, opened modal over the bank window. Import
// always checks first and lists every problem; the administrator then
// confirms. Paths typed into it are program text (GBK).
class ExchangeWindow {
public:
    enum class Mode { Import, Export };
    // The bank file as program text.
    using BankPath = std::function<std::string()>;

    ExchangeWindow(Mode mode, std::string currentQuery, BankPath bankPath);
    ExchangeWindow(const ExchangeWindow&) = delete;
    ExchangeWindow& operator=(const ExchangeWindow&) = delete;

    // Handlers bound to a window object that lives as long as the table.
    static platform::HandlerTable handlers(Mode mode, std::string currentQuery, BankPath bankPath);
    platform::HandlerTable handlerTable();
    // The actions that put the window behind the bank window's buttons.
    static BankWindow::ExchangeActions bankActions(BankPath bankPath);

    void created();
    // The dry run: the problems into the list; false when the file could not be read.
    bool check();
    void importFile();
    void exportFile();
    void writeTemplate();

private:
    bool takePath(std::string& path, std::optional<BankFormat::Kind>& kind);
    ImportOptions options() const;
    void showReport(const ImportReport& report);
    void progress(std::size_t done, std::size_t total);

    Mode mode_;
    std::string currentQuery_;
    BankPath bankPath_;
    std::string window_;
};
