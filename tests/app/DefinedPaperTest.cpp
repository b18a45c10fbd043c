#include "AppTestSupport.h"

#include "app/AttemptBridge.h"
#include "app/PaperChoice.h"
#include "attempts/AttemptStore.h"
#include "attempts/HistoryWindow.h"
#include "db/ConnectOptions.h"
#include "db/Database.h"
#include "papers/OptionOrder.h"
#include "papers/PaperBook.h"
#include "questions/QuestionRecord.h"
#include "support/PdfText.h"

#include <QApplication>
#include <QTest>

using platform::Gui;
using platform::GuiDriver;
using platform::MessageBoxResult;

namespace {

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "exam" && top->isVisible())
            QTest::keyClick(top->focusWidget() ? top->focusWidget() : top, key, modifiers);
}

} // namespace

// A bank of 12 single-answer questions of 法规 and 5 of 安全, 12 multiple-answer
// and 12 true/false ones, and a paper of 10 of each kind (the singles from 法规)
// in 20 minutes: 1 point, 2 points, 1 point; pass at 24 of 40.
class DefinedPaperTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        std::vector<StoredQuestion> questions = plainQuestions(17);
        for (int n = 1; n <= 12; ++n)
            questions.push_back({"多选" + std::to_string(n), "a|b|c|d|", n % 2 ? "AC" : "BCD", "4"});
        for (int n = 1; n <= 12; ++n)
            questions.push_back({"判断" + std::to_string(n), "对|错|", n % 2 ? "A" : "B", "2"});
        makeBank(questions);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file("tk.db").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE KS_TMFL (id INTEGER NOT NULL PRIMARY KEY, Category TEXT);"
                               "INSERT INTO KS_TMFL SELECT id, CASE WHEN id <= 12 THEN '法规' ELSE '安全' END "
                               "FROM KS_SJTK WHERE id <= 17",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);

        paper.name = gbk("安全考试");
        paper.rules = {{gbk("法规"), QuestionKind::Single, 10},
                       {"", QuestionKind::Multiple, 10},
                       {"", QuestionKind::Judgement, 10}};
        paper.minutes = 20;
        paper.pointsTenths = {10, 20, 10};
        paper.passMarkTenths = 240;
        paper.mode = PaperDefinition::Mode::Exam;
        paper.handInWhenTimeUp = true;
        paper.shuffleOptions = true;
        save(paper);
    }

    void save(const PaperDefinition& defined)
    {
        Database bank(DbKind::Sqlite);
        ASSERT_TRUE(bank.open(ConnectOptions::sqlite(file("tk.db").string())));
        PaperBook book(bank);
        ASSERT_TRUE(book.save(defined)) << book.lastErrorText();
    }

    // Start-up, the paper chosen and the enter button.
    void enterPaper(int choice = 1)
    {
        startApp();
        ASSERT_EQ(Gui::comboCount("start", PaperChoice::comboName), 2);
        ASSERT_TRUE(Gui::setComboIndex("start", PaperChoice::comboName, choice));
        ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    }

    OptionOrder order(int k)
    {
        const PaperEntry& entry = state().paper.entry(k);
        return OptionOrder(state().optionSeed, entry.id, QuestionRecord::visibleOptionCount(entry.did));
    }

    // Question k answered through the keys of the letters on screen.
    void answerByKeys(int k, const std::string& bankLetters)
    {
        exam().jumpTo(k);
        for (char shown : order(k).toShown(bankLetters))
            press(static_cast<Qt::Key>(shown));
    }

    // The one attempt of the results file, and the file's store.
    AttemptSummary recorded()
    {
        results = std::make_unique<Database>(DbKind::Sqlite);
        std::vector<AttemptSummary> attempts;
        EXPECT_TRUE(results->open(AttemptStore::fileOptions(file("ksjl.db").string())));
        EXPECT_TRUE(AttemptStore(*results).list("", attempts));
        EXPECT_EQ(attempts.size(), 1u);
        return attempts.empty() ? AttemptSummary{} : attempts[0];
    }

    std::unique_ptr<Database> results;
    PaperDefinition paper;
};

TEST_F(DefinedPaperTest, AnExamModePaperIsAnsweredByKeysAndMarkedInPoints)
{
    enterPaper();
    ASSERT_TRUE(Gui::isOpen("exam"));
    EXPECT_EQ(state().paperLength, 30);
    EXPECT_EQ(text("透明标签4"), gbk("安全考试 共30题"));
    for (const char* control : {"显示正确答案", "透明标签10", "透明标签7", "纠错按钮"})
        EXPECT_FALSE(visible(control)) << control;
    EXPECT_FALSE(visible(ExamWindow::cellName(31)));
    for (int k = 1; k <= 10; ++k)
        EXPECT_LE(std::stoi(state().paper.entry(k).id), 12) << k; // the singles of 法规

    // The options on screen follow the order, and so do the keys.
    bool shuffled = false;
    for (int k = 1; k <= 20; ++k) {
        exam().jumpTo(k);
        const PaperEntry& entry = state().paper.entry(k);
        EXPECT_EQ(text("A"), " " + QuestionRecord::splitOptions(order(k).shownOptions(entry.options))[0]) << k;
        shuffled = shuffled || order(k).toShown(entry.answer) != entry.answer;
    }
    EXPECT_TRUE(shuffled);

    // All singles and true/false right, 4 of the multiples: 10 + 8 + 10 = 28.
    for (int k = 1; k <= 30; ++k) {
        const std::string key = state().paper.entry(k).answer;
        const std::string given = k > 14 && k <= 20 ? (key == "AC" ? "B" : "A") : key;
        answerByKeys(k, given);
        EXPECT_EQ(state().paper.entry(k).chosen, given) << k;
        EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(k)), 0x87CEFAu) << k;
    }
    driver.answerNext(MessageBoxResult::Yes);
    press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(text("透明标签12"), gbk("得分为 【   28   】 分"));
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(1)), 0x00FF00u);
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(15)), 0xFF0000u);

    std::ifstream in(file("temp.htm"), std::ios::binary);
    const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(report.find(gbk("<td>多选</td><td>10</td><td>4</td><td>8</td><td>20</td>")), std::string::npos);
    EXPECT_NE(report.find(gbk("<td>合计</td><td>30</td><td>24</td><td>28</td><td>40</td>")), std::string::npos);
    EXPECT_NE(report.find(gbk("总分 28 分，及格分 24 分：合格")), std::string::npos);
    const AttemptSummary attempt = recorded();
    EXPECT_EQ(attempt.score, 24);
    EXPECT_EQ(attempt.pointsTenths, 280);
    EXPECT_EQ(HistoryWindow::rowTexts(attempt)[3], gbk("安全考试"));
    EXPECT_EQ(HistoryWindow::rowTexts(attempt)[7], gbk("28 合格"));
    const std::optional<StoredAttempt> stored = AttemptStore(*results).load(attempt.id);
    ASSERT_TRUE(stored);
    EXPECT_EQ(AttemptBridge::replayReport(*stored), report);

    // Its PDF is headed with the paper and the points, as the window shows them.
    driver.answerNextFileDialog(folder + "/paper.pdf");
    ASSERT_TRUE(click("PDF按钮"));
    const std::string pdf = pdfText(folder + "/paper.pdf");
    for (const char* piece : {"安全考试答卷", "得分：28分（合格）"})
        EXPECT_NE(pdf.find(piece), std::string::npos) << piece << "\n" << pdf;
}

TEST_F(DefinedPaperTest, TimeUpHandsInAndTellsTheCandidate)
{
    paper.minutes = 1;
    save(paper);
    enterPaper();
    for (int tick = 1; tick < 60; ++tick)
        ASSERT_TRUE(GuiDriver::fireTimer("exam", ExamWindow::clockTimerId));
    EXPECT_EQ(text("时间"), "0:00:01");
    EXPECT_TRUE(driver.messageBoxes().empty());
    ASSERT_TRUE(GuiDriver::fireTimer("exam", ExamWindow::clockTimerId));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_EQ(driver.messageBoxes()[0].text, gbk("考试时间到，试卷已自动交卷，请查看答卷报告。"));
    EXPECT_TRUE(std::filesystem::exists(file("temp.htm")));
    EXPECT_EQ(text("透明标签12"), gbk("得分为 【   0   】 分"));
    const AttemptSummary attempt = recorded();
    EXPECT_EQ(attempt.state, AttemptState::HandedIn);
    EXPECT_EQ(attempt.passed, 0);
}

TEST_F(DefinedPaperTest, AResumedAttemptKeepsItsPaperTimeAndOptionOrder)
{
    enterPaper();
    answerByKeys(12, state().paper.entry(12).answer);
    for (int tick = 0; tick < 5; ++tick)
        GuiDriver::fireTimer("exam", ExamWindow::clockTimerId);
    const std::uint64_t seed = state().optionSeed;
    std::vector<std::string> keys;
    for (int k = 1; k <= 30; ++k)
        keys.push_back(state().paper.entry(k).id);
    const std::string shownA = (exam().jumpTo(12), text("A"));
    // The attempt is left behind as a killed program leaves it, and the
    // administrator changes the paper meanwhile.
    app.reset();
    Gui::closeAllWindows();
    PaperDefinition changed = paper;
    changed.minutes = 90;
    save(changed);

    startApp();
    driver.answerNext(MessageBoxResult::Yes);
    ASSERT_TRUE(GuiDriver::click("start", "按钮1"));
    ASSERT_TRUE(Gui::isOpen("exam"));
    ASSERT_TRUE(state().definedPaper);
    EXPECT_EQ(*state().definedPaper, paper);
    EXPECT_EQ(state().optionSeed, seed);
    EXPECT_EQ(state().paperLength, 30);
    for (int k = 1; k <= 30; ++k)
        EXPECT_EQ(state().paper.entry(k).id, keys[static_cast<std::size_t>(k - 1)]) << k;
    EXPECT_EQ(AttemptBridge::secondsLeft(state()), 20 * 60 - 5);
    EXPECT_EQ(text("时间"), "0:19:55");
    EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(12)), 0x87CEFAu);
    exam().jumpTo(12);
    EXPECT_EQ(text("A"), shownA);
}

TEST_F(DefinedPaperTest, APaperTheBankCannotServeIsRefusedOnTheStartWindow)
{
    paper.rules[0].count = 13;
    save(paper);
    enterPaper();
    EXPECT_TRUE(Gui::isOpen("start"));
    EXPECT_FALSE(Gui::isOpen("exam"));
    ASSERT_EQ(driver.messageBoxes().size(), 1u);
    EXPECT_NE(driver.messageBoxes()[0].text.find(gbk("题库只有12道")), std::string::npos);
    EXPECT_TRUE(Gui::isEnabled("start", "按钮1"));
}

TEST_F(DefinedPaperTest, TheDefaultPaperIsDrawnAsAlwaysWhenChosen)
{
    enterPaper(0);
    EXPECT_FALSE(state().definedPaper);
    EXPECT_EQ(state().paperLength, Paper::size);
    EXPECT_EQ(text("透明标签4"), gbk("随机100道题、每题1分"));
    EXPECT_TRUE(visible("显示正确答案"));
}

TEST(AttemptStoreUpgrade, AResultsFileFromBeforePapersGainsTheirColumnsAndKeepsItsRows)
{
    const std::string path = (std::filesystem::temp_directory_path() / "upgrade-ksjl.db").string();
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".server");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE exam_attempt (attempt_id INTEGER PRIMARY KEY, kind VARCHAR(16) NOT NULL, "
                           "candidate_id VARCHAR(255) NOT NULL, seat_number VARCHAR(255) NOT NULL, started_at "
                           "VARCHAR(19) NOT NULL, ended_at VARCHAR(19), state VARCHAR(16) NOT NULL, seconds_left "
                           "INTEGER NOT NULL, paper_duration INTEGER NOT NULL, current_question INTEGER NOT NULL, "
                           "score INTEGER);"
                           "INSERT INTO exam_attempt VALUES (1, 'exam', 'x', '1', '2026-01-01 10:00:00', "
                           "'2026-01-01 10:30:00', 'handed_in', 100, 3600, 1, 57)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    {
        Database results(DbKind::Sqlite);
        ASSERT_TRUE(results.open(AttemptStore::fileOptions(path)));
        AttemptStore store(results);
        ASSERT_TRUE(store.prepare()) << store.lastErrorText();
        std::vector<AttemptSummary> attempts;
        ASSERT_TRUE(store.list("", attempts));
        ASSERT_EQ(attempts.size(), 1u);
        EXPECT_EQ(attempts[0].score, 57);
        EXPECT_EQ(attempts[0].pointsTenths, -1);
        EXPECT_EQ(HistoryWindow::rowTexts(attempts[0])[7], "57");
        const std::int64_t id = store.begin({.candidateId = "y", .paperName = "p", .paperText = "name=p\n"});
        ASSERT_GT(id, 0);
        ASSERT_TRUE(store.recordHandIn(id, 3, 0, AttemptStore::now(), 35, false));
        ASSERT_TRUE(store.list("y", attempts));
        EXPECT_EQ(HistoryWindow::rowTexts(attempts[0])[7], platform::utf8ToGbk("3.5 不合格"));

        // A server still on the old table takes the attempt without them.
        AttemptStore::CopiedRow row;
        ASSERT_TRUE(store.copiedRow({.seq = 1, .attempt = id, .entry = 0}, row));
        Database server(DbKind::Sqlite);
        ASSERT_TRUE(server.open(ConnectOptions::sqlite(path + ".server")));
        ASSERT_TRUE(server.execute("CREATE TABLE exam_attempt (attempt_id INTEGER PRIMARY KEY, kind, candidate_id, "
                                   "seat_number, started_at, ended_at, state, seconds_left, paper_duration, "
                                   "current_question, score)"));
        ASSERT_TRUE(server.execute("CREATE TABLE exam_attempt_entry (attempt_id, question_key, chosen, flagged)"));
        AttemptStore onServer(server);
        ASSERT_TRUE(onServer.putCopiedRows({row})) << onServer.lastErrorText();
        ASSERT_TRUE(onServer.list("y", attempts));
        ASSERT_EQ(attempts.size(), 1u);
        EXPECT_EQ(attempts[0].score, 3);
        EXPECT_EQ(attempts[0].pointsTenths, -1);
    }
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".server");
}

TEST_F(DefinedPaperTest, APracticePaperColoursAtOnceAndShowsTheKeyInTheLettersOnScreen)
{
    paper.mode = PaperDefinition::Mode::Practice;
    save(paper);
    enterPaper();
    ASSERT_TRUE(visible("显示正确答案"));
    ASSERT_TRUE(click("显示正确答案"));
    for (int k = 1; k <= 20; ++k) {
        const std::string key = state().paper.entry(k).answer;
        answerByKeys(k, key);
        EXPECT_EQ(Gui::backgroundColour("exam", ExamWindow::cellName(k)), 0x00FF00u) << k;
        EXPECT_EQ(text("透明标签7"), order(k).toShown(key)) << k;
        EXPECT_EQ(text("透明标签6"), order(k).toShown(key)) << k;
    }
}

TEST_F(DefinedPaperTest, TheCorrectionWindowShowsTheShuffledOrderAndStoresTheBanksLetters)
{
    paper.mode = PaperDefinition::Mode::Practice;
    save(paper);
    enterPaper();
    int k = 1;
    while (k < 10 && order(k).bankLetter('A') == 'A')
        ++k;
    const OptionOrder shuffled = order(k);
    ASSERT_NE(shuffled.bankLetter('A'), 'A');
    const PaperEntry before = state().paper.entry(k);
    // The answer becomes the option shown first, and that option's text is mended.
    const char wanted = shuffled.bankLetter('A');
    exam().jumpTo(k);
    driver.setModalHook([&](const std::string& window) {
        const std::string content = Gui::text(window, "内容编辑框");
        EXPECT_EQ(content, QuestionRecord::optionsToContent(shuffled.shownOptions(before.options)));
        EXPECT_TRUE(Gui::checked(window, shuffled.toShown(before.answer)));
        Gui::setChecked(window, "A", true);
        Gui::setText(window, "内容编辑框", gbk("改") + content);
        GuiDriver::click(window, "修改");
    });
    ASSERT_TRUE(click("纠错按钮"));

    const std::vector<std::string> options = QuestionRecord::splitOptions(state().paper.entry(k).options);
    EXPECT_EQ(state().paper.entry(k).answer, std::string(1, wanted));
    EXPECT_EQ(options[static_cast<std::size_t>(wanted - 'A')],
              gbk("改") + QuestionRecord::splitOptions(before.options)[static_cast<std::size_t>(wanted - 'A')]);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file("tk.db").c_str(), &db), SQLITE_OK);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, ("SELECT Answer, Tmnr FROM KS_SJTK WHERE id=" + before.id).c_str(), -1, &select, nullptr);
    ASSERT_EQ(sqlite3_step(select), SQLITE_ROW);
    EXPECT_EQ(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)), std::string(1, wanted));
    EXPECT_EQ(gbk(reinterpret_cast<const char*>(sqlite3_column_text(select, 1))), state().paper.entry(k).options);
    sqlite3_finalize(select);
    sqlite3_close(db);
}
