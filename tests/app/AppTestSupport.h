#pragma once

#include "app/Application.h"
#include "app/ExamWindow.h"
#include "exam/AppState.h"
#include "platform/CodePage.h"
#include "platform/gui/Gui.h"
#include "platform/gui/GuiDriver.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A question as stored in the test bank, in UTF-8 as SQLite holds it.
struct StoredQuestion {
    std::string title;
    std::string options;
    std::string answer;
    std::string did;
};

// A run folder of its own for every test, with the window layer's test seam
// installed: message boxes are answered and recorded, timers fire by hand.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "app-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }

    void TearDown() override
    {
        app.reset();
        platform::Gui::closeAllWindows();
        std::filesystem::remove_all(folder);
    }

    std::filesystem::path file(const std::string& name) const { return std::filesystem::path(folder) / name; }

    static std::string gbk(const std::string& utf8) { return platform::utf8ToGbk(utf8); }

    // Creates tk.db with the question table holding `questions`, keyed 1, 2, ...
    void makeBank(const std::vector<StoredQuestion>& questions)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file("tk.db").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE KS_SJTK (id INTEGER PRIMARY KEY AUTOINCREMENT, Title TEXT, Tmnr TEXT, "
                               "Answer TEXT, did TEXT);BEGIN",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_stmt* insert = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO KS_SJTK (Title, Tmnr, Answer, did) VALUES (?, ?, ?, ?)", -1,
                                     &insert, nullptr),
                  SQLITE_OK);
        for (const StoredQuestion& q : questions) {
            sqlite3_bind_text(insert, 1, q.title.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, q.options.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, q.answer.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 4, q.did.c_str(), -1, SQLITE_TRANSIENT);
            ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        ASSERT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    // `count` plain questions: title "题目n", options "an|bn|cn|dn|", answer A to D in turn.
    static std::vector<StoredQuestion> plainQuestions(int count)
    {
        std::vector<StoredQuestion> questions;
        for (int n = 1; n <= count; ++n) {
            const std::string k = std::to_string(n);
            questions.push_back({"题目" + k, "a" + k + "|b" + k + "|c" + k + "|d" + k + "|",
                                 std::string(1, static_cast<char>('A' + (n - 1) % 4)), "4"});
        }
        return questions;
    }

    void writeProfile(const std::string& bytes) const { std::ofstream(file("i.ini"), std::ios::binary) << bytes; }

    void startApp()
    {
        app = std::make_unique<Application>(Application::Options{.runDirectory = folder});
        app->start();
    }

    // Start-up, then the enter button with the design-time entries or the given ones.
    void enterExam(const std::optional<std::string>& candidateId = {})
    {
        startApp();
        ASSERT_TRUE(platform::Gui::isOpen("start"));
        if (candidateId) {
            platform::GuiDriver::erase("start", "身份证编辑框");
            platform::GuiDriver::type("start", "身份证编辑框", *candidateId);
        }
        ASSERT_TRUE(platform::GuiDriver::click("start", "按钮1"));
        ASSERT_TRUE(platform::Gui::isOpen("exam"));
        ASSERT_FALSE(platform::Gui::isOpen("start"));
    }

    AppState& state() { return app->state(); }
    ExamWindow& exam() { return app->examWindow(); }

    // Exam window shortcuts.
    static std::string text(const std::string& control) { return platform::Gui::text("exam", control); }
    static bool visible(const std::string& control) { return platform::Gui::isVisible("exam", control); }
    static bool click(const std::string& control) { return platform::GuiDriver::click("exam", control); }
    static bool pressCell(int k) { return platform::GuiDriver::pressMouse("exam", ExamWindow::cellName(k)); }
    static platform::Border border(int k) { return platform::Gui::border("exam", ExamWindow::cellName(k)); }
    static int sunkenCells()
    {
        int count = 0;
        for (int k = 1; k <= 100; ++k)
            count += border(k) == platform::Border::Sunken ? 1 : 0;
        return count;
    }

    std::string folder;
    platform::GuiDriver driver;
    std::unique_ptr<Application> app;
};

// An exam entered on a bank of 120 questions, where a test puts questions of
// its own into the paper.
class OpenExamTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeBank(plainQuestions(120));
        enterExam();
    }

    // Puts a question of the test's own into the paper and shows it.
    void showEntry(int k, const PaperEntry& entry)
    {
        state().paper.entry(k) = entry;
        ASSERT_TRUE(pressCell(k));
    }
};
