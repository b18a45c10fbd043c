// From process start to the start window shown and ready for input, against a
// minimal Qt Widgets program showing one empty window of the same size.

#include "app/Application.h"
#include "bank/StartWindowLayout.h"
#include "bench/BenchApplication.h"
#include "bench/Comparison.h"

#include <QApplication>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Milliseconds from starting the program to its "ready" line; negative when
// it did not report within 20 s (it is then killed).
double timeToReady(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    double took = -1;
    std::string seen;
    pollfd wait{pipeEnds[0], POLLIN, 0};
    while (spawned == 0 && ::poll(&wait, 1, 20000) > 0) {
        char buffer[256];
        const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        seen.append(buffer, static_cast<std::size_t>(got));
        if (seen.find("ready\n") != std::string::npos) {
            took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            break;
        }
    }
    ::close(pipeEnds[0]);
    if (spawned == 0) {
        if (took < 0)
            ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    return took;
}

// The program's own start-up, as its main function does it, in the run folder given.
int startWindowMode(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    QApplication qt(argc, argv);
    Application application(Application::Options{.runDirectory = std::string(argv[1])});
    if (!application.start() || !reportWhenWindowReady())
        return 1;
    std::_Exit(0);
}

ComparisonResult startToWindow(const std::string& workDir)
{
    ComparisonResult result;
    const std::string runDir = (std::filesystem::path(workDir) / "start-run").string();
    const std::string program = benchProgram();
    const std::string emptyWindow = (std::filesystem::path(program).parent_path() / "bench_empty_window").string();
    if (!copySampleRun(runDir) || !std::filesystem::exists(emptyWindow)) {
        result.ok = false;
        result.note = "the sample bank, its profile or bench_empty_window is missing beside the program";
        return result;
    }
    // Headless on both sides, whatever display the benchmark was started on.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const platform::WindowDescription start = startWindowLayout();
    // The client area of the start window: its outer size less the frame.
    const std::string width = std::to_string(start.width - 6);
    const std::string height = std::to_string(start.height - 29);
    for (int i = 0; i < 5; ++i) {
        const double ours = timeToReady({program, "--mode", "start-window", runDir});
        const double raw = timeToReady({emptyWindow, width, height});
        if (ours < 0 || raw < 0) {
            result.ok = false;
            result.note = ours < 0 ? "the start window did not come up" : "the empty window did not come up";
            return result;
        }
        result.oursMs.push_back(ours);
        result.rawMs.push_back(raw);
    }
    return result;
}

ChildModeRegistrar startWindow("start-window", startWindowMode);
ComparisonRegistrar startToWindowComparison("start-to-window", startToWindow);

} // namespace
