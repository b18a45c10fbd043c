#include "exchange/ExchangeWindow.h"

#include "db/Database.h"
#include "exchange/BankExporter.h"
#include "exchange/ExchangeWindowLayout.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

#include <memory>

using platform::Gui;
using platform::GuiEvent;
using platform::MessageBoxButtons;
using platform::MessageBoxIcon;
using platform::MessageBoxResult;

namespace {

constexpr char pathBox[] = "文件编辑框";
constexpr char problemGrid[] = "问题表";
constexpr char progressBar[] = "进度条";
constexpr char statusBar[] = "状态栏";
constexpr char strictBox[] = "严格";
constexpr char searchOnlyBox[] = "只导出查询结果";
constexpr char encodingCombo[] = "编码";
constexpr char categoryBox[] = "分类编辑框";
constexpr const char* importControls[] = {"模板", "严格", "编码", "检查", "导入", "分类标签", categoryBox, "分类说明"};
constexpr const char* exportControls[] = {"只导出查询结果", "导出"};

std::string summary(const CheckedBank& checked)
{
    return GBK("读到") + std::to_string(checked.questionsRead) + GBK("道题，可导入") +
           std::to_string(checked.accepted) + GBK("道，问题") + std::to_string(checked.problems.size()) + GBK("处。");
}

} // namespace

ExchangeWindow::ExchangeWindow(Mode mode, std::string currentQuery, BankSource bank, BackupFolder backupFolder)
    : mode_(mode), currentQuery_(std::move(currentQuery)), bank_(std::move(bank)),
      backupFolder_(std::move(backupFolder)), window_(exchangeWindowLayout().id)
{
}

platform::HandlerTable ExchangeWindow::handlers(Mode mode, std::string currentQuery, BankSource bank,
                                                BackupFolder backupFolder)
{
    auto window =
        std::make_shared<ExchangeWindow>(mode, std::move(currentQuery), std::move(bank), std::move(backupFolder));
    platform::HandlerTable table = window->handlerTable();
    for (auto& entry : table)
        entry.second = [window, handler = std::move(entry.second)](const GuiEvent& event) { handler(event); };
    return table;
}

platform::HandlerTable ExchangeWindow::handlerTable()
{
    return {
        {"exchangeCreated", [this](const GuiEvent&) { created(); }},
        {"templateClicked", [this](const GuiEvent&) { writeTemplate(); }},
        {"checkClicked", [this](const GuiEvent&) { check(); }},
        {"importClicked", [this](const GuiEvent&) { importFile(); }},
        {"exportClicked", [this](const GuiEvent&) { exportFile(); }},
    };
}

BankWindow::ExchangeActions ExchangeWindow::bankActions(BankSource bank, BackupFolder backupFolder)
{
    auto open = [bank, backupFolder](Mode mode) {
        return [bank, backupFolder, mode](const std::string& query) {
            Gui::runModal(exchangeWindowLayout(), handlers(mode, query, bank, backupFolder), "bank");
        };
    };
    return {open(Mode::Import), open(Mode::Export)};
}

void ExchangeWindow::created()
{
    const bool importing = mode_ == Mode::Import;
    Gui::setWindowCaption(window_, importing ? GBK("导入题库") : GBK("导出题库"));
    for (const char* control : importControls)
        Gui::setVisible(window_, control, importing);
    for (const char* control : exportControls)
        Gui::setVisible(window_, control, !importing);
    Gui::setComboIndex(window_, encodingCombo, 0);
    Gui::setGridColumnCount(window_, problemGrid, 2);
    Gui::setGridRow(window_, problemGrid, 0, {GBK("行"), GBK("问题")});
    Gui::setGridColumnWidth(window_, problemGrid, 1, 520);
    Gui::setStatusText(window_, statusBar, 0,
                       importing ? GBK("支持.csv、.xlsx、.xls、.txt（Aiken）和.gift文件；先检查，确认后再导入。")
                                 : GBK("按扩展名选择格式：.csv、.xlsx、.xls、.txt（Aiken）或.gift。"));
}

bool ExchangeWindow::takePath(std::string& path, std::optional<BankFormat::Kind>& kind)
{
    const std::string typed = Gui::text(window_, pathBox);
    if (typed.empty()) {
        Gui::notice(GBK("请输入文件名"));
        return false;
    }
    kind = platform::FileSystem::toSystemPath(typed) ? BankFormat::fromPath(typed) : std::nullopt;
    if (!kind) {
        Gui::failure(GBK("不认识的文件类型（可用.csv、.xlsx、.xls、.txt（Aiken）、.gift）"));
        return false;
    }
    path = typed;
    return true;
}

Database* ExchangeWindow::openBank()
{
    Database* bank = bank_ ? bank_() : nullptr;
    if (bank == nullptr || !bank->isOpen()) {
        Gui::failure(GBK("无法读取题库：题库没有打开"));
        return nullptr;
    }
    return bank;
}

ImportOptions ExchangeWindow::options() const
{
    ImportOptions options;
    options.strict = Gui::checked(window_, strictBox);
    static constexpr TextEncoding encodings[] = {TextEncoding::Auto, TextEncoding::Utf8, TextEncoding::Gbk};
    const int item = Gui::comboIndex(window_, encodingCombo);
    options.encoding = item >= 0 && item < 3 ? encodings[item] : TextEncoding::Auto;
    options.category = platform::gbkToUtf8(Gui::text(window_, categoryBox));
    return options;
}

void ExchangeWindow::showReport(const ImportReport& report)
{
    const std::vector<BankProblem>& problems = report.checked.problems;
    Gui::resetGrid(window_, problemGrid);
    Gui::setGridColumnCount(window_, problemGrid, 2);
    Gui::setGridRowCount(window_, problemGrid, static_cast<int>(problems.size()) + 1);
    Gui::setGridRow(window_, problemGrid, 0, {GBK("行"), GBK("问题")});
    Gui::setGridColumnWidth(window_, problemGrid, 1, 520);
    for (std::size_t i = 0; i < problems.size(); ++i)
        Gui::setGridRow(window_, problemGrid, static_cast<int>(i) + 1,
                        {std::to_string(problems[i].line), problems[i].reason});
    std::string status = report.checked.questionsRead > 0 ? summary(report.checked) : report.error;
    for (const std::string& note : report.notes)
        status += note + GBK("。");
    Gui::setStatusText(window_, statusBar, 0, status);
}

bool ExchangeWindow::check()
{
    std::string path;
    std::optional<BankFormat::Kind> kind;
    if (!takePath(path, kind))
        return false;
    ImportOptions dryRun = options();
    dryRun.dryRun = true;
    dryRun.format = kind;
    Database* bank = openBank();
    if (bank == nullptr)
        return false;
    const ImportReport report = BankImporter(*bank, backupFolder_ ? backupFolder_() : std::string()).run(path, dryRun);
    showReport(report);
    if (!report.ok) {
        Gui::failure(report.error);
        return false;
    }
    return true;
}

void ExchangeWindow::importFile()
{
    if (!check())
        return;
    std::string path;
    std::optional<BankFormat::Kind> kind;
    takePath(path, kind);
    ImportOptions chosen = options();
    chosen.format = kind;
    Database* bank = openBank();
    if (bank == nullptr)
        return;
    BankImporter importer(*bank, backupFolder_ ? backupFolder_() : std::string());

    ImportOptions dryRun = chosen;
    dryRun.dryRun = true;
    const CheckedBank checked = importer.run(path, dryRun).checked;
    if (checked.accepted == 0) {
        Gui::notice(GBK("没有可导入的题，题库没有改动。"));
        return;
    }
    if (chosen.strict && !checked.problems.empty()) {
        Gui::notice(GBK("有") + std::to_string(checked.problems.size()) + GBK("处问题，严格模式下一道题也不导入。"));
        return;
    }
    std::string question = GBK("可导入") + std::to_string(checked.accepted) + GBK("道题");
    if (!checked.problems.empty())
        question += GBK("，有问题的题不导入（见列表）");
    question += GBK("。导入前会先备份题库，确定导入吗？");
    if (Gui::messageBox(question, GBK("提示"), MessageBoxIcon::Information, MessageBoxButtons::YesNo) !=
        MessageBoxResult::Yes)
        return;

    Gui::setProgressRange(window_, progressBar, 0, static_cast<int>(checked.accepted));
    const ImportReport report =
        importer.run(path, chosen, [this](std::size_t done, std::size_t total) { progress(done, total); });
    showReport(report);
    if (!report.ok) {
        Gui::failure(report.error);
        return;
    }
    Gui::setStatusText(window_, statusBar, 0,
                       GBK("已导入") + std::to_string(report.imported) + GBK("道题；备份：") + report.backupPath);
    Gui::notice(GBK("已导入") + std::to_string(report.imported) + GBK("道题。"));
}

void ExchangeWindow::exportFile()
{
    std::string path;
    std::optional<BankFormat::Kind> kind;
    if (!takePath(path, kind))
        return;
    if (platform::FileSystem::exists(path) &&
        Gui::messageBox(GBK("文件已经存在，要覆盖它吗？"), GBK("提示"), MessageBoxIcon::Information,
                        MessageBoxButtons::YesNo) != MessageBoxResult::Yes)
        return;
    const bool searchOnly = Gui::checked(window_, searchOnlyBox) && !currentQuery_.empty();
    Database* bank = openBank();
    if (bank == nullptr)
        return;
    BankExporter exporter(*bank);
    const int written = exporter.exportTo(path, *kind, searchOnly ? currentQuery_ : std::string());
    if (written < 0) {
        Gui::failure(exporter.lastErrorText());
        return;
    }
    std::string done = GBK("已导出") + std::to_string(written) + GBK("道题。");
    Gui::setStatusText(window_, statusBar, 0, done);
    for (const BankProblem& p : exporter.leftOut())
        done += GBK("\n第") + std::to_string(p.line) + GBK("道题") + p.reason;
    Gui::notice(done);
}

void ExchangeWindow::writeTemplate()
{
    std::string path;
    std::optional<BankFormat::Kind> kind;
    if (!takePath(path, kind))
        return;
    std::string error;
    if (!BankFormat::writeTemplate(path, *kind, error)) {
        Gui::failure(error);
        return;
    }
    Gui::notice(GBK("模板已写入，第一行是表头，第二行是示例。"));
}

void ExchangeWindow::progress(std::size_t done, std::size_t total)
{
    Gui::setProgressPosition(window_, progressBar, static_cast<int>(std::min(done, total)));
    Gui::processEvents();
}
