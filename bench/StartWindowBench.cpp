// From process start to the start window shown and ready for input, against a
// plain Qt Widgets program showing the same controls, and for information
// against one empty window of the same size.

#include "bank/StartWindowLayout.h"
#include "bench/BenchApplication.h"
#include "bench/Comparison.h"

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

// Our start window against a plain program: both started afresh in turns, the
// medians compared. plainArgs are the arguments of the plain program.
ComparisonResult startAgainst(const std::string& workDir, const std::string& plainName,
                              std::vector<std::string> plainArgs)
{
    ComparisonResult result;
    const std::string runDir = (std::filesystem::path(workDir) / "start-run").string();
    const std::filesystem::path folder = std::filesystem::path(benchProgram()).parent_path();
    const std::string ours = (folder / "bench_start_window").string();
    const std::string plain = (folder / plainName).string();
    if (!copySampleRun(runDir) || !std::filesystem::exists(ours) || !std::filesystem::exists(plain)) {
        result.ok = false;
        result.note =
            "the sample bank, its profile, bench_start_window or " + plainName + " is missing beside the program";
        return result;
    }
    // Headless on both sides, whatever display the benchmark was started on.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    plainArgs.insert(plainArgs.begin(), plain);
    for (int i = 0; i < 9; ++i) {
        const double oursMs = timeToReady({ours, runDir});
        const double rawMs = timeToReady(plainArgs);
        if (oursMs < 0 || rawMs < 0) {
            result.ok = false;
            result.note = oursMs < 0 ? "the start window did not come up" : plainName + " did not come up";
            return result;
        }
        result.oursMs.push_back(oursMs);
        result.rawMs.push_back(rawMs);
    }
    return result;
}

// The same controls, texts and fonts shown by a program of nothing but Qt Widgets.
ComparisonResult startToWindow(const std::string& workDir)
{
    return startAgainst(workDir, "bench_start_window_reference", {});
}

// For information: against one empty window of the start window's client size.
ComparisonResult startToEmptyWindow(const std::string& workDir)
{
    const platform::WindowDescription start = startWindowLayout();
    // The client area of the start window: its outer size less the frame.
    return startAgainst(workDir, "bench_empty_window",
                        {std::to_string(start.width - 6), std::to_string(start.height - 29)});
}

ComparisonRegistrar startToWindowComparison("start-to-window", startToWindow);
ComparisonRegistrar startToEmptyWindowComparison("start-to-empty-window", startToEmptyWindow);

} // namespace
