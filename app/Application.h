#pragma once

#include "bank/BankWindow.h"

#include <memory>
#include <optional>
#include <string>

class AppState;
class AttemptRecorder;
class BackendRegistry;
class Database;
class ExamWindow;
class RoomServices;
class StartWindow;

// The program from start-up to shutdown, built in this one place: the shared
// state and the database backends come first, then the record of attempts and
// the room's services (the start window has them read i.ini once, when it
// knows where the program's files are), then the windows, each handed what it
// works with. Shutdown releases the windows, the room's services, the state
// and then the backends.
class Application {
public:
    struct Options {
        // Folder of tk.db, i.ini and temp.htm (GBK); unset = the program's folder.
        std::optional<std::string> runDirectory;
        // Why that folder may lack the bank (GBK), told with the bank-missing message.
        std::string filesProblem = {};
    };

    Application();
    explicit Application(Options options);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Opens the start window; false when start-up ended the program.
    bool start();
    // Runs until the last window has closed; the program's exit code.
    int exec();
    // Set when start-up ended the program.
    std::optional<int> exitCode() const;

    // A record of attempts as the program keeps it: when an attempt cannot be
    // kept, a box tells the candidate so.
    static std::unique_ptr<AttemptRecorder> newRecorder(std::string path = {});

    AppState& state() { return *state_; }
    RoomServices& room() { return *room_; }
    ExamWindow& examWindow() { return *examWindow_; }
    StartWindow& startWindow() { return *startWindow_; }

private:
    // What the bank window offers beside the bank: import, export, statistics.
    BankWindow::Actions bankActions();
    // The bank the program opened: the file or the room's server.
    Database* currentBank();

    std::unique_ptr<AppState> state_;
    std::unique_ptr<BackendRegistry> registry_;
    std::unique_ptr<AttemptRecorder> attempts_;
    std::unique_ptr<RoomServices> room_;
    std::unique_ptr<ExamWindow> examWindow_;
    std::unique_ptr<StartWindow> startWindow_;
};
